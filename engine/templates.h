// The 27 structure templates that the colouring recognises, their colour
// classes, and the lookup table that lets the scan test all of them at once.
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
extern const std::array<Template, kTemplateCount> D;

// The colour class of template K, at index K-1.
extern const std::array<StructureClass, kTemplateCount> kTemplateClass;

// Code of a 4 by 4 window: bit (L-1)*4 + (M-1) is set when cell [I+L-1, J+M-1]
// is alive. With that packing, column I+L-1 of the window is the nibble at bit
// 4*(L-1), its cell J+M-1 being bit M-1 of the nibble.
using WindowCode = std::uint16_t;

// For every window code, the highest K whose template fits such a window, or 0
// when none fits. Built once on first use, read-only afterwards.
const std::array<std::uint8_t, 65536>& highestFittingTemplate();

}  // namespace morvane
