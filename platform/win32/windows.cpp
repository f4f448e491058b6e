// Window classes, windows, message queues, cursor, metrics and time, forwarded
// to user32, shell32, kernel32 and winmm.
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "native.h"
#include "runtime/runtime_error.h"

#include <mmsystem.h>
#include <shellapi.h>

namespace morvane::plat {

using win32::boolOf;
using win32::handleOf;
using win32::native;

namespace {

// The layer's window procedures take the layer's handles (numbers, not pointers),
// so every class is registered with one system procedure, relay(), which passes
// each message on to the layer's procedure of the window's class. Classes are
// process-wide on Windows, and so is this table of their procedures.
class ProcedureTable {
 public:
  // Remembers `proc` as the procedure of the class `atom`.
  void add(ATOM atom, WNDPROC proc) {
    std::lock_guard lock(mutex_);
    procs_[atom] = proc;
  }
  // The procedure of the class `atom`; null for a class not registered here.
  WNDPROC find(ATOM atom) const {
    std::lock_guard lock(mutex_);
    const auto it = procs_.find(atom);
    return it == procs_.end() ? nullptr : it->second;
  }

 private:
  mutable std::mutex mutex_;
  std::map<ATOM, WNDPROC> procs_;
};

ProcedureTable& procedures() {
  static ProcedureTable table;
  return table;
}

// The system's window procedure of every class registered through the layer.
::LRESULT CALLBACK relay(::HWND hwnd, ::UINT msg, ::WPARAM wParam, ::LPARAM lParam) {
  const WNDPROC proc = procedures().find(static_cast<ATOM>(::GetClassWord(hwnd, GCW_ATOM)));
  if (!proc) return ::DefWindowProcA(hwnd, msg, wParam, lParam);
  return proc(handleOf(hwnd), msg, wParam, lParam);
}

// Ends the program because the window system could not make a window, as the other
// backend does: "<program>: cannot open a window: <reason>" and the display status.
[[noreturn]] void endForNoWindow(::DWORD error) {
  char reason[256] = "the window system gave no reason (is there a display?)";
  if (error != 0) {
    ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                     reason, sizeof reason, nullptr);
  }
  // The system's text ends in a line break of its own.
  for (char* end = reason + std::strlen(reason);
       end > reason && (end[-1] == '\n' || end[-1] == '\r' || end[-1] == ' ');) {
    *--end = '\0';
  }
  char path[MAX_PATH] = "";
  ::GetModuleFileNameA(nullptr, path, sizeof path);
  std::string program = path;
  program.erase(0, program.find_last_of("\\/") + 1);
  if (const std::size_t dot = program.rfind('.'); dot != std::string::npos) program.erase(dot);
  char line[512];
  std::snprintf(line, sizeof line, "%s: cannot open a window: %s (system error %lu)",
                program.c_str(), reason, static_cast<unsigned long>(error));
  rt::quit(rt::kDisplayUnavailable, line);
}

// The system's message for one of the layer's.
::MSG toNative(const MSG& m) {
  ::MSG n{};
  n.hwnd = native<::HWND>(m.hwnd);
  n.message = m.message;
  n.wParam = m.wParam;
  n.lParam = m.lParam;
  n.time = m.time;
  n.pt = ::POINT{m.pt.x, m.pt.y};
  return n;
}

}  // namespace

ATOM RegisterClassA(const WNDCLASSA* wc) {
  if (!wc || !wc->lpfnWndProc) return 0;
  ::WNDCLASSA n{};
  n.style = wc->style;
  n.lpfnWndProc = relay;
  n.cbClsExtra = wc->cbClsExtra;
  n.cbWndExtra = wc->cbWndExtra;
  n.hInstance = native<::HINSTANCE>(wc->hInstance);
  n.hIcon = native<::HICON>(wc->hIcon);
  n.hCursor = native<::HCURSOR>(wc->hCursor);
  n.hbrBackground = native<::HBRUSH>(wc->hbrBackground);
  n.lpszMenuName = wc->lpszMenuName;
  n.lpszClassName = wc->lpszClassName;
  const ATOM atom = ::RegisterClassA(&n);
  if (atom != 0) procedures().add(atom, wc->lpfnWndProc);
  return atom;
}

BOOL UnregisterClassA(const char* name, HINSTANCE instance) {
  return boolOf(::UnregisterClassA(name, native<::HINSTANCE>(instance)));
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (!rect) return kFalse;
  ::RECT r = native(*rect);
  if (!::AdjustWindowRectEx(&r, style, menu, exStyle)) return kFalse;
  *rect = win32::rectOf(r);
  return kTrue;
}

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                     int y, int w, int h, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
  const ::HWND hwnd = ::CreateWindowExA(exStyle, className, title, style, x, y, w, h,
                                        native<::HWND>(parent), native<::HMENU>(menu),
                                        native<::HINSTANCE>(instance), param);
  if (!hwnd) {
    const ::DWORD error = ::GetLastError();
    if (error != ERROR_CANNOT_FIND_WND_CLASS) endForNoWindow(error);
  }
  return handleOf(hwnd);
}

BOOL DestroyWindow(HWND hwnd) { return boolOf(::DestroyWindow(native<::HWND>(hwnd))); }

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(native<::HWND>(hwnd), msg, wParam, lParam);
}

HINSTANCE GetModuleHandleA(const char* name) { return handleOf(::GetModuleHandleA(name)); }

BOOL IsWindow(HWND hwnd) { return boolOf(::IsWindow(native<::HWND>(hwnd))); }

BOOL IsIconic(HWND hwnd) { return boolOf(::IsIconic(native<::HWND>(hwnd))); }

BOOL ShowWindow(HWND hwnd, int cmd) { return boolOf(::ShowWindow(native<::HWND>(hwnd), cmd)); }

BOOL SetForegroundWindow(HWND hwnd) {
  return boolOf(::SetForegroundWindow(native<::HWND>(hwnd)));
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
  ::RECT r{};
  if (!rect || !::GetWindowRect(native<::HWND>(hwnd), &r)) return kFalse;
  *rect = win32::rectOf(r);
  return kTrue;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
  ::RECT r{};
  if (!rect || !::GetClientRect(native<::HWND>(hwnd), &r)) return kFalse;
  *rect = win32::rectOf(r);
  return kTrue;
}

void DragAcceptFiles(HWND hwnd, BOOL accept) { ::DragAcceptFiles(native<::HWND>(hwnd), accept); }

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT min, UINT max, UINT removeFlags) {
  ::MSG m{};
  if (!msg || !::PeekMessageA(&m, native<::HWND>(hwnd), min, max, removeFlags)) return kFalse;
  *msg = MSG{handleOf(m.hwnd), m.message, m.wParam, m.lParam, m.time, POINT{m.pt.x, m.pt.y}};
  return kTrue;
}

void WaitMessageTimeout(DWORD ms) {
  // Wakes for any message in the queue, also one a PeekMessageA has already looked at.
  ::MsgWaitForMultipleObjectsEx(0, nullptr, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg) return kFalse;
  const ::MSG m = toNative(*msg);
  return boolOf(::TranslateMessage(&m));
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  const ::MSG m = toNative(*msg);
  return ::DispatchMessageA(&m);
}

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return boolOf(::PostMessageA(native<::HWND>(hwnd), msg, wParam, lParam));
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageA(native<::HWND>(hwnd), msg, wParam, lParam);
}

HCURSOR LoadCursorA(HINSTANCE instance, std::uintptr_t id) {
  return handleOf(::LoadCursorA(native<::HINSTANCE>(instance), MAKEINTRESOURCEA(id)));
}

HCURSOR SetCursor(HCURSOR cursor) { return handleOf(::SetCursor(native<::HCURSOR>(cursor))); }

BOOL GetCursorPos(POINT* pt) {
  ::POINT p{};
  if (!pt || !::GetCursorPos(&p)) return kFalse;
  *pt = POINT{p.x, p.y};
  return kTrue;
}

int GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

BOOL QueryPerformanceCounter(std::int64_t* count) {
  ::LARGE_INTEGER n{};
  if (!count || !::QueryPerformanceCounter(&n)) return kFalse;
  *count = n.QuadPart;
  return kTrue;
}

BOOL QueryPerformanceFrequency(std::int64_t* frequency) {
  ::LARGE_INTEGER n{};
  if (!frequency || !::QueryPerformanceFrequency(&n)) return kFalse;
  *frequency = n.QuadPart;
  return kTrue;
}

void Sleep(DWORD ms) { ::Sleep(ms); }

UINT timeBeginPeriod(UINT ms) { return ::timeBeginPeriod(ms); }

UINT timeEndPeriod(UINT ms) { return ::timeEndPeriod(ms); }

}  // namespace morvane::plat
