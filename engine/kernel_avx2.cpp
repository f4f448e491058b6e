// The avx2 kernel, for CPUs with AVX2: four words a vector (the build gives
// this file its instruction-set options).
#include "kernel_impl.h"

namespace morvane::packed {

std::int32_t avx2Step(const std::uint64_t* a, std::uint64_t* b, int gro, const CompiledRule& rule) {
  return stepPlanes<4>(a, b, gro, rule);
}

void avx2Scan(const std::uint64_t* a, int gro, TemplateFits& fits) { scanPlane<4>(a, gro, fits); }

}  // namespace morvane::packed
