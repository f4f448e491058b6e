// The test helpers that depend on the implementation: the real Windows services'.
#include "test_support.h"

namespace morvane::plat::testing {

// The system keeps no state of ours between tests that a test has not taken back
// itself (PlatformTest::TearDown), so nothing is left to do.
void startFresh() {}

COLORREF shownPixel(HWND hwnd, int x, int y) {
  const HDC dc = GetDC(hwnd);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return colour;
}

}  // namespace morvane::plat::testing
