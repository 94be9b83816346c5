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

// Window flags for a window that no window manager may move, resize,
// minimise or title: on X it is left unmanaged (override-redirect), the one
// request every manager honours (KWin, for one, ignores Motif's functions for
// windows that speak its protocol). It never takes the keyboard, so the
// window that does keeps it. A Wayland compositor moves no window that its
// client does not drag.
Qt::WindowFlags unmanaged_window_flags();

// Clears the title that Qt gives every untitled window (the application's
// name), so that nothing lists the window by a name: WM_NAME and
// _NET_WM_NAME on X, the toplevel's title on native Wayland. Call it after
// each show, once the native window exists.
void clear_title(QWidget& window);
