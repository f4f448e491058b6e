#include "engine.h"

#include <algorithm>
#include <chrono>
#include <type_traits>
#include <limits>

#include "templates.h"

namespace morvane {

namespace {

// The glider gun seeded by INIT2: row y = 1..11, character x-1 of the row is
// cell [x, y] ('#' live). The gun occupies x = 3..38, y = 2..10.
constexpr std::array<const char*, 11> kGliderGun = {
    "........................................",  // y = 1
    "..........................#.............",  // y = 2
    "........................#.#.............",  // y = 3
    "..............##......##............##..",  // y = 4
    ".............#...#....##............##..",  // y = 5
    "..##........#.....#...##................",  // y = 6
    "..##........#...#.##....#.#.............",  // y = 7
    "............#.....#.......#.............",  // y = 8
    ".............#...#......................",  // y = 9
    "..............##........................",  // y = 10
    "........................................",  // y = 11
};
constexpr int kGunWidth = 40;  // characters per row of kGliderGun

// Ends the process with a range error when a cadence or seeding divisor is 0.
void checkDivisor(std::int16_t divisor) {
  if (divisor == 0) rt::fail(rt::RuntimeError::kRangeCheck);
}

}  // namespace

template <class Colours>
Engine<Colours>::Engine(const Deliverable& deliverable, const Kernel& kernel)
    : GRO(deliverable.GRO), deliverable_(deliverable), world_(kernel) {
  checkParameters();
}

template <class Colours>
void Engine<Colours>::checkParameters() {
  gro_ = rt::index<int>(GRO, 1, GROLIM);
  checkDivisor(OUTSTEP);
  checkDivisor(TEXTSTEP);
  outstep_ = OUTSTEP;
  textstep_ = TEXTSTEP;
}

template <class Colours>
std::int32_t Engine<Colours>::draw(std::int32_t n) {
  return std::uniform_int_distribution<std::int32_t>(0, n - 1)(random_);
}

template <class Colours>
void Engine<Colours>::start() {
  checkParameters();
  if (GUN) {
    INIT2();
  } else {
    INIT();
  }
  OVER = false;
  SAME = 1;
  STEP = 0;
}

template <class Colours>
void Engine<Colours>::pass(FrontEnd<Colour>& frontEnd) {
  STEP = rt::add<std::int64_t>(STEP, 1);
  OVER2 = OVER;
  testStagnation();
  if (displayDue()) {
    colour();
    frontEnd.displayChanged(C, GRO, changes_);
  }
  if (panelDue()) {
    frontEnd.panelBegin();
    for (std::int32_t K = 10; K >= 1; --K) frontEnd.panelLine(K, panelLine(K));
  }
  if (EDGE) updateMargin();
  step();
  updateHistory();
  commit();
  if (OVER2) {
    perturb();
    STEP = rt::sub<std::int64_t>(STEP, 2);
    OVER = false;
  }
  frontEnd.endOfPass();
}

template <class Colours>
void Engine<Colours>::run(FrontEnd<Colour>& frontEnd) {
  for (;;) pass(frontEnd);
}

template <class Colours>
bool Engine<Colours>::displayDue() const {
  // The remainder is compared modulo OUTSTEP, so with OUTSTEP 1 every pass draws.
  return OVER || STEP % outstep_ == deliverable_.displayRemainder % outstep_;
}

template <class Colours>
bool Engine<Colours>::panelDue() const {
  return OVER || STEP % textstep_ == 0;
}

template <class Colours>
void Engine<Colours>::INIT() {
  random_.seed(static_cast<std::uint32_t>(
      std::chrono::system_clock::now().time_since_epoch().count()));
  if (!RAND) {
    seedBlock(gro_);
    return;
  }
  const std::int32_t ranstep = rt::index<std::int32_t>(RANSTEP, 1, std::numeric_limits<std::int16_t>::max());
  for (int x = 1; x <= gro_; ++x) {
    for (int y = 1; y <= gro_; ++y) {
      if (draw(ranstep) == 0) world_.set(x, y, true);
    }
  }
}

template <class Colours>
void Engine<Colours>::seedBlock(int gro) {
  // A block larger than the world is clipped to it.
  const int width = std::min<int>(WIDTH, gro);
  const int length = std::min<int>(LONG, gro);
  for (int x = 1; x <= width; ++x) {
    for (int y = 1; y <= length; ++y) world_.set(x, y, true);
  }
}

template <class Colours>
void Engine<Colours>::INIT2() {
  // In a world narrower than the gun only the cells inside 1..GRO are kept.
  for (int y = 1; y <= std::min<int>(kGliderGun.size(), gro_); ++y) {
    for (int x = 1; x <= std::min(kGunWidth, gro_); ++x) {
      if (kGliderGun[y - 1][x - 1] == '#') world_.set(x, y, true);
    }
  }
}

template <class Colours>
void Engine<Colours>::testStagnation() {
  if (SAMEBOO < -2 && SAMEBOO == SAMEBOO2) OVER = true;
}

template <class Colours>
void Engine<Colours>::updateMargin() {
  world_.wrapMargin(gro_);
}

template <class Colours>
StepOutcomes Engine<Colours>::compileRules() const {
  StepOutcomes outcomes{};
  for (int n = 0; n <= 8; ++n) {
    bool dead = RULESBOO[n];  // outcome for a dead cell with n live neighbours
    bool live = RULESBOO[n];  // outcome for a live cell with n live neighbours
    switch (RULES[n]) {
      case 0: dead = live = false; break;
      case 1: dead = live = true; break;
      case 2: dead = false; live = true; break;
      default: break;  // an entry outside 0..2 leaves the outcome as it was
    }
    outcomes[n] = dead;
    outcomes[n + 9] = live;
  }
  return outcomes;
}

template <class Colours>
void Engine<Colours>::step() {
  const StepOutcomes outcomes = compileRules();
  // RULESBOO as the last cell computed, [GRO, GRO], leaves it.
  const int lastState = A(gro_, gro_) ? 9 : 0;
  world_.step(gro_, compileRule(outcomes));
  for (int n = 0; n <= 8; ++n) RULESBOO[n] = outcomes[n + lastState];
}

template <class Colours>
void Engine<Colours>::updateHistory() {
  for (int k = SAMEDES; k >= 1; --k) SAM[k + 1] = SAM[k];
  SAME = world_.countLive(gro_);
  SAM[1] = SAME;
  SAMEBOO2 = SAMEBOO;
  SAMEBOO = 0;
  for (int k = 2; k <= SAMEDES; ++k) {
    if (SAM[k] == SAM[1]) --SAMEBOO;
  }
}

template <class Colours>
void Engine<Colours>::commit() {
  world_.commit();
}

template <class Colours>
void Engine<Colours>::perturb() {
  // Cells are drawn in 1..GRO-1; a world of side 1 has no such cell.
  if (gro_ < 2) return;
  for (int n = 1; n <= ADDRAND; ++n) {
    const int x = draw(gro_ - 1) + 1;
    const int y = draw(gro_ - 1) + 1;
    world_.set(x, y, true);
  }
}

template <class Colours>
void Engine<Colours>::colour() {
  if (deliverable_.colouring == Colouring::kTemplates) world_.scanTemplates(gro_, cover_);
  fill();
}

// The colouring's words are the bands of ColourChanges, column for column.
static_assert(ColourChanges::kBandCells == 64 && ColourChanges::firstY(0) == packed::kLow &&
              ColourChanges::kBands >= packed::kWords && Grid<std::uint8_t>::kSpan == packed::kColumns);

template <class Colours>
void Engine<Colours>::fill() {
  // The colour kernels work on unsigned colours of the same size.
  using Unsigned = std::make_unsigned_t<Colour>;
  ColourPass<Unsigned> pass{nullptr, cover_.words(), shown_.data(), reinterpret_cast<Unsigned*>(C.column(Grid<Colour>::kLow)),
                            changes_.columns(),
                            static_cast<std::size_t>(Grid<Colour>::kSpan), gro_,
                            {static_cast<Unsigned>(Colours::CN), static_cast<Unsigned>(Colours::CM),
                             static_cast<Unsigned>(Colours::CC), static_cast<Unsigned>(Colours::CS)}};
  world_.colour(pass);
}

template <class Colours>
std::string Engine<Colours>::panelLine(std::int32_t K) const {
  using std::to_string;
  switch (K) {
    case 10: return "size   :" + to_string(GRO);
    case 9: return "outstep:" + to_string(OUTSTEP);
    case 8: return "txtstep:" + to_string(TEXTSTEP);
    case 7: return std::string("edge   :") + (EDGE ? "true" : "false");
    case 6:
      return RAND ? "random :true/" + to_string(RANSTEP) + "/" + to_string(ADDRAND)
                  : "random :false/" + to_string(WIDTH) + "/" + to_string(LONG);
    case 5: {
      std::string line = "rules  :";
      for (std::int16_t rule : RULES) line += to_string(rule);
      return line;
    }
    case 4: return "step   :" + to_string(STEP);
    case 3: return "life   :" + to_string(SAME);
    case 2: {
      // Share in hundredths of a percent, in 64 bits so any world up to GROLIM is sound.
      const std::int64_t gro = gro_;
      const std::int64_t share = std::int64_t{SAME} * 10000 / (gro * gro);
      const std::int64_t hundredths = share % 100;
      return "lifepro:" + to_string(share / 100) + (hundredths < 10 ? ".0" : ".") +
             to_string(hundredths) + "% ";
    }
    case 1: return "end    :" + to_string(SAMEBOO);
    default: rt::fail(rt::RuntimeError::kRangeCheck);
  }
}

template class Engine<PaletteColours>;
template class Engine<TrueColours>;

}  // namespace morvane
