#include "tests/support/scripted_platform.h"

#include <algorithm>
#include <cmath>

ScriptedPlatform::ScriptedPlatform(double start_seconds_since_midnight, std::uint64_t seed)
    : start_seconds_(start_seconds_since_midnight), seed_(seed) {
  runtime::seed(seed);
}

// Moves the clock to each next tick or input in turn, up to the target; at
// a tie the tick runs first. A handler busy past the target leaves what fell
// due meanwhile to the next advance.
void ScriptedPlatform::advance_micros(std::int64_t micros) {
  const std::int64_t target = now_ + micros;
  for (;;) {
    while (now_ <= target && run_pending()) {
    }
    std::optional<std::int64_t> next = next_input();
    if (const auto due = next_tick()) {
      const auto tick = std::chrono::duration_cast<std::chrono::microseconds>(*due).count();
      next = next ? std::min(*next, tick) : tick;
    }
    if (!next || *next > target) break;
    now_ = std::max(now_, *next);
  }
  now_ = std::max(now_, target);
}

std::optional<std::int64_t> ScriptedPlatform::next_input() const {
  // Input waits behind a modal box, as a real one blocks the other windows.
  if (modal_depth_ > 0 || inputs_.empty()) return std::nullopt;
  return inputs_.begin()->first;
}

bool ScriptedPlatform::take_event(Event& event) {
  const auto next = next_input();
  if (!next || *next > now_) return false;
  auto node = inputs_.extract(inputs_.begin());
  node.mapped().deliver();
  event = {};
  return true;
}

void ScriptedPlatform::wait(std::optional<Time> deadline) {
  std::optional<std::int64_t> next = next_input();
  if (deadline) {
    const auto until = std::chrono::duration_cast<std::chrono::microseconds>(*deadline).count();
    next = next ? std::min(*next, until) : until;
  }
  if (next) now_ = std::max(now_, *next);
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

std::uint64_t ScriptedPlatform::clock_seed() {
  ++reseeds_;
  return seed_ ^ (static_cast<std::uint64_t>(now_) * 2654435761u + static_cast<std::uint64_t>(reseeds_));
}

float ScriptedPlatform::next_random() {
  if (forced_.empty()) return LoopPlatform::next_random();
  const float draw = forced_.front();
  forced_.pop_front();
  return draw;
}

void ScriptedPlatform::open_box(int box, std::string_view prompt, std::string_view title) {
  boxes.push_back({std::string(prompt), std::string(title)});
  enter_native_loop();
  ++modal_depth_;
  if (while_box_open) while_box_open();
  --modal_depth_;
  leave_native_loop();
  box_closed(box);
}

void ScriptedPlatform::show_window(int window, Form& form, bool) {
  windows_[window] = &form;
  shown_.insert(&form);
  ++show_counts_[&form];
}

void ScriptedPlatform::hide_window(int window) { shown_.erase(windows_[window]); }

void ScriptedPlatform::forget(Form& form) {
  LoopPlatform::forget(form);
  std::erase_if(inputs_, [&](const auto& entry) { return entry.second.form == &form; });
  std::erase_if(windows_, [&](const auto& entry) { return entry.second == &form; });
  shown_.erase(&form);
  show_counts_.erase(&form);
}
