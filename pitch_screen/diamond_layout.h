// The pitch screen's window and controls as they are at every load.
#pragma once

#include <span>

#include "core/forms/layout.h"

extern const FormSettings kDiamondSettings;
std::span<const ControlRow> diamond_layout();
