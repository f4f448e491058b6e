// How the SDL backend ends the program when the window system fails it: no
// display, a display that cannot be reached, lost or refuses to be drawn on.
// Each ends the process at once with one line of our own on stderr,
// "<program>: <what went wrong>", and the status rt::kDisplayUnavailable.
#pragma once

#include <string>
#include <string_view>

namespace morvane::plat::sdl {

// The display the program was told to use ($DISPLAY), quoted: "\":0\"".
std::string quotedDisplayName();

// Ends the program because the window system cannot be used; `what` says why.
[[noreturn]] void endForDisplay(std::string_view what);

// From now on, a broken connection to an X display or a request it refuses ends the
// program through endForDisplay(), naming the display, on the thread that meets it.
// Writing to a connection whose server is gone then fails instead of raising SIGPIPE.
void endOnDisplayErrors();

// Makes one round trip to the X display of `display` (an Xlib Display*), so that a
// connection that has broken ends the program now, as a lost display.
void checkConnection(void* display);

}  // namespace morvane::plat::sdl
