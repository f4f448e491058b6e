#include "buffer_front_end.h"

#include <algorithm>

#include "display.h"
#include "runtime/runtime_error.h"

namespace morvane::windowed {

void BufferFrontEnd::display(const Grid<Colour>& C, std::int16_t GRO) {
  const std::uint32_t side = rt::narrow<std::uint32_t>(GRO);
  const std::uint32_t across = std::min(side, buffer_.W());
  const std::uint32_t down = std::min(side, buffer_.H());
  // In bands of kBand rows, down each column inside a band: the grid is read along
  // its columns, and the buffer rows of a band stay in the cache while every column
  // writes its pixel into them. Every pixel is written once; the order shows nowhere.
  constexpr std::uint32_t kBand = 32;
  for (std::uint32_t band = 1; band <= down; band += kBand) {
    const std::uint32_t last = std::min(down, band + kBand - 1);
    for (std::uint32_t x = 1; x <= across; ++x) {
      for (std::uint32_t y = band; y <= last; ++y) {
        buffer_.SETBUFF(x - 1, y - 1, C(static_cast<int>(x), static_cast<int>(y)));
      }
    }
  }
  buffer_.SETBUFFB(across, down);
}

}  // namespace morvane::windowed
