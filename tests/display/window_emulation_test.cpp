// The window as the user handles it, played by the emulation's headless driver: the
// screen it is centred on, keys, resizing, minimising, closing, the pointer and the clock.
#include <chrono>

#include "display_fixture.h"
#include "headless/headless.h"

namespace display::testing {
namespace {

namespace headless = morvane::plat::headless;

using EmulatedWindowTest = DisplayTest;

TEST_F(EmulatedWindowTest, WindowIsCentredAndClampedToTheScreenCorner) {
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

TEST_F(EmulatedWindowTest, KeyPressGivesKeyAndCharacterMessages) {
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

TEST_F(EmulatedWindowTest, SizeChangeRebuildsAnUnfilledMainSurface) {
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

TEST_F(EmulatedWindowTest, MinimiseGivesZeroByZeroAndRestoreRebuilds) {
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

TEST_F(EmulatedWindowTest, ClosedWindowLeavesEveryCallWorking) {
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

TEST_F(EmulatedWindowTest, FreshwinNeverCopiesTheTransparentColour) {
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

TEST_F(EmulatedWindowTest, FreshwinLeavesOutTheCornerBetweenTwoPartsDrawnApart) {
  CREATEWIN(100, 100, WHITE, RED);
  pump();
  FRESHWIN();
  BAR(0, 0, 60, 60, BLUE);   // a world
  BAR(80, 80, 10, 10, LIME); // a panel line beside it
  // Drawn in the corner between them without being noted: no part covers it.
  state.mainPixels[10 * 100 + 85] = 0x00FFFF;
  FRESHWIN();
  EXPECT_EQ(shown(59, 59), BLUE);
  EXPECT_EQ(shown(89, 89), LIME);
  EXPECT_EQ(shown(85, 10), RED);
}

TEST_F(EmulatedWindowTest, CursorAtTheClientOriginIsPositionZero) {
  CREATEWIN(100, 100);
  pump();
  headless::mouseMove(GETPOSX() + GETBORDERWIDTH(), GETPOSY() + GETBORDERHEIGHT() + GETBORDERTITLE());
  pump();
  EXPECT_EQ(GETMOUSEPOSX(), 0);
  EXPECT_EQ(GETMOUSEPOSY(), 0);
  EXPECT_EQ(GETMOUSEWINX(), GETBORDERWIDTH());
  EXPECT_EQ(GETMOUSEABSX(), GETPOSX() + GETBORDERWIDTH());
}

TEST_F(EmulatedWindowTest, ArrowCursorOverTheClientArea) {
  CREATEWIN(100, 100);
  pump();
  const plat::HCURSOR arrow = plat::LoadCursorA(0, plat::IDC_ARROW);
  plat::SetCursor(0);
  headless::mouseMove(GETPOSX() + GETBORDERWIDTH() + 50, GETPOSY() + GETBORDERHEIGHT() + GETBORDERTITLE() + 50);
  pump();
  EXPECT_EQ(plat::SetCursor(0), arrow);
}

TEST_F(EmulatedWindowTest, ActivatingAMinimisedWindowRestoresIt) {
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

}  // namespace
}  // namespace display::testing
