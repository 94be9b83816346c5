// Figures of the Qt platform: timer cadence against plain Qt timers, wake-ups
// while nothing moves, CPU during a hit's flight and a swing's wait, and peak
// memory. Prints figures; never fails on a number.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

#include "core/forms/form.h"
#include "core/qt/platform_choice.h"
#include "core/qt/qt_platform.h"
#include "core/forms/keys.h"
#include "game/mod_variable.h"
#include "hit_view/hit_view.h"
#include "pitch_screen/diamond.h"
#include "stats_screen/stats.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kRows = std::to_array<ControlRow>({
    {.name = "Timer1", .kind = Kind::Timer},
    {.name = "Dot", .kind = Kind::Circle, .box = {0, 1000, 255, 255}, .fill = kWhite},
});
constexpr FormSettings kSettings{.name = "Cadence",
                                 .caption = "Cadence",
                                 .client_width = 6000,
                                 .client_height = 3000,
                                 .background = kBlack};

// A form whose timer moves a dot, so that every tick also repaints.
class CadenceForm final : public Form {
 public:
  CadenceForm() : Form(kSettings, kRows) {
    ticker.on_tick = [this] {
      ticks.push_back(Clock::now());
      dot.Left = dot.Left >= 5700 ? 0.f : dot.Left + 100;
    };
  }
  Timer& ticker = timer("Timer1");
  Shape& dot = shape("Dot");
  std::vector<Clock::time_point> ticks;
};

void report_cadence(const char* name, const std::vector<Clock::time_point>& ticks,
                    std::chrono::nanoseconds period) {
  if (ticks.size() < 3) {
    std::printf("%-24s too few ticks\n", name);
    return;
  }
  // Each tick's offset from the nearest slot of an ideal schedule, measured
  // from the schedule's best-kept slot, so that lateness is never negative.
  std::vector<double> lateness_ms;
  const double period_ms = std::chrono::duration<double, std::milli>(period).count();
  for (const auto& t : ticks) {
    const double since = std::chrono::duration<double, std::milli>(t - ticks.front()).count();
    lateness_ms.push_back(since - std::round(since / period_ms) * period_ms);
  }
  std::sort(lateness_ms.begin(), lateness_ms.end());
  const double earliest = lateness_ms.front();
  for (double& l : lateness_ms) l -= earliest;
  const auto pct = [&](double p) { return lateness_ms[static_cast<size_t>(p * (lateness_ms.size() - 1))]; };
  const double seconds = std::chrono::duration<double>(ticks.back() - ticks.front()).count();
  std::printf("%-24s %8.3f Hz   lateness p50 %6.3f ms  p99 %6.3f ms  max %6.3f ms\n", name,
              (ticks.size() - 1) / seconds, pct(0.5), pct(0.99), lateness_ms.back());
}

double cpu_seconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop for a while.
void run_for(std::chrono::milliseconds duration) {
  QTimer::singleShot(duration, qApp, [] { QApplication::exit(0); });
  QApplication::exec();
}

void cadence(std::chrono::seconds duration) {
  CadenceForm form;
  form.Show();
  std::vector<Clock::time_point> qt15, qt16;
  QTimer timer15, timer16;
  for (auto [timer, ticks, ms] : {std::tuple{&timer15, &qt15, 15}, std::tuple{&timer16, &qt16, 16}}) {
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, [ticks] { ticks->push_back(Clock::now()); });
    timer->start(ms);
  }
  form.ticker.Interval = 1;
  run_for(duration);
  form.Unload();
  report_cadence("game timer, Interval 1", form.ticks, 15'625'000ns);
  report_cadence("QTimer 15 ms (precise)", qt15, 15ms);
  report_cadence("QTimer 16 ms (precise)", qt16, 16ms);
}

// Counts every event the application delivers while nothing moves.
class EventCounter final : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    ++all;
    timers += event->type() == QEvent::Timer;
    return false;
  }
  long all = 0, timers = 0;
};

void idle(std::chrono::seconds duration) {
  Diamond().Show();
  Stats().Show();
  run_for(500ms);  // let the windows settle
  EventCounter counter;
  qApp->installEventFilter(&counter);
  const double cpu = cpu_seconds();
  QTimer::singleShot(duration, qApp, [] { QApplication::exit(0); });
  QApplication::exec();
  qApp->removeEventFilter(&counter);
  // The single-shot that ends the wait is the one timer event expected.
  std::printf("idle %llds, windows open:  %ld timer events (1 is the bench's own), %ld events, CPU %.1f ms\n",
              static_cast<long long>(duration.count()), counter.timers, counter.all,
              (cpu_seconds() - cpu) * 1000);
  Stats().Unload();
}

void hit_flight() {
  ModVariable.PowerSwing = 0;
  QElapsedTimer wall;
  wall.start();
  const double cpu = cpu_seconds();
  HitView().Show();
  while (HitView().LenGTHBaLL < 200) run_for(50ms);
  const double used = cpu_seconds() - cpu;
  std::printf("hit flight (200 ticks): %.2f s wall, %.1f ms CPU = %.2f %% of one core\n",
              wall.elapsed() / 1000.0, used * 1000, 100 * used / (wall.elapsed() / 1000.0));
  HitView().Unload();
}

void swing_wait() {
  double used = 0, seconds = 0;
  QTimer::singleShot(0, qApp, [&] {
    Diamond().key_down(vk::kNumpad8);  // a pitch in flight, so ticks repaint during the wait
    QElapsedTimer wall;
    wall.start();
    const double cpu = cpu_seconds();
    Diamond().key_down(vk::kSpace);
    used = cpu_seconds() - cpu;
    seconds = wall.elapsed() / 1000.0;
    QApplication::exit(0);
  });
  QApplication::exec();
  std::printf("swing wait (0.3 s): %.3f s wall, %.1f ms CPU = %.1f %% of one core\n", seconds, used * 1000,
              100 * used / seconds);
  run_for(1s);  // the pitch is called
}

}  // namespace

int main(int argc, char** argv) {
  set_qt_environment({argv, static_cast<std::size_t>(argc)});  // as the game starts Qt
  QApplication app(argc, argv);
  QtPlatform platform;
  std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
  // "flight N": only N hits' flights, for a profiler to look at.
  if (argc > 2 && std::string_view(argv[1]) == "flight") {
    for (int i = std::atoi(argv[2]); i > 0; --i) hit_flight();
    return 0;
  }
  const auto seconds = std::chrono::seconds(argc > 1 ? std::atoi(argv[1]) : 10);
  cadence(seconds);
  idle(5s);
  hit_flight();
  swing_wait();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak resident memory: %.1f MB\n", usage.ru_maxrss / 1024.0);
  return 0;
}
