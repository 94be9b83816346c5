#include "core/forms/draw.h"

#include <algorithm>
#include <string>

#include "core/forms/form.h"

namespace {

void draw_shape(const Shape& shape, Canvas& canvas) {
  const ControlRow& row = shape.row();
  // A circle is the largest one centred in the shape's rectangle.
  const PixelRect rect = row.kind == Kind::Circle ? circle_in(box_pixels(shape)) : box_pixels(shape);
  const ShapeKind kind = row.kind == Kind::Rectangle          ? ShapeKind::Rectangle
                         : row.kind == Kind::RoundedRectangle ? ShapeKind::RoundedRectangle
                                                              : ShapeKind::Oval;
  // The corners of a rounded rectangle: a sixth of its shorter side.
  const float radius = kind == ShapeKind::RoundedRectangle ? std::min(rect.width, rect.height) / 6.0f : 0;
  canvas.shape(kind, rect, row.fill, row.ink, row.pen_px, radius);
}

void draw_line(const Line& line, Canvas& canvas) {
  const ControlRow& row = line.row();
  if (!row.ink) return;
  canvas.line(to_pixels(row.ends.x1), to_pixels(row.ends.y1), to_pixels(row.ends.x2), to_pixels(row.ends.y2),
              *row.ink, row.pen_px);
}

// A label paints its background, when it has one, under its caption.
void draw_label(const Label& label, Canvas& canvas) {
  const ControlRow& row = label.row();
  const PixelRect rect = box_pixels(label);
  if (row.fill) canvas.fill_rect(rect, *row.fill);
  const std::string& caption = label.Caption;
  if (!caption.empty()) canvas.text(rect, caption, row.font, row.align, row.ink.value_or(kBlack));
}

}  // namespace

PixelRect client_pixels(const Form& form) {
  const FormSettings& settings = form.settings();
  return {0, 0, to_pixels(settings.client_width), to_pixels(settings.client_height)};
}

void draw_form(const Form& form, const PixelRect& dirty, Canvas& canvas) {
  const PixelRect background = intersected(client_pixels(form), dirty);
  if (background.width > 0 && background.height > 0) canvas.fill_rect(background, form.settings().background);
  const auto& controls = form.controls();
  for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
    const Control& control = **it;
    if (control.kind() == Kind::Timer) continue;
    if (control.kind() != Kind::Line && !static_cast<const Boxed&>(control).Visible) continue;
    // A moving ball repaints a few pixels; most controls lie elsewhere.
    const PixelRect pixels = pixel_bounds(control.bounds());
    if (!overlaps(pixels, dirty) || !canvas.touches(pixels)) continue;
    if (!canvas.begin_control(control, pixels)) continue;
    switch (control.kind()) {
      case Kind::Label: draw_label(static_cast<const Label&>(control), canvas); break;
      case Kind::Line: draw_line(static_cast<const Line&>(control), canvas); break;
      default: draw_shape(static_cast<const Shape&>(control), canvas);
    }
    canvas.end_control();
  }
}
