// Virtual-key codes: the numbers the game polls and receives for keys.
#pragma once

namespace vorlax {

inline constexpr int VK_BACK = 8;
inline constexpr int VK_TAB = 9;
inline constexpr int VK_RETURN = 13;
inline constexpr int VK_SHIFT = 16;
inline constexpr int VK_CONTROL = 17;
inline constexpr int VK_MENU = 18;  // Alt
inline constexpr int VK_PAUSE = 19;
inline constexpr int VK_CAPITAL = 20;
inline constexpr int VK_ESCAPE = 27;
inline constexpr int VK_SPACE = 32;
inline constexpr int VK_PRIOR = 33;  // Page Up
inline constexpr int VK_NEXT = 34;   // Page Down
inline constexpr int VK_END = 35;
inline constexpr int VK_HOME = 36;
inline constexpr int VK_LEFT = 37;
inline constexpr int VK_UP = 38;
inline constexpr int VK_RIGHT = 39;
inline constexpr int VK_DOWN = 40;
inline constexpr int VK_INSERT = 45;
inline constexpr int VK_DELETE = 46;
// Digits '0'..'9' are 48..57 and letters 'A'..'Z' are 65..90.
inline constexpr int VK_P = 'P';
inline constexpr int VK_NUMPAD0 = 96;  // .. 105
inline constexpr int VK_MULTIPLY = 106;
inline constexpr int VK_ADD = 107;
inline constexpr int VK_SUBTRACT = 109;
inline constexpr int VK_DECIMAL = 110;
inline constexpr int VK_DIVIDE = 111;
inline constexpr int VK_F1 = 112;
inline constexpr int VK_F2 = 113;
inline constexpr int VK_F3 = 114;
inline constexpr int VK_F12 = 123;
inline constexpr int VK_OEM_1 = 186;       // ;
inline constexpr int VK_OEM_PLUS = 187;    // =
inline constexpr int VK_OEM_COMMA = 188;   // ,
inline constexpr int VK_OEM_MINUS = 189;   // -
inline constexpr int VK_OEM_PERIOD = 190;  // .
inline constexpr int VK_OEM_2 = 191;       // /
inline constexpr int VK_OEM_3 = 192;       // `
inline constexpr int VK_OEM_4 = 219;       // [
inline constexpr int VK_OEM_5 = 220;       // backslash
inline constexpr int VK_OEM_6 = 221;       // ]
inline constexpr int VK_OEM_7 = 222;       // '

}  // namespace vorlax
