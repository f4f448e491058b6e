// The wrap of the world, the bounded world, and seeding.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "test_support.h"

namespace morvane {
namespace {

using testing_support::RecordingFrontEnd;
using TestEngine = Engine<TrueColours>;

// Fills the world 1..GRO at random (line and column GRO included), margin dead.
void randomWorld(TestEngine& engine, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::bernoulli_distribution alive(0.3);
  for (int x = 1; x <= engine.GRO; ++x) {
    for (int y = 1; y <= engine.GRO; ++y) engine.A(x, y) = alive(random) ? 1 : 0;
  }
}

TEST(Wrap, MarginRepeatsTheWorldWithPeriodGroMinusOneCornersIncluded) {
  for (int gro : {6, 7, 30, 200}) {
    SCOPED_TRACE(gro);
    TestEngine engine(kMorvaneDisplay);
    engine.GRO = static_cast<std::int16_t>(gro);
    randomWorld(engine, static_cast<std::uint32_t>(gro));
    Grid<std::uint8_t> before;
    for (int x = 1; x <= gro; ++x) {
      for (int y = 1; y <= gro; ++y) before(x, y) = engine.A(x, y);
    }
    engine.updateMargin();
    const auto wrap = [gro](int i) { return i < 1 ? i + gro - 1 : i >= gro ? i - (gro - 1) : i; };
    for (int x = -4; x <= gro + 5; ++x) {
      for (int y = -4; y <= gro + 5; ++y) {
        const int expected = x == gro + 5 || y == gro + 5 ? 0 : before(wrap(x), wrap(y));
        ASSERT_EQ(engine.A(x, y), expected) << "[" << x << ", " << y << "]";
      }
    }
  }
}

TEST(Wrap, LineAndColumnGroMirrorLineAndColumnOneAfterAPass) {
  TestEngine engine(kMorvaneDisplay);
  randomWorld(engine, 5);
  RecordingFrontEnd<TrueColours::Colour> frontEnd;
  engine.pass(frontEnd);
  int differences = 0;
  for (int i = 1; i <= engine.GRO; ++i) {
    differences += engine.A(engine.GRO, i) != engine.A(1, i);
    differences += engine.A(i, engine.GRO) != engine.A(i, 1);
  }
  EXPECT_EQ(differences, 0);
}

TEST(Wrap, GliderCrossesTheEdgeAndComesBackAfterFourTimesGroMinusOnePasses) {
  TestEngine engine(kMorvaneDisplay);
  testing_support::place(engine, testing_support::kGlider, 195, 100);
  RecordingFrontEnd<TrueColours::Colour> frontEnd;
  bool reentered = false;
  for (int pass = 1; pass <= 4 * 199; ++pass) {
    engine.pass(frontEnd);
    for (int y = 1; y <= 199; ++y) reentered = reentered || engine.A(1, y) != 0;
  }
  EXPECT_TRUE(reentered);
  for (int x = 1; x <= 199; ++x) {
    for (int y = 1; y <= 199; ++y) {
      const bool inGlider = std::count(testing_support::kGlider.begin(), testing_support::kGlider.end(),
                                       std::pair{x - 195, y - 100}) > 0;
      ASSERT_EQ(engine.A(x, y) != 0, inGlider) << "[" << x << ", " << y << "]";
    }
  }
}

TEST(Wrap, BoundedWorldLosesCellsAtTheBorderAndItsMarginStaysDead) {
  TestEngine engine(kMorvaneDisplay);
  engine.GRO = 20;
  engine.EDGE = false;
  testing_support::place(engine, testing_support::kGlider, 14, 14);
  RecordingFrontEnd<TrueColours::Colour> frontEnd;
  for (int pass = 1; pass <= 60; ++pass) engine.pass(frontEnd);
  // The glider ends as a block in the corner: nothing wrapped, no margin cell alive.
  EXPECT_EQ(testing_support::liveCells(engine, -4, 25), 4);
  EXPECT_EQ(testing_support::liveCells(engine, 19, 20), 4);
}

TEST(Seeding, GliderGunHasItsThirtySixCellsAndEmitsAGliderEveryThirtyGenerations) {
  TestEngine engine(kMorvaneDisplay);
  engine.GUN = true;
  engine.EDGE = false;
  engine.start();
  EXPECT_EQ(testing_support::liveCells(engine, -4, 205), 36);
  const std::vector<std::pair<int, int>> row7 = {{3, 7}, {4, 7}, {13, 7}, {17, 7}, {19, 7}, {20, 7}, {25, 7}, {27, 7}};
  for (const auto& [x, y] : row7) EXPECT_TRUE(engine.A(x, y)) << x;
  EXPECT_EQ(testing_support::liveCells(engine, 1, 2) + testing_support::liveCells(engine, 39, 205), 0);
  RecordingFrontEnd<TrueColours::Colour> frontEnd;
  for (int pass = 1; pass <= 30; ++pass) engine.pass(frontEnd);
  EXPECT_EQ(testing_support::liveCells(engine, 1, 200), 36 + 5);
}

// Two runs of the same program: INIT seeds the generator from the clock, so the
// soups differ; the gun leaves it as it starts, so the perturbations repeat.
TEST(Seeding, OnlyRandomSeedingTakesTheGeneratorFromTheClock) {
  for (const bool gun : {false, true}) {
    SCOPED_TRACE(gun ? "gun" : "random soup");
    TestEngine first(kMorvaneDisplay);
    TestEngine second(kMorvaneDisplay);
    for (TestEngine* engine : {&first, &second}) {
      engine->GUN = gun;
      engine->ADDRAND = 30;
      engine->start();
      engine->perturb();
    }
    int differences = 0;
    for (int x = 1; x <= 200; ++x) {
      for (int y = 1; y <= 200; ++y) differences += first.A(x, y) != second.A(x, y);
    }
    if (gun) {
      EXPECT_EQ(differences, 0);
      EXPECT_GT(testing_support::liveCells(first, 1, 200), 36);
    } else {
      EXPECT_GT(differences, 1000);  // two independent soups of 4,000 cells
    }
  }
}

TEST(Seeding, GunInANarrowWorldKeepsOnlyTheCellsInside) {
  const std::pair<int, int> cases[] = {{38, 36}, {20, 20}, {8, 4}, {5, 0}};
  for (const auto& [gro, cells] : cases) {
    TestEngine engine(kMorvaneDisplay);
    engine.GRO = static_cast<std::int16_t>(gro);
    engine.GUN = true;
    engine.start();
    EXPECT_EQ(testing_support::liveCells(engine, -4, gro), cells) << gro;
    EXPECT_EQ(testing_support::liveCells(engine, -4, 50), cells) << gro;
  }
}

TEST(Seeding, BlockIsWidthByLongAndClippedToTheWorld) {
  struct Case {
    int gro, width, length, live;
  };
  for (const Case& c : {Case{200, 10, 10, 100}, Case{20, 50, 7, 140}, Case{5, 10, 10, 25}, Case{20, -3, 10, 0}}) {
    TestEngine engine(kMorvaneDisplay);
    engine.GRO = static_cast<std::int16_t>(c.gro);
    engine.RAND = false;
    engine.WIDTH = static_cast<std::int16_t>(c.width);
    engine.LONG = static_cast<std::int16_t>(c.length);
    engine.start();
    EXPECT_EQ(testing_support::liveCells(engine, -4, 205), c.live) << c.gro;
    const int right = std::min(c.width, c.gro), bottom = std::min(c.length, c.gro);
    for (int x = 1; x <= right; ++x) {
      for (int y = 1; y <= bottom; ++y) EXPECT_TRUE(engine.A(x, y)) << x << ", " << y;
    }
  }
}

TEST(Seeding, RandomSoupHasOneCellInRanstepAndRanstepOneFillsTheWorld) {
  TestEngine engine(kMorvaneDisplay);
  engine.start();
  const int live = testing_support::liveCells(engine, -4, 205);
  EXPECT_GT(live, 4000 - 300);  // 40,000 cells at 1/10: five standard deviations either side
  EXPECT_LT(live, 4000 + 300);
  int lastColumn = 0;  // the column x = GRO is seeded like any other (about 20 cells)
  for (int y = 1; y <= 200; ++y) lastColumn += engine.A(200, y);
  EXPECT_GT(lastColumn, 0);

  TestEngine full(kMorvaneDisplay);
  full.GRO = 30;
  full.RANSTEP = 1;
  full.start();
  EXPECT_EQ(testing_support::liveCells(full, 1, 30), 900);
  EXPECT_EQ(testing_support::liveCells(full, -4, 35), 900);
}

}  // namespace
}  // namespace morvane
