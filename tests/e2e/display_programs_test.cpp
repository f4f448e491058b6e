// morvane_display and morvane_display2 as a user sees them: the real programs
// on an X display with a window manager, read back from screenshots.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <ostream>
#include <cstdint>
#include <set>
#include <string>

#include "xharness.h"

namespace morvane::e2e {
namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kGreen = 0x008000;   // any other live cell
constexpr std::uint32_t kBlue = 0xFF0000;    // still structure
constexpr std::uint32_t kRed = 0x0000FF;     // cycling structure
constexpr std::uint32_t kYellow = 0x00FFFF;  // moving structure

// What tells the two programs apart on screen.
struct Program {
  const char* name;          // the program, for messages
  const char* path;          // its executable
  int width, height;         // client area it asks for, pixels
  int gro;                   // world side in cells
  int firstPixel;            // pixel of cell [1, 1] in both directions
  int panelX, panelBase;     // panel line K starts at (panelX, panelBase - 20 * K)
  bool structures;           // structures are painted blue, red or yellow
};

// How a test names its program in reports.
void PrintTo(const Program& p, std::ostream* os) { *os << p.name; }

const Program kDisplay{"morvane_display", MORVANE_DISPLAY_PATH, 500, 500, 200, 1, 210, 200, true};
const Program kDisplay2{"morvane_display2", MORVANE_DISPLAY2_PATH, 800, 600, 600, 0, 610, 600, false};

// Panel line K as it reads on the screenshot.
std::string panelLine(const Image& image, const Program& p, int K) {
  return readText(image, p.panelX, p.panelBase - 20 * K, 24, plat::fonts::vga16(), kBlack);
}

// The generation number of the step line (digits after the label; a longer
// earlier text may leave its tail, which the label's growth never does here).
long stepShown(const Image& image, const Program& p) {
  const std::string line = panelLine(image, p, 4);
  EXPECT_EQ(line.rfind("step   :", 0), 0u) << line;
  return panelNumber(line).value_or(-1);
}

// Checks the ten panel lines: the parameters exactly, the state lines by their labels.
void expectPanel(const Image& image, const Program& p) {
  EXPECT_EQ(panelLine(image, p, 10), "size   :" + std::to_string(p.gro));
  EXPECT_EQ(panelLine(image, p, 9), "outstep:2");
  EXPECT_EQ(panelLine(image, p, 8), "txtstep:2");
  EXPECT_EQ(panelLine(image, p, 7), "edge   :true");
  EXPECT_EQ(panelLine(image, p, 6), "random :true/10/0");
  EXPECT_EQ(panelLine(image, p, 5), "rules  :002100000");
  EXPECT_EQ(panelLine(image, p, 3).rfind("life   :", 0), 0u);
  const std::string share = panelLine(image, p, 2);
  EXPECT_EQ(share.rfind("lifepro:", 0), 0u) << share;
  EXPECT_NE(share.find('%'), std::string::npos) << share;
  EXPECT_EQ(panelLine(image, p, 1).rfind("end    :", 0), 0u);
}

// Checks that the world's pixels have only the colours the program may use and
// that live cells (and, where painted, structures) show.
void expectWorld(const Image& image, const Program& p) {
  const std::set<std::uint32_t> allowed =
      p.structures ? std::set<std::uint32_t>{kBlack, kGreen, kBlue, kRed, kYellow}
                   : std::set<std::uint32_t>{kBlack, kGreen};
  int green = 0;
  int structure = 0;
  for (int y = p.firstPixel; y < p.firstPixel + p.gro; ++y) {
    for (int x = p.firstPixel; x < p.firstPixel + p.gro; ++x) {
      const std::uint32_t c = image.at(x, y);
      ASSERT_TRUE(allowed.count(c)) << p.name << ": colour " << std::hex << c << " at " << std::dec
                                    << x << "," << y;
      green += c == kGreen;
      structure += c == kBlue || c == kRed || c == kYellow;
    }
  }
  EXPECT_GT(green, 0) << p.name;
  if (p.structures) {
    EXPECT_GT(structure, 0) << p.name;
  }
  // Nothing of the world between it and the panel, nor in an unused row and column 0.
  for (int y = 0; y < p.gro; ++y) {
    for (int x = p.firstPixel + p.gro; x < p.panelX; ++x) ASSERT_EQ(image.at(x, y), kBlack) << x << "," << y;
  }
  if (p.firstPixel == 0) return;
  for (int i = 0; i <= p.gro; ++i) {
    ASSERT_EQ(image.at(0, i), kBlack) << "column 0, row " << i;
    ASSERT_EQ(image.at(i, 0), kBlack) << "row 0, column " << i;
  }
}

class DisplayProgramTest : public ::testing::TestWithParam<Program> {
 protected:
  void SetUp() override { ASSERT_TRUE(x_.ok()) << "no X display"; }

  // The client area as it shows now, after a check of its size.
  Image shot(unsigned long window) {
    Image image = x_.grab(window);
    EXPECT_EQ(image.width, GetParam().width);
    EXPECT_EQ(image.height, GetParam().height);
    return image;
  }

  XSession x_;  // the connection to the test's X display
};

TEST_P(DisplayProgramTest, ShowsTheWorldAndThePanelAndCountsOn) {
  const Program& p = GetParam();
  Child child(p.path);
  const unsigned long window = x_.waitForWindow(child.pid());
  ASSERT_NE(window, 0u) << p.name << " opened no window";
  pause(3s);
  const Image first = shot(window);
  ASSERT_EQ(first.width, p.width);
  ASSERT_EQ(first.height, p.height);
  expectPanel(first, p);
  expectWorld(first, p);
  if (HasFailure()) first.savePng(std::string("/tmp/") + p.name + "-e2e.png");

  pause(1500ms);
  const Image second = shot(window);
  ASSERT_EQ(second.width, p.width);
  // A random world may stagnate within seconds; the counter then swings between
  // two values, which the end line shows as a stagnation count below -2.
  const std::string end = panelLine(second, p, 1);
  EXPECT_TRUE(stepShown(second, p) > stepShown(first, p) || showsStagnation(end))
      << stepShown(first, p) << " then " << stepShown(second, p) << ", " << end;

  EXPECT_TRUE(child.running());
  EXPECT_EQ(child.output(), "");
  const int status = child.stop(SIGINT);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "status " << status;
}

TEST_P(DisplayProgramTest, OutlivesResizingMinimisingRestoringAndClosing) {
  const Program& p = GetParam();
  Child child(p.path);
  const unsigned long window = x_.waitForWindow(child.pid());
  ASSERT_NE(window, 0u) << p.name << " opened no window";
  pause(1s);
  for (int round = 0; round < 3; ++round) {
    x_.resize(window, p.width / 2, p.height / 3);
    pause(400ms);
    x_.iconify(window);
    pause(400ms);
    x_.restore(window);
    pause(400ms);
    x_.resize(window, p.width, p.height);
    pause(400ms);
    ASSERT_TRUE(child.running()) << p.name << " ended in round " << round;
  }
  pause(1500ms);
  const Image after = shot(window);
  ASSERT_EQ(after.width, p.width);
  ASSERT_EQ(after.height, p.height);
  expectPanel(after, p);
  expectWorld(after, p);

  x_.close(window);
  pause(1s);
  EXPECT_TRUE(child.running()) << p.name << " ended when its window was closed";
  EXPECT_EQ(child.output(), "");
  const int status = child.stop(SIGTERM);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << "status " << status;
}

INSTANTIATE_TEST_SUITE_P(Programs, DisplayProgramTest, ::testing::Values(kDisplay, kDisplay2),
                         [](const ::testing::TestParamInfo<Program>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace morvane::e2e
