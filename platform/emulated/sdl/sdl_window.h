// What the SDL backend tells about its native windows, for tests and tools that
// look at the windows from outside (X11 screenshots).
#pragma once

#include "platform.h"

namespace morvane::plat::sdl {

// The X11 window id of the window's native window; 0 when there is none or the
// window system is not X11.
unsigned long x11Window(HWND hwnd);

}  // namespace morvane::plat::sdl
