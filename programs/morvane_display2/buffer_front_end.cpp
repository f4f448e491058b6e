#include "buffer_front_end.h"

#include <algorithm>

#include "display.h"
#include "runtime/runtime_error.h"

namespace morvane::windowed {

void BufferFrontEnd::display(const Grid<Colour>& C, std::int16_t GRO) {
  const std::uint32_t side = rt::narrow<std::uint32_t>(GRO);
  const std::uint32_t across = std::min(side, buffer_.W());
  const std::uint32_t down = std::min(side, buffer_.H());
  // In bands of kBand columns, row by row inside a band: the grid is read down its
  // columns and the buffer written along its rows, and a band's lines of both stay
  // in the cache. Every pixel is written once; the order shows nowhere.
  constexpr std::uint32_t kBand = 16;
  for (std::uint32_t band = 1; band <= across; band += kBand) {
    const std::uint32_t last = std::min(across, band + kBand - 1);
    for (std::uint32_t y = 1; y <= down; ++y) {
      for (std::uint32_t x = band; x <= last; ++x) {
        buffer_.SETBUFF(x - 1, y - 1, C(static_cast<int>(x), static_cast<int>(y)));
      }
    }
  }
  display::BAR(0, 0, rt::narrow<std::int32_t>(across), rt::narrow<std::int32_t>(down),
               display::BLACK);
  buffer_.SETBUFFB();
}

}  // namespace morvane::windowed
