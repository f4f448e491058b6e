// A plain reference implementation of the Life engine's world operations,
// written loop for loop as the rules read, with no regard for speed. The
// differential test checks the production engine against it cell for cell,
// and the benchmark runs it side by side with the production code.
#pragma once

#include <array>
#include <cstdint>

#include "grid.h"

namespace morvane::oracle {

// The world state the reference operations work on.
struct World {
  int GRO = 200;                                   // world side, 1..GROLIM
  bool EDGE = true;                                // wrap the world into a torus
  std::array<std::int16_t, 9> RULES{0, 0, 2, 1, 0, 0, 0, 0, 0};  // rule by neighbour count
  std::array<bool, 9> RULESBOO{};                  // outcome table of the cell being computed
  Grid<std::uint8_t> A;                            // current generation, 1 = live
  Grid<std::uint8_t> B;                            // next generation
  std::int32_t SAME = 1;                           // latest population count
  std::array<std::int32_t, 22> SAM{};              // population history, [1] latest
  std::int32_t SAMEBOO = 0;                        // minus the matches of SAM[1] in SAM[2..20]
  std::int32_t SAMEBOO2 = 0;                       // SAMEBOO before the latest update
};

// Margin update: the four copy loops, lines then columns, offset GRO-1.
void marginUpdate(World& w);

// Generation step, rebuilding RULESBOO for every cell.
void generationStep(World& w);

// Population history update.
void historyUpdate(World& w);

// Copy of B back into A over the world.
void copyBack(World& w);

// Entry D[K][L][M] of the structure templates (K 1..27, L, M 1..4): 0, 1 or 2.
int templateEntry(int K, int L, int M);

// Colour class letter of template K: 'M' moving, 'C' cycling, 'S' still.
char templateClass(int K);

// Colouring: fill over -4..GRO+5, then the template scan with K outermost.
template <class Colours>
void colour(const World& w, Grid<typename Colours::Colour>& C, bool withTemplates) {
  using Colour = typename Colours::Colour;
  for (int I = -4; I <= w.GRO + 5; ++I) {
    for (int J = -4; J <= w.GRO + 5; ++J) C(I, J) = w.A(I, J) ? Colours::CN : Colour{0};
  }
  if (!withTemplates) return;
  for (int K = 1; K <= 27; ++K) {
    const char cls = templateClass(K);
    const Colour DC = cls == 'M' ? Colours::CM : cls == 'C' ? Colours::CC : Colours::CS;
    for (int I = 1; I <= w.GRO; ++I) {
      for (int J = 1; J <= w.GRO; ++J) {
        bool LIFE = true;
        for (int L = 1; L <= 4; ++L) {
          for (int M = 1; M <= 4; ++M) {
            const int v = templateEntry(K, L, M);
            const bool c = w.A(I + L - 1, J + M - 1) != 0;
            if (v == 1 && !c) LIFE = false;
            if (v == 0 && c) LIFE = false;
          }
        }
        if (!LIFE) continue;
        for (int L = 1; L <= 4; ++L) {
          for (int M = 1; M <= 4; ++M) {
            if (C(I + L - 1, J + M - 1) != 0) C(I + L - 1, J + M - 1) = DC;
          }
        }
      }
    }
  }
}

}  // namespace morvane::oracle
