#include "core/web/web_platform.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/forms/draw.h"
#include "core/forms/form.h"
#include "core/web/dom_keys.h"
#include "core/web/page.h"
#include "core/web/web_render.h"

namespace {

// The page's steady clock, on the tick schedule's scale.
LoopPlatform::Time schedule_time(double ms) {
  return std::chrono::nanoseconds(static_cast<std::int64_t>(std::llround(ms * 1e6)));
}

}  // namespace

namespace web_page {

void init() {
  const std::string_view keys = dom_key_table();
  page_init(keys.data(), static_cast<int>(keys.size()), page_face_name());
}

Time now() { return schedule_time(page_now()); }

bool take(Event& event, const std::function<void(int control, int value)>& on_choice) {
  double queued[4];
  if (!page_take_event(queued)) return false;
  event = {};
  switch (static_cast<int>(queued[0])) {
    case kPageKey:
      event.kind = Event::Key;
      event.code = static_cast<int>(queued[1]);
      break;
    case kPageClick:
      event.kind = Event::Click;
      event.window = static_cast<int>(queued[1]);
      event.x = static_cast<float>(queued[2]);
      event.y = static_cast<float>(queued[3]);
      break;
    case kPageBoxClosed:
      event.kind = Event::BoxClosed;
      event.code = static_cast<int>(queued[1]);
      break;
    case kPageChoice:
      // The page's own controls are the app's, not the game's.
      if (on_choice) on_choice(static_cast<int>(queued[1]), static_cast<int>(queued[2]));
      break;
    case kPageRepaintAll: event.kind = Event::RepaintAll; break;
    default: break;
  }
  return true;
}

// The page delivers input only while the program is suspended.
void wait(std::optional<Time> deadline) {
  if (page_pending()) return;
  double ms = -1;
  if (deadline) {
    ms = std::max(0.0, std::chrono::duration<double, std::milli>(*deadline).count() - page_now());
    if (ms < 0.05) ms = 0;
  }
  page_wait(ms);
}

void show_window(int window, Form& form) {
  const FormSettings& settings = form.settings();
  const PixelRect client = client_pixels(form);
  page_show_form(window, client.width, client.height, border_pixels(form), static_cast<int>(kBorderColour.value),
                 settings.takes_keys,
                 settings.caption.data(), static_cast<int>(settings.caption.size()),
                 settings.keys_acted_on.data(), static_cast<int>(settings.keys_acted_on.size()));
}

void hide_window(int window) { page_hide_form(window); }

void paint(int window, const Form& form, const PixelRect& dirty) { paint_form(window, form, dirty); }

// The page's modal <dialog>.
void open_box(int box, std::string_view prompt, std::string_view title) {
  page_open_box(box, prompt.data(), static_cast<int>(prompt.size()), title.data(), static_cast<int>(title.size()),
                kBoxMinWidthPixels);
}

}  // namespace web_page

WebPlatform::WebPlatform() { web_page::init(); }

LoopPlatform::Time WebPlatform::now() { return web_page::now(); }

bool WebPlatform::take_event(Event& event) { return web_page::take(event, on_page_choice); }

void WebPlatform::wait(std::optional<Time> deadline) { web_page::wait(deadline); }

void WebPlatform::show_window(int window, Form& form, bool) { web_page::show_window(window, form); }

void WebPlatform::hide_window(int window) { web_page::hide_window(window); }

void WebPlatform::paint(int window, const Form& form, const PixelRect& dirty) { web_page::paint(window, form, dirty); }

void WebPlatform::open_box(int box, std::string_view prompt, std::string_view title) {
  web_page::open_box(box, prompt, title);
}
