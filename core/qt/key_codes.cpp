#include "core/qt/key_codes.h"

#include "core/forms/keys.h"

namespace {

// Keypad keys with Num Lock off arrive as navigation keys and keep their
// navigation codes, so only Num Lock digits reach the keypad's codes.
// XK_KP_0..XK_KP_9: a keymap gives these only with Num Lock on.
constexpr std::uint32_t kKeysymKeypad0 = 0xFFB0, kKeysymKeypad9 = 0xFFB9;

int navigation_code(int qt_key) {
  switch (qt_key) {
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Clear: return 12;
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
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return '0' + (qt_key - Qt::Key_0);
  if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) return 'A' + (qt_key - Qt::Key_A);
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F24) return 112 + (qt_key - Qt::Key_F1);
  switch (qt_key) {
    case Qt::Key_Space: return vk::kSpace;
    case Qt::Key_Shift: return vk::kShift;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Asterisk: return keypad ? 106 : 0;
    case Qt::Key_Plus: return keypad ? 107 : 187;
    case Qt::Key_Minus: return keypad ? 109 : 189;
    case Qt::Key_Period: return keypad ? 110 : 190;
    case Qt::Key_Slash: return keypad ? 111 : 191;
    default: return navigation_code(qt_key);
  }
}
