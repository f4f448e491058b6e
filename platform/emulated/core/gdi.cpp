// Device contexts, bitmaps and brushes, and the drawing calls on them.
//
// A context draws on its target surface: the selected bitmap of a memory
// context, or the picture of a window for a context from GetDC, in which case
// every change is presented at once. Lookups take no lock, so per-pixel calls
// cost a table index and a bounds test.
//
// Deleting an object still selected into a context does not fail: the object
// is marked and freed when the last context lets go of it (another object is
// selected in its place, or the context is deleted). Callers that replace a
// brush after every fill therefore do not pile up objects.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/state.h"

namespace morvane::plat {

using core::Dc;
using core::Platform;

namespace {

// Largest bitmap, in pixels (1 GiB of pixels): larger requests fail.
inline constexpr std::uint64_t kMaxBitmapPixels = std::uint64_t{1} << 28;

// Takes one selection of `h` away and frees it when it is marked for deletion. Under gdiMutex.
template <class T>
void deselect(core::HandleTable<T>& table, HANDLE h) {
  T* object = table.get(h);
  if (!object) return;
  if (--object->selections == 0 && object->deletePending) table.remove(h);
}

// Adds one selection of `h`. Under gdiMutex.
template <class T>
T* select(core::HandleTable<T>& table, HANDLE h) {
  T* object = table.get(h);
  if (object) ++object->selections;
  return object;
}

// Deletes `h` now, or when its last selection ends; stock objects are refused.
template <class T>
BOOL deleteFrom(core::HandleTable<T>& table, HANDLE h) {
  std::lock_guard lock(core::platform().gdiMutex);
  T* object = table.get(h);
  if (!object || object->stock) return kFalse;
  if (object->selections > 0) {
    object->deletePending = true;
  } else {
    table.remove(h);
  }
  return kTrue;
}

// Gives a new context the default brush and font (and bitmap for memory contexts).
HDC addContext(std::shared_ptr<Dc> dc, bool memory) {
  Platform& p = core::platform();
  {
    std::lock_guard lock(p.gdiMutex);
    dc->brush = p.whiteBrush;
    select(p.brushes, dc->brush);
    dc->font = p.defaultFont;
    dc->face = select(p.fonts, dc->font)->face;
    if (memory) {
      dc->bitmap = p.defaultBitmap;
      dc->target = &select(p.bitmaps, dc->bitmap)->surface;
    }
  }
  return p.dcs.add(std::move(dc));
}

// Removes a context and lets go of its selected objects.
void removeContext(HDC dc) {
  Platform& p = core::platform();
  std::shared_ptr<Dc> d = p.dcs.remove(dc);
  if (!d) return;
  std::lock_guard lock(p.gdiMutex);
  deselect(p.bitmaps, d->bitmap);
  deselect(p.brushes, d->brush);
  deselect(p.fonts, d->font);
}

// Replaces the selected object of one kind; returns the previous one, 0 on error.
template <class T, class OnSelect>
HGDIOBJ replaceSelection(core::HandleTable<T>& table, HANDLE& slot, HGDIOBJ object,
                         OnSelect onSelect) {
  std::lock_guard lock(core::platform().gdiMutex);
  T* next = table.get(object);
  if (!next) return 0;
  const HGDIOBJ previous = slot;
  if (previous == object) return previous;
  ++next->selections;
  slot = object;
  onSelect(*next);
  deselect(table, previous);
  return previous;
}

// The context and target of a drawing call, or null.
Dc* drawable(HDC dc) {
  Dc* d = core::platform().dcs.get(dc);
  return d && d->target ? d : nullptr;
}

// A new black bitmap of w by h pixels; null when a size is negative, the picture is larger
// than kMaxBitmapPixels or memory runs out.
std::shared_ptr<core::Bitmap> blackBitmap(std::int64_t w, std::int64_t h) {
  if (w < 0 || h < 0 || static_cast<std::uint64_t>(w * h) > kMaxBitmapPixels) return nullptr;
  try {
    auto bitmap = std::make_shared<core::Bitmap>();
    bitmap->surface.resize(static_cast<int>(w), static_cast<int>(h), 0);
    return bitmap;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

// Accepts 0 (the screen) or a live context as the model of a new compatible object.
bool validModel(HDC dc) { return dc == 0 || core::platform().dcs.get(dc) != nullptr; }

// The three blits: clip, combine, present.
BOOL blitBetween(HDC dst, const core::BlitGeometry& g, HDC src, const core::BlitOp& op) {
  Dc* d = drawable(dst);
  Dc* s = drawable(src);
  if (!d || !s || g.wd < 0 || g.hd < 0 || g.ws < 0 || g.hs < 0) return kFalse;
  core::touched(*d, core::blit(*d->target, *s->target, g, op));
  return kTrue;
}

// The 32-bit little-endian word at `p`, which need not be aligned.
inline std::uint32_t loadWord(const std::uint8_t* p) {
  std::uint32_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// Converts `n` pixels of 3 bytes (blue, green, red) to stored pixels. Four pixels are
// twelve bytes, read as three words and cut apart with shifts.
void convertRow24(std::uint32_t* __restrict out, const std::uint8_t* __restrict in,
                  std::int64_t n) {
  std::int64_t x = 0;
  for (; x + 4 <= n; x += 4, in += 12) {
    const std::uint32_t w0 = loadWord(in);      // B0 G0 R0 B1
    const std::uint32_t w1 = loadWord(in + 4);  // G1 R1 B2 G2
    const std::uint32_t w2 = loadWord(in + 8);  // R2 B3 G3 R3
    out[x] = w0 & 0xFFFFFFu;
    out[x + 1] = (w0 >> 24) | ((w1 & 0xFFFFu) << 8);
    out[x + 2] = (w1 >> 16) | ((w2 & 0xFFu) << 16);
    out[x + 3] = w2 >> 8;
  }
  for (; x < n; ++x, in += 3) {
    out[x] = std::uint32_t{in[0]} | (std::uint32_t{in[1]} << 8) | (std::uint32_t{in[2]} << 16);
  }
}

// Converts `n` pixels of 4 bytes (blue, green, red, unused) to stored pixels.
void convertRow32(std::uint32_t* __restrict out, const std::uint8_t* __restrict in,
                  std::int64_t n) {
  for (std::int64_t x = 0; x < n; ++x) out[x] = loadWord(in + 4 * x) & 0xFFFFFFu;
}

}  // namespace

namespace core {

void touched(Dc& dc, const RECT& r) {
  if (dc.window == 0 || isEmpty(r)) return;
  if (Window* w = platform().windows.get(dc.window)) presentWindow(*w, r);
}

}  // namespace core

HDC GetDC(HWND hwnd) {
  auto dc = std::make_shared<Dc>();
  if (hwnd == 0) {
    dc->screen = true;
    return addContext(std::move(dc), false);
  }
  std::shared_ptr<core::Window> w = core::ownWindow(hwnd);
  if (!w || !w->alive.load()) return 0;
  dc->window = hwnd;
  dc->target = &w->picture;
  const HDC h = addContext(std::move(dc), false);
  if (h != 0) w->contexts.push_back(h);
  return h;
}

int ReleaseDC(HWND, HDC dc) {
  Platform& p = core::platform();
  const Dc* d = p.dcs.get(dc);
  if (!d || (d->window == 0 && !d->screen)) return 0;
  if (std::shared_ptr<core::Window> w = core::ownWindow(d->window)) std::erase(w->contexts, dc);
  removeContext(dc);
  return 1;
}

HDC CreateCompatibleDC(HDC dc) {
  if (!validModel(dc)) return 0;
  return addContext(std::make_shared<Dc>(), true);
}

BOOL DeleteDC(HDC dc) {
  const Dc* d = core::platform().dcs.get(dc);
  if (!d || d->window != 0 || d->screen) return kFalse;
  removeContext(dc);
  return kTrue;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int w, int h) {
  if (!validModel(dc)) return 0;
  const std::shared_ptr<core::Bitmap> bitmap = blackBitmap(w, h);
  return bitmap ? core::platform().bitmaps.add(bitmap) : 0;
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset) {
  if (!bits) return 0;
  *bits = nullptr;
  if (!validModel(dc) || !info || usage != DIB_RGB_COLORS || section != 0 || offset != 0) return 0;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  // A surface's pixels are exactly such a picture: 0x00RRGGBB words, rows from the top.
  if (h.biBitCount != 32 || h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight >= 0) {
    return 0;
  }
  const std::shared_ptr<core::Bitmap> bitmap = blackBitmap(h.biWidth, -std::int64_t{h.biHeight});
  if (!bitmap) return 0;
  const HBITMAP handle = core::platform().bitmaps.add(bitmap);
  if (handle != 0) *bits = bitmap->surface.pixels.data();
  return handle;
}

BOOL GdiFlush() { return kTrue; }  // every drawing call here is complete when it returns

HBRUSH CreateSolidBrush(COLORREF colour) {
  auto brush = std::make_shared<core::Brush>();
  brush->pixel = core::toNative(colour & 0xFFFFFFu);
  return core::platform().brushes.add(std::move(brush));
}

HGDIOBJ GetStockObject(int which) {
  const Platform& p = core::platform();
  switch (which) {
    case WHITE_BRUSH:
      return p.whiteBrush;
    case BLACK_BRUSH:
      return p.blackBrush;
    case NULL_BRUSH:
      return p.nullBrush;
    case SYSTEM_FONT:
      return p.defaultFont;
    default:
      return 0;
  }
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  Platform& p = core::platform();
  Dc* d = p.dcs.get(dc);
  if (!d) return 0;
  switch (static_cast<core::Kind>(core::kindOf(object))) {
    case core::Kind::kBitmap: {
      if (d->window != 0 || d->screen) return 0;
      const core::Bitmap* b = p.bitmaps.get(object);
      // A bitmap is selected into one context at a time (stock bitmaps excepted).
      if (!b || (b->selections > 0 && !b->stock && d->bitmap != object)) return 0;
      return replaceSelection(p.bitmaps, d->bitmap, object,
                              [d](core::Bitmap& next) { d->target = &next.surface; });
    }
    case core::Kind::kBrush:
      return replaceSelection(p.brushes, d->brush, object, [](core::Brush&) {});
    case core::Kind::kFont:
      return replaceSelection(p.fonts, d->font, object,
                              [d](core::Font& next) { d->face = next.face; });
    default:
      return 0;
  }
}

BOOL DeleteObject(HGDIOBJ object) {
  Platform& p = core::platform();
  switch (static_cast<core::Kind>(core::kindOf(object))) {
    case core::Kind::kBitmap:
      return deleteFrom(p.bitmaps, object);
    case core::Kind::kBrush:
      return deleteFrom(p.brushes, object);
    case core::Kind::kFont:
      return deleteFrom(p.fonts, object);
    default:
      return kFalse;
  }
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  const core::Brush* b = core::platform().brushes.get(brush);
  Dc* d = drawable(dc);
  if (!d || !rect || !b) return 0;
  // An inverted side fills as on Windows: mirrored, the right (bottom) edge excluded and
  // the left (top) edge included.
  RECT r = *rect;
  if (r.right < r.left) r = RECT{r.right + 1, r.top, r.left + 1, r.bottom};
  if (r.bottom < r.top) r = RECT{r.left, r.bottom + 1, r.right, r.top + 1};
  if (b->paints) core::touched(*d, core::fillRect(*d->target, r, b->pixel));
  return 1;
}

COLORREF GetPixel(HDC dc, int x, int y) {
  const Dc* d = drawable(dc);
  if (!d || !d->target->contains(x, y)) return CLR_INVALID;
  return core::fromNative(d->target->at(x, y));
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour) {
  Dc* d = drawable(dc);
  if (!d || !d->target->contains(x, y)) return CLR_INVALID;
  d->target->at(x, y) = core::toNative(colour & 0xFFFFFFu);
  core::touched(*d, RECT{x, y, x + 1, y + 1});
  return colour & 0xFFFFFFu;
}

BOOL StretchBlt(HDC dst, int xd, int yd, int wd, int hd, HDC src, int xs, int ys, int ws, int hs,
                DWORD rop) {
  if (rop != SRCCOPY) return kFalse;
  return blitBetween(dst, {xd, yd, wd, hd, xs, ys, ws, hs}, src, {});
}

BOOL GdiTransparentBlt(HDC dst, int xd, int yd, int wd, int hd, HDC src, int xs, int ys, int ws,
                       int hs, UINT key) {
  const core::BlitOp op{core::BlitMode::kKeyed, core::toNative(key & 0xFFFFFFu), 255};
  return blitBetween(dst, {xd, yd, wd, hd, xs, ys, ws, hs}, src, op);
}

BOOL GdiAlphaBlend(HDC dst, int xd, int yd, int wd, int hd, HDC src, int xs, int ys, int ws,
                   int hs, BLENDFUNCTION blend) {
  if (blend.BlendOp != AC_SRC_OVER || blend.BlendFlags != 0 || blend.AlphaFormat != 0) {
    return kFalse;
  }
  const core::BlitOp op{core::BlitMode::kBlend, 0, blend.SourceConstantAlpha};
  return blitBetween(dst, {xd, yd, wd, hd, xs, ys, ws, hs}, src, op);
}

int SetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, const void* bits,
              const BITMAPINFO* info, UINT usage) {
  core::Bitmap* b = core::platform().bitmaps.get(bitmap);
  if (!b || !bits || !info || usage != DIB_RGB_COLORS) return 0;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if ((h.biBitCount != 24 && h.biBitCount != 32) || h.biCompression != BI_RGB ||
      h.biWidth <= 0 || h.biHeight == 0) {
    return 0;
  }
  const std::int64_t rows = std::abs(std::int64_t{h.biHeight});
  const std::int64_t bytesPerPixel = h.biBitCount / 8;
  const std::int64_t stride = (h.biWidth * bytesPerPixel + 3) / 4 * 4;
  const std::int64_t count = std::min<std::int64_t>(lines, rows - std::min<std::int64_t>(start, rows));
  const std::int64_t width = std::min<std::int64_t>(h.biWidth, b->surface.width);
  const auto* data = static_cast<const std::uint8_t*>(bits);
  for (std::int64_t k = 0; k < count; ++k) {
    const std::int64_t scan = start + k;  // scan lines count from the bottom in bottom-up buffers
    const std::int64_t y = h.biHeight > 0 ? rows - 1 - scan : scan;
    if (y >= b->surface.height || width <= 0) continue;
    const std::uint8_t* in = data + k * stride;
    std::uint32_t* out = &b->surface.at(0, static_cast<int>(y));
    if (bytesPerPixel == 3) {
      convertRow24(out, in, width);
    } else {
      convertRow32(out, in, width);
    }
  }
  return static_cast<int>(count);
}

}  // namespace morvane::plat
