// The per-pass work on the cell grids, organised for speed: byte grids walked
// column by column so that the compiler vectorises the inner loops over y.
// Every function takes the world side `gro`, already checked to lie in
// 1..GROLIM by its caller; that single check keeps every index formed here
// inside the grids' -4..GROLIM+5.
#pragma once

#include <array>
#include <cstdint>

#include "frontend.h"

namespace morvane {

// A cell grid: 1 = live cell, 0 = dead cell.
using CellGrid = Grid<std::uint8_t>;

// Outcome of the generation step for a cell: index n + 9 * s, where n (0..8)
// is the number of live neighbours and s (0 or 1) the cell's own state.
using StepOutcomes = std::array<bool, 18>;

// Margin update: joins opposite edges of the world with offset gro - 1, in the
// four copies' fixed order (lines first, then columns over the whole height).
void wrapMargin(CellGrid& A, int gro);

// Generation step: B[x, y] := outcomes[n + 9 * A[x, y]] for x, y = 1..gro.
void stepCells(const CellGrid& A, CellGrid& B, int gro, const StepOutcomes& outcomes);

// Number of live cells of A over x, y = 1..gro.
std::int32_t countLive(const CellGrid& A, int gro);

// Copies B into A over x, y = 1..gro; the margin of A is left alone.
void copyWorld(const CellGrid& B, CellGrid& A, int gro);

// Finds where the structure templates fit. After run(), cover(x, y) is, for x,
// y = 1..gro+3, the highest K of the templates that fit a window anchored at
// 1..gro and covering [x, y], or 0 when none does. This equals the colour left
// by painting the fitting windows in increasing K.
class TemplateScanner {
 public:
  // Scans A for a world of side gro.
  void run(const CellGrid& A, int gro);

  // Highest fitting template over cell [x, y] (x, y in 1..gro+3) after run().
  std::uint8_t cover(int x, int y) const { return cover_(x, y); }

  // Column x of the cover grid, column(x)[y - Grid::kLow] being [x, y].
  const std::uint8_t* column(int x) const { return cover_.column(x); }

 private:
  void fitColumn(int anchorX, int gro);

  CellGrid nibbles_;   // [x, y]: the 4 cells [x, y..y+3] as bits 0..3 (y = 1..gro)
  CellGrid columnMax_; // [I, y]: highest K fitting at anchors [I, y-3..y]
  CellGrid cover_;     // [x, y]: highest K of the fitting windows covering [x, y]
};

}  // namespace morvane
