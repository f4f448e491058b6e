// What the two windowed programs share: the status panel beside the world and
// the service at the end of every pass (message pump, presenting, pause).
// Everything is drawn on the main surface of the window library.
#pragma once

#include <cstdint>
#include <string_view>

#include "colours.h"
#include "frontend.h"

namespace morvane::windowed {

using Colour = TrueColours::Colour;

// Top-left corner of panel line K (10 = top .. 1 = bottom) beside a world of GRO cells.
struct PanelPlace {
  std::uint32_t x;  // pixels from the client area's left edge
  std::uint32_t y;  // pixels from the client area's top edge
};

// Where panel line K starts: x = GRO + 10, y = max(GRO, 200) - 20 * K; a K that
// would put the line above the client area is a range error.
PanelPlace panelPlace(std::int16_t GRO, std::int32_t K);

// The panel and end-of-pass hooks of a windowed program; the display phase is
// left to the program (per-pixel or through a pixel buffer).
class WindowedFrontEnd : public FrontEnd<Colour> {
 public:
  // A front end beside a world of GRO cells (the panel's place depends on it).
  explicit WindowedFrontEnd(std::int16_t GRO) : GRO_(GRO) {}

  // Draws line K in black on an opaque white box fitting the text; nothing is cleared first.
  void panelLine(std::int32_t K, std::string_view text) override;

  // Handles every pending window message, presents the main surface, pauses 1 ms.
  void endOfPass() override;

 private:
  std::int16_t GRO_;  // side of the world in cells, 1..GROLIM
};

}  // namespace morvane::windowed
