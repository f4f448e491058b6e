// Text on contexts: glyph pixels, background modes, extents, fonts and metrics.
#include "fonts/fonts.h"
#include "headless/headless.h"
#include "test_support.h"

namespace morvane::plat::testing {
namespace {

constexpr COLORREF kInk = RGB(255, 255, 0);
constexpr COLORREF kPaper = RGB(0, 0, 128);
constexpr COLORREF kOld = RGB(50, 50, 50);

class TextTest : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    dc_ = CreateCompatibleDC(0);
    SelectObject(dc_, CreateCompatibleBitmap(dc_, 40, 20));
    const HBRUSH b = CreateSolidBrush(kOld);
    const RECT all{0, 0, 40, 20};
    FillRect(dc_, &all, b);
    SetTextColor(dc_, kInk);
    SetBkColor(dc_, kPaper);
  }
  HDC dc_ = 0;
};

TEST_F(TextTest, GlyphPixelsOfAKnownCharacterInBothModes) {
  const fonts::BitmapFont& f = fonts::vga16();
  for (const int mode : {OPAQUE, TRANSPARENT}) {
    SetBkMode(dc_, mode);
    ASSERT_TRUE(TextOutA(dc_, 3, 2, "A", 1));
    int ink = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 8; ++x) {
        const COLORREF want = f.pixel('A', x, y) ? kInk : (mode == OPAQUE ? kPaper : kOld);
        ASSERT_EQ(GetPixel(dc_, 3 + x, 2 + y), want) << x << "," << y << " mode " << mode;
        ink += f.pixel('A', x, y);
      }
    }
    EXPECT_GT(ink, 20);
    EXPECT_EQ(GetPixel(dc_, 2, 2), kOld) << "left of the cell";
    EXPECT_EQ(GetPixel(dc_, 11, 2), kOld) << "right of the cell";
    EXPECT_EQ(GetPixel(dc_, 3, 1), kOld) << "above the cell";
    EXPECT_EQ(GetPixel(dc_, 3, 18), kOld) << "below the cell";
    const HBRUSH b = CreateSolidBrush(kOld);
    const RECT all{0, 0, 40, 20};
    FillRect(dc_, &all, b);
  }
}

TEST_F(TextTest, TextIsClippedAndSpacedEightPixels) {
  SetBkMode(dc_, OPAQUE);
  ASSERT_TRUE(TextOutA(dc_, 36, -4, "  ", 2));  // half of the first cell, top cut off
  EXPECT_EQ(GetPixel(dc_, 36, 0), kPaper);
  EXPECT_EQ(GetPixel(dc_, 39, 11), kPaper);
  EXPECT_EQ(GetPixel(dc_, 39, 12), kOld);
  EXPECT_EQ(GetPixel(dc_, 35, 0), kOld);
  EXPECT_TRUE(TextOutA(dc_, -100, 0, "xyz", 3));
  EXPECT_TRUE(TextOutA(dc_, 0, 0, "", 0));
  EXPECT_FALSE(TextOutA(dc_, 0, 0, "a", -1));
}

TEST_F(TextTest, ExtentIsEightPerCharacterByTheFontHeight) {
  SIZE s{};
  ASSERT_TRUE(GetTextExtentPointA(dc_, "hello", 5, &s));
  EXPECT_EQ(s.cx, 40);
  EXPECT_EQ(s.cy, 16);
  ASSERT_TRUE(GetTextExtentPointA(dc_, "", 0, &s));
  EXPECT_EQ(s.cx, 0);
  EXPECT_EQ(s.cy, 16);
  SelectObject(dc_, CreateFontA(8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr));
  ASSERT_TRUE(GetTextExtentPointA(dc_, "abc", 3, &s));
  EXPECT_EQ(s.cx, 24);
  EXPECT_EQ(s.cy, 8);
}

TEST_F(TextTest, FontChoiceAndMetrics) {
  struct Case {
    int height;
    const char* face;
    LONG tmHeight;
  };
  const Case cases[] = {{0, nullptr, 16}, {16, "", 16}, {8, nullptr, 8}, {-8, nullptr, 8},
                        {0, "VGA8", 8},   {8, "vga16", 16}, {40, nullptr, 16}};
  for (const Case& c : cases) {
    const HFONT font = CreateFontA(c.height, 0, 0, 0, 700, 1, 0, 0, 0, 0, 0, 0, 0, c.face);
    ASSERT_NE(font, 0u);
    SelectObject(dc_, font);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(dc_, &tm));
    EXPECT_EQ(tm.tmHeight, c.tmHeight) << c.height;
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_EQ(tm.tmAveCharWidth, 8);
  }
  // A window's context starts with the 8x16 face.
  const HWND hwnd = makeWindow(20, 20);
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(GetDC(hwnd), &tm));
  EXPECT_EQ(tm.tmHeight, 16);
}

TEST_F(TextTest, TextOnAWindowContextShowsInTheWindow) {
  const HWND hwnd = makeWindow(16, 16);
  const HDC dc = GetDC(hwnd);
  SetTextColor(dc, kInk);
  SetBkColor(dc, kPaper);
  TextOutA(dc, 0, 0, "AB", 2);
  const std::vector<COLORREF> px = headless::windowPixels(hwnd);
  const fonts::BitmapFont& f = fonts::vga16();
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const bool set = f.pixel(x < 8 ? 'A' : 'B', x % 8, y);
      ASSERT_EQ(px[y * 16 + x], set ? kInk : kPaper) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace morvane::plat::testing
