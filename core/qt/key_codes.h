// Qt key events to the classic virtual-key codes that Form_KeyDown takes.
#pragma once

#include <Qt>

// 0 for a key that has no code the game could see.
int virtual_key_code(int qt_key, Qt::KeyboardModifiers modifiers);
