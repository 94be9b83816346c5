// The program's own event loop, for every platform that runs one: the
// browser page, Windows and the tests' virtual clock. It takes input off the
// platform's queue, runs due ticks on the one deadline schedule, paints what
// changed, and otherwise asks the platform only to wait until a deadline or
// an input. A handler may wait inside itself (the swing, the box): the same
// loop then runs nested, and a tick is never re-entered because the schedule
// moves its deadline before it runs.
//
// What a platform on this loop implements: its clock, its input queue and
// the wait, its windows (shown, hidden, painted through a Canvas) and the
// box. Whatever the platform, the screen shows the game as it is whenever
// the loop waits and before any modal loop of the system's own begins.
#pragma once

#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "core/forms/pixels.h"
#include "core/runtime.h"
#include "core/tick_schedule.h"

class LoopPlatform : public Platform {
 public:
  using Time = TickSchedule::Time;

  // One input, in the game's terms.
  struct Event {
    enum Kind {
      Key,         // code: the game's key code, to the main form
      Click,       // window, x and y: client pixels
      Close,       // window: the user asked to close it
      BoxClosed,   // code: the box
      RepaintAll,  // every shown window, in full
      Handled      // the platform delivered the input itself
    };
    Kind kind = Handled;
    int window = 0;
    int code = 0;
    float x = 0, y = 0;
  };

  // Shows the main form and runs events until quit(); returns the exit code.
  int run(Form& main_form);
  // Ends the game from any state: waits return at once, no timer ticks
  // again, every window hides, and run() returns 0 once the handlers unwind.
  void quit();

  // The loop's own clock, set to the time of day once: a wait inside a
  // handler and the ticks read one clock.
  float seconds_since_midnight() override;
  void do_events(std::chrono::microseconds max_wait) override;
  void run_pending_events() override { run_pending(); }
  // The box, on every platform of this loop: what the game changed is on the
  // screen before it opens, and ticks go on while it is open.
  void message_box(std::string_view prompt, std::string_view title) final;
  void show_form(Form& form) override;
  void hide_form(Form& form) override;
  void timer_changed(Timer& timer) override;
  void invalidate(Form& form, const Bounds& twips) override;
  void forget(Form& form) override;
  bool closing() const override { return closing_; }

  bool ticking(const Timer& timer) const { return ticks_.scheduled(timer); }
  // The box open innermost, 0 when none is.
  int innermost_box() const { return open_box_; }

 protected:
  // The platform's side.
  virtual Time now() = 0;  // the steady clock
  // The time of day that the loop's clock is set to when first read.
  virtual double wall_seconds_since_midnight() { return runtime::local_seconds_since_midnight(); }
  // The oldest input queued, if any.
  virtual bool take_event(Event& event) = 0;
  // Returns when an input is queued, at once if one is, or at `deadline`;
  // with none, only for an input.
  virtual void wait(std::optional<Time> deadline) = 0;
  // Shows the window (at every Show: `first` when it was hidden), or hides it.
  virtual void show_window(int window, Form& form, bool first) = 0;
  virtual void hide_window(int window) = 0;
  // Draws `dirty` (client pixels) of a shown window, through draw_form.
  virtual void paint(int window, const Form& form, const PixelRect& dirty) = 0;
  // Opens the modal box. Its closing comes back as a BoxClosed event, or
  // through box_closed when the system's own box returns only once closed.
  virtual void open_box(int box, std::string_view prompt, std::string_view title) = 0;
  void box_closed(int box) { closed_boxes_.push_back(box); }

  // A modal loop of the system's own (its message box, a window drag) keeps
  // this loop from running: the platform brackets it with these. Entering
  // paints everything that changed, so the windows under it show the game
  // as it is; inside, the platform calls run_ticks when next_tick falls due.
  void enter_native_loop();
  void leave_native_loop() { --native_loops_; }
  bool in_native_loop() const { return native_loops_ > 0; }
  // Runs the due ticks and paints what they changed.
  void run_ticks();

  // Runs the due ticks, then the queued input; true if anything ran.
  bool run_pending();
  // Paints every window's changes.
  void paint_all();
  // True when nothing that changed is left unpainted.
  bool painted() const;
  std::optional<Time> next_tick() const { return ticks_.next_due(); }
  Form* form_of(int window) const;
  int window_of(const Form& form) const;
  // The form run() shows: closing its window ends the game.
  bool is_main(const Form& form) const { return &form == main_form_; }

  bool closing_ = false;

 private:
  struct Window {
    int id = 0;
    bool shown = false;
    std::vector<PixelRect> dirty;  // client pixels still to paint
  };

  void dispatch(const Event& event);
  // Paints, then waits for input or the next tick, at most until `limit`.
  void idle(std::optional<Time> limit);
  Window& window(Form& form);

  std::map<Form*, Window> windows_;
  TickSchedule ticks_;
  std::vector<int> closed_boxes_;
  int last_window_ = 0;
  int last_box_ = 0;
  int open_box_ = 0;
  int native_loops_ = 0;
  std::optional<double> midnight_;  // when midnight was on the steady clock, in seconds
  Form* main_form_ = nullptr;
};
