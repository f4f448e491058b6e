// The per-pixel front end of morvane_display on the headless backend.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <utility>

#include "display.h"
#include "engine.h"
#include "pixel_front_end.h"
#include "headless/headless.h"
#include "surface_text.h"

namespace morvane::windowed {
namespace {

using Cell = std::pair<std::uint32_t, std::uint32_t>;

// The main surface, counting the writes made to each pixel.
struct CountingPixels {
  std::map<Cell, int>* writes;  // writes per pixel (x, y), owned by the test

  Colour get(std::uint32_t x, std::uint32_t y) const { return MainSurfacePixels{}.get(x, y); }
  void set(std::uint32_t x, std::uint32_t y, Colour c) const {
    ++(*writes)[{x, y}];
    MainSurfacePixels{}.set(x, y, c);
  }
  std::uint32_t surface() const { return MainSurfacePixels{}.surface(); }
};

// A 500 by 500 window as morvane_display opens it.
class PixelFrontEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::headless::reset();
    display::CREATEWIN(500, 500);
  }

  // Handles every pending message, as the end-of-pass service does.
  static void pump() {
    while (display::ISNEXTMSG()) {
    }
  }

  std::map<Cell, int> writes_;                         // writes per pixel so far
  PixelFrontEnd<CountingPixels> frontEnd_{200, {&writes_}};  // the front end under test
  Grid<Colour> C_;                                     // the colour grid it is given
};

TEST_F(PixelFrontEndTest, FirstPhaseWritesEveryLiveCellOnceAndNothingElse) {
  const std::map<Cell, Colour> live = {{{1, 1}, TrueColours::CN},   {{200, 200}, TrueColours::CS},
                                       {{1, 200}, TrueColours::CC}, {{200, 1}, TrueColours::CM},
                                       {{57, 103}, TrueColours::CN}};
  for (const auto& [cell, colour] : live) C_(cell.first, cell.second) = colour;
  // The margin around the world is never drawn.
  C_(0, 5) = C_(5, 0) = C_(201, 7) = C_(7, 201) = TrueColours::CN;

  frontEnd_.display(C_, 200);

  std::map<Cell, int> once;
  for (const auto& entry : live) once[entry.first] = 1;
  EXPECT_EQ(writes_, once);
  for (std::uint32_t i = 0; i <= 201; ++i) {
    EXPECT_EQ(display::GETPIXEL(0, i), display::BLACK) << "column 0, row " << i;
    EXPECT_EQ(display::GETPIXEL(i, 0), display::BLACK) << "row 0, column " << i;
  }
  EXPECT_EQ(display::GETPIXEL(201, 7), display::BLACK);
  for (const auto& [cell, colour] : live) EXPECT_EQ(display::GETPIXEL(cell.first, cell.second), colour);
}

TEST_F(PixelFrontEndTest, OnlyChangedCellsAreRewritten) {
  C_(10, 10) = C_(20, 20) = C_(30, 30) = TrueColours::CN;
  frontEnd_.display(C_, 200);
  writes_.clear();

  C_(10, 10) = 0;                 // dies
  C_(20, 20) = TrueColours::CS;   // recognised as part of a still structure
  C_(40, 40) = TrueColours::CN;   // is born; [30, 30] stays as it was
  frontEnd_.display(C_, 200);

  const std::map<Cell, int> expected = {{{10, 10}, 1}, {{20, 20}, 1}, {{40, 40}, 1}};
  EXPECT_EQ(writes_, expected);
  EXPECT_EQ(display::GETPIXEL(10, 10), display::BLACK);
  EXPECT_EQ(display::GETPIXEL(20, 20), TrueColours::CS);
}

TEST_F(PixelFrontEndTest, MinimisedWindowCostsWritesAndRestoredOneIsDrawnAgain) {
  C_(5, 6) = TrueColours::CC;
  frontEnd_.display(C_, 200);
  plat::headless::minimize(display::state._HW);
  pump();
  writes_.clear();

  frontEnd_.display(C_, 200);  // every read-back is invalid: every cell written, without effect
  EXPECT_EQ(writes_.size(), 200u * 200u);

  plat::headless::restore(display::state._HW);
  pump();
  writes_.clear();
  frontEnd_.display(C_, 200);
  frontEnd_.endOfPass();
  EXPECT_EQ(writes_.size(), 1u);
  const std::vector<plat::COLORREF> shown = plat::headless::windowPixels(display::state._HW);
  ASSERT_EQ(shown.size(), 500u * 500u);
  EXPECT_EQ(shown[6 * 500 + 5], TrueColours::CC);
}

// Whether pixels (1..GRO, 1..GRO) of the main surface show cells [1..GRO, 1..GRO] of C.
::testing::AssertionResult worldShows(const Grid<Colour>& C, int GRO) {
  for (int x = 1; x <= GRO; ++x) {
    for (int y = 1; y <= GRO; ++y) {
      const auto px = static_cast<std::uint32_t>(x);
      const auto py = static_cast<std::uint32_t>(y);
      if (display::GETPIXEL(px, py) != C(x, y)) {
        return ::testing::AssertionFailure() << "pixel of [" << x << ", " << y << "]";
      }
    }
  }
  return ::testing::AssertionSuccess();
}

TEST_F(PixelFrontEndTest, ARunningWorldReadBackByItsChangedBandsShowsEveryGeneration) {
  PixelFrontEnd<> frontEnd(kMorvaneDisplay.GRO);
  Engine<TrueColours> engine(kMorvaneDisplay);
  engine.start();
  for (int n = 0; n < 24; ++n) {
    engine.pass(frontEnd);
    ASSERT_TRUE(worldShows(engine.C, kMorvaneDisplay.GRO)) << "after pass " << n + 1;
  }
}

TEST_F(PixelFrontEndTest, ANewMainSurfaceIsReadBackWholeThoughNoBandChanged) {
  C_(3, 4) = C_(200, 200) = TrueColours::CN;
  frontEnd_.displayChanged(C_, 200, ColourChanges{});  // a first phase reads everything back
  EXPECT_EQ(display::GETPIXEL(3, 4), TrueColours::CN);
  plat::headless::resize(display::state._HW, 450, 400);
  pump();  // the window library builds a new, blank main surface
  writes_.clear();
  frontEnd_.displayChanged(C_, 200, ColourChanges{});
  EXPECT_EQ(writes_.size(), 2u);
  EXPECT_EQ(display::GETPIXEL(3, 4), TrueColours::CN);
  EXPECT_EQ(display::GETPIXEL(200, 200), TrueColours::CN);
  writes_.clear();
  frontEnd_.displayChanged(C_, 200, ColourChanges{});  // the same surface: nothing to read back
  EXPECT_TRUE(writes_.empty());
}

TEST_F(PixelFrontEndTest, PanelLinesStandBesideTheWorldTopLineFirst) {
  const char* texts[] = {"end    :-3",     "lifepro:3.08% ", "life   :1234", "step   :42",
                         "rules  :002100000", "random :true/10/0", "edge   :true",
                         "txtstep:2",      "outstep:2",      "size   :200"};
  for (std::int32_t K = 10; K >= 1; --K) frontEnd_.panelLine(K, texts[K - 1]);
  for (std::int32_t K = 10; K >= 1; --K) {
    const std::string want = std::string(texts[K - 1]).substr(0, std::string(texts[K - 1]).find_last_not_of(' ') + 1);
    EXPECT_EQ(testing::readSurfaceText(210, static_cast<std::uint32_t>(200 - 20 * K), 20, display::BLACK), want)
        << "line " << K;
  }
  // Black on a white box that fits the text: white just right of "size   :200" ends there.
  EXPECT_EQ(display::GETPIXEL(210, 0), display::WHITE);
  EXPECT_EQ(display::GETPIXEL(210 + 11 * 8 - 1, 15), display::WHITE);
  EXPECT_EQ(display::GETPIXEL(210 + 11 * 8, 15), display::BLACK);
  EXPECT_EQ(display::GETPIXEL(209, 0), display::BLACK);
}

TEST_F(PixelFrontEndTest, ShorterTextLeavesTheTailOfTheLongerOne) {
  frontEnd_.panelLine(3, "life   :1234");
  frontEnd_.panelLine(3, "life   :999");
  EXPECT_EQ(testing::readSurfaceText(210, 140, 20, display::BLACK), "life   :9994");
}

TEST_F(PixelFrontEndTest, AnUnchangedLineIsDrawnAgainOnANewMainSurface) {
  frontEnd_.panelLine(3, "life   :1234");
  frontEnd_.panelLine(3, "life   :1234");
  EXPECT_EQ(testing::readSurfaceText(210, 140, 20, display::BLACK), "life   :1234");
  plat::headless::resize(display::state._HW, 450, 400);
  pump();  // the window library builds a new, blank main surface
  ASSERT_EQ(testing::readSurfaceText(210, 140, 20, display::BLACK), "");
  frontEnd_.panelLine(3, "life   :1234");
  EXPECT_EQ(testing::readSurfaceText(210, 140, 20, display::BLACK), "life   :1234");
}

TEST_F(PixelFrontEndTest, EndOfPassEmptiesTheQueuesPresentsOnceAndPausesOneMillisecond) {
  for (int i = 0; i < 5; ++i) plat::PostMessageA(display::state._HW, plat::WM_USER, i, 0);
  display::SETPIXEL(3, 4, TrueColours::CM);
  const int before = plat::headless::presentCount(display::state._HW);
  plat::headless::advanceClock(std::chrono::milliseconds(250));

  frontEnd_.endOfPass();

  EXPECT_EQ(plat::headless::presentCount(display::state._HW), before + 1);
  EXPECT_FALSE(display::ISNEXTMSG());
  EXPECT_EQ(plat::headless::windowPixels(display::state._HW)[4 * 500 + 3], TrueColours::CM);
  // The frame is stamped when shown, then the pass pauses 1 ms on the platform's clock.
  EXPECT_EQ(display::state._MSCNT[display::state._MSCNTI], 0.25);
  EXPECT_NEAR(display::GETTIMER(), 0.251, 1e-9);
}

struct PlaceCase {
  std::int16_t GRO;
  std::int32_t K;
  PanelPlace at;
};

TEST(PanelPlace, LinesAreTwentyPixelsApartAboveTheBase) {
  const PlaceCase cases[] = {{200, 10, {210, 0}},  {200, 1, {210, 180}}, {100, 10, {110, 0}},
                             {100, 1, {110, 180}}, {1, 5, {11, 100}},    {600, 10, {610, 400}},
                             {600, 1, {610, 580}}, {1000, 1, {1010, 980}}};
  for (const PlaceCase& c : cases) {
    const PanelPlace at = panelPlace(c.GRO, c.K);
    EXPECT_EQ(at.x, c.at.x) << c.GRO << " " << c.K;
    EXPECT_EQ(at.y, c.at.y) << c.GRO << " " << c.K;
  }
}

TEST(PanelPlaceDeathTest, ALineAboveTheClientAreaIsARangeError) {
  EXPECT_EXIT(panelPlace(200, 11), ::testing::ExitedWithCode(201), "Runtime error 201");
}

}  // namespace
}  // namespace morvane::windowed
