#include "core/integer.h"

namespace {
int overflow_count = 0;
}

int integer_overflows() { return overflow_count; }
void count_integer_overflow() { ++overflow_count; }
