// Starts the form runtime on Qt and shows the pitch screen.
#include <QApplication>

#include "core/mod_variable.h"
#include "core/qt/qt_platform.h"
#include "pitch_screen/diamond.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QtPlatform platform;
  return platform.run(Diamond());
}
