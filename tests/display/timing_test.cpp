// Clock, pause, frame stamps, metrics and MAX.
#include <chrono>

#include "display_fixture.h"
#include "headless/headless.h"

namespace display::testing {
namespace {

namespace headless = morvane::plat::headless;

using namespace std::chrono_literals;
using TimingTest = DisplayTest;

// One tick of the counter in seconds: the error of a time doubles cannot hold exactly.
constexpr double kOneTick = 1e-9;

TEST_F(TimingTest, ClockCountsFromWindowCreationAndDelayPausesOnIt) {
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

TEST_F(TimingTest, SecondWindowRestartsTheClock) {
  CREATEWIN(50, 50);
  headless::advanceClock(3s);
  EXPECT_EQ(GETTIMER(), 3.0);
  CREATEWIN(60, 60);
  EXPECT_EQ(GETTIMER(), 0.0);
  EXPECT_EQ(GETWIDTH(), 60u);
}

struct StampCase {
  std::uint32_t oldest;  // _MSCNTJ before
  std::uint32_t newest;  // _MSCNTI
  std::vector<std::pair<std::uint32_t, double>> stamps;  // slot, value
  std::uint32_t expected;  // _MSCNTJ after
};

class StaleStamps : public DisplayTest, public ::testing::WithParamInterface<StampCase> {};

TEST_P(StaleStamps, DropEveryStampASecondOrMoreOlderThanTheNewest) {
  const StampCase& c = GetParam();
  for (const auto& [slot, value] : c.stamps) state._MSCNT[slot] = value;
  state._MSCNTJ = c.oldest;
  state._MSCNTI = c.newest;
  dropStaleStamps();
  EXPECT_EQ(state._MSCNTJ, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rings, StaleStamps,
    ::testing::Values(
        // Exactly one second older is dropped; a little less is kept.
        StampCase{0, 3, {{0, 3.5}, {1, 4.0}, {2, 4.0001}, {3, 5.0}}, 2},
        // Across the end of the ring.
        StampCase{65535, 1, {{65535, 1.0}, {0, 1.5}, {1, 3.0}}, 1},
        // Nothing stale.
        StampCase{5, 7, {{5, 9.5}, {6, 9.6}, {7, 10.0}}, 5},
        // Never past the newest stamp.
        StampCase{2, 4, {{2, 1.0}, {3, 2.0}, {4, 100.0}}, 4}));

// Frames presented at a steady 128 per second (a period doubles hold exactly) from
// window creation: every stamp is its frame's time, the stamps from _MSCNTJ to
// _MSCNTI are the 128 of the last second (one exactly a second older is gone),
// and the ring comes back to slot 0 after 65536 frames.
TEST_F(TimingTest, FrameStampsKeepTheLastSecondInARingOf65536) {
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

TEST_F(TimingTest, MetricsAreTheScreensAndTheFrames) {
  EXPECT_EQ(GETSCRWIDTH(), 1280);
  EXPECT_EQ(GETSCRHEIGHT(), 1024);
  EXPECT_EQ(GETBORDERTITLE(), 20);
  EXPECT_EQ(GETBORDERWIDTH(), 4);
  EXPECT_EQ(GETBORDERHEIGHT(), 6);
  headless::setScreen(800, 600);
  EXPECT_EQ(GETSCRWIDTH(), 800);
  EXPECT_EQ(GETSCRHEIGHT(), 600);
}

TEST_F(TimingTest, WithoutAWindowMousePositionsShiftByTheFrameOnly) {
  headless::mouseMove(100, 70);
  EXPECT_EQ(GETPOSX(), 0);
  EXPECT_EQ(GETMOUSEABSX(), 100);
  EXPECT_EQ(GETMOUSEWINY(), 70);
  EXPECT_EQ(GETMOUSEPOSX(), 100 - 4);
  EXPECT_EQ(GETMOUSEPOSY(), 70 - 6 - 20);
}

TEST(Max, TakesTheLarger) {
  EXPECT_EQ(MAX(0, -5), 0);
  EXPECT_EQ(MAX(3, 3), 3);
  EXPECT_EQ(MAX(-2, 7), 7);
}

TEST(Constants, ColourLayoutAndNames) {
  EXPECT_EQ(BLACK, 0u);
  EXPECT_EQ(NAVY, 0x800000u);
  EXPECT_EQ(BLUE, 0xFF0000u);
  EXPECT_EQ(GREEN, 0x008000u);
  EXPECT_EQ(LIME, 0x00FF00u);
  EXPECT_EQ(RED, 0x0000FFu);
  EXPECT_EQ(YELLOW, 0x00FFFFu);
  EXPECT_EQ(WHITE, 0xFFFFFFu);
  EXPECT_EQ(AMETHYST, 0xCC6699u);
  EXPECT_EQ(TRANSPARENT, 1u);
  EXPECT_EQ(CYAN, AQUA);
  EXPECT_EQ(MAGENTA, FUCHSIA);
  EXPECT_EQ(LIGHTGREY, 0xD3D3D3u);
  EXPECT_EQ(ORANGE, 0x00A5FFu);
}

TEST(Constants, KeysAndOthers) {
  const std::pair<KeyCode, KeyCode> keys[] = {
      {K_UK, 0},       {K_MMOUSE, 4},  {K_ENTER, 13}, {K_PGDN, 34},  {K_0, 48},
      {K_A, 65},       {K_Z, 90},      {K_SLEEP, 95}, {K_N9, 105},   {K_SEP, 108},
      {K_F1, 112},     {K_F24, 135},   {K_NUM, 144},  {K_SCR, 145},  {K_LSHIFT, 160},
      {K_RSHIFT, 161}, {K_LCTRL, 162}, {K_RALT, 165}, {K_HELP, 47}};
  for (const auto& [key, code] : keys) EXPECT_EQ(key, code);
  EXPECT_EQ(M_MIDDLE, 2u);
  EXPECT_EQ(sizeof(TGDISTARTUP), 4 + sizeof(void*) + 1 + 4);
  EXPECT_EQ(WORD256::high(), 8);
  EXPECT_EQ(WORD64::low(), 1);
  EXPECT_EQ(sizeof(WORD128), 16u);
  EXPECT_EQ(ByteBuffer::high(), 1048576);
  EXPECT_EQ(PI, 3.14159265358979323851L);
}

TEST(BoundedArrayDeathTest, IndexOutsideItsBoundsIsARangeError) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  WORD64 word{};
  word[1] = 5;
  word[2] = 6;
  EXPECT_EQ(word[1] + word[2], 11u);
  EXPECT_EXIT(word[0] = 1, ::testing::ExitedWithCode(201), "Runtime error 201");
  EXPECT_EXIT(word[3] = 1, ::testing::ExitedWithCode(201), "Runtime error 201");
}

}  // namespace
}  // namespace display::testing
