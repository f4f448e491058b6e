// The window, the surface builds, the message pump and the user message queue.
#include <atomic>
#include <chrono>
#include <thread>

#include "display_fixture.h"
#include "headless/headless.h"

namespace display::testing {
namespace {

namespace headless = morvane::plat::headless;

using WindowTest = DisplayTest;

struct CreateCase {
  int arguments;         // which form of CREATEWIN
  Colour given1;         // first colour argument (if any)
  Colour given2;         // second colour argument (if any)
  Colour foreground;     // expected _CFG
  Colour background;     // expected _CBG
};

class CreateWinForms : public DisplayTest, public ::testing::WithParamInterface<CreateCase> {};

TEST_P(CreateWinForms, OpensClientSizedMainSurfaceFilledWithBackground) {
  const CreateCase& c = GetParam();
  if (c.arguments == 2) CREATEWIN(120, 90);
  if (c.arguments == 3) CREATEWIN(120, 90, c.given1);
  if (c.arguments == 4) CREATEWIN(120, 90, c.given1, c.given2);

  EXPECT_EQ(state._CFG, c.foreground);
  EXPECT_EQ(state._CBG, c.background);
  EXPECT_TRUE(state._WINB);
  EXPECT_NE(state._HW, 0u);
  EXPECT_EQ(GETWIDTH(), 120u);
  EXPECT_EQ(GETHEIGHT(), 90u);
  ASSERT_NE(state._PMAIN, nullptr);
  EXPECT_EQ(state._PMAIN->WIDTH, 120u);
  EXPECT_EQ(state._PMAIN->HEIGHT, 90u);
  EXPECT_EQ(state._PMAIN->COLOR, TRANSPARENT);
  EXPECT_EQ(state._MAIN.DC, state._PMAIN->DC);
  EXPECT_EQ(state._PMSCR, &state._MSCR);
  EXPECT_EQ(state._MSCR.HANDLE, state._HW);
  EXPECT_EQ(state._MSCR.WIDTH, 120u);
  EXPECT_EQ(state._MSCR.COLOR, TRANSPARENT);
  for (Colour p : pixels(state._PMAIN)) ASSERT_EQ(p, c.background);
  // Before the first FRESHWIN the window shows its class background.
  EXPECT_EQ(shown(0, 0), c.background);
  EXPECT_EQ(shown(119, 89), c.background);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CreateWinForms,
    ::testing::Values(CreateCase{2, 0, 0, WHITE, BLACK},
                      CreateCase{3, TEAL, 0, WHITE, TEAL},  // the one colour is the background
                      CreateCase{4, NAVY, GOLD, NAVY, GOLD}));

TEST_F(WindowTest, WindowIsCentredAndClampedToTheScreenCorner) {
  CREATEWIN(200, 100);
  EXPECT_EQ(state._X, (1280 - 200) / 2);
  EXPECT_EQ(state._Y, (1024 - 100) / 2);
  EXPECT_EQ(GETPOSX(), state._X);
  EXPECT_EQ(GETPOSY(), state._Y);
  resetAll();
  headless::setScreen(300, 200);
  CREATEWIN(301, 100);
  EXPECT_EQ(state._X, 0);
  EXPECT_EQ(state._Y, 50);
}

TEST_F(WindowTest, NothingPendingGivesFalse) {
  CREATEWIN(50, 50);
  pump();
  EXPECT_FALSE(ISNEXTMSG());
  EXPECT_FALSE(CUSTOMMSG());
}

TEST_F(WindowTest, PostedUserMessageComesOutTwice) {
  CREATEWIN(50, 50);
  pump();
  ASSERT_TRUE(plat::PostMessageA(state._HW, plat::WM_USER, 7, 9));

  ASSERT_TRUE(ISNEXTMSG());
  EXPECT_EQ(state._MS.message, plat::WM_USER);
  EXPECT_EQ(state._MS.hwnd, state._HW);
  EXPECT_EQ(state._MS.wParam, 7u);

  ASSERT_TRUE(ISNEXTMSG());
  EXPECT_EQ(state._MS.message, plat::WM_USER);
  EXPECT_EQ(state._MS.wParam, 7u);
  EXPECT_EQ(state._MS.lParam, 9);
  EXPECT_EQ(state._MS.hwnd, 0u);
  EXPECT_EQ(state._MS.time, 0u);
  EXPECT_EQ(state._MS.pt.x, 0);
  EXPECT_EQ(state._MS.pt.y, 0);

  EXPECT_FALSE(ISNEXTMSG());
}

TEST_F(WindowTest, UserMessageSentFromAnotherThreadComesOutOnce) {
  CREATEWIN(50, 50);
  pump();
  const plat::HWND window = state._HW;
  std::atomic<bool> delivered{false};
  std::thread sender([&] {
    plat::SendMessageA(window, plat::WM_USER, 11, 12);
    delivered = true;
  });
  int userMessages = 0;
  const auto count = [&] {
    while (ISNEXTMSG()) {
      if (state._MS.message == plat::WM_USER) {
        ++userMessages;
        EXPECT_EQ(state._MS.hwnd, 0u);
        EXPECT_EQ(state._MS.wParam, 11u);
      }
    }
  };
  while (!delivered) {
    count();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  sender.join();
  count();
  EXPECT_EQ(userMessages, 1);
}

TEST_F(WindowTest, FullUserQueueLosesTheOldestEntry) {
  CREATEWIN(50, 50);
  pump();
  for (plat::WPARAM i = 1; i <= _MSUSRMAX + 1; ++i) {
    plat::SendMessageA(state._HW, plat::WM_USER, i, 0);
  }
  ASSERT_TRUE(CUSTOMMSG());
  EXPECT_EQ(state._MS.wParam, _MSUSRMAX + 1u);  // the newest, in the oldest one's slot
  for (plat::WPARAM i = 2; i <= _MSUSRMAX; ++i) {
    ASSERT_TRUE(CUSTOMMSG());
    ASSERT_EQ(state._MS.wParam, i);
  }
  EXPECT_FALSE(CUSTOMMSG());
  EXPECT_EQ(state._MSI, 2u);
  EXPECT_EQ(state._MSUSRI, 2u);
  // The queue goes on delivering at once after the overflow.
  plat::SendMessageA(state._HW, plat::WM_USER, 424242, 0);
  ASSERT_TRUE(CUSTOMMSG());
  EXPECT_EQ(state._MS.wParam, 424242u);
  EXPECT_FALSE(CUSTOMMSG());
}

TEST_F(WindowTest, KeyPressGivesKeyAndCharacterMessages) {
  CREATEWIN(50, 50);
  pump();
  headless::keyPress(state._HW, K_A, 'a');
  bool keyDown = false;
  bool character = false;
  while (ISNEXTMSG()) {
    if (state._MS.message == plat::WM_KEYDOWN && state._MS.wParam == K_A) keyDown = true;
    if (state._MS.message == plat::WM_CHAR && state._MS.wParam == 'a') character = true;
  }
  EXPECT_TRUE(keyDown);
  EXPECT_TRUE(character);
}

int redraws = 0;
void countRedraw() { ++redraws; }

TEST_F(WindowTest, SizeChangeRebuildsAnUnfilledMainSurface) {
  CREATEWIN(100, 80, RED, GOLD);
  pump();
  redraws = 0;
  state._DRAW = countRedraw;
  headless::resize(state._HW, 150, 60);
  pump();
  EXPECT_EQ(GETWIDTH(), 150u);
  EXPECT_EQ(GETHEIGHT(), 60u);
  EXPECT_EQ(state._PMAIN->WIDTH, 150u);
  EXPECT_EQ(state._PMAIN->HEIGHT, 60u);
  EXPECT_EQ(state._MSCR.WIDTH, 150u);
  EXPECT_EQ(state._MAIN.HEIGHT, 60u);
  EXPECT_GE(redraws, 1);
  // Not filled with the background: what a new bitmap holds.
  EXPECT_NE(GETPIXEL(0, 0), GOLD);
  EXPECT_EQ(GETPIXEL(149, 59), BLACK);
  EXPECT_EQ(GETPIXEL(150, 0), plat::CLR_INVALID);
}

TEST_F(WindowTest, MinimiseGivesZeroByZeroAndRestoreRebuilds) {
  CREATEWIN(100, 80);
  pump();
  headless::minimize(state._HW);
  pump();
  EXPECT_EQ(GETWIDTH(), 0u);
  EXPECT_EQ(GETHEIGHT(), 0u);
  EXPECT_EQ(state._PMAIN->WIDTH, 0u);
  EXPECT_EQ(GETPIXEL(0, 0), plat::CLR_INVALID);
  SETPIXEL(0, 0, RED);  // no pixels: nothing happens
  EXPECT_EQ(GETPIXEL(0, 0), plat::CLR_INVALID);
  FRESHWIN();  // nothing to show, but the frame is counted
  EXPECT_EQ(state._MSCNTI, 1u);
  headless::restore(state._HW);
  pump();
  EXPECT_EQ(GETWIDTH(), 100u);
  EXPECT_EQ(GETHEIGHT(), 80u);
  SETPIXEL(99, 79, RED);
  EXPECT_EQ(GETPIXEL(99, 79), RED);
}

TEST_F(WindowTest, ClosedWindowLeavesEveryCallWorking) {
  CREATEWIN(64, 48, WHITE, NAVY);
  pump();
  headless::close(state._HW);
  pump();
  EXPECT_FALSE(state._WINB);
  EXPECT_FALSE(ISNEXTMSG());
  // The surfaces stay in memory and keep working.
  SETPIXEL(3, 4, RED);
  EXPECT_EQ(GETPIXEL(3, 4), RED);
  BAR(10, 10, 5, 5, LIME);
  EXPECT_EQ(GETPIXEL(12, 12), LIME);
  DRAWTEXTXY("closed", 0, 20, WHITE, BLACK);
  EXPECT_EQ(GETPIXEL(0, 20), BLACK);  // the box behind the first glyph
  PBITMAP extra = CREATEBMP(8, 8, RED);
  ASSERT_NE(extra, nullptr);
  DRAWBMP(extra, 0, 0, 8, 8, 0x80000000u | BLACK);  // the blended path makes a surface too
  EXPECT_NE(GETPIXEL(0, 0), NAVY);
  RELEASEBMP(extra);
  FRESHWIN();
  EXPECT_EQ(state._MSCNTI, 1u);
  EXPECT_EQ(GETPOSX(), 0);
  EXPECT_EQ(GETPOSY(), 0);
  headless::advanceClock(std::chrono::seconds(2));
  EXPECT_EQ(GETTIMER(), 2.0);  // the clock still counts from the window's creation
}

TEST_F(WindowTest, FreshwinNeverCopiesTheTransparentColour) {
  CREATEWIN(40, 30, WHITE, RED);
  pump();
  headless::advanceClock(std::chrono::milliseconds(250));
  SETPIXEL(5, 5, TRANSPARENT);
  SETPIXEL(6, 6, BLUE);
  SETPIXEL(7, 7, 0x000002);
  FRESHWIN();
  EXPECT_EQ(shown(5, 5), RED);  // what the window showed before
  EXPECT_EQ(shown(6, 6), BLUE);
  EXPECT_EQ(shown(7, 7), 0x000002u);
  EXPECT_EQ(shown(0, 0), RED);
  EXPECT_GT(headless::presentCount(state._HW), 0);
  // One frame stamped with the time it was shown.
  EXPECT_EQ(state._MSCNTI, 1u);
  EXPECT_EQ(state._MSCNTJ, 0u);
  EXPECT_EQ(state._MSCNT[1], 0.25);
}

TEST_F(WindowTest, CursorAtTheClientOriginIsPositionZero) {
  CREATEWIN(100, 100);
  pump();
  headless::mouseMove(GETPOSX() + GETBORDERWIDTH(), GETPOSY() + GETBORDERHEIGHT() + GETBORDERTITLE());
  pump();
  EXPECT_EQ(GETMOUSEPOSX(), 0);
  EXPECT_EQ(GETMOUSEPOSY(), 0);
  EXPECT_EQ(GETMOUSEWINX(), GETBORDERWIDTH());
  EXPECT_EQ(GETMOUSEABSX(), GETPOSX() + GETBORDERWIDTH());
}

TEST_F(WindowTest, ArrowCursorOverTheClientArea) {
  CREATEWIN(100, 100);
  pump();
  const plat::HCURSOR arrow = plat::LoadCursorA(0, plat::IDC_ARROW);
  plat::SetCursor(0);
  headless::mouseMove(GETPOSX() + GETBORDERWIDTH() + 50, GETPOSY() + GETBORDERHEIGHT() + GETBORDERTITLE() + 50);
  pump();
  EXPECT_EQ(plat::SetCursor(0), arrow);
}

TEST_F(WindowTest, ActivatingAMinimisedWindowRestoresIt) {
  CREATEWIN(100, 80);
  pump();
  headless::minimize(state._HW);
  pump();
  ASSERT_TRUE(plat::IsIconic(state._HW));
  plat::SendMessageA(state._HW, plat::WM_NCACTIVATE, 1, 0);
  pump();
  EXPECT_FALSE(plat::IsIconic(state._HW));
  EXPECT_EQ(GETWIDTH(), 100u);
  EXPECT_EQ(GETHEIGHT(), 80u);
}

class WindowDeathTest : public DisplayTest {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    DisplayTest::SetUp();
  }
};

TEST_F(WindowDeathTest, ClientSizeOfTwoToTheThirtyFirstIsARangeError) {
  EXPECT_EXIT(CREATEWIN(0x80000000u, 10), ::testing::ExitedWithCode(201), "Runtime error 201");
  EXPECT_EXIT(CREATEWIN(10, 0x80000000u), ::testing::ExitedWithCode(201), "Runtime error 201");
}

TEST_F(WindowDeathTest, OuterSizeOverflowIsAnOverflowError) {
  EXPECT_EXIT(CREATEWIN(0x7FFFFFFFu, 10), ::testing::ExitedWithCode(215), "Runtime error 215");
}

TEST_F(WindowDeathTest, NegativeClientSizeIsARangeError) {
  state._W = -1;
  EXPECT_EXIT(GETWIDTH(), ::testing::ExitedWithCode(201), "Runtime error 201");
}

}  // namespace
}  // namespace display::testing
