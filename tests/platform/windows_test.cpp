// Windows: sizes and metrics, the picture a window shows, user actions on it.
#include "headless/headless.h"
#include "test_support.h"

namespace morvane::plat::testing {
namespace {

using WindowsTest = PlatformTest;

TEST_F(WindowsTest, MetricsAreTheHeadlessScreenAndFrame) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CXFULLSCREEN), 1280);
  EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CXFRAME), 4);
  EXPECT_EQ(GetSystemMetrics(SM_CYFRAME), 6);
  EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 20);
  headless::setScreen(800, 600);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), 600);
}

TEST_F(WindowsTest, OuterSizeLessFrameAndCaptionIsTheClientSize) {
  const HWND hwnd = makeWindow(500, 500, 390, 262);
  RECT client{}, outer{};
  ASSERT_TRUE(GetClientRect(hwnd, &client));
  ASSERT_TRUE(GetWindowRect(hwnd, &outer));
  EXPECT_EQ(client.right, 500);
  EXPECT_EQ(client.bottom, 500);
  EXPECT_EQ(outer.left, 390);
  EXPECT_EQ(outer.top, 262);
  EXPECT_EQ(outer.right - outer.left, 508);
  EXPECT_EQ(outer.bottom - outer.top, 532);
  EXPECT_FALSE(GetClientRect(0, &client));
}

TEST_F(WindowsTest, AdjustWindowRectExAddsTheDecorationOfTheStyle) {
  struct Case {
    DWORD style;
    RECT outer;  // of the client rectangle (10, 20, 110, 70)
  };
  const Case cases[] = {
      {WS_OVERLAPPEDWINDOW, {6, -6, 114, 76}},
      {WS_OVERLAPPED, {6, -6, 114, 76}},  // overlapped windows are always framed and captioned
      {WS_POPUP, {10, 20, 110, 70}},
      {WS_POPUP | WS_THICKFRAME, {6, 14, 114, 76}},
      {WS_POPUP | WS_CAPTION, {6, -6, 114, 76}},
  };
  for (const Case& c : cases) {
    RECT r{10, 20, 110, 70};
    ASSERT_TRUE(AdjustWindowRectEx(&r, c.style, kFalse, 0));
    EXPECT_EQ(c.outer.left, r.left) << std::hex << c.style;
    EXPECT_EQ(c.outer.top, r.top) << std::hex << c.style;
    EXPECT_EQ(c.outer.right, r.right) << std::hex << c.style;
    EXPECT_EQ(c.outer.bottom, r.bottom) << std::hex << c.style;
  }
  RECT r{};
  EXPECT_FALSE(AdjustWindowRectEx(nullptr, WS_OVERLAPPED, kFalse, 0));
  EXPECT_FALSE(AdjustWindowRectEx(&r, WS_OVERLAPPED, kTrue, 0));  // no menus here
}

TEST_F(WindowsTest, ANewWindowShowsItsClassBackground) {
  const HWND hwnd = makeWindow(8, 6);
  const std::vector<COLORREF> px = headless::windowPixels(hwnd);
  ASSERT_EQ(px.size(), 48u);
  for (COLORREF c : px) ASSERT_EQ(c, kBackground);
  EXPECT_GE(headless::presentCount(hwnd), 1);
}

TEST_F(WindowsTest, DrawingOnTheWindowContextShowsAtOnce) {
  const HWND hwnd = makeWindow(10, 10);
  const HDC dc = GetDC(hwnd);
  const int before = headless::presentCount(hwnd);
  SetPixel(dc, 3, 2, RGB(255, 0, 0));
  EXPECT_EQ(headless::presentCount(hwnd), before + 1);
  EXPECT_EQ(headless::windowPixels(hwnd)[2 * 10 + 3], RGB(255, 0, 0));
  // A memory context does not touch the window.
  const HDC mem = CreateCompatibleDC(dc);
  SelectObject(mem, CreateCompatibleBitmap(dc, 10, 10));
  SetPixel(mem, 4, 4, RGB(0, 255, 0));
  EXPECT_EQ(headless::presentCount(hwnd), before + 1);
  EXPECT_EQ(headless::windowPixels(hwnd)[4 * 10 + 4], kBackground);
  EXPECT_EQ(ReleaseDC(hwnd, dc), 1);
}

TEST_F(WindowsTest, ResizeKeepsThePictureAndFillsTheNewPart) {
  const HWND hwnd = makeWindow(4, 4);
  const HDC dc = GetDC(hwnd);
  SetPixel(dc, 1, 1, RGB(1, 2, 3));
  recorder().clear();
  headless::resize(hwnd, 6, 3);
  const std::vector<Seen> seen = recorder().seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].msg, WM_SIZE);
  EXPECT_EQ(seen[0].lParam, MAKELPARAM(6, 3));
  const std::vector<COLORREF> px = headless::windowPixels(hwnd);
  ASSERT_EQ(px.size(), 18u);
  EXPECT_EQ(px[1 * 6 + 1], RGB(1, 2, 3));
  EXPECT_EQ(px[0 * 6 + 5], kBackground);
  EXPECT_EQ(GetPixel(dc, 5, 2), kBackground);
  EXPECT_EQ(GetPixel(dc, 1, 3), CLR_INVALID);
}

TEST_F(WindowsTest, MinimiseGivesAnEmptyClientAndRestoreBringsTheSizeBack) {
  const HWND hwnd = makeWindow(30, 20);
  recorder().clear();
  headless::minimize(hwnd);
  EXPECT_TRUE(IsIconic(hwnd));
  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 0);
  EXPECT_EQ(client.bottom, 0);
  EXPECT_TRUE(headless::windowPixels(hwnd).empty());
  headless::restore(hwnd);
  EXPECT_FALSE(IsIconic(hwnd));
  const std::vector<Seen> seen = recorder().seen();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].msg, WM_SIZE);
  EXPECT_EQ(seen[0].wParam, SIZE_MINIMIZED);
  EXPECT_EQ(seen[0].lParam, 0);
  EXPECT_EQ(seen[1].msg, WM_SIZE);
  EXPECT_EQ(seen[1].wParam, SIZE_RESTORED);
  EXPECT_EQ(seen[1].lParam, MAKELPARAM(30, 20));
  EXPECT_EQ(seen[2].msg, WM_NCACTIVATE);
  EXPECT_EQ(headless::windowPixels(hwnd).size(), 600u);
}

TEST_F(WindowsTest, ShowWindowMinimisesRestoresAndMaximises) {
  const HWND hwnd = makeWindow(30, 20);
  EXPECT_TRUE(ShowWindow(hwnd, SW_MINIMIZE));
  EXPECT_TRUE(IsIconic(hwnd));
  ShowWindow(hwnd, SW_RESTORE);
  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 30);
  ShowWindow(hwnd, SW_MAXIMIZE);
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 1280);
  EXPECT_EQ(client.bottom, 1024);
  ShowWindow(hwnd, SW_HIDE);
  EXPECT_FALSE(ShowWindow(hwnd, SW_SHOW)) << "it was hidden";
  EXPECT_TRUE(SetForegroundWindow(hwnd));
}

TEST_F(WindowsTest, MouseMoveSetsTheCursorAndPostsClientCoordinates) {
  const HWND hwnd = makeWindow(100, 100, 0, 0);  // client area from (4, 26)
  recorder().clear();
  headless::mouseMove(14, 36);
  POINT pt{};
  ASSERT_TRUE(GetCursorPos(&pt));
  EXPECT_EQ(pt.x, 14);
  EXPECT_EQ(pt.y, 36);
  EXPECT_EQ(recorder().messages(), std::vector<UINT>{WM_SETCURSOR});
  const std::vector<MSG> posted = drain();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].message, WM_MOUSEMOVE);
  EXPECT_EQ(posted[0].hwnd, hwnd);
  EXPECT_EQ(posted[0].lParam, MAKELPARAM(10, 10));
  recorder().clear();
  headless::mouseMove(900, 900);  // over no window
  EXPECT_TRUE(recorder().messages().empty());
}

TEST_F(WindowsTest, ArrowCursorAndClassRules) {
  const HCURSOR arrow = LoadCursorA(0, IDC_ARROW);
  EXPECT_NE(arrow, 0u);
  EXPECT_EQ(SetCursor(arrow), 0u);
  EXPECT_EQ(SetCursor(arrow), arrow);
  EXPECT_EQ(LoadCursorA(0, 12345), 0u);
  WNDCLASSA wc{};
  wc.lpfnWndProc = recordingProc;
  wc.lpszClassName = "test";  // names compare without case
  EXPECT_EQ(RegisterClassA(&wc), 0);
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", nullptr, WS_VISIBLE, 0, 0, 9, 9, 0, 0, 0, nullptr),
            0u);
}

}  // namespace
}  // namespace morvane::plat::testing
