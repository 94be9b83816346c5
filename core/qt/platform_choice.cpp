#include "core/qt/platform_choice.h"

#include <cstdlib>
#include <string_view>

std::string choose_qt_platform(const std::function<const char*(const char*)>& environment,
                               std::span<char* const> arguments) {
  const auto set = [&](const char* name) {
    const char* value = environment(name);
    return value && *value;
  };
  if (set("QT_QPA_PLATFORM")) return {};
  for (const char* argument : arguments) {
    const std::string_view option = argument ? argument : "";
    if (option == "-platform" || option == "--platform" || option.starts_with("-platform=") ||
        option.starts_with("--platform="))
      return {};
  }
  const char* session = environment("XDG_SESSION_TYPE");
  const bool wayland = set("WAYLAND_DISPLAY") || (session && std::string_view(session) == "wayland");
  return wayland && set("DISPLAY") ? "xcb;wayland" : "";
}

void set_qt_environment(std::span<char* const> arguments) {
  const std::string platform = choose_qt_platform(std::getenv, arguments);
  if (!platform.empty()) setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
  setenv("QT_XCB_NO_MITSHM", "1", 0);
  setenv("QT_NO_GLIB", "1", 0);
}
