// The objects behind the handles and the platform's process-wide state.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/handle_table.h"
#include "core/surface.h"
#include "driver.h"
#include "fonts/fonts.h"
#include "platform.h"

namespace morvane::plat::core {

// What every GDI object (bitmap, brush, font) shares: selection and deletion state.
// Changed only under Platform::gdiMutex.
struct GdiObject {
  int selections = 0;          // how many contexts have it selected now
  bool deletePending = false;  // DeleteObject came while selected: freed at the last deselection
  bool stock = false;          // a stock object: never deleted
};

// A bitmap: its pixels.
struct Bitmap : GdiObject {
  Surface surface;  // the pixels
};

// A solid brush, or the null brush that paints nothing.
struct Brush : GdiObject {
  bool paints = true;       // false for the null brush
  std::uint32_t pixel = 0;  // the colour as a stored pixel (0x00RRGGBB)
};

// A font: one of the built-in bitmap faces.
struct Font : GdiObject {
  const fonts::BitmapFont* face = nullptr;  // the glyphs and cell size
};

// A device context: a target surface and the drawing state.
struct Dc {
  Surface* target = nullptr;   // where drawing goes; null for the screen or a dead window
  HWND window = 0;             // the window whose client area this is (0: a memory context)
  bool screen = false;         // the context of the whole screen (GetDC(0)): draws nothing
  HBITMAP bitmap = 0;          // the selected bitmap (memory contexts)
  HBRUSH brush = 0;            // the selected brush
  HFONT font = 0;              // the selected font
  const fonts::BitmapFont* face = nullptr;  // the selected font's face (cached for text calls)
  COLORREF textColor = 0;         // colour of glyph pixels, 0x00BBGGRR
  COLORREF bkColor = 0xFFFFFF;    // colour of the character cells in OPAQUE mode
  int bkMode = OPAQUE;            // OPAQUE or TRANSPARENT
};

struct ThreadQueue;

// A registered window class.
struct WindowClass {
  std::string name;        // the class name, compared case-insensitively
  WNDPROC proc = nullptr;  // the window procedure of its windows
  HBRUSH background = 0;   // fills a new or enlarged client area (0: black)
};

// A window: its state and the picture of its client area.
struct Window {
  HWND hwnd = 0;                       // its own handle
  WNDPROC proc = nullptr;              // window procedure
  HBRUSH background = 0;               // the class background brush
  DWORD style = 0;                     // creation style
  std::shared_ptr<ThreadQueue> owner;  // the queue of the thread that created it
  std::thread::id ownerThread;         // that thread
  POINT clientOrigin{0, 0};            // top-left corner of the client area on the screen
  Surface picture;                     // what the client area shows; its size is the client size
  SIZE normalSize{0, 0};               // client size to go back to when restored
  bool visible = false;                // shown (not hidden)
  bool iconic = false;                 // minimised
  bool maximized = false;              // maximised
  bool destroying = false;             // DestroyWindow is running for it
  std::atomic<bool> alive{true};       // false once destroyed; read by other threads
  std::vector<HDC> contexts;           // contexts from GetDC still handed out
};

// A message sent to a window of another thread (or a native event for it), waiting
// to be handled inside the owner's next PeekMessageA.
struct Reply {
  LRESULT result = 0;  // the window procedure's result
  bool done = false;   // set (under the sender's queue mutex) when handled or dropped
};
struct Incoming {
  HWND hwnd = 0;                        // the window it is for
  std::function<LRESULT()> call;        // runs the window procedure (or applies the event)
  std::shared_ptr<Reply> reply;         // null when nobody waits for the result
  std::shared_ptr<ThreadQueue> sender;  // the waiting thread's queue, notified when done
};

// One thread's message queue.
struct ThreadQueue {
  std::mutex mutex;                 // guards everything below
  std::condition_variable wake;     // signalled when a message arrives or a reply is done
  std::deque<MSG> posted;           // posted messages, oldest first
  std::deque<Incoming> incoming;    // sent messages and native events, oldest first
  bool closed = false;              // the thread has ended: nothing more is accepted
};

// Marks the reply of `item` done with `result` and wakes its sender.
void finishIncoming(Incoming& item, LRESULT result);

// The platform's state: the handle tables, the stock objects, the driver.
class Platform {
 public:
  explicit Platform(Driver& driver);
  ~Platform();

  Driver& driver;                                            // the backend
  HandleTable<Window> windows{Kind::kWindow};                // windows
  HandleTable<Dc> dcs{Kind::kDc};                            // device contexts
  HandleTable<Bitmap> bitmaps{Kind::kBitmap};                // bitmaps
  HandleTable<Brush> brushes{Kind::kBrush};                  // brushes
  HandleTable<Font> fonts{Kind::kFont};                      // fonts
  std::mutex gdiMutex;                                       // guards selections and deletion
  std::mutex classMutex;                                     // guards `classes`
  std::vector<WindowClass> classes;                          // registered window classes
  HBRUSH whiteBrush, blackBrush, nullBrush;                  // stock brushes
  HFONT defaultFont;                                         // stock font: the 8x16 face
  HBITMAP defaultBitmap;                                     // the 1 by 1 bitmap of new memory contexts
  std::atomic<HCURSOR> currentCursor{0};                     // the cursor set by SetCursor
  std::atomic<LONG> cursorX{0}, cursorY{0};                  // last known pointer position (screen)
  std::int64_t start;                                        // the driver's clock when the platform started, ns
  std::uint64_t epoch;                                       // distinguishes platform instances
};

// The process's platform (made on first use).
Platform& platform();

// Replaces the platform by a fresh one; every window and object is gone.
void resetPlatform();

// The message queue of the calling thread.
std::shared_ptr<ThreadQueue> currentQueue();

// The arrow cursor's handle.
HCURSOR arrowCursor();

// Milliseconds since the platform started (for MSG::time).
DWORD messageTime();

// The window of `hwnd` when it is alive and owned by the calling thread, else null.
std::shared_ptr<Window> ownWindow(HWND hwnd);

// The core's receiver of native events.
EventSink& coreEvents();

// Calls the window procedure of `w` (on its owner thread).
LRESULT callProc(Window& w, UINT msg, WPARAM wParam, LPARAM lParam);

// Sends `msg` to `hwnd`: at once on the owner thread, otherwise queued for the owner.
// With `wait`, the caller waits for the result (handling messages sent to itself meanwhile).
LRESULT deliver(HWND hwnd, std::function<LRESULT(Window&)> call, bool wait);

// Drops every queued message of `w` and releases senders waiting on it.
void dropMessagesOf(Window& w);

// The window's background as a stored pixel (black without a painting brush).
std::uint32_t backgroundPixel(const Window& w);

// Shows the part `dirty` of the window's picture on screen.
void presentWindow(Window& w, const RECT& dirty);

// Presents `r` when `dc` draws on a window (drawing calls call it after changing pixels).
void touched(Dc& dc, const RECT& r);

}  // namespace morvane::plat::core
