#include "core/forms/form.h"

#include <cassert>

#include "core/runtime.h"

namespace {

std::function<void()>& event_watcher() {
  static std::function<void()> watcher;
  return watcher;
}

std::unique_ptr<Control> make_control(Form& form, const ControlRow& row) {
  switch (row.kind) {
    case Kind::Label: return std::make_unique<Label>(form, row);
    case Kind::Rectangle:
    case Kind::RoundedRectangle:
    case Kind::Oval:
    case Kind::Circle: return std::make_unique<Shape>(form, row);
    case Kind::Line: return std::make_unique<Line>(form, row);
    case Kind::Timer: return std::make_unique<Timer>(form, row);
  }
  return nullptr;
}

bool contains(const Boxed& box, float x, float y) {
  return x >= box.Left && x < box.Left + box.Width && y >= box.Top && y < box.Top + box.Height;
}

}  // namespace

void watch_events(std::function<void()> watcher) { event_watcher() = std::move(watcher); }

void forms_detail::event_handled() {
  if (event_watcher()) event_watcher()();
}

Form::Form(const FormSettings& settings, std::span<const ControlRow> layout) : settings_(settings) {
  controls_.reserve(layout.size());
  for (const ControlRow& row : layout) controls_.push_back(make_control(*this, row));
}

Form::~Form() { runtime::platform().forget(*this); }

Control* Form::find(std::string_view name, int index) const {
  for (const auto& control : controls_)
    if (control->name() == name && control->index() == index) return control.get();
  return nullptr;
}

Label& Form::label(std::string_view name, int index) {
  auto* found = dynamic_cast<Label*>(find(name, index));
  assert(found && "label missing from the layout");
  return *found;
}

Shape& Form::shape(std::string_view name, int index) {
  auto* found = dynamic_cast<Shape*>(find(name, index));
  assert(found && "shape missing from the layout");
  return *found;
}

Timer& Form::timer(std::string_view name) {
  auto* found = dynamic_cast<Timer*>(find(name));
  assert(found && "timer missing from the layout");
  return *found;
}

void Form::load() {
  for (const auto& control : controls_) control->reset();
  loaded_ = true;
  tell_platform_about_timers();
  Form_Load();
}

// Loading starts the timers whose layout interval is positive; unloading
// stops them all.
void Form::tell_platform_about_timers() {
  for (const auto& control : controls_)
    if (auto* timer = dynamic_cast<Timer*>(control.get())) runtime::platform().timer_changed(*timer);
}

void Form::Show() {
  if (!loaded_) load();
  // Load may have unloaded the form again; then there is nothing to show.
  if (loaded_) runtime::platform().show_form(*this);
}

void Form::Unload() {
  if (!loaded_) return;
  Integer cancel = 0;
  Form_Unload(cancel);
  if (cancel != 0) return;
  loaded_ = false;
  tell_platform_about_timers();
  runtime::platform().hide_form(*this);
}

void Form::key_down(int key_code) {
  if (!loaded_) return;
  Form_KeyDown(Integer(key_code), 0);
  forms_detail::event_handled();
}

void Form::click_at(float x_twips, float y_twips) {
  if (!loaded_) return;
  // A click outside the client area (on a border) is no click on the form.
  if (x_twips < 0 || y_twips < 0 || x_twips >= settings_.client_width || y_twips >= settings_.client_height) return;
  // Labels are the only controls that take the mouse: the front-most visible
  // label under the pointer gets the click, otherwise the form does.
  for (const auto& control : controls_) {
    auto* label = dynamic_cast<Label*>(control.get());
    if (label && label->Visible && contains(*label, x_twips, y_twips)) {
      if (label->on_click) label->on_click();
      forms_detail::event_handled();
      return;
    }
  }
  Form_Click();
  forms_detail::event_handled();
}

void Form::close_request() {
  if (!loaded_) return;
  on_close_request();
  forms_detail::event_handled();
}

void Form::invalidate(const Bounds& twips) {
  if (loaded_) runtime::platform().invalidate(*this, twips);
}

void Form::timer_changed(Timer& timer) {
  if (loaded_) runtime::platform().timer_changed(timer);
}
