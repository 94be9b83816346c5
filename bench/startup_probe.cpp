// The game's start-up, as in app/main.cpp, ending at the pitch screen's first
// painted frame: prints the wall-clock time then (ns since the epoch) and the
// peak resident memory, so a runner can time the whole process from launch.
#include <sys/resource.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "core/mod_variable.h"
#include "core/qt/qt_platform.h"
#include "pitch_screen/diamond.h"

namespace {

class FirstPaint final : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen) {
      seen = true;
      // Runs once the paint that is about to happen has been done.
      QTimer::singleShot(0, qApp, [] {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%lld %ld\n", static_cast<long long>(std::chrono::nanoseconds(now).count()),
                    usage.ru_maxrss);
        std::fflush(stdout);
        QApplication::exit(0);
      });
    }
    return false;
  }
  bool seen = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  FirstPaint first_paint;
  app.installEventFilter(&first_paint);
  QtPlatform platform;
  return platform.run(Diamond());
}
