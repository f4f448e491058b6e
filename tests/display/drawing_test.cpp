// Surfaces, bars, pixels and blits.
#include "display_fixture.h"

namespace display::testing {
namespace {

class DrawingTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    // Wide enough for every system: Windows widens a captioned window to its minimum size.
    CREATEWIN(160, 48, WHITE, GOLD);
    pump();
  }
};

struct BarCase {
  int x, y, w, h;  // the bar
};

class BarEdges : public DrawingTest, public ::testing::WithParamInterface<BarCase> {};

TEST_P(BarEdges, FillsExactlyWidthByHeightPixels) {
  const BarCase& c = GetParam();
  PBITMAP surface = CREATEBMP(16, 12, BLACK);
  BAR(surface, c.x, c.y, c.w, c.h, RED);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 16; ++x) {
      const bool inside = x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h;
      ASSERT_EQ(pixel(surface, x, y), inside ? RED : BLACK) << x << "," << y;
    }
  }
  RELEASEBMP(surface);
}

INSTANTIATE_TEST_SUITE_P(Bars, BarEdges,
                         ::testing::Values(BarCase{2, 3, 4, 5}, BarCase{0, 0, 1, 1},
                                           BarCase{2, 3, 0, 5}, BarCase{2, 3, 4, 0},
                                           BarCase{10, 8, 20, 20},  // clipped at the edges
                                           BarCase{0, 0, 16, 12}));

TEST_F(DrawingTest, TransparentFillsNothing) {
  PBITMAP surface = CREATEBMP(8, 8, NAVY);
  BAR(surface, 0, 0, 8, 8, TRANSPARENT);
  CLEAR(surface, TRANSPARENT);
  for (Colour p : pixels(surface)) ASSERT_EQ(p, NAVY);
  RELEASEBMP(surface);
  // A surface of colour TRANSPARENT is not filled: it holds what a new bitmap holds.
  PBITMAP unfilled = CREATEBMP(4, 4, TRANSPARENT);
  EXPECT_EQ(unfilled->COLOR, TRANSPARENT);
  for (Colour p : pixels(unfilled)) ASSERT_EQ(p, BLACK);
  RELEASEBMP(unfilled);
}

TEST_F(DrawingTest, ClearUsesTheWindowBackgroundNotTheSurfaceColour) {
  PBITMAP surface = CREATEBMP(8, 8, NAVY);
  CLEAR(surface);
  for (Colour p : pixels(surface)) ASSERT_EQ(p, GOLD);
  RELEASEBMP(surface);
  SETPIXEL(1, 1, RED);
  CLEAR();
  EXPECT_EQ(GETPIXEL(1, 1), GOLD);
}

TEST_F(DrawingTest, CreateFromRecordCopiesSizeAndColourNotPixels) {
  PBITMAP original = CREATEBMP(10, 7, TEAL);
  BAR(original, 2, 2, 3, 3, RED);
  PBITMAP copy = CREATEBMP(original);
  EXPECT_EQ(copy->WIDTH, 10u);
  EXPECT_EQ(copy->HEIGHT, 7u);
  EXPECT_EQ(copy->COLOR, TEAL);
  EXPECT_NE(copy->DC, original->DC);
  for (Colour p : pixels(copy)) ASSERT_EQ(p, TEAL);
  RELEASEBMP(copy);
  RELEASEBMP(original);
  // A program's own record, as a size and colour template.
  BITMAP model{0, 0, 5, 3, BLACK};
  PBITMAP made = CREATEBMP(&model);
  EXPECT_EQ(made->WIDTH, 5u);
  EXPECT_NE(made->HANDLE, 0u);
  RELEASEBMP(made);
}

TEST_F(DrawingTest, ReleaseGivesBackContextAndBitmapAndOnlyTheContextOfTheWindow) {
  RELEASEBMP(nullptr);  // nothing to give back
  PBITMAP made = CREATEBMP(8, 8, RED);
  ASSERT_EQ(plat::GetPixel(made->DC, 0, 0), RED);
  const plat::HDC madeDc = made->DC;
  const plat::HBITMAP madeBitmap = made->HANDLE;
  RELEASEBMP(made);  // the record goes too (a leak shows under the sanitizer)
  EXPECT_EQ(plat::GetPixel(madeDc, 0, 0), plat::CLR_INVALID) << "context still alive";
  EXPECT_FALSE(plat::DeleteObject(madeBitmap)) << "bitmap still alive";

  const plat::HDC windowDc = state._MSCR.DC;
  ASSERT_NE(plat::GetPixel(windowDc, 0, 0), plat::CLR_INVALID);
  RELEASEBMP(state._PMSCR);  // the window record is the library's: only its context goes
  EXPECT_EQ(plat::GetPixel(windowDc, 0, 0), plat::CLR_INVALID) << "window context still alive";
  EXPECT_TRUE(plat::IsWindow(state._HW));
}

TEST_F(DrawingTest, PixelsReadBackAsWrittenAndOutsideIsInvalid) {
  for (Colour c : {RED, AMETHYST, 0x000001u, WHITE, 0x123456u}) {
    SETPIXEL(159, 47, c);
    EXPECT_EQ(GETPIXEL(159, 47), c);
  }
  EXPECT_EQ(GETPIXEL(160, 0), 0xFFFFFFFFu);
  EXPECT_EQ(GETPIXEL(0, 48), 0xFFFFFFFFu);
  SETPIXEL(160, 0, RED);  // outside: no effect, no failure
  EXPECT_EQ(GETALPHA(0xAB123456u), 0xAB);
  EXPECT_EQ(GETALPHA(WHITE), 0);
}

TEST_F(DrawingTest, BarOnMainSurfaceAndBrushChurnKeepsNoOldBrushSelected) {
  PBITMAP first = CREATEBMP(4, 4, BLACK);
  BAR(first, 0, 0, 2, 2, RED);
  const plat::HBRUSH firstBrush = state._BR;
  BAR(1, 1, 2, 2, LIME);
  EXPECT_EQ(GETPIXEL(1, 1), LIME);
  EXPECT_EQ(GETPIXEL(3, 3), GOLD);
  // The first surface no longer holds the replaced brush, and that brush is gone.
  EXPECT_EQ(plat::SelectObject(first->DC, plat::GetStockObject(plat::BLACK_BRUSH)),
            plat::GetStockObject(plat::WHITE_BRUSH));
  EXPECT_FALSE(plat::DeleteObject(firstBrush));
  RELEASEBMP(first);
}

TEST_F(DrawingTest, KeyColourOfTheSourceIsLeftOut) {
  PBITMAP source = CREATEBMP(4, 4, BLACK);
  plat::SetPixel(source->DC, 1, 1, RED);
  plat::SetPixel(source->DC, 2, 2, TRANSPARENT);
  PBITMAP target = CREATEBMP(4, 4, BLUE);
  DRAWBMP(source, target);  // keyed by the source's colour, black
  EXPECT_EQ(pixel(target, 1, 1), RED);
  EXPECT_EQ(pixel(target, 2, 2), TRANSPARENT);
  EXPECT_EQ(pixel(target, 0, 0), BLUE);

  source->COLOR = TRANSPARENT;  // now only 0x000001 is left out
  CLEAR(target, BLUE);
  DRAWBMP(source, target);
  EXPECT_EQ(pixel(target, 2, 2), BLUE);
  EXPECT_EQ(pixel(target, 0, 0), BLACK);
  EXPECT_EQ(pixel(target, 1, 1), RED);
  RELEASEBMP(target);
  RELEASEBMP(source);
}

TEST_F(DrawingTest, SourceIsStretchedToTheDestinationRectangle) {
  PBITMAP source = CREATEBMP(2, 2, BLACK);
  const Colour quadrant[2][2] = {{RED, LIME}, {BLUE, WHITE}};  // [y][x]
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 2; ++x) plat::SetPixel(source->DC, x, y, quadrant[y][x]);
  }
  CLEAR();
  DRAWBMP(source, 10, 20, 8, 6, 0x123456u);  // main-surface form: all of source into 8 by 6
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 8; ++x) ASSERT_EQ(GETPIXEL(10 + x, 20 + y), quadrant[y / 3][x / 4]);
  }
  EXPECT_EQ(GETPIXEL(9, 20), GOLD);
  EXPECT_EQ(GETPIXEL(18, 20), GOLD);
  EXPECT_EQ(GETPIXEL(10, 26), GOLD);
  // The fullest form: one source pixel (LIME) to a 3 by 2 rectangle of another surface.
  PBITMAP target = CREATEBMP(6, 6, BLACK);
  DRAWBMP(source, target, 1, 0, 1, 1, 2, 3, 3, 2, 0x123456u);
  EXPECT_EQ(pixel(target, 2, 3), LIME);
  EXPECT_EQ(pixel(target, 4, 4), LIME);
  EXPECT_EQ(pixel(target, 5, 4), BLACK);
  EXPECT_EQ(pixel(target, 2, 5), BLACK);
  RELEASEBMP(target);
  RELEASEBMP(source);
}

// The shorter forms at work: each gives the same picture as the full form it stands for.
TEST_F(DrawingTest, ShortFormsFillInTheirDefaults) {
  PBITMAP source = CREATEBMP(3, 2, RED);
  plat::SetPixel(source->DC, 0, 0, LIME);
  PBITMAP viaShort = CREATEBMP(8, 8, BLACK);
  PBITMAP viaFull = CREATEBMP(8, 8, BLACK);
  DRAWBMP(source, viaShort, 4u, 5u, BLUE);
  DRAWBMP(source, viaFull, 0, 0, 3, 2, 4, 5, 3, 2, BLUE);
  EXPECT_EQ(pixels(viaShort), pixels(viaFull));
  DRAWBMP(source, viaShort, BLUE);
  DRAWBMP(source, viaFull, 0, 0, 3, 2, 0, 0, 3, 2, BLUE);
  EXPECT_EQ(pixels(viaShort), pixels(viaFull));
  DRAWBMP(source, viaShort);  // keyed by RED: only the LIME pixel shows
  EXPECT_EQ(pixel(viaShort, 0, 0), LIME);
  RELEASEBMP(viaFull);
  RELEASEBMP(viaShort);
  RELEASEBMP(source);
}

// Each channel of a colour.
int channel(Colour c, int which) { return static_cast<int>((c >> (8 * which)) & 0xFF); }

TEST_F(DrawingTest, HalfTransparencyBlendsAtAboutHalfStrength) {
  PBITMAP source = CREATEBMP(2, 2, WHITE);
  PBITMAP target = CREATEBMP(8, 8, BLACK);
  DRAWBMP(source, target, 4u, 5u, 0x80000000u | 0x123456u);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const Colour p = pixel(target, x, y);
      const bool inside = x >= 4 && x < 6 && y >= 5 && y < 7;
      if (!inside) {
        ASSERT_EQ(p, BLACK) << x << "," << y;
        continue;
      }
      for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(channel(p, c), 127, 3) << x << "," << y;
      }
    }
  }
  RELEASEBMP(target);
  RELEASEBMP(source);
}

TEST_F(DrawingTest, FullTransparencyAndKeyedPixelsLeaveTheDestination) {
  PBITMAP source = CREATEBMP(4, 4, WHITE);
  plat::SetPixel(source->DC, 1, 1, RED);  // the key of the second draw
  PBITMAP target = CREATEBMP(4, 4, TEAL);
  DRAWBMP(source, target, 0xFF000000u | BLACK);
  for (Colour p : pixels(target)) ASSERT_EQ(p, TEAL);
  DRAWBMP(source, target, 0x40000000u | RED);
  EXPECT_EQ(pixel(target, 1, 1), TEAL);
  EXPECT_NE(pixel(target, 0, 0), TEAL);
  RELEASEBMP(target);
  RELEASEBMP(source);
}

class DrawingDeathTest : public DrawingTest {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    DrawingTest::SetUp();
  }
};

TEST_F(DrawingDeathTest, PositionsAndSizesOfTwoToTheThirtyFirstAreRangeErrors) {
  EXPECT_EXIT(GETPIXEL(0x80000000u, 0), ::testing::ExitedWithCode(201), "Runtime error 201");
  EXPECT_EXIT(SETPIXEL(0, 0x80000000u, RED), ::testing::ExitedWithCode(201), "Runtime error 201");
  EXPECT_EXIT(BAR(0x80000000u, 0, 1, 1, RED), ::testing::ExitedWithCode(201), "Runtime error 201");
  EXPECT_EXIT(CREATEBMP(0x80000000u, 1, RED), ::testing::ExitedWithCode(201), "Runtime error 201");
  EXPECT_EXIT(DRAWBMP(state._PMAIN, 0x80000000u, 0, 1, 1, 0x80000000u),
              ::testing::ExitedWithCode(201), "Runtime error 201");
}

TEST_F(DrawingDeathTest, SurfaceThePlatformKeepsRefusingIsARangeError) {
  EXPECT_EXIT(CREATEBMP(70000, 70000, RED), ::testing::ExitedWithCode(201), "Runtime error 201");
}

TEST_F(DrawingDeathTest, BarEdgeOverflowIsAnOverflowError) {
  EXPECT_EXIT(BAR(state._PMAIN, 0x7FFFFFFF, 0, 1, 1, RED), ::testing::ExitedWithCode(215),
              "Runtime error 215");
}

TEST_F(DrawingTest, PlainDrawPassesLargeCoordinatesThroughAsNegative) {
  PBITMAP source = CREATEBMP(4, 4, RED);
  CLEAR();
  DRAWBMP(source, 0xFFFFFFFEu, 0u, 4u, 4u, 0x123456u);  // x = -2: half of it shows
  EXPECT_EQ(GETPIXEL(0, 0), RED);
  EXPECT_EQ(GETPIXEL(1, 3), RED);
  EXPECT_EQ(GETPIXEL(2, 0), GOLD);
  RELEASEBMP(source);
}

}  // namespace
}  // namespace display::testing
