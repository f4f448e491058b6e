// Clock, pause, frame stamps, window and screen metrics, mouse position.
#include "display_internal.h"
#include "runtime/runtime_error.h"

namespace display {

namespace rt = morvane::rt;

namespace {

// `slot` brought below the ring size by repeated subtraction of it.
std::uint32_t wrapStampSlot(std::uint32_t slot) {
  while (slot >= _MSCNTMAX) slot -= _MSCNTMAX;
  return slot;
}

// The window's outer rectangle; all 0 when the platform gives none.
plat::RECT windowRect() {
  plat::RECT rect{};
  if (!plat::GetWindowRect(state._HW, &rect)) rect = plat::RECT{};
  return rect;
}

// The cursor's screen position.
plat::POINT cursorPos() {
  plat::POINT point{};
  plat::GetCursorPos(&point);
  return point;
}

}  // namespace

double counterSeconds() {
  std::int64_t frequency = 0;
  std::int64_t count = 0;
  plat::QueryPerformanceFrequency(&frequency);
  plat::QueryPerformanceCounter(&count);
  return static_cast<double>(count) / static_cast<double>(frequency);
}

double GETTIMER() { return counterSeconds() - state._TBEGIN; }

void DELAY(std::uint32_t T) { plat::Sleep(T); }

void ADDFPS() {
  state._MSCNTI = rt::add(state._MSCNTI, 1u);
  FRESHFPS();
}

void FRESHFPS() {
  state._MSCNTI = wrapStampSlot(state._MSCNTI);
  state._MSCNT[state._MSCNTI] = GETTIMER();
  dropStaleStamps();
}

void dropStaleStamps() {
  const double newest = state._MSCNT[state._MSCNTI];
  // The newest stamp itself always stays, whatever its value.
  while (state._MSCNTJ != state._MSCNTI && state._MSCNT[state._MSCNTJ] <= newest - 1.0) {
    state._MSCNTJ = wrapStampSlot(state._MSCNTJ + 1);
  }
}

std::uint32_t GETWIDTH() { return rt::narrow<std::uint32_t>(state._W); }

std::uint32_t GETHEIGHT() { return rt::narrow<std::uint32_t>(state._H); }

std::int32_t GETSCRWIDTH() { return plat::GetSystemMetrics(plat::SM_CXSCREEN); }

std::int32_t GETSCRHEIGHT() { return plat::GetSystemMetrics(plat::SM_CYSCREEN); }

std::int32_t GETBORDERTITLE() { return plat::GetSystemMetrics(plat::SM_CYCAPTION); }

std::int32_t GETBORDERWIDTH() { return plat::GetSystemMetrics(plat::SM_CXFRAME); }

std::int32_t GETBORDERHEIGHT() { return plat::GetSystemMetrics(plat::SM_CYFRAME); }

std::int32_t GETPOSX() { return windowRect().left; }

std::int32_t GETPOSY() { return windowRect().top; }

std::int32_t GETMOUSEABSX() { return cursorPos().x; }

std::int32_t GETMOUSEABSY() { return cursorPos().y; }

std::int32_t GETMOUSEWINX() { return rt::sub(GETMOUSEABSX(), GETPOSX()); }

std::int32_t GETMOUSEWINY() { return rt::sub(GETMOUSEABSY(), GETPOSY()); }

std::int32_t GETMOUSEPOSX() { return rt::sub(GETMOUSEWINX(), GETBORDERWIDTH()); }

std::int32_t GETMOUSEPOSY() {
  return rt::sub(rt::sub(GETMOUSEWINY(), GETBORDERHEIGHT()), GETBORDERTITLE());
}

std::int32_t MAX(std::int32_t X, std::int32_t Y) { return X > Y ? X : Y; }

}  // namespace display
