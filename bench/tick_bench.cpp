// What one tick of each timer handler costs, on the scripted platform so
// that nothing is drawn: the game's own work per tick.
#include <benchmark/benchmark.h>

#include "game/mod_variable.h"
#include "hit_view/hit_view.h"
#include "pitch_screen/diamond.h"
#include "tests/support/scripted_platform.h"

namespace {

struct FreshGame {
  FreshGame() {
    reset_process_state();
    Diamond().Show();
  }
  ~FreshGame() { reset_process_state(); }
  ScriptedPlatform platform;
};

// A breaking pitch in mid-flight: the contact test, the move, the umpire
// finding nothing to call, and the four labels.
void PitchScreenTickWithAPitchInFlight(benchmark::State& state) {
  FreshGame game;
  DiamondForm& d = Diamond();
  d.Timer1.Interval = 1;
  ModVariable.SideStep = 7;
  for (auto _ : state) {
    ModVariable.PitchType = 1;
    d.TheBall.Top = 2000;
    d.TheBall.Left = 2880;
    d.Timer1.tick();
  }
}
BENCHMARK(PitchScreenTickWithAPitchInFlight);

// The umpire on a ball at the plate line: a called strike and its count.
void CallPitchCallingAStrike(benchmark::State& state) {
  FreshGame game;
  DiamondForm& d = Diamond();
  for (auto _ : state) {
    ModVariable.StrikeCount = 0;
    ModVariable.PitchType = 2;
    d.TheBall.Top = 4880;
    CallPitch();
  }
}
BENCHMARK(CallPitchCallingAStrike);

// One move of a batted ball in the hit view, with its distance label.
void HitViewTickInFlight(benchmark::State& state) {
  FreshGame game;
  HitViewForm& view = HitView();
  view.Show();
  for (auto _ : state) {
    view.LenGTHBaLL = 100;
    view.SmallBall.Top = 2000;
    view.Timer1.tick();
  }
}
BENCHMARK(HitViewTickInFlight);

}  // namespace
