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

// Sets what Qt reads from the environment as it starts: the platform chosen
// above, and two settings for a game that repaints a few pixels 64 times a
// second. Without the shared-memory image, a repaint need not wait for the
// X server to finish with the last one (a round trip and a hand-over between
// Qt's threads on every tick); a dirty rectangle is a few hundred bytes on
// the wire. Qt's own event loop polls less than GLib's for the same ticks.
// Together they take a hit's flight from five context switches a tick to
// under two. A variable the user has set is left as it is.
void set_qt_environment(std::span<char* const> arguments);
