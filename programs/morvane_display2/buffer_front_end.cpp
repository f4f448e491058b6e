#include "buffer_front_end.h"

#include <algorithm>

#include "display.h"
#include "runtime/runtime_error.h"

namespace morvane::windowed {

template <class Bands>
void BufferFrontEnd::draw(const Grid<Colour>& C, std::int16_t GRO, Bands bands) {
  const int side = rt::narrow<int>(GRO);
  const int across = static_cast<int>(std::min<std::int64_t>(side, buffer_.W()));
  const int down = static_cast<int>(std::min<std::int64_t>(side, buffer_.H()));
  // Band by band, each column's run of the band: the buffer rows of a band stay
  // in the cache while the columns write into them, and each run is read from
  // the grid in one piece. Every pixel is written at most once; the order shows nowhere.
  for (int k = 0; k < ColourChanges::kBands; ++k) {
    const ColourChanges::Rows rows = ColourChanges::rowsWithin(k, down);
    if (rows.first > rows.last) continue;
    for (int x = 1; x <= across; ++x) {
      if ((bands(x) >> k & 1) == 0) continue;
      buffer_.setColumn(static_cast<std::uint32_t>(x - 1), static_cast<std::uint32_t>(rows.first - 1),
                        &C(x, rows.first), static_cast<std::uint32_t>(rows.last - rows.first + 1));
    }
  }
  buffer_.SETBUFFB(static_cast<std::uint32_t>(across), static_cast<std::uint32_t>(down));
  drawnAll_ = true;
}

void BufferFrontEnd::display(const Grid<Colour>& C, std::int16_t GRO) {
  draw(C, GRO, [](int) { return ~std::uint32_t{0}; });
}

void BufferFrontEnd::displayChanged(const Grid<Colour>& C, std::int16_t GRO,
                                    const ColourChanges& changed) {
  if (!drawnAll_) {
    display(C, GRO);
    return;
  }
  draw(C, GRO, [&changed](int x) { return changed.bands(x); });
}

}  // namespace morvane::windowed
