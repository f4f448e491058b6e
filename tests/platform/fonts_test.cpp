// The embedded faces: shapes of known characters and the byte-to-glyph layout.
#include <gtest/gtest.h>

#include <string>

#include "fonts/fonts.h"

namespace morvane::plat::fonts {
namespace {

// Row `y` of the glyph of `c` as text: '#' for a set pixel, '.' for a clear one.
std::string row(const BitmapFont& f, unsigned char c, int y) {
  std::string out;
  for (int x = 0; x < f.width; ++x) out += f.pixel(c, x, y) ? '#' : '.';
  return out;
}

TEST(FontsTest, TheCapitalAOfBothFacesLooksLikeAnA) {
  const BitmapFont& big = vga16();
  EXPECT_EQ(big.width, 8);
  EXPECT_EQ(big.height, 16);
  EXPECT_EQ(row(big, 'A', 0), "........");
  EXPECT_EQ(row(big, 'A', 2), "...#....");  // apex
  EXPECT_EQ(row(big, 'A', 5), "##...##.");  // two legs
  EXPECT_EQ(row(big, 'A', 7), "#######.");  // cross bar
  EXPECT_EQ(row(big, 'A', 11), "##...##.");
  EXPECT_EQ(row(big, 'A', 12), "........");
  const BitmapFont& small = vga8();
  EXPECT_EQ(small.height, 8);
  EXPECT_EQ(row(small, 'A', 0), "..###...");
  EXPECT_EQ(row(small, 'A', 3), "#######.");
  EXPECT_EQ(row(small, 'A', 6), "##...##.");
  EXPECT_EQ(row(small, 'A', 7), "........");
}

TEST(FontsTest, GlyphsAreOrderedByWindows1252Byte) {
  for (const BitmapFont* f : {&vga16(), &vga8()}) {
    for (int y = 0; y < f->height; ++y) {
      EXPECT_EQ(row(*f, ' ', y), "........") << "space is blank";
    }
    // 'l' and '1' and 'I' are different glyphs; 'a' differs from 'A'.
    int differ = 0;
    for (int y = 0; y < f->height; ++y) differ += row(*f, 'a', y) != row(*f, 'A', y);
    EXPECT_GT(differ, 2);
    // 0xE9 (e acute) is an 'e' with an accent above: its lower rows match 'e'.
    EXPECT_EQ(row(*f, 0xE9, f->height - 3), row(*f, 'e', f->height - 3));
    bool accent = false;
    for (int y = 0; y < f->height / 4; ++y) accent |= row(*f, 0xE9, y) != row(*f, 'e', y);
    EXPECT_TRUE(accent);
    // An unassigned byte (0x81) shows the replacement glyph, not a blank.
    bool ink = false;
    for (int y = 0; y < f->height; ++y) ink |= row(*f, 0x81, y) != "........";
    EXPECT_TRUE(ink);
  }
}

}  // namespace
}  // namespace morvane::plat::fonts
