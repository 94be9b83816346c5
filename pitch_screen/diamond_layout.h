// The pitch screen's window and controls as they are at every load.
#pragma once

#include <span>

#include "core/forms/layout.h"

// The ball's place on the mound, where it starts and comes back to after
// every called pitch and every hit.
inline constexpr float kHomeLeft = 2880, kHomeTop = 480;

extern const FormSettings kDiamondSettings;
std::span<const ControlRow> diamond_layout();
