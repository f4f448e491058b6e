// The driver interface: what a backend does for the platform core.
//
// The core (core/) implements every call of platform.h once, in memory.
// It needs a backend only for what a window system does: native windows that
// show the core's pictures, native input, the screen, the cursor. A backend
// implements Driver; it reports what happens to its windows through the
// core's EventSink. Native windows are named by the HWND the core gave them.
//
// A program links exactly one backend library, which defines activeDriver().
#pragma once

#include <cstdint>

#include "core/surface.h"
#include "platform.h"

namespace morvane::plat {

// Where the core receives native events; the driver calls it from pumpEvents().
class EventSink {
 public:
  // The user asked to close the window.
  virtual void windowClosed(HWND hwnd) = 0;
  // The client area is now w by h pixels (the user resized or maximised it).
  virtual void windowResized(HWND hwnd, int w, int h) = 0;
  // The window was minimised.
  virtual void windowMinimized(HWND hwnd) = 0;
  // The window came back from being minimised.
  virtual void windowRestored(HWND hwnd) = 0;
  // The client area's top-left corner is now at (x, y) on the screen.
  virtual void windowMoved(HWND hwnd, int x, int y) = 0;
  // The window gained (true) or lost the input focus.
  virtual void windowFocus(HWND hwnd, bool gained) = 0;
  // Part of the window was uncovered: its picture must be shown again.
  virtual void windowExposed(HWND hwnd) = 0;
  // A key went down or up; `vk` is its virtual-key code, `typed` the character it types (0: none).
  virtual void key(HWND hwnd, UINT vk, bool down, char typed) = 0;
  // The pointer moved to (x, y) on the screen, over `hwnd` (0: over no window of ours).
  virtual void mouseMoved(HWND hwnd, int x, int y) = 0;
  // Files were dropped on the window.
  virtual void filesDropped(HWND hwnd) = 0;

 protected:
  ~EventSink() = default;
};

// What ShowWindow asks of a native window.
enum class NativeShow { kHide, kShow, kMinimize, kRestore, kMaximize };

// The size of a window's decorations, in pixels.
struct FrameMetrics {
  int frameX;   // width of the sizing frame on the left and on the right
  int frameY;   // height of the sizing frame at the top and at the bottom
  int caption;  // height of the caption bar
};

class Driver {
 public:
  virtual ~Driver() = default;

  // Makes a native window whose client area is w by h with its top-left corner at (x, y) on the
  // screen, shown at once when `visible`; false when the window system refuses.
  virtual bool createWindow(HWND hwnd, int x, int y, int w, int h, bool resizable,
                            bool visible) = 0;
  // Removes the native window.
  virtual void destroyWindow(HWND hwnd) = 0;
  // Hides, shows, minimises, restores or maximises the native window.
  virtual void showWindow(HWND hwnd, NativeShow how) = 0;
  // Raises the window above the others and gives it the input focus.
  virtual void raiseWindow(HWND hwnd) = 0;
  // Shows the part `dirty` of the window's picture (whose size is the client size) on screen.
  virtual void present(HWND hwnd, const core::Surface& picture, const RECT& dirty) = 0;
  // Turns the pending native events into calls of `sink`; returns at once when there are none.
  virtual void pumpEvents(EventSink& sink) = 0;
  // The screen size in pixels.
  virtual SIZE screenSize() = 0;
  // The part of the screen a maximised window's client area covers.
  virtual RECT usableArea() = 0;
  // The frame and caption sizes the core counts around every framed window.
  virtual FrameMetrics frameMetrics() = 0;
  // The pointer position on the screen.
  virtual POINT cursorPosition() = 0;
  // Shows the arrow cursor (`arrow` true) or no cursor over our windows.
  virtual void setArrowCursor(bool arrow) = 0;
  // Lets files be dropped on the window (WM_DROPFILES) or not.
  virtual void acceptFiles(HWND hwnd, bool accept) = 0;

  // The clock behind the performance counter, message times and Sleep. By
  // default the machine's monotonic clock and a real pause; a backend may
  // stand in a clock of its own (the headless one lets tests set it).
  // Nanoseconds on the clock since an arbitrary fixed start.
  virtual std::int64_t clockNanoseconds();
  // Pauses the calling thread for `ms` milliseconds; 0 gives up the rest of its time slice.
  virtual void sleep(DWORD ms);
};

// The backend linked into this program.
Driver& activeDriver();

}  // namespace morvane::plat
