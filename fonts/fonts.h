// The bitmap fonts built into the program: the public-domain VGA console faces
// of Debian's console-setup, embedded at build time and laid out by byte value.
#pragma once

#include <cstdint>

namespace morvane::plat::fonts {

// A fixed-width bitmap face: 256 glyphs, one per Windows-1252 byte value.
struct BitmapFont {
  int width;                     // pixels per character cell, across (8)
  int height;                    // pixels per character cell, down (8 or 16)
  const std::uint8_t* glyphs;    // 256 * height bytes: glyph c's row r is glyphs[c * height + r]
                                 // (bit 7 = leftmost pixel); a byte with no glyph shows the face's
                                 // replacement glyph

  // TRUE when pixel (x, y) of the cell of byte `c` is set.
  bool pixel(unsigned char c, int x, int y) const {
    return (glyphs[c * height + y] >> (7 - x)) & 1;
  }
};

// The 8 by 16 face (Lat15-VGA16): the default text font.
const BitmapFont& vga16();

// The 8 by 8 face (Lat15-VGA8): the palette facility's text.
const BitmapFont& vga8();

}  // namespace morvane::plat::fonts
