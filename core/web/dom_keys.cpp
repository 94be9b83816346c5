#include "core/web/dom_keys.h"

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

void add(std::string& json, const std::string& name, int code) {
  if (json.back() != '{') json += ',';
  json += '"' + name + "\":" + std::to_string(code);
}

}  // namespace

std::string dom_key_table() {
  std::string json = "{\"code\":{";
  for (const auto& [name, code] : kByCode) add(json, name, code);
  for (int i = 0; i < 26; ++i) add(json, std::string("Key") + char('A' + i), vk::kLetterA + i);
  for (int i = 0; i < 10; ++i) add(json, "Digit" + std::to_string(i), vk::kDigit0 + i);
  for (int i = 0; i < 24; ++i) add(json, "F" + std::to_string(i + 1), vk::kF1 + i);
  json += "},\"key\":{";
  for (const auto& [name, code] : kByKey) add(json, name, code);
  json += "},\"numpad0\":" + std::to_string(vk::kNumpad0) + "}";
  return json;
}
