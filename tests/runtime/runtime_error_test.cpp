#include "runtime/runtime_error.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace morvane::rt {
namespace {

constexpr char kRangeReport[] = "^Runtime error 201 at \\$[0-9A-F]+\n$";
constexpr char kOverflowReport[] = "^Runtime error 215 at \\$[0-9A-F]+\n$";
constexpr char kHeapReport[] = "^Runtime error 203 at \\$[0-9A-F]+\n$";
constexpr char kUnhandledReport[] = "^Runtime error 217 at \\$[0-9A-F]+\n$";

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

// Allocates `n` bytes (their address goes through a volatile, so the allocation stays).
void allocate(std::size_t n) {
  const std::unique_ptr<char[]> bytes(new char[n]);
  opaque(bytes.get());
}

// Throws `e` on a thread of its own, where nothing catches it.
template <class E>
void throwOnAThread(const E& e) {
  std::thread([e] { throw e; }).join();
}

TEST(RuntimeErrorDeathTest, ExhaustedMemoryAndThreadsEnd203OtherExceptions217) {
#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer's allocator reports a failed allocation itself
  EXPECT_EXIT((installHandlers(), allocate(opaque(std::size_t{1} << 60))),
              testing::ExitedWithCode(203), kHeapReport);
#endif
  EXPECT_EXIT((installHandlers(), throwOnAThread(std::bad_alloc())), testing::ExitedWithCode(203),
              kHeapReport);
  // What std::thread throws when no thread can be started.
  EXPECT_EXIT((installHandlers(), throwOnAThread(std::system_error(std::make_error_code(
                                      std::errc::resource_unavailable_try_again)))),
              testing::ExitedWithCode(203), kHeapReport);
  EXPECT_EXIT((installHandlers(), throwOnAThread(std::runtime_error("unforeseen"))),
              testing::ExitedWithCode(217), kUnhandledReport);
}

// A report whose reader has gone (stderr a pipe closed at the far end) still ends the
// process with the report's number, not by SIGPIPE.
TEST(RuntimeError, AReportToAClosedPipeStillEndsWithItsNumber) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    int ends[2];
    if (pipe(ends) != 0) _exit(1);
    close(ends[0]);
    dup2(ends[1], STDERR_FILENO);
    fail(RuntimeError::kRangeCheck);
  }
  int status = 0;
  ASSERT_EQ(child, waitpid(child, &status, 0));
  EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(201, WEXITSTATUS(status));
}

}  // namespace
}  // namespace morvane::rt
