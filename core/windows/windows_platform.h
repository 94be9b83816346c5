// The game's platform on Windows, in Win32 and GDI only: a window per form
// drawn from a back buffer, the keyboard's virtual-key codes as they come,
// the system's message box, and the performance counter as the clock.
//
// The loop is core's. Windows' own modal loops (the message box's, a
// window drag's) do not run it, so while one is open a thread timer brings
// the due ticks in.
#pragma once

#include <windows.h>

#include <deque>
#include <map>
#include <optional>

#include "core/event_loop.h"
#include "core/windows/gdi_canvas.h"

class WindowsPlatform final : public LoopPlatform {
 public:
  // Loads the game's fonts from the program's resources.
  explicit WindowsPlatform(HINSTANCE instance);
  ~WindowsPlatform() override;


  // The window shown for a form, if any (for tests).
  HWND window_handle(const Form& form) const;

 protected:
  Time now() override;
  bool take_event(Event& event) override;
  void wait(std::optional<Time> deadline) override;
  void show_window(int window, Form& form, bool first) override;
  void hide_window(int window) override;
  void paint(int window, const Form& form, const PixelRect& dirty) override;
  void open_box(int box, std::string_view prompt, std::string_view title) override;

 private:
  struct Window {
    HWND hwnd = nullptr;
    const Form* form = nullptr;
    HDC buffer = nullptr;  // the client area as drawn, at the window's scale
    HBITMAP bitmap = nullptr;
    HGDIOBJ old_bitmap = nullptr;
    UINT dpi = 96;
    int border = 0;  // client pixels of border around the form
  };

  static LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle(int window, Window& w, UINT message, WPARAM wparam, LPARAM lparam);
  std::optional<LRESULT> handle_input(int window, Window& w, UINT message, WPARAM wparam, LPARAM lparam);
  std::optional<LRESULT> handle_window(Window& w, UINT message, WPARAM wparam, LPARAM lparam);
  Window& create(int window, Form& form);
  // Sizes the window and its buffer to its DPI; the buffer is drawn afresh.
  void fit(Window& w, UINT dpi, const RECT* suggested);
  void release_buffer(Window& w);
  // Inside a modal loop of Windows' own: ticks come from a thread timer.
  void begin_system_loop();
  void end_system_loop();
  void arm_native_ticks();

  HINSTANCE instance_;
  GameFonts fonts_;
  LARGE_INTEGER frequency_{};
  std::map<int, Window> windows_;
  std::deque<Event> queue_;
  HWND main_hwnd_ = nullptr;
  bool box_open_ = false;
};
