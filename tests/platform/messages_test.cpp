// Message queues: creation messages, posting and sending across threads,
// translation of key presses, closing.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>

#include "headless/headless.h"
#include "test_support.h"

namespace morvane::plat::testing {
namespace {

using MessagesTest = PlatformTest;

TEST_F(MessagesTest, CreationDeliversCreateSizeMoveBeforeReturning) {
  const HWND hwnd = makeWindow(300, 200, 40, 30);
  ASSERT_NE(hwnd, 0u);
  const std::vector<Seen> seen = recorder().seen();
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen[0].msg, WM_CREATE);
  EXPECT_EQ(seen[1].msg, WM_SIZE);
  EXPECT_EQ(seen[1].wParam, SIZE_RESTORED);
  EXPECT_EQ(seen[1].lParam, MAKELPARAM(300, 200));
  EXPECT_EQ(seen[2].msg, WM_MOVE);
  // WM_MOVE carries the client area's screen position: frame 4 wide, 6 high, caption 20.
  EXPECT_EQ(seen[2].lParam, MAKELPARAM(44, 56));
  for (const Seen& s : seen) EXPECT_EQ(s.hwnd, hwnd);
  EXPECT_TRUE(drain().empty()) << "creation messages are sent, not posted";
}

TEST_F(MessagesTest, PostedFromAnotherThreadIsTakenByTheOwner) {
  const HWND hwnd = makeWindow(50, 50);
  headless::advanceClock(std::chrono::milliseconds(1234));
  std::thread([hwnd] { EXPECT_TRUE(PostMessageA(hwnd, WM_USER, 7, 9)); }).join();
  MSG m{};
  ASSERT_TRUE(PeekMessageA(&m, hwnd, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.time, 1234u);  // milliseconds on the platform's clock since it started
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
  std::atomic<bool> returned{false};
  auto result = std::async(std::launch::async, [&] {
    const LRESULT r = SendMessageA(hwnd, WM_USER + 1, 5, 6);
    returned = true;
    return r;
  });
  waitForSentMessage(hwnd);
  EXPECT_FALSE(returned) << "the sender waits for the owner";
  EXPECT_TRUE(recorder().messages().empty());
  MSG m{};
  EXPECT_FALSE(PeekMessageA(&m, hwnd, 0, 0, PM_REMOVE)) << "a sent message is not returned";
  EXPECT_EQ(recorder().messages(), std::vector<UINT>{WM_USER + 1});
  EXPECT_EQ(result.get(), 11);
  const std::vector<Seen> seen = recorder().seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].thread, std::this_thread::get_id());
}

TEST_F(MessagesTest, WaitingSenderIsReleasedWhenTheWindowIsDestroyed) {
  const HWND hwnd = makeWindow(50, 50);
  auto result = std::async(std::launch::async, [&] { return SendMessageA(hwnd, WM_USER + 1, 5, 6); });
  waitForSentMessage(hwnd);
  ASSERT_TRUE(DestroyWindow(hwnd));
  EXPECT_EQ(result.get(), 0);
  EXPECT_EQ(std::ranges::count(recorder().messages(), WM_USER + 1), 0) << "dropped, not handled";
}

TEST_F(MessagesTest, WaitingSenderIsReleasedWhenTheOwnerThreadEnds) {
  std::promise<HWND> made;
  std::promise<void> finish;
  std::thread owner([&] {
    made.set_value(makeWindow(50, 50));
    finish.get_future().wait();  // never pumps
  });
  const HWND hwnd = made.get_future().get();
  auto result = std::async(std::launch::async, [&] { return SendMessageA(hwnd, WM_USER + 1, 1, 1); });
  waitForSentMessage(hwnd);
  finish.set_value();
  owner.join();
  EXPECT_EQ(result.get(), 0);
  EXPECT_FALSE(PostMessageA(hwnd, WM_USER, 0, 0));
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
  ASSERT_NE(RegisterClassA(&wc), 0);
  const HWND a = makeWindow(20, 20);
  std::promise<HWND> made;
  std::atomic<bool> stop{false};
  std::thread other([&] {
    made.set_value(CreateWindowExA(0, "Relay", nullptr, WS_VISIBLE, 0, 0, 50, 50, 0, 0, 0, nullptr));
    MSG m;
    while (!stop) {
      PeekMessageA(&m, 0, 0, 0, PM_REMOVE);
      WaitMessageTimeout(10);
    }
  });
  const HWND b = made.get_future().get();
  EXPECT_EQ(SendMessageA(b, WM_USER + 2, a, 0), 101);
  stop = true;
  other.join();
}

TEST_F(MessagesTest, TranslateAddsTheCharacterOfAKeyDown) {
  const HWND hwnd = makeWindow(50, 50);
  headless::keyPress(hwnd, 'A', 'a');
  headless::keyPress(hwnd, 0x25 /* left arrow */, 0);
  std::vector<UINT> order;
  std::vector<WPARAM> params;
  MSG m;
  while (PeekMessageA(&m, hwnd, 0, 0, PM_REMOVE)) {
    order.push_back(m.message);
    params.push_back(m.wParam);
    TranslateMessage(&m);
  }
  EXPECT_EQ(order, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_KEYDOWN, WM_KEYUP}));
  EXPECT_EQ(params, (std::vector<WPARAM>{'A', 'a', 'A', 0x25, 0x25}));
}

TEST_F(MessagesTest, CloseDestroysTheWindowThroughTheDefaultHandling) {
  const HWND hwnd = makeWindow(50, 50);
  PostMessageA(hwnd, WM_USER, 0, 0);
  recorder().clear();
  headless::close(hwnd);
  EXPECT_EQ(recorder().messages(), (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
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
