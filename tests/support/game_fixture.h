// A freshly started game on the scripted platform, with helpers that speak
// the game's language: throw a pitch, swing at a given tick, run ticks.
#pragma once

#include <gtest/gtest.h>

#include "game/mod_variable.h"
#include "hit_view/hit_view.h"
#include "pitch_screen/diamond.h"
#include "stats_screen/stats.h"
#include "tests/support/scripted_platform.h"

inline constexpr int kKeyPad7 = 103, kKeyPad8 = 104, kKeyPad9 = 105;
inline constexpr int kKeySpace = 32, kKeyShift = 16;
inline constexpr int kTicksToCallAPitch = 44;  // 480 + 44 * 100 = 4880

class GameTest : public ::testing::Test {
 protected:
  explicit GameTest(double start_seconds = 12 * 3600.0) : platform(start_seconds) {
    reset_process_state();
    Diamond().Show();
  }
  ~GameTest() override { reset_process_state(); }

  DiamondForm& d() { return Diamond(); }
  GameState& m() { return ModVariable; }

  void press(int code) { platform.key(Diamond(), code); }
  void ticks(int n) { platform.advance_ticks(n); }

  // Keypad 7 or 9 with the random draw that gives this break (1..51).
  void pitch_with_break(int key, int side_step) {
    platform.force_random({static_cast<float>(side_step - 1) / 50});
    press(key);
  }
  void straight_pitch() { press(kKeyPad8); }

  // A swing key that arrives `after_ticks` tick periods from now.
  void swing_after(double after_ticks, int key = kKeySpace) {
    platform.queue_key(
        platform.now_micros() + static_cast<std::int64_t>(after_ticks * ScriptedPlatform::kTickMicros),
        Diamond(), key);
  }

  // Straight pitches, not swung at, each called a strike.
  void called_strikes(int n) {
    for (int i = 0; i < n; ++i) {
      straight_pitch();
      ticks(kTicksToCallAPitch);
    }
  }

  // A straight pitch met on its 31st tick (after 30 moves, Top 3480), flown
  // up the screen until the hand-over opens the hit view.
  void hit_straight_pitch(float hit_side_draw = 0.25f, int key = kKeySpace) {
    straight_pitch();
    swing_after(30.5, key);
    platform.force_random({hit_side_draw, 0.0f});
    ticks(31 + 34);
  }

  ScriptedPlatform platform;
};
