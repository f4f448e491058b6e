// A fixed-size array whose index range starts where its declaration says
// (1 for the message ring, 0 for the frame stamps) and whose every access is
// tested against that range through the run-time error contract.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "runtime/runtime_error.h"

namespace display {

template <typename T, std::int64_t kLow, std::int64_t kHigh>
class BoundedArray {
  static_assert(kLow <= kHigh, "an array holds at least one element");

 public:
  // The lowest valid index.
  static constexpr std::int64_t low() { return kLow; }

  // The highest valid index.
  static constexpr std::int64_t high() { return kHigh; }

  // The element at index `i`; an index outside low()..high() ends the program with 201.
  T& operator[](std::int64_t i) { return items_[offset(i)]; }

  // The element at index `i`, read-only; same range test.
  const T& operator[](std::int64_t i) const { return items_[offset(i)]; }

 private:
  static std::size_t offset(std::int64_t i) {
    return static_cast<std::size_t>(morvane::rt::index(i, kLow, kHigh) - kLow);
  }

  std::array<T, static_cast<std::size_t>(kHigh - kLow + 1)> items_{};  // element i at items_[i - kLow]
};

}  // namespace display
