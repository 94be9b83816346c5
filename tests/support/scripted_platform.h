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

#include "core/event_loop.h"
#include "core/forms/form.h"

class ScriptedPlatform final : public LoopPlatform {
 public:
  static constexpr std::int64_t kTickMicros = kTickPeriod.count() / 1000;  // 64 ticks a second

  // Starts the clock at the given time of day, the game's generator at the
  // given seed.
  explicit ScriptedPlatform(double start_seconds_since_midnight = 12 * 3600.0, std::uint64_t seed = 1);

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
  // Nothing the game changed is left unpainted.
  bool screen_up_to_date() const { return painted(); }

  // The program is busy this long: the clock moves on and nothing runs.
  void stall_micros(std::int64_t micros) { now_ += micros; }

  // The user closed the main window: waits return at once from then on.
  void close_main_window() { closing_ = true; }

  bool shown(const Form& form) const { return shown_.contains(&form); }
  int times_shown(const Form& form) const;

  // Platform
  std::uint64_t clock_seed() override;
  float next_random() override;
  void forget(Form& form) override;

 protected:
  Time now() override { return std::chrono::microseconds(now_); }
  double wall_seconds_since_midnight() override { return start_seconds_ + static_cast<double>(now_) / 1e6; }
  bool take_event(Event& event) override;
  void wait(std::optional<Time> deadline) override;
  void show_window(int window, Form& form, bool first) override;
  void hide_window(int window) override;
  void paint(int, const Form&, const PixelRect&) override {}
  // Recorded, and open while while_box_open runs, as a system's modal box.
  void open_box(int box, std::string_view prompt, std::string_view title) override;

 private:
  struct Input {
    const Form* form;  // dropped with the form; none for a test's own action
    std::function<void()> deliver;
  };

  // When the next input is due, if one can be delivered.
  std::optional<std::int64_t> next_input() const;

  double start_seconds_;
  std::int64_t now_ = 0;
  std::multimap<std::int64_t, Input> inputs_;
  std::deque<float> forced_;
  std::uint64_t seed_;
  int reseeds_ = 0;
  int modal_depth_ = 0;
  std::map<int, const Form*> windows_;
  std::set<const Form*> shown_;
  std::map<const Form*, int> show_counts_;
};
