// The platform layer: the window, graphics and timing services that the
// display library and the palette facility are written against.
//
// The calls keep the shape of the system services they stand for (a window
// class and a window procedure, per-thread message queues, device contexts
// holding one bitmap, brush and font, blits, text, metrics, a performance
// counter), so that a backend forwarding to those services would be one or two
// lines per call. Here they are implemented once, in memory, on real pixel
// buffers (platform/emulated/core), over a small driver interface
// (platform/emulated/driver.h) with SDL2 for real windows and a headless driver
// for tests; and on Windows by forwarding to the real services (platform/win32).
// The build links exactly one of the two.
//
// Conventions:
// - Colours are COLORREF values 0x00BBGGRR (red in the lowest byte).
// - Handles are opaque non-zero numbers; 0 is "no object". Passing a handle of
//   the wrong kind or a released one makes the call fail (FALSE, 0 or
//   CLR_INVALID), never crash.
// - A window, its messages and its device context belong to the thread that
//   created the window. PostMessageA and SendMessageA may be called from any
//   thread; every other call on a window is made on its owner thread.
// - Drawing calls are cheap enough to be made per pixel: no allocation, O(1)
//   handle lookup.
#pragma once

#include <cstdint>

namespace morvane::plat {

using BOOL = std::int32_t;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using ATOM = std::uint16_t;
using COLORREF = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

using HANDLE = std::uintptr_t;
using HWND = HANDLE;
using HDC = HANDLE;
using HGDIOBJ = HANDLE;
using HBITMAP = HANDLE;
using HBRUSH = HANDLE;
using HFONT = HANDLE;
using HCURSOR = HANDLE;
using HICON = HANDLE;
using HMENU = HANDLE;
using HINSTANCE = HANDLE;

inline constexpr BOOL kFalse = 0;
inline constexpr BOOL kTrue = 1;

// ---- Messages --------------------------------------------------------------

inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_PAINT = 0x000F;  // Windows only: part of the window must be drawn again
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_SETCURSOR = 0x0020;
inline constexpr UINT WM_NCACTIVATE = 0x0086;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_CHAR = 0x0102;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_MBUTTONDOWN = 0x0207;
inline constexpr UINT WM_MBUTTONUP = 0x0208;
inline constexpr UINT WM_DROPFILES = 0x0233;
inline constexpr UINT WM_USER = 0x0400;

// WM_SIZE wParam values.
inline constexpr WPARAM SIZE_RESTORED = 0;
inline constexpr WPARAM SIZE_MINIMIZED = 1;
inline constexpr WPARAM SIZE_MAXIMIZED = 2;

// PeekMessageA removal flags.
inline constexpr UINT PM_NOREMOVE = 0;
inline constexpr UINT PM_REMOVE = 1;

struct POINT {
  LONG x;
  LONG y;
};

struct RECT {
  LONG left;
  LONG top;
  LONG right;   // excluded
  LONG bottom;  // excluded
};

struct SIZE {
  LONG cx;
  LONG cy;
};

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;  // milliseconds since the platform started, when posted
  POINT pt;    // cursor position in screen coordinates, when posted
};

// Builds the lParam of WM_SIZE / WM_MOVE: low word `lo`, high word `hi`.
constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) {
  return static_cast<LPARAM>(static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16));
}

// ---- Window classes and windows -------------------------------------------

// The calling convention of window procedures: the system's own (stdcall) on
// 32-bit x86 Windows, the default everywhere else. Every window procedure is
// declared with it.
#if defined(_WIN32) && defined(__i386__)
#define MORVANE_CALLBACK __stdcall
#else
#define MORVANE_CALLBACK
#endif

using WNDPROC = LRESULT(MORVANE_CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;  // fills a new window's client area
  const char* lpszMenuName;
  const char* lpszClassName;
};

// Window styles understood by CreateWindowExA.
inline constexpr DWORD WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_MINIMIZE = 0x20000000;
inline constexpr DWORD WS_MAXIMIZE = 0x01000000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_THICKFRAME = 0x00040000;
inline constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
inline constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
inline constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_MAXIMIZE = 3;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_RESTORE = 9;

// Registers a window class; returns its atom, or 0 when the name is taken or the class is invalid.
ATOM RegisterClassA(const WNDCLASSA* wc);

// Removes the class `name` (its windows must be gone); FALSE when no such class is registered.
BOOL UnregisterClassA(const char* name, HINSTANCE instance);

// Grows `rect`, a client rectangle, to the outer rectangle of a window of `style`
// (frame and caption; `menu` and `exStyle` must be 0). This is the one place that
// knows how large a window's decoration is.
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);

// Creates a window of a registered class on the calling thread. `w` and `h`
// are the outer size; the client area is that less the decoration of the
// style (AdjustWindowRectEx). A visible window receives WM_CREATE, WM_SIZE
// and WM_MOVE before this returns. Returns 0 when the class is unknown. When the
// window system cannot make the window, the program ends with one line saying why.
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                     int y, int w, int h, HWND parent, HMENU menu, HINSTANCE instance, void* param);

// Destroys the window: WM_DESTROY is sent, the native window goes away, the handle becomes invalid.
BOOL DestroyWindow(HWND hwnd);

// Default handling: WM_CLOSE destroys the window; everything else returns 0.
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The program's own module instance (a fixed non-zero value).
HINSTANCE GetModuleHandleA(const char* name);

// TRUE while the window exists.
BOOL IsWindow(HWND hwnd);

// TRUE while the window is minimised.
BOOL IsIconic(HWND hwnd);

// Shows, hides, minimises, maximises or restores; returns whether it was visible before.
BOOL ShowWindow(HWND hwnd, int cmd);

// Raises the window and gives it the input focus.
BOOL SetForegroundWindow(HWND hwnd);

// The window's outer rectangle in screen coordinates; FALSE for no window.
BOOL GetWindowRect(HWND hwnd, RECT* rect);

// The client rectangle: (0, 0, client width, client height); FALSE for no window.
BOOL GetClientRect(HWND hwnd, RECT* rect);

// Marks the window as accepting dropped files (WM_DROPFILES goes to its procedure).
void DragAcceptFiles(HWND hwnd, BOOL accept);

// ---- Message queues ---------------------------------------------------------

// Takes one message for `hwnd` (0: any window of the thread) without waiting.
// Messages sent from other threads are handled (their window procedure runs)
// inside this call and are not returned. Native events are pumped first.
// `min`/`max` of 0/0 means no filter. Returns FALSE when nothing was pending.
BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT min, UINT max, UINT removeFlags);

// Waits up to `ms` milliseconds for a message of the calling thread or a native event.
void WaitMessageTimeout(DWORD ms);

// Adds a character message (WM_CHAR), taken next, after a WM_KEYDOWN of a key that types a
// character. Key messages carry in lParam the repeat count (bits 0-15) and, for WM_KEYUP, bits
// 30 and 31 set. Bits 16-23 are the backend's own: the emulation keeps there the character the
// key types (0 for none), Windows the key's scan code; read the character only from WM_CHAR.
BOOL TranslateMessage(const MSG* msg);

// Calls the window procedure of msg->hwnd with the message; returns its result.
LRESULT DispatchMessageA(const MSG* msg);

// Queues a message on the window's owner thread; any thread may post. `hwnd` 0 posts to the
// calling thread's own queue. FALSE for no window, or when its thread has ended.
BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Calls the window procedure: at once on the owner thread; from another thread the
// call waits until the owner handles it inside its next PeekMessageA (meanwhile the
// waiting thread handles messages sent to its own windows). 0 for no window, and 0 when
// the window is destroyed or its thread ends before handling it.
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// ---- Cursor and input -----------------------------------------------------

inline constexpr std::uintptr_t IDC_ARROW = 32512;

// The system cursor `id` (IDC_ARROW); `instance` must be 0.
HCURSOR LoadCursorA(HINSTANCE instance, std::uintptr_t id);

// Makes `cursor` the cursor shown over the window under the pointer; returns the previous one.
HCURSOR SetCursor(HCURSOR cursor);

// The pointer position in screen coordinates.
BOOL GetCursorPos(POINT* pt);

// ---- Metrics ----------------------------------------------------------------

inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CYCAPTION = 4;
inline constexpr int SM_CXFULLSCREEN = 16;
inline constexpr int SM_CYFULLSCREEN = 17;
inline constexpr int SM_CXFRAME = 32;
inline constexpr int SM_CYFRAME = 33;

// Screen size, full-screen client area (the display's usable area), frame and caption sizes.
int GetSystemMetrics(int index);

// ---- Device contexts and GDI objects -------------------------------------
//
// A device context targets either a window's client area (GetDC) or a bitmap
// (CreateCompatibleDC + SelectObject). Drawing on a window's context shows in
// the window at once. The emulation's windows keep their picture and repaint it
// by themselves when uncovered; on Windows a window that lost part of its
// picture gets WM_PAINT, whose default handling only marks it as drawn. Bitmaps are 32 bits per pixel. Every drawing call clips to
// its target.

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
         (static_cast<COLORREF>(b) << 16);
}

// The context of the window's client area; 0 for no window. GetDC(0) gives a context of the
// screen, which measures text and models compatible objects but draws nothing. After the
// window is destroyed its contexts stay valid until released, and draw nothing.
HDC GetDC(HWND hwnd);

// Gives back a context from GetDC; returns 1 when released.
int ReleaseDC(HWND hwnd, HDC dc);

// A memory context with a 1 by 1 default bitmap, the white brush, the default font.
// `dc` (0 for the screen, or a live context) names the pixel format, which is always
// 32 bits per pixel; 0 when `dc` is a released context.
HDC CreateCompatibleDC(HDC dc);

// Deletes a memory context (its selected objects survive).
BOOL DeleteDC(HDC dc);

// A bitmap of w by h pixels (0 by 0 allowed), black; 0 when w or h is negative, the
// size exceeds 2^28 pixels, memory runs out, or `dc` is neither 0 nor a live context.
HBITMAP CreateCompatibleBitmap(HDC dc, int w, int h);

// A solid brush of `colour`.
HBRUSH CreateSolidBrush(COLORREF colour);

inline constexpr int WHITE_BRUSH = 0;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int SYSTEM_FONT = 13;

// A stock object (never deleted by DeleteObject).
HGDIOBJ GetStockObject(int which);

// Selects a bitmap, brush or font into the context; returns the previous one of that kind, 0 on error.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);

// Deletes a bitmap, brush or font; stock objects are refused. An object still selected
// into a context stays usable until the last context lets go of it (another object is
// selected in its place or the context is deleted), then it is freed.
BOOL DeleteObject(HGDIOBJ object);

// Fills `rect` (right and bottom excluded) with `brush`; the null brush fills nothing. A
// rectangle whose right (bottom) lies before its left (top) is mirrored: it fills from the
// right (bottom) edge excluded to the left (top) edge included.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);

// The colour at (x, y), or CLR_INVALID outside the target.
COLORREF GetPixel(HDC dc, int x, int y);

// Sets (x, y) to `colour`; returns the colour set, or CLR_INVALID outside the target.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);

inline constexpr DWORD SRCCOPY = 0x00CC0020;

// Copies the source rectangle, stretched to the destination rectangle (nearest pixel).
BOOL StretchBlt(HDC dst, int xd, int yd, int wd, int hd, HDC src, int xs, int ys, int ws, int hs,
                DWORD rop);

// As StretchBlt, leaving out every source pixel whose colour is `key`.
BOOL GdiTransparentBlt(HDC dst, int xd, int yd, int wd, int hd, HDC src, int xs, int ys, int ws,
                       int hs, UINT key);

inline constexpr BYTE AC_SRC_OVER = 0;

struct BLENDFUNCTION {
  BYTE BlendOp;
  BYTE BlendFlags;
  BYTE SourceConstantAlpha;
  BYTE AlphaFormat;
};

// Blends the source rectangle into the destination: dst = src * a / 255 + dst * (255 - a) / 255,
// a = SourceConstantAlpha, per channel, rounded; stretched like StretchBlt when the sizes
// differ. Only AC_SRC_OVER with AlphaFormat 0 (no per-pixel alpha) is supported.
BOOL GdiAlphaBlend(HDC dst, int xd, int yd, int wd, int hd, HDC src, int xs, int ys, int ws,
                   int hs, BLENDFUNCTION blend);

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;  // positive: bottom-up rows; negative: top-down
  WORD biPlanes;
  WORD biBitCount;  // 24 or 32
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};

struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};

struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

inline constexpr DWORD BI_RGB = 0;
inline constexpr UINT DIB_RGB_COLORS = 0;

// Writes `lines` rows of the pixel buffer `bits` (described by `info`: 24 or 32 bits
// per pixel, BGR byte order, rows padded to 4 bytes) into the bitmap. The buffer holds
// scan lines `start` to `start` + `lines` - 1 of the picture `info` describes (scan line 0
// is the bottom row when biHeight is positive, the top row when negative). Rows and
// columns beyond the bitmap are left out. Returns the number of rows written, 0 on error.
int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits,
              const BITMAPINFO* info, UINT usage);

// A bitmap whose pixels the program reads and writes in place, made for the format of
// `dc` (0 or a live context). `info` must describe a top-down (negative biHeight) 32-bit
// BI_RGB picture of at least 1 by 1 pixels, `usage` be DIB_RGB_COLORS, `section` and
// `offset` 0; anything else is refused. *bits receives the pixels: rows from the top,
// 4 * width bytes each with no padding, each pixel the bytes blue, green, red and one
// byte that drawing calls leave 0 and readers ignore (so a pixel read as a little-endian
// 32-bit word is 0x00RRGGBB). The pixels start black and stay where they are until the
// bitmap is deleted. Drawing calls may complete later than they return (Windows queues
// them): call GdiFlush before touching the pixels after drawing on the bitmap. Returns
// 0 and sets *bits to null when refused or out of memory.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);

// Completes every drawing call the calling thread has made so far; TRUE.
BOOL GdiFlush();

// ---- Fonts and text ---------------------------------------------------------
//
// The fonts are bitmap fonts built into the program: an 8 by 16 face (the default,
// "VGA16") and an 8 by 8 face ("VGA8"). Text is single-byte in Windows-1252.

inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// A font for the height (0: the default 16), the face (empty or null: the default
// face for the height; "VGA8" or "VGA16" by name). Other arguments are accepted
// and do not change the glyphs.
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                  DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                  DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
                  const char* faceName);

struct TEXTMETRICA {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
};

// The metrics of the context's selected font.
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* tm);

// The extent of `count` characters in the context's selected font.
BOOL GetTextExtentPointA(HDC dc, const char* text, int count, SIZE* size);

// Draws `count` characters with their top-left corner at (x, y), glyph pixels in the
// text colour; with background mode OPAQUE the character cells are filled with the
// background colour first.
BOOL TextOutA(HDC dc, int x, int y, const char* text, int count);

// Sets the text colour; returns the previous one.
COLORREF SetTextColor(HDC dc, COLORREF colour);

// Sets the background colour; returns the previous one.
COLORREF SetBkColor(HDC dc, COLORREF colour);

// Sets the background mode (TRANSPARENT or OPAQUE); returns the previous one, 0 on error.
int SetBkMode(HDC dc, int mode);

// ---- Time -------------------------------------------------------------------

// The performance counter (monotonic ticks).
BOOL QueryPerformanceCounter(std::int64_t* count);

// Ticks per second of the performance counter.
BOOL QueryPerformanceFrequency(std::int64_t* frequency);

// Pauses the calling thread for `ms` milliseconds; 0 yields the rest of the time slice.
void Sleep(DWORD ms);

// Asks for a timer resolution of `ms` milliseconds; returns 0 (success).
UINT timeBeginPeriod(UINT ms);

// Ends a timeBeginPeriod request; returns 0 (success).
UINT timeEndPeriod(UINT ms);

}  // namespace morvane::plat
