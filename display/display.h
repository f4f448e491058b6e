// display: one graphics window for a console program, served on the calling
// thread. Programs draw on an off-screen main surface (_PMAIN) and present it
// with FRESHWIN; window messages are taken, one per call, with ISNEXTMSG.
//
// The library is procedural: its routines keep the upper-case names programs
// know them by, and its state lives in one object, `state`, whose members are
// the public variables (_HW, _PMAIN, _MSUSR...). Programs read them; only the
// library writes them. See CONVENTIONS.md next to this header.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>

#include "bounded_array.h"
#include "display_colors.h"
#include "display_keys.h"
#include "platform.h"
#include "runtime/runtime_error.h"

namespace display {

namespace plat = morvane::plat;

// ---- Surfaces --------------------------------------------------------------

// A drawing surface: an off-screen bitmap with its memory device context, or
// the window itself (the window record _MSCR).
struct BITMAP {
  plat::HANDLE HANDLE;  // the bitmap object; for the window record the window handle
  plat::HDC DC;         // the device context the surface is drawn through
  std::uint32_t WIDTH;  // width in pixels
  std::uint32_t HEIGHT;  // height in pixels
  Colour COLOR;  // fill colour at creation and default key as a DRAWBMP source
};

// Every routine takes surfaces through this pointer. CREATEBMP hands out
// records that the program owns and gives back with RELEASEBMP.
using PBITMAP = BITMAP*;

// ---- Public constants and types ----------------------------------------------

inline constexpr std::uint32_t _MSUSRMAX = 65536;  // entries of the user message ring
inline constexpr std::uint32_t _MSCNTMAX = 65536;  // entries of the frame-stamp ring
inline constexpr std::uint32_t _BUFMAX = 1048576;  // bytes of ByteBuffer

// The library's byte buffer, indices 1 to _BUFMAX.
using ByteBuffer = BoundedArray<std::uint8_t, 1, _BUFMAX>;

// Wide unsigned values as 32-bit words, indices starting at 1.
using WORD64 = BoundedArray<std::uint32_t, 1, 2>;
using WORD128 = BoundedArray<std::uint32_t, 1, 4>;
using WORD256 = BoundedArray<std::uint32_t, 1, 8>;

// The argument record of a graphics start-up call. Packed layout, fields in
// this order with no gaps: VERSION at byte 0, DEBUGEVENTCALLBACK at 4 (one
// pointer), SUPPRESSBACKGROUNDTHREAD one byte after it, SUPPRESSEXTERNALCODECS
// (a 32-bit boolean) right after that byte.
struct __attribute__((packed)) TGDISTARTUP {
  std::int32_t VERSION;                // version of the interface asked for
  void* DEBUGEVENTCALLBACK;            // debug event handler, or null
  bool SUPPRESSBACKGROUNDTHREAD;       // true: the caller runs the background work itself
  std::int32_t SUPPRESSEXTERNALCODECS;  // non-zero: no external codecs
};

inline constexpr std::uint32_t DELAYTIMEKEY = 20;     // milliseconds
inline constexpr std::uint32_t DELAYTIMEDEFAULT = 1;  // milliseconds
inline constexpr std::uint32_t DELAYTIMEMIN = 1;      // milliseconds
inline constexpr std::uint32_t MINHZ = 100;           // hertz
inline constexpr std::uint32_t MAXHZ = 15000;         // hertz
inline constexpr long double PI = 3.14159265358979323851L;

inline constexpr std::uint32_t FONTWIDTHDEFAULT = 10;   // pixels
inline constexpr std::uint32_t FONTHEIGHTDEFAULT = 20;  // pixels
inline constexpr std::uint32_t MAXCHAR = 256;           // characters

// ---- Library state -------------------------------------------------------------

// No part of the window (as LibraryState::unshown): the bounds of any rectangle extend it.
inline constexpr plat::RECT kNothingDrawn{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};

// All of the window (as LibraryState::unshown).
inline constexpr plat::RECT kEverything{0, 0, INT32_MAX, INT32_MAX};

// Everything the library remembers, in one place. Zero, false or empty at start.
struct LibraryState {
  // Window and main surface.
  plat::HWND _HW = 0;      // the window; 0 until it exists
  plat::HDC _DC = 0;       // the window's device context, taken at each surface build
  std::int32_t _W = 0;     // client width in pixels (briefly the outer width during creation)
  std::int32_t _H = 0;     // client height in pixels (likewise)
  std::int32_t _X = 0;     // requested screen x of the window's top-left corner, pixels
  std::int32_t _Y = 0;     // requested screen y of the window's top-left corner, pixels
  Colour _CBG = 0;         // background colour given to CREATEWIN
  Colour _CFG = 0;         // foreground colour given to CREATEWIN (kept for the program)
  bool _WINB = false;      // true from window creation until the window is destroyed
  void (*_DRAW)() = nullptr;  // redraw hook: after each surface build and each window move
  BITMAP _MSCR{};          // the window record: the window as a DRAWBMP destination
  PBITMAP _PMSCR = nullptr;  // &_MSCR once the surfaces are built
  PBITMAP _PMAIN = nullptr;  // the main surface, client-sized, colour TRANSPARENT
  BITMAP _MAIN{};          // copy of *_PMAIN taken at each build
  std::uint32_t mainBuilds = 0;  // main surfaces built so far: a new count is a new surface
  // The main surface's pixels, reached in place by GETPIXEL and SETPIXEL: _PMAIN's
  // WIDTH by HEIGHT 32-bit words 0x00RRGGBB (the top byte ignored), rows from the top
  // with no padding. Null while the main surface has no pixels.
  std::uint32_t* mainPixels = nullptr;
  // The part of the window FRESHWIN must show again, as two rectangles: the rectangles
  // drawn on the main surface since the last FRESHWIN, each joined to the one of the two
  // it enlarges less (SETPIXEL's pixels to the first), or everything when the window
  // itself may show something else (a new surface, drawing on the window, a repaint).
  // Thus a world and a panel beside it are shown without the empty corner between them.
  // Empty as kNothingDrawn; the main surface's own size clips them.
  plat::RECT unshown = kEverything;
  plat::RECT unshownApart = kNothingDrawn;

  // Messages.
  plat::WNDCLASSA _WC{};   // the registered window class
  plat::MSG _MS{};         // the message ISNEXTMSG took last
  BoundedArray<plat::MSG, 1, _MSUSRMAX> _MSUSR{};  // user message ring; pending when message != 0
  std::uint32_t _MSUSRI = 1;  // ring slot the next WM_USER message is written to
  std::uint32_t _MSI = 1;     // ring slot CUSTOMMSG reads next

  // Brush.
  plat::HBRUSH _BR = 0;     // the library's one brush
  plat::HDC brushDc = 0;    // the device context _BR is selected into (0: none)

  // Font settings and text results.
  std::uint32_t _FH = 0;    // character height, pixels (0: the platform default, read back by SETFONT)
  std::uint32_t _FW = 0;    // average character width, pixels (0: matched to the height)
  std::uint32_t _FWG = 0;   // weight (0: default)
  std::uint32_t _FLT = 0;   // non-zero: italic
  std::uint32_t _FUD = 0;   // non-zero: underlined
  std::uint32_t _FSK = 0;   // non-zero: struck out
  std::uint32_t _FCS = 0;   // character set (0: ANSI)
  std::string _FFN;         // face name (empty: the platform chooses)
  plat::HFONT _FNS = 0;     // the library's one font object
  plat::HDC fontDc = 0;     // the device context _FNS is selected into (0: none)
  plat::SIZE _STRZ{};       // extent of the string measured last, pixels
  plat::TEXTMETRICA _TM{};  // metrics of the window's font, read by SETFONT when _FH was 0
  std::uint32_t _FX = 0;    // x just after the text drawn last, pixels
  std::uint32_t _FY = 0;    // y of the text drawn last, pixels

  // Clock and frame stamps.
  double _TBEGIN = 0;       // counter time of window creation, seconds: the origin of GETTIMER
  BoundedArray<double, 0, _MSCNTMAX - 1> _MSCNT{};  // frame stamps (GETTIMER seconds), a ring
  std::uint32_t _MSCNTI = 0;  // slot of the newest stamp
  std::uint32_t _MSCNTJ = 0;  // slot of the oldest stamp less than a second older than the newest
};

// The library's state. Programs read it; the library's routines write it.
extern LibraryState state;

// ---- Window and messages ---------------------------------------------------------

// Opens the window with a client area of W by H pixels, black background, white foreground.
void CREATEWIN(std::uint32_t W, std::uint32_t H);

// Opens the window with background C and a white foreground.
void CREATEWIN(std::uint32_t W, std::uint32_t H, Colour C);

// Opens the window: foreground CFG, background CBG; the main surface is cleared to CBG.
void CREATEWIN(std::uint32_t W, std::uint32_t H, Colour CFG, Colour CBG);

// Takes the next message into _MS (user queue first, then the window's queue) and has
// it handled; false when nothing was pending. Never waits.
bool ISNEXTMSG();

// Takes the next user-queue entry into _MS; false when the queue is empty.
bool CUSTOMMSG();

// Translates and dispatches _MS.
void SENDMSG();

// Shows the main surface in the window (pixels of 0x000001 excluded) and stamps a frame.
void FRESHWIN();

// ---- Surfaces and drawing ------------------------------------------------------

// Notes that B was drawn on from (left, top) to (right, bottom) excluded, so that FRESHWIN
// shows it: on the main surface that rectangle, on the window record all of the window.
// The library's drawing routines note what they draw; a program that draws on a surface
// through the platform directly notes it itself.
void noteDrawn(PBITMAP B, std::int64_t left, std::int64_t top, std::int64_t right,
               std::int64_t bottom);

// A new surface of W by H pixels and colour C, filled with C (not filled for TRANSPARENT).
PBITMAP CREATEBMP(std::uint32_t W, std::uint32_t H, Colour C);

// A new surface of B's size and colour; B's pixels are not copied.
PBITMAP CREATEBMP(PBITMAP B);

// Releases B (the window record: gives its device context back); null does nothing.
void RELEASEBMP(PBITMAP B);

// Releases the window record's device context and the main surface.
void RELEASEBMP();

// Makes the library brush of colour C and selects it into B.
void SETBRUSHCOLOR(PBITMAP B, Colour C);

// Fills W by H pixels of B from (X, Y) with C.
void BAR(PBITMAP B, std::int32_t X, std::int32_t Y, std::int32_t W, std::int32_t H, Colour C);

// Fills W by H pixels of the main surface from (X, Y) with C.
void BAR(std::uint32_t X, std::uint32_t Y, std::int32_t W, std::int32_t H, Colour C);

// Fills all of B with C.
void CLEAR(PBITMAP B, Colour C);

// Fills all of B with the window's background colour _CBG.
void CLEAR(PBITMAP B);

// Fills the main surface with _CBG.
void CLEAR();

// The colour of the main surface at (X, Y); 0xFFFFFFFF outside it. (Inline, below.)
inline Colour GETPIXEL(std::uint32_t X, std::uint32_t Y);

// Sets the main surface's pixel (X, Y) to C; outside the surface nothing changes. (Inline, below.)
inline void SETPIXEL(std::uint32_t X, std::uint32_t Y, Colour C);

// The transparency level of C: its top byte (0 opaque, 255 invisible).
std::uint8_t GETALPHA(Colour C);

// Draws the rectangle (XS, YS, WS, HS) of BS stretched into (XD, YD, WD, HD) of BD,
// leaving out source pixels of colour C & 0xFFFFFF, at opacity (255 - GETALPHA(C)) / 255.
void DRAWBMP(PBITMAP BS, PBITMAP BD, std::uint32_t XS, std::uint32_t YS, std::uint32_t WS,
             std::uint32_t HS, std::uint32_t XD, std::uint32_t YD, std::uint32_t WD,
             std::uint32_t HD, Colour C);

// Draws all of BS stretched into (XD, YD, WD, HD) of BD.
void DRAWBMP(PBITMAP BS, PBITMAP BD, std::uint32_t XD, std::uint32_t YD, std::uint32_t WD,
             std::uint32_t HD, Colour C);

// Draws all of BS unscaled at (XD, YD) of BD. (A template only so that a literal 0 in
// the second place picks the five-number main-surface form below.)
template <std::same_as<PBITMAP> Destination>
void DRAWBMP(PBITMAP BS, Destination BD, std::uint32_t XD, std::uint32_t YD, Colour C);

// Draws all of BS unscaled at (0, 0) of BD.
void DRAWBMP(PBITMAP BS, PBITMAP BD, Colour C);

// Draws all of BS unscaled at (0, 0) of BD, keyed by BS's own colour.
void DRAWBMP(PBITMAP BS, PBITMAP BD);

// Draws (XS, YS, WS, HS) of B stretched into (XD, YD, WD, HD) of the main surface.
void DRAWBMP(PBITMAP B, std::uint32_t XS, std::uint32_t YS, std::uint32_t WS, std::uint32_t HS,
             std::uint32_t XD, std::uint32_t YD, std::uint32_t WD, std::uint32_t HD, Colour C);

// Draws all of B stretched into (XD, YD, WD, HD) of the main surface.
void DRAWBMP(PBITMAP B, std::uint32_t XD, std::uint32_t YD, std::uint32_t WD, std::uint32_t HD,
             Colour C);

// Draws all of B stretched into (XD, YD, WD, HD) of the main surface, keyed by B's colour.
void DRAWBMP(PBITMAP B, std::uint32_t XD, std::uint32_t YD, std::uint32_t WD, std::uint32_t HD);

// ---- Text --------------------------------------------------------------------

// Makes the library font from the settings _FH ... _FFN and selects it into B.
void SETFONT(PBITMAP B);

// Makes the library font and selects it into the main surface.
void SETFONT();

// Measures S in the window's font into _STRZ.
void GETSTRINGSIZE(std::string_view S);

// The width of S in pixels, scaled to the font height _FH (half to even).
std::uint32_t GETSTRINGWIDTH(std::string_view S);

// Draws S on B with its top-left corner at (X, Y): glyphs in CFG on cells filled with CBG.
void DRAWTEXTXY(PBITMAP B, std::string_view S, std::uint32_t X, std::uint32_t Y, Colour CFG,
                Colour CBG);

// Draws S on the main surface.
void DRAWTEXTXY(std::string_view S, std::uint32_t X, std::uint32_t Y, Colour CFG, Colour CBG);

// The characters of S, zero-terminated; valid while S lives.
const char* AS2PC(const std::string& S);

// ---- Time, frames, metrics, mouse ----------------------------------------------

// Seconds since the window was created (before that: the counter's own time).
double GETTIMER();

// Pauses the calling thread for T milliseconds; 0 gives up the rest of the time slice.
void DELAY(std::uint32_t T);

// Counts one presented frame: next stamp slot, then FRESHFPS.
void ADDFPS();

// Stamps the newest slot with GETTIMER and drops stamps a second or more older.
void FRESHFPS();

// The client width _W.
std::uint32_t GETWIDTH();

// The client height _H.
std::uint32_t GETHEIGHT();

// The screen width in pixels.
std::int32_t GETSCRWIDTH();

// The screen height in pixels.
std::int32_t GETSCRHEIGHT();

// The height of a window caption in pixels.
std::int32_t GETBORDERTITLE();

// The width of a sizing frame in pixels.
std::int32_t GETBORDERWIDTH();

// The height of a sizing frame in pixels.
std::int32_t GETBORDERHEIGHT();

// The screen x of the window's outer left edge; 0 without a window.
std::int32_t GETPOSX();

// The screen y of the window's outer top edge; 0 without a window.
std::int32_t GETPOSY();

// The cursor's screen x.
std::int32_t GETMOUSEABSX();

// The cursor's screen y.
std::int32_t GETMOUSEABSY();

// The cursor's x relative to the window's outer left edge.
std::int32_t GETMOUSEWINX();

// The cursor's y relative to the window's outer top edge.
std::int32_t GETMOUSEWINY();

// The cursor's x relative to the client area.
std::int32_t GETMOUSEPOSX();

// The cursor's y relative to the client area.
std::int32_t GETMOUSEPOSY();

// The larger of X and Y.
std::int32_t MAX(std::int32_t X, std::int32_t Y);

// ---- Inline forms ----------------------------------------------------------------

// The red and blue bytes of a colour exchanged: COLORREF 0x00BBGGRR to the main surface's
// pixel word 0x00RRGGBB and back; the top byte is dropped.
constexpr std::uint32_t swapRedBlue(std::uint32_t c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

// The main surface's pixel (X, Y) in place, null outside the surface; a coordinate of
// 2^31 or more ends the program with 201, as everywhere a position becomes signed.
inline std::uint32_t* mainPixel(std::uint32_t X, std::uint32_t Y) {
  morvane::rt::narrow<std::int32_t>(X);
  morvane::rt::narrow<std::int32_t>(Y);
  if (state.mainPixels == nullptr || X >= state._PMAIN->WIDTH || Y >= state._PMAIN->HEIGHT) {
    return nullptr;
  }
  return state.mainPixels + std::size_t{Y} * state._PMAIN->WIDTH + X;
}

// Inline: the display phase of morvane_display calls them for every world pixel.
inline Colour GETPIXEL(std::uint32_t X, std::uint32_t Y) {
  const std::uint32_t* pixel = mainPixel(X, Y);
  return pixel != nullptr ? swapRedBlue(*pixel) : plat::CLR_INVALID;
}

inline void SETPIXEL(std::uint32_t X, std::uint32_t Y, Colour C) {
  std::uint32_t* pixel = mainPixel(X, Y);
  if (pixel == nullptr) return;
  *pixel = swapRedBlue(C);
  // noteDrawn for one pixel, which lies on the main surface (so below 2^31).
  plat::RECT& unshown = state.unshown;
  const auto x = static_cast<std::int32_t>(X);
  const auto y = static_cast<std::int32_t>(Y);
  if (x < unshown.left) unshown.left = x;
  if (y < unshown.top) unshown.top = y;
  if (x >= unshown.right) unshown.right = x + 1;
  if (y >= unshown.bottom) unshown.bottom = y + 1;
}

// The (BS, BD, XD, YD, C) form of DRAWBMP under an ordinary name.
void drawUnscaledAt(PBITMAP BS, PBITMAP BD, std::uint32_t XD, std::uint32_t YD, Colour C);

template <std::same_as<PBITMAP> Destination>
void DRAWBMP(PBITMAP BS, Destination BD, std::uint32_t XD, std::uint32_t YD, Colour C) {
  drawUnscaledAt(BS, BD, XD, YD, C);
}

}  // namespace display
