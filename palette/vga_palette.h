// The standard default palette of the VGA 256-colour mode, derived from the
// 6-bit values of its colour DAC, and the table that turns any index into the
// lowest index showing the same colour.
#pragma once

#include <array>
#include <cstdint>

namespace morvane::palette {

// Number of entries in the palette.
inline constexpr int kPaletteSize = 256;

// One palette entry, 8 bits per channel.
struct Rgb {
  std::uint8_t r;  // red, 0..255
  std::uint8_t g;  // green, 0..255
  std::uint8_t b;  // blue, 0..255

  friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

namespace detail {

// A 6-bit DAC value (0..63) as an 8-bit channel: the DAC value times 4.
constexpr std::uint8_t dac(int v) { return static_cast<std::uint8_t>(v * 4); }

// Colour of position `hue` (0..23) on a hue wheel made of five channel levels,
// lowest first. The wheel starts at blue and turns through magenta, red,
// yellow, green and cyan in six segments of four steps; in each segment one
// channel moves while the other two sit at the lowest and highest level.
constexpr Rgb wheel(const std::array<int, 5>& level, int hue) {
  const int lo = level[0];
  const int hi = level[4];
  const int up = level[hue % 4];        // the moving channel on a rising segment
  const int down = level[4 - hue % 4];  // the moving channel on a falling segment
  switch (hue / 4) {
    case 0: return {dac(up), dac(lo), dac(hi)};    // blue -> magenta
    case 1: return {dac(hi), dac(lo), dac(down)};  // magenta -> red
    case 2: return {dac(hi), dac(up), dac(lo)};    // red -> yellow
    case 3: return {dac(down), dac(hi), dac(lo)};  // yellow -> green
    case 4: return {dac(lo), dac(hi), dac(up)};    // green -> cyan
    default: return {dac(lo), dac(down), dac(hi)}; // cyan -> blue
  }
}

// Builds the default palette:
//   0..15    the 16 standard colours (levels 0, 21, 42, 63; brown has half green),
//   16..31   a grey ramp,
//   32..247  nine hue wheels of 24 colours: three brightnesses (full, 28, 16 as the
//            highest level) times three saturations (high, medium, low),
//   248..255 black.
constexpr std::array<Rgb, kPaletteSize> makeVgaPalette() {
  std::array<Rgb, kPaletteSize> p{};
  for (int i = 0; i < 16; ++i) {
    const int bright = (i & 8) ? 21 : 0;  // the high-intensity bit adds a third
    auto channel = [&](int bit) { return dac(((i & bit) ? 42 : 0) + bright); };
    p[i] = {channel(4), channel(2), channel(1)};
  }
  p[6] = {dac(42), dac(21), dac(0)};  // brown: yellow with its green halved
  constexpr std::array<int, 16> kGreys{0, 5, 8, 11, 14, 17, 20, 24, 28, 32, 36, 40, 45, 50, 56, 63};
  for (int i = 0; i < 16; ++i) p[16 + i] = {dac(kGreys[i]), dac(kGreys[i]), dac(kGreys[i])};
  constexpr std::array<std::array<int, 5>, 9> kWheels{{
      {0, 16, 31, 47, 63},   {31, 39, 47, 55, 63}, {45, 49, 54, 58, 63},
      {0, 7, 14, 21, 28},    {14, 17, 21, 24, 28}, {20, 22, 24, 26, 28},
      {0, 4, 8, 12, 16},     {8, 10, 12, 14, 16},  {11, 12, 13, 15, 16},
  }};
  for (int w = 0; w < 9; ++w) {
    for (int hue = 0; hue < 24; ++hue) p[32 + 24 * w + hue] = wheel(kWheels[w], hue);
  }
  return p;  // 248..255 stay black
}

// For every index, the lowest index whose entry has the same colour.
constexpr std::array<std::uint8_t, kPaletteSize> makeLowestIndex(
    const std::array<Rgb, kPaletteSize>& p) {
  std::array<std::uint8_t, kPaletteSize> lowest{};
  for (int i = 0; i < kPaletteSize; ++i) {
    int j = 0;
    while (!(p[j] == p[i])) ++j;
    lowest[i] = static_cast<std::uint8_t>(j);
  }
  return lowest;
}

}  // namespace detail

// The default VGA 256-colour palette.
inline constexpr std::array<Rgb, kPaletteSize> kVgaPalette = detail::makeVgaPalette();

// kLowestIndex[i]: the lowest palette index whose colour equals that of entry i.
inline constexpr std::array<std::uint8_t, kPaletteSize> kLowestIndex =
    detail::makeLowestIndex(kVgaPalette);

}  // namespace morvane::palette
