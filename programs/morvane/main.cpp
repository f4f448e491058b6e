// morvane: the Life engine shown in a palette graphics window, one pixel per cell.
#include <cstdint>

#include "engine.h"
#include "palette_front_end.h"
#include "palette_screen.h"
#include "runtime/runtime_error.h"

int main() {
  morvane::rt::installHandlers();
  morvane::palette::PaletteScreen screen;
  std::int16_t GD = morvane::palette::kDetect;
  std::int16_t GM = 0;
  screen.open(GD, GM, "");
  // Without a window there is nothing to show and nothing to close: end as the
  // windowed programs do when the platform refuses their window, instead of
  // running unseen for ever. (The window system's own failures end the program
  // in the platform layer, with a line saying why.)
  if (GD == morvane::palette::kNotDetected) morvane::rt::fail(morvane::rt::RuntimeError::kRangeCheck);

  morvane::PaletteFrontEnd<morvane::palette::PaletteScreen> frontEnd(screen, morvane::kMorvane.GRO);
  morvane::Engine<morvane::PaletteColours> engine(morvane::kMorvane);
  engine.start();
  engine.run(frontEnd);
}
