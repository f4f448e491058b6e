// The grid type of the engine's colour grid and of the reference: a square of
// cells indexed [x, y] over the largest world and its margin.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "runtime/runtime_error.h"

namespace morvane {

// Largest world side; every grid covers -4..GROLIM+5 in both indices.
inline constexpr std::int16_t GROLIM = 1000;

// A square grid indexed [x, y] with x, y in -4..GROLIM+5 (1010 by 1010 cells).
//
// Layout: column-major, y fastest: cell [x, y] is at (x + 4) * kSpan + (y + 4),
// so one column is a contiguous run of kSpan cells (column()), the order in
// which the colouring writes the grid and the front ends read it back.
template <class T>
class Grid {
 public:
  static constexpr int kLow = -4;             // lowest index in both directions
  static constexpr int kHigh = GROLIM + 5;    // highest index in both directions
  static constexpr int kSpan = kHigh - kLow + 1;

  Grid() : cells_(std::make_unique<T[]>(static_cast<std::size_t>(kSpan) * kSpan)) {}

  // Cell [x, y]; the caller guarantees kLow <= x, y <= kHigh.
  T& operator()(int x, int y) { return cells_[offset(x, y)]; }
  const T& operator()(int x, int y) const { return cells_[offset(x, y)]; }

  // Cell [x, y], ending the process with a range error when an index is out of bounds.
  T& at(int x, int y) { return (*this)(check(x), check(y)); }
  const T& at(int x, int y) const { return (*this)(check(x), check(y)); }

  // The kSpan cells of column x, from y = kLow up; column(x)[y - kLow] is [x, y].
  T* column(int x) { return &cells_[offset(x, kLow)]; }
  const T* column(int x) const { return &cells_[offset(x, kLow)]; }

 private:
  static std::size_t offset(int x, int y) {
    return static_cast<std::size_t>(x - kLow) * kSpan + static_cast<std::size_t>(y - kLow);
  }
  static int check(int i) { return rt::index(i, kLow, kHigh); }

  std::unique_ptr<T[]> cells_;  // kSpan * kSpan cells, zero at start
};

}  // namespace morvane
