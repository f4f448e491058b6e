// The three programs built for Windows, run under Wine on the X display, as a
// user sees them. The windowed programs' panel text is drawn in the fonts
// Windows gives, so their panel is checked for placement, not glyphs.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <optional>
#include <cstdint>
#include <ostream>
#include <set>
#include <string>

#include "xharness.h"

namespace morvane::e2e {
namespace {

// What tells the programs apart on screen.
struct Program {
  const char* name;          // the program, for messages
  const char* launcher;      // starts its .exe under Wine
  int width, height;         // client area it asks for, pixels; 0: the screen's usable area
  int firstPixel, gro;       // the world: its first pixel in both directions, its side
  std::set<std::uint32_t> world;  // the colours the world may show
  int panelX, panelTop;      // panel line 10 starts at (panelX, panelTop); line K 10 - K lines below
  int lineStep;              // pixels from one panel line to the next
  std::uint32_t ink;         // a colour every panel line shows (its text or its box)
};

void PrintTo(const Program& p, std::ostream* os) { *os << p.name; }

const Program kMorvane{"morvane", MORVANE_WIN_LAUNCHER, 0, 0, 1, 200,
                       {0x000000, 0xA80000, 0x00A800, 0x0000A8, 0x54FCFC},
                       210, 100, 10, 0xFCFCFC};
const Program kDisplay{"morvane_display", MORVANE_DISPLAY_WIN_LAUNCHER, 500, 500, 1, 200,
                       {0x000000, 0x008000, 0xFF0000, 0x0000FF, 0x00FFFF},
                       210, 0, 20, 0xFFFFFF};
const Program kDisplay2{"morvane_display2", MORVANE_DISPLAY2_WIN_LAUNCHER, 800, 600, 0, 600,
                        {0x000000, 0x008000}, 610, 400, 20, 0xFFFFFF};

// The top of panel line K (10 = top .. 1 = bottom).
int lineTop(const Program& p, int K) { return p.panelTop + p.lineStep * (10 - K); }

// How many pixels of the panel's ink lie in the first `w` columns of line K's band.
int inkAt(const Image& image, const Program& p, int K, int x0, int w) {
  int n = 0;
  for (int y = lineTop(p, K); y < lineTop(p, K) + p.lineStep - 1; ++y) {
    for (int x = x0; x < x0 + w; ++x) n += image.at(x, y) == p.ink;
  }
  return n;
}

// The pixels of line K's band, to compare two screenshots.
std::vector<std::uint32_t> band(const Image& image, const Program& p, int K) {
  std::vector<std::uint32_t> out;
  for (int y = lineTop(p, K); y < lineTop(p, K) + p.lineStep; ++y) {
    for (int x = p.panelX; x < p.panelX + 160; ++x) out.push_back(image.at(x, y));
  }
  return out;
}

class WindowsProgramTest : public ::testing::TestWithParam<Program> {
 protected:
  void SetUp() override { ASSERT_TRUE(x_.ok()) << "no X display"; }
  XSession x_;  // the connection to the test's X display
};

TEST_P(WindowsProgramTest, ShowsTheWorldAndTheTenPanelLinesStepsOnAndOutlivesItsWindow) {
  const Program& p = GetParam();
  Child child(p.launcher);
  const unsigned long window = x_.waitForWindow(child.pid(), 60s);
  ASSERT_NE(window, 0u) << p.name << " opened no window: " << child.output();
  // Wine may take a while to show the first frames: wait for live cells and all ten lines.
  const Image first = x_.grabWhen(
      window,
      [&](const Image& image) {
        if (image.width < p.panelX + 160 || image.height < lineTop(p, 1) + p.lineStep) return false;
        for (int K = 10; K >= 1; --K) {
          if (inkAt(image, p, K, p.panelX, 12) == 0) return false;
        }
        for (int y = p.firstPixel; y < p.firstPixel + p.gro; ++y) {
          for (int x = p.firstPixel; x < p.firstPixel + p.gro; ++x) {
            if (image.at(x, y) != 0) return true;
          }
        }
        return false;
      },
      60s);
  if (p.width > 0) {
    EXPECT_EQ(first.width, p.width);
    EXPECT_EQ(first.height, p.height);
  } else {  // maximised over the usable area: as wide as the screen, nearly as tall
    const auto [screenW, screenH] = x_.screenSize();
    EXPECT_EQ(first.width, screenW);
    EXPECT_GT(first.height, screenH - 64);
  }
  ASSERT_GE(first.width, p.panelX + 160);
  ASSERT_GE(first.height, lineTop(p, 1) + p.lineStep);

  int green = 0;
  for (int y = p.firstPixel; y < p.firstPixel + p.gro; ++y) {
    for (int x = p.firstPixel; x < p.firstPixel + p.gro; ++x) {
      const std::uint32_t c = first.at(x, y);
      ASSERT_TRUE(p.world.count(c)) << p.name << ": colour " << std::hex << c << std::dec
                                    << " at " << x << "," << y;
      green += c != 0;
    }
  }
  EXPECT_GT(green, 0) << p.name << ": no live cell";
  // Each line starts at its place: ink right there, none just before it.
  for (int K = 10; K >= 1; --K) {
    EXPECT_GT(inkAt(first, p, K, p.panelX, 12), 0) << p.name << ": panel line " << K;
    EXPECT_EQ(inkAt(first, p, K, p.panelX - 8, 8), 0) << p.name << ": panel line " << K;
  }
  if (HasFailure()) first.savePng(std::string("/tmp/") + p.name + "-wine-e2e.png");

  // The step line moves on; a stagnated world swings it between two values, so it is
  // looked at several times.
  std::set<std::vector<std::uint32_t>> steps{band(first, p, 4)};
  const bool moved = eventually(
      [&] {
        const Image later = x_.grab(window);
        if (later.width != first.width) return false;
        steps.insert(band(later, p, 4));
        return steps.size() >= 2;
      },
      30s);
  EXPECT_TRUE(moved) << p.name << ": the step line stood still";
  // The size line stays. A part of the window that Wine repaints shows the class
  // background until the next presented frame, so one grab may catch it blank.
  const bool sizeKept = eventually(
      [&] {
        const Image later = x_.grab(window);
        return later.width == first.width && band(later, p, 10) == band(first, p, 10);
      },
      10s);
  EXPECT_TRUE(sizeKept) << p.name << ": the size line changed";

  x_.close(window);
  pause(1s);
  EXPECT_TRUE(child.running()) << p.name << " ended when its window was closed: " << child.output();
  const int status = child.stop(SIGTERM, 10s);
  EXPECT_NE(status, -1) << p.name << " outlived SIGTERM";
}

TEST_P(WindowsProgramTest, WithoutADisplayEndsWithAClearReport) {
  const Program& p = GetParam();
  ChildSetup noDisplay;
  noDisplay.environment.emplace_back("DISPLAY", std::nullopt);
  Child child(p.launcher, {}, noDisplay);
  const int status = child.wait(60s);
  ASSERT_NE(status, -1) << p.name << " went on without a window";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 69) << "status " << status;
  // One line, as on Linux: the program's name and the reason.
  EXPECT_EQ(child.output().rfind(std::string(p.name) + ": cannot open a window: ", 0), 0u)
      << child.output();
}

INSTANTIATE_TEST_SUITE_P(Programs, WindowsProgramTest,
                         ::testing::Values(kMorvane, kDisplay, kDisplay2),
                         [](const ::testing::TestParamInfo<Program>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace morvane::e2e
