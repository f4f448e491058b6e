// Device contexts and drawing on bitmaps.
#include "test_support.h"

namespace morvane::plat::testing {
namespace {

// A memory context with a fresh w by h bitmap selected.
struct Canvas {
  HDC dc;
  HBITMAP bitmap;
  Canvas(int w, int h) : dc(CreateCompatibleDC(0)), bitmap(CreateCompatibleBitmap(dc, w, h)) {
    SelectObject(dc, bitmap);
  }
  // Fills the whole canvas with `c`.
  void fill(COLORREF c, int w, int h) {
    const HBRUSH b = CreateSolidBrush(c);
    const RECT r{0, 0, w, h};
    FillRect(dc, &r, b);
    DeleteObject(b);
  }
};

using GdiTest = PlatformTest;

TEST_F(GdiTest, FillRectCoversLeftTopAndExcludesRightBottom) {
  struct Case {
    RECT rect;
    RECT filled;  // the pixels changed on the 6x6 canvas
  };
  const Case cases[] = {
      {{1, 2, 4, 5}, {1, 2, 4, 5}},
      {{0, 0, 6, 6}, {0, 0, 6, 6}},
      {{-3, -3, 2, 1}, {0, 0, 2, 1}},
      {{2, 2, 2, 5}, {0, 0, 0, 0}},
      {{4, 4, 1, 1}, {2, 2, 5, 5}},  // inverted: mirrored, as on Windows
      {{3, 1, 1, 4}, {2, 1, 4, 4}},  // inverted across only
      {{5, 5, 100, 100}, {5, 5, 6, 6}},
  };
  const HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  for (const Case& c : cases) {
    Canvas canvas(6, 6);
    EXPECT_TRUE(FillRect(canvas.dc, &c.rect, red));
    const RECT& f = c.filled;
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 6; ++x) {
        const bool inside = x >= f.left && x < f.right && y >= f.top && y < f.bottom;
        EXPECT_EQ(GetPixel(canvas.dc, x, y), inside ? RGB(255, 0, 0) : 0u)
            << x << "," << y << " of " << c.rect.left << "," << c.rect.top << " - "
            << c.rect.right << "," << c.rect.bottom;
      }
    }
  }
  Canvas canvas(3, 3);
  const RECT all{0, 0, 3, 3};
  FillRect(canvas.dc, &all, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
  EXPECT_EQ(GetPixel(canvas.dc, 1, 1), 0u) << "the null brush paints nothing";
}

TEST_F(GdiTest, PixelsRoundTripAndOutsideIsInvalid) {
  Canvas canvas(4, 3);
  EXPECT_EQ(SetPixel(canvas.dc, 3, 2, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(canvas.dc, 3, 2), RGB(1, 2, 3));
  EXPECT_EQ(SetPixel(canvas.dc, 0, 0, 0x00010203), 0x00010203u);
  EXPECT_EQ(GetPixel(canvas.dc, 0, 0), 0x00010203u) << "COLORREF byte order survives";
  for (const POINT p : {POINT{-1, 0}, POINT{0, -1}, POINT{4, 0}, POINT{0, 3}}) {
    EXPECT_EQ(GetPixel(canvas.dc, p.x, p.y), CLR_INVALID);
    // Windows documents CLR_INVALID here too; Wine gives the colour back.
    EXPECT_EQ(SetPixel(canvas.dc, p.x, p.y, 5), byBackend<COLORREF>(CLR_INVALID, 5));
  }
  EXPECT_EQ(GetPixel(0x7777, 0, 0), CLR_INVALID) << "no such context";
}

TEST_F(GdiTest, StretchBltScalesByNearestPixel) {
  Canvas src(2, 2);
  SetPixel(src.dc, 0, 0, RGB(10, 0, 0));
  SetPixel(src.dc, 1, 0, RGB(20, 0, 0));
  SetPixel(src.dc, 0, 1, RGB(30, 0, 0));
  SetPixel(src.dc, 1, 1, RGB(40, 0, 0));
  Canvas dst(6, 6);
  ASSERT_TRUE(StretchBlt(dst.dc, 1, 1, 4, 4, src.dc, 0, 0, 2, 2, SRCCOPY));
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      COLORREF want = 0;
      if (x >= 1 && x < 5 && y >= 1 && y < 5) want = RGB(static_cast<BYTE>(10 + 10 * ((x - 1) / 2) + 20 * ((y - 1) / 2)), 0, 0);
      EXPECT_EQ(GetPixel(dst.dc, x, y), want) << x << "," << y;
    }
  }
  // Shrinking 2:1 takes every other pixel: the emulation samples each destination pixel's
  // centre (the later source pixel), Windows the first.
  Canvas small(1, 1);
  ASSERT_TRUE(StretchBlt(small.dc, 0, 0, 1, 1, src.dc, 0, 0, 2, 2, SRCCOPY));
  EXPECT_EQ(GetPixel(small.dc, 0, 0), byBackend(RGB(40, 0, 0), RGB(10, 0, 0)));
  // The layer copies only (SRCCOPY); Windows has every raster operation (here SRCPAINT).
  EXPECT_EQ(StretchBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 1, 1, 0x00EE0086), byBackend(kFalse, kTrue));
}

TEST_F(GdiTest, TransparentBltLeavesOutTheKeyColour) {
  Canvas src(3, 1);
  SetPixel(src.dc, 0, 0, RGB(1, 0, 0));
  SetPixel(src.dc, 1, 0, RGB(0, 200, 0));
  SetPixel(src.dc, 2, 0, RGB(1, 0, 1));  // close to the key, not the key
  Canvas dst(3, 1);
  dst.fill(RGB(9, 9, 9), 3, 1);
  ASSERT_TRUE(GdiTransparentBlt(dst.dc, 0, 0, 3, 1, src.dc, 0, 0, 3, 1, RGB(1, 0, 0)));
  EXPECT_EQ(GetPixel(dst.dc, 0, 0), RGB(9, 9, 9));
  EXPECT_EQ(GetPixel(dst.dc, 1, 0), RGB(0, 200, 0));
  EXPECT_EQ(GetPixel(dst.dc, 2, 0), RGB(1, 0, 1));
}

TEST_F(GdiTest, AlphaBlendWeighsSourceAndDestination) {
  struct Case {
    BYTE alpha;
    COLORREF want;
  };
  // Source (200, 100, 0) over destination (0, 100, 200).
  const Case cases[] = {{0, RGB(0, 100, 200)}, {0x80, RGB(100, 100, 100)}, {0xFF, RGB(200, 100, 0)}};
  for (const Case& c : cases) {
    Canvas src(2, 2), dst(4, 4);
    src.fill(RGB(200, 100, 0), 2, 2);
    dst.fill(RGB(0, 100, 200), 4, 4);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, c.alpha, 0};
    ASSERT_TRUE(GdiAlphaBlend(dst.dc, 2, 1, 2, 2, src.dc, 0, 0, 2, 2, blend));
    EXPECT_EQ(GetPixel(dst.dc, 2, 1), c.want) << int{c.alpha};
    EXPECT_EQ(GetPixel(dst.dc, 3, 2), c.want) << int{c.alpha};
    EXPECT_EQ(GetPixel(dst.dc, 1, 1), RGB(0, 100, 200)) << "outside the destination rectangle";
    EXPECT_EQ(GetPixel(dst.dc, 2, 3), RGB(0, 100, 200));
  }
}

TEST_F(GdiTest, SetDIBits24BitBottomUpWithPaddedRows) {
  // 3 by 2 pixels: 9 bytes per row padded to 12. The first row in memory is the bottom one.
  const BYTE bits[24] = {
      1, 2, 3,  4, 5, 6,  7, 8, 9,  0xEE, 0xEE, 0xEE,       // bottom row: BGR triples + padding
      10, 11, 12,  13, 14, 15,  16, 17, 18,  0xEE, 0xEE, 0xEE,  // top row
  };
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{40, 3, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  Canvas canvas(3, 2);
  EXPECT_EQ(SetDIBits(canvas.dc, canvas.bitmap, 0, 2, bits, &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(GetPixel(canvas.dc, 0, 1), RGB(3, 2, 1));
  EXPECT_EQ(GetPixel(canvas.dc, 2, 1), RGB(9, 8, 7));
  EXPECT_EQ(GetPixel(canvas.dc, 0, 0), RGB(12, 11, 10));
  EXPECT_EQ(GetPixel(canvas.dc, 2, 0), RGB(18, 17, 16));
  // Top-down 32 bits per pixel.
  const BYTE top[8] = {1, 2, 3, 0, 4, 5, 6, 0};
  info.bmiHeader = BITMAPINFOHEADER{40, 1, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  EXPECT_EQ(SetDIBits(canvas.dc, canvas.bitmap, 0, 2, top, &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(GetPixel(canvas.dc, 0, 0), RGB(3, 2, 1));
  EXPECT_EQ(GetPixel(canvas.dc, 0, 1), RGB(6, 5, 4));
  // The layer reads 24 and 32 bits per pixel only; Windows also 16.
  info.bmiHeader.biBitCount = 16;
  EXPECT_EQ(SetDIBits(canvas.dc, canvas.bitmap, 0, 2, top, &info, DIB_RGB_COLORS),
            byBackend(0, 2));
}

TEST_F(GdiTest, DibSectionPixelsAreTheBitmapsOwn) {
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{40, 3, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, 0, 0);
  ASSERT_NE(bitmap, 0u);
  ASSERT_NE(bits, nullptr);
  auto* pixels = static_cast<std::uint32_t*>(bits);  // 3 by 2 words 0x00RRGGBB, rows from the top
  EXPECT_EQ(pixels[5] & 0xFFFFFFu, 0u) << "a new section is black";
  const HDC dc = CreateCompatibleDC(0);
  SelectObject(dc, bitmap);
  // Drawing calls show in the pixels once flushed ...
  EXPECT_EQ(SetPixel(dc, 2, 1, RGB(0x11, 0x22, 0x33)), RGB(0x11, 0x22, 0x33));
  const HBRUSH brush = CreateSolidBrush(RGB(0xA0, 0xB0, 0xC0));
  const RECT topRow{0, 0, 3, 1};
  FillRect(dc, &topRow, brush);
  EXPECT_TRUE(GdiFlush());
  EXPECT_EQ(pixels[5] & 0xFFFFFFu, 0x112233u);
  EXPECT_EQ(pixels[0] & 0xFFFFFFu, 0xA0B0C0u);
  EXPECT_EQ(pixels[3] & 0xFFFFFFu, 0u);
  // ... and what is written in place shows in the drawing calls.
  pixels[3] = 0x00445566;
  EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0x44, 0x55, 0x66));
  DeleteDC(dc);
  DeleteObject(brush);
  DeleteObject(bitmap);
}

TEST_F(GdiTest, DibSectionRefusesWhatItCannotGive) {
  struct Case {
    LONG height;
    WORD bitCount;
    HANDLE section;
  };
  const Case cases[] = {{2, 32, 0}, {-2, 24, 0}, {-2, 32, 1}};  // bottom-up, 24 bits, a section
  for (const Case& c : cases) {
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{40, 3, c.height, 1, c.bitCount, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = &info;
    EXPECT_EQ(CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, c.section, 0), 0u) << c.height;
    EXPECT_EQ(bits, nullptr) << c.height;
  }
}

TEST_F(GdiTest, ObjectsSelectedWhenDeletedAreFreedOnDeselection) {
  Canvas canvas(2, 2);
  const HBRUSH first = CreateSolidBrush(RGB(1, 1, 1));
  SelectObject(canvas.dc, first);
  EXPECT_TRUE(DeleteObject(first));
  const RECT r{0, 0, 1, 1};
  EXPECT_TRUE(FillRect(canvas.dc, &r, first)) << "still alive while selected";
  const HBRUSH second = CreateSolidBrush(RGB(2, 2, 2));
  EXPECT_EQ(SelectObject(canvas.dc, second), first);
  if (!kRealWindows) {
    // The emulation frees it now; Wine keeps a brush deleted while selected for good.
    EXPECT_FALSE(FillRect(canvas.dc, &r, first)) << "freed once deselected";
    EXPECT_FALSE(DeleteObject(first));
  }
  // Windows lets a stock object be "deleted" (it stays); the emulation refuses.
  EXPECT_EQ(DeleteObject(GetStockObject(WHITE_BRUSH)), byBackend(kFalse, kTrue));
  // A bitmap is selected into one context at a time.
  const HDC other = CreateCompatibleDC(0);
  EXPECT_EQ(SelectObject(other, canvas.bitmap), 0u);
  EXPECT_TRUE(DeleteDC(other));
  EXPECT_FALSE(DeleteDC(other));
  // A negative size is refused by the emulation; Windows (Wine) takes its magnitude.
  EXPECT_EQ(CreateCompatibleBitmap(0, -1, 4) != 0, byBackend(false, true));
  EXPECT_NE(CreateCompatibleBitmap(0, 0, 0), 0u);
}

TEST_F(GdiTest, ScreenContextAndDeadWindowContextsDrawNothing) {
  const HDC screen = GetDC(0);
  ASSERT_NE(screen, 0u);
  // The emulation's screen context draws and reads nothing; Windows' reads the screen.
  EXPECT_EQ(GetPixel(screen, 0, 0) == CLR_INVALID, byBackend(true, false));
  EXPECT_NE(CreateCompatibleDC(screen), 0u);
  const HWND hwnd = makeWindow(5, 5);
  const HDC dc = GetDC(hwnd);
  DestroyWindow(hwnd);
  EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
  // The emulation keeps a dead window's context until it is released; Windows ends it
  // with the window.
  EXPECT_EQ(CreateCompatibleDC(dc) != 0, byBackend(true, false));
  EXPECT_EQ(ReleaseDC(hwnd, dc), byBackend(1, 0));
  EXPECT_EQ(ReleaseDC(0, screen), 1);
}

}  // namespace
}  // namespace morvane::plat::testing
