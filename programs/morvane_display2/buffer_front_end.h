// The front end of morvane_display2: the world written into a pixel buffer in
// memory and handed to the window library in one transfer per display phase.
// Cell [x, y] is pixel (x - 1, y - 1): the world starts at the top-left pixel.
#pragma once

#include <cstdint>

#include "pixel_buffer.h"
#include "windowed.h"

namespace morvane::windowed {

// The pixel-buffer front end; its panel and end-of-pass service are those of
// the per-pixel program.
class BufferFrontEnd : public WindowedFrontEnd {
 public:
  // A front end for a world of GRO cells drawing through `buffer`, which is set up already.
  BufferFrontEnd(std::int16_t GRO, PixelBuffer& buffer) : WindowedFrontEnd(GRO), buffer_(buffer) {}

  // Writes every world pixel that fits the buffer and shows that square of the
  // buffer on the main surface (dead cells black); nothing outside the square
  // changes. A world larger than the buffer is drawn as far as the buffer reaches.
  void display(const Grid<Colour>& C, std::int16_t GRO) override;

 private:
  PixelBuffer& buffer_;  // the picture in memory and its transfer surface
};

}  // namespace morvane::windowed
