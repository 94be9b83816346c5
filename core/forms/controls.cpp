#include "core/forms/controls.h"

#include <algorithm>

#include "core/forms/form.h"
#include "core/forms/pixels.h"

namespace forms_detail {
void notify_before(Control& control) { control.before_change(); }
void notify_after(Control& control) { control.after_change(); }
}  // namespace forms_detail

namespace {

// Half a wide pen reaches outside the path; one more pixel covers rounding.
float pen_margin(const ControlRow& row) { return (static_cast<float>(row.pen_px) / 2 + 1) * kTwipsPerPixel; }

}  // namespace

void Control::before_change() { form_.invalidate(bounds()); }
void Control::after_change() { form_.invalidate(bounds()); }

Boxed::Boxed(Form& form, const ControlRow& row)
    : Control(form, row),
      Left(*this, row.box.left),
      Top(*this, row.box.top),
      Width(*this, row.box.width),
      Height(*this, row.box.height),
      Visible(*this, row.visible) {}

void Boxed::reset() {
  Left.reset(row().box.left);
  Top.reset(row().box.top);
  Width.reset(row().box.width);
  Height.reset(row().box.height);
  Visible.reset(row().visible);
}

Bounds Boxed::bounds() const {
  const float margin = pen_margin(row());
  return {Left - margin, Top - margin, Left + Width + margin, Top + Height + margin};
}

Label::Label(Form& form, const ControlRow& row)
    : Boxed(form, row), Caption(*this, std::string(row.caption)) {}

void Label::reset() {
  Boxed::reset();
  Caption.reset(std::string(row().caption));
}

Bounds Line::bounds() const {
  const Ends& e = row().ends;
  const float margin = pen_margin(row());
  return {std::min(e.x1, e.x2) - margin, std::min(e.y1, e.y2) - margin, std::max(e.x1, e.x2) + margin,
          std::max(e.y1, e.y2) + margin};
}

Timer::Timer(Form& form, const ControlRow& row) : Control(form, row), Interval(*this, row.interval) {}

bool Timer::running() const { return form().loaded() && Interval > 0; }

void Timer::tick() {
  if (!running() || in_handler_ || !on_tick) return;
  in_handler_ = true;
  on_tick();
  in_handler_ = false;
  forms_detail::event_handled();
}

void Timer::reset() { Interval.reset(row().interval); }

void Timer::after_change() { form().timer_changed(*this); }
