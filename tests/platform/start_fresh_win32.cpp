// startFresh() on Windows: the system keeps no state of ours between tests that a
// test has not taken back itself (PlatformTest::TearDown), so nothing is left to do.
#include "test_support.h"

namespace morvane::plat::testing {

void startFresh() {}

}  // namespace morvane::plat::testing
