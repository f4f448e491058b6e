// The production engine against the plain reference, cell for cell: random
// worlds (margins included), random rule tables with entries 0..3, both EDGE
// values and world sides from 1 to GROLIM; once for every kernel this CPU runs.
#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "engine.h"
#include "oracle.h"

namespace morvane {
namespace {

struct Case {
  int gro;             // world side
  bool edge;           // EDGE
  bool compareColour;  // also run the (slow) reference template scan
  std::uint32_t seed;  // world and rule table
};

using TestEngine = Engine<TrueColours>;

void randomise(TestEngine& engine, oracle::World& world, const Case& c) {
  std::mt19937 random(c.seed);
  const double density = std::uniform_real_distribution<double>(0.05, 0.6)(random);
  std::bernoulli_distribution alive(density);
  std::uniform_int_distribution<int> rule(0, 3);
  for (int n = 0; n <= 8; ++n) {
    world.RULES[n] = engine.RULES[n] = static_cast<std::int16_t>(rule(random));
    world.RULESBOO[n] = engine.RULESBOO[n] = alive(random);
  }
  // The whole grid range, margins included, so the margin handling is compared too.
  for (int x = -4; x <= c.gro + 5; ++x) {
    for (int y = -4; y <= c.gro + 5; ++y) {
      world.A(x, y) = alive(random) ? 1 : 0;
      engine.setA(x, y, world.A(x, y) != 0);
    }
  }
}

// Compares every observable of the world; returns false after the first difference.
bool sameWorld(const TestEngine& engine, const oracle::World& world, int gro) {
  for (int x = -4; x <= gro + 5; ++x) {
    for (int y = -4; y <= gro + 5; ++y) {
      if (engine.A(x, y) != (world.A(x, y) != 0)) {
        ADD_FAILURE() << "A differs at [" << x << ", " << y << "]";
        return false;
      }
    }
  }
  for (int x = 1; x <= gro; ++x) {
    for (int y = 1; y <= gro; ++y) {
      if (engine.B(x, y) != (world.B(x, y) != 0)) {
        ADD_FAILURE() << "B differs at [" << x << ", " << y << "]";
        return false;
      }
    }
  }
  EXPECT_EQ(engine.RULESBOO, world.RULESBOO);
  EXPECT_EQ(engine.SAME, world.SAME);
  EXPECT_EQ(engine.SAM, world.SAM);
  EXPECT_EQ(engine.SAMEBOO, world.SAMEBOO);
  EXPECT_EQ(engine.SAMEBOO2, world.SAMEBOO2);
  return true;
}

void compareColours(TestEngine& engine, const oracle::World& world, int gro) {
  Grid<TrueColours::Colour> expected;
  oracle::colour<TrueColours>(world, expected, true);
  engine.colour();
  for (int x = -4; x <= gro + 5; ++x) {
    for (int y = -4; y <= gro + 5; ++y) {
      if (engine.C(x, y) != expected(x, y)) {
        ADD_FAILURE() << "C differs at [" << x << ", " << y << "]: " << std::hex << engine.C(x, y)
                      << " instead of " << expected(x, y);
        return;
      }
    }
  }
}

void runCase(const Case& c, const Kernel& kernel) {
  SCOPED_TRACE(::testing::Message() << "GRO " << c.gro << " EDGE " << c.edge << " seed " << c.seed);
  TestEngine engine(kMorvaneDisplay, kernel);
  oracle::World world;
  engine.GRO = static_cast<std::int16_t>(c.gro);
  engine.checkParameters();
  world.GRO = c.gro;
  engine.EDGE = world.EDGE = c.edge;
  randomise(engine, world, c);
  for (int generation = 0; generation < 3; ++generation) {
    if (c.edge) {
      engine.updateMargin();
      oracle::marginUpdate(world);
    }
    engine.step();
    oracle::generationStep(world);
    engine.updateHistory();
    oracle::historyUpdate(world);
    engine.commit();
    oracle::copyBack(world);
    if (!sameWorld(engine, world, c.gro)) return;
    // Colouring twice also checks what one colouring leaves for the next.
    if (c.compareColour && generation != 1) compareColours(engine, world, c.gro);
  }
}

std::vector<Case> cases() {
  std::vector<Case> all;
  std::uint32_t seed = 1;
  // Every small size, where the margin copies overlap their own sources.
  for (int gro = 1; gro <= 12; ++gro) {
    for (bool edge : {false, true}) all.push_back({gro, edge, true, seed++});
  }
  // A sample of larger sizes; the reference scan is slow, so it runs on some only.
  std::mt19937 random(2024);
  std::uniform_int_distribution<int> size(13, GROLIM - 1);
  for (int i = 0; i < 16; ++i) {
    const int gro = size(random);
    all.push_back({gro, i % 2 == 0, gro <= 300, seed++});
  }
  all.push_back({200, true, true, seed++});
  all.push_back({GROLIM, true, true, seed++});
  all.push_back({GROLIM, false, false, seed++});
  return all;
}

// The kernels this CPU runs, by name.
std::vector<const Kernel*> runnableKernels() {
  std::vector<const Kernel*> kernels;
  for (const Kernel* kernel : registeredKernels()) {
    if (kernel->runnable()) kernels.push_back(kernel);
  }
  return kernels;
}

class EngineDifferential : public ::testing::TestWithParam<const Kernel*> {};

}  // namespace

// Names a kernel in test output.
void PrintTo(const Kernel* kernel, std::ostream* out) { *out << kernel->name; }

namespace {

TEST_P(EngineDifferential, AgreesWithTheReferenceCellForCell) {
  for (const Case& c : cases()) runCase(c, *GetParam());
}

INSTANTIATE_TEST_SUITE_P(EveryKernel, EngineDifferential, ::testing::ValuesIn(runnableKernels()),
                         [](const ::testing::TestParamInfo<const Kernel*>& info) {
                           return std::string(info.param->name);
                         });

TEST(Kernels, TheChosenKernelIsTheBestThisCpuRunsAndTheGenericOneRunsEverywhere) {
  const std::vector<const Kernel*> runnable = runnableKernels();
  ASSERT_FALSE(runnable.empty());
  EXPECT_EQ(&chosenKernel(), runnable.front());
  EXPECT_EQ(registeredKernels().back()->name, "generic");
  EXPECT_EQ(runnable.back()->name, "generic");
}

TEST(EngineColouring, FillOnlyColouringAgreesWithTheReference) {
  const Case c{37, true, false, 99};
  Engine<TrueColours> engine(kMorvaneDisplay2);
  oracle::World world;
  engine.GRO = static_cast<std::int16_t>(c.gro);
  engine.checkParameters();
  world.GRO = c.gro;
  randomise(engine, world, c);
  Grid<TrueColours::Colour> expected;
  oracle::colour<TrueColours>(world, expected, false);
  engine.colour();
  for (int x = -4; x <= c.gro + 5; ++x) {
    for (int y = -4; y <= c.gro + 5; ++y) ASSERT_EQ(engine.C(x, y), expected(x, y)) << x << ", " << y;
  }
}

}  // namespace
}  // namespace morvane
