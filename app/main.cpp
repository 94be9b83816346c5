// Starts the form runtime on Qt and shows the pitch screen.
#include <QApplication>
#include <QIcon>
#include <cstdlib>

#include "core/mod_variable.h"
#include "core/qt/platform_choice.h"
#include "core/qt/qt_platform.h"
#include "pitch_screen/diamond.h"

namespace {

// The game's icon at every size a desktop asks for, embedded in the program.
QIcon game_icon() {
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string platform_choice = choose_qt_platform(std::getenv, {argv, static_cast<std::size_t>(argc)});
  if (!platform_choice.empty()) qputenv("QT_QPA_PLATFORM", platform_choice.c_str());
  QApplication app(argc, argv);
  // The application's identity ties its windows to its desktop entry: the
  // X window class (StartupWMClass) and the Wayland app id (the entry's name).
  QApplication::setApplicationName(QStringLiteral("Diamond"));
  QGuiApplication::setDesktopFileName(QStringLiteral(DIAMOND_APP_ID));
  QApplication::setWindowIcon(game_icon());
  QtPlatform platform;
  return platform.run(Diamond());
}
