// The pitch screen's window and controls as they are at every load.
#pragma once

#include <array>
#include <span>

#include "core/forms/layout.h"

// The ball's place on the mound, where it starts and comes back to after
// every called pitch and every hit.
inline constexpr float kHomeLeft = 2880, kHomeTop = 480;

// The keys the pitch screen acts on, each once, in the order its key handler
// binds them (pitch_screen/diamond.cpp): the keypad's 7, 8 and 9 (Num Lock
// on), Space and Shift.
extern const std::array<int, 5> kDiamondKeys;

extern const FormSettings kDiamondSettings;
std::span<const ControlRow> diamond_layout();
