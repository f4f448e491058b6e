// The three programs' passes per second with their real front ends on the real
// SDL2 backend (needs an X display): `morvane` on the palette facility beside
// the engine's passes with no front end, the two windowed programs beside a
// loop that does only their end-of-pass pause. Each program has one window per
// process, so run one program's benchmarks per process (--benchmark_filter).
// items_per_second is passes per second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string_view>

#include "buffer_front_end.h"
#include "display.h"
#include "engine.h"
#include "no_front_end.h"
#include "palette_front_end.h"
#include "palette_screen.h"
#include "pixel_buffer.h"
#include "pixel_front_end.h"

namespace morvane {
namespace {

// Runs passes of `engine` through `frontEnd`; with `stagnated` every pass is
// one of a stagnated world (display and panel phases on every pass).
template <class Colours>
void runPasses(benchmark::State& state, Engine<Colours>& engine,
               FrontEnd<typename Colours::Colour>& frontEnd, bool stagnated) {
  engine.start();
  for (auto _ : state) {
    if (stagnated) {
      engine.SAMEBOO = engine.SAMEBOO2 = -3;  // the stagnation test raises OVER
    } else {
      engine.SAMEBOO2 = 1;  // keeps the stagnation flag down
    }
    engine.pass(frontEnd);
  }
  state.SetItemsProcessed(state.iterations());
}

void Morvane(benchmark::State& state) {
  palette::PaletteScreen screen;
  std::int16_t GD = palette::kDetect;
  std::int16_t GM = 0;
  screen.open(GD, GM, "");
  PaletteFrontEnd<palette::PaletteScreen> frontEnd(screen, kMorvane.GRO);
  Engine<PaletteColours> engine(kMorvane);
  runPasses(state, engine, frontEnd, state.range(0) != 0);
}

void MorvaneEngineOnly(benchmark::State& state) {
  NoFrontEnd<PaletteColours::Colour> frontEnd;
  Engine<PaletteColours> engine(kMorvane);
  runPasses(state, engine, frontEnd, state.range(0) != 0);
}

void MorvaneDisplay(benchmark::State& state) {
  static const bool opened = (display::CREATEWIN(500, 500), true);
  (void)opened;
  windowed::PixelFrontEnd<> frontEnd(kMorvaneDisplay.GRO);
  Engine<TrueColours> engine(kMorvaneDisplay);
  runPasses(state, engine, frontEnd, false);
}

void MorvaneDisplay2(benchmark::State& state) {
  static const bool opened = (display::CREATEWIN(800, 600), true);
  (void)opened;
  static const std::unique_ptr<windowed::PixelBuffer> buffer = [] {
    auto b = std::make_unique<windowed::PixelBuffer>();
    b->INITBMI();
    b->INITSCR();
    b->INITBUFFB();
    return b;
  }();
  windowed::BufferFrontEnd frontEnd(kMorvaneDisplay2.GRO, *buffer);
  Engine<TrueColours> engine(kMorvaneDisplay2);
  runPasses(state, engine, frontEnd, false);
}

// The windowed programs' end-of-pass pause alone: the pass rate they aim at.
void PauseOnly(benchmark::State& state) {
  for (auto _ : state) display::DELAY(1);
  state.SetItemsProcessed(state.iterations());
}

// Arg: 0 a running world, 1 a stagnated one.
BENCHMARK(Morvane)->Arg(0)->Arg(1)->UseRealTime();
BENCHMARK(MorvaneEngineOnly)->Arg(0)->Arg(1)->UseRealTime();
BENCHMARK(MorvaneDisplay)->UseRealTime();
BENCHMARK(MorvaneDisplay2)->UseRealTime();
BENCHMARK(PauseOnly)->UseRealTime();

}  // namespace
}  // namespace morvane
