// The engine's per-pass work against the plain reference, in the same run:
// generation step, template colouring, population count and a whole pass of a
// `morvane`-like run (display phase every other pass, no drawing).
// items_per_second is the number of operations (or passes) per second.
#include <benchmark/benchmark.h>

#include <random>

#include "engine.h"
#include "no_front_end.h"
#include "oracle.h"

namespace morvane {
namespace {

using BenchEngine = Engine<PaletteColours>;

// A random soup (one cell in ten alive) stepped for 300 generations, so that the
// benchmarks see the sparse mix of structures a run spends its time on; laid
// into both the engine and the reference.
template <class Colours>
void seedBoth(Engine<Colours>& engine, oracle::World& world, int gro) {
  engine.GRO = static_cast<std::int16_t>(gro);
  engine.checkParameters();
  world.GRO = gro;
  std::mt19937 random(1);
  std::uniform_int_distribution<int> draw(0, 9);
  for (int x = 1; x <= gro; ++x) {
    for (int y = 1; y <= gro; ++y) engine.setA(x, y, draw(random) == 0);
  }
  for (int generation = 0; generation < 300; ++generation) {
    engine.updateMargin();
    engine.step();
    engine.commit();
  }
  engine.updateMargin();
  for (int x = -4; x <= gro + 5; ++x) {
    for (int y = -4; y <= gro + 5; ++y) world.A(x, y) = engine.A(x, y);
  }
}

struct Fixture {
  explicit Fixture(int gro) : engine(kMorvane) { seedBoth(engine, world, gro); }
  BenchEngine engine;
  oracle::World world;
  Grid<PaletteColours::Colour> C;  // colours of the reference
};

void StepEngine(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    f.engine.step();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

void StepOracle(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    oracle::generationStep(f.world);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

// Colours a running world: one generation passes (untimed) between colourings,
// so that the colouring never finds the world as it left it.
void ColourEngine(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    f.engine.colour();
    benchmark::ClobberMemory();
    state.PauseTiming();
    f.engine.updateMargin();
    f.engine.step();
    f.engine.commit();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations());
}

void ColourOracle(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    oracle::colour<PaletteColours>(f.world, f.C, true);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

void CountEngine(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    f.engine.updateHistory();
    benchmark::DoNotOptimize(f.engine.SAME);
  }
  state.SetItemsProcessed(state.iterations());
}

void CountOracle(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    oracle::historyUpdate(f.world);
    benchmark::DoNotOptimize(f.world.SAME);
  }
  state.SetItemsProcessed(state.iterations());
}

void PassEngine(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  NoFrontEnd<PaletteColours::Colour> frontEnd;
  for (auto _ : state) {
    // Keeps the stagnation flag down, so the display phase runs on every other
    // pass as in a running world rather than on every pass of a stagnated one.
    f.engine.SAMEBOO2 = 1;
    f.engine.pass(frontEnd);
  }
  state.SetItemsProcessed(state.iterations());
}

// The reference pass: colouring on every other pass, then wrap, step, count, copy.
void PassOracle(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  std::int64_t step = 0;
  for (auto _ : state) {
    if (++step % 2 == 1) oracle::colour<PaletteColours>(f.world, f.C, true);
    oracle::marginUpdate(f.world);
    oracle::generationStep(f.world);
    oracle::historyUpdate(f.world);
    oracle::copyBack(f.world);
  }
  state.SetItemsProcessed(state.iterations());
}

// The world's share of a pass: margin, step, population history, commit.
void WorldPassEngine(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    f.engine.updateMargin();
    f.engine.step();
    f.engine.updateHistory();
    f.engine.commit();
  }
  state.SetItemsProcessed(state.iterations());
}

void WorldPassOracle(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    oracle::marginUpdate(f.world);
    oracle::generationStep(f.world);
    oracle::historyUpdate(f.world);
    oracle::copyBack(f.world);
  }
  state.SetItemsProcessed(state.iterations());
}

// A `morvane_display2`-like pass: fill-only colouring on every other pass.
void PassFillOnlyEngine(benchmark::State& state) {
  Engine<TrueColours> engine(kMorvaneDisplay2);
  oracle::World world;
  seedBoth(engine, world, static_cast<int>(state.range(0)));
  NoFrontEnd<TrueColours::Colour> frontEnd;
  for (auto _ : state) {
    engine.SAMEBOO2 = 1;  // keeps the stagnation flag down, as in PassEngine
    engine.pass(frontEnd);
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(StepEngine)->Arg(200)->Arg(600);
BENCHMARK(StepOracle)->Arg(200)->Arg(600);
BENCHMARK(ColourEngine)->Arg(200)->Arg(600)->Arg(1000);
BENCHMARK(ColourOracle)->Arg(200)->Arg(600)->Arg(1000);
BENCHMARK(CountEngine)->Arg(200)->Arg(600);
BENCHMARK(CountOracle)->Arg(200)->Arg(600);
BENCHMARK(PassEngine)->Arg(200)->Arg(600);
BENCHMARK(PassOracle)->Arg(200)->Arg(600);
BENCHMARK(WorldPassEngine)->Arg(1000);
BENCHMARK(WorldPassOracle)->Arg(1000);
BENCHMARK(PassFillOnlyEngine)->Arg(600);

}  // namespace
}  // namespace morvane
