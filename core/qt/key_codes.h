// Qt key events to the classic virtual-key codes that Form_KeyDown takes.
#pragma once

#include <Qt>
#include <cstdint>

// 0 for a key that has no code the game could see. `native_keysym` is the
// event's native key symbol (X and Wayland keymaps), 0 when there is none.
int virtual_key_code(int qt_key, Qt::KeyboardModifiers modifiers, std::uint32_t native_keysym = 0);
