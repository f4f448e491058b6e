// End-to-end test harness: starts the real programs, finds their windows on
// the X display, takes screenshots of them and acts on them as a user and a
// window manager would. Colours come back as 0x00BBGGRR, like the programs'.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fonts/fonts.h"

namespace morvane::e2e {

using namespace std::chrono_literals;

// How a child is started beyond its executable and arguments. It never dumps core, and
// keeps no descriptor of the test's but stdin, its output and `keptFd`.
struct ChildSetup {
  // Environment variables set (with a value) or removed (without).
  std::vector<std::pair<std::string, std::optional<std::string>>> environment;
  std::optional<rlim_t> addressSpace;  // limit of its virtual memory, bytes
  std::optional<rlim_t> files;         // limit of its open file descriptors
  int keptFd = -1;                     // a descriptor of the test's it inherits (-1: none)
};

// A program started for a test, its output captured; killed when the object goes.
class Child {
 public:
  // Starts the executable `path` (looked up in PATH when it has no slash) with `args`.
  explicit Child(const std::string& path, const std::vector<std::string>& args = {},
                 const ChildSetup& setup = {});
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // The process id.
  pid_t pid() const { return pid_; }

  // True while the process has not ended.
  bool running();

  // Waits up to `timeout` for the end; returns the wait status (-1 on time-out).
  int wait(std::chrono::milliseconds timeout);

  // Sends `signal` and waits up to `timeout` for the end; returns the wait status (-1 on time-out).
  int stop(int signal, std::chrono::milliseconds timeout = 5s);

  // Everything the process wrote on stdout and stderr so far.
  std::string output() const;

 private:
  pid_t pid_ = -1;          // the child's process id
  int status_ = -1;         // its wait status once it has ended, else -1
  std::string outputPath_;  // temporary file receiving stdout and stderr
};

// A screenshot: width * height colours 0x00BBGGRR, row by row from the top.
struct Image {
  int width = 0;                      // pixels across
  int height = 0;                     // pixels down
  std::vector<std::uint32_t> pixels;  // width * height colours

  // The colour at (x, y).
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

  // Writes the image as a PNG (through ImageMagick) for a person to look at; true on success.
  bool savePng(const std::string& path) const;
};

// Waits `d`: only where something must NOT happen, which no poll can see.
void pause(std::chrono::milliseconds d);

// Asks `done()` every 20 ms until it holds (true) or `timeout` has passed (false).
template <class Done>
bool eventually(Done done, std::chrono::milliseconds timeout = 20s) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    pause(20ms);
  }
  return true;
}

// Does `act()` until `done()` holds, asking `done()` every 20 ms and acting again every
// 200 ms: a window manager may drop a request that comes while it is still taking the
// window on. False when `done()` still fails after `timeout`.
template <class Act, class Done>
bool actUntil(Act act, Done done, std::chrono::milliseconds timeout = 20s) {
  int polls = 0;
  return eventually(
      [&] {
        if (polls++ % 10 == 0) act();
        return done();
      },
      timeout);
}

// An X server of the test's own (Xvfb), on a display number it picks itself among the
// free ones, with one screen of 1024 by 768 pixels of `depth` bits; ended with the object.
class XServer {
 public:
  explicit XServer(int depth = 24);
  ~XServer() { stop(); }
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  // The display's name, ":N"; empty when the server did not start.
  const std::string& name() const { return name_; }

  // Ends the server (SIGTERM, as `kill` does) and waits for its end.
  void stop();

 private:
  std::unique_ptr<Child> process_;  // the Xvfb process
  std::string name_;                // ":N"
};

// One connection to an X display.
class XSession {
 public:
  // Opens the display `name` ($DISPLAY when null); `ok()` tells whether that worked.
  explicit XSession(const char* name = nullptr);
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  // True when the display is open.
  bool ok() const { return display_ != nullptr; }

  // The viewable client window of process `pid` (found by _NET_WM_PID), or 0 after `timeout`;
  // with `viewable` false, the window as soon as it exists, before it is shown.
  unsigned long waitForWindow(pid_t pid, std::chrono::milliseconds timeout = 20s,
                              bool viewable = true);

  // True while the window exists and is viewable (mapped, not minimised).
  bool viewable(unsigned long window);

  // The window's client area as it shows now; an empty image when it cannot be read.
  Image grab(unsigned long window);

  // Screenshots of the window until `wanted(image)` holds or `timeout` has passed; the last one.
  template <class Wanted>
  Image grabWhen(unsigned long window, Wanted wanted, std::chrono::milliseconds timeout = 20s) {
    Image image;
    eventually([&] { return wanted(image = grab(window)); }, timeout);
    return image;
  }

  // The size of the window's client area (0 by 0 when it is gone).
  std::pair<int, int> size(unsigned long window);

  // The size of the screen.
  std::pair<int, int> screenSize();

  // Minimises the window, as the window manager's button does.
  void iconify(unsigned long window);

  // Brings a minimised window back and raises it.
  void restore(unsigned long window);

  // Asks the window manager to give the client area the size w by h.
  void resize(unsigned long window, int w, int h);

  // Clicks the window's close button (WM_DELETE_WINDOW).
  void close(unsigned long window);

 private:
  void* display_ = nullptr;  // the Xlib Display*
};

// Reads up to `maxChars` characters drawn in colour `fg` with the face `font`, the first
// cell's top-left corner at (x, y): each cell is matched against the glyphs, pixels of
// colour `fg` being set. Reading stops at the first cell that matches no glyph or at a
// run of blank cells at the end; trailing blanks are dropped.
std::string readText(const Image& image, int x, int y, int maxChars,
                     const plat::fonts::BitmapFont& font, std::uint32_t fg);

// The number a status panel line shows after its 8-character label, or nothing
// when the line holds no number there (not drawn yet, or drawn half).
std::optional<long> panelNumber(std::string_view line);

// True when the panel's end line shows stagnation (a count below -2): the world's
// generation counter then swings between two values instead of growing.
bool showsStagnation(std::string_view endLine);



}  // namespace morvane::e2e
