#include "core/qt/form_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <utility>

#include "core/forms/draw.h"
#include "core/forms/form.h"
#include "core/qt/key_codes.h"
#include "core/qt/render.h"
#include "core/qt/window_manager.h"

FormWindow::FormWindow(Form& form, std::function<void(FormWindow&)> closed)
    : form_(form), closed_(std::move(closed)), border_(border_pixels(form)) {
  const FormSettings& settings = form.settings();
  Qt::WindowFlags flags = Qt::Window;
  if (settings.border == Border::Thin) {
    flags = unmanaged_window_flags();
    setAttribute(Qt::WA_ShowWithoutActivating);
  } else {
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
             Qt::MSWindowsFixedSizeDialogHint;
  }
  setWindowFlags(flags);
  setWindowTitle(to_qstring(settings.caption));
  setFixedSize(client_size(form) + QSize(2 * border_, 2 * border_));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(settings.takes_keys ? Qt::StrongFocus : Qt::NoFocus);
}

void FormWindow::show_centred() {
  centring_.shown(*this);
  update();
  show();
  if (form_.settings().border == Border::Thin) clear_title(*this);
}

bool FormWindow::event(QEvent* event) {
  centring_.event(*this, event->type());
  return QWidget::event(event);
}

void FormWindow::invalidate_pixels(const QRect& pixels) { update(pixels.translated(border_, border_)); }

void FormWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setClipRegion(event->region());
  if (border_ > 0) {
    painter.setPen(QPen(QColor::fromRgb(static_cast<QRgb>(kBorderColour.value)), border_));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
  painter.translate(border_, border_);
  painter.setClipRect(QRect(QPoint(0, 0), client_size(form_)), Qt::IntersectClip);
  render_form(painter, form_, event->region().translated(-border_, -border_), &pictures_);
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
  const int code = virtual_key_code(event->key(), event->modifiers(), event->nativeVirtualKey());
  if (code != 0) form_.key_down(code);
  event->accept();
}

void FormWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPointF at = event->position() - QPointF(border_, border_);
  form_.click_at(static_cast<float>(at.x()) * kTwipsPerPixel, static_cast<float>(at.y()) * kTwipsPerPixel);
}

void FormWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (closed_) closed_(*this);
}
