#include "game/mod_variable.h"

#include <memory>

#include "core/runtime.h"
#include "hit_view/hit_view.h"
#include "pitch_screen/diamond.h"
#include "pitch_screen/diamond_layout.h"
#include "stats_screen/stats.h"

namespace {

std::unique_ptr<DiamondForm> diamond;
std::unique_ptr<HitViewForm> hit_view;
std::unique_ptr<StatsForm> stats;

template <class F>
F& instance(std::unique_ptr<F>& slot) {
  if (!slot) slot = std::make_unique<F>();
  return *slot;
}

enum class Call { None, Strike, Ball };

// Only the ball's left edge is compared, against a band that runs from one
// zone width left of the zone to its right edge. Sums are single precision.
bool across(const Shape& ball, const Shape& zone) {
  return ball.Left <= zone.Left + zone.Width && ball.Left >= zone.Left - zone.Width;
}

bool down(const Shape& ball, const Shape& zone) {
  return ball.Top + ball.Height >= zone.Top && ball.Top <= zone.Top + zone.Height;
}

Call decide(const DiamondForm& d) {
  const Shape& ball = d.TheBall;
  if (ModVariable.SwingTaken == kFalse) {
    // The first band the ball is across decides, even if it is not yet down.
    if (across(ball, d.StrikeBox)) return down(ball, d.StrikeBox) ? Call::Strike : Call::None;
    if (across(ball, d.BallZone1)) return down(ball, d.BallZone1) ? Call::Ball : Call::None;
    if (across(ball, d.BallZone2)) return down(ball, d.BallZone2) ? Call::Ball : Call::None;
    return Call::None;
  }
  if (ModVariable.SwingTaken == kTrue && across(ball, d.PitchED) && down(ball, d.PitchED))
    return Call::Strike;
  return Call::None;
}

void strike_rules() {
  auto& m = ModVariable;
  credit_active_player(m.Strikes1, m.Strikes2);
  if (m.StrikeCount != 2) {
    m.StrikeCount = m.StrikeCount + 1;
    return;
  }
  m.OutCount = m.OutCount + 1;
  if (m.OutCount != 5) {
    m.StrikeCount = 0;
    m.BallCount = 0;
    return;
  }
  SwitchSides();
}

// A walk takes an out away; only with no outs left does it clear the count.
void ball_rules() {
  auto& m = ModVariable;
  if (m.BallCount != 3) {
    m.BallCount = m.BallCount + 1;
  } else if (m.OutCount == 0) {
    m.StrikeCount = 0;
    m.BallCount = 0;
  } else {
    m.OutCount = m.OutCount - 1;
  }
}

}  // namespace

void CallPitch() {
  DiamondForm& d = Diamond();
  const Call call = decide(d);
  if (call == Call::None) return;

  ModVariable.PitchType = 0;
  d.Timer1.Interval = 0;
  d.TheBall.Top = kHomeTop;
  d.TheBall.Left = kHomeLeft;
  ModVariable.SwingTaken = kFalse;
  d.Pitchlbl.Caption = call == Call::Strike ? "Strike" : "Ball";
  d.Pitchlbl.Visible = true;
  if (call == Call::Strike)
    strike_rules();
  else
    ball_rules();
}

void SwitchSides() {
  swap_roles();
  ModVariable.OutCount = 0;
  announce_switch();
  advance_inning();
  ModVariable.StrikeCount = 0;
  ModVariable.BallCount = 0;
}

void swap_roles() {
  DiamondForm& d = Diamond();
  if (ModVariable.ActivePlayer == 1) {
    ModVariable.ActivePlayer = 2;
    d.Play1lbl.Caption = "Batting";
    d.Play2lbl.Caption = "Pitching";
  } else if (ModVariable.ActivePlayer == 2) {
    ModVariable.ActivePlayer = 1;
    d.Play1lbl.Caption = "Pitching";
    d.Play2lbl.Caption = "Batting";
  }
}

void announce_switch() { rtcMsgBox("Switch Positions.", 0, "Switch Positions"); }

void advance_inning() {
  static constexpr const char* kNames[] = {"First", "Second", "Third", "Fourth", "Fifth"};
  auto& m = ModVariable;
  m.InningNum = m.InningNum + 1;
  if (m.InningNum < 2 || m.InningNum > 5) m.InningNum = 1;
  m.InningName = kNames[m.InningNum - 1];
}

void credit_active_player(Integer& player1, Integer& player2) {
  if (ModVariable.ActivePlayer == 1) add_one_capped(player1);
  if (ModVariable.ActivePlayer == 2) add_one_capped(player2);
}

DiamondForm& Diamond() { return instance(diamond); }
HitViewForm& HitView() { return instance(hit_view); }
StatsForm& Stats() { return instance(stats); }

std::vector<const Form*> screens_made() {
  std::vector<const Form*> made;
  if (diamond) made.push_back(diamond.get());
  if (hit_view) made.push_back(hit_view.get());
  if (stats) made.push_back(stats.get());
  return made;
}

void reset_process_state() {
  stats.reset();
  hit_view.reset();
  diamond.reset();
  ModVariable = GameState{};
}
