#include "core/windows/windows_platform.h"

#include <mmsystem.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "core/forms/draw.h"
#include "core/forms/form.h"
#include "core/windows/gdi_canvas.h"

namespace {

WindowsPlatform* the_platform = nullptr;
constexpr wchar_t kWindowClass[] = L"DiamondForm";
constexpr UINT_PTR kNativeLoopTicks = 1;

// A thin window is a popup whose border the platform draws itself, in the
// game's colour (the system's would be its frame colour).
DWORD style_of(const FormSettings& settings) {
  return settings.border == Border::Thin ? WS_POPUP : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
}

// The thin windows never take the keyboard, so the pitch screen keeps it.
DWORD extended_style_of(const FormSettings& settings) {
  return settings.border == Border::Thin ? WS_EX_NOACTIVATE : 0;
}

double scale_of(UINT dpi) { return dpi / 96.0; }

int scaled(int pixels, UINT dpi) { return static_cast<int>(std::lround(pixels * scale_of(dpi))); }

}  // namespace

WindowsPlatform::WindowsPlatform(HINSTANCE instance) : instance_(instance), fonts_(instance) {
  QueryPerformanceFrequency(&frequency_);
  // Waits end within a millisecond of their deadline.
  timeBeginPeriod(1);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = window_proc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
  window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  window_class.lpszClassName = kWindowClass;
  RegisterClassExW(&window_class);
  the_platform = this;
}

WindowsPlatform::~WindowsPlatform() {
  the_platform = nullptr;
  for (auto& [id, w] : windows_) {
    release_buffer(w);
    if (w.hwnd) {
      SetWindowLongPtrW(w.hwnd, GWLP_USERDATA, 0);
      DestroyWindow(w.hwnd);
    }
  }
  UnregisterClassW(kWindowClass, instance_);
  timeEndPeriod(1);
}

LoopPlatform::Time WindowsPlatform::now() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  const long long whole = count.QuadPart / frequency_.QuadPart;
  const long long part = count.QuadPart % frequency_.QuadPart;
  return std::chrono::seconds(whole) + std::chrono::nanoseconds(part * 1'000'000'000 / frequency_.QuadPart);
}

HWND WindowsPlatform::window_handle(const Form& form) const {
  const int id = window_of(form);
  const auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : it->second.hwnd;
}

bool WindowsPlatform::take_event(Event& event) {
  while (queue_.empty()) {
    MSG message;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    if (message.message == WM_QUIT) {
      quit();
      return false;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  event = queue_.front();
  queue_.pop_front();
  return true;
}

// Waits for a message or the deadline, to the millisecond after it: with
// the system timer at 1 ms the wait ends within a millisecond of the tick.
// (A waitable timer promises finer, but under Wine it wakes several
// milliseconds late.)
void WindowsPlatform::wait(std::optional<Time> deadline) {
  if (!queue_.empty()) return;
  DWORD timeout = INFINITE;
  if (deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - now()).count();
    timeout = static_cast<DWORD>(std::max<long long>(left, 0));
  }
  MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

WindowsPlatform::Window& WindowsPlatform::create(int window, Form& form) {
  Window& w = windows_[window];
  if (w.hwnd) return w;
  const FormSettings& settings = form.settings();
  w.form = &form;
  const bool main = is_main(form);
  w.hwnd = CreateWindowExW(extended_style_of(settings), kWindowClass, wide(settings.caption).c_str(),
                           style_of(settings), CW_USEDEFAULT, CW_USEDEFAULT, 1, 1,
                           main ? nullptr : main_hwnd_, nullptr, instance_, nullptr);
  SetWindowLongPtrW(w.hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(window));
  if (main) main_hwnd_ = w.hwnd;
  fit(w, GetDpiForWindow(w.hwnd), nullptr);
  return w;
}

// The window's client area is the form's pixels, within its border, at the
// monitor's scale; the window is centred, frame included, on the monitor's
// work area.
void WindowsPlatform::fit(Window& w, UINT dpi, const RECT* suggested) {
  w.dpi = dpi ? dpi : 96;
  w.border = border_pixels(*w.form);
  const PixelRect client = client_pixels(*w.form);
  const int outer_width = scaled(client.width + 2 * w.border, w.dpi);
  const int outer_height = scaled(client.height + 2 * w.border, w.dpi);
  RECT frame{0, 0, outer_width, outer_height};
  const FormSettings& settings = w.form->settings();
  AdjustWindowRectExForDpi(&frame, style_of(settings), FALSE, extended_style_of(settings), w.dpi);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  int x, y;
  if (suggested) {
    x = suggested->left;
    y = suggested->top;
  } else {
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromWindow(main_hwnd_ ? main_hwnd_ : w.hwnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    x = area.left + (area.right - area.left - width) / 2;
    y = area.top + (area.bottom - area.top - height) / 2;
  }
  SetWindowPos(w.hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  release_buffer(w);
  HDC screen = GetDC(w.hwnd);
  w.buffer = CreateCompatibleDC(screen);
  w.bitmap = CreateCompatibleBitmap(screen, outer_width, outer_height);
  w.old_bitmap = SelectObject(w.buffer, w.bitmap);
  ReleaseDC(w.hwnd, screen);
  // The border, then the form within it.
  const RECT whole{0, 0, outer_width, outer_height};
  HBRUSH border = CreateSolidBrush(gdi_colour(kBorderColour));
  FillRect(w.buffer, &whole, border);
  DeleteObject(border);
  paint_form(w.buffer, *w.form, client, scale_of(w.dpi), w.border);
  InvalidateRect(w.hwnd, nullptr, FALSE);
}

void WindowsPlatform::release_buffer(Window& w) {
  if (!w.buffer) return;
  SelectObject(w.buffer, w.old_bitmap);
  DeleteObject(w.bitmap);
  DeleteDC(w.buffer);
  w.buffer = nullptr;
  w.bitmap = nullptr;
}

void WindowsPlatform::show_window(int window, Form& form, bool first) {
  Window& w = create(window, form);
  const bool main = is_main(form);
  if (first) {
    fit(w, GetDpiForWindow(w.hwnd), nullptr);
    ShowWindow(w.hwnd, main ? SW_SHOW : SW_SHOWNOACTIVATE);
  }
  SetWindowPos(w.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | (main ? 0 : SWP_NOACTIVATE));
  if (main) SetForegroundWindow(w.hwnd);
}

void WindowsPlatform::hide_window(int window) {
  const auto it = windows_.find(window);
  if (it != windows_.end() && it->second.hwnd) ShowWindow(it->second.hwnd, SW_HIDE);
}

void WindowsPlatform::paint(int window, const Form& form, const PixelRect& dirty) {
  const auto it = windows_.find(window);
  if (it == windows_.end() || !it->second.buffer) return;
  Window& w = it->second;
  const double scale = scale_of(w.dpi);
  paint_form(w.buffer, form, dirty, scale, w.border);
  const RECT device = device_rect({dirty.x + w.border, dirty.y + w.border, dirty.width, dirty.height}, scale);
  HDC dc = GetDC(w.hwnd);
  BitBlt(dc, device.left, device.top, device.right - device.left, device.bottom - device.top, w.buffer,
         device.left, device.top, SRCCOPY);
  ReleaseDC(w.hwnd, dc);
}

// The system's own box, owned by the pitch screen: its modal loop runs
// instead of the game's, so ticks come from a thread timer meanwhile.
void WindowsPlatform::open_box(int box, std::string_view prompt, std::string_view title) {
  box_open_ = true;
  begin_system_loop();
  MessageBoxW(main_hwnd_, wide(prompt).c_str(), wide(title).c_str(), MB_OK);
  end_system_loop();
  box_open_ = false;
  box_closed(box);
}

void WindowsPlatform::begin_system_loop() {
  enter_native_loop();
  arm_native_ticks();
}

void WindowsPlatform::end_system_loop() {
  leave_native_loop();
  if (!in_native_loop() && main_hwnd_) KillTimer(main_hwnd_, kNativeLoopTicks);
}

// Fires at the next tick's deadline, to the millisecond it can.
void WindowsPlatform::arm_native_ticks() {
  if (!main_hwnd_ || closing_) return;
  const auto next = next_tick();
  if (!next) {
    KillTimer(main_hwnd_, kNativeLoopTicks);
    return;
  }
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(*next - now()).count();
  SetTimer(main_hwnd_, kNativeLoopTicks, static_cast<UINT>(std::max<long long>(left, USER_TIMER_MINIMUM)),
           nullptr);
}

LRESULT CALLBACK WindowsPlatform::window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  WindowsPlatform* platform = the_platform;
  const int id = static_cast<int>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (platform && id) {
    const auto it = platform->windows_.find(id);
    if (it != platform->windows_.end() && it->second.hwnd == hwnd)
      return platform->handle(id, it->second, message, wparam, lparam);
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

LRESULT WindowsPlatform::handle(int window, Window& w, UINT message, WPARAM wparam, LPARAM lparam) {
  if (const auto handled = handle_input(window, w, message, wparam, lparam)) return *handled;
  if (const auto handled = handle_window(w, message, wparam, lparam)) return *handled;
  return DefWindowProcW(w.hwnd, message, wparam, lparam);
}

// Keys, clicks and closes become the loop's events.
std::optional<LRESULT> WindowsPlatform::handle_input(int window, Window& w, UINT message, WPARAM wparam,
                                                     LPARAM lparam) {
  switch (message) {
    case WM_KEYDOWN:
      // The virtual-key codes are the game's: Num Lock decides what the
      // keypad gives, and either Shift is VK_SHIFT.
      queue_.push_back({.kind = Event::Key, .code = static_cast<int>(wparam)});
      return 0;
    case WM_LBUTTONUP: {
      if (box_open_) return 0;  // the box holds the game's input
      const double scale = scale_of(w.dpi);
      queue_.push_back({.kind = Event::Click,
                        .window = window,
                        .x = static_cast<float>(GET_X_LPARAM(lparam) / scale - w.border),
                        .y = static_cast<float>(GET_Y_LPARAM(lparam) / scale - w.border)});
      return 0;
    }
    case WM_CLOSE:
      if (w.hwnd == main_hwnd_) {
        // Ends the game from any state, a box or a drag included.
        quit();
        PostQuitMessage(0);
      } else {
        queue_.push_back({.kind = Event::Close, .window = window});
      }
      return 0;
    default: return std::nullopt;
  }
}

// What the system asks of a window: activation, moves, its own modal loop's
// ticks, a new DPI and painting.
std::optional<LRESULT> WindowsPlatform::handle_window(Window& w, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      if (extended_style_of(w.form->settings()) & WS_EX_NOACTIVATE) return MA_NOACTIVATE;
      return std::nullopt;
    case WM_SYSCOMMAND: {
      // Only the pitch screen moves; nothing is minimised or maximised.
      const WPARAM command = wparam & 0xFFF0;
      if ((command == SC_MOVE && w.hwnd != main_hwnd_) || command == SC_MINIMIZE || command == SC_MAXIMIZE) return 0;
      return std::nullopt;
    }
    case WM_ENTERSIZEMOVE: begin_system_loop(); return 0;
    case WM_EXITSIZEMOVE: end_system_loop(); return 0;
    case WM_TIMER:
      if (wparam != kNativeLoopTicks) return std::nullopt;
      if (in_native_loop()) {
        run_ticks();
        arm_native_ticks();
      } else {
        KillTimer(w.hwnd, kNativeLoopTicks);
      }
      return 0;
    case WM_DPICHANGED: fit(w, HIWORD(wparam), reinterpret_cast<const RECT*>(lparam)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(w.hwnd, &paint);
      const RECT& r = paint.rcPaint;
      if (w.buffer) BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, w.buffer, r.left, r.top, SRCCOPY);
      EndPaint(w.hwnd, &paint);
      return 0;
    }
    default: return std::nullopt;
  }
}
