// Frame stamps, MAX and the library's constants: no clock and no driver, so they
// run on every implementation. The clock itself is in timing_emulation_test.cpp.
#include <utility>

#include "display_fixture.h"

namespace display::testing {
namespace {

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
