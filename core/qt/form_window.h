// One top-level window per form: paints the form's model and turns Qt's
// mouse, key and close events into the form's events. It decides nothing.
#pragma once

#include <QWidget>

class Form;

class FormWindow final : public QWidget {
 public:
  explicit FormWindow(Form& form);

  Form& form() const { return form_; }
  // Top left of the client area inside the widget (the thin border).
  int border() const { return border_; }
  // Repaints the pixels that a change of these twips can touch.
  void invalidate_twips(const QRect& pixels);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  Form& form_;
  int border_ = 0;
};
