// The form runtime's services. Game code calls the rtc* operations and the
// Form members; all of them delegate to one installed Platform: Qt's on the
// Linux desktop, and core's own loop (core/event_loop.h) under the page,
// Windows and the tests' virtual clock.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "core/integer.h"

class Form;
class Timer;
struct Bounds;

// A platform is the process's from when it is made until it is destroyed.
class Platform {
 public:
  Platform();
  virtual ~Platform();
  Platform(const Platform&) = delete;
  Platform& operator=(const Platform&) = delete;

  // rtcGetTimer's clock: by default the local time of day.
  virtual float seconds_since_midnight();
  // Runs every pending event (ticks, keys, clicks, painting) in the caller;
  // when nothing is pending it may wait up to `max_wait` for one, and returns
  // as soon as one is due. A platform that input cannot wake waits at most
  // kMaxIdleWait.
  virtual void do_events(std::chrono::microseconds max_wait) = 0;
  // Runs what is pending, without waiting when nothing is.
  virtual void run_pending_events() = 0;
  // A seed for the game's generator, by default from the steady clock:
  // rtcRandomize reseeds with it. The runtime owns the generator itself.
  virtual std::uint64_t clock_seed();
  // The next draw, uniform in [0, 1): the runtime's generator's. A test
  // platform may put draws of its own before it.
  virtual float next_random();
  // Modal: returns when the user has dismissed the box.
  virtual void message_box(std::string_view prompt, std::string_view title) = 0;

  virtual void show_form(Form& form) = 0;  // show, or raise when already shown
  virtual void hide_form(Form& form) = 0;
  virtual void timer_changed(Timer& timer) = 0;  // started, stopped or new interval
  virtual void invalidate(Form& form, const Bounds& twips) = 0;
  // The form object is going away (only when a test starts a new game).
  virtual void forget(Form& /*form*/) {}

  // True once the main window is closing: waits return at once.
  virtual bool closing() const { return false; }
};

// What rtcDoEvents may wait for an event when nothing is pending: short
// enough that a wait that reads the clock after it ends on time.
inline constexpr std::chrono::milliseconds kMaxIdleWait{1};

// The classic desktop timer granularity the game's speeds were tuned to: a
// timer's period is its Interval rounded up to whole ticks of 64 a second.
inline constexpr std::chrono::nanoseconds kTickPeriod{15'625'000};
constexpr std::chrono::nanoseconds timer_period(int interval_ms) {
  const std::chrono::nanoseconds wanted = std::chrono::milliseconds(interval_ms);
  const auto ticks = (wanted + kTickPeriod - std::chrono::nanoseconds(1)) / kTickPeriod;
  return (ticks < 1 ? 1 : ticks) * kTickPeriod;
}

namespace runtime {
// The platform made last and not yet destroyed; with none, a headless one on
// which forms load and run but nothing is shown.
Platform& platform();
// Seeds the game's generator; left unseeded, its first draw seeds it from
// the platform's clock_seed.
void seed(std::uint64_t seed);
void reseed(std::uint64_t seed);
// The generator's last seed and the draws taken since.
std::pair<std::uint64_t, std::uint64_t> generator_state();
// True while a box of rtcMsgBox is open: a person sees it over the game.
bool message_box_open();
// The wall clock's local time of day, in seconds.
float local_seconds_since_midnight();
}  // namespace runtime

float rtcGetTimer();
void rtcDoEvents();
void rtcRandomize();
float rtcRandomNext();
// One draw of rtcRandomNext, widened to double. The game's draws (k * r + c,
// rounded to an Integer) are evaluated in double: with 24 random bits and
// small k and c that is exact, so a rounding boundary falls where the rules
// put it (r < 0.5 gives 1 for r + 1), which single precision would move.
inline double random_draw() { return rtcRandomNext(); }
// The box of rtcMsgBox is at least this wide, so that a window manager shows
// its whole title (a system's own box sizes itself).
inline constexpr int kBoxMinWidthPixels = 200;
// Buttons 0 is a single OK button, the only kind the game uses.
Integer rtcMsgBox(std::string_view prompt, int buttons, std::string_view title);
