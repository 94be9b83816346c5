#include "core/event_loop.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/forms/draw.h"
#include "core/forms/form.h"

int LoopPlatform::run(Form& main_form) {
  main_form_ = &main_form;
  main_form.Show();
  while (!closing_)
    if (!run_pending()) idle(std::nullopt);
  return 0;
}

void LoopPlatform::quit() {
  closing_ = true;
  ticks_ = TickSchedule();
  for (auto& [form, w] : windows_)
    if (w.shown) {
      w.shown = false;
      hide_window(w.id);
    }
}

float LoopPlatform::seconds_since_midnight() {
  const double clock = std::chrono::duration<double>(now()).count();
  if (!midnight_) midnight_ = clock - wall_seconds_since_midnight();
  return static_cast<float>(std::fmod(clock - *midnight_, 86400.0));
}

// Runs what is pending; with nothing pending, waits for input at most
// `max_wait`, and no later than the next tick.
void LoopPlatform::do_events(std::chrono::microseconds max_wait) {
  if (closing_ || run_pending()) return;
  idle(now() + max_wait);
}

// Input goes on being dispatched while the box is open (ticks keep running;
// the platform lets no input past the box) until the user dismisses it.
void LoopPlatform::message_box(std::string_view prompt, std::string_view title) {
  if (closing_) return;
  const int box = ++last_box_;
  const int outer = std::exchange(open_box_, box);
  open_box(box, prompt, title);
  while (!closing_ && std::erase(closed_boxes_, box) == 0)
    if (!run_pending()) idle(std::nullopt);
  open_box_ = outer;
}

void LoopPlatform::show_form(Form& form) {
  if (closing_) return;
  Window& w = window(form);
  const bool first = !w.shown;
  if (first) {
    w.shown = true;
    w.dirty = {client_pixels(form)};
  }
  show_window(w.id, form, first);
}

void LoopPlatform::hide_form(Form& form) {
  Window& w = window(form);
  if (!w.shown) return;
  w.shown = false;
  w.dirty.clear();
  hide_window(w.id);
}

void LoopPlatform::timer_changed(Timer& timer) {
  if (!closing_) ticks_.changed(timer, now());
}

void LoopPlatform::invalidate(Form& form, const Bounds& twips) {
  Window& w = window(form);
  if (!w.shown) return;
  PixelRect rect = pixel_bounds(twips);
  // Overlapping rectangles merge, so a moving ball paints one patch.
  for (auto it = w.dirty.begin(); it != w.dirty.end();) {
    if (overlaps(*it, rect)) {
      rect = united(*it, rect);
      it = w.dirty.erase(it);
    } else {
      ++it;
    }
  }
  w.dirty.push_back(rect);
}

void LoopPlatform::forget(Form& form) {
  ticks_.forget(form);
  windows_.erase(&form);
}

bool LoopPlatform::run_pending() {
  bool ran = ticks_.run_due(now());
  Event event;
  while (!closing_ && take_event(event)) {
    dispatch(event);
    ran = true;
  }
  return ran;
}

void LoopPlatform::enter_native_loop() {
  paint_all();
  ++native_loops_;
}

void LoopPlatform::run_ticks() {
  if (ticks_.run_due(now())) paint_all();
}

bool LoopPlatform::painted() const {
  return std::all_of(windows_.begin(), windows_.end(),
                     [](const auto& entry) { return !entry.second.shown || entry.second.dirty.empty(); });
}

void LoopPlatform::paint_all() {
  for (auto& [form, w] : windows_) {
    if (!w.shown || w.dirty.empty()) continue;
    const std::vector<PixelRect> dirty = std::move(w.dirty);
    w.dirty.clear();
    for (const PixelRect& rect : dirty) paint(w.id, *form, rect);
  }
}

Form* LoopPlatform::form_of(int window) const {
  for (const auto& [form, w] : windows_)
    if (w.id == window && w.shown) return form;
  return nullptr;
}

int LoopPlatform::window_of(const Form& form) const {
  const auto it = windows_.find(const_cast<Form*>(&form));
  return it == windows_.end() ? 0 : it->second.id;
}

void LoopPlatform::dispatch(const Event& event) {
  switch (event.kind) {
    case Event::Key:
      if (main_form_) main_form_->key_down(event.code);
      break;
    case Event::Click:
      if (Form* form = form_of(event.window)) form->click_at(event.x * kTwipsPerPixel, event.y * kTwipsPerPixel);
      break;
    case Event::Close:
      if (Form* form = form_of(event.window)) {
        if (form == main_form_)
          quit();
        else
          form->close_request();
      }
      break;
    case Event::BoxClosed: box_closed(event.code); break;
    case Event::RepaintAll:
      for (auto& [form, w] : windows_)
        if (w.shown) w.dirty = {client_pixels(*form)};
      break;
    case Event::Handled: break;
  }
}

// Paints what changed first: a tick and its drawing take one wake-up of the
// program, and the platform shows the windows as they are.
void LoopPlatform::idle(std::optional<Time> limit) {
  paint_all();
  std::optional<Time> deadline = ticks_.next_due();
  if (limit) deadline = deadline ? std::min(*deadline, *limit) : *limit;
  wait(deadline);
}

LoopPlatform::Window& LoopPlatform::window(Form& form) {
  Window& w = windows_[&form];
  if (w.id == 0) w.id = ++last_window_;
  return w;
}
