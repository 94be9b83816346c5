// Integer: the game's 16-bit signed number. Every counter, flag and form
// variable is one. A value outside -32768..32767 is an overflow: it is never
// stored (an assignment keeps the old value, a new Integer starts at 0) and
// it is counted, so the soak run proves no rule ever makes one, and a faulty
// rule cannot crash, wrap or corrupt a figure.
#pragma once

#include <cstdint>

// How many overflows have been refused since the process started.
int integer_overflows();
void count_integer_overflow();

class Integer {
 public:
  static constexpr int kMin = -32768;
  static constexpr int kMax = 32767;

  constexpr Integer() = default;
  // Implicit on purpose: game code writes `OutCount = OutCount + 1`; the
  // sum, formed as int, is range-checked here when it is stored.
  constexpr Integer(int value) : value_(in_range(value) ? narrow(value) : refused(0)) {}  // NOLINT
  constexpr Integer& operator=(int value) {
    value_ = in_range(value) ? narrow(value) : refused(value_);
    return *this;
  }

  constexpr operator int() const { return value_; }  // NOLINT

 private:
  static constexpr bool in_range(int value) { return value >= kMin && value <= kMax; }
  static constexpr std::int16_t narrow(int value) { return static_cast<std::int16_t>(value); }
  // Not constexpr: an overflow in a constant expression does not compile.
  static std::int16_t refused(std::int16_t kept) {
    count_integer_overflow();
    return kept;
  }

  std::int16_t value_ = 0;
};

// Flags hold -1 (true) or 0 (false), never any other value.
inline constexpr int kTrue = -1;
inline constexpr int kFalse = 0;

// A statistic that only grows stops at the top of the range instead of
// overflowing, so a very long game never ends on a counter.
constexpr void add_one_capped(Integer& statistic) {
  if (statistic < Integer::kMax) statistic = statistic + 1;
}
