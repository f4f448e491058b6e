// The palette graphics facility on the headless backend.
#include <gtest/gtest.h>

#include <vector>

#include "palette_test_support.h"

namespace morvane::palette::testing {
namespace {

struct Entry {
  int index;
  int r, g, b;
};

TEST(VgaPalette, HasTheStandardDefaultColours) {
  const Entry entries[] = {
      {0, 0, 0, 0},        {1, 0, 0, 168},     {2, 0, 168, 0},     {4, 168, 0, 0},
      {6, 168, 84, 0},     {8, 84, 84, 84},    {14, 252, 252, 84}, {15, 252, 252, 252},
      {16, 0, 0, 0},       {23, 96, 96, 96},   {31, 252, 252, 252}, {32, 0, 0, 252},
      {36, 252, 0, 252},   {45, 188, 252, 0},  {56, 124, 124, 252}, {104, 0, 0, 112},
      {247, 44, 48, 64},   {248, 0, 0, 0},     {255, 0, 0, 0},
  };
  for (const Entry& e : entries) {
    const Rgb& c = kVgaPalette[e.index];
    EXPECT_EQ((Rgb{static_cast<std::uint8_t>(e.r), static_cast<std::uint8_t>(e.g),
                   static_cast<std::uint8_t>(e.b)}),
              c)
        << "entry " << e.index << " is (" << int{c.r} << ", " << int{c.g} << ", " << int{c.b}
        << ")";
  }
}

TEST(VgaPalette, LowestIndexMapsEveryEntryToTheFirstOfItsColour) {
  EXPECT_EQ(0, kLowestIndex[255]);
  EXPECT_EQ(0, kLowestIndex[16]);
  EXPECT_EQ(15, kLowestIndex[31]);
  for (int i : {0, 1, 2, 4, 14, 15}) EXPECT_EQ(i, kLowestIndex[i]);
  for (int i = 0; i < kPaletteSize; ++i) {
    const int low = kLowestIndex[i];
    EXPECT_EQ(kVgaPalette[low], kVgaPalette[i]);
    for (int j = 0; j < low; ++j) EXPECT_NE(kVgaPalette[j], kVgaPalette[i]) << i << " vs " << j;
  }
}

TEST(DetectMode, TakesTheWidestThenTallestDrawingArea) {
  struct Case {
    ScreenMetrics metrics;
    std::int16_t mode;
    int width, height;
  };
  const Case cases[] = {
      // usable area spans the screen: the maximised window is wider
      {{1280, 1024, 1280, 1024, 8, 28}, kModeMaximised, 1280, 1024},
      {{1920, 1080, 1920, 1040, 8, 28}, kModeMaximised, 1920, 1040},
      // a side panel narrows the usable area below the framed window's client area
      {{1280, 1024, 1200, 1024, 8, 28}, kModeFramed, 1272, 996},
      // no frame: equally wide, the framed window is taller
      {{800, 600, 800, 500, 0, 20}, kModeFramed, 800, 580},
  };
  for (const Case& c : cases) {
    const Mode m = detectMode(c.metrics);
    EXPECT_EQ(c.mode, m.number);
    EXPECT_EQ(c.width, m.width);
    EXPECT_EQ(c.height, m.height);
  }
}

// Pixel `i` (row by row) of what the window shows now; CLR_INVALID when it shows nothing.
plat::COLORREF shownPixel(plat::HWND window, std::size_t i) {
  const std::vector<plat::COLORREF> shown = plat::headless::windowPixels(window);
  return i < shown.size() ? shown[i] : plat::CLR_INVALID;
}

TEST_F(OpenScreenTest, OpensTheFullScreenAreaBlack) {
  EXPECT_EQ(kPalette256, driver);
  EXPECT_EQ(kModeMaximised, mode);
  ASSERT_EQ(kWidth, screen.width());
  ASSERT_EQ(kHeight, screen.height());
  // window calls belong to the service thread; the headless screen is read from here
  EXPECT_EQ(static_cast<std::size_t>(kWidth) * kHeight,
            plat::headless::windowPixels(screen.window()).size());
  for (int y = 0; y < kHeight; y += 7) {
    for (int x = 0; x < kWidth; x += 5) EXPECT_EQ(0, screen.readPixel(x, y));
  }
}

TEST_F(OpenScreenTest, ASecondOpenReportsTheFirst) {
  std::int16_t again = kDetect, againMode = -1;
  screen.open(again, againMode, "");
  EXPECT_EQ(kPalette256, again);
  EXPECT_EQ(kModeMaximised, againMode);
  EXPECT_EQ(kWidth, screen.width());
}

TEST(PaletteScreen, AnUnknownDriverOpensNothing) {
  plat::headless::reset();
  PaletteScreen screen;
  std::int16_t driver = 7, mode = -1;
  screen.open(driver, mode, "");
  EXPECT_EQ(kNotDetected, driver);
  EXPECT_EQ(0, screen.width());
  EXPECT_EQ(0u, screen.window());
  screen.writePixel(1, 1, 2);  // no drawing area: nothing happens
  screen.bar(0, 0, 10, 10);
  screen.textAt(0, 0, "x");
  EXPECT_EQ(0, screen.readPixel(1, 1));
}

TEST_F(OpenScreenTest, ReadsBackTheLowestIndexOfTheColourWritten) {
  const std::pair<std::int16_t, std::int16_t> cases[] = {
      {0, 0}, {1, 1}, {2, 2}, {4, 4}, {14, 14}, {15, 15}, {31, 15}, {16, 0}, {255, 0}, {200, 200}};
  std::int16_t x = 10;
  for (const auto& [written, read] : cases) {
    screen.writePixel(x, 20, written);
    EXPECT_EQ(read, screen.readPixel(x, 20)) << "written " << written;
    ++x;
  }
}

TEST_F(OpenScreenTest, SyncColumnWritesWhereReadPixelShowsAnotherIndexAndStaysInTheArea) {
  // Shown before: 16 (black, read back as 0), 2, 31 (read back as 15), 0.
  const std::int16_t before[] = {16, 2, 31, 0};
  for (int i = 0; i < 4; ++i) screen.writePixel(30, static_cast<std::int16_t>(40 + i), before[i]);
  const std::int16_t wanted[] = {0, 2, 31, 14};
  // Equal as readPixel tells: 0 over 16; different: 31 (shows 15), 14 over 0.
  EXPECT_EQ(2, screen.syncColumn(30, 40, wanted, 4));
  const std::int16_t shown[] = {0, 2, 15, 14};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(shown[i], screen.readPixel(30, static_cast<std::int16_t>(40 + i))) << i;
  // Only the part inside the area is read and written.
  const std::int16_t twos[] = {2, 2, 2, 2};
  EXPECT_EQ(2, screen.syncColumn(31, -2, twos, 4));
  EXPECT_EQ(2, screen.readPixel(31, 1));
  EXPECT_EQ(1, screen.syncColumn(32, static_cast<std::int16_t>(kHeight - 1), twos, 4));
  EXPECT_EQ(0, screen.syncColumn(-1, 0, twos, 4));
  EXPECT_EQ(0, screen.syncColumn(kWidth, 0, twos, 4));
}

TEST_F(OpenScreenTest, SyncColumnOfManyPixelsWritesWhatPixelCallsWould) {
  // Long columns, runs of equal and of different pixels anywhere, some pixels shown
  // through another index of their colour; the column starts above, inside and
  // near the bottom of the area.
  const std::int16_t before[] = {16, 31, 0, 2, 255, 4, 14, 1};  // 16 and 255 show 0, 31 shows 15
  const std::int16_t startYs[] = {-5, 0, 3, static_cast<std::int16_t>(kHeight - 50)};
  constexpr int kCount = 77;
  std::int16_t x = 50;
  for (const std::int16_t startY : startYs) {
    std::vector<std::int16_t> wanted(kCount);
    for (int i = 0; i < kCount; ++i) {
      const std::int16_t shown = before[(i / 3) % 8];
      screen.writePixel(x, static_cast<std::int16_t>(startY + i), shown);
      // Mostly the colour shown, as the index readPixel gives; a few scattered and
      // five adjacent pixels differ; pixel 52 asks for 31 where it shows 31 (read as 15).
      wanted[i] = i % 19 == 7 || (i >= 40 && i < 45) ? 2 : kLowestIndex[shown];
      if (i == 52) wanted[i] = shown;
    }
    // The writes pixel calls would make: where readPixel shows another index.
    const auto differing = [&] {
      int n = 0;
      for (int i = 0; i < kCount; ++i) {
        const auto y = static_cast<std::int16_t>(startY + i);
        if (y >= 0 && y < kHeight && screen.readPixel(x, y) != wanted[i]) ++n;
      }
      return n;
    };
    for (int round = 0; round < 2; ++round) {  // the second round rewrites only pixel 52
      const int expected = differing();
      EXPECT_EQ(expected, screen.syncColumn(x, startY, wanted.data(), kCount)) << "from y " << startY;
      for (int i = 0; i < kCount; ++i) {
        const auto y = static_cast<std::int16_t>(startY + i);
        if (y < 0 || y >= kHeight) continue;
        ASSERT_EQ(kLowestIndex[static_cast<std::size_t>(wanted[i])], screen.readPixel(x, y)) << "y " << y;
      }
    }
    ++x;
  }
}

TEST_F(OpenScreenTest, IgnoresPixelsOutsideTheArea) {
  const std::pair<std::int16_t, std::int16_t> outside[] = {
      {-1, 0}, {0, -1}, {kWidth, 0}, {0, kHeight}, {-32768, 32767}};
  for (const auto& [x, y] : outside) {
    screen.writePixel(x, y, 2);
    EXPECT_EQ(0, screen.readPixel(x, y));
  }
  for (int x = 0; x < kWidth; ++x) EXPECT_EQ(0, screen.readPixel(x, 0));
  for (int y = 0; y < kHeight; ++y) EXPECT_EQ(0, screen.readPixel(0, y));
}

TEST(PaletteScreenDeath, ColourOutsideThePaletteIsARangeError) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  PaletteScreen screen;
  EXPECT_EXIT(screen.writePixel(1, 1, 256), ::testing::ExitedWithCode(201), "Runtime error 201");
  EXPECT_EXIT(screen.writePixel(1, 1, -1), ::testing::ExitedWithCode(201), "Runtime error 201");
}

TEST_F(OpenScreenTest, BarFillsBothCornersInclusiveInBlack) {
  paint(screen, 0, 0, 40, 40, 2);
  screen.bar(30, 25, 10, 20);  // corners in any order
  for (int y = 0; y <= 40; ++y) {
    for (int x = 0; x <= 40; ++x) {
      const bool in = x >= 10 && x <= 30 && y >= 20 && y <= 25;
      EXPECT_EQ(in ? 0 : 2, screen.readPixel(x, y)) << x << ", " << y;
    }
  }
}

TEST_F(OpenScreenTest, BarIsClippedToTheArea) {
  screen.bar(-10, -10, 32767, 32767);
  paint(screen, 5, 5, 5, 5, 4);
  screen.bar(kWidth - 1, kHeight - 1, kWidth + 5, kHeight + 5);
  EXPECT_EQ(4, screen.readPixel(5, 5));
  EXPECT_EQ(0, screen.readPixel(kWidth - 1, kHeight - 1));
}

TEST_F(OpenScreenTest, TextPaintsOnlyGlyphPixelsInWhite) {
  paint(screen, 0, 0, 60, 20, 1);
  screen.textAt(3, 5, "Hi7:");
  EXPECT_TRUE(showsText(screen, 3, 5, "Hi7:", 1));
  EXPECT_EQ(1, screen.readPixel(3 + 32, 5));  // nothing past the last cell
}

TEST_F(OpenScreenTest, TextAtANegativePositionDrawsNothing) {
  screen.textAt(-1, 10, "####");
  screen.textAt(10, -1, "####");
  screen.textAt(-8, -8, "####");
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 50; ++x) EXPECT_EQ(0, screen.readPixel(x, y));
  }
}

TEST_F(OpenScreenTest, TextIsClippedAtTheRightAndBottomEdges) {
  screen.textAt(kWidth - 4, kHeight - 4, "##########");
  screen.textAt(32000, 32000, "#");
  const plat::fonts::BitmapFont& font = plat::fonts::vga8();
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) {
      EXPECT_EQ(font.pixel('#', col, row) ? 15 : 0,
                screen.readPixel(kWidth - 4 + col, kHeight - 4 + row));
    }
  }
}

// What the window shows, as palette-entry colours, equals the facility's copy.
TEST_F(OpenScreenTest, WindowShowsTheCopyPromptly) {
  paint(screen, 1, 1, 50, 50, 2);
  screen.writePixel(300, 200, 14);
  screen.bar(10, 10, 20, 20);
  screen.textAt(100, 150, "size   :200");
  auto matches = [&] {
    const std::vector<plat::COLORREF> shown = plat::headless::windowPixels(screen.window());
    if (shown.size() != static_cast<std::size_t>(kWidth) * kHeight) return false;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        if (shown[y * kWidth + x] != colourOf(screen.readPixel(x, y))) return false;
      }
    }
    return true;
  };
  EXPECT_TRUE(eventually(matches));
  EXPECT_EQ(colourOf(2), plat::headless::windowPixels(screen.window())[kWidth + 1]);
}

TEST_F(OpenScreenTest, RestoredWindowShowsThePictureAgain) {
  paint(screen, 100, 100, 110, 110, 4);
  const std::size_t probe = 105 * kWidth + 105;
  ASSERT_TRUE(eventually([&] { return shownPixel(screen.window(), probe) == colourOf(4); }));
  plat::headless::minimize(screen.window());
  screen.writePixel(300, 200, 14);  // drawn while minimised, in another tile
  EXPECT_TRUE(eventually([&] { return plat::headless::windowPixels(screen.window()).empty(); }));
  plat::headless::restore(screen.window());
  EXPECT_TRUE(eventually(
      [&] { return shownPixel(screen.window(), probe) == colourOf(4) &&
                   shownPixel(screen.window(), 200 * kWidth + 300) == colourOf(14); }));
}

TEST_F(OpenScreenTest, ClosingTheWindowLeavesTheCallsWorking) {
  const plat::HWND window = screen.window();
  plat::headless::close(window);
  EXPECT_TRUE(eventually([&] { return plat::headless::windowPixels(window).empty(); }));
  screen.writePixel(7, 8, 4);
  screen.bar(20, 20, 30, 30);
  screen.textAt(40, 40, "x");
  EXPECT_EQ(4, screen.readPixel(7, 8));
  EXPECT_TRUE(showsText(screen, 40, 40, "x", 0));
}

}  // namespace
}  // namespace morvane::palette::testing
