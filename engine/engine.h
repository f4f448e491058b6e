// The Life engine: world model, run parameters, counters, the run loop and its
// operations (seeding, margin update, generation step, population history,
// stagnation test, perturbation, colouring and the status panel text).
//
// One engine serves all three programs; what tells them apart is the
// Deliverable it is built with and the colour class it is instantiated for.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "cell_world.h"
#include "colour_changes.h"
#include "colours.h"
#include "deliverable.h"
#include "frontend.h"
#include "grid.h"
#include "kernels.h"
#include "templates.h"

namespace morvane {

// Depth of the population history (entries 1..SAMEDES+1 are kept).
inline constexpr std::int32_t SAMEDES = 20;

template <class Colours>
class Engine {
 public:
  using Colour = typename Colours::Colour;

  // Builds an engine whose run parameters are those of `deliverable`, stepping
  // and scanning its world on `kernel` (by default the best one this CPU runs).
  explicit Engine(const Deliverable& deliverable, const Kernel& kernel = chosenKernel());

  // Start sequence after the window is open: checks the parameters, seeds the
  // world (INIT2 with GUN, INIT otherwise) and resets the counters.
  void start();

  // Checks the run parameters the operations depend on (GRO, OUTSTEP, TEXTSTEP)
  // and takes them for the run, ending the process with a range error when one
  // is out of range. start() begins with it; the operations use the values
  // taken, so a parameter changed later counts only after the next check.
  void checkParameters();

  // One pass of the run loop, handing over to `frontEnd` at its fixed points.
  void pass(FrontEnd<Colour>& frontEnd);

  // Runs passes for ever.
  [[noreturn]] void run(FrontEnd<Colour>& frontEnd);

  // --- seeding ---
  // Seeds the generator from the clock, then seeds A at random or with the block.
  void INIT();
  // Seeds A with the glider gun; the generator is left alone.
  void INIT2();
  // Seeds the pseudo-random generator (INIT seeds it from the clock).
  void seedRandom(std::uint32_t seed) { random_.seed(seed); }

  // --- the operations of a pass ---
  // Stagnation test: raises OVER when SAMEBOO < -2 and SAMEBOO = SAMEBOO2.
  void testStagnation();
  // Colouring of C from A: the fill, then (with templates) the structure scan.
  void colour();
  // The text of panel line K (10 = top .. 1 = bottom).
  std::string panelLine(std::int32_t K) const;
  // Margin update: wraps the world into a torus of period GRO-1.
  void updateMargin();
  // Generation step: B := next generation of A over 1..GRO by RULES.
  void step();
  // Population history update from A: SAME, SAM, SAMEBOO2, SAMEBOO.
  void updateHistory();
  // Commit: A := B over 1..GRO (the margin of A is left alone).
  void commit();
  // Perturbation: ADDRAND cells set alive at random in 1..GRO-1.
  void perturb();
  // True when the display phase runs on this pass.
  bool displayDue() const;
  // True when the panel phase runs on this pass.
  bool panelDue() const;

  // --- run parameters, set by the constructor, read-only during a run ---
  std::int16_t GRO;          // world side in cells, 1..GROLIM
  std::int16_t OUTSTEP = 2;  // display cadence divisor, nonzero
  std::int16_t TEXTSTEP = 2; // panel cadence divisor, nonzero
  std::int16_t RANSTEP = 10; // random seeding: a cell starts alive with probability 1/RANSTEP
  std::int16_t ADDRAND = 0;  // cells added at random by each perturbation
  std::int16_t WIDTH = 10;   // block seeding: extent along x, cells
  std::int16_t LONG = 10;    // block seeding: extent along y, cells
  bool EDGE = true;          // true: the world wraps; false: bounded by dead cells
  bool RAND = true;          // without GUN: true seeds at random, false seeds the block
  bool GUN = false;          // true: seed the glider gun (INIT2)
  // Rule table by live-neighbour count 0..8: 0 dead next, 1 alive next, 2 unchanged.
  std::array<std::int16_t, 9> RULES{0, 0, 2, 1, 0, 0, 0, 0, 0};
  // Outcome table of the last cell stepped (true = alive next); an entry whose
  // rule is outside 0..2 keeps its value.
  std::array<bool, 9> RULESBOO{};

  // --- counters and flags ---
  std::int64_t STEP = 0;   // pass counter shown as the generation number; 64-bit so it never overflows
  std::int32_t SAME = 1;   // population counted by the latest history update, cells
  std::array<std::int32_t, SAMEDES + 2> SAM{};  // [1] latest count, [k] the count k-1 passes earlier
  std::int32_t SAMEBOO = 0;   // minus the number of entries 2..SAMEDES equal to SAM[1]
  std::int32_t SAMEBOO2 = 0;  // SAMEBOO before the latest history update
  bool OVER = false;   // stagnation flag
  bool OVER2 = false;  // OVER as it was when the current pass began

  // --- the world over [-4..GROLIM+5, -4..GROLIM+5] ---
  // A[x, y]: the current generation, true = live.
  bool A(int x, int y) const { return world_.cell(x, y); }
  // Sets A[x, y] live or dead.
  void setA(int x, int y, bool alive) { world_.set(x, y, alive); }
  // B[x, y]: the next generation, as computed over 1..GRO by the latest step.
  bool B(int x, int y) const { return world_.next(x, y); }
  Grid<Colour> C;    // colour of each cell: 0 dead, else CN, CS, CC or CM

 private:
  // A uniform draw in 0..n-1 (n >= 1) from the program's generator.
  std::int32_t draw(std::int32_t n);
  // Sets the WIDTH by LONG block at the world's first cell, clipped to the world.
  void seedBlock(int gro);
  // Colours C over -4..GRO+5: 0 where A is dead, else the colour of the class of
  // the highest K whose window the scan found covering the cell, else CN; clears
  // the scan's cover.
  // Words of 64 cells that C already shows as they are now are not written;
  // those written are marked in changes_.
  void fill();
  // The step's outcome for every neighbour count and own state, from RULES and RULESBOO.
  StepOutcomes compileRules() const;

  Deliverable deliverable_;  // what tells this program's engine apart
  int gro_;                  // GRO as checked, 1..GROLIM
  int outstep_;              // OUTSTEP as checked, nonzero
  int textstep_;             // TEXTSTEP as checked, nonzero
  std::mt19937 random_;      // the program's single pseudo-random generator
  CellWorld world_;          // A and B
  TemplateCover cover_;      // what the template scan found, for the colouring
  // What the colouring keeps for each 64-cell word of the world, at
  // packed::compactIndex(x, k) for word k of column x.
  static constexpr std::size_t kWordCount = static_cast<std::size_t>(packed::kColumns) * packed::kWords;
  // [word]: the cells as C shows them.
  std::vector<WordCells> shown_ = std::vector<WordCells>(kWordCount);
  // The bands of C the latest colouring rewrote, for the display phase.
  ColourChanges changes_;
};

extern template class Engine<PaletteColours>;
extern template class Engine<TrueColours>;

}  // namespace morvane
