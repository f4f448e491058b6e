// The cell world: the current generation A and the next generation B, each a
// packed plane (see kernels.h), behind the few operations the engine needs.
// The heavy ones run on the kernel chosen for the CPU.
#pragma once

#include <cstdint>
#include <memory>

#include "kernels.h"

namespace morvane {

class CellWorld {
 public:
  // An empty world whose step and scan run on `kernel`.
  explicit CellWorld(const Kernel& kernel = chosenKernel());

  // A[x, y]: the cell of the current generation (x, y in -4..GROLIM+5).
  bool cell(int x, int y) const { return bit(current_, x, y); }
  // Sets A[x, y] (x, y in -4..GROLIM+5) alive or dead.
  void set(int x, int y, bool alive);
  // B[x, y]: the cell of the generation last stepped, over 1..gro of that step
  // (after commit() it is read from A, which it was copied into).
  bool next(int x, int y) const { return bit(pending_ ? next_ : current_, x, y); }

  // Margin update: joins opposite edges of the world with offset gro - 1, in the
  // four copies' fixed order (lines first, then columns over the whole height -4..gro+5).
  void wrapMargin(int gro);
  // Generation step: B := the next generation of A over x, y = 1..gro by `rule`.
  void step(int gro, const CompiledRule& rule);
  // Live cells of A over x, y = 1..gro (counted by the step when A has not changed since).
  std::int32_t countLive(int gro) const;
  // A := B over 1..gro of the last step; the rest of A is left alone. Nothing without a step.
  void commit();
  // Adds to `cover` the cells of every window of A anchored in 1..gro that a template fits.
  void scanTemplates(int gro, TemplateCover& cover) const;
  // Colours pass.grid from A (see ColourPass; pass.live is set here).
  void colour(ColourPass<std::uint16_t>& pass) const;
  void colour(ColourPass<std::uint32_t>& pass) const;

  // Word k of column x of A: cells y = -4 + 64k .. -4 + 64k + 63 in bits 0..63.
  std::uint64_t word(int x, int k) const { return current_.words[packed::wordIndex(x, k)]; }
  // The kernel the step and the scan run on.
  const Kernel& kernel() const { return *kernel_; }

 private:
  // A packed plane and the part of it that may hold live cells.
  struct Plane {
    std::unique_ptr<std::uint64_t[]> words;  // packed::kPlaneWords words, zero at start
    int rows = 0;     // rows of words 0..rows-1 may hold live cells
    int columns = 0;  // column indices (x + 4) 0..columns-1 may hold live cells
    void cover(int rowCount, int columnCount);  // widens rows and columns to at least these
  };

  static bool bit(const Plane& plane, int x, int y) {
    return (plane.words[packed::wordIndex(x, packed::wordOf(y))] >> packed::bitOf(y) & 1) != 0;
  }
  // The 5 cells from..from+4 of columns low..high copied to to..to+4.
  void copyLines(int from, int to, int low, int high);
  // Words of rows 0..rows-1 of column `from` copied to column `to`; cells above y = top kept.
  void copyColumn(int from, int to, int rows, int top);

  const Kernel* kernel_;
  Plane current_;  // A
  Plane next_;     // B while a step waits for its commit; scratch otherwise
  bool pending_ = false;  // next_ holds a step not yet committed
  std::int32_t population_ = 0;  // live cells of A over 1..populationGro_
  int populationGro_ = 0;        // world side population_ was counted for; 0: A changed since
};

}  // namespace morvane
