// Translation of SDL key codes into virtual-key codes and typed characters.
#pragma once

#include <SDL.h>

#include "platform.h"

namespace morvane::plat::sdl {

// The virtual-key code of an SDL key code (0: a key without one).
UINT virtualKey(SDL_Keycode key);

// The Windows-1252 character the key types with the modifiers `mods` (0: none), as a US
// keyboard types it.
char typedCharacter(SDL_Keycode key, Uint16 mods);

}  // namespace morvane::plat::sdl
