// The hit view's window and controls as they are at every load.
#pragma once

#include <span>

#include "core/forms/layout.h"

extern const FormSettings kHitViewSettings;
std::span<const ControlRow> hit_view_layout();
