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

  morvane::PaletteFrontEnd<morvane::palette::PaletteScreen> frontEnd(screen, morvane::kMorvane.GRO);
  morvane::Engine<morvane::PaletteColours> engine(morvane::kMorvane);
  engine.start();
  engine.run(frontEnd);
}
