// Colouring: the fill, the template scan and its paint order, fill-only colouring.
#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "oracle.h"
#include "test_support.h"

namespace morvane {
namespace {

using testing_support::RecordingFrontEnd;
using TestEngine = Engine<TrueColours>;
using Colour = TrueColours::Colour;

const std::vector<std::pair<int, int>> kBlock = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};

TEST(Colouring, EmptyWorldIsBlackAndALoneCellIsNormal) {
  TestEngine engine(kMorvaneDisplay);
  engine.colour();
  for (int x = -4; x <= 205; ++x) {
    for (int y = -4; y <= 205; ++y) ASSERT_EQ(engine.C(x, y), 0u);
  }
  engine.A(50, 60) = 1;
  engine.colour();
  EXPECT_EQ(engine.C(50, 60), TrueColours::CN);
}

TEST(Colouring, BlockIsStillInOpenSpaceButNotAtTheLowEdges) {
  TestEngine engine(kMorvaneDisplay);
  testing_support::place(engine, kBlock, 10, 10);
  testing_support::place(engine, kBlock, 1, 1);
  engine.colour();
  for (const auto& [x, y] : kBlock) {
    EXPECT_EQ(engine.C(10 + x, 10 + y), TrueColours::CS);
    EXPECT_EQ(engine.C(1 + x, 1 + y), TrueColours::CN);
  }
}

TEST(Colouring, LiveCellOnAnUntestedPositionTakesTheTemplatesColour) {
  TestEngine engine(kMorvaneDisplay);
  testing_support::place(engine, kBlock, 10, 10);
  engine.A(9, 9) = 1;  // the corner of the block's window anchored at [9, 9] is not tested
  engine.A(30, 30) = 1;
  engine.colour();
  EXPECT_EQ(engine.C(9, 9), TrueColours::CS);
  EXPECT_EQ(engine.C(30, 30), TrueColours::CN);
}

TEST(Colouring, FillOnlyColouringPaintsEveryLiveCellNormalMarginIncluded) {
  Engine<TrueColours> engine(kMorvaneDisplay2);
  testing_support::place(engine, kBlock, 10, 10);
  engine.A(-4, 7) = 1;
  engine.A(605, 605) = 1;
  engine.colour();
  for (const auto& [x, y] : kBlock) EXPECT_EQ(engine.C(10 + x, 10 + y), TrueColours::CN);
  EXPECT_EQ(engine.C(-4, 7), TrueColours::CN);
  EXPECT_EQ(engine.C(605, 605), TrueColours::CN);
  EXPECT_EQ(engine.C(12, 12), 0u);
}

TEST(Colouring, PaletteEngineUsesPaletteIndices) {
  Engine<PaletteColours> engine(kMorvane);
  testing_support::place(engine, kBlock, 10, 10);
  engine.A(40, 40) = 1;
  engine.colour();
  EXPECT_EQ(engine.C(10, 10), 1);  // CS: blue
  EXPECT_EQ(engine.C(40, 40), 2);  // CN: green
}

TEST(Colouring, PassWithoutDisplayPhaseLeavesTheColoursAlone) {
  TestEngine engine(kMorvaneDisplay);
  testing_support::place(engine, testing_support::kGlider, 50, 50);
  RecordingFrontEnd<Colour> frontEnd;
  engine.pass(frontEnd);  // STEP 1: display
  std::vector<Colour> shown;
  for (int x = 48; x <= 56; ++x) {
    for (int y = 48; y <= 56; ++y) shown.push_back(engine.C(x, y));
  }
  engine.pass(frontEnd);  // STEP 2: no display, though A moves on
  std::vector<Colour> after;
  for (int x = 48; x <= 56; ++x) {
    for (int y = 48; y <= 56; ++y) after.push_back(engine.C(x, y));
  }
  EXPECT_EQ(after, shown);
  EXPECT_EQ(frontEnd.colouredCells, std::vector<int>{5});
}

// Whether template K, as documented, fits the window anchored at [I, J] of A.
bool fits(const TestEngine& engine, int K, int I, int J) {
  for (int L = 1; L <= 4; ++L) {
    for (int M = 1; M <= 4; ++M) {
      const int entry = oracle::templateEntry(K, L, M);
      const bool alive = engine.A(I + L - 1, J + M - 1) != 0;
      if ((entry == 1 && !alive) || (entry == 0 && alive)) return false;
    }
  }
  return true;
}

// Bit K of [I, J] set when documented template K fits the window anchored there.
Grid<std::uint32_t> fittingAt(const TestEngine& engine) {
  Grid<std::uint32_t> fitting;
  for (int K = 1; K <= 27; ++K) {
    for (int I = 1; I <= engine.GRO; ++I) {
      for (int J = 1; J <= engine.GRO; ++J) {
        if (fits(engine, K, I, J)) fitting(I, J) |= 1u << K;
      }
    }
  }
  return fitting;
}

// For cell [x, y], a bit K set for every template K fitting a window over it.
std::uint32_t fittingOver(const Grid<std::uint32_t>& fitting, int gro, int x, int y) {
  std::uint32_t found = 0;
  for (int I = std::max(1, x - 3); I <= std::min(gro, x); ++I) {
    for (int J = std::max(1, y - 3); J <= std::min(gro, y); ++J) found |= fitting(I, J);
  }
  return found;
}

// The documented colour of template K's class.
Colour classColour(int K) {
  const char cls = oracle::templateClass(K);
  return cls == 'M' ? TrueColours::CM : cls == 'C' ? TrueColours::CC : TrueColours::CS;
}

// A 48 by 48 world holding every template alone: the live cells of template K (its
// entries 1) at anchor [2 + 8 * ((K-1) mod 6), 2 + 8 * ((K-1) div 6)], all else dead.
void placeEveryTemplate(TestEngine& engine) {
  for (int K = 1; K <= 27; ++K) {
    const int I = 2 + 8 * ((K - 1) % 6), J = 2 + 8 * ((K - 1) / 6);
    for (int L = 1; L <= 4; ++L) {
      for (int M = 1; M <= 4; ++M) engine.A(I + L - 1, J + M - 1) = oracle::templateEntry(K, L, M) == 1;
    }
  }
}

// Every live cell ends in the class colour of the highest-numbered documented template
// fitting a window over it, or CN when none does; checked on every template alone and in
// random soups, where the named overlaps must each occur.
TEST(Colouring, EveryLiveCellTakesTheHighestFittingTemplatesColour) {
  struct Overlap {
    std::uint32_t templates;  // bit K for each template that must cover the cell
    std::uint32_t highest;    // the highest of them; no higher template covers the cell
    int seen = 0;
  };
  Overlap overlaps[] = {{1u << 5 | 1u << 12, 12}, {1u << 5 | 1u << 12 | 1u << 20, 20}, {1u << 27, 27}};
  std::uint32_t fitted = 0;  // bit K for every template seen fitting
  std::mt19937 random(11);
  for (int world = 0; world <= 60; ++world) {
    TestEngine engine(kMorvaneDisplay);
    engine.GRO = 48;
    if (world == 0) {
      placeEveryTemplate(engine);
    } else {
      std::bernoulli_distribution alive(0.4);
      for (int x = 1; x <= 48; ++x) {
        for (int y = 1; y <= 48; ++y) engine.A(x, y) = alive(random) ? 1 : 0;
      }
    }
    engine.colour();
    const Grid<std::uint32_t> fitting = fittingAt(engine);
    for (int x = 1; x <= 51; ++x) {
      for (int y = 1; y <= 51; ++y) {
        if (!engine.A(x, y)) continue;
        const std::uint32_t over = fittingOver(fitting, 48, x, y);
        fitted |= over;
        const Colour expected = over == 0 ? TrueColours::CN : classColour(std::bit_width(over) - 1);
        ASSERT_EQ(engine.C(x, y), expected) << "world " << world << " [" << x << ", " << y
                                            << "] covered by " << std::hex << over;
        for (Overlap& o : overlaps) {
          if ((over & o.templates) == o.templates && over >> (o.highest + 1) == 0) ++o.seen;
        }
      }
    }
  }
  EXPECT_EQ(fitted, ((1u << 27) - 1) << 1) << std::hex << fitted;
  for (const Overlap& o : overlaps) EXPECT_GT(o.seen, 0) << "no cell covered by " << std::hex << o.templates;
}

}  // namespace
}  // namespace morvane
