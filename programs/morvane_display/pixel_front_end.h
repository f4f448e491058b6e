// The front end of morvane_display: the world drawn pixel by pixel on the main
// surface of the window library, one pixel per cell, cell [x, y] at pixel (x, y).
#pragma once

#include <algorithm>
#include <cstdint>

#include "display.h"
#include "windowed.h"

namespace morvane::windowed {

// The main surface of the window library, pixel by pixel.
struct MainSurfacePixels {
  // The colour the main surface holds at (x, y); CLR_INVALID outside it.
  Colour get(std::uint32_t x, std::uint32_t y) const { return display::GETPIXEL(x, y); }
  // Sets the pixel (x, y) of the main surface; nothing happens outside it.
  void set(std::uint32_t x, std::uint32_t y, Colour c) const { display::SETPIXEL(x, y, c); }
};

// The per-pixel front end. The main surface is the only record of what is on
// screen: the display phase reads every world pixel back and writes only those
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
  // In bands of kBand columns, row by row inside a band: the grid is read down its
  // columns and the surface along its rows, so both stay in the cache and a band
  // touches few pages. Every pixel is visited once; the order shows nowhere.
  void display(const Grid<Colour>& C, std::int16_t GRO) override {
    constexpr std::int32_t kBand = 16;  // 64 bytes of surface row
    for (std::int32_t band = 1; band <= GRO; band += kBand) {
      const std::int32_t last = std::min<std::int32_t>(GRO, band + kBand - 1);
      for (std::int32_t y = 1; y <= GRO; ++y) {
        for (std::int32_t x = band; x <= last; ++x) {
          const Colour want = C(x, y);
          const auto px = static_cast<std::uint32_t>(x);
          const auto py = static_cast<std::uint32_t>(y);
          if (pixels_.get(px, py) != want) pixels_.set(px, py, want);
        }
      }
    }
  }

 private:
  Pixels pixels_;  // the surface the world is drawn on
};

}  // namespace morvane::windowed
