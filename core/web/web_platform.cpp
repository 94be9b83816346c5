#include "core/web/web_platform.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/forms/form.h"
#include "core/web/page.h"
#include "core/web/web_render.h"

namespace {

// The page's steady clock, on the tick schedule's scale.
TickSchedule::Time schedule_time(double ms) {
  return std::chrono::nanoseconds(static_cast<std::int64_t>(std::llround(ms * 1e6)));
}

// A seed from the page's clocks, for a generator reseeded from the clock.
std::uint64_t clock_seed() {
  return static_cast<std::uint64_t>(page_now() * 1000) ^
         static_cast<std::uint64_t>(page_seconds_since_midnight() * 1e6);
}

}  // namespace

WebPlatform::WebPlatform() : random_(clock_seed()) {
  page_init();
  runtime::install(this);
}

WebPlatform::~WebPlatform() { runtime::install(nullptr); }

void WebPlatform::run(Form& main_form) {
  main_form_ = &main_form;
  main_form.Show();
  for (;;)
    if (!run_pending()) wait(until_next_tick());
}

float WebPlatform::seconds_since_midnight() { return static_cast<float>(page_seconds_since_midnight()); }

// Runs what is pending; with nothing pending, waits a little for the page
// (which delivers input only while the program is suspended), at most until
// the next tick is due.
void WebPlatform::do_events(std::chrono::microseconds max_wait) {
  if (run_pending()) return;
  const double longest = std::chrono::duration<double, std::milli>(max_wait).count();
  const double next = until_next_tick();
  wait(next < 0 ? longest : std::min(next, longest));
}

void WebPlatform::run_pending_events() { run_pending(); }

void WebPlatform::reseed_random() { random_.reseed(clock_seed()); }

float WebPlatform::next_random() { return random_.next(); }

// The page's modal <dialog>: events go on being dispatched while it is open
// (ticks keep running; the page lets no input past the dialog) until the
// user dismisses it.
void WebPlatform::message_box(std::string_view prompt, std::string_view title) {
  const int id = ++last_box_id_;
  page_open_box(id, prompt.data(), static_cast<int>(prompt.size()), title.data(),
                static_cast<int>(title.size()));
  while (!closed_boxes_.erase(id))
    if (!run_pending()) wait(until_next_tick());
}

void WebPlatform::show_form(Form& form) {
  Window& w = window(form);
  const FormSettings& settings = form.settings();
  if (!w.shown) {
    w.shown = true;
    w.dirty = {{0, 0, to_pixels(settings.client_width), to_pixels(settings.client_height)}};
  }
  page_show_form(w.id, to_pixels(settings.client_width), to_pixels(settings.client_height),
                 settings.border == Border::Thin, settings.takes_keys, settings.caption.data(),
                 static_cast<int>(settings.caption.size()), settings.keys_acted_on.data(),
                 static_cast<int>(settings.keys_acted_on.size()));
}

void WebPlatform::hide_form(Form& form) {
  Window& w = window(form);
  w.shown = false;
  w.dirty.clear();
  page_hide_form(w.id);
}

void WebPlatform::timer_changed(Timer& timer) { ticks_.changed(timer, schedule_time(page_now())); }

void WebPlatform::invalidate(Form& form, const Bounds& twips) {
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

void WebPlatform::forget(Form& form) {
  ticks_.forget(form);
  windows_.erase(&form);
}

bool WebPlatform::run_pending() {
  bool ran = false;
  double event[4];
  while (page_take_event(event)) {
    dispatch(event);
    ran = true;
  }
  return ticks_.run_due(schedule_time(page_now())) || ran;
}

void WebPlatform::dispatch(const double* event) {
  switch (static_cast<int>(event[0])) {
    case kPageKey:
      if (main_form_) main_form_->key_down(static_cast<int>(event[1]));
      break;
    case kPageClick:
      if (Form* form = form_of(static_cast<int>(event[1])))
        form->click_at(static_cast<float>(event[2]) * kTwipsPerPixel,
                       static_cast<float>(event[3]) * kTwipsPerPixel);
      break;
    case kPageBoxClosed: closed_boxes_.insert(static_cast<int>(event[1])); break;
    case kPageChoice:
      if (on_page_choice) on_page_choice(static_cast<int>(event[1]), static_cast<int>(event[2]));
      break;
    case kPageRepaintAll:
      for (auto& [form, w] : windows_)
        if (w.shown)
          w.dirty = {
              {0, 0, to_pixels(form->settings().client_width), to_pixels(form->settings().client_height)}};
      break;
    default: break;
  }
}

// Paints what changed first: a tick and its drawing take one wake-up of the
// program, and the browser shows the canvases as they are at its next frame.
void WebPlatform::wait(double ms) {
  paint();
  if (page_pending()) return;
  if (ms >= 0 && ms < 0.05) ms = 0;
  page_wait(ms);
}

double WebPlatform::until_next_tick() const {
  const auto next = ticks_.next_due();
  if (!next) return -1;
  return std::max(0.0, std::chrono::duration<double, std::milli>(*next).count() - page_now());
}

void WebPlatform::paint() {
  for (auto& [form, w] : windows_) {
    if (!w.shown || w.dirty.empty()) continue;
    const std::vector<PixelRect> dirty = std::move(w.dirty);
    w.dirty.clear();
    for (const PixelRect& rect : dirty) paint_form(w.id, *form, rect);
  }
}

WebPlatform::Window& WebPlatform::window(Form& form) {
  Window& w = windows_[&form];
  if (w.id == 0) w.id = ++last_window_id_;
  return w;
}

Form* WebPlatform::form_of(int window_id) const {
  for (const auto& [form, w] : windows_)
    if (w.id == window_id && w.shown) return form;
  return nullptr;
}
