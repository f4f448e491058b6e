// The interface through which the engine hands over to a front end: the
// program that shows it. The engine knows nothing of windows; it calls these hooks.
#pragma once

#include <cstdint>
#include <string_view>

#include "colour_changes.h"
#include "grid.h"

namespace morvane {

// The hooks through which the run loop hands over to the program that shows it.
// Front ends read what they are given and never change engine state.
template <class Colour>
class FrontEnd {
 public:
  virtual ~FrontEnd() = default;

  // Display phase: C has just been coloured; draw cells [x, y] for x, y = 1..GRO.
  virtual void display(const Grid<Colour>& C, std::int16_t GRO) = 0;

  // Display phase as the run loop calls it: as display(C, GRO), with `changed`
  // marking the bands of C the colouring rewrote since the previous display
  // phase, for a front end that keeps its own picture of C and redraws only
  // those. By default the whole of C is drawn with display().
  virtual void displayChanged(const Grid<Colour>& C, std::int16_t GRO, const ColourChanges& /*changed*/) {
    display(C, GRO);
  }

  // Panel phase begins: prepare the panel area before line 10 is drawn.
  virtual void panelBegin() {}

  // Panel line K (10 = top line .. 1 = bottom line) with its text; drawn at once.
  virtual void panelLine(std::int32_t K, std::string_view text) = 0;

  // End of every pass, after the step (message service, presenting, pause).
  virtual void endOfPass() {}
};

}  // namespace morvane
