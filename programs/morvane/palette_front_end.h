// The front end of `morvane`: shows the engine's world and status panel on a
// palette screen, one pixel per cell, in the palette indices of the colour grid.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "frontend.h"
#include "runtime/runtime_error.h"

namespace morvane {

// Draws the display and panel phases on `Screen`, which offers syncColumn, bar and
// textAt as palette::PaletteScreen does (a template, so that tests and benchmarks
// can draw on a screen of their own).
template <class Screen>
class PaletteFrontEnd final : public FrontEnd<std::int16_t> {
 public:
  // A front end for a world of side `GRO` drawing on `screen`.
  PaletteFrontEnd(Screen& screen, std::int16_t GRO)
      : screen_(screen),
        GRO_(GRO),
        base_(GRO >= 100 ? GRO : std::int16_t{100}),
        textX_(rt::add<std::int16_t>(GRO, 10)) {}

  // Writes every pixel (x, y), x and y in 1..GRO, whose palette index differs from C[x, y].
  void display(const Grid<std::int16_t>& C, std::int16_t GRO) override {
    for (std::int16_t x = 1; x <= GRO; ++x) {
      const std::int16_t* column = C.column(x) - Grid<std::int16_t>::kLow;  // column[y] is C[x, y]
      screen_.syncColumn(x, 1, column + 1, GRO);
    }
  }

  // Clears the values of panel lines 4 to 1: the bar (GRO+70, base-40)..(GRO+150, base+10).
  void panelBegin() override {
    screen_.bar(rt::add<std::int16_t>(GRO_, 70), rt::sub<std::int16_t>(base_, 40),
                rt::add<std::int16_t>(GRO_, 150), rt::add<std::int16_t>(base_, 10));
    for (std::int32_t K = 1; K <= kBarredLines; ++K) drawn_[K].clear();
  }

  // Draws panel line K with its top-left corner at (GRO+10, base - 10 * K). A line
  // that already shows this text and that no bar has cleared since is left as it
  // is: text adds only glyph pixels, and nothing else draws there, so drawing it
  // again would change no pixel.
  void panelLine(std::int32_t K, std::string_view text) override {
    std::string* drawn = K >= 1 && K <= kLines ? &drawn_[static_cast<std::size_t>(K)] : nullptr;
    if (drawn != nullptr && *drawn == text) return;
    const std::int32_t y = rt::sub<std::int32_t>(base_, rt::mul<std::int32_t>(10, K));
    screen_.textAt(textX_, rt::narrow<std::int16_t>(y), text);
    if (drawn != nullptr) *drawn = text;
  }

 private:
  Screen& screen_;     // where the picture is drawn
  std::int16_t GRO_;   // side of the world in cells
  std::int16_t base_;  // panel base, a y coordinate: GRO, but at least 100
  std::int16_t textX_; // x of the panel lines' left edge: GRO + 10
  static constexpr std::int32_t kLines = 10;       // panel lines, K = 1..10
  static constexpr std::int32_t kBarredLines = 4;  // lines 1..4 lie under panelBegin's bar
  // drawn_[K]: the text line K shows as last drawn; empty when unknown or cleared
  // (drawing an empty text changes nothing either).
  std::array<std::string, kLines + 1> drawn_;
};

}  // namespace morvane
