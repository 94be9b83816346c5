#include "core/convert.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <clocale>
#include <cstdio>

int to_integer(double value) {
  // nearbyint rounds in the current mode, which is round-to-nearest-even.
  const double rounded = std::nearbyint(value);
  // Beyond the range (or not a number): one past the end, which the store
  // refuses, rather than a cast that would be undefined.
  if (!(rounded >= Integer::kMin)) return Integer::kMin - 1;
  if (!(rounded <= Integer::kMax)) return Integer::kMax + 1;
  return static_cast<int>(rounded);
}

std::string to_text(Integer value) { return std::to_string(static_cast<int>(value)); }

namespace {

template <class Float>
std::string shortest_text(Float value, int significant_digits) {
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
  std::array<char, 64> buffer{};
  // Not printf: a desktop toolkit sets the user's locale, and with it the
  // decimal separator.
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::general, significant_digits);
  std::string text(buffer.data(), result.ptr);
#else
  // A standard library without floating-point to_chars: printf's %g writes
  // the same text, once the locale's decimal point is put back to '.'.
  std::array<char, 64> buffer{};
  const int length = std::snprintf(buffer.data(), buffer.size(), "%.*g", significant_digits,
                                   static_cast<double>(value));
  std::string text(buffer.data(), static_cast<std::size_t>(length));
  std::replace(text.begin(), text.end(), *std::localeconv()->decimal_point, '.');
#endif
  // "general" already drops trailing zeros; only a bare "-0" needs care.
  if (text == "-0") text = "0";
  return text;
}

}  // namespace

std::string single_to_text(float value) { return shortest_text(value, 7); }

std::string double_to_text(double value) { return shortest_text(value, 15); }
