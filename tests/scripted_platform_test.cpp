// The scripted platform keeps the timing rules the game relies on.
#include "tests/support/scripted_platform.h"

#include <gtest/gtest.h>

#include "core/forms/form.h"

namespace {

constexpr auto kRows = std::to_array<ControlRow>({{.name = "Timer1", .kind = Kind::Timer}});
constexpr FormSettings kSettings{.name = "Probe", .client_width = 1500, .client_height = 1500};

// A form with one timer whose ticks are counted; a tick may run a nested wait.
class Probe final : public Form {
 public:
  Probe() : Form(kSettings, kRows) {
    ticker.on_tick = [this] {
      ++ticks;
      if (nested_wait) nested_wait();
    };
  }
  Timer& ticker = timer("Timer1");
  int ticks = 0;
  int keys = 0;
  std::function<void()> nested_wait;

 protected:
  void Form_KeyDown(Integer, Integer) override { ++keys; }
};

void spin(double seconds) {
  const float start = rtcGetTimer();
  while (rtcGetTimer() - start < seconds) rtcDoEvents();
}

}  // namespace

// The tick schedule every platform with its own loop shares (the browser's
// too): a handler busy for five periods misses four ticks, which merge into
// the next one instead of running in a burst.
TEST(ScriptedPlatform, TicksMissedWhileAHandlerIsBusyMergeIntoOne) {
  ScriptedPlatform platform;
  Probe probe;
  probe.Show();
  probe.nested_wait = [&] {
    if (probe.ticks == 1) platform.stall_micros(5 * 15'625);
  };
  probe.ticker.Interval = 1;
  platform.advance_micros(15'625);  // the first tick, then busy until 6 periods
  EXPECT_EQ(probe.ticks, 1);
  platform.advance_micros(15'625);  // one for the four missed, then 7 periods' own
  EXPECT_EQ(probe.ticks, 3);
}

TEST(ScriptedPlatform, IntervalOneTicksSixtyFourTimesAVirtualSecond) {
  ScriptedPlatform platform;
  Probe probe;
  probe.Show();
  probe.ticker.Interval = 1;
  platform.advance_micros(1'000'000);
  EXPECT_EQ(probe.ticks, 64);
  probe.ticker.Interval = 20;  // rounds up to two ticks: 31.25 ms
  platform.advance_micros(1'000'000);
  EXPECT_EQ(probe.ticks, 64 + 32);
  probe.ticker.Interval = 0;
  platform.advance_micros(1'000'000);
  EXPECT_EQ(probe.ticks, 96);
}

TEST(ScriptedPlatform, TicksRunInsideAnEventPumpingWaitButNeverReenter) {
  ScriptedPlatform platform;
  Probe probe;
  probe.Show();
  probe.ticker.Interval = 1;
  int inner_ticks = 0;
  probe.nested_wait = [&] {
    probe.nested_wait = nullptr;  // only the first tick waits
    const int before = probe.ticks;
    spin(0.3);
    inner_ticks = probe.ticks - before;
  };
  platform.advance_ticks(1);
  // The timer's own handler is running, so its ticks due in the wait drop.
  EXPECT_EQ(inner_ticks, 0);
  EXPECT_EQ(probe.ticks, 1);

  // Outside its own handler, a wait runs the timer's ticks: 0.3 s holds 19.
  const int before = probe.ticks;
  spin(0.3);
  EXPECT_EQ(probe.ticks - before, 19);
}

TEST(ScriptedPlatform, UnloadStopsTheTicksAndInputWaitsBehindAModalBox) {
  ScriptedPlatform platform;
  Probe probe;
  probe.Show();
  probe.ticker.Interval = 1;
  platform.queue_key(platform.now_micros() + 1000, probe, 32);
  platform.while_box_open = [&] {
    platform.advance_ticks(3);
    EXPECT_EQ(probe.ticks, 3);  // ticks run while the box is open
    EXPECT_EQ(probe.keys, 0);   // the key waits for the box to close
  };
  rtcMsgBox("prompt", 0, "title");
  platform.advance_micros(0);
  EXPECT_EQ(probe.keys, 1);
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].title, "title");
  probe.Unload();
  platform.advance_ticks(10);
  EXPECT_EQ(probe.ticks, 3);
}
