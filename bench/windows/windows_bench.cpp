// The Windows platform's figures under Wine, one per run:
//   start            the game to its first drawn frame (as bare_window)
//   cadence SECONDS  a timer at Interval 1: rate and lateness
//   flight           CPU during a hit's flight (200 ticks)
//   swing            CPU during a swing's 0.3 s wait, a pitch in flight
#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "bench/windows/first_paint.h"
#include "core/forms/form.h"
#include "core/forms/keys.h"
#include "core/windows/windows_platform.h"
#include "game/mod_variable.h"
#include "hit_view/hit_view.h"
#include "pitch_screen/diamond.h"

namespace {

using Clock = std::chrono::steady_clock;

double cpu_seconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto value = [](const FILETIME& t) {
    return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return value(kernel) + value(user);
}

constexpr auto kRows = std::to_array<ControlRow>({{.name = "Ticker", .kind = Kind::Timer}});
constexpr FormSettings kSettings{
    .name = "Cadence", .caption = "Cadence", .client_width = 1500, .client_height = 1500, .takes_keys = true};

class CadenceForm final : public Form {
 public:
  CadenceForm() : Form(kSettings, kRows) {
    ticker.on_tick = [this] { ticks.push_back(Clock::now()); };
  }
  Timer& ticker = timer("Ticker");
  std::vector<Clock::time_point> ticks;
};

// Each tick's offset from the nearest slot of an ideal 64 Hz schedule,
// measured from the best-kept slot, so that lateness is never negative.
void cadence(WindowsPlatform& platform, int seconds) {
  CadenceForm form;
  form.Show();
  form.ticker.Interval = 1;
  const auto end = Clock::now() + std::chrono::seconds(seconds);
  watch_events([&] {
    if (Clock::now() >= end) platform.quit();
  });
  platform.run(form);
  const std::vector<Clock::time_point>& ticks = form.ticks;
  std::vector<double> lateness;
  for (const auto& t : ticks) {
    const double since = std::chrono::duration<double, std::milli>(t - ticks.front()).count();
    lateness.push_back(since - std::round(since / 15.625) * 15.625);
  }
  std::sort(lateness.begin(), lateness.end());
  const double earliest = lateness.front();
  for (double& l : lateness) l -= earliest;
  const auto pct = [&](double p) { return lateness[static_cast<std::size_t>(p * (lateness.size() - 1))]; };
  const double span = std::chrono::duration<double>(ticks.back() - ticks.front()).count();
  std::printf("game timer, Interval 1: %.3f Hz   lateness p50 %.3f ms  p99 %.3f ms  max %.3f ms\n",
              (ticks.size() - 1) / span, pct(0.5), pct(0.99), lateness.back());
}

void flight(WindowsPlatform& platform) {
  ModVariable.PowerSwing = 0;
  Diamond().Show();
  const auto start = Clock::now();
  const double cpu = cpu_seconds();
  HitView().Show();
  watch_events([&] {
    if (HitView().LenGTHBaLL >= 200) platform.quit();
  });
  platform.run(Diamond());
  const double used = cpu_seconds() - cpu;
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("hit flight (200 ticks): %.2f s wall, %.1f ms CPU = %.2f %% of one core\n", wall, used * 1000,
              100 * used / wall);
}

void swing() {
  Diamond().Show();
  rtcDoEvents();
  Diamond().key_down(vk::kNumpad8);  // a pitch in flight, so ticks repaint during the wait
  const auto start = Clock::now();
  const double cpu = cpu_seconds();
  Diamond().key_down(vk::kSpace);
  const double used = cpu_seconds() - cpu;
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("swing wait (0.3 s): %.3f s wall, %.1f ms CPU = %.1f %% of one core\n", wall, used * 1000,
              100 * used / wall);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view mode = argc > 1 ? argv[1] : "start";
  WindowsPlatform platform(GetModuleHandleW(nullptr));
  if (mode == "start") {
    Diamond().Show();
    rtcDoEvents();  // paints what changed before it waits
    report_first_paint();
  } else if (mode == "cadence") {
    cadence(platform, argc > 2 ? std::atoi(argv[2]) : 5);
  } else if (mode == "flight") {
    flight(platform);
  } else if (mode == "swing") {
    swing();
  }
  return 0;
}
