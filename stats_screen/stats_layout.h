// The stats screen's window and controls as they are at every load.
#pragma once

#include <span>

#include "core/forms/layout.h"

extern const FormSettings kStatsSettings;
std::span<const ControlRow> stats_layout();
