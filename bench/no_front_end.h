// A front end that draws nothing, for benchmarks of the engine's own share of a pass.
#pragma once

#include <cstdint>
#include <string_view>

#include "frontend.h"

namespace morvane {

template <class Colour>
class NoFrontEnd : public FrontEnd<Colour> {
 public:
  void display(const Grid<Colour>&, std::int16_t) override {}
  void panelLine(std::int32_t, std::string_view) override {}
};

}  // namespace morvane
