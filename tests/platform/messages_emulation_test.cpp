// Message queues where the emulation's driver plays a part: the clock that stamps
// messages, key presses, and senders left waiting (seen in the emulation's queues).
#include <algorithm>
#include <chrono>
#include <future>

#include "headless/headless.h"
#include "test_support.h"

namespace morvane::plat::testing {
namespace {

using EmulatedMessagesTest = PlatformTest;

TEST_F(EmulatedMessagesTest, PostedMessageIsStampedWithThePlatformClock) {
  const HWND hwnd = makeWindow(50, 50);
  headless::advanceClock(std::chrono::milliseconds(1234));
  std::thread([hwnd] { EXPECT_TRUE(PostMessageA(hwnd, WM_USER, 7, 9)); }).join();
  MSG m{};
  ASSERT_TRUE(PeekMessageA(&m, hwnd, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.time, 1234u);  // milliseconds on the platform's clock since it started
}

TEST_F(EmulatedMessagesTest, WaitingSenderIsReleasedWhenTheWindowIsDestroyed) {
  const HWND hwnd = makeWindow(50, 50);
  auto result = std::async(std::launch::async, [&] { return SendMessageA(hwnd, WM_USER + 1, 5, 6); });
  waitForSentMessage(hwnd);
  ASSERT_TRUE(DestroyWindow(hwnd));
  EXPECT_EQ(result.get(), 0);
  EXPECT_EQ(std::ranges::count(recorder().messages(), WM_USER + 1), 0) << "dropped, not handled";
}

TEST_F(EmulatedMessagesTest, WaitingSenderIsReleasedWhenTheOwnerThreadEnds) {
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

TEST_F(EmulatedMessagesTest, TranslateAddsTheCharacterOfAKeyDown) {
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

}  // namespace
}  // namespace morvane::plat::testing
