// The avx2 kernel, for CPUs with AVX2: four words a vector (the build gives
// this file its instruction-set options).
#include "kernel_impl.h"

namespace morvane::packed {

std::int32_t avx2Step(const std::uint64_t* a, std::uint64_t* b, int gro, const CompiledRule& rule) {
  return stepPlanes<4>(a, b, gro, rule);
}

void avx2Scan(const std::uint64_t* a, int gro, TemplateFits& fits) { scanPlane<4>(a, gro, fits); }

void avx2Colour16(const WordCells& cells, const std::array<std::uint16_t, 4>& colours, std::uint16_t* out, int count) {
  colourWord(cells, colours, out, count);
}

void avx2Colour32(const WordCells& cells, const std::array<std::uint32_t, 4>& colours, std::uint32_t* out, int count) {
  colourWord(cells, colours, out, count);
}

}  // namespace morvane::packed
