// The drawing scenarios (see drawing_scenarios.h), written against platform.h only.
#include "drawing_scenarios.h"

#include "platform.h"

namespace morvane::scenarios::MORVANE_SCENARIO_SIDE {

namespace {

using namespace morvane::plat;

constexpr int kW = 16;  // every target bitmap: 16 by 12 pixels
constexpr int kH = 12;
constexpr COLORREF kGround = 0x00406080;  // what the target holds before the scenario draws
constexpr COLORREF kKey = 0x00FF00FF;     // the key colour of the keyed blits

// A memory context with a bitmap of w by h selected, filled with `colour`.
class Canvas {
 public:
  Canvas(int w, int h, COLORREF colour)
      : w_(w), h_(h), dc_(CreateCompatibleDC(0)), bitmap_(CreateCompatibleBitmap(dc_, w, h)) {
    previous_ = SelectObject(dc_, bitmap_);
    fill(RECT{0, 0, w, h}, colour);
  }
  ~Canvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }

  // Fills `rect` with a solid brush of `colour`; returns FillRect's result.
  int fill(const RECT& rect, COLORREF colour) {
    const HBRUSH brush = CreateSolidBrush(colour);
    const int result = FillRect(dc_, &rect, brush);
    DeleteObject(brush);
    return result;
  }
  // Every pixel, read back with GetPixel.
  Picture read(std::vector<std::int64_t> results) const {
    Picture p{w_, h_, {}, std::move(results)};
    for (int y = 0; y < h_; ++y) {
      for (int x = 0; x < w_; ++x) p.pixels.push_back(GetPixel(dc_, x, y));
    }
    return p;
  }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_ = 0;
};

// A colourful source of 6 by 4 pixels: every pixel different, the key colour at (1, 1),
// (4, 0) and (5, 3).
class Source : public Canvas {
 public:
  Source() : Canvas(6, 4, 0) {
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 6; ++x) {
        SetPixel(dc(), x, y, RGB(static_cast<BYTE>(30 + 40 * x), static_cast<BYTE>(20 + 60 * y),
                                 static_cast<BYTE>(200 - 25 * (x + y))));
      }
    }
    for (const POINT p : {POINT{1, 1}, POINT{4, 0}, POINT{5, 3}}) SetPixel(dc(), p.x, p.y, kKey);
  }
};

Picture bars() {
  Canvas c(kW, kH, kGround);
  std::vector<std::int64_t> r;
  const RECT rects[] = {
      {1, 1, 5, 4},      // plain
      {6, 1, 6, 8},      // zero width
      {8, 2, 12, 2},     // zero height
      {14, 9, 10, 6},    // right and bottom before left and top
      {-3, 8, 2, 20},    // beyond the left and bottom edges
      {12, -5, 30, 1},   // beyond the top and right edges
  };
  COLORREF colour = 0x000000FF;
  for (const RECT& rect : rects) {
    r.push_back(c.fill(rect, colour));
    colour = ((colour << 3) ^ 0x00123456) & 0x00FFFFFF;
  }
  const RECT all{0, 0, kW, kH};
  r.push_back(FillRect(c.dc(), &all, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))));
  return c.read(r);
}

Picture pixels() {
  Canvas c(kW, kH, kGround);
  std::vector<std::int64_t> r;
  const POINT points[] = {{0, 0}, {15, 11}, {7, 5}, {-1, 3}, {16, 0}, {3, 12}};
  COLORREF colour = 0x00010203;
  for (const POINT p : points) {
    r.push_back(SetPixel(c.dc(), p.x, p.y, colour));
    r.push_back(GetPixel(c.dc(), p.x, p.y));
    colour = (colour * 7 + 0x00405060) & 0x00FFFFFF;
  }
  return c.read(r);
}

// Keyed copies of the source: `wd` by `hd` at (2, 3), from `ws` by `hs` at (0, 0).
Picture keyed(int wd, int hd, int ws, int hs) {
  Canvas c(kW, kH, kGround);
  Source s;
  const BOOL ok = GdiTransparentBlt(c.dc(), 2, 3, wd, hd, s.dc(), 0, 0, ws, hs, kKey);
  return c.read({ok});
}

Picture copyStretched() {
  Canvas c(kW, kH, kGround);
  Source s;
  std::vector<std::int64_t> r;
  r.push_back(StretchBlt(c.dc(), 0, 0, 6, 4, s.dc(), 0, 0, 6, 4, SRCCOPY));
  r.push_back(StretchBlt(c.dc(), 4, 5, 12, 6, s.dc(), 0, 0, 6, 3, SRCCOPY));
  return c.read(r);
}

// The source blended at constant alpha `alpha` into the target at (3, 5).
Picture blend(BYTE alpha) {
  Canvas c(kW, kH, kGround);
  Source s;
  const BLENDFUNCTION f{AC_SRC_OVER, 0, alpha, 0};
  const BOOL ok = GdiAlphaBlend(c.dc(), 3, 5, 6, 4, s.dc(), 0, 0, 6, 4, f);
  return c.read({ok});
}

// A 24-bit bottom-up picture of 5 by 3 pixels (15 bytes a row, padded to 16), written
// whole and then its top two scan lines again in other colours.
Picture dibits() {
  Canvas c(kW, kH, kGround);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 5;
  info.bmiHeader.biHeight = 3;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<BYTE> bits(16 * 3, 0xEE);  // the padding bytes hold junk
  for (int row = 0; row < 3; ++row) {
    for (int x = 0; x < 5; ++x) {
      BYTE* p = &bits[static_cast<std::size_t>(row * 16 + x * 3)];
      p[0] = static_cast<BYTE>(10 + 50 * x);   // blue
      p[1] = static_cast<BYTE>(60 + 70 * row);  // green
      p[2] = static_cast<BYTE>(250 - 30 * x);  // red
    }
  }
  std::vector<std::int64_t> r;
  r.push_back(SetDIBits(c.dc(), c.bitmap(), 0, 3, bits.data(), &info, DIB_RGB_COLORS));
  for (BYTE& b : bits) b = static_cast<BYTE>(b ^ 0x5A);
  r.push_back(SetDIBits(c.dc(), c.bitmap(), 1, 2, bits.data(), &info, DIB_RGB_COLORS));
  return c.read(r);
}

// A top-down 32-bit section of 5 by 3 pixels, drawn on and written in place by turns;
// every pixel is read back through GetPixel.
Picture dibSection() {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 5;
  info.bmiHeader.biHeight = -3;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HDC dc = CreateCompatibleDC(0);
  const HBITMAP bitmap = CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, 0, 0);
  const HGDIOBJ previous = SelectObject(dc, bitmap);
  const HBRUSH brush = CreateSolidBrush(0x00C08040);
  const RECT rect{1, 0, 4, 2};
  std::vector<std::int64_t> r{bitmap != 0, FillRect(dc, &rect, brush), GdiFlush()};
  auto* pixels = static_cast<std::uint32_t*>(bits);
  r.push_back(pixels[1] & 0xFFFFFFu);  // (1, 0) as a pixel word: 0x00RRGGBB
  for (int x = 0; x < 5; ++x) pixels[10 + x] = 0x00102030u * static_cast<std::uint32_t>(x + 1);
  SetPixel(dc, 0, 1, 0x00332211);
  GdiFlush();
  r.push_back(pixels[5] & 0xFFFFFFu);
  Picture p{5, 3, {}, std::move(r)};
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) p.pixels.push_back(GetPixel(dc, x, y));
  }
  SelectObject(dc, previous);
  DeleteObject(brush);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return p;
}

}  // namespace

const char* name(int index) {
  static const char* const kNames[kCount] = {
      "bars",           "pixels",  "keyed_unscaled", "keyed_enlarged", "keyed_shrunk",
      "copy_stretched", "blend_0", "blend_80",       "blend_ff",       "dibits_24_bottom_up",
      "dib_section"};
  return kNames[index];
}

Picture draw(int index) {
  switch (index) {
    case 0: return bars();
    case 1: return pixels();
    case 2: return keyed(6, 4, 6, 4);
    case 3: return keyed(12, 8, 6, 4);
    case 4: return keyed(3, 2, 6, 4);
    case 5: return copyStretched();
    case 6: return blend(0);
    case 7: return blend(0x80);
    case 8: return blend(0xFF);
    case 9: return dibits();
    default: return dibSection();
  }
}

}  // namespace morvane::scenarios::MORVANE_SCENARIO_SIDE
