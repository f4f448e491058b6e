// The generic kernel, for any CPU: two words a vector (the build gives
// this file its instruction-set options).
#include "kernel_impl.h"

namespace morvane::packed {

extern constinit const Kernel kGenericKernel = kernelOf<2>("generic", runsEverywhere);

}  // namespace morvane::packed
