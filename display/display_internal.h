// The steps behind CREATEWIN and the library's own helpers. Programs do not
// call these; they are visible for the library's tests.
#pragma once

#include <cstdint>

#include "display.h"

namespace display {

// Registers the window class, creates the window, builds the window record and the main surface.
void WININIT();

// Fills _WC and registers it; returns the class atom (0 when the name is taken).
plat::ATOM WINREGISTER();

// Turns the client size in _W/_H into the outer size of the window's style and creates the
// window into _HW.
void WINCREATE();

// Builds the window record and the main surface for _HW, _W and _H; also on every size change.
void WINCREATEMAIN();

// The window procedure.
plat::LRESULT MORVANE_CALLBACK WNDPROC(plat::HWND HW, plat::UINT UM, plat::WPARAM WP, plat::LPARAM LP);

// How often CREATEBMP asks for a device context or a bitmap before it takes a refusal as final.
inline constexpr int kCreateAttempts = 4;

// Milliseconds CREATEBMP waits between two refused attempts.
inline constexpr plat::DWORD kCreateRetryPauseMs = 1;

// A surface of the window record's size and colour whose pixels the library reaches in
// place (mainPixels): the main surface.
PBITMAP createMainSurface();

// B's device context; 0 (which every platform call refuses) for a null B.
inline plat::HDC dcOf(PBITMAP B) { return B != nullptr ? B->DC : 0; }

// The record B points to; an all-zero record for a null B.
const BITMAP& recordOf(PBITMAP B);

// Replaces the library's brush or font `current`, selected into `currentDc`, by
// `replacement` selected into `dc`: the old one is first deselected (the stock object
// `stockStandIn` takes its place) so that it can be deleted.
void replaceSelected(plat::HGDIOBJ& current, plat::HDC& currentDc, int stockStandIn,
                     plat::HGDIOBJ replacement, plat::HDC dc);

// Moves _MSCNTJ past every stamp that is a second or more older than the newest (_MSCNT[_MSCNTI]).
void dropStaleStamps();

// The performance counter's time in seconds.
double counterSeconds();

// Forgets everything: the library state as at program start. The heap record of the
// main surface is freed; platform objects are left to the platform's own reset.
void resetForTests();

}  // namespace display
