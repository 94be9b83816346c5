// The classic desktop virtual-key codes that every platform delivers to
// Form_KeyDown: the keypad's digits only with Num Lock on; with it off the
// keypad gives its navigation keys, which keep their own codes.
#pragma once

namespace vk {
inline constexpr int kShift = 16;
inline constexpr int kSpace = 32;
inline constexpr int kNumpad0 = 96;  // up to kNumpad0 + 9
inline constexpr int kNumpad7 = kNumpad0 + 7;
inline constexpr int kNumpad8 = kNumpad0 + 8;
inline constexpr int kNumpad9 = kNumpad0 + 9;
}  // namespace vk
