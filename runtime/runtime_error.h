// The run-time error contract shared by every part of morvane.
//
// There are no error codes and no error results: a failed index test or an
// arithmetic overflow ends the process at once with
//     Runtime error <number> at $<hexadecimal code address>
// on stderr and <number> as exit status. The helpers below are the one way
// the code performs those tests. Exhausted memory and exceptions nobody
// catches end the process the same way (installHandlers()).
#pragma once

#include <concepts>
#include <cstdint>
#include <limits>
#include <string_view>
#include <utility>

namespace morvane::rt {

// The error numbers of the contract.
enum class RuntimeError : int {
  kRangeCheck = 201,          // an index outside its declared bounds, a value outside its type
  kHeapOverflow = 203,        // memory, or a thread, that could not be had
  kOverflow = 215,            // an overflow of the arithmetic type
  kUnhandledException = 217,  // an exception that nothing caught
};

// The exit status of a program whose window system cannot be used: no display, a
// display that cannot be reached or was lost, a screen it cannot draw on
// (EX_UNAVAILABLE of sysexits.h). Its report is one line saying why.
inline constexpr int kDisplayUnavailable = 69;

// Writes `line` and a newline on stderr and ends the process at once with `status`,
// whichever thread calls it: no destructor and no exit handler runs, so nothing races
// the threads that are still running. A closed stderr (a pipe nobody reads) does not
// change the status. When two threads end the process together, only the first reports.
[[noreturn]] void quit(int status, std::string_view line);

// Reports `error` at code address `where` and ends the process with its number.
[[noreturn]] void fail(RuntimeError error, const void* where);

// Reports `error` at the caller's code address and ends the process.
[[noreturn]] __attribute__((noinline)) void fail(RuntimeError error);

// Makes an allocation that fails end the process with run-time error 203, and an
// exception that nothing catches with 203 when it tells of exhausted memory or a thread
// that could not be started, else with 217; instead of an abort and a core dump.
void installHandlers();

// a + b, ending the process with 215 when the result does not fit in T.
template <std::integral T>
inline T add(T a, T b) {
  T r;
  if (__builtin_add_overflow(a, b, &r)) fail(RuntimeError::kOverflow);
  return r;
}

// a - b, ending the process with 215 when the result does not fit in T.
template <std::integral T>
inline T sub(T a, T b) {
  T r;
  if (__builtin_sub_overflow(a, b, &r)) fail(RuntimeError::kOverflow);
  return r;
}

// a * b, ending the process with 215 when the result does not fit in T.
template <std::integral T>
inline T mul(T a, T b) {
  T r;
  if (__builtin_mul_overflow(a, b, &r)) fail(RuntimeError::kOverflow);
  return r;
}

// `v` converted to To, ending the process with 201 when it is out of To's range.
template <std::integral To, std::integral From>
inline To narrow(From v) {
  if (!std::in_range<To>(v)) fail(RuntimeError::kRangeCheck);
  return static_cast<To>(v);
}

// `i` itself when lo <= i <= hi; otherwise ends the process with 201.
template <std::integral T>
inline T index(T i, T lo, T hi) {
  if (i < lo || i > hi) fail(RuntimeError::kRangeCheck);
  return i;
}

}  // namespace morvane::rt
