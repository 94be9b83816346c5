// The game's key codes, named once: the classic desktop virtual-key codes
// that every platform delivers to Form_KeyDown. The keypad's digits come only
// with Num Lock on; with it off the keypad gives its navigation keys, which
// keep their own codes. Either Shift is kShift.
#pragma once

namespace vk {
inline constexpr int kBackspace = 8;
inline constexpr int kTab = 9;
inline constexpr int kClear = 12;  // keypad 5 with Num Lock off
inline constexpr int kEnter = 13;
inline constexpr int kShift = 16;
inline constexpr int kControl = 17;
inline constexpr int kAlt = 18;
inline constexpr int kEscape = 27;
inline constexpr int kSpace = 32;
inline constexpr int kPageUp = 33;
inline constexpr int kPageDown = 34;
inline constexpr int kEnd = 35;
inline constexpr int kHome = 36;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kInsert = 45;
inline constexpr int kDelete = 46;
inline constexpr int kDigit0 = '0';  // up to kDigit0 + 9
inline constexpr int kLetterA = 'A';  // up to kLetterA + 25
inline constexpr int kNumpad0 = 96;   // up to kNumpad0 + 9
inline constexpr int kNumpad7 = kNumpad0 + 7;
inline constexpr int kNumpad8 = kNumpad0 + 8;
inline constexpr int kNumpad9 = kNumpad0 + 9;
inline constexpr int kMultiply = 106;  // the keypad's operators
inline constexpr int kAdd = 107;
inline constexpr int kSubtract = 109;
inline constexpr int kDecimal = 110;
inline constexpr int kDivide = 111;
inline constexpr int kF1 = 112;  // up to kF1 + 23
inline constexpr int kPlus = 187;  // the main keyboard's =/+ key
inline constexpr int kComma = 188;
inline constexpr int kMinus = 189;
inline constexpr int kPeriod = 190;
inline constexpr int kSlash = 191;
}  // namespace vk
