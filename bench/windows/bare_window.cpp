// The yardstick for the Windows start-up: a bare Win32 window of the pitch
// screen's size, centred, that draws one line of text once, timed and
// measured as the game's probe is.
#include "bench/windows/first_paint.h"

namespace {

bool painted = false;

LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    TextOutW(dc, 8, 8, L"Player 1:  Pitching", 19);
    EndPaint(hwnd, &paint);
    painted = true;
    return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

int main() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = window_proc;
  window_class.hInstance = instance;
  window_class.lpszClassName = L"Bare";
  RegisterClassW(&window_class);
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  RECT frame{0, 0, 402, 350};
  AdjustWindowRect(&frame, style, FALSE);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  HWND hwnd = CreateWindowW(L"Bare", L"Bare", style, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                            (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr,
                            instance, nullptr);
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  MSG message;
  while (!painted && GetMessageW(&message, nullptr, 0, 0)) DispatchMessageW(&message);
  report_first_paint();
  return 0;
}
