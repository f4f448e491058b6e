// The packed cell plane and the kernels that do the heavy per-pass work on it
// (the generation step and the template scan), one per instruction set,
// registered by name and chosen once by what the CPU offers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "grid.h"
#include "templates.h"

namespace morvane {

// Packed plane layout: one bit per cell [x, y], x and y in -4..GROLIM+5.
//
// Bits run along y: word k of column x holds the 64 cells y = kLow + 64k ..
// kLow + 64k + 63, cell y in bit (y - kLow) % 64, so the vertical neighbours of
// a cell are the next bits (shifts) and its horizontal neighbours the same bit
// of the next columns. Words are stored row of words by row of words: word k of
// column x is at index (k + 1) * kStride + (x - kLow). One row of words thus
// holds the same 64 y values of every column in a row, and a kernel processes
// several columns at once with plain vector loads. Row k = -1 below and row
// k = kWords above are always zero, so a kernel reads a word's neighbours
// without tests; kStride leaves room after the last column for the widest
// vector to run past it.
namespace packed {
inline constexpr int kLow = -4;                                // lowest index in both directions
inline constexpr int kHigh = GROLIM + 5;                       // highest index in both directions
inline constexpr int kColumns = kHigh - kLow + 1;              // columns of cells
inline constexpr int kWords = (kColumns + 63) / 64;            // rows of words holding cells
inline constexpr int kStride = (kColumns + 3 * 8 + 7) / 8 * 8; // words from one row of words to the next
inline constexpr std::size_t kPlaneWords = static_cast<std::size_t>(kWords + 2) * kStride;

// Index of word k of column x (k may be -1 or kWords: the zero rows).
constexpr std::size_t wordIndex(int x, int k) {
  return static_cast<std::size_t>(k + 1) * kStride + static_cast<std::size_t>(x - kLow);
}
// Index of word k of column x in a per-word array without the plane's zero rows
// and padding (k * kColumns + x - kLow), in the plane's order.
constexpr std::size_t compactIndex(int x, int k) {
  return static_cast<std::size_t>(k) * kColumns + static_cast<std::size_t>(x - kLow);
}
// Row of words holding cell y.
constexpr int wordOf(int y) { return (y - kLow) >> 6; }
// Bit of cell y in its word.
constexpr int bitOf(int y) { return (y - kLow) & 63; }
// The bits of row of words k whose cells y lie in low..high.
constexpr std::uint64_t rangeMask(int k, int low, int high) {
  const int first = low - kLow - 64 * k;  // bit of y = low, may lie outside 0..63
  const int last = high - kLow - 64 * k;  // bit of y = high
  if (last < 0 || first > 63) return 0;
  const std::uint64_t upTo = last >= 63 ? ~std::uint64_t{0} : (std::uint64_t{2} << last) - 1;
  const std::uint64_t from = first <= 0 ? ~std::uint64_t{0} : ~((std::uint64_t{1} << first) - 1);
  return upTo & from;
}
}  // namespace packed

// Outcome of the generation step for a cell: index n + 9 * s, where n (0..8)
// is the number of live neighbours and s (0 or 1) the cell's own state.
using StepOutcomes = std::array<bool, 18>;

// The step's outcome table as the kernels evaluate it. A kernel adds the
// three-cell column sums of three neighbouring columns into t = n + s (0..9,
// four bit planes) and makes a cell live where one of the terms holds: t has
// the term's value and the cell's own state is one the term accepts.
struct CompiledRule {
  struct Term {
    std::uint64_t flip[4];  // all ones where bit i of the term's t is 0: t == value iff AND(t_i ^ flip_i)
    std::uint64_t ifDead;   // all ones when a dead cell with this t lives
    std::uint64_t ifLive;   // all ones when a live cell with this t lives
  };
  int count = 0;   // terms in use
  Term terms[10]{};
};

// The rule of `outcomes` compiled into terms (t values that give no live cell are left out).
CompiledRule compileRule(const StepOutcomes& outcomes);

// The cells of a word that fitting windows cover, by run of templates (see
// TemplateRuns); the colouring turns them into classes.
struct CoveredCells {
  std::uint64_t byRun[kRunCount];
};

// What a template scan leaves for the colouring: for every word of 64 cells (at
// packed::compactIndex(x, k) for word k of column x), the cells the fitting
// windows cover, by run. The colouring reads and clears each word, so a scan
// always begins on a cleared cover.
class TemplateCover {
 public:
  // A word of anchors where a template of run `run` fits: bit b of `anchors` set
  // when the window anchored at [x, kLow + 64k + b] fits one.
  struct Found {
    int run;
    std::int16_t x;
    std::int16_t k;
    std::uint64_t anchors;
  };

  // Adds the cells the windows of `count` found words cover (a scan hands them over in batches).
  void add(const Found* found, int count);
  // The cover of every word, for the colouring.
  CoveredCells* words() { return words_.data(); }

 private:
  std::vector<CoveredCells> words_ =
      std::vector<CoveredCells>(static_cast<std::size_t>(packed::kColumns) * packed::kWords);
};

// One word of 64 cells as the colouring sees it: the live cells and, by
// StructureClass, the live cells a recognised structure claims.
struct WordCells {
  std::uint64_t live;
  std::uint64_t painted[3];  // subsets of live, disjoint
};

// One colouring of a colour grid from a packed plane. Per word of 64 cells (at
// packed::compactIndex(x, k) for word k of column x) it has
// the cells the template scan covered, by run, and the cells as the grid
// shows them; words the grid already shows as they are now are not written,
// and each word written is marked in `rewritten`.
template <class Colour>
struct ColourPass {
  const std::uint64_t* live;               // the packed plane
  CoveredCells* covered;                   // per word; read, then cleared
  WordCells* shown;                        // per word: the cells as the grid shows them
  Colour* grid;                            // cell [x, y] at grid[(x - kLow) * span + (y - kLow)]
  std::uint32_t* rewritten;                // [x - kLow]: bit k set when word k of column x was written;
                                           // the columns coloured are cleared first
  std::size_t span;                        // cells per column of the grid
  int gro;                                 // world side: cells -4..gro+5 are coloured
  Colour colours[4];                       // for live cells: unpainted, then by class
};

// Colours cells x, y = -4..gro+5 of the grid: 0 where dead, colours[1 + class]
// where covered (the class of the highest run covering the cell), colours[0]
// where otherwise live.
template <class Colour>
using ColourCells = void (*)(const ColourPass<Colour>& pass);

// A kernel: the step, the template scan and the colour expansion on packed
// planes, built for one instruction set.
struct Kernel {
  std::string_view name;  // "avx512", "avx2" or "generic"
  bool (*runnable)();     // true when this CPU (and its system) runs the kernel
  // Generation step over x, y = 1..gro: writes the next generation of plane `a`
  // into plane `b` in the rows of words holding y = 1..gro, bits outside
  // x, y = 1..gro taken over from `a`; returns the live cells of `a` over 1..gro.
  std::int32_t (*step)(const std::uint64_t* a, std::uint64_t* b, int gro, const CompiledRule& rule);
  // Adds to `cover` (cleared) the cells of every window anchored in 1..gro that a template fits.
  void (*scan)(const std::uint64_t* a, int gro, TemplateCover& cover);
  ColourCells<std::uint16_t> colour16;  // for 16-bit colours (palette indices)
  ColourCells<std::uint32_t> colour32;  // for 32-bit colours (true colours)
};

// Every kernel built into this binary, best first; the last one runs everywhere.
std::span<const Kernel* const> registeredKernels();

namespace packed {
// Whether the CPU and its system run each kernel (the kernel_*.cpp files name them).
bool hasAvx2();
bool hasAvx512();
bool runsEverywhere();
}  // namespace packed

// The best kernel this CPU runs, chosen on first use.
const Kernel& chosenKernel();

}  // namespace morvane
