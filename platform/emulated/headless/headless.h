// The headless backend's controls: what a user and a screen would do to the
// windows, for tests. The backend keeps every window's picture in memory.
// A control acts at once when called on the thread that owns the window; for a
// window of another thread it takes effect inside that thread's next
// PeekMessageA. windowPixels, presentCount and the clock controls may be
// called from any thread.
//
// The clock (the performance counter, message times, Sleep) is the backend's
// own: it stands still until a test sets or advances it, and Sleep advances it
// by the time asked for instead of pausing, so tests assert exact times.
#pragma once

#include <chrono>
#include <vector>

#include "platform.h"

namespace morvane::plat::headless {

// Where the clock stands after reset(): 1024 s, a value that doubles hold exactly.
inline constexpr std::chrono::nanoseconds kClockStart = std::chrono::seconds(1024);

// Destroys every window, class, context and object and restores the default
// screen (1280x1024, frame 4 wide and 6 high, caption 20, cursor at 0,0) and the
// clock (kClockStart): the platform as at start.
void reset();

// Sets the clock to `time` since its start.
void setClock(std::chrono::nanoseconds time);

// Moves the clock on by `by`, as that much time passing.
void advanceClock(std::chrono::nanoseconds by);

// Sets the screen size (also the full-screen client area).
void setScreen(int width, int height);

// The user drags the frame: the client area becomes w by h (WM_SIZE, as a native event).
void resize(HWND hwnd, int clientWidth, int clientHeight);

// The user minimises the window (client 0 by 0, WM_SIZE with SIZE_MINIMIZED).
void minimize(HWND hwnd);

// The user restores the window to its size before minimising (WM_SIZE with SIZE_RESTORED),
// which then gains the focus (WM_NCACTIVATE with wParam 1).
void restore(HWND hwnd);

// The user clicks the close button (WM_CLOSE to the window procedure).
void close(HWND hwnd);

// The user presses and releases a key with virtual-key code `vk` (and the
// character it types, 0 for none) while the window has the focus.
void keyPress(HWND hwnd, UINT vk, char typed);

// The user moves the pointer to (x, y) in screen coordinates (WM_SETCURSOR and
// WM_MOUSEMOVE go to the window under it).
void mouseMove(int x, int y);

// What the window shows now: client width * height colours, row by row from the top.
std::vector<COLORREF> windowPixels(HWND hwnd);

// How many times the window's picture has been shown (presented) so far.
int presentCount(HWND hwnd);

}  // namespace morvane::plat::headless
