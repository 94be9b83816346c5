#include "tests/support/scripted_platform.h"

#include <algorithm>
#include <cmath>

namespace {

using std::chrono::microseconds;

TickSchedule::Time on_schedule(std::int64_t micros) { return microseconds(micros); }
std::int64_t micros_of(TickSchedule::Time time) {
  return std::chrono::duration_cast<microseconds>(time).count();
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
  TickSchedule::Time due{};
  Timer* timer = ticks_.earliest(on_schedule(limit), &due);
  const std::int64_t when = timer ? micros_of(due) : limit + 1;
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
  ticks_.take(*timer, on_schedule(now_));
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

void ScriptedPlatform::do_events(std::chrono::microseconds max_wait) {
  bool ran = false;
  while (run_next_event(now_)) ran = true;
  if (ran) return;
  // Nothing pending: wait for the next event, but at most `max_wait`.
  std::int64_t next = now_ + max_wait.count();
  if (const auto due = ticks_.next_due()) next = std::min(next, micros_of(*due));
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

void ScriptedPlatform::timer_changed(Timer& timer) { ticks_.changed(timer, on_schedule(now_)); }

void ScriptedPlatform::forget(Form& form) {
  ticks_.forget(form);
  std::erase_if(inputs_, [&](const auto& entry) { return entry.second.form == &form; });
  shown_.erase(&form);
  show_counts_.erase(&form);
}
