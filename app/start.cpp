#include "app/start.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QResource>

#include "core/qt/platform_choice.h"
#include "core/qt/qt_platform.h"
#include "game/mod_variable.h"
#include "pitch_screen/diamond.h"

namespace {

// The game's icon at every size a desktop asks of a window, embedded in the
// program as raw ARGB pixels: no image decoder, and no image format plugins
// loaded to find one, at start-up.
QIcon game_icon() {
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48, 64, 128}) {
    const QByteArray pixels = QResource(QStringLiteral(":/icons/%1.argb").arg(size)).uncompressedData();
    if (pixels.size() != qsizetype(size) * size * 4) continue;
    const QImage image(reinterpret_cast<const uchar*>(pixels.constData()), size, size, QImage::Format_ARGB32);
    icon.addPixmap(QPixmap::fromImage(image));  // copies the pixels
  }
  return icon;
}

}  // namespace

int run_game(int argc, char** argv, QObject* event_filter) {
  set_qt_environment({argv, static_cast<std::size_t>(argc)});
  QApplication app(argc, argv);
  if (event_filter) app.installEventFilter(event_filter);
  // The application's identity ties its windows to its desktop entry: the
  // X window class (StartupWMClass) and the Wayland app id (the entry's name).
  QApplication::setApplicationName(QStringLiteral("Diamond"));
  QGuiApplication::setDesktopFileName(QStringLiteral(DIAMOND_APP_ID));
  QApplication::setWindowIcon(game_icon());
  QtPlatform platform;
  return platform.run(Diamond());
}
