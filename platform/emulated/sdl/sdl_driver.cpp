// The SDL2 backend: real windows on the desktop.
//
// SDL's video functions must all run on one thread. This backend keeps a video
// thread of its own, started on first use, and runs every SDL call there; a
// caller on any thread hands its work over and waits for it. So the palette
// facility's service thread and a program's main thread may both use windows.
//
// Two calls made on every frame do not wait. A present copies only the rows
// that differ from the window's previous picture into the window's frame and
// asks the video thread to show it; presents made before it gets there are
// merged into one. Pumping takes the events the video thread has gathered so
// far and asks it to gather again. So the caller's thread never waits on X.
//
// Window pictures are presented through the window surface (no GL): before
// SDL starts, framebuffer acceleration is turned off, because the software GL
// path is several times slower under Xvfb. SDL's signal handlers are turned
// off too, so Ctrl+C and SIGTERM end the process the usual way.
//
// When the window system fails us the program cannot go on unseen: no display
// at start, a lost connection, a screen we cannot draw on, a picture that
// cannot be shown all end it at once with one line saying why
// (display_failure.h); SDL running out of memory ends it with run-time error 203.
#include <SDL.h>
#include <SDL_syswm.h>
#include <fcntl.h>
#include <unistd.h>

#include <condition_variable>
#include <cstring>
#include <cstdlib>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "driver.h"
#include "runtime/runtime_error.h"
#include "sdl/display_failure.h"
#include "sdl/keys.h"
#include "sdl/sdl_window.h"

namespace morvane::plat {

namespace {

// The frame and caption sizes counted around framed windows. The window
// manager draws its own; these fixed values only have to agree with the way
// CreateWindowExA turns an outer size into the client size.
inline constexpr FrameMetrics kFrame{4, 4, 20};

// Ends the program with run-time error 203 when SDL's last failure was for want of memory.
void failIfOutOfMemory() {
  if (std::string_view(SDL_GetError()) == "Out of memory") rt::fail(rt::RuntimeError::kHeapOverflow);
}

// Ends the program after SDL failed at `what`: with run-time error 203 when SDL ran out
// of memory, otherwise as a window system that cannot be used, with SDL's reason.
[[noreturn]] void failVideo(const std::string& what) {
  failIfOutOfMemory();
  sdl::endForDisplay(what + ": " + SDL_GetError());
}

// The window's surface, which its pictures are copied into. A screen whose pixels SDL
// cannot write (8-bit colour-mapped, say) gives none: the program ends rather than run
// on with a window that stays black.
SDL_Surface* surfaceOf(SDL_Window* window) {
  if (SDL_Surface* surface = SDL_GetWindowSurface(window)) return surface;
  // A connection that broke under SDL's queries also leaves the format unknown: a
  // round trip finds that out first (and ends the program as a lost display).
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
    sdl::checkConnection(info.info.x11.display);
  }
  const std::string what = "cannot draw on the display " + sdl::quotedDisplayName();
  if (SDL_GetWindowPixelFormat(window) == SDL_PIXELFORMAT_UNKNOWN) {
    sdl::endForDisplay(what + ": its screen's pixel format is not supported (true colour of "
                              "15 bits or more is needed)");
  }
  failVideo(what);
}

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
    queue(std::move(job));
    done.get();
  }
  // Runs `task` on the video thread later, in order with the other tasks.
  void post(std::function<void()> task) { queue(std::packaged_task<void()>(std::move(task))); }

 private:
  void queue(std::packaged_task<void()> job) {
    {
      std::lock_guard lock(mutex_);
      tasks_.push_back(std::move(job));
    }
    wake_.notify_one();
  }

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
      if (!window) failVideo("cannot open a window on the display " + sdl::quotedDisplayName());
      surfaceOf(window);  // find out now, not at the first picture, whether we can draw there
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
      std::lock_guard lock(framesMutex_);
      frames_.erase(hwnd);
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
    {
      std::lock_guard lock(framesMutex_);
      std::unique_ptr<Frame>& frame = frames_[hwnd];
      if (!frame) frame = std::make_unique<Frame>();
      const RECT changed = frame->take(picture, dirty);
      if (core::isEmpty(changed)) return;
      frame->pending = core::isEmpty(frame->pending) ? changed : unite(frame->pending, changed);
      if (frame->posted) return;  // the show already asked for picks this up
      frame->posted = true;
    }
    video_->post([this, hwnd] { show(hwnd, false); });
  }

  void pumpEvents(EventSink& sink) override {
    {
      std::lock_guard lock(startMutex_);
      if (!started_) return;  // SDL never started: there are no native events
    }
    std::vector<std::function<void(EventSink&)>> events;
    {
      std::lock_guard lock(eventsMutex_);
      events.swap(events_);
      if (!gathering_) {
        gathering_ = true;
        video_->post([this] { gatherEvents(); });
      }
    }
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
  // A window's latest picture as presented, and what of it the screen has yet to show.
  struct Frame {
    core::Surface latest;              // the picture of the last present
    RECT pending = core::kEmptyRect;   // part of `latest` not shown yet
    bool posted = false;               // a show is queued on the video thread
    SDL_Surface* shownOn = nullptr;    // the window surface last drawn on (video thread)

    // Copies the part `dirty` of `picture` into `latest`; returns the part that changed.
    RECT take(const core::Surface& picture, const RECT& dirty) {
      if (latest.width != picture.width || latest.height != picture.height) {
        latest = picture;
        return dirty;
      }
      const int w = dirty.right - dirty.left;
      if (w <= 0) return core::kEmptyRect;
      const std::size_t bytes = static_cast<std::size_t>(w) * sizeof(std::uint32_t);
      int top = dirty.bottom, bottom = dirty.top;
      for (int y = dirty.top; y < dirty.bottom; ++y) {
        const std::size_t at = static_cast<std::size_t>(y) * picture.width + dirty.left;
        if (std::memcmp(&latest.pixels[at], &picture.pixels[at], bytes) == 0) continue;
        std::memcpy(&latest.pixels[at], &picture.pixels[at], bytes);
        top = std::min(top, y);
        bottom = y + 1;
      }
      return top < bottom ? RECT{dirty.left, top, dirty.right, bottom} : core::kEmptyRect;
    }
  };

  // The smallest rectangle holding both `a` and `b`.
  static RECT unite(const RECT& a, const RECT& b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
  }

  // Shows on screen what of the window's frame is pending, or all of it when `whole`
  // (or when the window has a new surface, after a resize). Video thread only.
  void show(HWND hwnd, bool whole) {
    SDL_Window* window = find(hwnd);
    if (!window) return;
    SDL_Surface* surface = surfaceOf(window);
    SDL_Rect rect;
    {
      std::lock_guard lock(framesMutex_);
      const auto it = frames_.find(hwnd);
      if (it == frames_.end()) return;
      Frame& frame = *it->second;
      frame.posted = false;
      const core::Surface& picture = frame.latest;
      RECT dirty = frame.pending;
      frame.pending = core::kEmptyRect;
      if (whole || surface != frame.shownOn) dirty = RECT{0, 0, picture.width, picture.height};
      frame.shownOn = surface;
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
      rect = SDL_Rect{dirty.left, dirty.top, right - dirty.left, bottom - dirty.top};
    }
    if (SDL_UpdateWindowSurfaceRects(window, &rect, 1) != 0) {
      failVideo("cannot draw on the display " + sdl::quotedDisplayName());
    }
  }

  // Gathers the native events that arrived into events_. Video thread only.
  void gatherEvents() {
    std::vector<std::function<void(EventSink&)>> events;
    SDL_Event e;
    while (SDL_PollEvent(&e)) translate(e, events);
    std::lock_guard lock(eventsMutex_);
    gathering_ = false;
    for (auto& deliver : events) events_.push_back(std::move(deliver));
  }

  // Runs `task` on the video thread, starting SDL's video first if needed.
  void onVideo(const std::function<void()>& task) {
    {
      std::lock_guard lock(startMutex_);
      if (!video_) {
        video_ = std::make_unique<VideoThread>();
        video_->run([this] {
          startVideo();
          started_ = true;
        });
      }
    }
    video_->run(task);
  }

  // Starts SDL's video on the X display; without one the program ends, saying why.
  // SDL is held to X11 (unless SDL_VIDEODRIVER asks for another driver): the others it
  // would try in turn print lines of their own, and its off-screen driver would make
  // windows nobody sees. Xlib's error handlers are ours from before the first connection.
  static void startVideo() {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    sdl::endOnDisplayErrors();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      failIfOutOfMemory();
      sdl::endForDisplay("cannot open a window: " + whyNoDisplay());
    }
    SDL_EventState(SDL_DROPFILE, SDL_DISABLE);
  }

  // Why no display could be opened: none named, too few file descriptors left for the
  // connection (it needs a few at once; failing, it leaves errno telling nothing useful),
  // or the display named does not answer.
  static std::string whyNoDisplay() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return "DISPLAY is not set";
    if (freeDescriptors(kDescriptorsToConnect) < kDescriptorsToConnect) {
      return "out of file descriptors";
    }
    return "cannot reach the display " + sdl::quotedDisplayName();
  }

  // How many more files the process could open, counted up to `upTo`.
  static int freeDescriptors(int upTo) {
    std::vector<int> opened;
    for (int fd; static_cast<int>(opened.size()) < upTo &&
                 (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) {
      opened.push_back(fd);
    }
    for (int fd : opened) ::close(fd);
    return static_cast<int>(opened.size());
  }
  static constexpr int kDescriptorsToConnect = 3;  // enough to open a display connection

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
  std::mutex framesMutex_;               // guards frames_ (never held while waiting)
  std::map<HWND, std::unique_ptr<Frame>> frames_;  // each window's presented picture
  std::mutex eventsMutex_;               // guards events_ and gathering_
  std::vector<std::function<void(EventSink&)>> events_;  // gathered, not yet delivered
  bool gathering_ = false;               // a gathering is queued on the video thread
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
      show(hwnd, true);  // the screen lost the window's pixels: show them all again
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
