// Window classes, windows, their states and the native events that change them.
#include <algorithm>
#include <cstring>
#include <optional>
#include <strings.h>

#include "core/state.h"

namespace morvane::plat {

using core::Window;

namespace {

inline constexpr LPARAM kHitClient = 1;  // WM_SETCURSOR hit-test code: over the client area

// The decoration around a window's client area, in pixels.
struct Decor {
  int left, top, right, bottom;
};

// The frame (and caption) a window of `style` gets. Overlapped windows are always
// framed and captioned; pop-ups only with WS_THICKFRAME / WS_CAPTION.
Decor decorFor(DWORD style) {
  const FrameMetrics m = core::platform().driver.frameMetrics();
  const bool popup = (style & WS_POPUP) != 0;
  const bool framed = !popup || (style & (WS_THICKFRAME | WS_CAPTION)) != 0;
  const bool captioned = !popup || (style & WS_CAPTION) == WS_CAPTION;
  const int fx = framed ? m.frameX : 0;
  const int fy = framed ? m.frameY : 0;
  return Decor{fx, fy + (captioned ? m.caption : 0), fx, fy};
}

LPARAM packPoint(int lo, int hi) {
  return MAKELPARAM(static_cast<WORD>(lo), static_cast<WORD>(hi));
}

// Gives the window a client area of w by h (kept pixels stay, new ones get the
// background), shows it and sends WM_SIZE with `type`.
void setClientSize(Window& w, int cw, int ch, WPARAM type) {
  w.picture.resize(cw, ch, core::backgroundPixel(w));
  core::presentWindow(w, RECT{0, 0, cw, ch});
  core::callProc(w, WM_SIZE, type, packPoint(cw, ch));
}

void minimize(Window& w) {
  if (w.iconic) return;
  if (!w.maximized) w.normalSize = SIZE{w.picture.width, w.picture.height};
  w.iconic = true;
  setClientSize(w, 0, 0, SIZE_MINIMIZED);
}

void restore(Window& w) {
  if (!w.iconic && !w.maximized) return;
  w.iconic = false;
  w.maximized = false;
  setClientSize(w, w.normalSize.cx, w.normalSize.cy, SIZE_RESTORED);
}

void maximize(Window& w) {
  if (w.maximized && !w.iconic) return;
  if (!w.iconic) w.normalSize = SIZE{w.picture.width, w.picture.height};
  w.iconic = false;
  w.maximized = true;
  const RECT area = core::platform().driver.usableArea();
  w.clientOrigin = POINT{area.left, area.top};
  setClientSize(w, area.right - area.left, area.bottom - area.top, SIZE_MAXIMIZED);
}

void resized(Window& w, int cw, int ch) {
  if (w.iconic || (cw == w.picture.width && ch == w.picture.height)) return;
  if (!w.maximized) w.normalSize = SIZE{cw, ch};
  setClientSize(w, cw, ch, w.maximized ? SIZE_MAXIMIZED : SIZE_RESTORED);
}

void moved(Window& w, int x, int y) {
  if (w.clientOrigin.x == x && w.clientOrigin.y == y) return;
  w.clientOrigin = POINT{x, y};
  core::callProc(w, WM_MOVE, 0, packPoint(x, y));
}

// The pointer moved over `w` to (x, y) on the screen.
void pointerOver(Window& w, int x, int y) {
  const int cx = x - w.clientOrigin.x;
  const int cy = y - w.clientOrigin.y;
  const bool inClient = w.picture.contains(cx, cy);
  core::callProc(w, WM_SETCURSOR, w.hwnd,
                 (inClient ? kHitClient : 0) | (static_cast<LPARAM>(WM_MOUSEMOVE) << 16));
  if (inClient) PostMessageA(w.hwnd, WM_MOUSEMOVE, 0, packPoint(cx, cy));
}

// Runs `apply` on the window on its owner thread (now, or at its next PeekMessageA).
template <class F>
void onWindow(HWND hwnd, F apply) {
  core::deliver(
      hwnd,
      [apply](Window& w) -> LRESULT {
        apply(w);
        return 0;
      },
      false);
}

// The core's receiver of native events.
class CoreEvents final : public EventSink {
 public:
  void windowClosed(HWND hwnd) override {
    onWindow(hwnd, [](Window& w) { core::callProc(w, WM_CLOSE, 0, 0); });
  }
  void windowResized(HWND hwnd, int w, int h) override {
    onWindow(hwnd, [=](Window& win) { resized(win, w, h); });
  }
  void windowMinimized(HWND hwnd) override { onWindow(hwnd, minimize); }
  void windowRestored(HWND hwnd) override { onWindow(hwnd, restore); }
  void windowMoved(HWND hwnd, int x, int y) override {
    onWindow(hwnd, [=](Window& w) { moved(w, x, y); });
  }
  void windowFocus(HWND hwnd, bool gained) override {
    onWindow(hwnd, [=](Window& w) { core::callProc(w, WM_NCACTIVATE, gained ? 1 : 0, 0); });
  }
  void windowExposed(HWND hwnd) override {
    onWindow(hwnd, [](Window& w) {
      core::presentWindow(w, RECT{0, 0, w.picture.width, w.picture.height});
    });
  }
  void key(HWND hwnd, UINT vk, bool down, char typed) override {
    const LPARAM lParam = 1 | (static_cast<LPARAM>(static_cast<unsigned char>(typed)) << 16) |
                          (down ? 0 : static_cast<LPARAM>(0xC0000000u));
    PostMessageA(hwnd, down ? WM_KEYDOWN : WM_KEYUP, vk, lParam);
  }
  void mouseMoved(HWND hwnd, int x, int y) override {
    core::Platform& p = core::platform();
    p.cursorX.store(x, std::memory_order_relaxed);
    p.cursorY.store(y, std::memory_order_relaxed);
    if (hwnd != 0) onWindow(hwnd, [=](Window& w) { pointerOver(w, x, y); });
  }
  void filesDropped(HWND hwnd) override { PostMessageA(hwnd, WM_DROPFILES, 0, 0); }
};

// A copy of the class registered as `name` (case-insensitive); the caller holds classMutex.
std::optional<core::WindowClass> findClassLocked(const char* name) {
  for (const core::WindowClass& c : core::platform().classes) {
    if (!c.name.empty() && strcasecmp(c.name.c_str(), name) == 0) return c;
  }
  return std::nullopt;
}

std::optional<core::WindowClass> findClass(const char* name) {
  std::lock_guard lock(core::platform().classMutex);
  return findClassLocked(name);
}

// Makes the window object for CreateWindowExA (not yet in the table).
std::shared_ptr<Window> makeWindow(const core::WindowClass& cls, DWORD style, int x, int y,
                                   int w, int h) {
  const Decor d = decorFor(style);
  auto win = std::make_shared<Window>();
  win->proc = cls.proc;
  win->background = cls.background;
  win->style = style;
  win->owner = core::currentQueue();
  win->ownerThread = std::this_thread::get_id();
  win->clientOrigin = POINT{x + d.left, y + d.top};
  win->visible = (style & WS_VISIBLE) != 0;
  const int cw = std::max(0, w - d.left - d.right);
  const int ch = std::max(0, h - d.top - d.bottom);
  win->picture.resize(cw, ch, core::backgroundPixel(*win));
  win->normalSize = SIZE{cw, ch};
  return win;
}

}  // namespace

namespace core {

EventSink& coreEvents() {
  static CoreEvents events;
  return events;
}

std::uint32_t backgroundPixel(const Window& w) {
  const Brush* b = platform().brushes.get(w.background);
  return b && b->paints ? b->pixel : 0;
}

void presentWindow(Window& w, const RECT& dirty) {
  const RECT r = clipToSurface(w.picture, dirty);
  if (w.visible && !w.iconic && !isEmpty(r)) platform().driver.present(w.hwnd, w.picture, r);
}

}  // namespace core

ATOM RegisterClassA(const WNDCLASSA* wc) {
  if (!wc || !wc->lpfnWndProc || !wc->lpszClassName || !*wc->lpszClassName) return 0;
  core::Platform& p = core::platform();
  std::lock_guard lock(p.classMutex);
  if (findClassLocked(wc->lpszClassName)) return 0;
  if (p.classes.size() >= 0xBFFF) return 0;
  p.classes.push_back(core::WindowClass{wc->lpszClassName, wc->lpfnWndProc, wc->hbrBackground});
  return static_cast<ATOM>(0xC000 + p.classes.size() - 1);
}

BOOL UnregisterClassA(const char* name, HINSTANCE) {
  if (!name || !*name) return kFalse;
  core::Platform& p = core::platform();
  std::lock_guard lock(p.classMutex);
  for (core::WindowClass& c : p.classes) {
    // The slot stays, emptied, so that the atoms of the classes after it keep their meaning.
    if (strcasecmp(c.name.c_str(), name) == 0) {
      c = core::WindowClass{};
      return kTrue;
    }
  }
  return kFalse;
}

HWND CreateWindowExA(DWORD, const char* className, const char*, DWORD style, int x, int y, int w,
                     int h, HWND, HMENU, HINSTANCE, void* param) {
  const std::optional<core::WindowClass> cls =
      className ? findClass(className) : std::nullopt;
  if (!cls) return 0;
  std::shared_ptr<Window> win = makeWindow(*cls, style, x, y, w, h);
  core::Platform& p = core::platform();
  const HWND hwnd = p.windows.add(win);
  if (hwnd == 0) return 0;
  win->hwnd = hwnd;
  if (!p.driver.createWindow(hwnd, win->clientOrigin.x, win->clientOrigin.y, win->picture.width,
                             win->picture.height, (style & WS_THICKFRAME) != 0, win->visible)) {
    p.windows.remove(hwnd);
    return 0;
  }
  core::presentWindow(*win, RECT{0, 0, win->picture.width, win->picture.height});
  if (core::callProc(*win, WM_CREATE, 0, reinterpret_cast<LPARAM>(param)) == -1) {
    DestroyWindow(hwnd);
    return 0;
  }
  core::callProc(*win, WM_SIZE, SIZE_RESTORED, packPoint(win->picture.width, win->picture.height));
  core::callProc(*win, WM_MOVE, 0, packPoint(win->clientOrigin.x, win->clientOrigin.y));
  if (win->alive.load() && (style & WS_MINIMIZE)) ShowWindow(hwnd, SW_MINIMIZE);
  if (win->alive.load() && (style & WS_MAXIMIZE)) ShowWindow(hwnd, SW_MAXIMIZE);
  return win->alive.load() ? hwnd : 0;
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (!rect || menu || exStyle) return kFalse;
  const Decor d = decorFor(style);
  *rect = RECT{rect->left - d.left, rect->top - d.top, rect->right + d.right,
               rect->bottom + d.bottom};
  return kTrue;
}

BOOL DestroyWindow(HWND hwnd) {
  std::shared_ptr<Window> w = core::ownWindow(hwnd);
  if (!w || w->destroying) return kFalse;
  w->destroying = true;
  core::callProc(*w, WM_DESTROY, 0, 0);
  core::dropMessagesOf(*w);
  core::Platform& p = core::platform();
  for (HDC dc : w->contexts) {
    if (core::Dc* d = p.dcs.get(dc)) d->target = nullptr;
  }
  p.driver.destroyWindow(hwnd);
  p.windows.remove(hwnd);
  return kTrue;
}

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_CLOSE) DestroyWindow(hwnd);
  return 0;
}

HINSTANCE GetModuleHandleA(const char*) { return 0x400000; }

BOOL IsWindow(HWND hwnd) {
  const Window* w = core::platform().windows.get(hwnd);
  return w && w->alive.load() ? kTrue : kFalse;
}

BOOL IsIconic(HWND hwnd) {
  const Window* w = core::platform().windows.get(hwnd);
  return w && w->alive.load() && w->iconic ? kTrue : kFalse;
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  std::shared_ptr<Window> w = core::ownWindow(hwnd);
  if (!w) return kFalse;
  const BOOL wasVisible = w->visible ? kTrue : kFalse;
  Driver& d = core::platform().driver;
  const bool show = cmd != SW_HIDE;
  if (show && !w->visible) {
    w->visible = true;
    d.showWindow(hwnd, NativeShow::kShow);
    core::presentWindow(*w, RECT{0, 0, w->picture.width, w->picture.height});
  }
  switch (cmd) {
    case SW_HIDE:
      w->visible = false;
      d.showWindow(hwnd, NativeShow::kHide);
      break;
    case SW_MINIMIZE:
      d.showWindow(hwnd, NativeShow::kMinimize);
      minimize(*w);
      break;
    case SW_RESTORE:
      d.showWindow(hwnd, NativeShow::kRestore);
      restore(*w);
      break;
    case SW_MAXIMIZE:
      d.showWindow(hwnd, NativeShow::kMaximize);
      maximize(*w);
      break;
    default:
      break;
  }
  return wasVisible;
}

BOOL SetForegroundWindow(HWND hwnd) {
  if (!IsWindow(hwnd)) return kFalse;
  core::platform().driver.raiseWindow(hwnd);
  return kTrue;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
  const Window* w = core::platform().windows.get(hwnd);
  if (!w || !rect || !w->alive.load()) return kFalse;
  const Decor d = decorFor(w->style);
  *rect = RECT{w->clientOrigin.x - d.left, w->clientOrigin.y - d.top,
               w->clientOrigin.x + w->picture.width + d.right,
               w->clientOrigin.y + w->picture.height + d.bottom};
  return kTrue;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
  const Window* w = core::platform().windows.get(hwnd);
  if (!w || !rect || !w->alive.load()) return kFalse;
  *rect = RECT{0, 0, w->picture.width, w->picture.height};
  return kTrue;
}

void DragAcceptFiles(HWND hwnd, BOOL accept) {
  if (IsWindow(hwnd)) core::platform().driver.acceptFiles(hwnd, accept != 0);
}

HCURSOR LoadCursorA(HINSTANCE instance, std::uintptr_t id) {
  return instance == 0 && id == IDC_ARROW ? core::arrowCursor() : 0;
}

HCURSOR SetCursor(HCURSOR cursor) {
  if (cursor != 0 && cursor != core::arrowCursor()) return 0;
  core::Platform& p = core::platform();
  const HCURSOR previous = p.currentCursor.exchange(cursor);
  p.driver.setArrowCursor(cursor != 0);
  return previous;
}

BOOL GetCursorPos(POINT* pt) {
  if (!pt) return kFalse;
  core::Platform& p = core::platform();
  *pt = p.driver.cursorPosition();
  p.cursorX.store(pt->x, std::memory_order_relaxed);
  p.cursorY.store(pt->y, std::memory_order_relaxed);
  return kTrue;
}

int GetSystemMetrics(int index) {
  Driver& d = core::platform().driver;
  switch (index) {
    case SM_CXSCREEN:
      return d.screenSize().cx;
    case SM_CYSCREEN:
      return d.screenSize().cy;
    case SM_CXFULLSCREEN:
      return d.usableArea().right - d.usableArea().left;
    case SM_CYFULLSCREEN:
      return d.usableArea().bottom - d.usableArea().top;
    case SM_CXFRAME:
      return d.frameMetrics().frameX;
    case SM_CYFRAME:
      return d.frameMetrics().frameY;
    case SM_CYCAPTION:
      return d.frameMetrics().caption;
    default:
      return 0;
  }
}

}  // namespace morvane::plat
