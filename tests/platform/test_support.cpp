#include "test_support.h"

#include "core/state.h"

namespace morvane::plat::testing {

Recorder& recorder() {
  static Recorder r;
  return r;
}

LRESULT MORVANE_CALLBACK recordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  recorder().add(Seen{hwnd, msg, wParam, lParam, std::this_thread::get_id()});
  if (msg == WM_USER + 1) return static_cast<LRESULT>(wParam) + lParam;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
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

void PlatformTest::SetUp() {
  headless::reset();
  recorder().clear();
  WNDCLASSA wc{};
  wc.lpfnWndProc = recordingProc;
  wc.hbrBackground = CreateSolidBrush(kBackground);
  wc.lpszClassName = "Test";
  ASSERT_NE(RegisterClassA(&wc), 0);
}

HWND PlatformTest::makeWindow(int w, int h, int x, int y) {
  constexpr DWORD kStyle = WS_VISIBLE | WS_OVERLAPPEDWINDOW;
  RECT outer{0, 0, w, h};
  AdjustWindowRectEx(&outer, kStyle, kFalse, 0);
  return CreateWindowExA(0, "Test", nullptr, kStyle, x, y, outer.right - outer.left,
                         outer.bottom - outer.top, 0, 0, GetModuleHandleA(nullptr), nullptr);
}

std::vector<MSG> PlatformTest::drain(HWND hwnd) {
  std::vector<MSG> out;
  MSG m;
  while (PeekMessageA(&m, hwnd, 0, 0, PM_REMOVE)) out.push_back(m);
  return out;
}

}  // namespace morvane::plat::testing
