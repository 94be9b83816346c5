#include "core/tick_schedule.h"

#include <algorithm>

#include "core/forms/form.h"
#include "core/runtime.h"

void TickSchedule::changed(Timer& timer, Time now) {
  if (!timer.running()) {
    slots_.erase(&timer);
    return;
  }
  const Time period = timer_period(timer.Interval);
  const auto it = slots_.find(&timer);
  if (it == slots_.end() || it->second.period != period) slots_[&timer] = {now + period, period, started_++};
}

void TickSchedule::forget(const Form& form) {
  std::erase_if(slots_, [&](const auto& slot) { return &slot.first->form() == &form; });
}

Timer* TickSchedule::earliest(Time limit) const {
  Timer* found = nullptr;
  const Slot* best = nullptr;
  for (const auto& [timer, slot] : slots_) {
    if (slot.due > limit) continue;
    if (!best || slot.due < best->due || (slot.due == best->due && slot.order < best->order)) {
      found = timer;
      best = &slot;
    }
  }
  return found;
}

void TickSchedule::take(Timer& timer, Time now) {
  Slot& slot = slots_.at(&timer);
  const auto behind = (now - slot.due) / slot.period;
  slot.due += (std::max<decltype(behind)>(behind, 0) + 1) * slot.period;
}

bool TickSchedule::run_due(Time now) {
  bool ran = false;
  while (Timer* timer = earliest(now)) {
    take(*timer, now);
    timer->tick();
    ran = true;
  }
  return ran;
}

std::optional<TickSchedule::Time> TickSchedule::next_due() const {
  std::optional<Time> next;
  for (const auto& [timer, slot] : slots_) next = next ? std::min(*next, slot.due) : slot.due;
  return next;
}
