// The named colours of the display library: the extended colour keywords of
// the web (one name per colour, GRAY spelled with an A except LIGHTGREY) plus
// the library's own AMETHYST and TRANSPARENT. Declared in ascending order of
// their red-green-blue value, TRANSPARENT last.
//
// Each value is a COLORREF, 0x00BBGGRR: red in the lowest byte. fromRgb() turns
// the familiar 0xRRGGBB notation into that layout, so every row below can be
// read against a colour chart.
#pragma once

#include <cstdint>

namespace display {

// A colour value: 0x00BBGGRR, the top byte a transparency level for DRAWBMP.
using Colour = std::uint32_t;

// The colour 0xRRGGBB (red in the high byte) in the library's 0x00BBGGRR layout.
constexpr Colour fromRgb(std::uint32_t rgb) {
  return ((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16);
}

inline constexpr Colour BLACK = fromRgb(0x000000);
inline constexpr Colour NAVY = fromRgb(0x000080);
inline constexpr Colour DARKBLUE = fromRgb(0x00008B);
inline constexpr Colour MEDIUMBLUE = fromRgb(0x0000CD);
inline constexpr Colour BLUE = fromRgb(0x0000FF);
inline constexpr Colour DARKGREEN = fromRgb(0x006400);
inline constexpr Colour GREEN = fromRgb(0x008000);
inline constexpr Colour TEAL = fromRgb(0x008080);
inline constexpr Colour DARKCYAN = fromRgb(0x008B8B);
inline constexpr Colour DEEPSKYBLUE = fromRgb(0x00BFFF);
inline constexpr Colour DARKTURQUOISE = fromRgb(0x00CED1);
inline constexpr Colour MEDIUMSPRINGGREEN = fromRgb(0x00FA9A);
inline constexpr Colour LIME = fromRgb(0x00FF00);
inline constexpr Colour SPRINGGREEN = fromRgb(0x00FF7F);
inline constexpr Colour CYAN = fromRgb(0x00FFFF);
inline constexpr Colour AQUA = fromRgb(0x00FFFF);
inline constexpr Colour MIDNIGHTBLUE = fromRgb(0x191970);
inline constexpr Colour DODGERBLUE = fromRgb(0x1E90FF);
inline constexpr Colour LIGHTSEAGREEN = fromRgb(0x20B2AA);
inline constexpr Colour FORESTGREEN = fromRgb(0x228B22);
inline constexpr Colour SEAGREEN = fromRgb(0x2E8B57);
inline constexpr Colour DARKSLATEGRAY = fromRgb(0x2F4F4F);
inline constexpr Colour LIMEGREEN = fromRgb(0x32CD32);
inline constexpr Colour MEDIUMSEAGREEN = fromRgb(0x3CB371);
inline constexpr Colour TURQUOISE = fromRgb(0x40E0D0);
inline constexpr Colour ROYALBLUE = fromRgb(0x4169E1);
inline constexpr Colour STEELBLUE = fromRgb(0x4682B4);
inline constexpr Colour DARKSLATEBLUE = fromRgb(0x483D8B);
inline constexpr Colour MEDIUMTURQUOISE = fromRgb(0x48D1CC);
inline constexpr Colour INDIGO = fromRgb(0x4B0082);
inline constexpr Colour DARKOLIVEGREEN = fromRgb(0x556B2F);
inline constexpr Colour CADETBLUE = fromRgb(0x5F9EA0);
inline constexpr Colour CORNFLOWERBLUE = fromRgb(0x6495ED);
inline constexpr Colour MEDIUMAQUAMARINE = fromRgb(0x66CDAA);
inline constexpr Colour DIMGRAY = fromRgb(0x696969);
inline constexpr Colour SLATEBLUE = fromRgb(0x6A5ACD);
inline constexpr Colour OLIVEDRAB = fromRgb(0x6B8E23);
inline constexpr Colour SLATEGRAY = fromRgb(0x708090);
inline constexpr Colour LIGHTSLATEGRAY = fromRgb(0x778899);
inline constexpr Colour MEDIUMSLATEBLUE = fromRgb(0x7B68EE);
inline constexpr Colour LAWNGREEN = fromRgb(0x7CFC00);
inline constexpr Colour CHARTREUSE = fromRgb(0x7FFF00);
inline constexpr Colour AQUAMARINE = fromRgb(0x7FFFD4);
inline constexpr Colour MAROON = fromRgb(0x800000);
inline constexpr Colour PURPLE = fromRgb(0x800080);
inline constexpr Colour OLIVE = fromRgb(0x808000);
inline constexpr Colour GRAY = fromRgb(0x808080);
inline constexpr Colour SKYBLUE = fromRgb(0x87CEEB);
inline constexpr Colour LIGHTSKYBLUE = fromRgb(0x87CEFA);
inline constexpr Colour BLUEVIOLET = fromRgb(0x8A2BE2);
inline constexpr Colour DARKRED = fromRgb(0x8B0000);
inline constexpr Colour DARKMAGENTA = fromRgb(0x8B008B);
inline constexpr Colour SADDLEBROWN = fromRgb(0x8B4513);
inline constexpr Colour DARKSEAGREEN = fromRgb(0x8FBC8F);
inline constexpr Colour LIGHTGREEN = fromRgb(0x90EE90);
inline constexpr Colour MEDIUMPURPLE = fromRgb(0x9370DB);
inline constexpr Colour DARKVIOLET = fromRgb(0x9400D3);
inline constexpr Colour PALEGREEN = fromRgb(0x98FB98);
inline constexpr Colour DARKORCHID = fromRgb(0x9932CC);
inline constexpr Colour AMETHYST = fromRgb(0x9966CC);
inline constexpr Colour YELLOWGREEN = fromRgb(0x9ACD32);
inline constexpr Colour SIENNA = fromRgb(0xA0522D);
inline constexpr Colour BROWN = fromRgb(0xA52A2A);
inline constexpr Colour DARKGRAY = fromRgb(0xA9A9A9);
inline constexpr Colour LIGHTBLUE = fromRgb(0xADD8E6);
inline constexpr Colour GREENYELLOW = fromRgb(0xADFF2F);
inline constexpr Colour PALETURQUOISE = fromRgb(0xAFEEEE);
inline constexpr Colour LIGHTSTEELBLUE = fromRgb(0xB0C4DE);
inline constexpr Colour POWDERBLUE = fromRgb(0xB0E0E6);
inline constexpr Colour FIREBRICK = fromRgb(0xB22222);
inline constexpr Colour DARKGOLDENROD = fromRgb(0xB8860B);
inline constexpr Colour MEDIUMORCHID = fromRgb(0xBA55D3);
inline constexpr Colour ROSYBROWN = fromRgb(0xBC8F8F);
inline constexpr Colour DARKKHAKI = fromRgb(0xBDB76B);
inline constexpr Colour SILVER = fromRgb(0xC0C0C0);
inline constexpr Colour MEDIUMVIOLETRED = fromRgb(0xC71585);
inline constexpr Colour INDIANRED = fromRgb(0xCD5C5C);
inline constexpr Colour PERU = fromRgb(0xCD853F);
inline constexpr Colour CHOCOLATE = fromRgb(0xD2691E);
inline constexpr Colour TAN = fromRgb(0xD2B48C);
inline constexpr Colour LIGHTGREY = fromRgb(0xD3D3D3);
inline constexpr Colour THISTLE = fromRgb(0xD8BFD8);
inline constexpr Colour ORCHID = fromRgb(0xDA70D6);
inline constexpr Colour GOLDENROD = fromRgb(0xDAA520);
inline constexpr Colour PALEVIOLETRED = fromRgb(0xDB7093);
inline constexpr Colour CRIMSON = fromRgb(0xDC143C);
inline constexpr Colour GAINSBORO = fromRgb(0xDCDCDC);
inline constexpr Colour PLUM = fromRgb(0xDDA0DD);
inline constexpr Colour BURLYWOOD = fromRgb(0xDEB887);
inline constexpr Colour LIGHTCYAN = fromRgb(0xE0FFFF);
inline constexpr Colour LAVENDER = fromRgb(0xE6E6FA);
inline constexpr Colour DARKSALMON = fromRgb(0xE9967A);
inline constexpr Colour VIOLET = fromRgb(0xEE82EE);
inline constexpr Colour PALEGOLDENROD = fromRgb(0xEEE8AA);
inline constexpr Colour LIGHTCORAL = fromRgb(0xF08080);
inline constexpr Colour KHAKI = fromRgb(0xF0E68C);
inline constexpr Colour ALICEBLUE = fromRgb(0xF0F8FF);
inline constexpr Colour HONEYDEW = fromRgb(0xF0FFF0);
inline constexpr Colour AZURE = fromRgb(0xF0FFFF);
inline constexpr Colour SANDYBROWN = fromRgb(0xF4A460);
inline constexpr Colour WHEAT = fromRgb(0xF5DEB3);
inline constexpr Colour BEIGE = fromRgb(0xF5F5DC);
inline constexpr Colour WHITESMOKE = fromRgb(0xF5F5F5);
inline constexpr Colour MINTCREAM = fromRgb(0xF5FFFA);
inline constexpr Colour GHOSTWHITE = fromRgb(0xF8F8FF);
inline constexpr Colour SALMON = fromRgb(0xFA8072);
inline constexpr Colour ANTIQUEWHITE = fromRgb(0xFAEBD7);
inline constexpr Colour LINEN = fromRgb(0xFAF0E6);
inline constexpr Colour LIGHTGOLDENRODYELLOW = fromRgb(0xFAFAD2);
inline constexpr Colour OLDLACE = fromRgb(0xFDF5E6);
inline constexpr Colour RED = fromRgb(0xFF0000);
inline constexpr Colour FUCHSIA = fromRgb(0xFF00FF);
inline constexpr Colour MAGENTA = fromRgb(0xFF00FF);
inline constexpr Colour DEEPPINK = fromRgb(0xFF1493);
inline constexpr Colour ORANGERED = fromRgb(0xFF4500);
inline constexpr Colour TOMATO = fromRgb(0xFF6347);
inline constexpr Colour HOTPINK = fromRgb(0xFF69B4);
inline constexpr Colour CORAL = fromRgb(0xFF7F50);
inline constexpr Colour DARKORANGE = fromRgb(0xFF8C00);
inline constexpr Colour LIGHTSALMON = fromRgb(0xFFA07A);
inline constexpr Colour ORANGE = fromRgb(0xFFA500);
inline constexpr Colour LIGHTPINK = fromRgb(0xFFB6C1);
inline constexpr Colour PINK = fromRgb(0xFFC0CB);
inline constexpr Colour GOLD = fromRgb(0xFFD700);
inline constexpr Colour PEACHPUFF = fromRgb(0xFFDAB9);
inline constexpr Colour NAVAJOWHITE = fromRgb(0xFFDEAD);
inline constexpr Colour MOCCASIN = fromRgb(0xFFE4B5);
inline constexpr Colour BISQUE = fromRgb(0xFFE4C4);
inline constexpr Colour MISTYROSE = fromRgb(0xFFE4E1);
inline constexpr Colour BLANCHEDALMOND = fromRgb(0xFFEBCD);
inline constexpr Colour PAPAYAWHIP = fromRgb(0xFFEFD5);
inline constexpr Colour LAVENDERBLUSH = fromRgb(0xFFF0F5);
inline constexpr Colour SEASHELL = fromRgb(0xFFF5EE);
inline constexpr Colour CORNSILK = fromRgb(0xFFF8DC);
inline constexpr Colour LEMONCHIFFON = fromRgb(0xFFFACD);
inline constexpr Colour FLORALWHITE = fromRgb(0xFFFAF0);
inline constexpr Colour SNOW = fromRgb(0xFFFAFA);
inline constexpr Colour YELLOW = fromRgb(0xFFFF00);
inline constexpr Colour LIGHTYELLOW = fromRgb(0xFFFFE0);
inline constexpr Colour IVORY = fromRgb(0xFFFFF0);
inline constexpr Colour WHITE = fromRgb(0xFFFFFF);

// No colour: a brush of this colour fills nothing; as a blit key it leaves out
// exactly the pixels of 0x000001 (red 1, green 0, blue 0).
inline constexpr Colour TRANSPARENT = 1;

}  // namespace display
