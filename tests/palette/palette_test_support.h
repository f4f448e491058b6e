// Helpers shared by the palette tests: an opened screen on a small headless
// display, and what a window or a screen shows.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string_view>
#include <thread>

#include "fonts/fonts.h"
#include "headless/headless.h"
#include "palette_screen.h"

namespace morvane::palette::testing {

// A headless platform with a 480 by 320 screen and a PaletteScreen opened on it.
class OpenScreenTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 480;   // screen width, pixels (room for a GRO 200 panel)
  static constexpr int kHeight = 320;  // screen height, pixels

  OpenScreenTest() {
    plat::headless::reset();
    plat::headless::setScreen(kWidth, kHeight);
    screen.open(driver, mode, "");
  }

  std::int16_t driver = kDetect;  // driver in and out of open()
  std::int16_t mode = -1;         // mode out of open()
  PaletteScreen screen;           // the screen under test
};

// The colour COLORREF of palette entry `index`.
inline plat::COLORREF colourOf(int index) {
  const Rgb& c = kVgaPalette[index];
  return plat::RGB(c.r, c.g, c.b);
}

// Fills the rectangle x in [x1, x2], y in [y1, y2] with `colour` by writing pixels.
inline void paint(PaletteScreen& s, int x1, int y1, int x2, int y2, std::int16_t colour) {
  for (int y = y1; y <= y2; ++y) {
    for (int x = x1; x <= x2; ++x) s.writePixel(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), colour);
  }
}

// True when the 8 by 8 cells of `text` at (x, y) show glyph pixels in 15 and every other
// pixel in `background` (as read back by readPixel).
inline ::testing::AssertionResult showsText(const PaletteScreen& s, int x, int y,
                                            std::string_view text, std::int16_t background) {
  const plat::fonts::BitmapFont& font = plat::fonts::vga8();
  for (std::size_t i = 0; i < text.size(); ++i) {
    for (int row = 0; row < 8; ++row) {
      for (int col = 0; col < 8; ++col) {
        const int px = x + 8 * static_cast<int>(i) + col;
        const bool ink = font.pixel(static_cast<unsigned char>(text[i]), col, row);
        const int want = ink ? PaletteScreen::kDrawColour : background;
        const int got = s.readPixel(static_cast<std::int16_t>(px), static_cast<std::int16_t>(y + row));
        if (got != want) {
          return ::testing::AssertionFailure() << "character " << i << " '" << text[i] << "': pixel ("
                                               << px << ", " << y + row << ") is " << got
                                               << ", expected " << want;
        }
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// Waits until `done()` holds, up to 20 seconds (a bound for a hang, not a timing); returns its last value.
template <class Done>
bool eventually(Done done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace morvane::palette::testing
