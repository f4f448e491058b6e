#include "buffer_front_end.h"

#include <algorithm>

#include "display.h"
#include "runtime/runtime_error.h"

namespace morvane::windowed {

void BufferFrontEnd::display(const Grid<Colour>& C, std::int16_t GRO) {
  const std::uint32_t side = rt::narrow<std::uint32_t>(GRO);
  const std::uint32_t across = std::min(side, buffer_.W());
  const std::uint32_t down = std::min(side, buffer_.H());
  for (std::uint32_t x = 1; x <= across; ++x) {
    for (std::uint32_t y = 1; y <= down; ++y) {
      buffer_.SETBUFF(x - 1, y - 1, C(static_cast<int>(x), static_cast<int>(y)));
    }
  }
  display::BAR(0, 0, rt::narrow<std::int32_t>(across), rt::narrow<std::int32_t>(down),
               display::BLACK);
  buffer_.SETBUFFB();
}

}  // namespace morvane::windowed
