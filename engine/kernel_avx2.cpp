// The avx2 kernel, for CPUs with AVX2: four words a vector (the build gives
// this file its instruction-set options).
#include "kernel_impl.h"

namespace morvane::packed {

extern constinit const Kernel kAvx2Kernel = kernelOf<4>("avx2", hasAvx2);

}  // namespace morvane::packed
