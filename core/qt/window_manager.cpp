#include "core/qt/window_manager.h"

#include <dlfcn.h>
#include <qpa/qplatformnativeinterface.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace {

// xdg_toplevel's set_title request, by its number in the xdg-shell protocol.
constexpr std::uint32_t kXdgToplevelSetTitle = 2;

// A manager frames a window shortly after it is mapped, and no event tells
// the window: look again on the first few events that follow a show.
constexpr int kFrameChecks = 40;

xcb_connection_t* x_connection() {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* connection, std::string_view name) {
  const auto cookie = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data());
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
  if (!reply) return XCB_ATOM_NONE;
  const xcb_atom_t found = reply->atom;
  std::free(reply);
  return found;
}

// The frame the window manager reports around the window, if it has.
std::optional<QMargins> reported_frame(QWidget& window) {
  xcb_connection_t* connection = x_connection();
  if (!connection) return std::nullopt;
  static const xcb_atom_t extents = atom(connection, "_NET_FRAME_EXTENTS");
  const auto cookie = xcb_get_property(connection, 0, static_cast<xcb_window_t>(window.winId()), extents,
                                       XCB_ATOM_CARDINAL, 0, 4);
  xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
  if (!reply) return std::nullopt;
  std::optional<QMargins> frame;
  if (reply->format == 32 && xcb_get_property_value_length(reply) == 16) {
    const auto* v =
        static_cast<const std::uint32_t*>(xcb_get_property_value(reply));  // left, right, top, bottom
    frame = QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                     static_cast<int>(v[3]));
  }
  std::free(reply);
  return frame;
}

// Places the client area so that it and its frame sit in the middle of the
// screen. Before the native window exists the position goes into its
// creation, which every manager honours; afterwards it is set as a client
// position, which keeps Qt's own guess at the frame out of it.
void centre(QWidget& window, const QMargins& frame) {
  const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
  const QSize outer = window.size().grownBy(frame);
  const QPoint client(available.x() + (available.width() - outer.width()) / 2 + frame.left(),
                      available.y() + (available.height() - outer.height()) / 2 + frame.top());
  if (window.windowHandle())
    window.windowHandle()->setPosition(client);
  else
    window.move(client);
}

// Whether an X window manager says it is running (EWMH's check window); then
// it frames the windows it manages.
bool window_manager_running(xcb_connection_t* connection) {
  static const xcb_atom_t check = atom(connection, "_NET_SUPPORTING_WM_CHECK");
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  const auto cookie = xcb_get_property(connection, 0, root, check, XCB_ATOM_WINDOW, 0, 1);
  xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
  const bool running = reply && xcb_get_property_value_length(reply) == 4;
  std::free(reply);
  return running;
}

}  // namespace

void Centring::shown(QWidget& window) {
  centre(window, window.windowHandle() ? reported_frame(window).value_or(QMargins()) : QMargins());
  // No manager frames an unmanaged window, and with no manager at all the
  // client area is all there is: then nothing is worth looking for.
  xcb_connection_t* connection = x_connection();
  const bool unmanaged = window.windowFlags().testFlag(Qt::X11BypassWindowManagerHint);
  checks_left_ = !connection || (!unmanaged && window_manager_running(connection)) ? kFrameChecks : 0;
}

void Centring::event(QWidget& window, QEvent::Type type) {
  if (checks_left_ == 0 || type == QEvent::Show || !window.isVisible()) return;
  --checks_left_;
  if (const auto frame = reported_frame(window)) {
    checks_left_ = 0;
    centre(window, *frame);
  }
}

Qt::WindowFlags unmanaged_window_flags() {
  return Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus;
}

void clear_title(QWidget& window) {
  if (xcb_connection_t* connection = x_connection()) {
    const auto id = static_cast<xcb_window_t>(window.winId());
    static const xcb_atom_t net_name = atom(connection, "_NET_WM_NAME");
    static const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, "");
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, net_name, utf8, 8, 0, "");
    xcb_flush(connection);
    return;
  }
  // Native Wayland: Qt names the toplevel as it shows the window; send an
  // empty title after it, through the Wayland client library that Qt's
  // Wayland plugin has loaded (the game does not link it, X needs none).
  if (QGuiApplication::platformName() != QLatin1String("wayland") || !window.windowHandle()) return;
  QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
  void* toplevel =
      native ? native->nativeResourceForWindow(QByteArrayLiteral("xdg_toplevel"), window.windowHandle())
             : nullptr;
  using Marshal = void* (*)(void*, std::uint32_t, const void*, std::uint32_t, std::uint32_t, ...);
  using Version = std::uint32_t (*)(void*);
  static void* const library = dlopen("libwayland-client.so.0", RTLD_NOW | RTLD_NOLOAD);
  if (!toplevel || !library) return;
  const auto marshal = reinterpret_cast<Marshal>(dlsym(library, "wl_proxy_marshal_flags"));
  const auto version = reinterpret_cast<Version>(dlsym(library, "wl_proxy_get_version"));
  if (marshal && version) marshal(toplevel, kXdgToplevelSetTitle, nullptr, version(toplevel), 0, "");
}
