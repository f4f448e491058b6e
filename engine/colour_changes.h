// The record of which parts of the colour grid a colouring rewrote, handed to
// front ends that keep their own picture of the grid between display phases.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "grid.h"

namespace morvane {

// Which bands of the colour grid C the latest colouring rewrote. A band is 64
// cells down one column: band k of column x holds cells [x, y] for
// y = firstY(k) .. firstY(k) + 63 (the last band ends at the grid's edge).
//
// Contract: a band not marked holds exactly the colours it held at the previous
// display phase of the same engine (the zero colours of a new grid before the
// first one). A marked band may hold the same colours as before too.
class ColourChanges {
 public:
  static constexpr int kBandCells = 64;  // cells per band
  static constexpr int kBands = (Grid<std::uint8_t>::kSpan + kBandCells - 1) / kBandCells;  // bands per column
  static_assert(kBands <= 32, "a column's bands are the bits of one 32-bit word");

  // The first y of band k.
  static constexpr int firstY(int k) { return Grid<std::uint8_t>::kLow + kBandCells * k; }

  // The y of band k that lie in 1..limit: first..last, none when first > last.
  struct Rows {
    int first, last;
  };
  static constexpr Rows rowsWithin(int k, int limit) {
    return {std::max(1, firstY(k)), std::min(limit, firstY(k) + kBandCells - 1)};
  }

  // Bit k set: band k of column x was rewritten; x in kLow..kHigh of the grid.
  std::uint32_t bands(int x) const { return bands_[static_cast<std::size_t>(x - Grid<std::uint8_t>::kLow)]; }

  // The per-column marks, from column kLow up, for the colouring that writes them.
  std::uint32_t* columns() { return bands_.data(); }

 private:
  std::array<std::uint32_t, Grid<std::uint8_t>::kSpan> bands_{};  // [x - kLow]: bit k = band k rewritten
};

}  // namespace morvane
