#include "core/qt/key_codes.h"

#include "core/forms/keys.h"

namespace {

// Keypad keys with Num Lock off arrive as navigation keys and keep their
// navigation codes, so only Num Lock digits reach the keypad's codes.
// XK_KP_0..XK_KP_9: a keymap gives these only with Num Lock on.
constexpr std::uint32_t kKeysymKeypad0 = 0xFFB0, kKeysymKeypad9 = 0xFFB9;

int navigation_code(int qt_key) {
  switch (qt_key) {
    case Qt::Key_PageUp: return vk::kPageUp;
    case Qt::Key_PageDown: return vk::kPageDown;
    case Qt::Key_End: return vk::kEnd;
    case Qt::Key_Home: return vk::kHome;
    case Qt::Key_Left: return vk::kLeft;
    case Qt::Key_Up: return vk::kUp;
    case Qt::Key_Right: return vk::kRight;
    case Qt::Key_Down: return vk::kDown;
    case Qt::Key_Insert: return vk::kInsert;
    case Qt::Key_Delete: return vk::kDelete;
    case Qt::Key_Clear: return vk::kClear;
    default: return 0;
  }
}

}  // namespace

int virtual_key_code(int qt_key, Qt::KeyboardModifiers modifiers, std::uint32_t native_keysym) {
  // Qt's Wayland plugin leaves the keypad modifier out; the key symbol tells.
  if (native_keysym >= kKeysymKeypad0 && native_keysym <= kKeysymKeypad9)
    return vk::kNumpad0 + static_cast<int>(native_keysym - kKeysymKeypad0);
  const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
  if (keypad && qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return vk::kNumpad0 + (qt_key - Qt::Key_0);
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return vk::kDigit0 + (qt_key - Qt::Key_0);
  if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) return vk::kLetterA + (qt_key - Qt::Key_A);
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F24) return vk::kF1 + (qt_key - Qt::Key_F1);
  switch (qt_key) {
    case Qt::Key_Space: return vk::kSpace;
    case Qt::Key_Shift: return vk::kShift;
    case Qt::Key_Control: return vk::kControl;
    case Qt::Key_Alt: return vk::kAlt;
    case Qt::Key_Backspace: return vk::kBackspace;
    case Qt::Key_Tab: return vk::kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vk::kEnter;
    case Qt::Key_Escape: return vk::kEscape;
    case Qt::Key_Asterisk: return keypad ? vk::kMultiply : 0;
    case Qt::Key_Plus: return keypad ? vk::kAdd : vk::kPlus;
    case Qt::Key_Minus: return keypad ? vk::kSubtract : vk::kMinus;
    case Qt::Key_Period: return keypad ? vk::kDecimal : vk::kPeriod;
    case Qt::Key_Comma: return vk::kComma;
    case Qt::Key_Slash: return keypad ? vk::kDivide : vk::kSlash;
    default: return navigation_code(qt_key);
  }
}
