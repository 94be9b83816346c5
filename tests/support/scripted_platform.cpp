#include "tests/support/scripted_platform.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::int64_t kMaxIdleWaitMicros = 1'000;

std::int64_t period_of(int interval_ms) {
  return std::chrono::duration_cast<std::chrono::microseconds>(timer_period(interval_ms)).count();
}

}  // namespace

ScriptedPlatform::ScriptedPlatform(double start_seconds_since_midnight, std::uint64_t seed)
    : start_seconds_(start_seconds_since_midnight), random_(seed), seed_(seed) {
  runtime::install(this);
}

ScriptedPlatform::~ScriptedPlatform() { runtime::install(nullptr); }

void ScriptedPlatform::advance_micros(std::int64_t micros) {
  const std::int64_t target = now_ + micros;
  while (run_next_event(target)) {
  }
  now_ = std::max(now_, target);
}

bool ScriptedPlatform::run_next_event(std::int64_t limit) {
  Timer* timer = nullptr;
  std::int64_t when = limit + 1;
  std::uint64_t order = 0;
  for (const auto& [t, s] : timers_) {
    if (s.due < when || (s.due == when && timer && s.order < order)) {
      timer = t;
      when = s.due;
      order = s.order;
    }
  }
  // Input waits behind a modal box, as a real one blocks the other windows.
  const bool input_due = modal_depth_ == 0 && !inputs_.empty() && inputs_.begin()->first <= limit;
  if (input_due && inputs_.begin()->first < when) {
    auto node = inputs_.extract(inputs_.begin());
    now_ = std::max(now_, node.key());
    node.mapped().deliver();
    return true;
  }
  if (!timer) return false;
  now_ = std::max(now_, when);
  // Reschedule before the tick: missed ticks merge into this one.
  Scheduled& s = timers_.at(timer);
  while (s.due <= now_) s.due += s.period;
  timer->tick();
  return true;
}

void ScriptedPlatform::queue_key(std::int64_t at_micros, Form& form, int code) {
  inputs_.emplace(at_micros, Input{&form, [&form, code] { form.key_down(code); }});
}

void ScriptedPlatform::queue_click(std::int64_t at_micros, Form& form, float x_twips, float y_twips) {
  inputs_.emplace(at_micros, Input{&form, [&form, x_twips, y_twips] { form.click_at(x_twips, y_twips); }});
}

int ScriptedPlatform::times_shown(const Form& form) const {
  const auto it = show_counts_.find(&form);
  return it == show_counts_.end() ? 0 : it->second;
}

float ScriptedPlatform::seconds_since_midnight() {
  return static_cast<float>(std::fmod(start_seconds_ + static_cast<double>(now_) / 1e6, 86400.0));
}

void ScriptedPlatform::do_events() {
  bool ran = false;
  while (run_next_event(now_)) ran = true;
  if (ran) return;
  // Nothing pending: wait for the next event, but at most a millisecond.
  std::int64_t next = now_ + kMaxIdleWaitMicros;
  for (const auto& [t, s] : timers_) next = std::min(next, s.due);
  if (modal_depth_ == 0 && !inputs_.empty()) next = std::min(next, inputs_.begin()->first);
  now_ = std::max(now_, next);
}

void ScriptedPlatform::run_pending_events() {
  while (run_next_event(now_)) {
  }
}

void ScriptedPlatform::reseed_random() {
  ++reseeds_;
  random_.reseed(seed_ ^
                 (static_cast<std::uint64_t>(now_) * 2654435761u + static_cast<std::uint64_t>(reseeds_)));
}

float ScriptedPlatform::next_random() {
  if (forced_.empty()) return random_.next();
  const float draw = forced_.front();
  forced_.pop_front();
  return draw;
}

void ScriptedPlatform::message_box(std::string_view prompt, std::string_view title) {
  boxes.push_back({std::string(prompt), std::string(title)});
  ++modal_depth_;
  if (while_box_open) while_box_open();
  --modal_depth_;
}

void ScriptedPlatform::show_form(Form& form) {
  shown_.insert(&form);
  ++show_counts_[&form];
}

void ScriptedPlatform::hide_form(Form& form) { shown_.erase(&form); }

void ScriptedPlatform::timer_changed(Timer& timer) {
  if (!timer.running()) {
    timers_.erase(&timer);
    return;
  }
  const std::int64_t period = period_of(timer.Interval);
  const auto it = timers_.find(&timer);
  if (it == timers_.end() || it->second.period != period)
    timers_[&timer] = {now_ + period, period, timers_started_++};
}

void ScriptedPlatform::forget(Form& form) {
  std::erase_if(timers_, [&](const auto& entry) { return &entry.first->form() == &form; });
  std::erase_if(inputs_, [&](const auto& entry) { return entry.second.form == &form; });
  shown_.erase(&form);
  show_counts_.erase(&form);
}
