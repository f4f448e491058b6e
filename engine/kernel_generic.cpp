// The generic kernel, for any x86-64 (or other) CPU: two words a vector (the build gives
// this file its instruction-set options).
#include "kernel_impl.h"

namespace morvane::packed {

std::int32_t genericStep(const std::uint64_t* a, std::uint64_t* b, int gro, const CompiledRule& rule) {
  return stepPlanes<2>(a, b, gro, rule);
}

void genericScan(const std::uint64_t* a, int gro, TemplateFits& fits) { scanPlane<2>(a, gro, fits); }

void genericColour16(const WordCells& cells, const std::array<std::uint16_t, 4>& colours, std::uint16_t* out, int count) {
  colourWord(cells, colours, out, count);
}

void genericColour32(const WordCells& cells, const std::array<std::uint32_t, 4>& colours, std::uint32_t* out, int count) {
  colourWord(cells, colours, out, count);
}

}  // namespace morvane::packed
