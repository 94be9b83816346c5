#include "core/convert.h"

#include <array>
#include <charconv>
#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>
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
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
  std::array<char, 64> buffer{};
  // Not printf: a desktop toolkit sets the user's locale, and with it the
  // decimal separator.
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::general, significant_digits);
  std::string text(buffer.data(), result.ptr);
#else
  // A standard library without floating-point to_chars: a stream in the
  // classic locale writes the same %g text.
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out << std::setprecision(significant_digits) << value;
  std::string text = out.str();
#endif
  // "general" already drops trailing zeros; only a bare "-0" needs care.
  if (text == "-0") text = "0";
  return text;
}

}  // namespace

std::string single_to_text(float value) { return shortest_text(value, 7); }

std::string double_to_text(double value) { return shortest_text(value, 15); }
