// The library font, measuring and drawing text.
#include <cstring>

#include "display_fixture.h"

namespace display::testing {
namespace {

class TextTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    CREATEWIN(120, 60);
    pump();
  }
};

TEST_F(TextTest, FirstFontTakesTheWindowFontHeight) {
  plat::TEXTMETRICA metrics{};
  ASSERT_TRUE(plat::GetTextMetricsA(state._DC, &metrics));
  EXPECT_EQ(state._FH, static_cast<std::uint32_t>(metrics.tmHeight));
  EXPECT_EQ(state._TM.tmHeight, metrics.tmHeight);
  EXPECT_NE(state._FNS, 0u);
  plat::SIZE measured{};
  ASSERT_TRUE(plat::GetTextExtentPointA(state._DC, "Life", 4, &measured));
  EXPECT_EQ(GETSTRINGWIDTH("Life"), static_cast<std::uint32_t>(measured.cx));
  EXPECT_EQ(state._STRZ.cx, measured.cx);
  EXPECT_EQ(state._STRZ.cy, measured.cy);
  EXPECT_EQ(GETSTRINGWIDTH(""), 0u);
}

struct ScaleCase {
  std::uint32_t fontHeight;  // _FH
  std::uint32_t width;       // expected GETSTRINGWIDTH of "a" (8 by 16 cells)
};

class WidthScaling : public TextTest, public ::testing::WithParamInterface<ScaleCase> {};

TEST_P(WidthScaling, ScalesToTheFontHeightRoundingHalfToEven) {
  state._FH = GetParam().fontHeight;
  EXPECT_EQ(GETSTRINGWIDTH("a"), GetParam().width);
}

INSTANTIATE_TEST_SUITE_P(Heights, WidthScaling,
                         ::testing::Values(ScaleCase{16, 8}, ScaleCase{32, 16},  // twice the height
                                           ScaleCase{1, 0},                      // 0.5 -> 0
                                           ScaleCase{3, 2},                      // 1.5 -> 2
                                           ScaleCase{5, 2},                      // 2.5 -> 2
                                           ScaleCase{7, 4},                      // 3.5 -> 4
                                           ScaleCase{6, 3}));

using morvane::plat::testing::kRealWindows;

// The size of `text` in the font selected on B: 8 by 16 per character in the emulation's
// face, the width and height of the face Windows chose on Windows.
plat::SIZE textSize(PBITMAP B, const char* text) {
  plat::SIZE size{};
  plat::GetTextExtentPointA(B->DC, text, static_cast<int>(std::strlen(text)), &size);
  if (!kRealWindows) {
    EXPECT_EQ(size.cx, static_cast<plat::LONG>(8 * std::strlen(text)));
    EXPECT_EQ(size.cy, 16);
  }
  return size;
}

// The cells of a text box: both text and background colour occur; every pixel is one of
// them, except on Windows, whose text is antialiased (edge pixels in between).
void expectTextBox(PBITMAP surface, int x0, int y0, plat::SIZE box, Colour text, Colour fill) {
  int textPixels = 0;
  int fillPixels = 0;
  for (int y = y0; y < y0 + box.cy; ++y) {
    for (int x = x0; x < x0 + box.cx; ++x) {
      const Colour p = plat::GetPixel(surface->DC, x, y);
      if (!kRealWindows) {
        ASSERT_TRUE(p == text || p == fill) << x << "," << y << ": " << std::hex << p;
      }
      textPixels += p == text;
      fillPixels += p == fill;
    }
  }
  EXPECT_GT(textPixels, 0);
  EXPECT_GT(fillPixels, 0);
}

TEST_F(TextTest, TextBoxIsFilledWithTheBackgroundColour) {
  const plat::SIZE box = textSize(state._PMAIN, "AB");
  DRAWTEXTXY("AB", 10, 12, WHITE, RED);
  expectTextBox(state._PMAIN, 10, 12, box, WHITE, RED);
  EXPECT_EQ(GETPIXEL(9, 12), BLACK);
  EXPECT_EQ(GETPIXEL(10 + box.cx, 12), BLACK);
  EXPECT_EQ(GETPIXEL(10, 12 + box.cy), BLACK);
  EXPECT_EQ(state._FX, 10u + static_cast<std::uint32_t>(box.cx));
  EXPECT_EQ(state._FY, 12u);
}

TEST_F(TextTest, TransparentBackgroundPaintsTheCellsInItsColourButNeverReachesTheWindow) {
  const plat::SIZE box = textSize(state._PMAIN, "x");
  DRAWTEXTXY("x", 40, 20, LIME, TRANSPARENT);
  expectTextBox(state._PMAIN, 40, 20, box, LIME, TRANSPARENT);
  FRESHWIN();
  // The window shows the glyph and its old background where the cells are TRANSPARENT.
  for (int y = 20; y < 20 + box.cy; ++y) {
    for (int x = 40; x < 40 + box.cx; ++x) {
      ASSERT_EQ(shown(x, y), GETPIXEL(x, y) == TRANSPARENT ? BLACK : GETPIXEL(x, y));
    }
  }
}

TEST_F(TextTest, EmptyTextDrawsNothingAndEndsWhereItStarts) {
  DRAWTEXTXY("", 5, 6, WHITE, RED);
  EXPECT_EQ(state._FX, 5u);
  EXPECT_EQ(state._FY, 6u);
  for (Colour p : pixels(state._PMAIN)) ASSERT_EQ(p, BLACK);
}

TEST_F(TextTest, TextOnAnotherSurfaceAndFontSettings) {
  PBITMAP surface = CREATEBMP(40, 20, NAVY);
  DRAWTEXTXY(surface, "Hi", 0, 0, YELLOW, BLACK);
  const plat::SIZE box = textSize(surface, "Hi");
  expectTextBox(surface, 0, 0, box, YELLOW, BLACK);
  EXPECT_EQ(state._FX, static_cast<std::uint32_t>(box.cx));
  // A library font for that surface: the main surface's font object is replaced.
  const plat::HFONT before = state._FNS;
  state._FFN = "VGA8";
  SETFONT(surface);
  EXPECT_NE(state._FNS, before);
  EXPECT_EQ(state._FH, 16u);  // settings are not read back once _FH is set
  RELEASEBMP(surface);
}

TEST_F(TextTest, As2pcGivesZeroTerminatedCharacters) {
  const std::string empty;
  const std::string word = "DefaultClass";
  EXPECT_STREQ(AS2PC(empty), "");
  EXPECT_EQ(AS2PC(word), word.c_str());
  EXPECT_EQ(AS2PC(word)[word.size()], '\0');
}

class TextDeathTest : public TextTest {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TextTest::SetUp();
  }
};

TEST_F(TextDeathTest, RangeAndOverflowErrors) {
  EXPECT_EXIT(DRAWTEXTXY("a", 0x80000000u, 0, WHITE, BLACK), ::testing::ExitedWithCode(201),
              "Runtime error 201");
  EXPECT_EXIT(DRAWTEXTXY("a", 0, 0x80000000u, WHITE, BLACK), ::testing::ExitedWithCode(201),
              "Runtime error 201");
  EXPECT_EXIT(
      {
        state._FH = 0x80000000u;
        SETFONT();
      },
      ::testing::ExitedWithCode(201), "Runtime error 201");
  EXPECT_EXIT(
      {
        state._FH = 0xFFFFFFFFu;  // "aaa" measures 24 by 16: 1.5 * 2^32 does not fit
        GETSTRINGWIDTH("aaa");
      },
      ::testing::ExitedWithCode(201), "Runtime error 201");
}

}  // namespace
}  // namespace display::testing
