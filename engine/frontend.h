// What the Life engine shares with the programs that show it: the grid type,
// the colour classes of each kind of screen, the choices that tell the three
// programs apart, and the interface through which the engine hands over to a
// front end. The engine knows nothing of windows; it calls these hooks.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "runtime/runtime_error.h"

namespace morvane {

// Largest world side; every grid covers -4..GROLIM+5 in both indices.
inline constexpr std::int16_t GROLIM = 1000;

// A square grid indexed [x, y] with x, y in -4..GROLIM+5 (1010 by 1010 cells).
//
// Layout: column-major, y fastest: cell [x, y] is at (x + 4) * kSpan + (y + 4).
// The loops of the engine run x outer and y inner, so they walk memory in order,
// and one column is a contiguous run of kSpan cells that a vectorised step or
// a table-driven scan can read directly (column()).
template <class T>
class Grid {
 public:
  static constexpr int kLow = -4;             // lowest index in both directions
  static constexpr int kHigh = GROLIM + 5;    // highest index in both directions
  static constexpr int kSpan = kHigh - kLow + 1;

  Grid() : cells_(std::make_unique<T[]>(static_cast<std::size_t>(kSpan) * kSpan)) {}

  // Cell [x, y]; the caller guarantees kLow <= x, y <= kHigh.
  T& operator()(int x, int y) { return cells_[offset(x, y)]; }
  const T& operator()(int x, int y) const { return cells_[offset(x, y)]; }

  // Cell [x, y], ending the process with a range error when an index is out of bounds.
  T& at(int x, int y) { return (*this)(check(x), check(y)); }
  const T& at(int x, int y) const { return (*this)(check(x), check(y)); }

  // The kSpan cells of column x, from y = kLow up; column(x)[y - kLow] is [x, y].
  T* column(int x) { return &cells_[offset(x, kLow)]; }
  const T* column(int x) const { return &cells_[offset(x, kLow)]; }

 private:
  static std::size_t offset(int x, int y) {
    return static_cast<std::size_t>(x - kLow) * kSpan + static_cast<std::size_t>(y - kLow);
  }
  static int check(int i) { return rt::index(i, kLow, kHigh); }

  std::unique_ptr<T[]> cells_;  // kSpan * kSpan cells, zero at start
};

// Colour classes on a palette screen: palette indices.
struct PaletteColours {
  using Colour = std::int16_t;
  static constexpr Colour CS = 1;   // still structure: blue
  static constexpr Colour CC = 4;   // cycling structure: red
  static constexpr Colour CM = 14;  // moving structure: yellow
  static constexpr Colour CN = 2;   // any other live cell: green
};

// Colour classes on a true-colour screen: 0x00BBGGRR.
struct TrueColours {
  using Colour = std::uint32_t;
  static constexpr Colour CS = 0xFF0000;  // still structure: blue
  static constexpr Colour CC = 0x0000FF;  // cycling structure: red
  static constexpr Colour CM = 0x00FFFF;  // moving structure: yellow
  static constexpr Colour CN = 0x008000;  // any other live cell: green
};

// How the display phase colours the world.
enum class Colouring {
  kTemplates,  // fill, then paint the structures that the 4 by 4 templates recognise
  kFillOnly,   // every live cell CN, every dead cell 0
};

// What tells the three programs' engines apart (everything else is shared).
struct Deliverable {
  std::int16_t GRO;             // side of the world in cells, 1..GROLIM
  std::int32_t displayRemainder;  // the display phase runs when STEP mod OUTSTEP equals this
  Colouring colouring;
};

inline constexpr Deliverable kMorvane{200, 1, Colouring::kTemplates};
inline constexpr Deliverable kMorvaneDisplay{200, 1, Colouring::kTemplates};
inline constexpr Deliverable kMorvaneDisplay2{600, 0, Colouring::kFillOnly};

// The hooks through which the run loop hands over to the program that shows it.
// Front ends read what they are given and never change engine state.
template <class Colour>
class FrontEnd {
 public:
  virtual ~FrontEnd() = default;

  // Display phase: C has just been coloured; draw cells [x, y] for x, y = 1..GRO.
  virtual void display(const Grid<Colour>& C, std::int16_t GRO) = 0;

  // Panel phase begins: prepare the panel area before line 10 is drawn.
  virtual void panelBegin() {}

  // Panel line K (10 = top line .. 1 = bottom line) with its text; drawn at once.
  virtual void panelLine(std::int32_t K, std::string_view text) = 0;

  // End of every pass, after the step (message service, presenting, pause).
  virtual void endOfPass() {}
};

}  // namespace morvane
