// The test helpers that depend on the implementation: the emulation's, through its
// headless driver.
#include "core/state.h"
#include "headless/headless.h"
#include "test_support.h"

namespace morvane::plat::testing {

void startFresh() { headless::reset(); }

COLORREF shownPixel(HWND hwnd, int x, int y) {
  RECT client{};
  if (!GetClientRect(hwnd, &client) || x < 0 || y < 0 || x >= client.right || y >= client.bottom) {
    return CLR_INVALID;
  }
  const std::vector<COLORREF> picture = headless::windowPixels(hwnd);
  const auto i = static_cast<std::size_t>(y) * static_cast<std::size_t>(client.right) +
                 static_cast<std::size_t>(x);
  return i < picture.size() ? picture[i] : CLR_INVALID;
}

void waitForSentMessage(HWND hwnd) {
  const std::shared_ptr<core::Window> w = core::platform().windows.share(hwnd);
  ASSERT_TRUE(w) << "no window " << hwnd;
  for (;;) {
    {
      std::lock_guard lock(w->owner->mutex);
      if (!w->owner->incoming.empty()) return;
    }
    std::this_thread::yield();
  }
}

}  // namespace morvane::plat::testing
