#include "core/qt/render.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <string>

#include "core/forms/form.h"

namespace {

QColor colour(Rgb rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb.value)); }

QRect qrect(const PixelRect& r) { return {r.x, r.y, r.width, r.height}; }

QFont font_for(const Font& font) {
  QFont qfont(QStringLiteral("DejaVu Sans Condensed"));
  qfont.setPixelSize(font_pixels(font));
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
  const QRect rect = qrect(row.kind == Kind::Circle ? circle_in(box_pixels(shape)) : box_pixels(shape));
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
  const QRect rect = qrect(box_pixels(label));
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

// Whether a picture gives the very pixels of a direct draw: shapes and lines
// are drawn without antialiasing, so every pixel is covered or not; a caption
// is antialiased and is pictured only on its label's own opaque background.
bool picturable(const Control& control) {
  const ControlRow& row = control.row();
  switch (row.kind) {
    case Kind::Label: return row.fill.has_value();
    case Kind::Line: return row.pen_px > 1;  // thin lines are drawn as fast as copied
    case Kind::Rectangle: return row.ink && row.pen_px > 1;
    case Kind::RoundedRectangle:
    case Kind::Oval:
    case Kind::Circle: return true;
    default: return false;
  }
}

}  // namespace

struct ControlPictures::Entry {
  QRect pixels;         // where the control was drawn, in logical pixels
  std::string caption;  // for labels
  qreal scale = 0;      // device pixels per logical pixel
  bool drawn_once = false;
  QImage picture;
};

ControlPictures::ControlPictures() = default;
ControlPictures::~ControlPictures() = default;

ControlPictures::Entry& ControlPictures::entry(const void* control) {
  auto& slot = entries_[control];
  if (!slot) slot = std::make_unique<Entry>();
  return *slot;
}

namespace {

template <class Draw>
void draw_pictured(QPainter& painter, ControlPictures* pictures, const Control& control,
                   std::string_view caption, Draw&& draw) {
  // A picture is copied pixel for pixel only at a whole scale.
  const qreal scale = painter.device()->devicePixelRatioF();
  if (!pictures || !picturable(control) || scale != std::floor(scale)) {
    draw(painter);
    return;
  }
  const QRect pixels = to_pixels(control.bounds());
  ControlPictures::Entry& entry = pictures->entry(&control);
  if (entry.pixels != pixels || entry.caption != caption || entry.scale != scale) {
    entry = {pixels, std::string(caption), scale, true, QImage()};
    draw(painter);
    return;
  }
  if (entry.picture.isNull()) {
    entry.picture = QImage(pixels.size() * scale, QImage::Format_ARGB32_Premultiplied);
    entry.picture.setDevicePixelRatio(scale);
    entry.picture.fill(Qt::transparent);
    QPainter picture(&entry.picture);
    picture.setRenderHints(painter.renderHints());
    picture.translate(-pixels.topLeft());
    draw(picture);
  }
  painter.drawImage(pixels.topLeft(), entry.picture);
}

}  // namespace

QRect to_pixels(const Bounds& twips) { return qrect(pixel_bounds(twips)); }

QSize client_size(const Form& form) {
  return {to_pixels(form.settings().client_width), to_pixels(form.settings().client_height)};
}

void render_form(QPainter& painter, const Form& form, const QRegion& dirty, ControlPictures* pictures) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.fillRect(QRect(QPoint(0, 0), client_size(form)).intersected(dirty.boundingRect()),
                   colour(form.settings().background));
  const QRect dirty_box = dirty.boundingRect();
  const auto& controls = form.controls();
  for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
    const Control& control = **it;
    if (control.kind() == Kind::Timer) continue;
    // A moving ball repaints a few pixels; most controls lie elsewhere.
    const QRect pixels = to_pixels(control.bounds());
    if (!pixels.intersects(dirty_box) || !dirty.intersects(pixels)) continue;
    switch (control.kind()) {
      case Kind::Label: {
        const auto& label = static_cast<const Label&>(control);
        if (label.Visible)
          draw_pictured(painter, pictures, label, label.Caption.get(),
                        [&](QPainter& p) { draw_label(p, label); });
        break;
      }
      case Kind::Line: {
        const auto& line = static_cast<const Line&>(control);
        draw_pictured(painter, pictures, line, {}, [&](QPainter& p) { draw_line(p, line); });
        break;
      }
      default: {
        const auto& shape = static_cast<const Shape&>(control);
        if (shape.Visible)
          draw_pictured(painter, pictures, shape, {}, [&](QPainter& p) { draw_shape(p, shape); });
      }
    }
  }
}
