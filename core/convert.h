// Conversions between the game's numbers and between numbers and text.
#pragma once

#include <string>

#include "core/integer.h"

// Float to a whole number for an Integer: round to nearest, ties to even
// (2.5 -> 2, 3.5 -> 4); the game never truncates. Outside the range it gives
// a number just past the range's end, so the Integer store refuses it.
int to_integer(double value);

// Integer as decimal text, "-" when negative.
std::string to_text(Integer value);

// Shortest decimal text with at most 7 (Single) or 15 (Double) significant
// digits, no trailing zeros, no point for a whole number. Locale-free.
std::string single_to_text(float value);
std::string double_to_text(double value);
