#include "core/web/dom_keys.h"

#include <cstddef>
#include <utility>

#include "core/forms/keys.h"

namespace {

using Entry = std::pair<const char*, int>;

// Keys by where they are.
constexpr Entry kByCode[] = {
    {"Space", vk::kSpace},           {"ShiftLeft", vk::kShift},         {"ShiftRight", vk::kShift},
    {"ControlLeft", vk::kControl},   {"ControlRight", vk::kControl},    {"AltLeft", vk::kAlt},
    {"AltRight", vk::kAlt},          {"Backspace", vk::kBackspace},     {"Tab", vk::kTab},
    {"Enter", vk::kEnter},           {"NumpadEnter", vk::kEnter},       {"Escape", vk::kEscape},
    {"NumpadMultiply", vk::kMultiply}, {"NumpadAdd", vk::kAdd},         {"NumpadSubtract", vk::kSubtract},
    {"NumpadDivide", vk::kDivide},   {"Equal", vk::kPlus},              {"Comma", vk::kComma},
    {"Minus", vk::kMinus},           {"Period", vk::kPeriod},           {"Slash", vk::kSlash},
};

// Keys by what they give: the navigation keys, wherever they are.
constexpr Entry kByKey[] = {
    {"PageUp", vk::kPageUp},   {"PageDown", vk::kPageDown}, {"End", vk::kEnd},       {"Home", vk::kHome},
    {"ArrowLeft", vk::kLeft},  {"ArrowUp", vk::kUp},        {"ArrowRight", vk::kRight}, {"ArrowDown", vk::kDown},
    {"Insert", vk::kInsert},   {"Delete", vk::kDelete},     {"Clear", vk::kClear},
};

// Writes the table into a buffer of its own, without the string and
// formatting library, which the page's program does not otherwise need.
class Writer {
 public:
  void text(const char* part) {
    while (*part && size_ < sizeof buffer_) buffer_[size_++] = *part++;
  }
  void number(int value) {
    char digits[12];
    int count = 0;
    do digits[count++] = static_cast<char>('0' + value % 10);
    while ((value /= 10) > 0);
    while (count > 0 && size_ < sizeof buffer_) buffer_[size_++] = digits[--count];
  }
  // "name":code, with a comma before all but an object's first.
  void entry(const char* prefix, const char* name, int code) {
    if (buffer_[size_ - 1] != '{') text(",");
    text("\"");
    text(prefix);
    text(name);
    text("\":");
    number(code);
  }
  std::string_view written() const { return {buffer_, size_}; }

 private:
  char buffer_[2048];
  std::size_t size_ = 0;
};

}  // namespace

std::string_view dom_key_table() {
  static Writer json;
  if (!json.written().empty()) return json.written();
  json.text("{\"code\":{");
  for (const auto& [name, code] : kByCode) json.entry("", name, code);
  char one[3] = {};
  for (int i = 0; i < 26; ++i) {
    one[0] = static_cast<char>('A' + i);
    json.entry("Key", one, vk::kLetterA + i);
  }
  for (int i = 0; i < 10; ++i) {
    one[0] = static_cast<char>('0' + i);
    json.entry("Digit", one, vk::kDigit0 + i);
  }
  for (int i = 1; i <= 24; ++i) {
    one[0] = static_cast<char>(i < 10 ? '0' + i : '0' + i / 10);
    one[1] = static_cast<char>(i < 10 ? 0 : '0' + i % 10);
    json.entry("F", one, vk::kF1 + i - 1);
  }
  json.text("},\"key\":{");
  for (const auto& [name, code] : kByKey) json.entry("", name, code);
  json.text("},\"numpad0\":");
  json.number(vk::kNumpad0);
  json.text("}");
  return json.written();
}
