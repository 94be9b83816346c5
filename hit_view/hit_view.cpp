#include "hit_view/hit_view.h"

#include "core/convert.h"
#include "core/runtime.h"
#include "game/mod_variable.h"
#include "hit_view/hit_view_layout.h"
#include "pitch_screen/diamond.h"

namespace {

constexpr int kMovesPerFlight = 200;
constexpr float kHomeRunDepthTwips = 4680;  // deeper is a home run, shallower an out
constexpr int kTwipsPerFoot = 10;
constexpr int kQuickSwingBonus = 5;
constexpr int kPowerPerStep = 4;

}  // namespace

HitViewForm::HitViewForm() : Form(kHitViewSettings, hit_view_layout()) {
  Timer1.on_tick = [this] { Timer1_Timer(); };
}

// Each load draws a new hit: power, sideways step and direction, in that
// order, after reseeding. A quick swing since the last load adds power.
void HitViewForm::Form_Load() {
  rtcRandomize();
  HitTOP = to_integer(random_draw() * 20 + 5);  // 5..25
  HitLEFT = to_integer(random_draw() * 9 + 1);  // 1..10
  LeftORRight = to_integer(random_draw() + 1);  // 1 or 2
  if (ModVariable.PowerSwing == kTrue) {
    HitTOP = HitTOP + kQuickSwingBonus;
    Powerlbl.Caption = to_text(HitTOP * kPowerPerStep);
    ModVariable.PowerSwing = kFalse;
  } else {
    Powerlbl.Caption = to_text(HitTOP * kPowerPerStep);
  }
  LenGTHBaLL = 0;
  OneHomer = kTrue;
  HitOver = kTrue;
}

// Clicks during the flight are ignored; after it, a click closes the view.
void HitViewForm::Form_Click() {
  if (LenGTHBaLL == kMovesPerFlight) Unload();
}

void HitViewForm::Form_Unload(Integer& /*Cancel*/) {
  Diamond().Outlbl.Caption = to_text(ModVariable.OutCount);
  ModVariable.SwingTaken = kFalse;
}

void HitViewForm::Timer1_Timer() {
  if (LenGTHBaLL == kMovesPerFlight)
    settle();
  else if (LenGTHBaLL < kMovesPerFlight)
    fly();
}

void HitViewForm::fly() {
  SmallBall.Top = SmallBall.Top + HitTOP;
  if (LeftORRight == 1) SmallBall.Left = SmallBall.Left + HitLEFT;
  if (LeftORRight == 2) SmallBall.Left = SmallBall.Left - HitLEFT;
  Distancelbl.Caption = single_to_text(SmallBall.Top / kTwipsPerFoot);
  LenGTHBaLL = LenGTHBaLL + 1;
}

// Runs on every tick after the flight. The flags count the home run and the
// out once per load; the banner and the longest hit are simply redone.
void HitViewForm::settle() {
  auto& m = ModVariable;
  const float depth = SmallBall.Top;
  if (depth > kHomeRunDepthTwips) {
    Typelbl.Visible = true;
    Typelbl.Caption = "Home Run!!";
    if (OneHomer == kTrue) {
      credit_active_player(m.HomeRuns1, m.HomeRuns2);
      OneHomer = kFalse;
    }
  }
  if (depth < kHomeRunDepthTwips && HitOver == kTrue) {
    HitOver = kFalse;  // first, so a tick inside the box below counts nothing
    m.OutCount = m.OutCount + 1;
    if (m.OutCount == 5) {
      swap_roles();
      m.OutCount = 0;
      m.BallCount = 0;
      m.StrikeCount = 0;
      announce_switch();
      advance_inning();
    }
  }
  // Weighed in single precision, stored as the double quotient. ActivePlayer
  // is read after a side switch, so a half's last out counts for the new side.
  const double feet = static_cast<double>(depth) / kTwipsPerFoot;
  const auto longer = [&](double record) { return static_cast<float>(feet) > static_cast<float>(record); };
  if (m.ActivePlayer == 1 && longer(m.LongDist1)) m.LongDist1 = feet;
  if (m.ActivePlayer == 2 && longer(m.LongDist2)) m.LongDist2 = feet;
}
