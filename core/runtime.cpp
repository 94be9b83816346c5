#include "core/runtime.h"

#include <chrono>
#include <ctime>

#include "core/random.h"

namespace {

// Forms load and run on it, but no window is shown and waits do not pump.
class HeadlessPlatform final : public Platform {
 public:
  void do_events(std::chrono::microseconds) override {}
  void run_pending_events() override {}
  void message_box(std::string_view, std::string_view) override {}
  void show_form(Form&) override {}
  void hide_form(Form&) override {}
  void timer_changed(Timer&) override {}
  void invalidate(Form&, const Bounds&) override {}
};

// Never destroyed: forms that outlive main() still reach it from their
// destructors during static destruction.
Platform& headless() {
  static auto* const platform = new HeadlessPlatform;
  return *platform;
}

Platform* installed = nullptr;
RandomSource generator;
// What the generator's state follows from: its last seed and the draws since.
std::uint64_t last_seed = 1, draws = 0;
bool seeded = false;  // by a test, or else from the platform's clock at the first draw
int open_boxes = 0;

Platform& current() { return installed ? *installed : headless(); }

}  // namespace

namespace runtime {

float local_seconds_since_midnight() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t whole = system_clock::to_time_t(now);
  // The game reads the clock from one thread only.
  const std::tm local = *std::localtime(&whole);
  const double fraction = duration<double>(now - system_clock::from_time_t(whole)).count();
  return static_cast<float>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec + fraction);
}

void seed(std::uint64_t seed) {
  reseed(seed);
  seeded = true;
}

void reseed(std::uint64_t seed) {
  generator.reseed(seed);
  last_seed = seed;
  draws = 0;
}

std::pair<std::uint64_t, std::uint64_t> generator_state() { return {last_seed, draws}; }

bool message_box_open() { return open_boxes > 0; }

Platform& platform() { return current(); }

}  // namespace runtime

// Every platform is the process's from when it is made until it goes.
Platform::Platform() {
  installed = this;
  seeded = false;
}

Platform::~Platform() {
  if (installed == this) installed = nullptr;
}

float Platform::seconds_since_midnight() { return runtime::local_seconds_since_midnight(); }

std::uint64_t Platform::clock_seed() {
  return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

float Platform::next_random() {
  if (!seeded) runtime::seed(clock_seed());
  ++draws;
  return generator.next();
}

float rtcGetTimer() { return current().seconds_since_midnight(); }

void rtcDoEvents() { current().do_events(kMaxIdleWait); }

void rtcRandomize() { runtime::reseed(current().clock_seed()); }

float rtcRandomNext() { return current().next_random(); }

Integer rtcMsgBox(std::string_view prompt, int /*buttons*/, std::string_view title) {
  ++open_boxes;
  current().message_box(prompt, title);
  --open_boxes;
  return 1;  // the OK button
}
