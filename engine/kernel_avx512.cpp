// The avx512 kernel, for CPUs with AVX-512 (F, BW, VL): eight words a vector (the build gives
// this file its instruction-set options).
#include "kernel_impl.h"

namespace morvane::packed {

extern constinit const Kernel kAvx512Kernel = kernelOf<8>("avx512", hasAvx512);

}  // namespace morvane::packed
