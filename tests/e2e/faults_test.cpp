// The three programs when what they run on fails them: the X server going away
// at any moment, no display, a screen they cannot draw on, too little memory,
// no file descriptors. Each run has X servers of its own (so the tests may run
// side by side) and must end by itself, soon, with one line of the program's
// own and the documented status: no hang, no core dump, no sanitizer report.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <future>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "runtime/runtime_error.h"
#include "xharness.h"

namespace morvane::e2e {
namespace {

struct Program {
  const char* name;  // the program, as its reports name it
  const char* path;  // its executable
};

// How a test names its program in reports.
void PrintTo(const Program& p, std::ostream* os) { *os << p.name; }

const Program kPrograms[] = {{"morvane", MORVANE_PATH},
                             {"morvane_display", MORVANE_DISPLAY_PATH},
                             {"morvane_display2", MORVANE_DISPLAY2_PATH}};

// Long enough for a program that hangs to be told from one that ends promptly (it ends
// within a fraction of a second, even in a sanitizer build on a busy machine).
constexpr auto kEndBound = 10s;
// How long a program may take to show its window (sanitizer builds start slowly).
constexpr auto kWindowBound = 30s;

// How a run ended: its wait status (-1 while still running) and everything it wrote.
struct Ending {
  int status;
  std::string output;
};

// Describes an ending for a failure message.
std::string describe(const Ending& e) {
  std::string s;
  if (e.status == -1) {
    s = "not ended (hangs)";
  } else if (WIFSIGNALED(e.status)) {
    s = "killed by signal " + std::to_string(WTERMSIG(e.status));
  } else {
    s = "status " + std::to_string(WEXITSTATUS(e.status));
  }
  return s + ", wrote:\n" + e.output;
}

// Checks that the run ended by itself with `status` and wrote exactly one line matching `line`.
void expectEnding(const Ending& e, int status, const std::string& line) {
  EXPECT_TRUE(e.status != -1 && WIFEXITED(e.status) && WEXITSTATUS(e.status) == status &&
              testing::Value(e.output, testing::MatchesRegex(line + "\n")))
      << "wanted status " << status << " and the line /" << line << "/; " << describe(e);
}

// When the server is stopped, counted from the program's start or from its window.
enum class From { kStart, kWindowMade, kWindowShown };
struct Moment {
  From from;
  std::chrono::milliseconds after;
};

// Starts the program on a server of its own, stops the server at `moment` and sees how it ends.
Ending loseTheDisplay(const Program& p, Moment moment) {
  XServer server;
  if (server.name().empty()) return {-1, "the X server did not start"};
  ChildSetup setup;
  setup.environment = {{"DISPLAY", server.name()}};
  Child child(p.path, {}, setup);
  if (moment.from != From::kStart) {
    // The session is closed before the server goes, lest the loss end this test too.
    XSession x(server.name().c_str());
    if (x.ok()) x.waitForWindow(child.pid(), kWindowBound, moment.from == From::kWindowShown);
  }
  pause(moment.after);
  server.stop();
  const int status = child.wait(kEndBound);
  return {status, child.output()};
}

class FaultTest : public testing::TestWithParam<Program> {};

// The window system's reports: "<program>: <reason>" naming the display.
std::string displayReport(const Program& p, const std::string& reason) {
  return std::string(p.name) + ": " + reason;
}

// Killing the X server under a running program once left it hanging for ever, its video
// thread spinning, or aborting with a core, in about a third of the early kills: Xlib's
// exit() ran the static destructors on the video thread while the other threads went on.
// The runs go side by side, each on its own server, stopped at moments spread from
// before the connection through window creation and the first passes to seconds later.
TEST_P(FaultTest, LosingTheDisplayAtAnyMomentEndsItAtOnceSayingSo) {
  const Program& p = GetParam();
  const Moment moments[] = {
      {From::kStart, 150ms},       {From::kStart, 400ms},       {From::kWindowMade, 0ms},
      {From::kWindowMade, 40ms},   {From::kWindowShown, 0ms},   {From::kWindowShown, 100ms},
      {From::kWindowShown, 400ms}, {From::kWindowShown, 3000ms},
  };
  std::vector<std::future<Ending>> runs;
  for (const Moment& m : moments) runs.push_back(std::async(std::launch::async, loseTheDisplay, p, m));
  const std::string lost = displayReport(p, "lost the connection to the display \":[0-9]+\"");
  const std::string unreachable =
      displayReport(p, "cannot open a window: cannot reach the display \":[0-9]+\"");
  for (std::size_t i = 0; i < runs.size(); ++i) {
    SCOPED_TRACE("server stopped " + std::to_string(moments[i].after.count()) + " ms after " +
                 (moments[i].from == From::kStart        ? "the start"
                  : moments[i].from == From::kWindowMade ? "the window was made"
                                                         : "the window showed"));
    // Before its connection the program finds no display; once connected, it loses it.
    const bool mayBeUnconnected = moments[i].from == From::kStart;
    expectEnding(runs[i].get(), rt::kDisplayUnavailable,
                 mayBeUnconnected ? "(" + lost + "|" + unreachable + ")" : lost);
  }
}

// What DISPLAY names: nothing (unset), a display no server serves, or an X server of the test's.
enum class Named { kNothing, kNoServer, kOwnServer };

// One way a program cannot run, the setting that makes it, and the one line it must end with.
struct CannotRun {
  const char* what;
  Named display;                       // what DISPLAY names
  int depth;                           // bits per pixel of the own server's screen
  std::optional<rlim_t> addressSpace;  // limit of the program's memory
  std::optional<rlim_t> files;         // limit of its file descriptors
  int status;                          // the exit status wanted
  const char* report;                  // the line wanted, a pattern ({p}: the program's name)
};

// Each of these once started a program that ran on unseen for ever, aborted with a core,
// or ended with a wrong or misleading report (SDL's own lines among them).
TEST_P(FaultTest, WhenItCannotRunItEndsAtStartSayingWhy) {
  const Program& p = GetParam();
  const CannotRun cases[] = {
      {"no DISPLAY", Named::kNothing, 24, {}, {}, rt::kDisplayUnavailable,
       "{p}: cannot open a window: DISPLAY is not set"},
      {"a display nobody serves", Named::kNoServer, 24, {}, {}, rt::kDisplayUnavailable,
       "{p}: cannot open a window: cannot reach the display \":65000\""},
      {"an 8-bit screen", Named::kOwnServer, 8, {}, {}, rt::kDisplayUnavailable,
       "{p}: cannot draw on the display \":[0-9]+\": its screen's pixel format is not "
       "supported \\(true colour of 15 bits or more is needed\\)"},
// Not in sanitizer builds: the sanitizers reserve far more address space than this limit,
// and probe memory through a pipe of their own, which needs descriptors to spare.
#if !defined(__SANITIZE_ADDRESS__)
      {"no file descriptor to spare", Named::kOwnServer, 24, {}, 4, rt::kDisplayUnavailable,
       "{p}: cannot open a window: out of file descriptors"},
      {"48 MB of memory", Named::kOwnServer, 24, 48u << 20, {}, 203,
       "Runtime error 203 at \\$[0-9A-F]+"},
#endif
  };
  for (const CannotRun& c : cases) {
    SCOPED_TRACE(c.what);
    std::optional<XServer> server;
    std::optional<std::string> display;
    if (c.display == Named::kOwnServer) {
      server.emplace(c.depth);
      ASSERT_FALSE(server->name().empty());
      display = server->name();
    } else if (c.display == Named::kNoServer) {
      display = ":65000";
    }
    ChildSetup setup;
    // SDL would tell of a missing XDG_RUNTIME_DIR on a line of its own.
    setup.environment = {{"DISPLAY", display}, {"XDG_RUNTIME_DIR", std::nullopt}};
    setup.addressSpace = c.addressSpace;
    setup.files = c.files;
    Child child(p.path, {}, setup);
    const int status = child.wait(kWindowBound);
    std::string report = c.report;
    if (const auto at = report.find("{p}"); at != std::string::npos) report.replace(at, 3, p.name);
    expectEnding({status, child.output()}, c.status, report);
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, FaultTest, testing::ValuesIn(kPrograms),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace morvane::e2e
