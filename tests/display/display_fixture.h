// The fixture of the display library's tests: a fresh platform and a fresh
// library state around every test, and helpers to read surfaces back. It uses
// only public calls, so the tests built on it run on every implementation.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "display.h"
#include "display_internal.h"
#include "test_support.h"

namespace display::testing {

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override { resetAll(); }
  void TearDown() override { resetAll(); }

  // The platform and the library as at program start: the window and its class go.
  static void resetAll() {
    if (plat::IsWindow(state._HW)) plat::DestroyWindow(state._HW);
    plat::UnregisterClassA("DefaultClass", plat::GetModuleHandleA(nullptr));
    morvane::plat::testing::startFresh();
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
  static Colour shown(int x, int y) { return morvane::plat::testing::shownPixel(state._HW, x, y); }
};

}  // namespace display::testing
