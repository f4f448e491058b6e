// Message queues: creation messages, posting and sending across threads, waiting.
// Only public calls: these hold on every implementation of the layer.
#include <atomic>
#include <future>

#include "test_support.h"

namespace morvane::plat::testing {
namespace {

using MessagesTest = PlatformTest;

TEST_F(MessagesTest, CreationDeliversCreateSizeMoveBeforeReturning) {
  const HWND hwnd = makeWindow(300, 200, 40, 30);
  ASSERT_NE(hwnd, 0u);
  // Windows sends more on the way (non-client, activation and focus messages); the
  // layer's three come in this order on every implementation.
  std::vector<Seen> seen;
  for (const Seen& s : recorder().seen()) {
    if (s.msg == WM_CREATE || s.msg == WM_SIZE || s.msg == WM_MOVE) seen.push_back(s);
  }
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen[0].msg, WM_CREATE);
  EXPECT_EQ(seen[1].msg, WM_SIZE);
  EXPECT_EQ(seen[1].wParam, SIZE_RESTORED);
  EXPECT_EQ(seen[1].lParam, MAKELPARAM(300, 200));
  EXPECT_EQ(seen[2].msg, WM_MOVE);
  // WM_MOVE carries the client area's screen position, inside the frame and caption.
  RECT decoration{0, 0, 0, 0};
  AdjustWindowRectEx(&decoration, WS_VISIBLE | WS_OVERLAPPEDWINDOW, kFalse, 0);
  EXPECT_EQ(seen[2].lParam, MAKELPARAM(static_cast<WORD>(40 - decoration.left),
                                       static_cast<WORD>(30 - decoration.top)));
  for (const Seen& s : seen) EXPECT_EQ(s.hwnd, hwnd);
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
  std::atomic<bool> returned{false};
  auto result = std::async(std::launch::async, [&] {
    const LRESULT r = SendMessageA(hwnd, WM_USER + 1, 5, 6);
    returned = true;
    return r;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(returned) << "the sender waits for the owner";
  // Only the sent message counts: on Windows the window system may send its own meanwhile.
  const auto sent = [] {
    std::vector<Seen> out;
    for (const Seen& s : recorder().seen()) {
      if (s.msg == WM_USER + 1) out.push_back(s);
    }
    return out;
  };
  EXPECT_TRUE(sent().empty());
  MSG m{};
  // Keep pumping until the sent message arrived and was handled (a filtered peek handles
  // sent messages too).
  for (int i = 0; i < 200 && sent().empty(); ++i) {
    EXPECT_FALSE(PeekMessageA(&m, hwnd, WM_USER, WM_USER + 1, PM_REMOVE))
        << "a sent message is not returned";
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(result.get(), 11);
  const std::vector<Seen> seen = sent();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].thread, std::this_thread::get_id());
}

TEST_F(MessagesTest, WaitingSenderIsReleasedWhenTheWindowIsDestroyed) {
  const HWND hwnd = makeWindow(50, 50);
  auto result = std::async(std::launch::async, [&] { return SendMessageA(hwnd, WM_USER + 1, 5, 6); });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  ASSERT_TRUE(DestroyWindow(hwnd));
  ASSERT_EQ(result.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_EQ(result.get(), 0);
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
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  finish.set_value();
  owner.join();
  ASSERT_EQ(result.wait_for(std::chrono::seconds(5)), std::future_status::ready);
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
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  const HWND b = made.get_future().get();
  EXPECT_EQ(SendMessageA(b, WM_USER + 2, a, 0), 101);
  stop = true;
  other.join();
}

TEST_F(MessagesTest, WaitMessageTimeoutReturnsOnAPostOrAfterTheTimeout) {
  // A thread without windows hears of nothing (a new window may still hear from the
  // window system for a while), so it waits the whole time.
  std::thread([] {
    const auto start = std::chrono::steady_clock::now();
    WaitMessageTimeout(30);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(25));
  }).join();
  const HWND hwnd = makeWindow(50, 50);
  std::thread poster([hwnd] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    PostMessageA(hwnd, WM_USER, 0, 0);
  });
  const auto start = std::chrono::steady_clock::now();
  WaitMessageTimeout(5000);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  poster.join();
  EXPECT_EQ(drain().size(), 1u);
}

}  // namespace
}  // namespace morvane::plat::testing
