// The panel text, the cadence of each program, the order of a pass, and the
// run-time errors for parameters the run loop cannot work with.
#include <gtest/gtest.h>

#include "test_support.h"

namespace morvane {
namespace {

using testing_support::RecordingFrontEnd;

constexpr char kRangeReport[] = "^Runtime error 201 at \\$";

std::vector<std::string> fixedLines(const Engine<TrueColours>& engine) {
  std::vector<std::string> lines;
  for (int K = 10; K >= 5; --K) lines.push_back(engine.panelLine(K));
  return lines;
}

TEST(Panel, SixFixedLinesShowTheParametersAsSet) {
  const std::vector<std::string> expected = {"size   :200", "outstep:2",         "txtstep:2",
                                             "edge   :true", "random :true/10/0", "rules  :002100000"};
  EXPECT_EQ(fixedLines(Engine<TrueColours>(kMorvaneDisplay)), expected);
  EXPECT_EQ(Engine<TrueColours>(kMorvaneDisplay2).panelLine(10), "size   :600");
  Engine<TrueColours> block(kMorvaneDisplay);
  block.RAND = false;
  block.GUN = true;  // line 6 follows RAND alone
  block.EDGE = false;
  EXPECT_EQ(block.panelLine(6), "random :false/10/10");
  EXPECT_EQ(block.panelLine(7), "edge   :false");
}

TEST(Panel, LifeShareTruncatesToHundredthsOfAPercentForEveryWorldSize) {
  struct Case {
    int gro, same;
    const char* line;
  };
  const Case cases[] = {
      {200, 1234, "lifepro:3.08% "},     {200, 1230, "lifepro:3.07% "},
      {200, 0, "lifepro:0.00% "},        {200, 40000, "lifepro:100.00% "},
      {600, 360000, "lifepro:100.00% "}, {600, 250000, "lifepro:69.44% "},
      {1000, 1000000, "lifepro:100.00% "}, {1, 1, "lifepro:100.00% "},
      {200, 1640, "lifepro:4.10% "},     {200, 36, "lifepro:0.09% "},
  };
  for (const Case& c : cases) {
    Engine<TrueColours> engine(kMorvaneDisplay);
    engine.GRO = static_cast<std::int16_t>(c.gro);
    engine.SAME = c.same;
    EXPECT_EQ(engine.panelLine(2), c.line) << c.gro << " " << c.same;
  }
}

TEST(Panel, CountersLinesAndAFullWorld) {
  Engine<TrueColours> engine(kMorvaneDisplay);
  engine.RANSTEP = 1;  // every cell of the 200 by 200 world alive
  engine.TEXTSTEP = 1;
  engine.start();
  RecordingFrontEnd<TrueColours::Colour> frontEnd;
  engine.pass(frontEnd);  // the first panel: nothing counted yet
  EXPECT_EQ(frontEnd.lastLine(4), "step   :1");
  EXPECT_EQ(frontEnd.lastLine(3), "life   :1");
  EXPECT_EQ(frontEnd.lastLine(2), "lifepro:0.00% ");
  EXPECT_EQ(frontEnd.lastLine(1), "end    :0");
  engine.pass(frontEnd);  // shows the count of the full seed
  EXPECT_EQ(frontEnd.lastLine(3), "life   :40000");
  EXPECT_EQ(frontEnd.lastLine(2), "lifepro:100.00% ");
  engine.SAMEBOO = -3;
  EXPECT_EQ(engine.panelLine(1), "end    :-3");
}

TEST(Panel, StepPastTheLargest32BitValueIsShownAsItIs) {
  Engine<TrueColours> engine(kMorvaneDisplay);
  engine.TEXTSTEP = 1;
  engine.STEP = 2147483647;
  RecordingFrontEnd<TrueColours::Colour> frontEnd;
  engine.pass(frontEnd);
  EXPECT_EQ(frontEnd.lastLine(4), "step   :2147483648");
  engine.pass(frontEnd);
  EXPECT_EQ(frontEnd.lastLine(4), "step   :2147483649");
}

// The hand-overs of the first four passes of an engine holding a glider (whose
// constant population raises no flag before pass 22).
template <class Colours>
std::vector<std::string> firstPasses(const Deliverable& deliverable, std::int16_t outstep) {
  Engine<Colours> engine(deliverable);
  engine.OUTSTEP = outstep;
  testing_support::place(engine, testing_support::kGlider, 50, 50);
  RecordingFrontEnd<typename Colours::Colour> frontEnd;
  std::vector<std::string> summary;
  for (int pass = 1; pass <= 4; ++pass) {
    frontEnd.events.clear();
    engine.pass(frontEnd);
    std::string kinds;
    for (const std::string& event : frontEnd.events) {
      if (event == "display") kinds += "D";
      if (event == "begin") kinds += "B";
      if (event.rfind("line", 0) == 0) kinds += event.substr(5, event.find(' ', 5) - 5) + ",";
      if (event == "end") kinds += "E";
    }
    summary.push_back(kinds);
  }
  return summary;
}

TEST(Cadence, EachProgramDrawsAndWritesOnItsPasses) {
  const std::string panel = "B10,9,8,7,6,5,4,3,2,1,";
  const std::vector<std::string> odd = {"DE", panel + "E", "DE", panel + "E"};
  EXPECT_EQ(firstPasses<PaletteColours>(kMorvane, 2), odd);
  EXPECT_EQ(firstPasses<TrueColours>(kMorvaneDisplay, 2), odd);
  const std::vector<std::string> even = {"E", "D" + panel + "E", "E", "D" + panel + "E"};
  EXPECT_EQ(firstPasses<TrueColours>(kMorvaneDisplay2, 2), even);
  // With OUTSTEP 1 every pass draws, whatever the program's remainder.
  const std::vector<std::string> always = {"DE", "D" + panel + "E", "DE", "D" + panel + "E"};
  EXPECT_EQ(firstPasses<PaletteColours>(kMorvane, 1), always);
  EXPECT_EQ(firstPasses<TrueColours>(kMorvaneDisplay2, 1), always);
}

TEST(Cadence, DisplayShowsTheGenerationBeforeItIsWrappedAndStepped) {
  Engine<TrueColours> engine(kMorvaneDisplay);
  engine.OUTSTEP = 1;
  testing_support::place(engine, testing_support::kGlider, 50, 50);
  engine.A(100, 100) = 1;  // a lone cell dies in the first step
  // A lone cell in the column x = GRO, where the margin update copies the column x = 1.
  engine.A(200, 120) = 1;
  RecordingFrontEnd<TrueColours::Colour> frontEnd;
  engine.pass(frontEnd);
  engine.pass(frontEnd);
  EXPECT_EQ(frontEnd.colouredCells, (std::vector<int>{7, 5}));
}

TEST(EngineErrorsDeathTest, ParametersTheRunCannotWorkWithEndTheProgram) {
  const auto startWith = [](auto change) {
    Engine<TrueColours> engine(kMorvaneDisplay);
    change(engine);
    engine.start();
  };
  using E = Engine<TrueColours>;
  EXPECT_EXIT(startWith([](E& e) { e.GRO = 0; }), testing::ExitedWithCode(201), kRangeReport);
  EXPECT_EXIT(startWith([](E& e) { e.GRO = GROLIM + 1; }), testing::ExitedWithCode(201), kRangeReport);
  EXPECT_EXIT(startWith([](E& e) { e.OUTSTEP = 0; }), testing::ExitedWithCode(201), kRangeReport);
  EXPECT_EXIT(startWith([](E& e) { e.TEXTSTEP = 0; }), testing::ExitedWithCode(201), kRangeReport);
  EXPECT_EXIT(startWith([](E& e) { e.RANSTEP = 0; }), testing::ExitedWithCode(201), kRangeReport);
  EXPECT_EXIT(startWith([](E& e) { e.RANSTEP = -5; }), testing::ExitedWithCode(201), kRangeReport);
}

TEST(EngineErrorsDeathTest, ParametersChangedAfterTheStartAreCaughtWhereTheyAreUsed) {
  Engine<TrueColours> engine(kMorvaneDisplay);
  RecordingFrontEnd<TrueColours::Colour> frontEnd;
  EXPECT_EXIT((engine.OUTSTEP = 0, engine.pass(frontEnd)), testing::ExitedWithCode(201), kRangeReport);
  engine.OUTSTEP = 2;
  EXPECT_EXIT((engine.GRO = -1, engine.step()), testing::ExitedWithCode(201), kRangeReport);
  EXPECT_EXIT((engine.GRO = 1001, engine.colour()), testing::ExitedWithCode(201), kRangeReport);
  EXPECT_EXIT(engine.panelLine(11), testing::ExitedWithCode(201), kRangeReport);
}

}  // namespace
}  // namespace morvane
