// The Windows platform's own rules, run under Wine on a virtual X server:
// the keys as Windows gives them, ticks inside the system's modal box and
// inside a handler's wait, the box holding the keypad, and closing mid-wait.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "core/forms/form.h"
#include "core/forms/keys.h"
#include "core/windows/windows_platform.h"

namespace {

constexpr Rgb kLampColour{0xFF8000};
// The lamp, hidden at first, fills the client area's top left 20 pixels.
constexpr auto kRows = std::to_array<ControlRow>(
    {{.name = "Starter", .kind = Kind::Timer},
     {.name = "Ticker", .kind = Kind::Timer},
     {.name = "Hider", .kind = Kind::Timer},
     {.name = "Lamp", .kind = Kind::Rectangle, .box = {0, 0, 300, 300}, .fill = kLampColour, .visible = false}});
constexpr FormSettings kSettings{
    .name = "Probe", .caption = "Probe", .client_width = 3000, .client_height = 1500, .takes_keys = true};

// The main form: its keys are recorded, its ticker's ticks counted, and a key
// or a tick may run a test's action (a wait, a box). A test's script starts
// from the starter's one tick, so the ticker's go on inside it.
class Probe final : public Form {
 public:
  Probe() : Form(kSettings, kRows) {
    ticker.on_tick = [this] {
      ++ticks;
      if (on_tick) on_tick();
    };
  }
  Timer& starter = timer("Starter");
  Timer& ticker = timer("Ticker");
  Timer& hider = timer("Hider");
  Shape& lamp = shape("Lamp");
  int ticks = 0;
  std::vector<int> keys;
  std::function<void()> on_tick, on_key;

 protected:
  void Form_Load() override {
    ticker.Interval = 1;
    starter.Interval = 1;
  }
  void Form_KeyDown(Integer KeyCode, Integer) override {
    keys.push_back(KeyCode);
    if (on_key) on_key();
  }
};

// Runs the platform's loop over a probe, its main form; `script` runs from
// the first tick, inside the loop, and the run ends by closing the probe's
// window.
struct Session {
  WindowsPlatform platform{GetModuleHandleW(nullptr)};
  Probe probe;
  HWND window() const { return platform.window_handle(probe); }
  void close() { PostMessageW(window(), WM_CLOSE, 0, 0); }
  int run(std::function<void()> script) {
    probe.starter.on_tick = [this, script] {
      probe.starter.Interval = 0;
      script();
    };
    return platform.run(probe);
  }
};

void spin(double seconds) {
  const float start = rtcGetTimer();
  while (rtcGetTimer() - start < seconds && !runtime::platform().closing()) rtcDoEvents();
}

// Real keyboard input, as the system delivers it to the focused window.
void press(WORD vk, WORD scan = 0, DWORD flags = 0) {
  INPUT input[2]{};
  for (INPUT& in : input) {
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = scan;
    in.ki.dwFlags = flags;
  }
  input[1].ki.dwFlags |= KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
}

HWND find_box() { return FindWindowW(L"#32770", L"Switch Positions"); }

}  // namespace

// Keys as the keyboard gives them, through the system's input queue: each
// Shift by its own key, which the system reports as the one Shift code the
// game reads. The keypad and Num Lock are played on the real program.
TEST(WindowsPlatform, TakesTheKeyboardsKeysAsTheSystemReportsThem) {
  Session run;
  EXPECT_EQ(run.run([&] {
    for (int i = 0; i < 200 && GetForegroundWindow() != run.window(); ++i) spin(0.01);
    press(VK_LSHIFT, 0x2A);
    press(VK_RSHIFT, 0x36);
    press(VK_SPACE, 0x39);
    spin(0.2);
    run.close();
  }), 0);
  EXPECT_EQ(run.probe.keys, (std::vector<int>{vk::kShift, vk::kShift, vk::kSpace}));
}

// Sixty-four a second on the deadline schedule, inside the swing's kind of
// wait, and never a burst after the program was busy.
TEST(WindowsPlatform, TicksGoOnInsideAWaitAndMergeAfterAStall) {
  Session run;
  int in_wait = 0, after_stall = 0;
  EXPECT_EQ(run.run([&] {
    const int before = run.probe.ticks;
    spin(0.5);
    in_wait = run.probe.ticks - before;
    bool stalled = false;
    run.probe.on_tick = [&] {
      if (stalled) return;
      stalled = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(150));  // ten periods busy
    };
    spin(0.05);
    const int resumed = run.probe.ticks;
    spin(0.05);  // at most one merged tick and three of its own
    after_stall = run.probe.ticks - resumed;
    run.close();
  }), 0);
  EXPECT_NEAR(in_wait, 32, 3);
  EXPECT_LE(after_stall, 5);
}

// The box is the system's: ticks go on inside its own loop (at least half
// of the 64 a second it is open, where a stopped tick gives none), a keypad
// key pressed at the box reaches no form, and Enter dismisses it.
TEST(WindowsPlatform, TheBoxKeepsTheTicksAndHoldsTheKeypadUntilEnter) {
  Session run;
  int in_box = 0;
  double open_seconds = 0;
  bool enabled_in_box = true, box_had_keyboard = false;
  EXPECT_EQ(run.run([&] {
    std::thread user([&] {
      HWND box = nullptr;
      for (int i = 0; i < 200 && !box; ++i, Sleep(10)) box = find_box();
      // A person presses keys at the box once it has the keyboard.
      for (int i = 0; i < 200 && GetForegroundWindow() != box; ++i) Sleep(10);
      box_had_keyboard = GetForegroundWindow() == box;
      Sleep(500);
      enabled_in_box = IsWindowEnabled(run.window());
      press(VK_NUMPAD8, 0x48);
      Sleep(100);
      press(VK_RETURN, 0x1C);
    });
    const int before = run.probe.ticks;
    const auto opened = std::chrono::steady_clock::now();
    rtcMsgBox("Switch Positions.", 0, "Switch Positions");
    open_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - opened).count();
    in_box = run.probe.ticks - before;
    user.join();
    spin(0.1);
    run.close();
  }), 0);
  ASSERT_TRUE(box_had_keyboard);
  EXPECT_FALSE(enabled_in_box);
  EXPECT_GE(open_seconds, 0.5);
  EXPECT_GE(in_box, 32 * open_seconds) << "in " << open_seconds << " s";
  EXPECT_TRUE(run.probe.keys.empty());
}

// What a handler changed just before the box is on the screen while the box
// is up, although no tick has run since to paint it; and what a tick
// changes inside the box is painted there too.
TEST(WindowsPlatform, TheBoxOpensOverTheWindowsAsTheGameLeftThemAndTicksPaintUnderIt) {
  Session run;
  COLORREF before_tick = CLR_INVALID, after_tick = CLR_INVALID;
  EXPECT_EQ(run.run([&] {
    std::thread user([&] {
      const auto lamp = [&] {
        HDC dc = GetDC(run.window());
        const COLORREF seen = GetPixel(dc, 10, 10);
        ReleaseDC(run.window(), dc);
        return seen;
      };
      HWND box = nullptr;
      for (int i = 0; i < 200 && !box; ++i, Sleep(10)) box = find_box();
      Sleep(200);
      before_tick = lamp();
      Sleep(800);
      after_tick = lamp();
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    run.probe.ticker.Interval = 0;
    run.probe.lamp.Visible = true;
    // Its one tick, 0.5 s into the box, puts the lamp out.
    run.probe.hider.on_tick = [&] {
      run.probe.lamp.Visible = false;
      run.probe.hider.Interval = 0;
    };
    run.probe.hider.Interval = 500;
    rtcMsgBox("Switch Positions.", 0, "Switch Positions");
    user.join();
    run.close();
  }), 0);
  EXPECT_EQ(before_tick, RGB(0xFF, 0x80, 0x00));
  EXPECT_EQ(after_tick, RGB(0xFF, 0xFF, 0xFF));
}

// Closing the main window ends the program from inside a handler's wait.
TEST(WindowsPlatform, ClosingMidWaitEndsTheRunWithExitCodeZero) {
  Session run;
  bool waited_out = false;
  EXPECT_EQ(run.run([&] {
    run.probe.on_key = [&] {
      SetTimer(run.window(), 99, 100, [](HWND w, UINT, UINT_PTR id, DWORD) {
        KillTimer(w, id);
        PostMessageW(w, WM_CLOSE, 0, 0);
      });
      spin(30);
      waited_out = !runtime::platform().closing();
    };
    PostMessageW(run.window(), WM_KEYDOWN, VK_SPACE, 0x00390001);
  }), 0);
  EXPECT_FALSE(waited_out);
  EXPECT_FALSE(IsWindowVisible(run.window()));
}
