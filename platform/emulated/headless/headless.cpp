// The headless backend: native windows kept in memory, driven by the test
// controls of headless.h instead of a window system.
#include "headless/headless.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <thread>
#include <mutex>

#include "core/state.h"
#include "driver.h"

namespace morvane::plat {

namespace {

inline constexpr SIZE kDefaultScreen{1280, 1024};
// Frame width and height differ so that a routine reading one for the other shows.
inline constexpr FrameMetrics kDefaultFrame{4, 6, 20};

// What the screen shows of one window.
struct NativeWindow {
  core::Surface shown;    // the pixels presented so far (client size)
  bool visible = false;   // shown on the screen
  bool minimized = false; // minimised
  int presents = 0;       // how many presents reached it
};

class HeadlessDriver final : public Driver {
 public:
  bool createWindow(HWND hwnd, int, int, int w, int h, bool, bool visible) override {
    std::lock_guard lock(mutex_);
    NativeWindow& n = windows_[hwnd];
    n.shown.resize(w, h, 0);
    n.visible = visible;
    zOrder_.push_back(hwnd);
    return true;
  }
  void destroyWindow(HWND hwnd) override {
    std::lock_guard lock(mutex_);
    windows_.erase(hwnd);
    std::erase(zOrder_, hwnd);
  }
  void showWindow(HWND hwnd, NativeShow how) override {
    std::lock_guard lock(mutex_);
    const auto it = windows_.find(hwnd);
    if (it == windows_.end()) return;
    it->second.visible = how != NativeShow::kHide;
    if (how == NativeShow::kMinimize) it->second.minimized = true;
    if (how == NativeShow::kRestore || how == NativeShow::kMaximize) it->second.minimized = false;
  }
  void raiseWindow(HWND hwnd) override {
    std::lock_guard lock(mutex_);
    if (!windows_.contains(hwnd)) return;
    std::erase(zOrder_, hwnd);
    zOrder_.push_back(hwnd);
  }
  void present(HWND hwnd, const core::Surface& picture, const RECT& dirty) override {
    std::lock_guard lock(mutex_);
    const auto it = windows_.find(hwnd);
    if (it == windows_.end()) return;
    core::Surface& shown = it->second.shown;
    if (shown.width != picture.width || shown.height != picture.height) {
      shown.resize(picture.width, picture.height, 0);
    }
    core::blit(shown, picture,
               {dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
                dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top},
               {});
    ++it->second.presents;
  }
  // Headless events are delivered by the controls as they happen: nothing waits here.
  void pumpEvents(EventSink&) override {}
  SIZE screenSize() override {
    std::lock_guard lock(mutex_);
    return screen_;
  }
  RECT usableArea() override {
    std::lock_guard lock(mutex_);
    return RECT{0, 0, screen_.cx, screen_.cy};
  }
  FrameMetrics frameMetrics() override { return kDefaultFrame; }
  POINT cursorPosition() override {
    std::lock_guard lock(mutex_);
    return cursor_;
  }
  void setArrowCursor(bool) override {}
  void acceptFiles(HWND, bool) override {}
  std::int64_t clockNanoseconds() override { return clock_.load(); }
  // Time passes by the pause asked for; the thread still gives up its time slice.
  void sleep(DWORD ms) override {
    clock_ += std::int64_t{ms} * 1'000'000;
    std::this_thread::yield();
  }

  // Back to the state at start: no windows, the default screen, the cursor at 0,0.
  void reset() {
    std::lock_guard lock(mutex_);
    windows_.clear();
    zOrder_.clear();
    screen_ = kDefaultScreen;
    cursor_ = POINT{0, 0};
    clock_ = headless::kClockStart.count();
  }
  void setClock(std::int64_t ns) { clock_ = ns; }
  void advanceClock(std::int64_t ns) { clock_ += ns; }
  void setScreen(int w, int h) {
    std::lock_guard lock(mutex_);
    screen_ = SIZE{w, h};
  }
  // Sets the window's minimised state as the user changes it.
  void setMinimized(HWND hwnd, bool minimized) {
    std::lock_guard lock(mutex_);
    if (const auto it = windows_.find(hwnd); it != windows_.end()) it->second.minimized = minimized;
  }
  // Moves the pointer; returns the topmost shown window whose outer rectangle holds it (0: none).
  HWND moveCursor(int x, int y) {
    std::lock_guard lock(mutex_);
    cursor_ = POINT{x, y};
    for (auto it = zOrder_.rbegin(); it != zOrder_.rend(); ++it) {
      const NativeWindow& n = windows_.at(*it);
      RECT outer{};
      if (n.visible && !n.minimized && GetWindowRect(*it, &outer) && x >= outer.left &&
          x < outer.right && y >= outer.top && y < outer.bottom) {
        return *it;
      }
    }
    return 0;
  }
  std::vector<COLORREF> pixels(HWND hwnd) {
    std::lock_guard lock(mutex_);
    const auto it = windows_.find(hwnd);
    if (it == windows_.end() || it->second.minimized) return {};
    std::vector<COLORREF> out;
    out.reserve(it->second.shown.pixels.size());
    for (std::uint32_t p : it->second.shown.pixels) out.push_back(core::fromNative(p));
    return out;
  }
  int presents(HWND hwnd) {
    std::lock_guard lock(mutex_);
    const auto it = windows_.find(hwnd);
    return it == windows_.end() ? 0 : it->second.presents;
  }

 private:
  std::mutex mutex_;                          // guards everything below
  std::map<HWND, NativeWindow> windows_;      // the native windows
  std::vector<HWND> zOrder_;                  // bottom to top
  SIZE screen_ = kDefaultScreen;              // screen size in pixels
  POINT cursor_{0, 0};                        // pointer position on the screen
  std::atomic<std::int64_t> clock_{headless::kClockStart.count()};  // the clock, ns
};

HeadlessDriver& headlessDriver() {
  static HeadlessDriver driver;
  return driver;
}

}  // namespace

Driver& activeDriver() { return headlessDriver(); }

namespace headless {

void reset() {
  headlessDriver().reset();
  core::resetPlatform();  // after the clock: the platform's message times count from here
}

void setClock(std::chrono::nanoseconds time) { headlessDriver().setClock(time.count()); }

void advanceClock(std::chrono::nanoseconds by) { headlessDriver().advanceClock(by.count()); }

void setScreen(int width, int height) { headlessDriver().setScreen(width, height); }

void resize(HWND hwnd, int clientWidth, int clientHeight) {
  core::coreEvents().windowResized(hwnd, clientWidth, clientHeight);
}

void minimize(HWND hwnd) {
  headlessDriver().setMinimized(hwnd, true);
  core::coreEvents().windowMinimized(hwnd);
}

void restore(HWND hwnd) {
  headlessDriver().setMinimized(hwnd, false);
  core::coreEvents().windowRestored(hwnd);
  core::coreEvents().windowFocus(hwnd, true);
}

void close(HWND hwnd) { core::coreEvents().windowClosed(hwnd); }

void keyPress(HWND hwnd, UINT vk, char typed) {
  core::coreEvents().key(hwnd, vk, true, typed);
  core::coreEvents().key(hwnd, vk, false, typed);
}

void mouseMove(int x, int y) { core::coreEvents().mouseMoved(headlessDriver().moveCursor(x, y), x, y); }

std::vector<COLORREF> windowPixels(HWND hwnd) { return headlessDriver().pixels(hwnd); }

int presentCount(HWND hwnd) { return headlessDriver().presents(hwnd); }

}  // namespace headless

}  // namespace morvane::plat
