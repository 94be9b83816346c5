// A periodic timer with sub-millisecond periods (15.625 ms for 64 ticks a
// second), from a Linux timerfd read through a socket notifier. Expirations
// that pile up while the event loop is busy merge into one tick.
#pragma once

#include <QObject>
#include <chrono>
#include <functional>
#include <memory>

class QSocketNotifier;

class TickTimer final : public QObject {
 public:
  explicit TickTimer(std::function<void()> on_tick, QObject* parent = nullptr);
  ~TickTimer() override;

  void start(std::chrono::nanoseconds period);
  void stop();
  bool active() const { return period_.count() > 0; }
  std::chrono::nanoseconds period() const { return period_; }

 private:
  void expired();

  int fd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::function<void()> on_tick_;
  std::chrono::nanoseconds period_{0};
};
