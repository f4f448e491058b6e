// The three programs as a user sees them: the real programs on an X display with
// a window manager, read back from screenshots of their windows. One table row
// per program; every wait polls for what should show.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "xharness.h"

namespace morvane::e2e {
namespace {

// The colours a program shows, as 0x00BBGGRR.
struct Colours {
  std::uint32_t dead, normal, still, cycling, moving;  // the cells' classes
  std::uint32_t text;                                  // the panel's glyphs
};

// True colours of the windowed programs (text black on a white box).
constexpr Colours kTrueColours{0x000000, 0x008000, 0xFF0000, 0x0000FF, 0x00FFFF, 0x000000};
// Palette entries 0, 2, 1, 4, 14 and 15 of morvane's default palette.
constexpr Colours kPaletteColours{0x000000, 0x00A800, 0xA80000, 0x0000A8, 0x54FCFC, 0xFCFCFC};

// What tells the programs apart on screen.
struct Program {
  const char* name;          // the program, for messages
  const char* path;          // its executable
  int width, height;         // client area it asks for, pixels (0: the screen's usable area)
  int gro;                   // world side in cells
  int firstPixel;            // pixel of cell [1, 1] in both directions
  int panelX, panelBase;     // panel line K starts at (panelX, panelBase - lineStep * K)
  int lineStep;              // pixels between panel lines
  bool bigFont;              // the panel's face: 8x16 (true) or 8x8
  const Colours* colours;    // what it paints with
  bool structures;           // structures are painted in their class colours
  bool framedWindow;         // a window of its own size that the user may resize
};

// How a test names its program in reports.
void PrintTo(const Program& p, std::ostream* os) { *os << p.name; }

const Program kPrograms[] = {
    {"morvane_display", MORVANE_DISPLAY_PATH, 500, 500, 200, 1, 210, 200, 20, true, &kTrueColours, true, true},
    {"morvane_display2", MORVANE_DISPLAY2_PATH, 800, 600, 600, 0, 610, 600, 20, true, &kTrueColours, false, true},
    {"morvane", MORVANE_PATH, 0, 0, 200, 1, 210, 200, 10, false, &kPaletteColours, true, false},
};

// Panel line K as it reads on the screenshot.
std::string panelLine(const Image& image, const Program& p, int K) {
  return readText(image, p.panelX, p.panelBase - p.lineStep * K, 30,
                  p.bigFont ? plat::fonts::vga16() : plat::fonts::vga8(), p.colours->text);
}

// The number a state line (4: step, 3: life, 1: end) shows, when it is wholly drawn.
std::optional<long> shownNumber(const Image& image, const Program& p, int K) {
  static const std::map<int, std::string> labels = {{4, "step   :"}, {3, "life   :"}, {1, "end    :"}};
  const std::string line = panelLine(image, p, K);
  if (line.rfind(labels.at(K), 0) != 0) return std::nullopt;
  return panelNumber(line);
}

// The live share line 2 must show beside a life line of `same` cells.
std::string shareLine(long same, int gro) {
  const long share = same * 10000 / (long{gro} * gro);
  const std::string hundredths = std::to_string(share % 100);
  return "lifepro:" + std::to_string(share / 100) + "." + (share % 100 < 10 ? "0" : "") + hundredths + "%";
}

// The program's window at its size, with a whole panel: morvane clears and redraws its
// panel thousands of times a second, each write showing at once, so a grab may catch it
// half drawn (the share line then disagrees with the life line); a windowed program's
// first frames may come before its first panel.
bool wholePanel(const Image& image, const Program& p) {
  const bool sized = p.width != 0 ? image.width == p.width && image.height == p.height
                                  : image.width > p.panelX + 150 && image.height > p.panelBase + 10;
  if (!sized || panelLine(image, p, 10) != "size   :" + std::to_string(p.gro)) return false;
  const std::optional<long> same = shownNumber(image, p, 3);
  return shownNumber(image, p, 4) && same && shownNumber(image, p, 1) &&
         panelLine(image, p, 2) == shareLine(*same, p.gro);
}

// The world's pixels, row by row.
std::vector<std::uint32_t> worldPixels(const Image& image, const Program& p) {
  std::vector<std::uint32_t> world;
  for (int y = p.firstPixel; y < p.firstPixel + p.gro; ++y) {
    for (int x = p.firstPixel; x < p.firstPixel + p.gro; ++x) world.push_back(image.at(x, y));
  }
  return world;
}

// True when the world shows live cells.
bool worldShown(const Image& image, const Program& p) {
  for (std::uint32_t c : worldPixels(image, p)) {
    if (c != p.colours->dead) return true;
  }
  return false;
}

// Checks the ten panel lines: the parameters exactly, the state lines by their labels.
void expectPanel(const Image& image, const Program& p) {
  EXPECT_EQ(panelLine(image, p, 10), "size   :" + std::to_string(p.gro));
  EXPECT_EQ(panelLine(image, p, 9), "outstep:2");
  EXPECT_EQ(panelLine(image, p, 8), "txtstep:2");
  EXPECT_EQ(panelLine(image, p, 7), "edge   :true");
  EXPECT_EQ(panelLine(image, p, 6), "random :true/10/0");
  EXPECT_EQ(panelLine(image, p, 5), "rules  :002100000");
  EXPECT_TRUE(shownNumber(image, p, 4)) << panelLine(image, p, 4);
  EXPECT_TRUE(shownNumber(image, p, 3)) << panelLine(image, p, 3);
  const std::string share = panelLine(image, p, 2);
  EXPECT_EQ(share.rfind("lifepro:", 0), 0u) << share;
  EXPECT_NE(share.find('%'), std::string::npos) << share;
  EXPECT_TRUE(shownNumber(image, p, 1)) << panelLine(image, p, 1);
}

// Checks that the world's pixels have only the colours the program may use, that live
// cells (and, where painted, structures) show, and that nothing lies beside the world.
void expectWorld(const Image& image, const Program& p) {
  const Colours& c = *p.colours;
  const std::set<std::uint32_t> allowed = p.structures
                                              ? std::set<std::uint32_t>{c.dead, c.normal, c.still, c.cycling, c.moving}
                                              : std::set<std::uint32_t>{c.dead, c.normal};
  int normal = 0;
  int structure = 0;
  for (std::uint32_t colour : worldPixels(image, p)) {
    ASSERT_TRUE(allowed.count(colour)) << p.name << ": colour " << std::hex << colour;
    normal += colour == c.normal;
    structure += colour == c.still || colour == c.cycling || colour == c.moving;
  }
  EXPECT_GT(normal, 0) << p.name;
  if (p.structures) {
    EXPECT_GT(structure, 0) << p.name;
  }
  // Nothing between the world and the panel, nor in row and column 0 when unused.
  for (int y = 0; y < p.gro; ++y) {
    for (int x = p.firstPixel + p.gro; x < p.panelX; ++x) ASSERT_EQ(image.at(x, y), c.dead) << x << "," << y;
  }
  if (p.firstPixel == 0) return;
  for (int i = 0; i <= p.gro; ++i) {
    ASSERT_EQ(image.at(0, i), c.dead) << "column 0, row " << i;
    ASSERT_EQ(image.at(i, 0), c.dead) << "row 0, column " << i;
  }
}

class ProgramTest : public ::testing::TestWithParam<Program> {
 protected:
  void SetUp() override { ASSERT_TRUE(x_.ok()) << "no X display"; }

  // A screenshot with a whole panel, once the world shows; saved as a PNG when it fails.
  Image shotWithWorld(unsigned long window) {
    const Program& p = GetParam();
    Image image = x_.grabWhen(window, [&](const Image& i) { return wholePanel(i, p) && worldShown(i, p); });
    if (!wholePanel(image, p)) image.savePng(std::string("/tmp/") + p.name + "-e2e.png");
    return image;
  }

  // A stagnated world: over several passes the step line swings between two
  // neighbouring values (so the panel is drawn on every pass, not every second one),
  // one of them shown on the passes the flag rose on, with the end line below -2;
  // and with oscillators in view the picture changes with the step (the world is
  // drawn on every pass too; checked where whole frames are shown, as morvane's
  // unbuffered window may be caught mid-draw). A reading seen once may be a torn
  // one of morvane's window; the swing shows in readings that recur.
  void expectStagnation(unsigned long window) {
    const Program& p = GetParam();
    constexpr int kRecurring = 3;  // shots that make a step reading count
    struct Seen {
      int shots = 0;                                // shots showing the step
      int stagnated = 0;                            // those with the end line below -2
      std::set<std::vector<std::uint32_t>> worlds;  // the pictures they show
    };
    std::map<long, Seen> steps;  // by step shown
    bool cycling = false;
    eventually([&] {
      const Image image = x_.grab(window);
      if (!wholePanel(image, p)) return false;
      Seen& seen = steps[*shownNumber(image, p, 4)];
      ++seen.shots;
      seen.stagnated += *shownNumber(image, p, 1) < -2;
      const std::vector<std::uint32_t> world = worldPixels(image, p);
      cycling = cycling || std::ranges::count(world, p.colours->cycling) > 0;
      seen.worlds.insert(world);
      return std::ranges::count_if(steps, [](const auto& s) { return s.second.shots >= kRecurring; }) >= 2;
    });
    std::vector<long> recurring;
    for (const auto& [step, seen] : steps) {
      if (seen.shots >= kRecurring) recurring.push_back(step);
    }
    ASSERT_EQ(recurring.size(), 2u) << "steps recurring in " << steps.size() << " readings";
    const Seen& lower = steps[recurring[0]];
    const Seen& upper = steps[recurring[1]];
    EXPECT_EQ(recurring[1], recurring[0] + 1);
    EXPECT_TRUE(lower.stagnated == lower.shots || upper.stagnated == upper.shots)
        << "end line below -2 in " << lower.stagnated << " of " << lower.shots << " and "
        << upper.stagnated << " of " << upper.shots << " shots";
    if (p.framedWindow && p.structures && cycling) {
      EXPECT_NE(lower.worlds, upper.worlds) << "the picture stands still while the step swings";
    }
  }

  XSession x_;  // the connection to the test's X display
};

// The picture and the panel show, and the run goes on: the step grows, or, once the
// population has stagnated, shows what stagnation must show.
TEST_P(ProgramTest, ShowsTheWorldAndThePanelAndRunsOn) {
  const Program& p = GetParam();
  Child child(p.path);
  const unsigned long window = x_.waitForWindow(child.pid());
  ASSERT_NE(window, 0u) << p.name << " opened no window; " << child.output();
  const Image first = shotWithWorld(window);
  ASSERT_TRUE(wholePanel(first, p)) << "no whole panel: " << panelLine(first, p, 4);
  expectPanel(first, p);
  expectWorld(first, p);

  const long step = *shownNumber(first, p, 4);
  const Image later = x_.grabWhen(window, [&](const Image& i) {
    return wholePanel(i, p) && (*shownNumber(i, p, 4) > step || *shownNumber(i, p, 1) < -2);
  });
  ASSERT_TRUE(wholePanel(later, p));
  if (*shownNumber(later, p, 1) < -2) {
    expectStagnation(window);
  } else {
    EXPECT_GT(*shownNumber(later, p, 4), step);
  }

  EXPECT_TRUE(child.running());
  EXPECT_EQ(child.output(), "");
  const int status = child.stop(SIGINT);  // Ctrl+C in its terminal
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "status " << status;
}

// The windowed programs survive every change of their window's size; every program
// keeps running when its window is closed, until it is ended from outside.
TEST_P(ProgramTest, OutlivesChangesOfItsWindowAndClosing) {
  const Program& p = GetParam();
  Child child(p.path);
  const unsigned long window = x_.waitForWindow(child.pid());
  ASSERT_NE(window, 0u) << p.name << " opened no window; " << child.output();
  if (p.framedWindow) {
    const auto resize = [&](int w, int h) {
      return actUntil([&] { x_.resize(window, w, h); }, [&] { return x_.size(window) == std::pair{w, h}; });
    };
    for (int round = 0; round < 3; ++round) {
      ASSERT_TRUE(resize(p.width / 2, p.height / 3)) << "round " << round;
      ASSERT_TRUE(actUntil([&] { x_.iconify(window); }, [&] { return !x_.viewable(window); })) << "round " << round;
      ASSERT_TRUE(actUntil([&] { x_.restore(window); }, [&] { return x_.viewable(window); })) << "round " << round;
      ASSERT_TRUE(resize(p.width, p.height)) << "round " << round;
      ASSERT_TRUE(child.running()) << p.name << " ended in round " << round;
    }
  }
  const Image after = shotWithWorld(window);
  ASSERT_TRUE(wholePanel(after, p));
  expectPanel(after, p);
  expectWorld(after, p);

  EXPECT_TRUE(actUntil([&] { x_.close(window); }, [&] { return !x_.viewable(window); })) << "the window stays";
  pause(300ms);  // a program that ended with its window would be gone by now
  EXPECT_TRUE(child.running()) << p.name << " ended when its window was closed";
  EXPECT_EQ(child.output(), "");
  const int status = child.stop(SIGTERM);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << "status " << status;
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramTest, ::testing::ValuesIn(kPrograms),
                         [](const ::testing::TestParamInfo<Program>& info) {
                           return std::string(info.param.name);
                         });

TEST(Morvane, ClosingItsTerminalEndsIt) {
  XSession x;
  ASSERT_TRUE(x.ok());
  Child child(MORVANE_PATH);
  ASSERT_NE(0u, x.waitForWindow(child.pid())) << child.output();
  const int status = child.stop(SIGHUP);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGHUP) << status;
}

}  // namespace
}  // namespace morvane::e2e
