// startFresh() on the emulation: its headless driver resets the whole platform.
#include "headless/headless.h"
#include "test_support.h"

namespace morvane::plat::testing {

void startFresh() { headless::reset(); }

}  // namespace morvane::plat::testing
