// Which Qt platform plugin the game asks for, decided from the environment
// and the command line alone.
#pragma once

#include <functional>
#include <span>
#include <string>

// In a Wayland session that also offers an X server (XWayland) the game runs
// on X, where its windows sit where the game puts them; a native Wayland
// window goes wherever the compositor likes. "xcb;wayland" still falls back
// to Wayland when the X server cannot be reached. A user's own choice
// (QT_QPA_PLATFORM, -platform) always wins. Empty: leave the choice to Qt.
std::string choose_qt_platform(const std::function<const char*(const char*)>& environment,
                               std::span<char* const> arguments);
