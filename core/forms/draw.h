// What a form shows, decided once for every platform: the drawing pass walks
// a form's controls back to front and tells a canvas what to draw, in client
// pixels: where each outline runs, how each pen ends and joins, where each
// line of text starts and stands. A platform implements only the canvas (Qt
// over QPainter, the page over canvas 2D, Windows over GDI, the tests a
// recording one).
#pragma once

#include <optional>
#include <string_view>

#include "core/forms/layout.h"
#include "core/forms/pixels.h"

class Control;
class Form;

enum class ShapeKind { Rectangle, RoundedRectangle, Oval };
enum class LineCap { Flat, Square, Round };
enum class LineJoin { Miter, Round };

// How a line or an outline is stroked.
struct Pen {
  Rgb ink;
  int width_px = 1;
  LineCap cap = LineCap::Flat;
  LineJoin join = LineJoin::Miter;
};

// The drawing rules are decided here, once; a canvas draws what it is told.
class Canvas {
 public:
  virtual ~Canvas() = default;

  // Whether drawing within these pixels can change what this repaint shows
  // (a canvas whose dirty area is more than one rectangle looks closer).
  virtual bool touches(const PixelRect& /*pixels*/) const { return true; }
  // Around the drawing of one control, whose pixels are `pixels`. A canvas
  // may draw the control from a picture of it instead: then it returns false
  // and is told nothing more of it.
  virtual bool begin_control(const Control& /*control*/, const PixelRect& /*pixels*/) { return true; }
  virtual void end_control() {}

  virtual void fill_rect(const PixelRect& rect, Rgb colour) = 0;
  // A shape over the pixels `rect`. Without a pen the fill covers exactly
  // those pixels. With one, `outline` is the line the pen runs along, from
  // pixel to pixel (the shape's outermost pixels: a 1-pixel pen covers
  // them, a wider one spreads about them as the desktop's pens do), and the
  // fill lies inside it. A fill or pen that is absent is not drawn.
  virtual void shape(ShapeKind kind, const PixelRect& rect, const PixelRect& outline, std::optional<Rgb> fill,
                     std::optional<Pen> pen, float corner_radius_px) = 0;
  virtual void line(int x1, int y1, int x2, int y2, const Pen& pen) = 0;
  // The width of one line of text, in pixels.
  virtual float text_width(std::string_view text, const Font& font) = 0;
  // One line of text, its baseline starting at (x, baseline), showing only
  // within `clip`.
  virtual void text(float x, int baseline, std::string_view line, const Font& font, Rgb ink,
                    const PixelRect& clip) = 0;
};

// The next line of a caption: as much of `rest` as fits in `width`, broken
// at a space (a single word longer than that has a line to itself). `rest`
// keeps what follows the space.
std::string_view take_line(std::string_view& rest, float width, const Font& font, Canvas& canvas);

// A form's whole client area, in pixels.
PixelRect client_pixels(const Form& form);

// A window with a thin border has a line this wide around its client area,
// outside it, in this colour; the others have the system's own frame.
inline constexpr Rgb kBorderColour = kBlack;
int border_pixels(const Form& form);

// Draws the background and every visible control that reaches into `dirty`,
// back to front.
void draw_form(const Form& form, const PixelRect& dirty, Canvas& canvas);
