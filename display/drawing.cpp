// Surfaces, the brush, bars, pixels and blits.
#include <algorithm>
#include <memory>

#include "display_internal.h"
#include "runtime/runtime_error.h"

namespace display {

namespace rt = morvane::rt;

namespace {

// Calls `create` until it gives a non-zero handle, with a short pause after each refusal.
// A platform that refuses kCreateAttempts times cannot make a surface of that size at
// all (it is beyond the memory the platform grants): the program ends with 201.
template <typename Create>
plat::HANDLE createWithRetries(Create create) {
  for (int attempt = 1;; ++attempt) {
    const plat::HANDLE handle = create();
    if (handle != 0) return handle;
    if (attempt == kCreateAttempts) rt::fail(rt::RuntimeError::kRangeCheck);
    plat::Sleep(kCreateRetryPauseMs);
  }
}

// A position or size as the platform's signed coordinate, unchanged bit for bit
// (a value of 2^31 or more becomes negative).
int asCoordinate(std::uint32_t value) { return static_cast<std::int32_t>(value); }

// A position or size as a signed coordinate; 2^31 or more ends the program with 201.
int checkedCoordinate(std::uint32_t value) { return rt::narrow<std::int32_t>(value); }

// The blended path of DRAWBMP: the keyed source laid over a copy of the destination
// rectangle, that copy blended back at opacity `opacity` / 255.
void blendedBlit(PBITMAP BS, PBITMAP BD, std::uint32_t XS, std::uint32_t YS, std::uint32_t WS,
                 std::uint32_t HS, std::uint32_t XD, std::uint32_t YD, std::uint32_t WD,
                 std::uint32_t HD, Colour key, plat::BYTE opacity) {
  const int xd = checkedCoordinate(XD);
  const int yd = checkedCoordinate(YD);
  const int wd = checkedCoordinate(WD);
  const int hd = checkedCoordinate(HD);
  const plat::HDC destination = dcOf(BD);
  const PBITMAP mix = CREATEBMP(WD, HD, key);
  plat::StretchBlt(mix->DC, 0, 0, wd, hd, destination, xd, yd, wd, hd, plat::SRCCOPY);
  plat::GdiTransparentBlt(mix->DC, 0, 0, wd, hd, dcOf(BS), asCoordinate(XS), asCoordinate(YS),
                          asCoordinate(WS), asCoordinate(HS), key);
  const plat::BLENDFUNCTION blend{plat::AC_SRC_OVER, 0, opacity, 0};
  plat::GdiAlphaBlend(destination, xd, yd, wd, hd, mix->DC, 0, 0, wd, hd, blend);
  RELEASEBMP(mix);
}

// A new surface of W by H pixels and colour C, filled with C, on the bitmap that
// `makeBitmap(width, height)` gives.
template <typename MakeBitmap>
PBITMAP makeSurface(std::uint32_t W, std::uint32_t H, Colour C, MakeBitmap makeBitmap) {
  const int width = checkedCoordinate(W);
  const int height = checkedCoordinate(H);
  auto record = std::make_unique<BITMAP>();
  record->WIDTH = W;
  record->HEIGHT = H;
  record->COLOR = C;
  record->DC = createWithRetries([] { return plat::CreateCompatibleDC(state._DC); });
  record->HANDLE = createWithRetries([&] { return makeBitmap(width, height); });
  plat::SelectObject(record->DC, record->HANDLE);
  CLEAR(record.get(), C);
  return record.release();  // owned by the caller until RELEASEBMP
}

}  // namespace

const BITMAP& recordOf(PBITMAP B) {
  static const BITMAP kNoSurface{};
  return B != nullptr ? *B : kNoSurface;
}

void replaceSelected(plat::HGDIOBJ& current, plat::HDC& currentDc, int stockStandIn,
                     plat::HGDIOBJ replacement, plat::HDC dc) {
  // The platform refuses to delete an object that is still selected somewhere.
  if (currentDc != 0) plat::SelectObject(currentDc, plat::GetStockObject(stockStandIn));
  if (current != 0) plat::DeleteObject(current);
  current = replacement;
  currentDc = dc;
  plat::SelectObject(dc, replacement);
}

namespace {

// The bounding box of a and b (either may be empty as kNothingDrawn).
plat::RECT joined(const plat::RECT& a, const plat::RECT& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// Pixels in r; 0 when it is empty.
std::int64_t area(const plat::RECT& r) {
  if (r.left >= r.right || r.top >= r.bottom) return 0;
  return (std::int64_t{r.right} - r.left) * (std::int64_t{r.bottom} - r.top);
}

}  // namespace

void noteDrawn(PBITMAP B, std::int64_t left, std::int64_t top, std::int64_t right,
               std::int64_t bottom) {
  if (B == nullptr) return;
  if (B == state._PMSCR) {
    state.unshown = kEverything;
    return;
  }
  if (B != state._PMAIN || left == right || top == bottom) return;
  // A mirrored rectangle (right before left) covers its left edge too: take one more.
  const std::int64_t x0 = std::min(left, right), x1 = std::max(left, right) + (left > right);
  const std::int64_t y0 = std::min(top, bottom), y1 = std::max(top, bottom) + (top > bottom);
  const auto onScale = [](std::int64_t v) {
    return static_cast<plat::LONG>(std::clamp<std::int64_t>(v, 0, INT32_MAX));
  };
  const plat::RECT drawn{onScale(x0), onScale(y0), onScale(x1), onScale(y1)};
  const plat::RECT first = joined(state.unshown, drawn);
  const plat::RECT apart = joined(state.unshownApart, drawn);
  if (area(apart) - area(state.unshownApart) < area(first) - area(state.unshown)) {
    state.unshownApart = apart;
  } else {
    state.unshown = first;
  }
}

PBITMAP CREATEBMP(std::uint32_t W, std::uint32_t H, Colour C) {
  return makeSurface(W, H, C,
                     [](int w, int h) { return plat::CreateCompatibleBitmap(state._DC, w, h); });
}

PBITMAP createMainSurface() {
  const BITMAP& model = recordOf(state._PMSCR);
  void* bits = nullptr;
  const PBITMAP main = makeSurface(model.WIDTH, model.HEIGHT, model.COLOR, [&](int w, int h) {
    // A minimised window's surface has no pixels to reach.
    if (w == 0 || h == 0) return plat::CreateCompatibleBitmap(state._DC, w, h);
    plat::BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(plat::BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = plat::BI_RGB;
    return plat::CreateDIBSection(state._DC, &info, plat::DIB_RGB_COLORS, &bits, 0, 0);
  });
  state.mainPixels = static_cast<std::uint32_t*>(bits);
  return main;
}

PBITMAP CREATEBMP(PBITMAP B) {
  const BITMAP& model = recordOf(B);
  return CREATEBMP(model.WIDTH, model.HEIGHT, model.COLOR);
}

void RELEASEBMP(PBITMAP B) {
  if (B == nullptr) return;
  // The brush and the font may be selected into this context; they outlive it.
  if (state.brushDc == B->DC) state.brushDc = 0;
  if (state.fontDc == B->DC) state.fontDc = 0;
  if (B == &state._MSCR) {
    plat::ReleaseDC(B->HANDLE, B->DC);
    return;
  }
  if (B == state._PMAIN) state.mainPixels = nullptr;
  plat::DeleteDC(B->DC);
  plat::DeleteObject(B->HANDLE);
  delete B;
}

void RELEASEBMP() {
  RELEASEBMP(state._PMSCR);
  RELEASEBMP(state._PMAIN);
  state._PMAIN = nullptr;
}

void SETBRUSHCOLOR(PBITMAP B, Colour C) {
  const plat::HBRUSH brush = C == TRANSPARENT ? plat::GetStockObject(plat::NULL_BRUSH)
                                              : plat::CreateSolidBrush(C);
  replaceSelected(state._BR, state.brushDc, plat::WHITE_BRUSH, brush, dcOf(B));
}

void BAR(PBITMAP B, std::int32_t X, std::int32_t Y, std::int32_t W, std::int32_t H, Colour C) {
  const plat::RECT rect{X, Y, rt::add(X, W), rt::add(Y, H)};
  SETBRUSHCOLOR(B, C);
  plat::FillRect(dcOf(B), &rect, state._BR);
  noteDrawn(B, rect.left, rect.top, rect.right, rect.bottom);
  plat::GdiFlush();  // before GETPIXEL or SETPIXEL touch the pixels
}

void BAR(std::uint32_t X, std::uint32_t Y, std::int32_t W, std::int32_t H, Colour C) {
  BAR(state._PMAIN, checkedCoordinate(X), checkedCoordinate(Y), W, H, C);
}

void CLEAR(PBITMAP B, Colour C) {
  const BITMAP& surface = recordOf(B);
  BAR(B, 0, 0, checkedCoordinate(surface.WIDTH), checkedCoordinate(surface.HEIGHT), C);
}

void CLEAR(PBITMAP B) { CLEAR(B, state._CBG); }

void CLEAR() { CLEAR(state._PMAIN); }

std::uint8_t GETALPHA(Colour C) { return static_cast<std::uint8_t>(C >> 24); }

void DRAWBMP(PBITMAP BS, PBITMAP BD, std::uint32_t XS, std::uint32_t YS, std::uint32_t WS,
             std::uint32_t HS, std::uint32_t XD, std::uint32_t YD, std::uint32_t WD,
             std::uint32_t HD, Colour C) {
  const std::uint8_t level = GETALPHA(C);
  const Colour key = C & 0xFFFFFFu;
  if (level == 0) {
    plat::GdiTransparentBlt(dcOf(BD), asCoordinate(XD), asCoordinate(YD), asCoordinate(WD),
                            asCoordinate(HD), dcOf(BS), asCoordinate(XS), asCoordinate(YS),
                            asCoordinate(WS), asCoordinate(HS), key);
  } else {
    blendedBlit(BS, BD, XS, YS, WS, HS, XD, YD, WD, HD, key,
                static_cast<plat::BYTE>(255 - level));
  }
  plat::GdiFlush();  // before GETPIXEL or SETPIXEL touch the pixels
  const std::int64_t xd = asCoordinate(XD);
  const std::int64_t yd = asCoordinate(YD);
  noteDrawn(BD, xd, yd, xd + asCoordinate(WD), yd + asCoordinate(HD));
}

void DRAWBMP(PBITMAP BS, PBITMAP BD, std::uint32_t XD, std::uint32_t YD, std::uint32_t WD,
             std::uint32_t HD, Colour C) {
  const BITMAP& source = recordOf(BS);
  DRAWBMP(BS, BD, 0, 0, source.WIDTH, source.HEIGHT, XD, YD, WD, HD, C);
}

void drawUnscaledAt(PBITMAP BS, PBITMAP BD, std::uint32_t XD, std::uint32_t YD, Colour C) {
  const BITMAP& source = recordOf(BS);
  DRAWBMP(BS, BD, XD, YD, source.WIDTH, source.HEIGHT, C);
}

void DRAWBMP(PBITMAP BS, PBITMAP BD, Colour C) { DRAWBMP(BS, BD, 0u, 0u, C); }

void DRAWBMP(PBITMAP BS, PBITMAP BD) { DRAWBMP(BS, BD, recordOf(BS).COLOR); }

void DRAWBMP(PBITMAP B, std::uint32_t XS, std::uint32_t YS, std::uint32_t WS, std::uint32_t HS,
             std::uint32_t XD, std::uint32_t YD, std::uint32_t WD, std::uint32_t HD, Colour C) {
  DRAWBMP(B, state._PMAIN, XS, YS, WS, HS, XD, YD, WD, HD, C);
}

void DRAWBMP(PBITMAP B, std::uint32_t XD, std::uint32_t YD, std::uint32_t WD, std::uint32_t HD,
             Colour C) {
  const BITMAP& source = recordOf(B);
  DRAWBMP(B, 0u, 0u, source.WIDTH, source.HEIGHT, XD, YD, WD, HD, C);
}

void DRAWBMP(PBITMAP B, std::uint32_t XD, std::uint32_t YD, std::uint32_t WD, std::uint32_t HD) {
  DRAWBMP(B, XD, YD, WD, HD, recordOf(B).COLOR);
}

}  // namespace display
