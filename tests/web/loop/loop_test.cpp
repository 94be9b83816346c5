// The web platform's own loop, under Node against a scripted page
// (fake_page.js): a virtual clock and events that arrive at given times.
// One run plays a script and checks, at its end, that a stall merges late
// ticks, that ticks go on while the box is open and the box returns only
// when it is dismissed, that events are dispatched in order inside a
// swing's wait, that a tick's drawing is done before the program suspends,
// and then that the idle program waits on nothing.
#include <emscripten.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "core/forms/form.h"
#include "core/runtime.h"
#include "core/web/page.h"
#include "core/web/web_platform.h"

extern "C" {
void fake_arrive(double at_ms, int kind, double a, double b, double c);
void fake_stall(double ms);
void fake_verdict(int failed);
int fake_waits();
bool fake_painted_during(int wait);
}

namespace {

constexpr int kBox = 'B', kSwing = 'S', kVerify = 'V';
constexpr double kBoxOpenMs = 500, kBoxClosedMs = 700, kSwingMs = 1000, kVerifyMs = 2000;
constexpr double kPeriodMs = 15.625;

constexpr auto kRows = std::to_array<ControlRow>({{.name = "Timer1", .kind = Kind::Timer, .interval = 1},
                                                  {.name = "Countlbl", .box = {0, 0, 600, 255}}});
constexpr FormSettings kSettings{
    .name = "Loop", .client_width = 1500, .client_height = 1500, .takes_keys = true};

class Loop final : public Form {
 public:
  Loop() : Form(kSettings, kRows) {
    ticker.on_tick = [this] {
      ticks.push_back(page_now());
      if (ticks.size() == 3) fake_stall(5 * kPeriodMs + 2.5);  // busy past five more ticks
      if (ticks.size() == 10) painted_tick_wait = fake_waits();
      if (ticks.size() == 11) tick_painted_before_wait = fake_painted_during(painted_tick_wait);
      count.Caption = std::to_string(ticks.size());
    };
  }

  Timer& ticker = timer("Timer1");
  Label& count = label("Countlbl");
  std::vector<double> ticks;
  int painted_tick_wait = -1;
  bool tick_painted_before_wait = false;
  double box_returned_ms = 0;
  std::string keys_in_wait;
  double wait_ended_ms = 0;
  bool waiting = false;

 protected:
  void Form_KeyDown(Integer KeyCode, Integer) override {
    const int key = KeyCode;
    if (waiting) keys_in_wait += static_cast<char>(key);
    if (key == kBox) {
      rtcMsgBox("Switch Positions.", 0, "Switch Positions");
      box_returned_ms = page_now();
    } else if (key == kSwing) {
      // A swing's wait, as the pitch screen's: read the clock, pump events.
      waiting = true;
      const float start = rtcGetTimer();
      while (rtcGetTimer() - start < 0.3f) rtcDoEvents();
      waiting = false;
      wait_ended_ms = page_now();
    } else if (key == kVerify) {
      ticker.Interval = 0;
      verify();
    }
  }

 private:
  int ticks_within(double from, double to) const {
    int n = 0;
    for (const double t : ticks) n += t > from && t <= to;
    return n;
  }
  void check(bool holds, const std::string& what) {
    std::printf("%s: %s\n", holds ? "ok" : "FAIL", what.c_str());
    (holds ? passed_ : failed_) += 1;
  }
  void verify() {
    // Ticks at 1, 2 and 3 periods; the third is busy until 5.5 periods
    // later, so the five that fell due meanwhile run as one, at once, and
    // the schedule goes on at 9 periods.
    check(ticks.size() > 5 && ticks[3] == 3 * kPeriodMs + 5 * kPeriodMs + 2.5 && ticks[4] == 9 * kPeriodMs,
          "after a stall the late ticks merge into one and the schedule goes on");
    check(ticks_within(kBoxOpenMs, kBoxClosedMs) >= 12,
          "ticks go on while the box is open: " + std::to_string(ticks_within(kBoxOpenMs, kBoxClosedMs)));
    check(box_returned_ms >= kBoxClosedMs,
          "the box returns only when it is dismissed, at " + std::to_string(box_returned_ms) + " ms");
    // The wait reads single-precision seconds since midnight, a few
    // milliseconds apart at ten in the morning.
    check(keys_in_wait == "ACD" && wait_ended_ms >= kSwingMs + 295 &&
              ticks_within(kSwingMs, kSwingMs + 300) >= 18,
          "inside a swing's wait the keys arrive in order (" + keys_in_wait + ") and " +
              std::to_string(ticks_within(kSwingMs, kSwingMs + 300)) + " ticks run until " +
              std::to_string(wait_ended_ms) + " ms");
    check(tick_painted_before_wait, "a tick's drawing is done before the program suspends again");
    std::printf("%d passed, %d failed\n", passed_, failed_);
    fake_verdict(failed_);
  }

  int passed_ = 0, failed_ = 0;
};

}  // namespace

int main() {
  fake_arrive(kBoxOpenMs, kPageKey, kBox, 0, 0);
  fake_arrive(kBoxClosedMs, kPageBoxClosed, 1, 0, 0);
  fake_arrive(kSwingMs, kPageKey, kSwing, 0, 0);
  fake_arrive(kSwingMs + 50, kPageKey, 'A', 0, 0);
  fake_arrive(kSwingMs + 60, kPageKey, 'C', 0, 0);
  fake_arrive(kSwingMs + 60, kPageKey, 'D', 0, 0);
  fake_arrive(kVerifyMs, kPageKey, kVerify, 0, 0);
  static WebPlatform platform;
  static Loop form;
  platform.run(form);
}
