#include "kernels.h"

#include <algorithm>
#include <cstring>

#include "templates.h"

namespace morvane {

namespace {

constexpr int kSpan = CellGrid::kSpan;

// Column x of a grid shifted so that p[y] is cell [x, y] (y may be -4..GROLIM+5).
inline std::uint8_t* at(CellGrid& g, int x) { return g.column(x) - CellGrid::kLow; }
inline const std::uint8_t* at(const CellGrid& g, int x) { return g.column(x) - CellGrid::kLow; }

}  // namespace

void wrapMargin(CellGrid& A, int gro) {
  const int high = gro + 5;
  // Lines: y = -4..0 from y = gro-5..gro-1, then y = gro..gro+4 from y = 1..5.
  // The order matters for gro below 6, where sources and targets overlap.
  for (int j = 1; j <= 5; ++j) {
    for (int i = CellGrid::kLow; i <= high; ++i) A(i, j - 5) = A(i, j + gro - 6);
  }
  for (int j = 1; j <= 5; ++j) {
    for (int i = CellGrid::kLow; i <= high; ++i) A(i, j + gro - 1) = A(i, j);
  }
  // Columns, over the whole height -4..gro+5 so the corners get the opposite corner.
  const auto height = static_cast<std::size_t>(high - CellGrid::kLow + 1);
  for (int j = 1; j <= 5; ++j) std::memmove(A.column(j - 5), A.column(j + gro - 6), height);
  for (int j = 1; j <= 5; ++j) std::memmove(A.column(j + gro - 1), A.column(j), height);
}

void stepCells(const CellGrid& A, CellGrid& B, int gro, const StepOutcomes& outcomes) {
  // The outcome indices that give a live cell; each becomes one compare pass.
  std::array<std::uint8_t, 18> alive{};
  int aliveCount = 0;
  for (int i = 0; i < 18; ++i) {
    if (outcomes[i]) alive[aliveCount++] = static_cast<std::uint8_t>(i);
  }
  alignas(64) std::uint8_t index[kSpan];  // n + 9 * state, [y] for y = 1..gro
  for (int x = 1; x <= gro; ++x) {
    const std::uint8_t* __restrict l = at(A, x - 1);
    const std::uint8_t* __restrict c = at(A, x);
    const std::uint8_t* __restrict r = at(A, x + 1);
    std::uint8_t* __restrict b = at(B, x);
    for (int y = 1; y <= gro; ++y) {
      index[y] = static_cast<std::uint8_t>(l[y - 1] + l[y] + l[y + 1] + c[y - 1] + c[y + 1] +
                                           r[y - 1] + r[y] + r[y + 1] + 9 * c[y]);
    }
    std::memset(b + 1, 0, static_cast<std::size_t>(gro));
    for (int k = 0; k < aliveCount; ++k) {
      const std::uint8_t wanted = alive[k];
      for (int y = 1; y <= gro; ++y) b[y] |= static_cast<std::uint8_t>(index[y] == wanted);
    }
  }
}

std::int32_t countLive(const CellGrid& A, int gro) {
  std::int32_t total = 0;
  for (int x = 1; x <= gro; ++x) {
    const std::uint8_t* __restrict c = at(A, x);
    std::uint32_t column = 0;  // at most GROLIM
    for (int y = 1; y <= gro; ++y) column += c[y];
    total += static_cast<std::int32_t>(column);
  }
  return total;
}

void copyWorld(const CellGrid& B, CellGrid& A, int gro) {
  for (int x = 1; x <= gro; ++x) std::memcpy(at(A, x) + 1, at(B, x) + 1, static_cast<std::size_t>(gro));
}

void TemplateScanner::run(const CellGrid& A, int gro) {
  // Vertical nibbles of every column a window can reach (x up to gro+3).
  for (int x = 1; x <= gro + 3; ++x) {
    const std::uint8_t* __restrict a = at(A, x);
    std::uint8_t* __restrict n = at(nibbles_, x);
    for (int y = 1; y <= gro; ++y) {
      n[y] = static_cast<std::uint8_t>(a[y] | a[y + 1] << 1 | a[y + 2] << 2 | a[y + 3] << 3);
    }
  }
  for (int anchorX = 1; anchorX <= gro; ++anchorX) fitColumn(anchorX, gro);
  // A cell [x, y] is covered by the windows anchored at x-3..x (within 1..gro).
  for (int x = 1; x <= gro + 3; ++x) {
    std::uint8_t* __restrict cover = at(cover_, x);
    std::memset(cover + 1, 0, static_cast<std::size_t>(gro + 3));
    for (int anchorX = std::max(1, x - 3); anchorX <= std::min(gro, x); ++anchorX) {
      const std::uint8_t* __restrict m = at(columnMax_, anchorX);
      for (int y = 1; y <= gro + 3; ++y) cover[y] = std::max(cover[y], m[y]);
    }
  }
}

void TemplateScanner::fitColumn(int anchorX, int gro) {
  const auto& table = highestFittingTemplate();
  const std::uint8_t* n0 = at(nibbles_, anchorX);
  const std::uint8_t* n1 = at(nibbles_, anchorX + 1);
  const std::uint8_t* n2 = at(nibbles_, anchorX + 2);
  const std::uint8_t* n3 = at(nibbles_, anchorX + 3);
  alignas(64) WindowCode codes[kSpan];  // [y]: code of the window anchored at [anchorX, y]
  for (int y = 1; y <= gro; ++y) {
    codes[y] = static_cast<WindowCode>(n0[y] | n1[y] << 4 | n2[y] << 8 | n3[y] << 12);
  }
  // fit[y + 3]: the template fitting at anchor [anchorX, y], 0 outside y = 1..gro.
  alignas(64) std::uint8_t fit[kSpan + 8];
  std::memset(fit, 0, 4);
  std::memset(fit + gro + 4, 0, 3);
  // Empty windows fit nothing; runs of them are common, so they are skipped in blocks.
  constexpr int kBlock = 16;
  for (int first = 1; first <= gro; first += kBlock) {
    const int last = std::min(gro, first + kBlock - 1);
    WindowCode any = 0;
    for (int y = first; y <= last; ++y) any |= codes[y];
    if (any == 0) {
      std::memset(fit + first + 3, 0, static_cast<std::size_t>(last - first + 1));
      continue;
    }
#pragma GCC unroll 8
    for (int y = first; y <= last; ++y) fit[y + 3] = table[codes[y]];
  }
  // Windows anchored at y-3..y cover cell y.
  std::uint8_t* __restrict m = at(columnMax_, anchorX);
  for (int y = 1; y <= gro + 3; ++y) {
    const std::uint8_t upper = fit[y] > fit[y + 1] ? fit[y] : fit[y + 1];
    const std::uint8_t lower = fit[y + 2] > fit[y + 3] ? fit[y + 2] : fit[y + 3];
    m[y] = upper > lower ? upper : lower;
  }
}

}  // namespace morvane
