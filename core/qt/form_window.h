// One top-level window per form: paints the form's model, with its border
// where it has one, and turns Qt's mouse, key and close events into the
// form's events. What it draws and where a click lands are core's.
#pragma once

#include <QWidget>
#include <functional>

#include "core/qt/render.h"
#include "core/qt/window_manager.h"

class Form;

class FormWindow final : public QWidget {
 public:
  // `closed` runs when the user asks to close the window; the window stays.
  FormWindow(Form& form, std::function<void(FormWindow&)> closed);

  Form& form() const { return form_; }
  // Repaints these client pixels.
  void invalidate_pixels(const QRect& pixels);
  // Shows the window centred on the screen, frame and title bar included.
  void show_centred();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  Form& form_;
  std::function<void(FormWindow&)> closed_;
  const int border_;  // the thin border's width, or 0
  Centring centring_;
  ControlPictures pictures_;
};
