#include "cell_world.h"

#include <algorithm>
#include <utility>

namespace morvane {

using namespace packed;

void CellWorld::Plane::cover(int rowCount, int columnCount) {
  rows = std::max(rows, rowCount);
  columns = std::max(columns, columnCount);
}

CellWorld::CellWorld(const Kernel& kernel) : kernel_(&kernel) {
  current_.words = std::make_unique<std::uint64_t[]>(kPlaneWords);
  next_.words = std::make_unique<std::uint64_t[]>(kPlaneWords);
}

void CellWorld::set(int x, int y, bool alive) {
  std::uint64_t& word = current_.words[wordIndex(x, wordOf(y))];
  const std::uint64_t mask = std::uint64_t{1} << bitOf(y);
  word = alive ? word | mask : word & ~mask;
  if (alive) current_.cover(wordOf(y) + 1, x - kLow + 1);
  populationGro_ = 0;
}

void CellWorld::wrapMargin(int gro) {
  const int high = gro + 5;
  current_.cover(wordOf(high) + 1, high - kLow + 1);
  populationGro_ = 0;
  // Lines: y = -4..0 from y = gro-5..gro-1, then y = gro..gro+4 from y = 1..5.
  if (gro >= 6) {
    copyLines(gro - 5, -4, kLow, high);
    copyLines(1, gro, kLow, high);
  } else {
    // Sources and targets overlap: cell by cell, in the copies' order.
    for (int j = 1; j <= 5; ++j) {
      for (int i = kLow; i <= high; ++i) set(i, j - 5, cell(i, j + gro - 6));
    }
    for (int j = 1; j <= 5; ++j) {
      for (int i = kLow; i <= high; ++i) set(i, j + gro - 1, cell(i, j));
    }
  }
  // Columns, over the whole height -4..gro+5 so the corners get the opposite corner.
  const int rows = wordOf(high) + 1;
  for (int j = 1; j <= 5; ++j) copyColumn(j + gro - 6, j - 5, rows, high);
  for (int j = 1; j <= 5; ++j) copyColumn(j, j + gro - 1, rows, high);
}

void CellWorld::copyLines(int from, int to, int low, int high) {
  const int source = from - kLow;  // bit number of y = from within its column
  const int target = to - kLow;
  const int shiftIn = source & 63;
  const int shiftOut = target & 63;
  constexpr std::uint64_t kField = 31;  // five cells
  const std::uint64_t lowMask = kField << shiftOut;
  const std::uint64_t highMask = (kField >> 1) >> (63 - shiftOut);  // part spilling into the next word
  std::uint64_t* words = current_.words.get();
  const std::uint64_t* in0 = words + wordIndex(kLow, source >> 6);
  const std::uint64_t* in1 = words + wordIndex(kLow, (source >> 6) + 1);
  std::uint64_t* out0 = words + wordIndex(kLow, target >> 6);
  std::uint64_t* out1 = words + wordIndex(kLow, (target >> 6) + 1);
  for (int i = low - kLow; i <= high - kLow; ++i) {
    const std::uint64_t field = ((in0[i] >> shiftIn) | ((in1[i] << 1) << (63 - shiftIn))) & kField;
    out0[i] = (out0[i] & ~lowMask) | (field << shiftOut);
    out1[i] = (out1[i] & ~highMask) | ((field >> 1) >> (63 - shiftOut));
  }
}

void CellWorld::copyColumn(int from, int to, int rows, int top) {
  std::uint64_t* words = current_.words.get();
  for (int k = 0; k < rows; ++k) {
    const std::uint64_t copied = rangeMask(k, kLow, top);
    std::uint64_t& target = words[wordIndex(to, k)];
    target = (words[wordIndex(from, k)] & copied) | (target & ~copied);
  }
}

void CellWorld::step(int gro, const CompiledRule& rule) {
  population_ = kernel_->step(current_.words.get(), next_.words.get(), gro, rule);
  populationGro_ = gro;
  // The kernel wrote columns 1..gro of the rows holding 1..gro; everything
  // else that may hold a live cell in either plane is taken over from A.
  const int firstRow = wordOf(1);
  const int lastRow = wordOf(gro);
  const int rows = std::max({current_.rows, next_.rows, lastRow + 1});
  const int columns = std::max({current_.columns, next_.columns, gro + 1 - kLow});
  const auto copy = [&](int k, int firstColumn, int endColumn) {
    if (endColumn <= firstColumn) return;
    std::copy(&current_.words[wordIndex(kLow, k)] + firstColumn, &current_.words[wordIndex(kLow, k)] + endColumn,
              &next_.words[wordIndex(kLow, k)] + firstColumn);
  };
  for (int k = 0; k < rows; ++k) {
    if (k < firstRow || k > lastRow) {
      copy(k, 0, columns);
    } else {
      copy(k, 0, 1 - kLow);
      copy(k, gro + 1 - kLow, columns);
    }
  }
  next_.rows = std::max(current_.rows, lastRow + 1);
  next_.columns = std::max(current_.columns, gro + 1 - kLow);
  pending_ = true;
}

std::int32_t CellWorld::countLive(int gro) const {
  if (populationGro_ == gro) return population_;
  std::int32_t live = 0;
  for (int k = wordOf(1); k <= wordOf(gro); ++k) {
    const std::uint64_t rows = rangeMask(k, 1, gro);
    for (int x = 1; x <= gro; ++x) live += __builtin_popcountll(word(x, k) & rows);
  }
  return live;
}

void CellWorld::commit() {
  if (!pending_) return;
  std::swap(current_, next_);
  pending_ = false;
  populationGro_ = 0;
}

void CellWorld::scanTemplates(int gro, TemplateCover& cover) const {
  kernel_->scan(current_.words.get(), gro, cover);
}

void CellWorld::colour(ColourPass<std::uint16_t>& pass) const {
  pass.live = current_.words.get();
  kernel_->colour16(pass);
}

void CellWorld::colour(ColourPass<std::uint32_t>& pass) const {
  pass.live = current_.words.get();
  kernel_->colour32(pass);
}

}  // namespace morvane
