// The library font, text measurement and text output.
#include <cmath>

#include "display_internal.h"
#include "runtime/runtime_error.h"

namespace display {

namespace rt = morvane::rt;

namespace {

// The characters of a counted byte string for the platform's counted text calls,
// which read exactly the given number of bytes; never null.
const char* countedChars(std::string_view S) { return S.empty() ? "" : S.data(); }

// The byte length of S as the platform's count; 2^31 or more ends the program with 201.
int countOf(std::string_view S) { return rt::narrow<int>(S.size()); }

}  // namespace

void SETFONT(PBITMAP B) {
  const plat::HFONT font = plat::CreateFontA(
      rt::narrow<int>(state._FH), rt::narrow<int>(state._FW), 0, 0, rt::narrow<int>(state._FWG),
      state._FLT, state._FUD, state._FSK, state._FCS, 0, 0, 0, 0, AS2PC(state._FFN));
  replaceSelected(state._FNS, state.fontDc, plat::SYSTEM_FONT, font, dcOf(B));
  if (state._FH == 0) {
    // The window's context keeps the platform's default font: its height becomes the library's.
    plat::GetTextMetricsA(state._DC, &state._TM);
    state._FH = rt::narrow<std::uint32_t>(state._TM.tmHeight);
  }
}

void SETFONT() { SETFONT(state._PMAIN); }

void GETSTRINGSIZE(std::string_view S) {
  // A refused measurement (no window) leaves an empty extent rather than the previous one.
  state._STRZ = plat::SIZE{0, 0};
  plat::GetTextExtentPointA(state._DC, countedChars(S), countOf(S), &state._STRZ);
}

std::uint32_t GETSTRINGWIDTH(std::string_view S) {
  GETSTRINGSIZE(S);
  if (state._STRZ.cy <= 0) return 0;
  const std::int64_t scaled = static_cast<std::int64_t>(state._STRZ.cx) * state._FH;
  // The default rounding mode takes a half to the even neighbour.
  const double width = std::nearbyint(static_cast<double>(scaled) / state._STRZ.cy);
  if (width < 0 || width > 4294967295.0) rt::fail(rt::RuntimeError::kRangeCheck);
  return static_cast<std::uint32_t>(width);
}

void DRAWTEXTXY(PBITMAP B, std::string_view S, std::uint32_t X, std::uint32_t Y, Colour CFG,
                Colour CBG) {
  const plat::HDC dc = dcOf(B);
  const int x = rt::narrow<int>(X);
  const int y = rt::narrow<int>(Y);
  plat::SetTextColor(dc, CFG);
  plat::SetBkColor(dc, CBG);
  plat::SetBkMode(dc, plat::OPAQUE);
  plat::TextOutA(dc, x, y, countedChars(S), countOf(S));
  plat::GdiFlush();  // before GETPIXEL or SETPIXEL touch the pixels
  // The cells of the text, and to their right as much again as a cell is high, for the
  // glyphs of a slanted font that reach beyond their cells.
  plat::SIZE box{0, 0};
  plat::GetTextExtentPointA(dc, countedChars(S), countOf(S), &box);
  noteDrawn(B, x, y, std::int64_t{x} + box.cx + box.cy, std::int64_t{y} + box.cy);
  state._FX = rt::add(X, GETSTRINGWIDTH(S));
  state._FY = Y;
}

void DRAWTEXTXY(std::string_view S, std::uint32_t X, std::uint32_t Y, Colour CFG, Colour CBG) {
  DRAWTEXTXY(state._PMAIN, S, X, Y, CFG, CBG);
}

const char* AS2PC(const std::string& S) { return S.c_str(); }

}  // namespace display
