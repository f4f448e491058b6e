// Population history, stagnation flag, perturbation and the STEP rollback.
#include <gtest/gtest.h>

#include <functional>

#include "test_support.h"

namespace morvane {
namespace {

using testing_support::RecordingFrontEnd;
using TestEngine = Engine<PaletteColours>;

constexpr std::int16_t kNever = 30000;  // a cadence divisor that never comes round in these tests

// Lays `count` live cells over the world 1..GRO, clearing the rest.
void setPopulation(TestEngine& engine, int count) {
  for (int x = 1; x <= engine.GRO; ++x) {
    for (int y = 1; y <= engine.GRO; ++y) {
      engine.setA(x, y, count > 0);
      --count;
    }
  }
}

struct PopulationCase {
  const char* name;
  std::function<int(int)> population;  // count laid before pass p
  int flagPass;                        // first pass after which OVER is up; 0: never
};

// Distinct counts before the repetition starts at pass 50.
int prelude(int pass) { return 200 + pass; }

// A population repeating with period n (distinct values) from pass 50 on.
std::function<int(int)> periodic(int n) {
  return [n](int pass) { return pass < 50 ? prelude(pass) : 10 + 10 * ((pass - 50) % n); };
}

TEST(Stagnation, FlagRisesOnThePassTheHistoryJustifies) {
  const PopulationCase cases[] = {
      {"constant from pass 50", [](int p) { return p < 50 ? prelude(p) : 120; }, 71},
      {"period two from pass 50", [](int p) { return p < 50 ? prelude(p) : (p % 2 == 0 ? 48 : 56); }, 58},
      {"period three", periodic(3), 50 + 9 + 2},
      {"period six", periodic(6), 50 + 18 + 2},
      {"period seven never", periodic(7), 0},
      {"empty from the start", [](int) { return 0; }, 3},
      {"early death after pass 4", [](int p) { return p <= 4 ? 300 + p : 0; }, 7},
  };
  for (const PopulationCase& c : cases) {
    SCOPED_TRACE(c.name);
    TestEngine engine(kMorvane);
    engine.GRO = 20;
    engine.EDGE = false;
    engine.OUTSTEP = engine.TEXTSTEP = kNever;
    engine.checkParameters();
    RecordingFrontEnd<PaletteColours::Colour> frontEnd;
    int flagPass = 0;
    for (int pass = 1; pass <= 150 && flagPass == 0; ++pass) {
      setPopulation(engine, c.population(pass));
      engine.pass(frontEnd);
      EXPECT_GE(engine.SAMEBOO, -19);
      if (engine.OVER) flagPass = pass;
    }
    EXPECT_EQ(flagPass, c.flagPass);
  }
}

TEST(Stagnation, FlaggedAndPerturbationPassesAlternateShowingSAndSPlusOne) {
  TestEngine engine(kMorvane);  // empty world, ADDRAND 0
  engine.OUTSTEP = engine.TEXTSTEP = kNever;
  engine.checkParameters();
  RecordingFrontEnd<PaletteColours::Colour> frontEnd;
  std::vector<std::string> shownSteps;
  for (int pass = 1; pass <= 10; ++pass) {
    frontEnd.events.clear();
    engine.pass(frontEnd);
    const bool displayed = !frontEnd.colouredCells.empty() && frontEnd.events[0] == "display";
    // STEP 1 is drawn by the cadence (remainder 1); from pass 3 on every pass is forced.
    EXPECT_EQ(displayed, pass != 2) << pass;
    shownSteps.push_back(frontEnd.lastLine(4));
  }
  const std::vector<std::string> expected = {"",          "",          "step   :3", "step   :4",
                                             "step   :3", "step   :4", "step   :3", "step   :4",
                                             "step   :3", "step   :4"};
  EXPECT_EQ(shownSteps, expected);
  EXPECT_EQ(engine.STEP, 2);
  EXPECT_EQ(engine.panelLine(1), "end    :-19");
}

struct PassState {
  bool over;
  bool over2;
  std::int64_t step;
};

TEST(Stagnation, AChangingPerturbationIsFollowedByASecondOneTwoPassesLater) {
  TestEngine engine(kMorvane);
  engine.GRO = 20;
  engine.EDGE = false;
  engine.ADDRAND = 5;
  engine.RULES.fill(2);  // every cell keeps its state: only perturbations change the world
  engine.OUTSTEP = engine.TEXTSTEP = kNever;
  engine.checkParameters();
  engine.seedRandom(7);
  testing_support::place(engine, {{3, 3}, {3, 4}, {4, 3}, {4, 4}});
  RecordingFrontEnd<PaletteColours::Colour> frontEnd;
  std::vector<PassState> states(1);
  std::vector<int> population(1);
  for (int pass = 1; pass <= 50; ++pass) {
    engine.pass(frontEnd);
    states.push_back({engine.OVER, engine.OVER2, engine.STEP});
    population.push_back(testing_support::liveCells(engine, 1, 20));
  }
  for (int pass = 1; pass <= 21; ++pass) EXPECT_FALSE(states[pass].over) << pass;
  // Flagged at 22, perturbed at 23, flagged again at 24 on the old history, perturbed at 25.
  EXPECT_TRUE(states[22].over && !states[22].over2 && states[22].step == 22);
  EXPECT_TRUE(!states[23].over && states[23].over2 && states[23].step == 21);
  EXPECT_TRUE(states[24].over && !states[24].over2 && states[24].step == 22);
  EXPECT_TRUE(!states[25].over && states[25].over2 && states[25].step == 21);
  ASSERT_GT(population[23], population[22]) << "the first perturbation must change the world";
  ASSERT_GT(population[25], population[24]) << "the second perturbation must change the world";
  // Counting goes on from 21; the new constant population stagnates 21 passes after pass 26.
  for (int pass = 26; pass <= 46; ++pass) {
    EXPECT_FALSE(states[pass].over) << pass;
    EXPECT_EQ(states[pass].step, pass - 4) << pass;
  }
  EXPECT_TRUE(states[47].over);
}

TEST(Stagnation, PerturbationWithoutAddrandChangesNoCell) {
  TestEngine engine(kMorvane);
  engine.GRO = 20;
  engine.checkParameters();
  engine.seedRandom(3);
  testing_support::place(engine, testing_support::kGlider, 5, 5);
  engine.perturb();
  EXPECT_EQ(testing_support::liveCells(engine, -4, 25), 5);
  engine.ADDRAND = 40;
  engine.perturb();
  const int live = testing_support::liveCells(engine, 1, 19);
  EXPECT_GT(live, 5);
  EXPECT_LE(live, 45);
  // The line and column GRO are never chosen.
  EXPECT_EQ(testing_support::liveCells(engine, -4, 25), live);
}

}  // namespace
}  // namespace morvane
