// A real SDL2 window under X: draw through the platform calls, then read the
// window's pixels back through X11 (XGetImage of its native window).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "fonts/fonts.h"
#include "platform.h"
#include "runtime/runtime_error.h"
#include "sdl/keys.h"
#include "sdl/sdl_window.h"

// Xlib last: its macros (None, Bool, Status...) clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace morvane::plat {
namespace {

constexpr int kW = 120;
constexpr int kH = 80;
constexpr COLORREF kBack = RGB(200, 30, 30);
constexpr COLORREF kBox = RGB(20, 40, 220);
constexpr COLORREF kInk = RGB(255, 255, 255);

LRESULT MORVANE_CALLBACK plainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The screenshot of an X window as COLORREF values, row by row.
std::vector<COLORREF> grab(Display* x, unsigned long window) {
  XImage* image = XGetImage(x, window, 0, 0, kW, kH, AllPlanes, ZPixmap);
  if (!image) return {};
  std::vector<COLORREF> out;
  for (int y = 0; y < kH; ++y) {
    for (int px = 0; px < kW; ++px) {
      const unsigned long p = XGetPixel(image, px, y);  // 0xRRGGBB on a 24-bit TrueColor screen
      out.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
  }
  XDestroyImage(image);
  return out;
}

// What the client area should show: background, a box, and "Hi" in white at (60, 50).
COLORREF expected(int x, int y) {
  const fonts::BitmapFont& f = fonts::vga16();
  if (y >= 50 && y < 66 && x >= 60 && x < 76) {
    const char c = x < 68 ? 'H' : 'i';
    if (f.pixel(c, (x - 60) % 8, y - 50)) return kInk;
  }
  if (x >= 10 && x < 50 && y >= 5 && y < 25) return kBox;
  return kBack;
}

TEST(SdlWindowTest, DrawnPixelsReachTheScreen) {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) GTEST_SKIP() << "no X display";
  WNDCLASSA wc{};
  wc.lpfnWndProc = plainProc;
  wc.hbrBackground = CreateSolidBrush(kBack);
  wc.lpszClassName = "SdlTest";
  ASSERT_NE(RegisterClassA(&wc), 0);
  constexpr DWORD kStyle = WS_VISIBLE | WS_OVERLAPPEDWINDOW;
  RECT outer{0, 0, kW, kH};
  AdjustWindowRectEx(&outer, kStyle, kFalse, 0);
  EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
  const HWND hwnd = CreateWindowExA(0, "SdlTest", nullptr, kStyle, 40, 40, outer.right - outer.left,
                                    outer.bottom - outer.top, 0, 0, 0, nullptr);
  ASSERT_NE(hwnd, 0u);
  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, kW);
  EXPECT_EQ(client.bottom, kH);

  const HDC dc = GetDC(hwnd);
  const HBRUSH box = CreateSolidBrush(kBox);
  const RECT boxRect{10, 5, 50, 25};
  FillRect(dc, &boxRect, box);
  SetTextColor(dc, kInk);
  SetBkMode(dc, TRANSPARENT);
  TextOutA(dc, 60, 50, "Hi", 2);

  Display* x = XOpenDisplay(nullptr);
  ASSERT_NE(x, nullptr);
  const unsigned long native = sdl::x11Window(hwnd);
  ASSERT_NE(native, 0u);
  // The window maps asynchronously; keep pumping (an expose re-presents the
  // picture) until the screenshot shows it, for at most a few seconds.
  std::vector<COLORREF> shot;
  int wrong = -1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (wrong != 0 && std::chrono::steady_clock::now() < deadline) {
    MSG m;
    while (PeekMessageA(&m, hwnd, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    Sleep(20);
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(x, native, &attrs) || attrs.map_state != IsViewable) continue;
    EXPECT_EQ(attrs.width, kW);
    EXPECT_EQ(attrs.height, kH);
    shot = grab(x, native);
    if (shot.size() != static_cast<std::size_t>(kW * kH)) continue;
    wrong = 0;
    for (int i = 0; i < kW * kH; ++i) wrong += shot[i] != expected(i % kW, i / kW);
  }
  EXPECT_EQ(wrong, 0) << "pixels differing from the drawing";
  ASSERT_EQ(shot.size(), static_cast<std::size_t>(kW * kH));
  EXPECT_EQ(shot[10 * kW + 20], kBox);
  EXPECT_EQ(shot[70 * kW + 100], kBack);
  XCloseDisplay(x);
  ReleaseDC(hwnd, dc);
  EXPECT_TRUE(DestroyWindow(hwnd));
}

}  // namespace
}  // namespace morvane::plat

namespace morvane::plat::sdl {
namespace {

TEST(SdlKeysTest, KeysMapToVirtualKeysAndTypedCharacters) {
  struct Case {
    SDL_Keycode key;
    Uint16 mods;
    UINT vk;
    char typed;
  };
  const Case cases[] = {
      {SDLK_a, KMOD_NONE, 'A', 'a'},        {SDLK_a, KMOD_LSHIFT, 'A', 'A'},
      {SDLK_a, KMOD_CAPS, 'A', 'A'},        {SDLK_a, KMOD_LCTRL, 'A', '\x01'},
      {SDLK_7, KMOD_NONE, '7', '7'},        {SDLK_7, KMOD_RSHIFT, '7', '&'},
      {SDLK_SPACE, KMOD_NONE, 0x20, ' '},   {SDLK_RETURN, KMOD_NONE, 0x0D, '\r'},
      {SDLK_ESCAPE, KMOD_NONE, 0x1B, 0x1B}, {SDLK_LEFT, KMOD_NONE, 0x25, 0},
      {SDLK_F1, KMOD_NONE, 0x70, 0},        {SDLK_F24, KMOD_NONE, 0x87, 0},
      {SDLK_KP_5, KMOD_NUM, 0x65, '5'},     {SDLK_KP_5, KMOD_NONE, 0x65, 0},
      {SDLK_KP_PLUS, KMOD_NONE, 0x6B, '+'}, {SDLK_LSHIFT, KMOD_LSHIFT, 0x10, 0},
      {SDLK_SEMICOLON, KMOD_SHIFT, 0xBA, ':'}, {SDLK_DELETE, KMOD_NONE, 0x2E, 0},
      {SDLK_MUTE, KMOD_NONE, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(virtualKey(c.key), c.vk) << SDL_GetKeyName(c.key);
    EXPECT_EQ(typedCharacter(c.key, c.mods), c.typed) << SDL_GetKeyName(c.key) << " mods " << c.mods;
  }
}

}  // namespace
}  // namespace morvane::plat::sdl

namespace morvane::plat {
namespace {

// Without a display there is nothing to open a window on: the program ends with
// one line of its own giving the reason, and the status of an unusable display.
TEST(SdlWindowDeathTest, NoDisplayEndsTheProgramSayingWhy) {
  // A fresh process: this one may already run SDL's video thread, which a fork would not carry.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto createWithoutDisplay = [] {
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    ::unsetenv("SDL_VIDEODRIVER");
    WNDCLASSA wc{};
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = "NoDisplay";
    RegisterClassA(&wc);
    CreateWindowExA(0, "NoDisplay", nullptr, WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, 0,
                    0, GetModuleHandleA(nullptr), nullptr);
    std::exit(3);
  };
  EXPECT_EXIT(createWithoutDisplay(), testing::ExitedWithCode(rt::kDisplayUnavailable),
              "^[a-z_]+: cannot open a window: DISPLAY is not set\n$");
}

}  // namespace
}  // namespace morvane::plat
