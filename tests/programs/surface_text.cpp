#include "surface_text.h"

#include <array>

#include "display.h"
#include "fonts/fonts.h"

namespace morvane::windowed::testing {
namespace {

// The character whose glyph has exactly the set pixels `rows` (bit 7 leftmost),
// printable ASCII preferred; 0 when none has.
char matchGlyph(const plat::fonts::BitmapFont& font, const std::array<std::uint8_t, 16>& rows) {
  auto matches = [&](int c) {
    for (int r = 0; r < font.height; ++r) {
      if (font.glyphs[c * font.height + r] != rows[static_cast<std::size_t>(r)]) return false;
    }
    return true;
  };
  for (int c = 0x20; c < 0x7F; ++c) {
    if (matches(c)) return static_cast<char>(c);
  }
  return 0;
}

}  // namespace

std::string readSurfaceText(std::uint32_t x, std::uint32_t y, int maxChars, std::uint32_t fg) {
  const plat::fonts::BitmapFont& font = plat::fonts::vga16();
  std::string text;
  for (int i = 0; i < maxChars; ++i) {
    std::array<std::uint8_t, 16> rows{};
    for (int r = 0; r < font.height; ++r) {
      for (int c = 0; c < font.width; ++c) {
        const auto px = x + static_cast<std::uint32_t>(i * font.width + c);
        if (display::GETPIXEL(px, y + static_cast<std::uint32_t>(r)) == fg) {
          rows[static_cast<std::size_t>(r)] |= static_cast<std::uint8_t>(0x80 >> c);
        }
      }
    }
    const char ch = matchGlyph(font, rows);
    if (ch == 0) break;
    text += ch;
  }
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

}  // namespace morvane::windowed::testing
