// The game's platform in a browser page, compiled with emscripten: a canvas
// per form, DOM input, a <dialog> for the message box, the page's clock.
//
// The program runs core's own event loop (core/event_loop.h). The page's
// listeners only queue what happened (core/web/page.js) and wake the
// program; the loop takes events off that queue and dispatches them, also
// inside rtcDoEvents and the message box. With nothing queued or due it
// suspends through Asyncify until an event arrives or the next tick is due,
// so a handler can wait inside itself, as the swing and the box do.
#pragma once

#include <functional>
#include <optional>

#include "core/event_loop.h"

// The page's side of any platform on core's loop in a browser: the two-screen
// device (app/web/two_screens) shares it with WebPlatform.
namespace web_page {
using Time = LoopPlatform::Time;
using Event = LoopPlatform::Event;
// Hands the page the key table and the face; once, before anything shows.
void init();
Time now();
// The oldest page event, in the game's terms; a choice on the page's own
// controls goes to `on_choice` and comes back as Handled.
bool take(Event& event, const std::function<void(int control, int value)>& on_choice);
// Suspends until a page event is queued or `deadline` (on now()'s clock).
void wait(std::optional<Time> deadline);
void show_window(int window, Form& form);
void hide_window(int window);
void paint(int window, const Form& form, const PixelRect& dirty);
void open_box(int box, std::string_view prompt, std::string_view title);
}  // namespace web_page

class WebPlatform final : public LoopPlatform {
 public:
  WebPlatform();

  // Told when a control of the page's own, outside the game's windows, has
  // changed: which control, and its value, as the page numbers them.
  std::function<void(int control, int value)> on_page_choice;

 protected:
  Time now() override;
  bool take_event(Event& event) override;
  void wait(std::optional<Time> deadline) override;
  void show_window(int window, Form& form, bool first) override;
  void hide_window(int window) override;
  void paint(int window, const Form& form, const PixelRect& dirty) override;
  void open_box(int box, std::string_view prompt, std::string_view title) override;
};
