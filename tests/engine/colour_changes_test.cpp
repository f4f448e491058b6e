// The record of rewritten bands the run loop hands to front ends with C: every
// band it leaves unmarked holds the colours of the previous display phase.
#include <gtest/gtest.h>

#include <cstdint>

#include "test_support.h"

namespace morvane {
namespace {

using Colour = TrueColours::Colour;

// Keeps its own copy of C over the coloured cells and checks, at every display
// phase, that the bands left unmarked match it; counts the bands of both kinds.
class CheckingFrontEnd : public FrontEnd<Colour> {
 public:
  void display(const Grid<Colour>&, std::int16_t) override { FAIL() << "the run loop hands the changes over"; }
  void displayChanged(const Grid<Colour>& C, std::int16_t GRO, const ColourChanges& changed) override {
    markedLatest = 0;
    for (int x = -4; x <= GRO + 5; ++x) {
      for (int k = 0; k < ColourChanges::kBands; ++k) {
        const int first = ColourChanges::firstY(k);
        if (first > GRO + 5) break;
        if ((changed.bands(x) >> k & 1) != 0) {
          ++marked;
          ++markedLatest;
          continue;
        }
        ++unmarked;
        for (int y = first; y < first + ColourChanges::kBandCells && y <= GRO + 5; ++y) {
          ASSERT_EQ(C(x, y), shown_(x, y)) << "[" << x << ", " << y << "] changed in an unmarked band";
        }
      }
      for (int y = -4; y <= GRO + 5; ++y) shown_(x, y) = C(x, y);
    }
    ++phases;
  }
  void panelLine(std::int32_t, std::string_view) override {}

  int phases = 0;    // display phases seen
  long marked = 0;   // bands marked rewritten, over all phases
  long unmarked = 0; // bands left unmarked, over all phases
  long markedLatest = 0;  // bands marked at the latest phase

 private:
  Grid<Colour> shown_;  // C as at the previous display phase (zero before the first)
};

struct Case {
  const char* name;
  Deliverable deliverable;
  bool soup;   // a random soup; otherwise a still 2 by 2 block at the world's first cell
  int passes;
};

class ColourChangesTest : public ::testing::TestWithParam<Case> {};

TEST_P(ColourChangesTest, UnmarkedBandsHoldThePreviousColours) {
  const Case& c = GetParam();
  Engine<TrueColours> engine(c.deliverable);
  engine.RAND = c.soup;
  engine.WIDTH = engine.LONG = 2;
  engine.start();
  CheckingFrontEnd frontEnd;
  for (int n = 0; n < c.passes; ++n) engine.pass(frontEnd);
  ASSERT_GT(frontEnd.phases, 2);
  EXPECT_GT(frontEnd.marked, 0);  // the first phase shows the seeded world
  EXPECT_GT(frontEnd.unmarked, 0);
  if (!c.soup) {
    // A still world (its block and the block's copies in the margin) stops being rewritten.
    EXPECT_EQ(frontEnd.markedLatest, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Worlds, ColourChangesTest,
    ::testing::Values(Case{"TemplatesSoup", kMorvaneDisplay, true, 80},
                      Case{"FillOnlySoup", kMorvaneDisplay2, true, 24},
                      Case{"TemplatesStillBlock", kMorvaneDisplay, false, 20},
                      Case{"FillOnlyStillBlock", kMorvaneDisplay2, false, 20}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

}  // namespace
}  // namespace morvane
