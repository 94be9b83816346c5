#include "core/qt/tick_timer.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cstdint>

namespace {

timespec to_timespec(std::chrono::nanoseconds ns) {
  return {static_cast<time_t>(ns.count() / 1'000'000'000), static_cast<long>(ns.count() % 1'000'000'000)};
}

}  // namespace

TickTimer::TickTimer(std::function<void()> on_tick, QObject* parent)
    : QObject(parent), on_tick_(std::move(on_tick)) {
  fd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
  notifier_->setEnabled(false);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { expired(); });
}

TickTimer::~TickTimer() {
  notifier_.reset();
  if (fd_ >= 0) ::close(fd_);
}

void TickTimer::start(std::chrono::nanoseconds period) {
  period_ = period;
  const itimerspec timing{to_timespec(period), to_timespec(period)};
  timerfd_settime(fd_, 0, &timing, nullptr);
  notifier_->setEnabled(true);
}

void TickTimer::stop() {
  period_ = std::chrono::nanoseconds{0};
  const itimerspec off{};
  timerfd_settime(fd_, 0, &off, nullptr);
  notifier_->setEnabled(false);
}

void TickTimer::expired() {
  std::uint64_t expirations = 0;
  if (::read(fd_, &expirations, sizeof expirations) != sizeof expirations || expirations == 0) return;
  if (active()) on_tick_();
}
