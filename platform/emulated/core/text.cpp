// Fonts and text: the built-in bitmap faces measured and drawn on contexts.
#include <algorithm>
#include <cstdlib>
#include <strings.h>

#include "core/state.h"
#include "runtime/runtime_error.h"

namespace morvane::plat {

using core::Dc;

namespace {

// The face CreateFontA picks: by name when it names one, else the one nearest in height.
const fonts::BitmapFont& chooseFace(int height, const char* faceName) {
  if (faceName && strcasecmp(faceName, "VGA8") == 0) return fonts::vga8();
  if (faceName && strcasecmp(faceName, "VGA16") == 0) return fonts::vga16();
  const std::int64_t h = std::abs(std::int64_t{height});
  return h != 0 && h < 12 ? fonts::vga8() : fonts::vga16();
}

// The face a context measures and draws with.
const fonts::BitmapFont& faceOf(const Dc& d) { return d.face ? *d.face : fonts::vga16(); }

// Draws one character cell at (x, y); returns the part of the cell on the surface.
RECT drawCell(core::Surface& s, const fonts::BitmapFont& f, unsigned char c, std::int64_t x,
              int y, std::uint32_t fg, const std::uint32_t* bg) {
  const RECT cell = core::clipToSurface(
      s, RECT{static_cast<LONG>(std::clamp<std::int64_t>(x, -f.width, s.width)), y,
              static_cast<LONG>(std::clamp<std::int64_t>(x + f.width, 0, s.width)),
              static_cast<LONG>(std::int64_t{y} + f.height)});
  for (LONG py = cell.top; py < cell.bottom; ++py) {
    for (LONG px = cell.left; px < cell.right; ++px) {
      if (f.pixel(c, static_cast<int>(px - x), py - y)) {
        s.at(px, py) = fg;
      } else if (bg) {
        s.at(px, py) = *bg;
      }
    }
  }
  return cell;
}

}  // namespace

HFONT CreateFontA(int height, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                  DWORD, const char* faceName) {
  auto font = std::make_shared<core::Font>();
  font->face = &chooseFace(height, faceName);
  return core::platform().fonts.add(std::move(font));
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* tm) {
  const Dc* d = core::platform().dcs.get(dc);
  if (!d || !tm) return kFalse;
  const fonts::BitmapFont& f = faceOf(*d);
  const LONG descent = f.height / 4;  // the VGA faces put their baseline a quarter up the cell
  *tm = TEXTMETRICA{};
  tm->tmHeight = f.height;
  tm->tmAscent = f.height - descent;
  tm->tmDescent = descent;
  tm->tmAveCharWidth = f.width;
  tm->tmMaxCharWidth = f.width;
  tm->tmWeight = 400;
  tm->tmDigitizedAspectX = 96;
  tm->tmDigitizedAspectY = 96;
  tm->tmFirstChar = 0;
  tm->tmLastChar = 255;
  tm->tmDefaultChar = '?';
  tm->tmBreakChar = ' ';
  tm->tmPitchAndFamily = 0x30;  // modern family, fixed pitch
  tm->tmCharSet = 0;            // ANSI
  return kTrue;
}

BOOL GetTextExtentPointA(HDC dc, const char* text, int count, SIZE* size) {
  const Dc* d = core::platform().dcs.get(dc);
  if (!d || !size || count < 0 || (!text && count > 0)) return kFalse;
  const fonts::BitmapFont& f = faceOf(*d);
  *size = SIZE{rt::mul<LONG>(f.width, count), f.height};
  return kTrue;
}

BOOL TextOutA(HDC dc, int x, int y, const char* text, int count) {
  Dc* d = core::platform().dcs.get(dc);
  if (!d || !d->target || count < 0 || (!text && count > 0)) return kFalse;
  const fonts::BitmapFont& f = faceOf(*d);
  const std::uint32_t fg = core::toNative(d->textColor & 0xFFFFFFu);
  const std::uint32_t bgPixel = core::toNative(d->bkColor & 0xFFFFFFu);
  const std::uint32_t* bg = d->bkMode == OPAQUE ? &bgPixel : nullptr;
  RECT dirty = core::kEmptyRect;
  for (int i = 0; i < count; ++i) {
    const std::int64_t cellX = std::int64_t{x} + std::int64_t{f.width} * i;
    if (cellX >= d->target->width) break;
    const RECT cell =
        drawCell(*d->target, f, static_cast<unsigned char>(text[i]), cellX, y, fg, bg);
    if (core::isEmpty(cell)) continue;
    dirty = core::isEmpty(dirty) ? cell
                                 : RECT{std::min(dirty.left, cell.left), std::min(dirty.top, cell.top),
                                        std::max(dirty.right, cell.right),
                                        std::max(dirty.bottom, cell.bottom)};
  }
  core::touched(*d, dirty);
  return kTrue;
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
  Dc* d = core::platform().dcs.get(dc);
  if (!d) return CLR_INVALID;
  return std::exchange(d->textColor, colour);
}

COLORREF SetBkColor(HDC dc, COLORREF colour) {
  Dc* d = core::platform().dcs.get(dc);
  if (!d) return CLR_INVALID;
  return std::exchange(d->bkColor, colour);
}

int SetBkMode(HDC dc, int mode) {
  Dc* d = core::platform().dcs.get(dc);
  if (!d || (mode != OPAQUE && mode != TRANSPARENT)) return 0;
  return std::exchange(d->bkMode, mode);
}

}  // namespace morvane::plat
