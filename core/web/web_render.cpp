#include "core/web/web_render.h"

#include <emscripten.h>

#include <string>

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
             std::optional<Pen> pen, float corner_radius) override {
    const PageShape page_kind = kind == ShapeKind::Rectangle          ? kPageRectangle
                                : kind == ShapeKind::RoundedRectangle ? kPageRoundedRectangle
                                                                      : kPageOval;
    if (pen) set_pen(*pen);
    page_shape(page_kind, r.x, r.y, r.width, r.height, o.x, o.y, o.width, o.height, colour(fill),
               pen ? colour(pen->ink) : -1, corner_radius);
  }

  void line(int x1, int y1, int x2, int y2, const Pen& pen) override {
    set_pen(pen);
    page_line(x1, y1, x2, y2);
  }

  float text_width(std::string_view text, const Font& font) override {
    return static_cast<float>(
        page_text_width(text.data(), static_cast<int>(text.size()), font_pixels(font), font.bold));
  }

  void text(float x, int baseline, std::string_view text, const Font& font, Rgb ink, const PixelRect& c) override {
    page_text(x, baseline, text.data(), static_cast<int>(text.size()), font_pixels(font), font.bold, colour(ink),
              c.x, c.y, c.width, c.height);
  }

 private:
  static void set_pen(const Pen& pen) {
    page_pen(colour(pen.ink), pen.width_px, static_cast<int>(pen.cap), static_cast<int>(pen.join));
  }
};

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE const char* page_face_name() {
  static const std::string name = "Diamond " + std::string(kGameFace);
  return name.c_str();
}

void paint_form(int window_id, const Form& form, const PixelRect& dirty) {
  page_begin_paint(window_id, dirty.x, dirty.y, dirty.width, dirty.height);
  PageCanvas canvas;
  draw_form(form, dirty, canvas);
  page_end_paint();
}
