// What tells the three programs' engines apart: world side, display cadence
// and how the world is coloured.
#pragma once

#include <cstdint>

namespace morvane {

// How the display phase colours the world.
enum class Colouring {
  kTemplates,  // fill, then paint the structures that the 4 by 4 templates recognise
  kFillOnly,   // every live cell CN, every dead cell 0
};

// What tells the three programs' engines apart (everything else is shared).
struct Deliverable {
  std::int16_t GRO;             // side of the world in cells, 1..GROLIM
  std::int32_t displayRemainder;  // the display phase runs when STEP mod OUTSTEP equals this
  Colouring colouring;
};

inline constexpr Deliverable kMorvane{200, 1, Colouring::kTemplates};
inline constexpr Deliverable kMorvaneDisplay{200, 1, Colouring::kTemplates};
inline constexpr Deliverable kMorvaneDisplay2{600, 0, Colouring::kFillOnly};

}  // namespace morvane
