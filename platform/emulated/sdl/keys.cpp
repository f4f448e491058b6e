// SDL key codes -> virtual-key codes and characters (US layout).
#include "sdl/keys.h"

#include <cstring>

namespace morvane::plat::sdl {

namespace {

struct KeyPair {
  SDL_Keycode key;  // the SDL key code
  UINT vk;          // its virtual-key code
};

// Keys whose virtual-key code is not their ASCII value.
constexpr KeyPair kKeys[] = {
    {SDLK_BACKSPACE, 0x08}, {SDLK_TAB, 0x09},       {SDLK_RETURN, 0x0D},     {SDLK_KP_ENTER, 0x0D},
    {SDLK_LSHIFT, 0x10},    {SDLK_RSHIFT, 0x10},    {SDLK_LCTRL, 0x11},      {SDLK_RCTRL, 0x11},
    {SDLK_LALT, 0x12},      {SDLK_RALT, 0x12},      {SDLK_PAUSE, 0x13},      {SDLK_CAPSLOCK, 0x14},
    {SDLK_ESCAPE, 0x1B},    {SDLK_SPACE, 0x20},     {SDLK_PAGEUP, 0x21},     {SDLK_PAGEDOWN, 0x22},
    {SDLK_END, 0x23},       {SDLK_HOME, 0x24},      {SDLK_LEFT, 0x25},       {SDLK_UP, 0x26},
    {SDLK_RIGHT, 0x27},     {SDLK_DOWN, 0x28},      {SDLK_PRINTSCREEN, 0x2C}, {SDLK_INSERT, 0x2D},
    {SDLK_DELETE, 0x2E},    {SDLK_LGUI, 0x5B},      {SDLK_RGUI, 0x5C},       {SDLK_APPLICATION, 0x5D},
    {SDLK_KP_0, 0x60},      {SDLK_KP_1, 0x61},      {SDLK_KP_2, 0x62},       {SDLK_KP_3, 0x63},
    {SDLK_KP_4, 0x64},      {SDLK_KP_5, 0x65},      {SDLK_KP_6, 0x66},       {SDLK_KP_7, 0x67},
    {SDLK_KP_8, 0x68},      {SDLK_KP_9, 0x69},      {SDLK_KP_MULTIPLY, 0x6A}, {SDLK_KP_PLUS, 0x6B},
    {SDLK_KP_MINUS, 0x6D},  {SDLK_KP_PERIOD, 0x6E}, {SDLK_KP_DIVIDE, 0x6F},  {SDLK_NUMLOCKCLEAR, 0x90},
    {SDLK_SCROLLLOCK, 0x91}, {SDLK_SEMICOLON, 0xBA}, {SDLK_EQUALS, 0xBB},    {SDLK_COMMA, 0xBC},
    {SDLK_MINUS, 0xBD},     {SDLK_PERIOD, 0xBE},    {SDLK_SLASH, 0xBF},      {SDLK_BACKQUOTE, 0xC0},
    {SDLK_LEFTBRACKET, 0xDB}, {SDLK_BACKSLASH, 0xDC}, {SDLK_RIGHTBRACKET, 0xDD}, {SDLK_QUOTE, 0xDE},
};

// Keypad keys and the characters they type.
constexpr KeyPair kKeypadText[] = {
    {SDLK_KP_0, '0'}, {SDLK_KP_1, '1'}, {SDLK_KP_2, '2'},        {SDLK_KP_3, '3'},
    {SDLK_KP_4, '4'}, {SDLK_KP_5, '5'}, {SDLK_KP_6, '6'},        {SDLK_KP_7, '7'},
    {SDLK_KP_8, '8'}, {SDLK_KP_9, '9'}, {SDLK_KP_MULTIPLY, '*'}, {SDLK_KP_PLUS, '+'},
    {SDLK_KP_MINUS, '-'}, {SDLK_KP_PERIOD, '.'}, {SDLK_KP_DIVIDE, '/'}, {SDLK_KP_ENTER, '\r'},
};

constexpr char kUnshifted[] = "`1234567890-=[]\\;',./";
constexpr char kShifted[] = "~!@#$%^&*()_+{}|:\"<>?";

}  // namespace

UINT virtualKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return static_cast<UINT>('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9) return static_cast<UINT>(key);
  if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + static_cast<UINT>(key - SDLK_F1);
  if (key >= SDLK_F13 && key <= SDLK_F24) return 0x7C + static_cast<UINT>(key - SDLK_F13);
  for (const KeyPair& p : kKeys) {
    if (p.key == key) return p.vk;
  }
  return 0;
}

char typedCharacter(SDL_Keycode key, Uint16 mods) {
  const bool shift = (mods & KMOD_SHIFT) != 0;
  if (mods & (KMOD_CTRL | KMOD_ALT)) {
    return (mods & KMOD_CTRL) && key >= SDLK_a && key <= SDLK_z ? static_cast<char>(key - SDLK_a + 1)
                                                                : 0;
  }
  if (key >= SDLK_a && key <= SDLK_z) {
    const bool upper = shift != ((mods & KMOD_CAPS) != 0);
    return static_cast<char>((upper ? 'A' : 'a') + (key - SDLK_a));
  }
  if (key == SDLK_RETURN) return '\r';
  if (key == SDLK_BACKSPACE) return '\b';
  if (key == SDLK_TAB) return '\t';
  if (key == SDLK_ESCAPE) return '\x1B';
  if (key == SDLK_SPACE) return ' ';
  for (const KeyPair& p : kKeypadText) {
    if (p.key == key) return (mods & KMOD_NUM) || p.vk > '9' || p.vk < '0' ? static_cast<char>(p.vk) : 0;
  }
  if (key > 0x20 && key < 0x7F) {
    const char* at = std::strchr(kUnshifted, static_cast<char>(key));
    if (at) return shift ? kShifted[at - kUnshifted] : *at;
  }
  return 0;
}

}  // namespace morvane::plat::sdl
