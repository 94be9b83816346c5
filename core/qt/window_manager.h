// What the game asks of a window manager beyond Qt's window flags: where a
// window goes and what the user may do with it.
#pragma once

#include <QEvent>

class QWidget;

// Keeps a top-level window centred on the screen, frame and title bar
// included. The frame is known only once a window manager has framed the
// window and said so (_NET_FRAME_EXTENTS): the window is centred by its
// client area when shown and again by its frame then. Without a manager the
// client area is the window; a manager that never says (weston's, for X
// windows) keeps the place asked for at the show, its frame hung from there.
class Centring {
 public:
  void shown(QWidget& window);                // just before show(), the size final
  void event(QWidget& window, QEvent::Type);  // from every event the window gets

 private:
  int checks_left_ = 0;
};

// Asks an X window manager to let the user only close this window: no move,
// resize, minimise or maximise, no decorations. Qt states no functions for a
// frameless window, which leaves all of them allowed. Elsewhere it does
// nothing: a Wayland compositor moves no window its client does not drag.
void allow_only_close(QWidget& window);
