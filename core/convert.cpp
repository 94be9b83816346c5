#include "core/convert.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

Integer to_integer(double value) {
  // nearbyint rounds in the current mode, which is round-to-nearest-even.
  const double rounded = std::nearbyint(value);
  if (!(rounded >= Integer::kMin && rounded <= Integer::kMax)) throw IntegerOverflow();
  return Integer(static_cast<int>(rounded));
}

std::string to_text(Integer value) { return std::to_string(static_cast<int>(value)); }

namespace {

template <class Float>
std::string shortest_text(Float value, int significant_digits) {
  std::array<char, 64> buffer{};
#ifdef __EMSCRIPTEN__
  // The browser build's C++ library has no floating-point to_chars. printf's
  // %g writes the same text, and nothing there changes the C locale.
  const int length = std::snprintf(buffer.data(), buffer.size(), "%.*g", significant_digits, double(value));
  std::string text(buffer.data(), static_cast<std::size_t>(length));
#else
  // Not printf: a desktop toolkit sets the user's locale, and with it the
  // decimal separator.
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::general, significant_digits);
  std::string text(buffer.data(), result.ptr);
#endif
  // "general" already drops trailing zeros; only a bare "-0" needs care.
  if (text == "-0") text = "0";
  return text;
}

}  // namespace

std::string single_to_text(float value) { return shortest_text(value, 7); }

std::string double_to_text(double value) { return shortest_text(value, 15); }
