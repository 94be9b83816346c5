// Draws a form's control model with QPainter. The one transform from twips
// to logical pixels lives here: 15 twips a pixel at 96 dpi; Qt scales logical
// pixels to HiDPI screens.
#pragma once

#include <QRect>
#include <QString>
#include <string_view>

class Form;
class QPainter;
struct Bounds;

inline constexpr float kTwipsPerPixel = 15;

inline QString to_qstring(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int to_pixels(float twips);
QRect to_pixels(const Bounds& twips);
// The client area's size in logical pixels.
QSize client_size(const Form& form);

// Paints the background and every visible control, back to front, with the
// client area's top left at the painter's origin. Controls wholly outside
// `dirty` (client pixels) are skipped; by default everything is drawn.
void render_form(QPainter& painter, const Form& form,
                 const QRect& dirty = QRect(-100000, -100000, 200000, 200000));
