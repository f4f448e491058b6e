// The clock, pauses, frame stamps over time, metrics and the pointer without a window,
// on the clock and screen that the emulation's headless driver sets.
#include <chrono>

#include "display_fixture.h"
#include "headless/headless.h"

namespace display::testing {
namespace {

namespace headless = morvane::plat::headless;

using namespace std::chrono_literals;
using EmulatedTimingTest = DisplayTest;

// One tick of the counter in seconds: the error of a time doubles cannot hold exactly.
constexpr double kOneTick = 1e-9;

TEST_F(EmulatedTimingTest, ClockCountsFromWindowCreationAndDelayPausesOnIt) {
  EXPECT_EQ(GETTIMER(), 1024.0);  // before the window: the counter's own time
  headless::advanceClock(500ms);
  CREATEWIN(40, 40);
  EXPECT_EQ(GETTIMER(), 0.0);
  headless::advanceClock(250ms);
  EXPECT_EQ(GETTIMER(), 0.25);
  DELAY(125);
  EXPECT_EQ(GETTIMER(), 0.375);
  DELAY(0);  // gives up the time slice only
  EXPECT_EQ(GETTIMER(), 0.375);
  DELAY(1);
  EXPECT_NEAR(GETTIMER(), 0.376, kOneTick);
}

TEST_F(EmulatedTimingTest, SecondWindowRestartsTheClock) {
  CREATEWIN(50, 50);
  headless::advanceClock(3s);
  EXPECT_EQ(GETTIMER(), 3.0);
  CREATEWIN(60, 60);
  EXPECT_EQ(GETTIMER(), 0.0);
  EXPECT_EQ(GETWIDTH(), 60u);
}

// Frames presented at a steady 128 per second (a period doubles hold exactly) from
// window creation: every stamp is its frame's time, the stamps from _MSCNTJ to
// _MSCNTI are the 128 of the last second (one exactly a second older is gone),
// and the ring comes back to slot 0 after 65536 frames.
TEST_F(EmulatedTimingTest, FrameStampsKeepTheLastSecondInARingOf65536) {
  CREATEWIN(40, 40);
  EXPECT_EQ(state._MSCNTI, 0u);
  EXPECT_EQ(state._MSCNTJ, 0u);
  constexpr std::uint32_t kRate = 128;
  for (std::uint32_t frame = 1; frame <= _MSCNTMAX + kRate; ++frame) {
    headless::advanceClock(std::chrono::nanoseconds(1s) / kRate);
    ADDFPS();
    const std::uint32_t newest = frame % _MSCNTMAX;
    const std::uint32_t oldest = frame < kRate ? 0 : (frame - (kRate - 1)) % _MSCNTMAX;
    ASSERT_EQ(state._MSCNTI, newest) << "frame " << frame;
    ASSERT_EQ(state._MSCNT[newest], static_cast<double>(frame) / kRate) << "frame " << frame;
    ASSERT_EQ(state._MSCNTJ, oldest) << "frame " << frame;
  }
}

TEST_F(EmulatedTimingTest, MetricsAreTheScreensAndTheFrames) {
  EXPECT_EQ(GETSCRWIDTH(), 1280);
  EXPECT_EQ(GETSCRHEIGHT(), 1024);
  EXPECT_EQ(GETBORDERTITLE(), 20);
  EXPECT_EQ(GETBORDERWIDTH(), 4);
  EXPECT_EQ(GETBORDERHEIGHT(), 6);
  headless::setScreen(800, 600);
  EXPECT_EQ(GETSCRWIDTH(), 800);
  EXPECT_EQ(GETSCRHEIGHT(), 600);
}

TEST_F(EmulatedTimingTest, WithoutAWindowMousePositionsShiftByTheFrameOnly) {
  headless::mouseMove(100, 70);
  EXPECT_EQ(GETPOSX(), 0);
  EXPECT_EQ(GETMOUSEABSX(), 100);
  EXPECT_EQ(GETMOUSEWINY(), 70);
  EXPECT_EQ(GETMOUSEPOSX(), 100 - 4);
  EXPECT_EQ(GETMOUSEPOSY(), 70 - 6 - 20);
}

}  // namespace
}  // namespace display::testing
