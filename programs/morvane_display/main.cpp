// morvane_display: the Life engine in a 500 by 500 true-colour window, the
// world of 200 by 200 cells drawn pixel by pixel with the status panel beside it.
#include "display.h"
#include "engine.h"
#include "runtime/runtime_error.h"
#include "pixel_front_end.h"

int main() {
  using namespace morvane;
  rt::installHandlers();
  display::CREATEWIN(500, 500);
  Engine<TrueColours> engine(kMorvaneDisplay);
  engine.start();
  windowed::PixelFrontEnd<> frontEnd(kMorvaneDisplay.GRO);
  engine.run(frontEnd);
}
