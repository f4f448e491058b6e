// Key and mouse-button names of the display library. A key's value is the
// virtual-key code that key messages carry in wParam (ISNEXTMSG leaves the
// message in _MS); K_UK (0) names no key.
#pragma once

#include <cstdint>

namespace display {

// A virtual-key code.
using KeyCode = std::uint32_t;

inline constexpr KeyCode K_UK = 0;
inline constexpr KeyCode K_LMOUSE = 1;
inline constexpr KeyCode K_RMOUSE = 2;
inline constexpr KeyCode K_CANCEL = 3;
inline constexpr KeyCode K_MMOUSE = 4;
inline constexpr KeyCode K_X1MOUSE = 5;
inline constexpr KeyCode K_X2MOUSE = 6;
inline constexpr KeyCode K_BACK = 8;
inline constexpr KeyCode K_TAB = 9;
inline constexpr KeyCode K_CLEAR = 12;
inline constexpr KeyCode K_ENTER = 13;
inline constexpr KeyCode K_SHIFT = 16;
inline constexpr KeyCode K_CTRL = 17;
inline constexpr KeyCode K_ALT = 18;
inline constexpr KeyCode K_PAUSE = 19;
inline constexpr KeyCode K_CAPS = 20;
inline constexpr KeyCode K_ESC = 27;
inline constexpr KeyCode K_SPACE = 32;
inline constexpr KeyCode K_PGUP = 33;
inline constexpr KeyCode K_PGDN = 34;
inline constexpr KeyCode K_END = 35;
inline constexpr KeyCode K_HOME = 36;
inline constexpr KeyCode K_LEFT = 37;
inline constexpr KeyCode K_UP = 38;
inline constexpr KeyCode K_RIGHT = 39;
inline constexpr KeyCode K_DOWN = 40;
inline constexpr KeyCode K_SELECT = 41;
inline constexpr KeyCode K_PRINT = 42;
inline constexpr KeyCode K_EXECUTE = 43;
inline constexpr KeyCode K_PRTSC = 44;
inline constexpr KeyCode K_INS = 45;
inline constexpr KeyCode K_DEL = 46;
inline constexpr KeyCode K_HELP = 47;
inline constexpr KeyCode K_0 = 48;
inline constexpr KeyCode K_1 = 49;
inline constexpr KeyCode K_2 = 50;
inline constexpr KeyCode K_3 = 51;
inline constexpr KeyCode K_4 = 52;
inline constexpr KeyCode K_5 = 53;
inline constexpr KeyCode K_6 = 54;
inline constexpr KeyCode K_7 = 55;
inline constexpr KeyCode K_8 = 56;
inline constexpr KeyCode K_9 = 57;
inline constexpr KeyCode K_A = 65;
inline constexpr KeyCode K_B = 66;
inline constexpr KeyCode K_C = 67;
inline constexpr KeyCode K_D = 68;
inline constexpr KeyCode K_E = 69;
inline constexpr KeyCode K_F = 70;
inline constexpr KeyCode K_G = 71;
inline constexpr KeyCode K_H = 72;
inline constexpr KeyCode K_I = 73;
inline constexpr KeyCode K_J = 74;
inline constexpr KeyCode K_K = 75;
inline constexpr KeyCode K_L = 76;
inline constexpr KeyCode K_M = 77;
inline constexpr KeyCode K_N = 78;
inline constexpr KeyCode K_O = 79;
inline constexpr KeyCode K_P = 80;
inline constexpr KeyCode K_Q = 81;
inline constexpr KeyCode K_R = 82;
inline constexpr KeyCode K_S = 83;
inline constexpr KeyCode K_T = 84;
inline constexpr KeyCode K_U = 85;
inline constexpr KeyCode K_V = 86;
inline constexpr KeyCode K_W = 87;
inline constexpr KeyCode K_X = 88;
inline constexpr KeyCode K_Y = 89;
inline constexpr KeyCode K_Z = 90;
inline constexpr KeyCode K_LWIN = 91;
inline constexpr KeyCode K_RWIN = 92;
inline constexpr KeyCode K_APPS = 93;
inline constexpr KeyCode K_SLEEP = 95;
inline constexpr KeyCode K_N0 = 96;
inline constexpr KeyCode K_N1 = 97;
inline constexpr KeyCode K_N2 = 98;
inline constexpr KeyCode K_N3 = 99;
inline constexpr KeyCode K_N4 = 100;
inline constexpr KeyCode K_N5 = 101;
inline constexpr KeyCode K_N6 = 102;
inline constexpr KeyCode K_N7 = 103;
inline constexpr KeyCode K_N8 = 104;
inline constexpr KeyCode K_N9 = 105;
inline constexpr KeyCode K_MUL = 106;
inline constexpr KeyCode K_ADD = 107;
inline constexpr KeyCode K_SEP = 108;
inline constexpr KeyCode K_SUB = 109;
inline constexpr KeyCode K_DEC = 110;
inline constexpr KeyCode K_DIV = 111;
inline constexpr KeyCode K_F1 = 112;
inline constexpr KeyCode K_F2 = 113;
inline constexpr KeyCode K_F3 = 114;
inline constexpr KeyCode K_F4 = 115;
inline constexpr KeyCode K_F5 = 116;
inline constexpr KeyCode K_F6 = 117;
inline constexpr KeyCode K_F7 = 118;
inline constexpr KeyCode K_F8 = 119;
inline constexpr KeyCode K_F9 = 120;
inline constexpr KeyCode K_F10 = 121;
inline constexpr KeyCode K_F11 = 122;
inline constexpr KeyCode K_F12 = 123;
inline constexpr KeyCode K_F13 = 124;
inline constexpr KeyCode K_F14 = 125;
inline constexpr KeyCode K_F15 = 126;
inline constexpr KeyCode K_F16 = 127;
inline constexpr KeyCode K_F17 = 128;
inline constexpr KeyCode K_F18 = 129;
inline constexpr KeyCode K_F19 = 130;
inline constexpr KeyCode K_F20 = 131;
inline constexpr KeyCode K_F21 = 132;
inline constexpr KeyCode K_F22 = 133;
inline constexpr KeyCode K_F23 = 134;
inline constexpr KeyCode K_F24 = 135;
inline constexpr KeyCode K_NUM = 144;
inline constexpr KeyCode K_SCR = 145;
inline constexpr KeyCode K_LSHIFT = 160;
inline constexpr KeyCode K_LCTRL = 162;
inline constexpr KeyCode K_LALT = 164;
inline constexpr KeyCode K_RSHIFT = 161;
inline constexpr KeyCode K_RCTRL = 163;
inline constexpr KeyCode K_RALT = 165;

// Mouse buttons.
inline constexpr std::uint32_t M_LEFT = 0;
inline constexpr std::uint32_t M_RIGHT = 1;
inline constexpr std::uint32_t M_MIDDLE = 2;

}  // namespace display
