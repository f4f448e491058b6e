// morvane: the Life engine shown in a palette graphics window, one pixel per cell.
#include <cstdint>

#include "engine.h"
#include "palette_front_end.h"
#include "palette_screen.h"

int main() {
  morvane::palette::PaletteScreen screen;
  std::int16_t GD = morvane::palette::kDetect;
  std::int16_t GM = 0;
  screen.open(GD, GM, "");
  // Without a window there is nothing to show and nothing to close: end (the
  // platform layer has said why on stderr) instead of running unseen for ever.
  if (GD == morvane::palette::kNotDetected) return 1;

  morvane::PaletteFrontEnd<morvane::palette::PaletteScreen> frontEnd(screen, morvane::kMorvane.GRO);
  morvane::Engine<morvane::PaletteColours> engine(morvane::kMorvane);
  engine.start();
  engine.run(frontEnd);
}
