// The palette graphics facility: one window whose pixels are palette indices
// of the default VGA 256-colour palette, with pixel read and write, filled bars
// and 8 by 8 pixel text.
//
// The facility keeps its own copy of the picture, one palette index per pixel,
// and a service thread of its own owns the window: it creates it, handles its
// messages, and about every 8 ms shows the parts of the copy that changed.
// The program's drawing calls only touch the copy, so they are cheap and never
// wait for the window. The copy is shared with the service thread without a
// lock: every pixel is an atomic byte written and read with relaxed order, and
// every tile of the picture has an atomic dirty flag set (release) after its
// pixels are written and taken (acquire) by the service thread before it reads
// them. On x86 the program's side of this is plain byte moves. Pixel runs,
// bars and text store only the pixels that change, and mark their tiles only
// when one did, so redrawing what is already shown costs reads alone.
//
// Closing the window destroys it and stops the showing; the drawing calls keep
// working on the copy with no visible effect.
#pragma once

#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "platform.h"
#include "vga_palette.h"

namespace morvane::palette {

// Driver numbers of open().
inline constexpr std::int16_t kDetect = 0;        // in: choose driver and mode automatically
inline constexpr std::int16_t kPalette256 = 1;    // the 256-entry palette driver
inline constexpr std::int16_t kNotDetected = -2;  // out: no window could be made

// The style of the facility's window (maximised or not, shown from the start).
inline constexpr plat::DWORD kWindowStyle = plat::WS_OVERLAPPEDWINDOW | plat::WS_VISIBLE;

// Modes of kPalette256.
inline constexpr std::int16_t kModeFramed = 0;     // framed window as large as the screen
inline constexpr std::int16_t kModeMaximised = 1;  // maximised window over the full-screen area

// The screen measures that detection works from, in pixels.
struct ScreenMetrics {
  int screenWidth;       // whole screen, across
  int screenHeight;      // whole screen, down
  int fullScreenWidth;   // full-screen client area (the usable area), across
  int fullScreenHeight;  // full-screen client area, down
  int decorationWidth;   // a framed window's frame, left and right together
  int decorationHeight;  // a framed window's caption and frame, top and bottom together
};

// A window mode: the drawing area it gives and how its window is made.
struct Mode {
  std::int16_t number;    // kModeFramed or kModeMaximised
  int width;              // drawing area, pixels across
  int height;             // drawing area, pixels down
  plat::DWORD style;      // window style
  int outerWidth;         // window size with frame and caption, pixels across
  int outerHeight;        // window size with frame and caption, pixels down
};

// The screen measures of the platform now; the decoration is that of kWindowStyle.
ScreenMetrics currentScreenMetrics();

// The mode detection takes: the wider drawing area, then the taller; the maximised one on a tie.
Mode detectMode(const ScreenMetrics& metrics);

// The palette graphics window and its own copy of the picture.
class PaletteScreen {
 public:
  static constexpr std::int16_t kDrawColour = 15;   // text colour: white
  static constexpr std::int16_t kFillColour = 255;  // bar colour (solid fill): black
  static constexpr int kTile = 32;                  // side of a dirty-tracking tile, pixels
  static constexpr int kFrameMs = 8;                // time between two showings, milliseconds

  PaletteScreen() = default;
  ~PaletteScreen();
  PaletteScreen(const PaletteScreen&) = delete;
  PaletteScreen& operator=(const PaletteScreen&) = delete;

  // Opens the window. `driver` kDetect or kPalette256 chooses the mode by detection and
  // gets kPalette256 back, `mode` the mode chosen; `driverPath` is not used. Returns when
  // the window is shown, black, and ready. Without a window `driver` gets kNotDetected
  // and the drawing area stays empty. A second call only reports the first one's result.
  void open(std::int16_t& driver, std::int16_t& mode, std::string_view driverPath);

  // The palette index shown at (x, y): the lowest index of its colour; 0 outside the area.
  std::int16_t readPixel(std::int16_t x, std::int16_t y) const {
    if (!inside(x, y)) return 0;
    return pixels_[offset(x, y)].load(std::memory_order_relaxed);
  }

  // Sets (x, y) to palette entry `colour` (0..255, else a range error); nothing outside the area.
  void writePixel(std::int16_t x, std::int16_t y, std::int16_t colour) {
    put(x, y, paletteIndex(colour));
  }

  // Writes colours[i] to (x, y + i) for i = 0..count-1 wherever readPixel shows
  // another index, as that many readPixel and writePixel calls would, reading
  // each pixel once; returns the number of pixels written.
  int syncColumn(std::int16_t x, std::int16_t y, const std::int16_t* colours, int count);

  // Fills the rectangle with corners (x1, y1) and (x2, y2), both included, in kFillColour.
  void bar(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2);

  // Draws `text` in the 8 by 8 font, top-left corner at (x, y), glyph pixels only, in
  // kDrawColour; nothing when x or y is negative.
  void textAt(std::int16_t x, std::int16_t y, std::string_view text);

  // The drawing area's size in pixels (0 before open()).
  int width() const { return width_; }
  int height() const { return height_; }

  // The window's handle (0 before open(); no longer valid once the window is closed).
  plat::HWND window() const { return window_; }

 private:
  // A rectangle of the drawing area, right and bottom excluded.
  struct Box {
    int left, top, right, bottom;
  };
  class Presenter;

  bool inside(int x, int y) const {
    return static_cast<unsigned>(x) < static_cast<unsigned>(width_) &&
           static_cast<unsigned>(y) < static_cast<unsigned>(height_);
  }
  // Pixels are stored column by column (x outer, y inner), the order in which a display
  // phase reads its world back, so that those reads walk memory in order.
  std::size_t offset(int x, int y) const {
    return static_cast<std::size_t>(x) * static_cast<std::size_t>(height_) +
           static_cast<std::size_t>(y);
  }
  // The lowest index of palette entry `colour`'s colour (0..255, else a range error):
  // the copy holds only such indices, so what it holds is what readPixel shows.
  static std::uint8_t paletteIndex(std::int16_t colour);

  // Stores `index` at (x, y) and marks its tile for showing; nothing outside the area.
  void put(int x, int y, std::uint8_t index) {
    if (!inside(x, y)) return;
    pixels_[offset(x, y)].store(index, std::memory_order_relaxed);
    markDirty(x, y, x + 1, y + 1);
  }
  // Marks the tiles of the pixels left..right-1, top..bottom-1 (inside the area) for
  // showing, after their pixels were stored (release: the service thread then sees them).
  void markDirty(int left, int top, int right, int bottom);

  // Service thread: makes the copy and the window, reports through `opened`, then serves.
  void serve(std::promise<bool>& opened);
  // Service thread: handles messages and shows changes until stopped or closed.
  void serveWindow(Presenter& presenter, std::vector<std::uint32_t>& pixels);
  // Service thread: shows the dirty part of the copy, converted through `pixels`.
  void showChanges(Presenter& presenter, std::vector<std::uint32_t>& pixels);
  // Makes the copy of width by height pixels, all black, every tile dirty.
  void allocate(int width, int height);
  // Marks every tile for showing.
  void markAllDirty();
  // Takes the dirty flags; the bounding box of the dirty tiles, if any.
  std::optional<Box> takeDirty();
  // The colours of `box` as 32-bit BGR pixels, row by row.
  void convert(const Box& box, std::vector<std::uint32_t>& out) const;

  int width_ = 0;                  // drawing area, pixels across (0 until opened)
  int height_ = 0;                 // drawing area, pixels down
  int tilesAcross_ = 0;            // tiles per row of tiles
  int tilesDown_ = 0;              // rows of tiles
  std::int16_t driver_ = kNotDetected;  // driver reported by open()
  std::int16_t mode_ = 0;          // mode reported by open()
  bool opened_ = false;            // open() has run
  std::unique_ptr<std::atomic<std::uint8_t>[]> pixels_;  // lowest palette index per pixel, see offset()
  std::unique_ptr<std::atomic<bool>[]> dirty_;  // per tile, row by row: changed since shown
  std::vector<std::int16_t> barColumn_;  // bar()'s column of fill indices, reused
  std::atomic<bool> stopping_{false};  // set by the destructor to end the service thread
  plat::HWND window_ = 0;          // the window, made by the service thread
  std::thread service_;            // the service thread
};

}  // namespace morvane::palette
