// The deadline schedule of the running timers, for every platform on core's
// loop (the page, Windows, the tests' virtual clock). A timer's ticks fall
// due one period apart from when it started; ticks that fall due while the
// program is busy merge into one, never a burst; a timer due together with
// another ticks in the order the two started.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>

class Form;
class Timer;

class TickSchedule {
 public:
  using Time = std::chrono::nanoseconds;  // on the platform's steady clock

  // Starts, stops or restarts (with a new period) the timer as it now is;
  // a running timer whose period is unchanged keeps its deadline.
  void changed(Timer& timer, Time now);
  void forget(const Form& form);

  // The earliest timer due at or before `limit`; none if none is.
  Timer* earliest(Time limit) const;
  // Moves the timer's deadline past `now`, before its tick runs: the ticks
  // it missed merge into this one.
  void take(Timer& timer, Time now);
  // Runs every timer due at `now`, each once; true if any ran. A tick may
  // stop or start timers, or wait inside itself.
  bool run_due(Time now);
  std::optional<Time> next_due() const;
  bool scheduled(const Timer& timer) const { return slots_.contains(const_cast<Timer*>(&timer)); }

 private:
  struct Slot {
    Time due;
    Time period;
    std::uint64_t order;
  };
  std::map<Timer*, Slot> slots_;
  std::uint64_t started_ = 0;
};
