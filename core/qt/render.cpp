#include "core/qt/render.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "core/forms/draw.h"
#include "core/forms/form.h"

namespace {

QColor colour(Rgb rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb.value)); }

QRect qrect(const PixelRect& r) { return {r.x, r.y, r.width, r.height}; }

QFont font_for(const Font& font) {
  QFont qfont(to_qstring(kGameFace));
  qfont.setPixelSize(font_pixels(font));
  qfont.setBold(font.bold);
  qfont.setHintingPreference(QFont::PreferVerticalHinting);
  return qfont;
}

QPen qpen(const Pen& pen) {
  const Qt::PenCapStyle cap = pen.cap == LineCap::Round    ? Qt::RoundCap
                              : pen.cap == LineCap::Square ? Qt::SquareCap
                                                           : Qt::FlatCap;
  return {colour(pen.ink), static_cast<qreal>(pen.width_px), Qt::SolidLine, cap,
          pen.join == LineJoin::Round ? Qt::RoundJoin : Qt::MiterJoin};
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

// The drawing pass's canvas over a painter. Unchanged controls that can be
// pictured are drawn from their pictures; a control is pictured on its
// second unchanged draw, by drawing it into its picture instead of the
// window, and the picture is then copied to the window.
class PainterCanvas final : public Canvas {
 public:
  PainterCanvas(QPainter& painter, const QRegion& dirty, ControlPictures* pictures)
      : window_(painter), dirty_(dirty), pictures_(pictures) {}

  bool touches(const PixelRect& pixels) const override { return dirty_.intersects(qrect(pixels)); }

  bool begin_control(const Control& control, const PixelRect& pixels) override {
    // A picture is copied pixel for pixel only at a whole scale.
    const qreal scale = window_.device()->devicePixelRatioF();
    if (!pictures_ || !picturable(control) || scale != std::floor(scale)) return true;
    const std::string caption =
        control.kind() == Kind::Label ? static_cast<const Label&>(control).Caption.get() : std::string();
    ControlPictures::Entry& entry = pictures_->entry(&control);
    const QRect rect = qrect(pixels);
    if (entry.pixels != rect || entry.caption != caption || entry.scale != scale) {
      entry = {rect, caption, scale, true, QImage()};
      return true;
    }
    if (!entry.picture.isNull()) {
      window_.drawImage(rect.topLeft(), entry.picture);
      return false;
    }
    entry.picture = QImage(rect.size() * scale, QImage::Format_ARGB32_Premultiplied);
    entry.picture.setDevicePixelRatio(scale);
    entry.picture.fill(Qt::transparent);
    picture_.emplace(&entry.picture);
    picture_->setRenderHints(window_.renderHints());
    picture_->translate(-rect.topLeft());
    picturing_ = &entry;
    return true;
  }

  void end_control() override {
    if (!picturing_) return;
    picture_.reset();
    window_.drawImage(picturing_->pixels.topLeft(), picturing_->picture);
    picturing_ = nullptr;
  }

  void fill_rect(const PixelRect& rect, Rgb rgb) override { painter().fillRect(qrect(rect), colour(rgb)); }

  void shape(ShapeKind kind, const PixelRect& pixels, const PixelRect& outline, std::optional<Rgb> fill,
             std::optional<Pen> pen, float corner_radius) override {
    QPainter& p = painter();
    p.setBrush(fill ? QBrush(colour(*fill)) : QBrush(Qt::NoBrush));
    if (pen)
      p.setPen(qpen(*pen));
    else
      p.setPen(Qt::NoPen);
    // A QRect of the outline's size runs from pixel to pixel, as it is told.
    const QRect path = pen ? QRect(outline.x, outline.y, outline.width, outline.height) : qrect(pixels);
    switch (kind) {
      case ShapeKind::Rectangle: p.drawRect(path); break;
      case ShapeKind::RoundedRectangle: p.drawRoundedRect(path, corner_radius, corner_radius); break;
      case ShapeKind::Oval: p.drawEllipse(path); break;
    }
  }

  void line(int x1, int y1, int x2, int y2, const Pen& pen) override {
    painter().setPen(qpen(pen));
    painter().drawLine(QPoint(x1, y1), QPoint(x2, y2));
  }

  float text_width(std::string_view text, const Font& font) override {
    return static_cast<float>(QFontMetricsF(font_for(font)).horizontalAdvance(to_qstring(text)));
  }

  void text(float x, int baseline, std::string_view text, const Font& font, Rgb ink, const PixelRect& clip) override {
    QPainter& p = painter();
    p.save();
    p.setClipRect(qrect(clip), Qt::IntersectClip);
    p.setFont(font_for(font));
    p.setPen(colour(ink));
    p.drawText(QPointF(x, baseline), to_qstring(text));
    p.restore();
  }

 private:
  QPainter& painter() { return picture_ ? *picture_ : window_; }

  QPainter& window_;
  const QRegion& dirty_;
  ControlPictures* pictures_;
  std::optional<QPainter> picture_;
  ControlPictures::Entry* picturing_ = nullptr;
};

}  // namespace

QRect to_pixels(const Bounds& twips) { return qrect(pixel_bounds(twips)); }

QSize client_size(const Form& form) {
  const PixelRect client = client_pixels(form);
  return {client.width, client.height};
}

void render_form(QPainter& painter, const Form& form, const QRegion& dirty, ControlPictures* pictures) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  const QRect box = dirty.boundingRect();
  PainterCanvas canvas(painter, dirty, pictures);
  draw_form(form, {box.x(), box.y(), box.width(), box.height()}, canvas);
}
