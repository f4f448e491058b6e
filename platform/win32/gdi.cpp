// Device contexts, GDI objects, drawing, bitmaps and text, forwarded to gdi32,
// user32 (window contexts, FillRect) and msimg32 (keyed and blended blits).
#include <cstring>
#include <type_traits>

#include "native.h"

namespace morvane::plat {

using win32::boolOf;
using win32::handleOf;
using win32::native;

// The bitmap header and the text metrics are laid out as the system's, field by field.
static_assert(sizeof(BITMAPINFOHEADER) == sizeof(::BITMAPINFOHEADER));
static_assert(sizeof(TEXTMETRICA) == sizeof(::TEXTMETRICA));
static_assert(std::is_trivially_copyable_v<TEXTMETRICA>);

HDC GetDC(HWND hwnd) { return handleOf(::GetDC(native<::HWND>(hwnd))); }

int ReleaseDC(HWND hwnd, HDC dc) { return ::ReleaseDC(native<::HWND>(hwnd), native<::HDC>(dc)); }

HDC CreateCompatibleDC(HDC dc) { return handleOf(::CreateCompatibleDC(native<::HDC>(dc))); }

BOOL DeleteDC(HDC dc) { return boolOf(::DeleteDC(native<::HDC>(dc))); }

HBITMAP CreateCompatibleBitmap(HDC dc, int w, int h) {
  // The layer's bitmaps all have the screen's colour format. The system's take the format of
  // the bitmap selected in `dc`, which for a fresh memory context is one monochrome pixel.
  if (dc != 0 && ::GetObjectType(native<::HDC>(dc)) != OBJ_MEMDC) {
    return handleOf(::CreateCompatibleBitmap(native<::HDC>(dc), w, h));
  }
  const ::HDC screen = ::GetDC(nullptr);
  const ::HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
  ::ReleaseDC(nullptr, screen);
  return handleOf(bitmap);
}

HBRUSH CreateSolidBrush(COLORREF colour) { return handleOf(::CreateSolidBrush(colour)); }

HGDIOBJ GetStockObject(int which) { return handleOf(::GetStockObject(which)); }

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  return handleOf(::SelectObject(native<::HDC>(dc), native<::HGDIOBJ>(object)));
}

BOOL DeleteObject(HGDIOBJ object) { return boolOf(::DeleteObject(native<::HGDIOBJ>(object))); }

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  if (!rect) return 0;
  const ::RECT r = native(*rect);
  return ::FillRect(native<::HDC>(dc), &r, native<::HBRUSH>(brush));
}

COLORREF GetPixel(HDC dc, int x, int y) { return ::GetPixel(native<::HDC>(dc), x, y); }

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour) {
  return ::SetPixel(native<::HDC>(dc), x, y, colour);
}

namespace {

// The layer's blits take the nearest source pixel when they shrink too; the system's
// default stretch mode would AND the dropped rows and columns together instead.
::HDC nearestPixel(HDC dst) {
  ::SetStretchBltMode(native<::HDC>(dst), COLORONCOLOR);
  return native<::HDC>(dst);
}

}  // namespace

BOOL StretchBlt(HDC dst, int xd, int yd, int wd, int hd, HDC src, int xs, int ys, int ws, int hs,
                DWORD rop) {
  return boolOf(::StretchBlt(nearestPixel(dst), xd, yd, wd, hd, native<::HDC>(src), xs, ys, ws,
                             hs, rop));
}

BOOL GdiTransparentBlt(HDC dst, int xd, int yd, int wd, int hd, HDC src, int xs, int ys, int ws,
                       int hs, UINT key) {
  return boolOf(::GdiTransparentBlt(nearestPixel(dst), xd, yd, wd, hd, native<::HDC>(src), xs,
                                    ys, ws, hs, key));
}

BOOL GdiAlphaBlend(HDC dst, int xd, int yd, int wd, int hd, HDC src, int xs, int ys, int ws,
                   int hs, BLENDFUNCTION blend) {
  const ::BLENDFUNCTION b{blend.BlendOp, blend.BlendFlags, blend.SourceConstantAlpha,
                          blend.AlphaFormat};
  return boolOf(::GdiAlphaBlend(nearestPixel(dst), xd, yd, wd, hd, native<::HDC>(src), xs, ys, ws,
                                hs, b));
}

int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits,
              const BITMAPINFO* info, UINT usage) {
  if (!info) return 0;
  // 24 and 32 bits per pixel need no colour table: the header is all there is to pass.
  ::BITMAPINFO n{};
  std::memcpy(&n.bmiHeader, &info->bmiHeader, sizeof n.bmiHeader);
  return ::SetDIBits(native<::HDC>(dc), native<::HBITMAP>(bitmap), start, lines, bits, &n, usage);
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset) {
  if (!bits) return 0;
  *bits = nullptr;
  // The layer takes only what its emulation can give: top-down 32-bit pictures in plain memory.
  if (!info || info->bmiHeader.biBitCount != 32 || info->bmiHeader.biCompression != BI_RGB ||
      info->bmiHeader.biHeight >= 0 || section != 0) {
    return 0;
  }
  ::BITMAPINFO n{};
  std::memcpy(&n.bmiHeader, &info->bmiHeader, sizeof n.bmiHeader);
  return handleOf(::CreateDIBSection(native<::HDC>(dc), &n, usage, bits, nullptr, offset));
}

BOOL GdiFlush() { return boolOf(::GdiFlush()); }

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                  DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                  DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
                  const char* faceName) {
  return handleOf(::CreateFontA(height, width, escapement, orientation, weight, italic, underline,
                                strikeOut, charSet, outPrecision, clipPrecision, quality,
                                pitchAndFamily, faceName));
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* tm) {
  ::TEXTMETRICA n{};
  if (!tm || !::GetTextMetricsA(native<::HDC>(dc), &n)) return kFalse;
  std::memcpy(tm, &n, sizeof n);
  return kTrue;
}

BOOL GetTextExtentPointA(HDC dc, const char* text, int count, SIZE* size) {
  ::SIZE n{};
  if (!size || !::GetTextExtentPointA(native<::HDC>(dc), text, count, &n)) return kFalse;
  *size = SIZE{n.cx, n.cy};
  return kTrue;
}

BOOL TextOutA(HDC dc, int x, int y, const char* text, int count) {
  return boolOf(::TextOutA(native<::HDC>(dc), x, y, text, count));
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
  return ::SetTextColor(native<::HDC>(dc), colour);
}

COLORREF SetBkColor(HDC dc, COLORREF colour) { return ::SetBkColor(native<::HDC>(dc), colour); }

int SetBkMode(HDC dc, int mode) { return ::SetBkMode(native<::HDC>(dc), mode); }

}  // namespace morvane::plat
