// The game's platform in a browser page, compiled with emscripten: a canvas
// per form, DOM input, a <dialog> for the message box, the page's clock.
//
// The program keeps its own event loop, as on the desktop. The page's
// listeners only queue what happened (core/web/page.js) and wake the
// program; the loop takes events off that queue and dispatches them, also
// inside rtcDoEvents and the message box. With nothing queued or due it
// suspends through Asyncify until an event arrives or the next tick is due,
// so a handler can wait inside itself, as the swing and the box do.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <vector>

#include "core/forms/pixels.h"
#include "core/random.h"
#include "core/runtime.h"
#include "core/tick_schedule.h"

class WebPlatform final : public Platform {
 public:
  // Installs itself for the process.
  WebPlatform();
  ~WebPlatform() override;

  // Shows the main form and runs the page's events for good. (Not marked
  // noreturn: Asyncify unwinds the stack through it on every wait.)
  void run(Form& main_form);

  // Told when a control of the page's own, outside the game's windows, has
  // changed: which control, and its value, as the page numbers them.
  std::function<void(int control, int value)> on_page_choice;

  float seconds_since_midnight() override;
  void do_events(std::chrono::microseconds max_wait) override;
  void run_pending_events() override;
  void reseed_random() override;
  float next_random() override;
  void message_box(std::string_view prompt, std::string_view title) override;
  void show_form(Form& form) override;
  void hide_form(Form& form) override;
  void timer_changed(Timer& timer) override;
  void invalidate(Form& form, const Bounds& twips) override;
  void forget(Form& form) override;

 private:
  struct Window {
    int id = 0;
    bool shown = false;
    std::vector<PixelRect> dirty;  // client pixels still to paint
  };

  // Dispatches every queued page event and every tick that is due; true if
  // anything ran.
  bool run_pending();
  void dispatch(const double* event);
  // Suspends until a page event arrives or `ms` have passed (forever when
  // negative); returns at once if an event is already queued.
  void wait(double ms);
  // Milliseconds until the next tick is due, or -1 with no timer running.
  double until_next_tick() const;
  void paint();
  Window& window(Form& form);
  Form* form_of(int window_id) const;

  std::map<Form*, Window> windows_;
  TickSchedule ticks_;
  std::set<int> closed_boxes_;
  int last_window_id_ = 0;
  int last_box_id_ = 0;
  Form* main_form_ = nullptr;
  RandomSource random_;
};
