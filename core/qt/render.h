// Draws a form's control model with QPainter, in logical pixels (the one
// transform from twips is core/forms/pixels.h's); Qt scales logical pixels to
// HiDPI screens.
#pragma once

#include <QRect>
#include <QRegion>
#include <QString>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "core/forms/pixels.h"

class Form;
class QPainter;
struct Bounds;

inline QString to_qstring(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QRect to_pixels(const Bounds& twips);
// The client area's size in logical pixels.
QSize client_size(const Form& form);

// Pictures of controls that are drawn again unchanged. A repaint of a few
// pixels (a ball in flight) would otherwise draw every thick line, outlined
// oval and caption beneath them in full, curves and text shaping included;
// from its picture a control costs a copy of the pixels in the repaint. A
// control gets its picture on its second unchanged draw, so a moving or
// changing control, and the first frame, make none.
class ControlPictures {
 public:
  ControlPictures();
  ~ControlPictures();
  ControlPictures(const ControlPictures&) = delete;
  ControlPictures& operator=(const ControlPictures&) = delete;

  struct Entry;
  Entry& entry(const void* control);

 private:
  std::unordered_map<const void*, std::unique_ptr<Entry>> entries_;
};

// Paints the background and every visible control, back to front, with the
// client area's top left at the painter's origin. Controls wholly outside
// `dirty` (client pixels) are skipped, so a repaint of a moving ball and of a
// label far from it draws what lies under each, not all that lies between;
// by default everything is drawn.
// With `pictures`, unchanged controls are drawn from their pictures, which
// gives the same pixels.
void render_form(QPainter& painter, const Form& form,
                 const QRegion& dirty = QRegion(-100000, -100000, 200000, 200000),
                 ControlPictures* pictures = nullptr);
