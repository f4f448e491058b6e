// What the Win32 backend's two halves share: <windows.h> and the conversions
// between the platform layer's types and the system's.
//
// platform.h comes first: <windows.h> defines macros named like its constants
// (WM_SIZE, RGB, TRANSPARENT ...), which would otherwise rewrite them. After
// this header, code names the system's constants and calls with `::`.
#pragma once

#include "platform.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace morvane::plat::win32 {

// The system's handle of kind `T` for one of the layer's handles.
template <class T>
T native(HANDLE h) {
  return reinterpret_cast<T>(h);
}

// The layer's handle for a system handle.
inline HANDLE handleOf(const void* h) { return reinterpret_cast<HANDLE>(h); }

// The layer's BOOL for a system BOOL.
inline BOOL boolOf(::BOOL b) { return b ? kTrue : kFalse; }

// Rectangles have the same four 32-bit fields on both sides.
inline ::RECT native(const RECT& r) { return ::RECT{r.left, r.top, r.right, r.bottom}; }
inline RECT rectOf(const ::RECT& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace morvane::plat::win32
