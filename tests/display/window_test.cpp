// The window, its main surface, the message pump and the user message queue, through
// public calls only (they run on every implementation). What the emulation's driver
// plays (the user's actions, the screen, the clock) is in window_emulation_test.cpp.
#include <atomic>
#include <thread>
#include <vector>

#include "display_fixture.h"

namespace display::testing {
namespace {

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

TEST_F(WindowTest, EachFreshwinLeavesTheWindowShowingTheMainSurface) {
  CREATEWIN(48, 40, WHITE, NAVY);
  pump();
  FRESHWIN();
  // Each step draws something, presents, and the whole window must match the main surface.
  struct Step {
    const char* what;
    void (*draw)();
  };
  const Step steps[] = {
      {"pixels", [] { SETPIXEL(0, 0, RED); SETPIXEL(47, 39, LIME); }},
      {"a bar", [] { BAR(20, 10, 5, 4, GOLD); }},
      {"a mirrored bar", [] { BAR(state._PMAIN, 30, 30, -6, -3, TEAL); }},
      {"text", [] { DRAWTEXTXY("Ab", 3, 20, WHITE, BLACK); }},
      {"a keyed blit", [] {
         const PBITMAP spot = CREATEBMP(4, 4, OLIVE);
         DRAWBMP(spot, 40, 2, 4, 4, BLACK);
         RELEASEBMP(spot);
       }},
      {"nothing", [] {}},
      // Far apart: each joins the part it enlarges less, and both parts are shown.
      {"a square and a panel beside it", [] {
         BAR(0, 0, 24, 24, MAROON);
         DRAWTEXTXY("k", 30, 28, WHITE, BLACK);
         SETPIXEL(46, 1, SILVER);
       }},
      // Drawn on the window itself: the next FRESHWIN puts the main surface's picture back.
      {"on the window", [] { BAR(state._PMSCR, 0, 0, state._W, state._H, PURPLE); }},
  };
  for (const Step& step : steps) {
    step.draw();
    FRESHWIN();
    std::vector<Colour> window;  // the client area, which Windows may make larger than asked
    for (int y = 0; y < static_cast<int>(state._PMAIN->HEIGHT); ++y) {
      for (int x = 0; x < static_cast<int>(state._PMAIN->WIDTH); ++x) window.push_back(shown(x, y));
    }
    EXPECT_EQ(window, pixels(state._PMAIN)) << step.what;
  }
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
    plat::WaitMessageTimeout(10);  // ends early when the sent message comes
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
