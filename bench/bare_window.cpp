// The yardstick for the game's start-up: a bare Qt Widgets window of the pitch
// screen's size, centred on the screen and painted once, timed and measured
// as the game's probe is.
#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include "first_paint.h"

namespace {

class BareWindow final : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(0x00, 0x80, 0x00)); }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  FirstPaint first_paint;
  app.installEventFilter(&first_paint);
  BareWindow window;
  window.setFixedSize(402, 350);
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  window.move(screen.center() - window.rect().center());
  window.show();
  return QApplication::exec();
}
