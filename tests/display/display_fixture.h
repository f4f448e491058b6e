// The fixture of the display library's tests: a fresh headless platform and a
// fresh library state around every test, and helpers to read surfaces back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "display.h"
#include "display_internal.h"
#include "headless/headless.h"

namespace display::testing {

namespace headless = morvane::plat::headless;

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override { resetAll(); }
  void TearDown() override { resetAll(); }

  // The platform and the library as at program start.
  static void resetAll() {
    headless::reset();
    resetForTests();
  }

  // Handles every pending message; returns how many ISNEXTMSG took.
  static int pump() {
    int taken = 0;
    while (ISNEXTMSG()) ++taken;
    return taken;
  }

  // The colour of (x, y) on surface B.
  static Colour pixel(PBITMAP B, int x, int y) { return plat::GetPixel(B->DC, x, y); }

  // Every pixel of B, row by row from the top.
  static std::vector<Colour> pixels(PBITMAP B) {
    std::vector<Colour> all;
    for (int y = 0; y < static_cast<int>(B->HEIGHT); ++y) {
      for (int x = 0; x < static_cast<int>(B->WIDTH); ++x) all.push_back(pixel(B, x, y));
    }
    return all;
  }

  // The colour the window shows at client point (x, y).
  static Colour shown(int x, int y) {
    const std::vector<plat::COLORREF> picture = headless::windowPixels(state._HW);
    return picture.at(static_cast<std::size_t>(y) * GETWIDTH() + static_cast<std::size_t>(x));
  }
};

}  // namespace display::testing
