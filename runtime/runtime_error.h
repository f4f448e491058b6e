// The run-time error contract shared by every part of morvane.
//
// There are no error codes and no error results: a failed index test or an
// arithmetic overflow ends the process at once with
//     Runtime error <number> at $<hexadecimal code address>
// on stderr and <number> as exit status. The helpers below are the one way
// the code performs those tests.
#pragma once

#include <concepts>
#include <cstdint>
#include <limits>
#include <utility>

namespace morvane::rt {

// The error numbers of the contract.
enum class RuntimeError : int {
  kRangeCheck = 201,  // an index outside its declared bounds, a value outside its type
  kOverflow = 215,    // an overflow of the arithmetic type
};

// Reports `error` at code address `where` and ends the process with its number.
[[noreturn]] void fail(RuntimeError error, const void* where);

// Reports `error` at the caller's code address and ends the process.
[[noreturn]] __attribute__((noinline)) void fail(RuntimeError error);

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
