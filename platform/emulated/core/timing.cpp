// The performance counter, pauses and the timer resolution, on the backend's clock.
#include <chrono>
#include <thread>

#include "driver.h"

namespace morvane::plat {

std::int64_t Driver::clockNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void Driver::sleep(DWORD ms) {
  if (ms == 0) {
    std::this_thread::yield();
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
}

BOOL QueryPerformanceCounter(std::int64_t* count) {
  if (!count) return kFalse;
  *count = activeDriver().clockNanoseconds();
  return kTrue;
}

BOOL QueryPerformanceFrequency(std::int64_t* frequency) {
  if (!frequency) return kFalse;
  *frequency = 1'000'000'000;  // the counter counts nanoseconds
  return kTrue;
}

void Sleep(DWORD ms) { activeDriver().sleep(ms); }

// The system timer already sleeps with sub-millisecond precision: nothing to change.
UINT timeBeginPeriod(UINT) { return 0; }

UINT timeEndPeriod(UINT) { return 0; }

}  // namespace morvane::plat
