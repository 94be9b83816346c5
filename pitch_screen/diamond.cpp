#include "pitch_screen/diamond.h"

#include <chrono>
#include <cmath>
#include <cstdint>

#include "core/convert.h"
#include "core/forms/keys.h"
#include "core/runtime.h"
#include "game/mod_variable.h"
#include "hit_view/hit_view.h"
#include "pitch_screen/diamond_layout.h"
#include "stats_screen/stats.h"

namespace {

constexpr double kNormalSwingSeconds = 0.3;
constexpr double kQuickSwingSeconds = 0.1;
constexpr float kSecondsPerDay = 86400;

constexpr float kRestWidth = 135, kRestHeight = 1455;
constexpr float kSwingWidth = 1455, kSwingHeight = 135;

constexpr float kPitchStepTwips = 100;
constexpr float kRiseStepTwips = 50;
constexpr int kHandOverTick = 35;

}  // namespace

DiamondForm::DiamondForm() : Form(kDiamondSettings, diamond_layout()) {
  Timer1.on_tick = [this] { Timer1_Timer(); };
  Label5.on_click = [this] { Label5_Click(); };
}

void DiamondForm::Form_Load() {
  auto& m = ModVariable;
  m.PowerSwing = kFalse;
  m.ActivePlayer = 1;
  m.SwingTaken = kFalse;
  m.BallHit = kFalse;
  m.HitTicks = 0;
  m.StrikeCount = 0;
  m.OutCount = 0;
  m.InningNum = 1;
  m.InningName = "First";
}

// Keypad 7, 8 and 9 throw pitches 1, 2 and 3; Space swings, and either Shift
// swings quickly with more power, unless a swing is already taken.
constexpr std::array<DiamondForm::KeyBinding, 5> DiamondForm::kKeyBindings{{
    {vk::kNumpad7, [](DiamondForm& d) { d.throw_pitch(1); }},
    {vk::kNumpad8, [](DiamondForm& d) { d.throw_pitch(2); }},
    {vk::kNumpad9, [](DiamondForm& d) { d.throw_pitch(3); }},
    {vk::kSpace,
     [](DiamondForm& d) {
       if (ModVariable.SwingTaken == kFalse) d.swing(kNormalSwingSeconds);
     }},
    {vk::kShift,
     [](DiamondForm& d) {
       if (ModVariable.SwingTaken == kFalse) {
         ModVariable.PowerSwing = kTrue;
         d.swing(kQuickSwingSeconds);
       }
     }},
}};

constexpr std::array<int, 5> kDiamondKeys = [] {
  std::array<int, 5> keys{};
  for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = DiamondForm::kKeyBindings[i].key;
  return keys;
}();

void DiamondForm::Form_KeyDown(Integer KeyCode, Integer /*Shift*/) {
  for (const KeyBinding& binding : kKeyBindings)
    if (binding.key == KeyCode) binding.act(*this);
}

// A pitch key is never refused; the ball goes on from wherever it is.
void DiamondForm::throw_pitch(int kind) {
  if (kind != 2) {
    rtcRandomize();
    ModVariable.SideStep = to_integer(50 * random_draw() + 1);  // 1..51
  }
  ModVariable.PitchType = kind;
  Timer1.Interval = 1;
  Pitchlbl.Visible = false;
}

// The shape changes before Swinging is set and is restored only after it is
// cleared, so a tick never sees Swinging with the bat at rest. A second swing
// key inside the wait starts a whole swing inside it, as SwingTaken is set
// only when a swing ends.
void DiamondForm::swing(double seconds) {
  Bat.Width = kSwingWidth;
  Bat.Height = kSwingHeight;
  ModVariable.Swinging = kTrue;
  TimeOut(seconds, [this] {
    ModVariable.Swinging = kFalse;
    Bat.Width = kRestWidth;
    Bat.Height = kRestHeight;
    ModVariable.SwingTaken = kTrue;
  });
}

namespace {

// The clock counts seconds since midnight and falls back to 0 there.
float seconds_since(float start) {
  const float elapsed = rtcGetTimer() - start;
  return elapsed < 0 ? elapsed + kSecondsPerDay : elapsed;
}

}  // namespace

void DiamondForm::TimeOut(double duration, std::function<void()> then) {
  waits_.push_back({rtcGetTimer(), duration, std::move(then)});
  if (waits_.size() > 1) return;  // the running loop below waits this one out first
  Platform& platform = runtime::platform();
  while (!waits_.empty()) {
    const Wait& innermost = waits_.back();
    const double left = innermost.duration - seconds_since(innermost.start);
    if (!platform.closing() && left > 0) {
      // Nothing is due before the wait is over but what the platform brings.
      platform.do_events(std::chrono::microseconds(static_cast<std::int64_t>(std::ceil(left * 1e6))));
      continue;
    }
    const std::function<void()> over = std::move(waits_.back().then);
    waits_.pop_back();
    if (over) over();
    // A nested wait would now return into the event pump that delivered its
    // key, which finishes what is pending, without waiting for more, before
    // the outer wait reads the clock again.
    if (!waits_.empty() && !platform.closing()) platform.run_pending_events();
  }
}

void DiamondForm::Label5_Click() { Stats().Show(); }

void DiamondForm::Timer1_Timer() {
  if (bat_meets_ball()) contact();
  if (ModVariable.BallHit == kTrue) move_hit_ball();
  move_pitch();
  write_count_labels();
}

// Only the ball's left edge is tested across, against a window one bat width
// to each side of the bat's left edge; down is the overlap of the two heights.
bool DiamondForm::bat_meets_ball() const {
  const bool across = Bat.Left + Bat.Width >= TheBall.Left && Bat.Left - Bat.Width <= TheBall.Left;
  if (!across) return false;
  const bool down = TheBall.Top + TheBall.Height >= Bat.Top && Bat.Top + Bat.Height >= TheBall.Top;
  return down && ModVariable.Swinging == kTrue;
}

void DiamondForm::contact() {
  auto& m = ModVariable;
  m.BallHit = kTrue;
  m.PitchType = 0;
  rtcRandomize();
  m.HitSide = to_integer(random_draw() + 1);        // 1 or 2
  m.SideStep = to_integer(39 * random_draw() + 1);  // 1..40
  credit_active_player(m.Hits1, m.Hits2);
}

void DiamondForm::move_hit_ball() {
  auto& m = ModVariable;
  if (m.HitSide == 1) {
    TheBall.Top = TheBall.Top - kRiseStepTwips;
    TheBall.Left = TheBall.Left + m.SideStep;
  } else if (m.HitSide == 2) {
    TheBall.Top = TheBall.Top - kRiseStepTwips;
    TheBall.Left = TheBall.Left - m.SideStep;
  }
  m.HitTicks = m.HitTicks + 1;
  if (m.HitTicks == kHandOverTick) hand_over();
}

void DiamondForm::hand_over() {
  auto& m = ModVariable;
  m.BallHit = kFalse;
  m.HitTicks = 0;
  m.PitchType = 0;
  Timer1.Interval = 0;
  TheBall.Top = kHomeTop;
  TheBall.Left = kHomeLeft;
  // Only a ball drifting right clears the strikes and the swing here.
  if (m.HitSide == 1) {
    m.StrikeCount = 0;
    m.SwingTaken = kFalse;
  }
  HitView().Show();
}

void DiamondForm::move_pitch() {
  auto& m = ModVariable;
  switch (m.PitchType) {
    case 1:
      TheBall.Top = TheBall.Top + kPitchStepTwips;
      TheBall.Left = TheBall.Left - m.SideStep;
      break;
    case 2: TheBall.Top = TheBall.Top + kPitchStepTwips; break;
    case 3:
      TheBall.Top = TheBall.Top + kPitchStepTwips;
      TheBall.Left = TheBall.Left + m.SideStep;
      break;
    default: return;
  }
  CallPitch();
}

void DiamondForm::write_count_labels() {
  const auto& m = ModVariable;
  Strikelbl.Caption = to_text(m.StrikeCount);
  Outlbl.Caption = to_text(m.OutCount);
  Inninglbl.Caption = m.InningName;
  BaLLlbl.Caption = to_text(m.BallCount);
}
