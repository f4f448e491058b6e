// The front end of `morvane` drawing on a palette screen (headless backend).
#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <string_view>

#include "palette_front_end.h"
#include "palette_test_support.h"

namespace morvane::palette::testing {
namespace {

// The seam between the front end and the screen: forwards every call and counts the writes.
class CountingScreen {
 public:
  explicit CountingScreen(PaletteScreen& screen) : screen_(screen) {}

  int syncColumn(std::int16_t x, std::int16_t y, const std::int16_t* colours, int count) {
    const int written = screen_.syncColumn(x, y, colours, count);
    writes += written;
    return written;
  }
  void bar(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2) {
    screen_.bar(x1, y1, x2, y2);
  }
  void textAt(std::int16_t x, std::int16_t y, std::string_view text) { screen_.textAt(x, y, text); }

  int writes = 0;  // pixel writes so far

 private:
  PaletteScreen& screen_;  // the screen drawn on
};

class FrontEndTest : public OpenScreenTest {
 protected:
  CountingScreen counting{screen};                          // the seam
  PaletteFrontEnd<CountingScreen> frontEnd{counting, 200};  // GRO 200, as in morvane
  Grid<std::int16_t> C;                                     // the engine's colour grid
};

TEST_F(FrontEndTest, WritesOnlyCellsWhoseColourChanged) {
  C(1, 1) = 2;
  C(200, 200) = 4;
  C(5, 7) = 14;
  C(100, 3) = 1;
  frontEnd.display(C, 200);
  EXPECT_EQ(4, counting.writes);  // on the black start picture only the live cells are written
  EXPECT_EQ(2, screen.readPixel(1, 1));
  EXPECT_EQ(4, screen.readPixel(200, 200));
  EXPECT_EQ(14, screen.readPixel(5, 7));
  EXPECT_EQ(1, screen.readPixel(100, 3));

  frontEnd.display(C, 200);
  EXPECT_EQ(4, counting.writes);  // nothing changed, nothing rewritten

  C(5, 7) = 0;
  C(6, 7) = 2;
  C(1, 1) = 4;
  frontEnd.display(C, 200);
  EXPECT_EQ(7, counting.writes);
  EXPECT_EQ(0, screen.readPixel(5, 7));
  EXPECT_EQ(2, screen.readPixel(6, 7));
  EXPECT_EQ(4, screen.readPixel(1, 1));
}

TEST_F(FrontEndTest, DrawsOnlyTheWorldNeverColumnOrRowZero) {
  for (int x = Grid<std::int16_t>::kLow; x <= 210; ++x) {
    for (int y = Grid<std::int16_t>::kLow; y <= 210; ++y) C(x, y) = 2;  // margin included
  }
  frontEnd.display(C, 200);
  EXPECT_EQ(200 * 200, counting.writes);
  for (int i = 0; i <= 202; ++i) {
    EXPECT_EQ(0, screen.readPixel(0, i)) << "column 0, y " << i;
    EXPECT_EQ(0, screen.readPixel(i, 0)) << "row 0, x " << i;
    EXPECT_EQ(0, screen.readPixel(201, i)) << "column 201, y " << i;
    EXPECT_EQ(0, screen.readPixel(i, 201)) << "row 201, x " << i;
  }
  for (int x = 1; x <= 200; ++x) {
    for (int y = 1; y <= 200; ++y) ASSERT_EQ(2, screen.readPixel(x, y)) << x << ", " << y;
  }
}

// Where the panel of a world of side GRO goes.
struct PanelCase {
  std::int16_t GRO;
  int lineX;                                      // left edge of every line
  int topY;                                       // top of line 10; line K at topY + 10 * (10 - K)
  int barLeft, barTop, barRight, barBottom;       // the clearing bar, corners included

  friend void PrintTo(const PanelCase& p, std::ostream* os) { *os << "GRO " << p.GRO; }
};

class PanelTest : public OpenScreenTest, public ::testing::WithParamInterface<PanelCase> {
 protected:
  CountingScreen counting{screen};
  PaletteFrontEnd<CountingScreen> frontEnd{counting, GetParam().GRO};
};

TEST_P(PanelTest, BarClearsExactlyItsRectangle) {
  const PanelCase& p = GetParam();
  paint(screen, p.barLeft - 2, p.barTop - 2, p.barRight + 2, p.barBottom + 2, 2);
  frontEnd.panelBegin();
  for (int y = p.barTop - 2; y <= p.barBottom + 2; ++y) {
    for (int x = p.barLeft - 2; x <= p.barRight + 2; ++x) {
      const bool in = x >= p.barLeft && x <= p.barRight && y >= p.barTop && y <= p.barBottom;
      ASSERT_EQ(in ? 0 : 2, screen.readPixel(x, y)) << x << ", " << y;
    }
  }
}

TEST_P(PanelTest, LinesStartTenPixelsApartFromTheTop) {
  const PanelCase& p = GetParam();
  for (int K = 10; K >= 1; --K) frontEnd.panelLine(K, "line:" + std::to_string(K));
  for (int K = 10; K >= 1; --K) {
    const int y = p.topY + 10 * (10 - K);
    EXPECT_TRUE(showsText(screen, p.lineX, y, "line:" + std::to_string(K) + " ", 0)) << "line " << K;
  }
}

INSTANTIATE_TEST_SUITE_P(Placement, PanelTest,
                         ::testing::Values(PanelCase{200, 210, 100, 270, 160, 350, 210},
                                           PanelCase{50, 60, 0, 120, 60, 200, 110}),
                         [](const auto& info) { return "Gro" + std::to_string(info.param.GRO); });

// Draws one panel phase with `lines[0]` as line 10 down to `lines[9]` as line 1.
template <class FrontEnd>
void drawPanel(FrontEnd& frontEnd, const std::array<std::string, 10>& lines) {
  frontEnd.panelBegin();
  for (int K = 10; K >= 1; --K) frontEnd.panelLine(K, lines[10 - K]);
}

TEST_F(FrontEndTest, ShorterValuesLeaveNoTrace) {
  std::array<std::string, 10> lines{"size   :200", "outstep:2",    "txtstep:2",
                                    "edge   :true", "random :true/10/0", "rules  :002100000",
                                    "step   :1000", "life   :1000", "lifepro:25.5",
                                    "end    :-10"};
  drawPanel(frontEnd, lines);
  lines[6] = "step   :1002";
  lines[7] = "life   :999";
  lines[8] = "lifepro:2.4";
  lines[9] = "end    :0";
  drawPanel(frontEnd, lines);
  for (int K = 10; K >= 1; --K) {
    // the line and the cell after it: no pixel of a former, longer value remains
    EXPECT_TRUE(showsText(screen, 210, 100 + 10 * (10 - K), lines[10 - K] + " ", 0)) << "line " << K;
  }
}

TEST_F(FrontEndTest, RepeatedPanelsShowEveryLine) {
  // Lines 1..4 under the bar come back each time; lines 5..10 stay as drawn.
  const std::array<std::string, 10> lines{"size   :200", "outstep:2",    "txtstep:2",
                                          "edge   :true", "random :true/10/0", "rules  :002100000",
                                          "step   :77", "life   :512", "lifepro:1.28% ",
                                          "end    :-19"};
  for (int phase = 1; phase <= 3; ++phase) {
    drawPanel(frontEnd, lines);
    for (int K = 10; K >= 1; --K) {
      EXPECT_TRUE(showsText(screen, 210, 100 + 10 * (10 - K), lines[10 - K] + " ", 0))
          << "phase " << phase << ", line " << K;
    }
  }
}

}  // namespace
}  // namespace morvane::palette::testing
