#include "test_support.h"

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

void PlatformTest::SetUp() {
  startFresh();
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
  const HWND hwnd = CreateWindowExA(0, "Test", nullptr, kStyle, x, y, outer.right - outer.left,
                                    outer.bottom - outer.top, 0, 0, GetModuleHandleA(nullptr),
                                    nullptr);
  windows_.push_back(hwnd);
  // Windows asks a new window to paint itself (WM_PAINT, taken last); the default handling
  // of it lets the queue be as the emulation's is right after creation.
  MSG m;
  while (PeekMessageA(&m, hwnd, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&m);
  return hwnd;
}

void PlatformTest::TearDown() {
  for (const HWND hwnd : windows_) {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  }
  drain();
  UnregisterClassA("Test", GetModuleHandleA(nullptr));
}

std::vector<MSG> PlatformTest::drain(HWND hwnd) {
  std::vector<MSG> out;
  MSG m;
  while (PeekMessageA(&m, hwnd, 0, 0, PM_REMOVE)) {
    if (m.message == WM_PAINT) {
      DispatchMessageA(&m);
    } else {
      out.push_back(m);
    }
  }
  return out;
}

}  // namespace morvane::plat::testing
