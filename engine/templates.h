// The 27 structure templates that the colouring recognises, their colour
// classes, and each template as the two bit masks the packed scan tests.
#pragma once

#include <array>
#include <cstdint>

namespace morvane {

// Number of structure templates.
inline constexpr int kTemplateCount = 27;

// Entry of a template: what the cell under that position must be.
inline constexpr std::int16_t kMustBeDead = 0;   // the cell must be dead
inline constexpr std::int16_t kMustBeAlive = 1;  // the cell must be alive
inline constexpr std::int16_t kAnyState = 2;     // the cell is not tested

// The colour class a recognised structure is painted in.
enum class StructureClass : std::uint8_t {
  kMoving,   // CM
  kCycling,  // CC
  kStill,    // CS
};

// One 4 by 4 template: entry [L-1][M-1] is compared with cell [I+L-1, J+M-1]
// of the window anchored at [I, J], so L runs along x and M along y.
using Template = std::array<std::array<std::int16_t, 4>, 4>;

// The templates D[K-1] for K = 1..27, in the order the scan tries them.
inline constexpr std::array<Template, kTemplateCount> D = {{
    {{{0, 2, 1, 2}, {1, 0, 1, 2}, {0, 2, 1, 2}, {2, 2, 2, 2}}},  // 1
    {{{1, 2, 0, 2}, {1, 0, 1, 2}, {1, 2, 0, 2}, {2, 2, 2, 2}}},  // 2
    {{{1, 1, 1, 2}, {2, 0, 2, 2}, {0, 1, 0, 2}, {2, 2, 2, 2}}},  // 3
    {{{0, 1, 0, 2}, {2, 0, 2, 2}, {1, 1, 1, 2}, {2, 2, 2, 2}}},  // 4
    {{{0, 1, 0, 2}, {2, 1, 2, 2}, {1, 0, 1, 2}, {2, 2, 2, 2}}},  // 5
    {{{1, 0, 1, 2}, {2, 1, 2, 2}, {0, 1, 0, 2}, {2, 2, 2, 2}}},  // 6
    {{{0, 2, 1, 2}, {1, 1, 0, 2}, {0, 2, 1, 2}, {2, 2, 2, 2}}},  // 7
    {{{1, 2, 0, 2}, {0, 1, 1, 2}, {1, 2, 0, 2}, {2, 2, 2, 2}}},  // 8
    {{{0, 0, 0, 2}, {1, 1, 1, 2}, {0, 0, 0, 2}, {2, 2, 2, 2}}},  // 9
    {{{0, 1, 0, 2}, {0, 1, 0, 2}, {0, 1, 0, 2}, {2, 2, 2, 2}}},  // 10
    {{{2, 1, 2, 2}, {1, 0, 1, 2}, {2, 1, 2, 2}, {2, 2, 2, 2}}},  // 11
    {{{2, 1, 2, 2}, {1, 0, 1, 2}, {1, 0, 1, 2}, {2, 1, 2, 2}}},  // 12
    {{{2, 1, 1, 2}, {1, 0, 0, 1}, {2, 1, 1, 2}, {2, 2, 2, 2}}},  // 13
    {{{2, 1, 1, 2}, {1, 0, 0, 1}, {1, 0, 0, 1}, {2, 1, 1, 2}}},  // 14
    {{{2, 1, 2, 2}, {1, 0, 2, 2}, {2, 2, 0, 1}, {2, 2, 1, 2}}},  // 15
    {{{2, 2, 1, 2}, {2, 2, 0, 1}, {1, 0, 2, 2}, {2, 1, 2, 2}}},  // 16
    {{{2, 2, 2, 2}, {2, 1, 1, 1}, {1, 1, 1, 2}, {2, 2, 2, 2}}},  // 17
    {{{2, 2, 2, 2}, {1, 1, 1, 2}, {2, 1, 1, 1}, {2, 2, 2, 2}}},  // 18
    {{{2, 2, 1, 2}, {2, 1, 1, 2}, {2, 1, 1, 2}, {2, 1, 2, 2}}},  // 19
    {{{2, 1, 2, 2}, {2, 1, 1, 2}, {2, 1, 1, 2}, {2, 2, 1, 2}}},  // 20
    {{{2, 0, 1, 2}, {1, 0, 0, 1}, {1, 0, 0, 1}, {2, 1, 0, 2}}},  // 21
    {{{2, 1, 0, 2}, {1, 0, 0, 1}, {1, 0, 0, 1}, {2, 0, 1, 2}}},  // 22
    {{{2, 1, 1, 2}, {0, 0, 0, 1}, {1, 0, 0, 0}, {2, 1, 1, 2}}},  // 23
    {{{2, 1, 1, 2}, {1, 0, 0, 0}, {0, 0, 0, 1}, {2, 1, 1, 2}}},  // 24
    {{{1, 1, 2, 2}, {1, 0, 2, 2}, {2, 2, 0, 1}, {2, 2, 1, 1}}},  // 25
    {{{2, 2, 1, 1}, {2, 2, 0, 1}, {1, 0, 2, 2}, {1, 1, 2, 2}}},  // 26
    {{{2, 0, 0, 2}, {0, 1, 1, 0}, {0, 1, 1, 0}, {2, 0, 0, 2}}},  // 27
}};

// The colour class of template K, at index K-1.
inline constexpr std::array<StructureClass, kTemplateCount> kTemplateClass = {
    StructureClass::kMoving, StructureClass::kMoving, StructureClass::kMoving, StructureClass::kMoving,  // 1..4: moving
    StructureClass::kMoving, StructureClass::kMoving, StructureClass::kMoving, StructureClass::kMoving,  // 5..8: moving
    StructureClass::kCycling, StructureClass::kCycling,  // 9, 10: cycling
    StructureClass::kStill, StructureClass::kStill, StructureClass::kStill,  // 11..13: still
    StructureClass::kStill, StructureClass::kStill, StructureClass::kStill,  // 14..16: still
    StructureClass::kCycling, StructureClass::kCycling, StructureClass::kCycling,  // 17..19: cycling
    StructureClass::kCycling, StructureClass::kCycling, StructureClass::kCycling,  // 20..22: cycling
    StructureClass::kCycling, StructureClass::kCycling, StructureClass::kCycling,  // 23..25: cycling
    StructureClass::kCycling, StructureClass::kStill,  // 26: cycling, 27: still
};

// The templates in order of K fall into runs of the same class (1..8 moving,
// 9..10 cycling, ...). The class of a cell is that of the highest K whose window
// covers it, which is the class of the highest run whose windows cover it, so
// the windows of a run can be gathered in any order. Plain arrays: the kernels
// read them.
struct TemplateRuns {
  int count;                                // runs
  int runOf[kTemplateCount];                // [K-1]: the run of template K, 0..count-1, rising with K
  StructureClass classOf[kTemplateCount];   // [run]: the run's class (entries 0..count-1 used)
};

// The runs of kTemplateClass.
constexpr TemplateRuns makeTemplateRuns() {
  TemplateRuns runs{0, {}, {}};
  for (int K = 1; K <= kTemplateCount; ++K) {
    const StructureClass cls = kTemplateClass[static_cast<std::size_t>(K - 1)];
    if (runs.count == 0 || runs.classOf[runs.count - 1] != cls) runs.classOf[runs.count++] = cls;
    runs.runOf[K - 1] = runs.count - 1;
  }
  return runs;
}
inline constexpr TemplateRuns kTemplateRuns = makeTemplateRuns();
inline constexpr int kRunCount = kTemplateRuns.count;

// A template as bit masks over the 16 cells of its window: bit (L-1)*4 + (M-1)
// stands for cell [I+L-1, J+M-1] of the window anchored at [I, J].
struct TemplateMasks {
  std::uint16_t tested;  // cells whose entry is 0 or 1
  std::uint16_t alive;   // cells whose entry is 1
};

// The masks of template t.
constexpr TemplateMasks masksOf(const Template& t) {
  TemplateMasks masks{0, 0};
  for (int l = 0; l < 4; ++l) {
    for (int m = 0; m < 4; ++m) {
      const auto bit = static_cast<std::uint16_t>(1u << (l * 4 + m));
      if (t[l][m] != kAnyState) masks.tested |= bit;
      if (t[l][m] == kMustBeAlive) masks.alive |= bit;
    }
  }
  return masks;
}

}  // namespace morvane
