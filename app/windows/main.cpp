// Starts the form runtime on Windows and shows the pitch screen.
#include <windows.h>

#include "core/windows/windows_platform.h"
#include "game/mod_variable.h"
#include "pitch_screen/diamond.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WindowsPlatform platform(instance);
  return platform.run(Diamond());
}
