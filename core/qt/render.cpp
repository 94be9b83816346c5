#include "core/qt/render.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "core/forms/form.h"

namespace {

QColor colour(Rgb rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb.value)); }

// Pixel rectangle from twips, rounding both edges so that neighbours meet.
QRect box_pixels(const Boxed& box) {
  const int left = to_pixels(box.Left), top = to_pixels(box.Top);
  return {left, top, to_pixels(box.Left + box.Width) - left, to_pixels(box.Top + box.Height) - top};
}

QFont font_for(const Font& font) {
  QFont qfont(QStringLiteral("DejaVu Sans Condensed"));
  qfont.setPixelSize(static_cast<int>(std::lround(font.points * 96 / 72)));
  qfont.setBold(font.bold);
  qfont.setHintingPreference(QFont::PreferVerticalHinting);
  return qfont;
}

void set_outline(QPainter& painter, const ControlRow& row) {
  if (row.ink)
    painter.setPen(QPen(colour(*row.ink), row.pen_px, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  else
    painter.setPen(Qt::NoPen);
}

void draw_shape(QPainter& painter, const Shape& shape) {
  const ControlRow& row = shape.row();
  QRect rect = box_pixels(shape);
  if (row.kind == Kind::Circle) {
    const int side = std::min(rect.width(), rect.height());
    rect = QRect(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2, side, side);
  }
  painter.setBrush(row.fill ? QBrush(colour(*row.fill)) : QBrush(Qt::NoBrush));
  set_outline(painter, row);
  // A 1-pixel outline lies on the rectangle's outermost pixels.
  const QRect path = row.ink ? rect.adjusted(0, 0, -1, -1) : rect;
  switch (row.kind) {
    case Kind::Rectangle: painter.drawRect(path); break;
    case Kind::RoundedRectangle: {
      const qreal radius = std::min(rect.width(), rect.height()) / 6.0;
      painter.drawRoundedRect(path, radius, radius);
      break;
    }
    case Kind::Oval:
    case Kind::Circle: painter.drawEllipse(path); break;
    default: break;
  }
}

void draw_line(QPainter& painter, const Line& line) {
  const ControlRow& row = line.row();
  if (!row.ink) return;
  const Qt::PenCapStyle cap = row.pen_px > 1 ? Qt::RoundCap : Qt::FlatCap;
  painter.setPen(QPen(colour(*row.ink), row.pen_px, Qt::SolidLine, cap, Qt::RoundJoin));
  painter.drawLine(QPoint(to_pixels(row.place.a), to_pixels(row.place.b)),
                   QPoint(to_pixels(row.place.c), to_pixels(row.place.d)));
}

void draw_label(QPainter& painter, const Label& label) {
  const ControlRow& row = label.row();
  const QRect rect = box_pixels(label);
  if (row.fill) painter.fillRect(rect, colour(*row.fill));
  const std::string& caption = label.Caption;
  if (caption.empty()) return;
  int flags = Qt::AlignTop | Qt::TextWordWrap;
  flags |= row.align == Align::Right    ? Qt::AlignRight
           : row.align == Align::Center ? Qt::AlignHCenter
                                        : Qt::AlignLeft;
  painter.setFont(font_for(row.font));
  painter.setPen(colour(row.ink.value_or(kBlack)));
  painter.drawText(rect, flags, QString::fromStdString(caption));
}

}  // namespace

int to_pixels(float twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

QRect to_pixels(const Bounds& twips) {
  const int left = static_cast<int>(std::floor(twips.left / kTwipsPerPixel));
  const int top = static_cast<int>(std::floor(twips.top / kTwipsPerPixel));
  const int right = static_cast<int>(std::ceil(twips.right / kTwipsPerPixel));
  const int bottom = static_cast<int>(std::ceil(twips.bottom / kTwipsPerPixel));
  return {left, top, right - left + 1, bottom - top + 1};
}

QSize client_size(const Form& form) {
  return {to_pixels(form.settings().client_width), to_pixels(form.settings().client_height)};
}

void render_form(QPainter& painter, const Form& form, const QRect& dirty) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.fillRect(QRect(QPoint(0, 0), client_size(form)).intersected(dirty),
                   colour(form.settings().background));
  const auto& controls = form.controls();
  for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
    const Control& control = **it;
    // A moving ball repaints a few pixels; most controls lie elsewhere.
    if (!to_pixels(control.bounds()).intersects(dirty)) continue;
    if (const auto* label = dynamic_cast<const Label*>(&control)) {
      if (label->Visible) draw_label(painter, *label);
    } else if (const auto* shape = dynamic_cast<const Shape*>(&control)) {
      if (shape->Visible) draw_shape(painter, *shape);
    } else if (const auto* line = dynamic_cast<const Line*>(&control)) {
      draw_line(painter, *line);
    }
  }
}
