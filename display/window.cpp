// The window, its procedure, the user message queue, the message pump and presenting.
#include <algorithm>

#include "display_internal.h"
#include "runtime/runtime_error.h"

namespace display {

namespace rt = morvane::rt;

namespace {

constexpr const char* kClassName = "DefaultClass";

// Caption, system menu, sizing frame, minimise and maximise boxes, visible from the start.
constexpr plat::DWORD kWindowStyle = plat::WS_VISIBLE | plat::WS_OVERLAPPEDWINDOW;
static_assert(kWindowStyle == 0x10CF0000);

// The ring position after `position`: from _MSUSRMAX back to 1.
std::uint32_t nextUserSlot(std::uint32_t position) {
  const std::uint32_t next = rt::add(position, 1u);
  return next > _MSUSRMAX ? 1 : next;
}

// WM_CREATE: the window is alive; the clock counts from now.
void onCreate(plat::HWND HW) {
  plat::DragAcceptFiles(HW, plat::kTrue);
  plat::timeBeginPeriod(1);
  state._WINB = true;
  // The counter's own reading, so that a second window restarts the clock at 0 as well.
  state._TBEGIN = counterSeconds();
}

// WM_SETCURSOR: the arrow over the client area, both edges included.
void onSetCursor() {
  const std::int32_t x = GETMOUSEPOSX();
  const std::int32_t y = GETMOUSEPOSY();
  if (0 <= x && x <= state._W && 0 <= y && y <= state._H) {
    plat::SetCursor(plat::LoadCursorA(0, plat::IDC_ARROW));
  }
}

// WM_NCACTIVATE: bring a minimised window back when it is activated.
void onNcActivate(plat::WPARAM WP) {
  if ((WP & 11) != 0 && plat::IsIconic(state._HW)) {
    plat::ShowWindow(state._HW, plat::SW_SHOW);
    plat::ShowWindow(state._HW, plat::SW_RESTORE);
    plat::SetForegroundWindow(state._HW);
  }
}

// WM_USER: appended to the user queue; with the ring full the oldest entry is overwritten.
void queueUserMessage(plat::UINT UM, plat::WPARAM WP, plat::LPARAM LP) {
  plat::MSG& entry = state._MSUSR[state._MSUSRI];
  entry.message = UM;
  entry.wParam = WP;
  entry.lParam = LP;
  state._MSUSRI = nextUserSlot(state._MSUSRI);
}

}  // namespace

void CREATEWIN(std::uint32_t W, std::uint32_t H) { CREATEWIN(W, H, BLACK); }

void CREATEWIN(std::uint32_t W, std::uint32_t H, Colour C) { CREATEWIN(W, H, WHITE, C); }

void CREATEWIN(std::uint32_t W, std::uint32_t H, Colour CFG, Colour CBG) {
  state._W = rt::narrow<std::int32_t>(W);
  state._H = rt::narrow<std::int32_t>(H);
  state._X = MAX(0, rt::sub(GETSCRWIDTH(), state._W) / 2);
  state._Y = MAX(0, rt::sub(GETSCRHEIGHT(), state._H) / 2);
  state._CBG = CBG;
  state._CFG = CFG;
  WININIT();
  plat::SetBkMode(state._DC, plat::TRANSPARENT);
  CLEAR();
}

void WININIT() {
  WINREGISTER();
  WINCREATE();
  WINCREATEMAIN();
}

plat::ATOM WINREGISTER() {
  state._WC = plat::WNDCLASSA{};
  state._WC.style = 0;
  state._WC.lpfnWndProc = WNDPROC;
  state._WC.hInstance = plat::GetModuleHandleA(nullptr);
  state._WC.hbrBackground = plat::CreateSolidBrush(state._CBG);
  state._WC.lpszClassName = kClassName;
  return plat::RegisterClassA(&state._WC);
}

void WINCREATE() {
  // The platform knows the real decoration of the style (on Windows it can be wider
  // than the frame metrics say), so the client area gets exactly the size asked for.
  plat::RECT decoration{0, 0, 0, 0};
  plat::AdjustWindowRectEx(&decoration, kWindowStyle, plat::kFalse, 0);
  state._W = rt::add(state._W, rt::sub(decoration.right, decoration.left));
  state._H = rt::add(state._H, rt::sub(decoration.bottom, decoration.top));
  state._HW = plat::CreateWindowExA(0, kClassName, nullptr, kWindowStyle, state._X, state._Y,
                                    state._W, state._H, 0, 0, plat::GetModuleHandleA(nullptr),
                                    nullptr);
  // A program without its window has nothing to show and no way to be closed by its user.
  if (state._HW == 0) rt::fail(rt::RuntimeError::kRangeCheck);
}

void WINCREATEMAIN() {
  RELEASEBMP();
  state._DC = plat::GetDC(state._HW);
  state._MSCR = BITMAP{state._HW, state._DC, rt::narrow<std::uint32_t>(state._W),
                       rt::narrow<std::uint32_t>(state._H), TRANSPARENT};
  state._PMSCR = &state._MSCR;
  state._PMAIN = createMainSurface();
  state._MAIN = *state._PMAIN;
  ++state.mainBuilds;
  state.unshown = kEverything;  // a new surface: the window shows what the old one held
  SETFONT();
  if (state._DRAW != nullptr) state._DRAW();
}

plat::LRESULT MORVANE_CALLBACK WNDPROC(plat::HWND HW, plat::UINT UM, plat::WPARAM WP, plat::LPARAM LP) {
  switch (UM) {
    case plat::WM_CREATE:
      onCreate(HW);
      break;
    case plat::WM_DESTROY:
      plat::timeEndPeriod(1);
      state._WINB = false;
      break;
    case plat::WM_MOVE:
      if (state._DRAW != nullptr) state._DRAW();
      break;
    case plat::WM_SIZE: {
      const auto size = static_cast<std::uint32_t>(LP);  // client width low, height high
      state._W = static_cast<std::int32_t>(size & 0xFFFFu);
      state._H = static_cast<std::int32_t>(size >> 16);
      WINCREATEMAIN();
      break;
    }
    case plat::WM_PAINT:  // Windows lost part of the picture: the next FRESHWIN shows it all
      state.unshown = kEverything;
      break;
    case plat::WM_SETCURSOR:
      onSetCursor();
      break;
    case plat::WM_NCACTIVATE:
      onNcActivate(WP);
      break;
    case plat::WM_USER:
      queueUserMessage(UM, WP, LP);
      break;
    default:
      break;
  }
  return plat::DefWindowProcA(HW, UM, WP, LP);
}

bool CUSTOMMSG() {
  plat::MSG& entry = state._MSUSR[state._MSI];
  if (entry.message == 0) {
    // Nothing pending. After an overflow the read position trails the write position
    // by the number of overwritten entries; catching up here keeps new entries from
    // waiting until the writer has gone round the whole ring again.
    state._MSI = state._MSUSRI;
    return false;
  }
  state._MS = entry;
  entry.message = 0;
  state._MSI = nextUserSlot(state._MSI);
  return true;
}

bool ISNEXTMSG() {
  if (CUSTOMMSG()) return true;
  if (!plat::PeekMessageA(&state._MS, state._HW, 0, 0, plat::PM_REMOVE)) return false;
  SENDMSG();
  return true;
}

void SENDMSG() {
  plat::TranslateMessage(&state._MS);
  plat::DispatchMessageA(&state._MS);
}

void FRESHWIN() {
  // Only what is not shown yet: elsewhere the window holds what the main surface holds,
  // and the keyed copy of that part would change nothing there. Where the two parts
  // overlap, the second copy changes nothing either.
  const BITMAP& main = recordOf(state._PMAIN);
  bool copied = false;
  for (const plat::RECT& part : {state.unshown, state.unshownApart}) {
    const plat::LONG right = std::min<std::int64_t>(part.right, main.WIDTH);
    const plat::LONG bottom = std::min<std::int64_t>(part.bottom, main.HEIGHT);
    if (part.left >= right || part.top >= bottom) continue;
    const int w = right - part.left;
    const int h = bottom - part.top;
    plat::GdiTransparentBlt(state._DC, part.left, part.top, w, h, dcOf(state._PMAIN), part.left,
                            part.top, w, h, main.COLOR & 0xFFFFFFu);
    copied = true;
  }
  if (copied) plat::GdiFlush();  // before GETPIXEL or SETPIXEL touch the pixels
  state.unshown = state.unshownApart = kNothingDrawn;
  ADDFPS();
}

}  // namespace display
