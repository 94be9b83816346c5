// The game's platform on Qt Widgets: windows for forms, 64 Hz tick timers,
// the modal message box and the wall clock.
#pragma once

#include <QMetaObject>
#include <map>
#include <memory>

#include "core/runtime.h"

class FormWindow;
class TickTimer;

// Makes the embedded fonts the only ones the game draws with. QtPlatform
// does it; a program that only draws forms calls it itself.
void load_game_fonts();

class QtPlatform final : public Platform {
 public:
  // Needs a QApplication; loads the embedded fonts.
  QtPlatform();
  ~QtPlatform() override;
  static QtPlatform* instance();

  // Shows the main form and runs the event loop until that window closes.
  int run(Form& main_form);
  // The window for a form, created on first use.
  FormWindow& window(Form& form);
  // The user closed a window: the main one ends the game, another unloads.
  void window_closed(FormWindow& window);

  void do_events(std::chrono::microseconds max_wait) override;
  void run_pending_events() override;
  void message_box(std::string_view prompt, std::string_view title) override;
  void show_form(Form& form) override;
  void hide_form(Form& form) override;
  void timer_changed(Timer& timer) override;
  void invalidate(Form& form, const Bounds& twips) override;
  bool closing() const override { return closing_; }
  void forget(Form& form) override;

 private:
  void quit();
  // The unmanaged windows go behind another program that is activated and
  // come back in front with the game.
  void follow_activation(Qt::ApplicationState state);

  std::map<const Form*, std::unique_ptr<FormWindow>> windows_;
  std::map<const Timer*, std::unique_ptr<TickTimer>> timers_;
  const Form* main_form_ = nullptr;
  bool closing_ = false;
  QMetaObject::Connection activation_;
};
