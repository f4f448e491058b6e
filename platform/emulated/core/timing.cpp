// The performance counter, pauses and the timer resolution.
#include <chrono>
#include <thread>

#include "platform.h"

namespace morvane::plat {

BOOL QueryPerformanceCounter(std::int64_t* count) {
  if (!count) return kFalse;
  *count = std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
               .count();
  return kTrue;
}

BOOL QueryPerformanceFrequency(std::int64_t* frequency) {
  if (!frequency) return kFalse;
  *frequency = 1'000'000'000;  // the counter counts nanoseconds
  return kTrue;
}

void Sleep(DWORD ms) {
  if (ms == 0) {
    std::this_thread::yield();
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
}

// The system timer already sleeps with sub-millisecond precision: nothing to change.
UINT timeBeginPeriod(UINT) { return 0; }

UINT timeEndPeriod(UINT) { return 0; }

}  // namespace morvane::plat
