// Integer: the game's 16-bit signed number. Every counter, flag and form
// variable is one. Storing a value outside -32768..32767 is an overflow,
// reported by throwing IntegerOverflow; the event dispatch catches it, so a
// faulty handler stops where it is and the game goes on.
#pragma once

#include <cstdint>
#include <stdexcept>

class IntegerOverflow : public std::overflow_error {
 public:
  IntegerOverflow() : std::overflow_error("Integer overflow") {}
};

class Integer {
 public:
  static constexpr int kMin = -32768;
  static constexpr int kMax = 32767;

  constexpr Integer() = default;
  // Implicit on purpose: game code writes `OutCount = OutCount + 1` and the
  // sum, formed as int, is range-checked here when it is stored.
  constexpr Integer(int value) : value_(checked(value)) {}  // NOLINT

  constexpr operator int() const { return value_; }  // NOLINT

 private:
  static constexpr std::int16_t checked(int value) {
    if (value < kMin || value > kMax) throw IntegerOverflow();
    return static_cast<std::int16_t>(value);
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
