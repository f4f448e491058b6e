// The front end of morvane_display: the world drawn pixel by pixel on the main
// surface of the window library, one pixel per cell, cell [x, y] at pixel (x, y).
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

#include "colour_changes.h"
#include "display.h"
#include "windowed.h"

namespace morvane::windowed {

// The main surface of the window library, pixel by pixel.
struct MainSurfacePixels {
  // The colour the main surface holds at (x, y); CLR_INVALID outside it.
  Colour get(std::uint32_t x, std::uint32_t y) const { return display::GETPIXEL(x, y); }
  // Sets the pixel (x, y) of the main surface; nothing happens outside it.
  void set(std::uint32_t x, std::uint32_t y, Colour c) const { display::SETPIXEL(x, y, c); }
  // Which main surface this is: a new number for each one the library builds.
  std::uint32_t surface() const { return display::state.mainBuilds; }
};

// The per-pixel front end. The main surface is the only record of what is on
// screen: the display phase reads the world's pixels back and writes only those
// whose colour differs from C, so nothing is cleared and an unchanged cell is
// never rewritten. `Pixels` is the surface it reads and writes (the main
// surface; tests wrap it to count the writes).
template <class Pixels = MainSurfacePixels>
class PixelFrontEnd : public WindowedFrontEnd {
 public:
  // A front end for a world of GRO cells drawing through `pixels`.
  explicit PixelFrontEnd(std::int16_t GRO, Pixels pixels = {})
      : WindowedFrontEnd(GRO), pixels_(pixels) {}

  // Brings pixels (1..GRO, 1..GRO) in line with C, writing only those that differ.
  void display(const Grid<Colour>& C, std::int16_t GRO) override {
    draw(C, GRO, [](std::int32_t) { return ~std::uint32_t{0}; });
    drawnOn_ = pixels_.surface();
  }

  // As display(), but reads back only the bands of C the colouring rewrote: the others
  // still show on the surface as the previous display phase left them, since nothing
  // else draws on the world's square. A surface built since then is read back whole.
  void displayChanged(const Grid<Colour>& C, std::int16_t GRO, const ColourChanges& changed) override {
    if (drawnOn_ != pixels_.surface()) return display(C, GRO);
    draw(C, GRO, [&changed](std::int32_t x) { return changed.bands(x); });
  }

 private:
  // Brings the pixels of the bands that bands(x) marks in each column x in line with C.
  // In strips of kStrip columns, row by row inside a strip: the grid is read down its
  // columns and the surface along its rows, so both stay in the cache and a strip
  // touches few pages. Every pixel is visited at most once; the order shows nowhere.
  template <class Bands>
  void draw(const Grid<Colour>& C, std::int16_t GRO, Bands bands) {
    constexpr std::int32_t kStrip = 16;  // 64 bytes of surface row
    for (std::int32_t strip = 1; strip <= GRO; strip += kStrip) {
      const std::int32_t last = std::min<std::int32_t>(GRO, strip + kStrip - 1);
      std::uint32_t marks[kStrip];
      std::uint32_t any = 0;
      for (std::int32_t x = strip; x <= last; ++x) any |= marks[x - strip] = bands(x);
      for (int k = 0; k < ColourChanges::kBands; ++k) {
        if ((any >> k & 1) == 0) continue;
        const ColourChanges::Rows rows = ColourChanges::rowsWithin(k, GRO);
        for (std::int32_t y = rows.first; y <= rows.last; ++y) {
          for (std::int32_t x = strip; x <= last; ++x) {
            if ((marks[x - strip] >> k & 1) == 0) continue;
            const Colour want = C(x, y);
            const auto px = static_cast<std::uint32_t>(x);
            const auto py = static_cast<std::uint32_t>(y);
            if (pixels_.get(px, py) != want) pixels_.set(px, py, want);
          }
        }
      }
    }
  }

  Pixels pixels_;  // the surface the world is drawn on
  std::optional<std::uint32_t> drawnOn_;  // Pixels::surface() of the last display phase
};

}  // namespace morvane::windowed
