// The SDL2 backend: real windows on the desktop.
//
// SDL's video functions must all run on one thread. This backend keeps a video
// thread of its own, started on first use, and runs every SDL call there; a
// caller on any thread hands its work over and waits for it. So the palette
// facility's service thread and a program's main thread may both use windows.
//
// Window pictures are presented through the window surface (no GL): before
// SDL starts, framebuffer acceleration is turned off, because the software GL
// path is several times slower under Xvfb. SDL's signal handlers are turned
// off too, so Ctrl+C and SIGTERM end the process the usual way.
#include <SDL.h>
#include <SDL_syswm.h>

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "driver.h"
#include "sdl/keys.h"
#include "sdl/sdl_window.h"

namespace morvane::plat {

namespace {

// The frame and caption sizes counted around framed windows. The window
// manager draws its own; these fixed values only have to agree with the way
// CreateWindowExA turns an outer size into the client size.
inline constexpr FrameMetrics kFrame{4, 4, 20};

// Runs tasks on one thread, in order.
class VideoThread {
 public:
  VideoThread() : thread_([this] { loop(); }) {}
  ~VideoThread() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }
  // Runs `task` on the video thread and waits for it.
  void run(const std::function<void()>& task) {
    if (std::this_thread::get_id() == thread_.get_id()) return task();
    std::packaged_task<void()> job(task);
    std::future<void> done = job.get_future();
    {
      std::lock_guard lock(mutex_);
      tasks_.push_back(std::move(job));
    }
    wake_.notify_one();
    done.get();
  }

 private:
  void loop() {
    for (;;) {
      std::packaged_task<void()> job;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return stop_ || !tasks_.empty(); });
        if (tasks_.empty()) return;
        job = std::move(tasks_.front());
        tasks_.pop_front();
      }
      job();
    }
  }
  std::mutex mutex_;                              // guards tasks_ and stop_
  std::condition_variable wake_;                  // signalled when a task arrives or on stop
  std::deque<std::packaged_task<void()>> tasks_;  // waiting tasks, oldest first
  bool stop_ = false;                             // end the thread once the tasks are done
  std::thread thread_;                            // the thread (last: starts after the rest)
};

class SdlDriver final : public Driver {
 public:
  ~SdlDriver() override {
    if (!video_) return;
    video_->run([this] {
      for (auto& [hwnd, window] : windows_) SDL_DestroyWindow(window);
      windows_.clear();
      if (arrow_) SDL_FreeCursor(arrow_);
      SDL_Quit();
    });
  }

  bool createWindow(HWND hwnd, int x, int y, int w, int h, bool resizable, bool visible) override {
    bool made = false;
    onVideo([&] {
      const Uint32 flags = (visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN) |
                           (resizable ? SDL_WINDOW_RESIZABLE : 0);
      SDL_Window* window = SDL_CreateWindow("", x, y, std::max(w, 1), std::max(h, 1), flags);
      if (!window) return;
      windows_[hwnd] = window;
      byId_[SDL_GetWindowID(window)] = hwnd;
      made = true;
    });
    return made;
  }

  void destroyWindow(HWND hwnd) override {
    onVideo([&] {
      SDL_Window* window = find(hwnd);
      if (!window) return;
      byId_.erase(SDL_GetWindowID(window));
      windows_.erase(hwnd);
      SDL_DestroyWindow(window);
    });
  }

  void showWindow(HWND hwnd, NativeShow how) override {
    onVideo([&] {
      SDL_Window* window = find(hwnd);
      if (!window) return;
      switch (how) {
        case NativeShow::kHide:
          return SDL_HideWindow(window);
        case NativeShow::kShow:
          return SDL_ShowWindow(window);
        case NativeShow::kMinimize:
          return SDL_MinimizeWindow(window);
        case NativeShow::kRestore:
          return SDL_RestoreWindow(window);
        case NativeShow::kMaximize:
          return SDL_MaximizeWindow(window);
      }
    });
  }

  void raiseWindow(HWND hwnd) override {
    onVideo([&] {
      if (SDL_Window* window = find(hwnd)) SDL_RaiseWindow(window);
    });
  }

  void present(HWND hwnd, const core::Surface& picture, const RECT& dirty) override {
    onVideo([&] {
      SDL_Window* window = find(hwnd);
      SDL_Surface* surface = window ? SDL_GetWindowSurface(window) : nullptr;
      if (!surface) return;
      // The surface may still have the old size right after a resize: copy what fits.
      const int right = std::min<int>(dirty.right, std::min(surface->w, picture.width));
      const int bottom = std::min<int>(dirty.bottom, std::min(surface->h, picture.height));
      if (right <= dirty.left || bottom <= dirty.top) return;
      SDL_LockSurface(surface);
      const int bytes = surface->format->BytesPerPixel;
      SDL_ConvertPixels(right - dirty.left, bottom - dirty.top, SDL_PIXELFORMAT_RGB888,
                        &picture.pixels[static_cast<std::size_t>(dirty.top) * picture.width +
                                        dirty.left],
                        picture.width * 4, surface->format->format,
                        static_cast<Uint8*>(surface->pixels) + dirty.top * surface->pitch +
                            dirty.left * bytes,
                        surface->pitch);
      SDL_UnlockSurface(surface);
      const SDL_Rect rect{dirty.left, dirty.top, right - dirty.left, bottom - dirty.top};
      SDL_UpdateWindowSurfaceRects(window, &rect, 1);
    });
  }

  void pumpEvents(EventSink& sink) override {
    {
      std::lock_guard lock(startMutex_);
      if (!started_) return;  // SDL never started: there are no native events
    }
    std::vector<std::function<void(EventSink&)>> events;
    video_->run([&] {
      SDL_Event e;
      while (SDL_PollEvent(&e)) translate(e, events);
    });
    for (const auto& deliver : events) deliver(sink);
  }

  SIZE screenSize() override {
    SIZE size{0, 0};
    onVideo([&] {
      SDL_DisplayMode mode;
      if (SDL_GetDesktopDisplayMode(0, &mode) == 0) size = SIZE{mode.w, mode.h};
    });
    return size;
  }

  RECT usableArea() override {
    RECT area{0, 0, 0, 0};
    onVideo([&] {
      SDL_Rect r;
      if (SDL_GetDisplayUsableBounds(0, &r) == 0) area = RECT{r.x, r.y, r.x + r.w, r.y + r.h};
    });
    return area;
  }

  FrameMetrics frameMetrics() override { return kFrame; }

  POINT cursorPosition() override {
    POINT p{0, 0};
    onVideo([&] {
      int x = 0, y = 0;
      SDL_GetGlobalMouseState(&x, &y);
      p = POINT{x, y};
    });
    return p;
  }

  void setArrowCursor(bool arrow) override {
    onVideo([&] {
      if (arrow && !arrow_) arrow_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
      if (arrow && arrow_) SDL_SetCursor(arrow_);
      SDL_ShowCursor(arrow ? SDL_ENABLE : SDL_DISABLE);
    });
  }

  // The X11 id of the window's native window (0: none).
  unsigned long x11Window(HWND hwnd) {
    unsigned long id = 0;
    onVideo([&] {
      SDL_Window* window = find(hwnd);
      SDL_SysWMinfo info;
      SDL_VERSION(&info.version);
      if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
        id = info.info.x11.window;
      }
    });
    return id;
  }

  void acceptFiles(HWND, bool accept) override {
    onVideo([&] { SDL_EventState(SDL_DROPFILE, accept ? SDL_ENABLE : SDL_DISABLE); });
  }

 private:
  // Runs `task` on the video thread, starting SDL's video first if needed; the task
  // does not run when SDL cannot start.
  void onVideo(const std::function<void()>& task) {
    {
      std::lock_guard lock(startMutex_);
      if (!video_) {
        video_ = std::make_unique<VideoThread>();
        video_->run([this] {
          SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
          SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
          started_ = startVideo();
          if (started_) SDL_EventState(SDL_DROPFILE, SDL_DISABLE);
        });
      }
    }
    if (started_) video_->run(task);
  }

  // Starts SDL's video on a real screen. SDL falls back to its off-screen driver
  // when there is no display; a window there would be seen by nobody, so that
  // counts as failure (unless SDL_VIDEODRIVER asked for it), and the reason is
  // told once on stderr.
  static bool startVideo() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      std::fprintf(stderr, "cannot open a window: %s\n", SDL_GetError());
      return false;
    }
    const std::string_view driver = SDL_GetCurrentVideoDriver();
    if ((driver == "offscreen" || driver == "dummy") && !SDL_GetHint(SDL_HINT_VIDEODRIVER)) {
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
      std::fprintf(stderr, "cannot open a window: no display (is DISPLAY set?)\n");
      return false;
    }
    return true;
  }

  SDL_Window* find(HWND hwnd) const {
    const auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : it->second;
  }

  HWND hwndOf(Uint32 id) const {
    const auto it = byId_.find(id);
    return it == byId_.end() ? 0 : it->second;
  }

  // Turns one SDL event into a call of the core's sink (made later, off the video thread).
  void translate(const SDL_Event& e, std::vector<std::function<void(EventSink&)>>& out);
  void translateWindowEvent(const SDL_WindowEvent& e,
                            std::vector<std::function<void(EventSink&)>>& out);

  std::mutex startMutex_;                // guards starting the video thread
  std::unique_ptr<VideoThread> video_;   // the thread of every SDL call, once started
  bool started_ = false;                 // SDL's video started (set on the video thread)
  std::map<HWND, SDL_Window*> windows_;  // our windows (video thread only)
  std::map<Uint32, HWND> byId_;          // SDL window id -> window handle (video thread only)
  SDL_Cursor* arrow_ = nullptr;          // the arrow cursor, made on first use
};

void SdlDriver::translateWindowEvent(const SDL_WindowEvent& e,
                                     std::vector<std::function<void(EventSink&)>>& out) {
  const HWND hwnd = hwndOf(e.windowID);
  if (hwnd == 0) return;
  const int a = e.data1;
  const int b = e.data2;
  switch (e.event) {
    case SDL_WINDOWEVENT_CLOSE:
      return out.push_back([=](EventSink& s) { s.windowClosed(hwnd); });
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      return out.push_back([=](EventSink& s) { s.windowResized(hwnd, a, b); });
    case SDL_WINDOWEVENT_MINIMIZED:
      return out.push_back([=](EventSink& s) { s.windowMinimized(hwnd); });
    case SDL_WINDOWEVENT_RESTORED:
      return out.push_back([=](EventSink& s) { s.windowRestored(hwnd); });
    case SDL_WINDOWEVENT_MOVED:
      return out.push_back([=](EventSink& s) { s.windowMoved(hwnd, a, b); });
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST: {
      const bool gained = e.event == SDL_WINDOWEVENT_FOCUS_GAINED;
      return out.push_back([=](EventSink& s) { s.windowFocus(hwnd, gained); });
    }
    case SDL_WINDOWEVENT_EXPOSED:
      return out.push_back([=](EventSink& s) { s.windowExposed(hwnd); });
    default:
      return;
  }
}

void SdlDriver::translate(const SDL_Event& e, std::vector<std::function<void(EventSink&)>>& out) {
  switch (e.type) {
    case SDL_WINDOWEVENT:
      return translateWindowEvent(e.window, out);
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const HWND hwnd = hwndOf(e.key.windowID);
      const UINT vk = sdl::virtualKey(e.key.keysym.sym);
      if (hwnd == 0 || vk == 0) return;
      const bool down = e.type == SDL_KEYDOWN;
      const char typed = sdl::typedCharacter(e.key.keysym.sym, e.key.keysym.mod);
      return out.push_back([=](EventSink& s) { s.key(hwnd, vk, down, typed); });
    }
    case SDL_MOUSEMOTION: {
      const HWND hwnd = hwndOf(e.motion.windowID);
      int x = 0, y = 0;
      SDL_GetGlobalMouseState(&x, &y);
      return out.push_back([=](EventSink& s) { s.mouseMoved(hwnd, x, y); });
    }
    case SDL_DROPFILE: {
      const HWND hwnd = hwndOf(e.drop.windowID);
      SDL_free(e.drop.file);
      if (hwnd != 0) out.push_back([=](EventSink& s) { s.filesDropped(hwnd); });
      return;
    }
    default:
      return;
  }
}

SdlDriver& sdlDriver() {
  static SdlDriver driver;
  return driver;
}

}  // namespace

Driver& activeDriver() { return sdlDriver(); }

unsigned long sdl::x11Window(HWND hwnd) { return sdlDriver().x11Window(hwnd); }

}  // namespace morvane::plat

#if defined(__SANITIZE_ADDRESS__)
// Leak checking: libdbus (which SDL's video start-up uses) keeps a buffer that
// nothing can free before the process ends. Not ours: leave it out of reports.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
#endif
