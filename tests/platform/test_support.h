// Shared helpers of the platform tests: a fresh platform per test and a window
// procedure that records what it receives. They use only the layer's public
// calls, so the tests built on them run on every implementation.
#pragma once

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "platform.h"

namespace morvane::plat::testing {

// True when the tests run against the real Windows services (under Wine in CI).
#ifdef _WIN32
inline constexpr bool kRealWindows = true;
#else
inline constexpr bool kRealWindows = false;
#endif

// What a call gives where the emulation and the real system legitimately differ: the
// layer's own contract on the emulation, Windows' answer on Windows. Each use says why.
template <class T>
constexpr T byBackend(T emulation, T windows) {
  return kRealWindows ? windows : emulation;
}

// One message as a window procedure saw it.
struct Seen {
  HWND hwnd;                  // the window
  UINT msg;                   // the message number
  WPARAM wParam;              // its first parameter
  LPARAM lParam;              // its second parameter
  std::thread::id thread;     // the thread the procedure ran on
};

// Everything the recording procedure saw, in order (guarded, the palette of
// tests posts and sends from other threads).
class Recorder {
 public:
  // Appends one message.
  void add(const Seen& s) {
    std::lock_guard lock(mutex_);
    seen_.push_back(s);
  }
  // A copy of the messages seen so far.
  std::vector<Seen> seen() const {
    std::lock_guard lock(mutex_);
    return seen_;
  }
  // The message numbers seen so far.
  std::vector<UINT> messages() const {
    std::lock_guard lock(mutex_);
    std::vector<UINT> out;
    for (const Seen& s : seen_) out.push_back(s.msg);
    return out;
  }
  // Forgets what was seen.
  void clear() {
    std::lock_guard lock(mutex_);
    seen_.clear();
  }

 private:
  mutable std::mutex mutex_;  // guards seen_
  std::vector<Seen> seen_;    // the messages, oldest first
};

// The recorder behind recordingProc (reset by PlatformTest).
Recorder& recorder();

// A window procedure that records every message, answers WM_USER + 1 with
// wParam + lParam, and leaves the rest to DefWindowProcA.
LRESULT MORVANE_CALLBACK recordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Brings the platform back to its state at start where the implementation can
// (the emulation); the real system cannot, so there it does nothing and every
// test takes back what it made.
void startFresh();

// The colour the window shows on the screen at client point (x, y); CLR_INVALID outside.
COLORREF shownPixel(HWND hwnd, int x, int y);

// Fixture: a fresh platform and a registered class "Test" with a solid
// background of `kBackground`; the test's windows and the class go at its end.

// Waits until a message sent to `hwnd` from another thread is waiting in the queue of
// the window's owner thread (the sender is then blocked until the owner handles it).
// The emulation only: it looks into the emulation's queues.
void waitForSentMessage(HWND hwnd);

class PlatformTest : public ::testing::Test {
 protected:
  static constexpr COLORREF kBackground = RGB(10, 20, 30);
  void SetUp() override;
  void TearDown() override;
  // A visible framed window of client size w by h at outer position (x, y).
  HWND makeWindow(int w, int h, int x = 100, int y = 50);
  // Every message taken from the calling thread's queue right now (WM_PAINT, which only
  // Windows makes, is handled and not returned).
  std::vector<MSG> drain(HWND hwnd = 0);

 private:
  std::vector<HWND> windows_;  // made by makeWindow
};

}  // namespace morvane::plat::testing
