#include "templates.h"

namespace morvane {

namespace {
constexpr StructureClass kM = StructureClass::kMoving;
constexpr StructureClass kC = StructureClass::kCycling;
constexpr StructureClass kS = StructureClass::kStill;
}  // namespace

const std::array<Template, kTemplateCount> D = {{
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

const std::array<StructureClass, kTemplateCount> kTemplateClass = {
    kM, kM, kM, kM, kM, kM, kM, kM,  // 1..8: moving
    kC, kC,                          // 9, 10: cycling
    kS, kS, kS, kS, kS, kS,          // 11..16: still
    kC, kC, kC, kC, kC, kC, kC, kC, kC, kC,  // 17..26: cycling
    kS,                              // 27: still
};

namespace {

// The bits of a window code that a template tests, and which of them must be set.
struct TemplateMasks {
  WindowCode tested;  // positions whose entry is 0 or 1
  WindowCode alive;   // positions whose entry is 1
};

TemplateMasks masksOf(const Template& t) {
  TemplateMasks masks{0, 0};
  for (int l = 0; l < 4; ++l) {
    for (int m = 0; m < 4; ++m) {
      const auto bit = static_cast<WindowCode>(1u << (l * 4 + m));
      if (t[l][m] != kAnyState) masks.tested |= bit;
      if (t[l][m] == kMustBeAlive) masks.alive |= bit;
    }
  }
  return masks;
}

std::array<std::uint8_t, 65536> buildFitTable() {
  std::array<std::uint8_t, 65536> table{};
  // Lower templates first, so a higher K that also fits overwrites them.
  for (int k = 1; k <= kTemplateCount; ++k) {
    const TemplateMasks masks = masksOf(D[k - 1]);
    for (std::uint32_t code = 0; code < table.size(); ++code) {
      if ((code & masks.tested) == masks.alive) table[code] = static_cast<std::uint8_t>(k);
    }
  }
  return table;
}

}  // namespace

const std::array<std::uint8_t, 65536>& highestFittingTemplate() {
  static const std::array<std::uint8_t, 65536> table = buildFitTable();
  return table;
}

}  // namespace morvane
