// The avx512 kernel, for CPUs with AVX-512 (F, BW, VL): eight words a vector (the build gives
// this file its instruction-set options).
#include "kernel_impl.h"

namespace morvane::packed {

std::int32_t avx512Step(const std::uint64_t* a, std::uint64_t* b, int gro, const CompiledRule& rule) {
  return stepPlanes<8>(a, b, gro, rule);
}

void avx512Scan(const std::uint64_t* a, int gro, TemplateFits& fits) { scanPlane<8>(a, gro, fits); }

void avx512Colour16(const WordCells& cells, const std::array<std::uint16_t, 4>& colours, std::uint16_t* out, int count) {
  colourWord(cells, colours, out, count);
}

void avx512Colour32(const WordCells& cells, const std::array<std::uint32_t, 4>& colours, std::uint32_t* out, int count) {
  colourWord(cells, colours, out, count);
}

}  // namespace morvane::packed
