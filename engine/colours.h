// The colour classes of each kind of screen the engine colours its world for.
#pragma once

#include <cstdint>

namespace morvane {

// Colour classes on a palette screen: palette indices.
struct PaletteColours {
  using Colour = std::int16_t;
  static constexpr Colour CS = 1;   // still structure: blue
  static constexpr Colour CC = 4;   // cycling structure: red
  static constexpr Colour CM = 14;  // moving structure: yellow
  static constexpr Colour CN = 2;   // any other live cell: green
};

// Colour classes on a true-colour screen: 0x00BBGGRR.
struct TrueColours {
  using Colour = std::uint32_t;
  static constexpr Colour CS = 0xFF0000;  // still structure: blue
  static constexpr Colour CC = 0x0000FF;  // cycling structure: red
  static constexpr Colour CM = 0x00FFFF;  // moving structure: yellow
  static constexpr Colour CN = 0x008000;  // any other live cell: green
};

}  // namespace morvane
