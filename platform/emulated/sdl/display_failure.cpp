#include "sdl/display_failure.h"

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <cerrno>  // program_invocation_short_name
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "runtime/runtime_error.h"

namespace morvane::plat::sdl {

namespace {

// Xlib calls this when the connection breaks (the server ended or went away), on the
// thread whose call met the break: the SDL driver's video thread, the only one that talks
// to X. Xlib's own handler would call exit() there: static destructors would then run
// while the program's other threads go on, some of them waiting on this one. Ending the
// process here with _exit stops every thread where it is, and nothing talks to X again.
// (SDL 2 sets no handler for this; ours is in place before its first connection.)
int onConnectionLost(Display* display) {
  // The connection also breaks when it cannot get the memory for a reply: that is no
  // lost display but exhausted memory.
  if (xcb_connection_has_error(XGetXCBConnection(display)) == XCB_CONN_CLOSED_MEM_INSUFFICIENT) {
    rt::fail(rt::RuntimeError::kHeapOverflow);
  }
  char line[256];
  std::snprintf(line, sizeof line, "lost the connection to the display \"%s\"",
                DisplayString(display));
  endForDisplay(line);
}

// Xlib's own handler would print several lines and exit(); a refused request is as fatal
// as there, ended the same way as a lost connection. (SDL's handlers that expect errors
// of their own put themselves first for the call and pass nothing else on.)
int onRequestRefused(Display* display, XErrorEvent* error) {
  char text[128];
  XGetErrorText(display, error->error_code, text, sizeof text);
  char line[256];
  std::snprintf(line, sizeof line, "the display \"%s\" refused request %d: %s",
                DisplayString(display), error->request_code, text);
  endForDisplay(line);
}

}  // namespace

std::string quotedDisplayName() {
  const char* name = std::getenv("DISPLAY");
  return '"' + std::string(name ? name : "") + '"';
}

void endForDisplay(std::string_view what) {
  std::string line = program_invocation_short_name;
  line += ": ";
  line += what;
  rt::quit(rt::kDisplayUnavailable, line);
}

void endOnDisplayErrors() {
  // A server that ended leaves its socket closed: without this, the next request
  // written there would kill the process with SIGPIPE before Xlib could report it.
  ::signal(SIGPIPE, SIG_IGN);
  XSetIOErrorHandler(onConnectionLost);
  XSetErrorHandler(onRequestRefused);
}

void checkConnection(void* display) { XSync(static_cast<Display*>(display), False); }

}  // namespace morvane::plat::sdl
