#include "runtime/runtime_error.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace morvane::rt {
namespace {

constexpr char kRangeReport[] = "^Runtime error 201 at \\$[0-9A-F]+\n$";
constexpr char kOverflowReport[] = "^Runtime error 215 at \\$[0-9A-F]+\n$";

// Values are laundered through a volatile so the compiler cannot fold the checks away.
template <class T>
T opaque(T v) {
  volatile T x = v;
  return x;
}

TEST(RuntimeError, ResultsInRangeComeBackUnchanged) {
  EXPECT_EQ(add<std::int32_t>(2147483646, 1), 2147483647);
  EXPECT_EQ(sub<std::int32_t>(-2147483647, 1), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(mul<std::int32_t>(46340, 46340), 2147395600);
  EXPECT_EQ(narrow<std::int16_t>(-32768), -32768);
  EXPECT_EQ(index(1005, -4, 1005), 1005);
  EXPECT_EQ(index(-4, -4, 1005), -4);
}

TEST(RuntimeErrorDeathTest, OverflowEndsTheProcessWith215) {
  EXPECT_EXIT(add<std::int32_t>(opaque(2147483647), 1), testing::ExitedWithCode(215),
              kOverflowReport);
  EXPECT_EXIT(sub<std::int32_t>(opaque(std::numeric_limits<std::int32_t>::min()), 1),
              testing::ExitedWithCode(215), kOverflowReport);
  EXPECT_EXIT(mul<std::int32_t>(opaque(200000), 200000), testing::ExitedWithCode(215),
              kOverflowReport);
  EXPECT_EXIT(add<std::uint32_t>(opaque(0xFFFFFFFFu), 1u), testing::ExitedWithCode(215),
              kOverflowReport);
}

TEST(RuntimeErrorDeathTest, OutOfRangeEndsTheProcessWith201) {
  EXPECT_EXIT(index(opaque(1006), -4, 1005), testing::ExitedWithCode(201), kRangeReport);
  EXPECT_EXIT(index(opaque(-5), -4, 1005), testing::ExitedWithCode(201), kRangeReport);
  EXPECT_EXIT(narrow<std::int32_t>(opaque(std::uint32_t{0x80000000u})),
              testing::ExitedWithCode(201), kRangeReport);
  EXPECT_EXIT(narrow<std::uint32_t>(opaque(-1)), testing::ExitedWithCode(201), kRangeReport);
}

}  // namespace
}  // namespace morvane::rt
