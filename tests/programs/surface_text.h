// Reads text back from the window library's main surface: each 8 by 16 cell is
// matched against the glyphs of the library's default face.
#pragma once

#include <cstdint>
#include <string>

namespace morvane::windowed::testing {

// Up to `maxChars` characters drawn in colour `fg` with their first cell's
// top-left corner at (x, y); stops at the first cell that matches no glyph,
// trailing blanks dropped.
std::string readSurfaceText(std::uint32_t x, std::uint32_t y, int maxChars, std::uint32_t fg);

}  // namespace morvane::windowed::testing
