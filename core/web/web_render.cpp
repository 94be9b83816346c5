#include "core/web/web_render.h"

#include "core/forms/draw.h"
#include "core/web/page.h"

namespace {

int colour(const std::optional<Rgb>& rgb) { return rgb ? static_cast<int>(rgb->value) : -1; }

// The drawing pass's canvas over the page's canvas 2D, in client pixels.
class PageCanvas final : public Canvas {
 public:
  void fill_rect(const PixelRect& r, Rgb rgb) override {
    page_fill_rect(r.x, r.y, r.width, r.height, colour(rgb));
  }

  void shape(ShapeKind kind, const PixelRect& r, const PixelRect& o, std::optional<Rgb> fill,
             std::optional<Rgb> ink, int pen_px, float corner_radius) override {
    const PageShape page_kind = kind == ShapeKind::Rectangle          ? kPageRectangle
                                : kind == ShapeKind::RoundedRectangle ? kPageRoundedRectangle
                                                                      : kPageOval;
    page_shape(page_kind, r.x, r.y, r.width, r.height, o.x, o.y, o.width, o.height, colour(fill), colour(ink),
               pen_px, corner_radius);
  }

  void line(int x1, int y1, int x2, int y2, Rgb ink, int pen_px, LineCap cap) override {
    page_line(x1, y1, x2, y2, colour(ink), pen_px, cap == LineCap::Round);
  }

  float text_width(std::string_view text, const Font& font) override {
    return static_cast<float>(
        page_text_width(text.data(), static_cast<int>(text.size()), font_pixels(font), font.bold));
  }

  void text(const PixelRect& r, std::string_view text, const Font& font, Align align, Rgb ink) override {
    const PageAlign page_align = align == Align::Right    ? kPageRight
                                 : align == Align::Center ? kPageCentre
                                                          : kPageLeft;
    page_text(r.x, r.y, r.width, r.height, text.data(), static_cast<int>(text.size()), font_pixels(font),
              font.bold, page_align, colour(ink), font_ascent_pixels(font));
  }
};

}  // namespace

void paint_form(int window_id, const Form& form, const PixelRect& dirty) {
  page_begin_paint(window_id, dirty.x, dirty.y, dirty.width, dirty.height);
  PageCanvas canvas;
  draw_form(form, dirty, canvas);
  page_end_paint();
}
