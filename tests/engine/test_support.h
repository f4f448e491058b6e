// Helpers shared by the engine tests: a front end that records what the run
// loop hands over, and small tools to lay out worlds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine.h"

namespace morvane::testing_support {

// One hand-over from the run loop, as text: "display", "begin", "line K text" or "end".
template <class Colour>
class RecordingFrontEnd : public FrontEnd<Colour> {
 public:
  // Records a display phase with the number of nonzero colours over 1..GRO.
  void display(const Grid<Colour>& C, std::int16_t GRO) override {
    int coloured = 0;
    for (int x = 1; x <= GRO; ++x) {
      for (int y = 1; y <= GRO; ++y) coloured += C(x, y) != 0;
    }
    events.push_back("display");
    colouredCells.push_back(coloured);
  }
  // Records the start of a panel phase.
  void panelBegin() override { events.push_back("begin"); }
  // Records one panel line with its index.
  void panelLine(std::int32_t K, std::string_view text) override {
    events.push_back("line " + std::to_string(K) + " " + std::string(text));
  }
  // Records the end of a pass.
  void endOfPass() override { events.push_back("end"); }

  // The text of the last panel line K recorded, or "" when there is none.
  std::string lastLine(std::int32_t K) const {
    const std::string prefix = "line " + std::to_string(K) + " ";
    for (auto it = events.rbegin(); it != events.rend(); ++it) {
      if (it->rfind(prefix, 0) == 0) return it->substr(prefix.size());
    }
    return "";
  }

  std::vector<std::string> events;  // every hand-over in order
  std::vector<int> colouredCells;   // nonzero colours seen by each display phase
};

// Clears A over the whole grid range.
template <class Colours>
void clearWorld(Engine<Colours>& engine) {
  for (int x = packed::kLow; x <= packed::kHigh; ++x) {
    for (int y = packed::kLow; y <= packed::kHigh; ++y) engine.setA(x, y, false);
  }
}

// Sets the listed cells [x, y] of A alive, shifted by (dx, dy).
template <class Colours>
void place(Engine<Colours>& engine, const std::vector<std::pair<int, int>>& cells, int dx = 0,
           int dy = 0) {
  for (const auto& [x, y] : cells) engine.setA(x + dx, y + dy, true);
}

// Live cells of A over x, y = low..high.
template <class Colours>
int liveCells(const Engine<Colours>& engine, int low, int high) {
  int live = 0;
  for (int x = low; x <= high; ++x) {
    for (int y = low; y <= high; ++y) live += engine.A(x, y) != 0;
  }
  return live;
}

// A glider moving toward growing x and y.
inline const std::vector<std::pair<int, int>> kGlider = {{1, 0}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};

}  // namespace morvane::testing_support
