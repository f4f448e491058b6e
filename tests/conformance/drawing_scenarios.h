// The drawing operations the programs use, each drawn on a fresh bitmap through
// platform.h only. scenarios.cpp is compiled once per implementation of the
// layer, each time into the namespace its CMake target names
// (MORVANE_SCENARIO_SIDE), so that one test binary can draw every scenario on
// real GDI and on the emulated core and compare the pixels.
#pragma once

#include <cstdint>
#include <vector>

namespace morvane::scenarios {

// What a scenario left: the bitmap's pixels (COLORREF, row by row from the top)
// and the values the calls returned, in call order.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::vector<std::int64_t> results;
};

// The scenarios, by index (0 .. kCount - 1).
inline constexpr int kCount = 11;

}  // namespace morvane::scenarios

// One implementation's scenarios.
#define MORVANE_DECLARE_SCENARIOS(side)                                                    \
  namespace morvane::scenarios::side {                                                     \
  /* The name of scenario `index`. */                                                      \
  const char* name(int index);                                                             \
  /* Draws scenario `index` on a fresh bitmap and reads everything back. */                \
  Picture draw(int index);                                                                 \
  }

MORVANE_DECLARE_SCENARIOS(gdi)
MORVANE_DECLARE_SCENARIOS(emulated)
