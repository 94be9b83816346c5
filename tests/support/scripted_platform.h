// The platform the tests play on: a virtual clock that only moves when the
// test (or a wait inside the game) moves it, timers that fire at their due
// virtual times, input queued for given times, a recorded message box and a
// random source whose next draws a test can force.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/forms/form.h"
#include "core/random.h"
#include "core/runtime.h"
#include "core/tick_schedule.h"

class ScriptedPlatform final : public Platform {
 public:
  static constexpr std::int64_t kTickMicros = kTickPeriod.count() / 1000;  // 64 ticks a second

  // Installs itself for the process and starts the clock at the given time of
  // day; uninstalls itself when destroyed.
  explicit ScriptedPlatform(double start_seconds_since_midnight = 12 * 3600.0, std::uint64_t seed = 1);
  ~ScriptedPlatform() override;

  // Virtual time. advance runs, in time order, every event that falls due.
  std::int64_t now_micros() const { return now_; }
  void advance_micros(std::int64_t micros);
  void advance_ticks(int ticks) { advance_micros(ticks * kTickMicros); }

  // Input arrives now (between events), or at a later virtual time.
  void key(Form& form, int code) { form.key_down(code); }
  void click(Form& form, float x_twips, float y_twips) { form.click_at(x_twips, y_twips); }
  void queue_key(std::int64_t at_micros, Form& form, int code);
  void queue_click(std::int64_t at_micros, Form& form, float x_twips, float y_twips);
  // Any action at a later virtual time, run as input is (not behind a box).
  void at(std::int64_t at_micros, std::function<void()> action) {
    inputs_.emplace(at_micros, Input{nullptr, std::move(action)});
  }

  // The next draws of rtcRandomNext, before the generator's own.
  void force_random(std::initializer_list<float> draws) { forced_.insert(forced_.end(), draws); }
  int reseeds() const { return reseeds_; }

  struct Box {
    std::string prompt, title;
  };
  std::vector<Box> boxes;
  // Runs while a message box is open; it may advance time (ticks run, input
  // waits as it would behind a modal box). Returning dismisses the box.
  std::function<void()> while_box_open;
  bool box_open() const { return modal_depth_ > 0; }

  // The program is busy this long: the clock moves on and nothing runs.
  void stall_micros(std::int64_t micros) { now_ += micros; }

  // The user closed the main window: waits return at once from then on.
  void close_main_window() { closing_ = true; }

  bool shown(const Form& form) const { return shown_.contains(&form); }
  int times_shown(const Form& form) const;
  bool ticking(const Timer& timer) const { return ticks_.scheduled(timer); }

  // Platform
  float seconds_since_midnight() override;
  void do_events(std::chrono::microseconds max_wait) override;
  void run_pending_events() override;
  void reseed_random() override;
  float next_random() override;
  void message_box(std::string_view prompt, std::string_view title) override;
  void show_form(Form& form) override;
  void hide_form(Form& form) override;
  void timer_changed(Timer& timer) override;
  void invalidate(Form&, const Bounds&) override {}
  void forget(Form& form) override;
  bool closing() const override { return closing_; }

 private:
  struct Input {
    const Form* form;  // dropped with the form; none for a test's own action
    std::function<void()> deliver;
  };

  // Runs the earliest event due at or before `limit`; false when none is.
  bool run_next_event(std::int64_t limit);

  double start_seconds_;
  std::int64_t now_ = 0;
  TickSchedule ticks_;
  std::multimap<std::int64_t, Input> inputs_;
  std::deque<float> forced_;
  RandomSource random_;
  std::uint64_t seed_;
  int reseeds_ = 0;
  int modal_depth_ = 0;
  bool closing_ = false;
  std::set<const Form*> shown_;
  std::map<const Form*, int> show_counts_;
};
