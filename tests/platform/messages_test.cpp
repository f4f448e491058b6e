// Message queues through public calls only: creation messages, posting and sending
// across threads, queue order and filters, closing, waiting. These run on every
// implementation; what needs the emulation's driver is in messages_emulation_test.cpp.
#include <algorithm>
#include <atomic>
#include <future>

#include "test_support.h"

namespace morvane::plat::testing {
namespace {

using MessagesTest = PlatformTest;

// The messages of `seen` whose number is one of `wanted`, in order. Windows sends a window
// more than the layer names (WM_NCCREATE, WM_SHOWWINDOW, activation, WM_NCDESTROY, ...);
// the emulation sends only the named ones, so the tests compare the named ones.
std::vector<Seen> only(const std::vector<Seen>& seen, std::initializer_list<UINT> wanted) {
  std::vector<Seen> out;
  std::ranges::copy_if(seen, std::back_inserter(out),
                       [&](const Seen& s) { return std::ranges::count(wanted, s.msg) > 0; });
  return out;
}

TEST_F(MessagesTest, CreationDeliversCreateSizeMoveBeforeReturning) {
  const HWND hwnd = makeWindow(300, 200, 40, 30);
  ASSERT_NE(hwnd, 0u);
  const std::vector<Seen> seen = only(recorder().seen(), {WM_CREATE, WM_SIZE, WM_MOVE});
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen[0].msg, WM_CREATE);
  EXPECT_EQ(seen[1].msg, WM_SIZE);
  EXPECT_EQ(seen[1].wParam, SIZE_RESTORED);
  EXPECT_EQ(seen[1].lParam, MAKELPARAM(300, 200));
  EXPECT_EQ(seen[2].msg, WM_MOVE);
  // WM_MOVE carries the client area's screen position: the outer position plus the frame.
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, WS_VISIBLE | WS_OVERLAPPEDWINDOW, kFalse, 0);
  EXPECT_EQ(seen[2].lParam, MAKELPARAM(static_cast<WORD>(40 - frame.left),
                                       static_cast<WORD>(30 - frame.top)));
  for (const Seen& s : recorder().seen()) EXPECT_EQ(s.hwnd, hwnd);
  EXPECT_TRUE(drain().empty()) << "creation messages are sent, not posted";
}

TEST_F(MessagesTest, PostedFromAnotherThreadIsTakenByTheOwner) {
  const HWND hwnd = makeWindow(50, 50);
  std::thread([hwnd] { EXPECT_TRUE(PostMessageA(hwnd, WM_USER, 7, 9)); }).join();
  MSG m{};
  ASSERT_TRUE(PeekMessageA(&m, hwnd, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.hwnd, hwnd);
  EXPECT_EQ(m.message, WM_USER);
  EXPECT_EQ(m.wParam, 7u);
  EXPECT_EQ(m.lParam, 9);
  EXPECT_FALSE(PeekMessageA(&m, hwnd, 0, 0, PM_REMOVE));
  recorder().clear();
  DispatchMessageA(&m);
  EXPECT_EQ(recorder().messages(), std::vector<UINT>{WM_USER});
}

TEST_F(MessagesTest, NoRemoveAndRangeFilterLeaveOtherMessagesQueued) {
  const HWND hwnd = makeWindow(50, 50);
  PostMessageA(hwnd, WM_USER, 1, 0);
  PostMessageA(hwnd, WM_KEYDOWN, 2, 0);
  MSG m{};
  ASSERT_TRUE(PeekMessageA(&m, hwnd, WM_KEYDOWN, WM_KEYUP, PM_REMOVE));
  EXPECT_EQ(m.message, WM_KEYDOWN);
  ASSERT_TRUE(PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_USER);
  ASSERT_EQ(drain(hwnd).size(), 1u);
}

TEST_F(MessagesTest, SendOnTheOwnerThreadCallsTheProcedureAtOnce) {
  const HWND hwnd = makeWindow(50, 50);
  recorder().clear();
  EXPECT_EQ(SendMessageA(hwnd, WM_USER + 1, 40, 2), 42);
  EXPECT_EQ(recorder().messages(), std::vector<UINT>{WM_USER + 1});
  EXPECT_TRUE(drain().empty());
  EXPECT_EQ(SendMessageA(0x12345, WM_USER + 1, 1, 1), 0) << "no such window";
}

TEST_F(MessagesTest, SendFromAnotherThreadRunsInsideTheOwnersPeekAndIsNotReturned) {
  const HWND hwnd = makeWindow(50, 50);
  recorder().clear();
  auto result = std::async(std::launch::async, [hwnd] { return SendMessageA(hwnd, WM_USER + 1, 5, 6); });
  // The owner takes messages until its procedure has handled the sent one.
  MSG m{};
  while (recorder().messages().empty()) {
    if (PeekMessageA(&m, hwnd, 0, 0, PM_REMOVE)) {
      EXPECT_NE(m.message, WM_USER + 1) << "a sent message is not returned";
    } else {
      WaitMessageTimeout(10);
    }
  }
  // The sender got the procedure's answer, and the procedure ran on the owner thread.
  EXPECT_EQ(result.get(), 11);
  const std::vector<Seen> seen = recorder().seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].msg, WM_USER + 1);
  EXPECT_EQ(seen[0].thread, std::this_thread::get_id());
}

// Window B (other thread) answers a message by sending one to window A (this
// thread) while this thread waits for B: the waiting sender must handle it.
LRESULT MORVANE_CALLBACK relayProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER + 2) return SendMessageA(static_cast<HWND>(wParam), WM_USER + 1, 100, 1);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST_F(MessagesTest, SendersSendingToEachOtherDoNotDeadlock) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = relayProc;
  wc.lpszClassName = "Relay";
  wc.hInstance = GetModuleHandleA(nullptr);
  ASSERT_NE(RegisterClassA(&wc), 0);
  const HWND a = makeWindow(20, 20);
  std::promise<HWND> made;
  std::atomic<bool> stop{false};
  std::thread other([&] {
    const HWND b = CreateWindowExA(0, "Relay", nullptr, WS_VISIBLE, 0, 0, 50, 50, 0, 0,
                                   GetModuleHandleA(nullptr), nullptr);
    made.set_value(b);
    MSG m;
    while (!stop) {
      PeekMessageA(&m, 0, 0, 0, PM_REMOVE);
      WaitMessageTimeout(10);
    }
    DestroyWindow(b);
  });
  const HWND b = made.get_future().get();
  EXPECT_EQ(SendMessageA(b, WM_USER + 2, a, 0), 101);
  stop = true;
  other.join();
  EXPECT_TRUE(UnregisterClassA("Relay", GetModuleHandleA(nullptr)));
}

TEST_F(MessagesTest, CloseDestroysTheWindowThroughTheDefaultHandling) {
  const HWND hwnd = makeWindow(50, 50);
  PostMessageA(hwnd, WM_USER, 0, 0);
  recorder().clear();
  SendMessageA(hwnd, WM_CLOSE, 0, 0);
  ASSERT_FALSE(recorder().messages().empty());
  EXPECT_EQ(recorder().messages().front(), WM_CLOSE);
  std::vector<UINT> named;
  for (const Seen& s : only(recorder().seen(), {WM_CLOSE, WM_DESTROY})) named.push_back(s.msg);
  EXPECT_EQ(named, (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_TRUE(drain().empty()) << "messages of a destroyed window are dropped";
  EXPECT_FALSE(PostMessageA(hwnd, WM_USER, 0, 0));
  EXPECT_FALSE(DestroyWindow(hwnd));
}

TEST_F(MessagesTest, WaitMessageTimeoutReturnsAtTheTimeoutOrOnAPost) {
  const HWND hwnd = makeWindow(50, 50);
  WaitMessageTimeout(1);  // nothing comes: the time-out ends the wait
  EXPECT_TRUE(drain().empty());
  // Posted before or during the wait, the message ends it; a wait that missed it would
  // last the whole time-out, far beyond the test's time limit.
  std::thread poster([hwnd] { PostMessageA(hwnd, WM_USER, 0, 0); });
  WaitMessageTimeout(0xFFFFFFFF);
  poster.join();
  EXPECT_EQ(drain().size(), 1u);
}

}  // namespace
}  // namespace morvane::plat::testing
