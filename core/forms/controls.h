// The retained control model that game code reads and writes: labels,
// shapes, lines and timers with the properties the game uses, in twips.
// A property write marks the control for repaint through its form.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "core/forms/layout.h"

class Form;
class Control;

// Twips rectangle that a control touches when drawn.
struct Bounds {
  float left = 0, top = 0, right = 0, bottom = 0;
};

namespace forms_detail {
void notify_before(Control& control);
void notify_after(Control& control);
void event_handled();  // tells the event watcher (form.h)
}  // namespace forms_detail

// A control property: reads as its value, and a write that changes the value
// tells the owning control.
template <class T>
class Property {
 public:
  Property(Control& owner, T value) : owner_(&owner), value_(std::move(value)) {}
  Property(const Property&) = delete;
  Property& operator=(const Property& other) { return *this = T(other.value_); }

  operator const T&() const { return value_; }  // NOLINT: reads like the value
  const T& get() const { return value_; }

  Property& operator=(T value) {
    if (value == value_) return *this;
    forms_detail::notify_before(*owner_);
    value_ = std::move(value);
    forms_detail::notify_after(*owner_);
    return *this;
  }

  // Load puts a property back to its layout value without repaint traffic.
  void reset(T value) { value_ = std::move(value); }

  friend bool operator==(const Property& a, const T& b) requires std::is_same_v<T, std::string> {
    return a.value_ == b;
  }

 private:
  Control* owner_;
  T value_;
};

class Control {
 public:
  Control(Form& form, const ControlRow& row) : form_(form), row_(row) {}
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  const ControlRow& row() const { return row_; }
  std::string_view name() const { return row_.name; }
  int index() const { return row_.index; }
  Kind kind() const { return row_.kind; }
  Form& form() const { return form_; }

  virtual void reset() = 0;
  virtual Bounds bounds() const = 0;

  // Called around every property change; repaint by default.
  virtual void before_change();
  virtual void after_change();

 private:
  Form& form_;
  const ControlRow& row_;
};

// A shape or label is placed by its rectangle.
class Boxed : public Control {
 public:
  Boxed(Form& form, const ControlRow& row);
  Property<float> Left, Top, Width, Height;
  Property<bool> Visible;
  void reset() override;
  Bounds bounds() const override;
};

class Label : public Boxed {
 public:
  Label(Form& form, const ControlRow& row);
  Property<std::string> Caption;
  std::function<void()> on_click;  // none: the label swallows the click
  void reset() override;
};

class Shape : public Boxed {
 public:
  using Boxed::Boxed;
};

class Line : public Control {
 public:
  using Control::Control;
  void reset() override {}
  Bounds bounds() const override;
};

class Timer : public Control {
 public:
  Timer(Form& form, const ControlRow& row);
  Property<int> Interval;  // milliseconds; 0 stops the timer
  std::function<void()> on_tick;

  bool running() const;
  // One tick from the platform. A tick that arrives while this timer's own
  // handler is still running (inside an event pump) is dropped.
  void tick();

  void reset() override;
  Bounds bounds() const override { return {}; }
  void before_change() override {}
  void after_change() override;

 private:
  bool in_handler_ = false;
};
