// A form: one window of the game, its controls built from its layout table,
// and its event handlers. A screen derives from Form, binds the controls it
// uses by name and overrides the handlers it has.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "core/forms/controls.h"
#include "core/forms/layout.h"
#include "core/integer.h"

// Runs after every event that a form or one of its timers has handled (a
// key, a click, a close, a tick), nested ones too: input that watches the
// screens, such as the computer player, sees each change this way. One
// watcher at a time; an empty function removes it.
void watch_events(std::function<void()> watcher);

class Form {
 public:
  Form(const FormSettings& settings, std::span<const ControlRow> layout);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  virtual ~Form();

  const FormSettings& settings() const { return settings_; }
  bool loaded() const { return loaded_; }

  // Loads the form if it is not loaded (raising Load), then shows it
  // modeless; a form already shown is only brought to the front.
  void Show();
  // Raises Unload; unless cancelled, closes the window and stops its timers.
  // The next Show loads the form afresh.
  void Unload();

  // Controls front to back, as the layout lists them.
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  Control* find(std::string_view name, int index = kNoIndex) const;

  // Event entry points for platforms: each runs the game's handler, then
  // the event watcher.
  void key_down(int key_code);
  void click_at(float x_twips, float y_twips);
  // The user asked the window manager to close the window (Alt+F4, a
  // taskbar's close): it does what the window's own way of closing does.
  void close_request();

  void invalidate(const Bounds& twips);
  void timer_changed(Timer& timer);

 protected:
  virtual void Form_Load() {}
  virtual void Form_Unload(Integer& /*Cancel*/) {}
  virtual void Form_KeyDown(Integer /*KeyCode*/, Integer /*Shift*/) {}
  virtual void Form_Click() {}
  virtual void on_close_request() { Unload(); }

  // Named access for the screens' member bindings; the name must exist.
  Label& label(std::string_view name, int index = kNoIndex);
  Shape& shape(std::string_view name, int index = kNoIndex);
  Timer& timer(std::string_view name);

 private:
  void load();
  void tell_platform_about_timers();

  const FormSettings& settings_;
  std::vector<std::unique_ptr<Control>> controls_;
  bool loaded_ = false;
};
