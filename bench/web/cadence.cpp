// The web platform's timer cadence: a form whose timer, at Interval 1, moves
// a dot (so every tick also repaints) and records when it ticks, for the
// page to compare with a plain setInterval. start_cadence(seconds) runs it.
#include <emscripten.h>

#include <array>
#include <vector>

#include "core/forms/form.h"
#include "core/web/page.h"
#include "core/web/web_platform.h"

namespace {

constexpr auto kRows = std::to_array<ControlRow>({
    {.name = "Timer1", .kind = Kind::Timer, .interval = 1},
    {.name = "Dot", .kind = Kind::Circle, .box = {0, 1000, 255, 255}, .fill = kWhite},
});
constexpr FormSettings kSettings{.name = "Cadence",
                                 .caption = "Cadence",
                                 .client_width = 6000,
                                 .client_height = 3000,
                                 .background = kBlack,
                                 .takes_keys = true};

EM_JS(void, report_ticks, (const double* times, int count),
      { Module.ticks = Array.from(HEAPF64.subarray(times >> 3, (times >> 3) + count)); });

class CadenceForm final : public Form {
 public:
  explicit CadenceForm(double seconds) : Form(kSettings, kRows), seconds_(seconds) {
    ticker.on_tick = [this] {
      ticks_.push_back(page_now());
      dot.Left = dot.Left >= 5700 ? 0.f : dot.Left + 100;
      if (ticks_.back() - ticks_.front() >= seconds_ * 1000) {
        ticker.Interval = 0;
        report_ticks(ticks_.data(), static_cast<int>(ticks_.size()));
      }
    };
  }

 private:
  double seconds_;
  std::vector<double> ticks_;
  Timer& ticker = timer("Timer1");
  Shape& dot = shape("Dot");
};

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void start_cadence(double seconds) {
  static WebPlatform platform;
  static CadenceForm form(seconds);
  platform.run(form);
}
