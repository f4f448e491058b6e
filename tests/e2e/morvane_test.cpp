// morvane as a user sees it: the real program on an X display with a window
// manager, read back from screenshots of its palette graphics window.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "xharness.h"

namespace morvane::e2e {
namespace {

// Palette entries as 0x00BBGGRR.
constexpr std::uint32_t kBlack = 0x000000;   // 0: dead cell
constexpr std::uint32_t kBlue = 0xA80000;    // 1: still structure
constexpr std::uint32_t kGreen = 0x00A800;   // 2: any other live cell
constexpr std::uint32_t kRed = 0x0000A8;     // 4: cycling structure
constexpr std::uint32_t kYellow = 0x54FCFC;  // 14: moving structure
constexpr std::uint32_t kWhite = 0xFCFCFC;   // 15: panel text

constexpr int kGro = 200;  // world side in cells

// Panel line K (10 = top) as it reads on the screenshot.
std::string panelLine(const Image& image, int K) {
  return readText(image, 210, 100 + 10 * (10 - K), 30, plat::fonts::vga8(), kWhite);
}

// The generation number of the step line, or nothing while the line is not fully drawn.
std::optional<long> stepShown(const Image& image) {
  const std::string line = panelLine(image, 4);
  if (line.rfind("step   :", 0) != 0) return std::nullopt;
  return panelNumber(line);
}

// A screenshot showing a whole panel: the panel is cleared and redrawn thousands of
// times a second and each write shows at once, so a grab may catch it half drawn.
Image grabWithPanel(XSession& x, unsigned long window) {
  Image image;
  for (int attempt = 0; attempt < 50; ++attempt) {
    image = x.grab(window);
    if (image.width > 350 && image.height > 210 && stepShown(image) &&
        panelLine(image, 1).rfind("end    :", 0) == 0) {
      break;
    }
    pause(20ms);
  }
  return image;
}

TEST(Morvane, ShowsTheWorldAndThePanelAndStepsOn) {
  XSession x;
  ASSERT_TRUE(x.ok());
  Child child(MORVANE_PATH);
  const unsigned long window = x.waitForWindow(child.pid());
  ASSERT_NE(0u, window) << child.output();
  pause(1s);
  const Image first = grabWithPanel(x, window);
  ASSERT_GT(first.width, 350);
  ASSERT_GT(first.height, 210);

  EXPECT_EQ("size   :200", panelLine(first, 10));
  EXPECT_EQ("outstep:2", panelLine(first, 9));
  EXPECT_EQ("txtstep:2", panelLine(first, 8));
  EXPECT_EQ("edge   :true", panelLine(first, 7));
  EXPECT_EQ("random :true/10/0", panelLine(first, 6));
  EXPECT_EQ("rules  :002100000", panelLine(first, 5));
  EXPECT_EQ(0u, panelLine(first, 3).rfind("life   :", 0)) << panelLine(first, 3);
  EXPECT_EQ(0u, panelLine(first, 2).rfind("lifepro:", 0)) << panelLine(first, 2);
  EXPECT_EQ(0u, panelLine(first, 1).rfind("end    :", 0)) << panelLine(first, 1);
  const std::optional<long> step = stepShown(first);
  ASSERT_TRUE(step) << panelLine(first, 4);

  std::set<std::uint32_t> colours;
  for (int y = 1; y <= kGro; ++y) {
    for (int x1 = 1; x1 <= kGro; ++x1) colours.insert(first.at(x1, y));
  }
  for (std::uint32_t c : colours) {
    EXPECT_TRUE(c == kBlack || c == kBlue || c == kGreen || c == kRed || c == kYellow)
        << std::hex << "unexpected colour 0x" << c;
  }
  EXPECT_TRUE(colours.count(kGreen));
  EXPECT_TRUE(colours.count(kBlue));
  EXPECT_TRUE(colours.count(kRed));
  for (int i = 0; i <= kGro + 1; ++i) {
    EXPECT_EQ(kBlack, first.at(0, i)) << "column 0, y " << i;
    EXPECT_EQ(kBlack, first.at(i, 0)) << "row 0, x " << i;
  }

  pause(1s);
  const Image second = grabWithPanel(x, window);
  const std::optional<long> later = stepShown(second);
  ASSERT_TRUE(later);
  // Once the population stagnates (stagnation count below -2 on the end line) the
  // counter swings between two values for ever; until then it grows every pass.
  const std::string end = panelLine(second, 1);
  EXPECT_TRUE(*later > *step || showsStagnation(end)) << *step << " then " << *later << ", " << end;

  const int status = child.stop(SIGINT);  // Ctrl+C in its terminal
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
}

TEST(Morvane, ClosingTheWindowLeavesTheProcessRunningUntilSigterm) {
  XSession x;
  ASSERT_TRUE(x.ok());
  Child child(MORVANE_PATH);
  const unsigned long window = x.waitForWindow(child.pid());
  ASSERT_NE(0u, window) << child.output();
  pause(500ms);
  x.close(window);
  pause(1s);
  EXPECT_FALSE(x.viewable(window));
  EXPECT_TRUE(child.running()) << child.output();
  EXPECT_EQ("", child.output());  // nothing written: no error report

  const int status = child.stop(SIGTERM);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
}

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
