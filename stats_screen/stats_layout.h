// The stats screen's window and controls as they are at every load.
#pragma once

#include <span>

#include "core/forms/layout.h"

extern const FormSpec kStatsSpec;
std::span<const ControlRow> stats_layout();
