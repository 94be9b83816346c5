// Ends a start-up probe at its first painted frame: prints the wall-clock
// time then (ns since the epoch) and the peak resident memory (KB), so that a
// runner can time the whole process from launch, then quits.
#pragma once

#include <sys/resource.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdio>

class FirstPaint final : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
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

 private:
  bool seen_ = false;
};
