// morvane_display2: the Life engine in an 800 by 600 true-colour window, the
// world of 600 by 600 cells drawn through a 24-bit pixel buffer in one transfer
// per frame, with the status panel to its right.
#include "display.h"
#include "engine.h"
#include "runtime/runtime_error.h"
#include "buffer_front_end.h"
#include "pixel_buffer.h"

int main() {
  using namespace morvane;
  rt::installHandlers();
  display::CREATEWIN(800, 600);
  windowed::PixelBuffer buffer;
  buffer.INITBMI();
  buffer.INITSCR();
  buffer.INITBUFFB();
  Engine<TrueColours> engine(kMorvaneDisplay2);
  engine.start();
  windowed::BufferFrontEnd frontEnd(kMorvaneDisplay2.GRO, buffer);
  engine.run(frontEnd);
}
