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
  // An outline runs along the shape's outermost pixels, from pixel to pixel,
  // with square corners where it turns.
  const PixelRect outline{rect.x, rect.y, rect.width - 1, rect.height - 1};
  std::optional<Pen> pen;
  if (row.ink) pen = Pen{*row.ink, row.pen_px, LineCap::Square, LineJoin::Miter};
  canvas.shape(kind, rect, outline, row.fill, pen, radius);
}

void draw_line(const Line& line, Canvas& canvas) {
  const ControlRow& row = line.row();
  if (!row.ink) return;
  // A thick line ends round, as the desktop's wide pens do; a thin one ends
  // at its end points.
  const Pen pen{*row.ink, row.pen_px, row.pen_px > 1 ? LineCap::Round : LineCap::Flat, LineJoin::Round};
  canvas.line(to_pixels(row.ends.x1), to_pixels(row.ends.y1), to_pixels(row.ends.x2), to_pixels(row.ends.y2), pen);
}

// Where a line of text starts: at the label's left, against its right, or
// centred; a canvas that places text on whole pixels drops the fraction.
float line_start(const PixelRect& rect, Align align, float width) {
  const float spare = static_cast<float>(rect.width) - width;
  return static_cast<float>(rect.x) + (align == Align::Right ? spare : align == Align::Center ? spare / 2 : 0);
}

// A label paints its background, when it has one, under its caption.
void draw_label(const Label& label, Canvas& canvas) {
  const ControlRow& row = label.row();
  const PixelRect rect = box_pixels(label);
  if (row.fill) canvas.fill_rect(rect, *row.fill);
  const std::string& caption = label.Caption;
  if (caption.empty()) return;
  // Line after line from the label's top, each drawn in what is left of the
  // label below its top, as far as the label reaches.
  const int bottom = rect.y + rect.height;
  int top = rect.y;
  std::string_view rest = caption;
  while (!rest.empty() && top < bottom) {
    const std::string_view line = take_line(rest, static_cast<float>(rect.width), row.font, canvas);
    const float x = row.align == Align::Left ? static_cast<float>(rect.x)
                                             : line_start(rect, row.align, canvas.text_width(line, row.font));
    canvas.text(x, top + font_ascent_pixels(row.font), line, row.font, row.ink.value_or(kBlack),
                {rect.x, top, rect.width, bottom - top});
    top += font_line_pixels(row.font);
  }
}

}  // namespace

std::string_view take_line(std::string_view& rest, float width, const Font& font, Canvas& canvas) {
  std::size_t end = rest.find(' ');
  if (end == std::string_view::npos || canvas.text_width(rest, font) <= width) {
    const std::string_view line = rest;
    rest = {};
    return line;
  }
  // The line so far is rest[0, end); it takes the next word while that fits.
  for (std::size_t next = rest.find(' ', end + 1);; next = rest.find(' ', end + 1)) {
    const std::size_t stop = next == std::string_view::npos ? rest.size() : next;
    if (canvas.text_width(rest.substr(0, stop), font) > width) break;
    end = stop;
    if (end == rest.size()) break;
  }
  const std::string_view line = rest.substr(0, end);
  rest = end < rest.size() ? rest.substr(end + 1) : std::string_view();
  return line;
}

PixelRect client_pixels(const Form& form) {
  const FormSettings& settings = form.settings();
  return {0, 0, to_pixels(settings.client_width), to_pixels(settings.client_height)};
}

int border_pixels(const Form& form) { return form.settings().border == Border::Thin ? 1 : 0; }

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
