#include "core/web/web_render.h"

#include "core/forms/form.h"
#include "core/web/page.h"

namespace {

int colour(const std::optional<Rgb>& rgb) { return rgb ? static_cast<int>(rgb->value) : -1; }

void draw_shape(const Shape& shape) {
  const ControlRow& row = shape.row();
  const PixelRect rect = row.kind == Kind::Circle ? circle_in(box_pixels(shape)) : box_pixels(shape);
  const PageShape kind = row.kind == Kind::Rectangle          ? kPageRectangle
                         : row.kind == Kind::RoundedRectangle ? kPageRoundedRectangle
                                                              : kPageOval;
  page_shape(kind, rect.x, rect.y, rect.width, rect.height, colour(row.fill), colour(row.ink), row.pen_px);
}

void draw_line(const Line& line) {
  const ControlRow& row = line.row();
  if (!row.ink) return;
  page_line(to_pixels(row.place.a), to_pixels(row.place.b), to_pixels(row.place.c), to_pixels(row.place.d),
            colour(row.ink), row.pen_px);
}

void draw_label(const Label& label) {
  const ControlRow& row = label.row();
  const PixelRect rect = box_pixels(label);
  if (row.fill) page_fill_rect(rect.x, rect.y, rect.width, rect.height, colour(row.fill));
  const std::string& caption = label.Caption;
  if (caption.empty()) return;
  const PageAlign align = row.align == Align::Right    ? kPageRight
                          : row.align == Align::Center ? kPageCentre
                                                       : kPageLeft;
  page_text(rect.x, rect.y, rect.width, rect.height, caption.data(), static_cast<int>(caption.size()),
            font_pixels(row.font), row.font.bold, align, colour(row.ink.value_or(kBlack)));
}

}  // namespace

void paint_form(int window_id, const Form& form, const PixelRect& dirty) {
  page_begin_paint(window_id, dirty.x, dirty.y, dirty.width, dirty.height);
  page_fill_rect(dirty.x, dirty.y, dirty.width, dirty.height,
                 static_cast<int>(form.settings().background.value));
  const auto& controls = form.controls();
  for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
    const Control& control = **it;
    if (control.kind() == Kind::Timer || !overlaps(pixel_bounds(control.bounds()), dirty)) continue;
    switch (control.kind()) {
      case Kind::Label:
        if (const auto& label = static_cast<const Label&>(control); label.Visible) draw_label(label);
        break;
      case Kind::Line: draw_line(static_cast<const Line&>(control)); break;
      default:
        if (const auto& shape = static_cast<const Shape&>(control); shape.Visible) draw_shape(shape);
    }
  }
  page_end_paint();
}
