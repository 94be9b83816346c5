// The pitch screen's window and controls as they are at every load.
#pragma once

#include <span>

#include "core/forms/layout.h"

extern const FormSpec kDiamondSpec;
std::span<const ControlRow> diamond_layout();
