// Pitches, swings, contact and the hand-over on the pitch screen.
#include <map>

#include "tests/support/game_fixture.h"

namespace {

class PitchScreen : public GameTest {};

}  // namespace

TEST_F(PitchScreen, LoadSetsTheStartingStateAndNoTimerTicks) {
  EXPECT_EQ(m().ActivePlayer, 1);
  EXPECT_EQ(m().InningNum, 1);
  EXPECT_EQ(m().InningName, "First");
  EXPECT_EQ(m().OutCount, 0);
  EXPECT_FALSE(platform.ticking(d().Timer1));
  ticks(100);
  EXPECT_EQ(d().TheBall.Top, 480);
  EXPECT_EQ(d().Strikelbl.Caption, "0");
}

TEST_F(PitchScreen, LoadLeavesTheBallCountAndTheStatisticsAlone) {
  m().BallCount = 2;
  m().Hits1 = 7;
  d().Unload();
  d().Show();
  EXPECT_EQ(m().BallCount, 2);
  EXPECT_EQ(m().Hits1, 7);
  EXPECT_EQ(m().StrikeCount, 0);
}

TEST_F(PitchScreen, AStraightPitchIsCalledAStrikeOnItsFortyFourthTick) {
  d().Pitchlbl.Visible = true;
  straight_pitch();
  EXPECT_FALSE(d().Pitchlbl.Visible);  // the key hides the last call
  ticks(43);
  EXPECT_EQ(d().TheBall.Top, 4780);  // bottom edge 5035, short of the zones
  EXPECT_EQ(m().PitchType, 2);
  ticks(1);
  EXPECT_EQ(d().Pitchlbl.Caption, "Strike");
  EXPECT_TRUE(d().Pitchlbl.Visible);
  EXPECT_EQ(d().TheBall.Top, 480);
  EXPECT_EQ(d().TheBall.Left, 2880);
  EXPECT_EQ(m().PitchType, 0);
  EXPECT_EQ(m().StrikeCount, 1);
  EXPECT_EQ(m().Strikes1, 1);
  EXPECT_EQ(d().Strikelbl.Caption, "1");  // written in the same tick
  EXPECT_FALSE(platform.ticking(d().Timer1));
}

struct BreakRow {
  int key;
  int side_step;
  const char* call;
  float left_at_call;  // 2880 -/+ 44 * side_step, one move after the check below

  friend void PrintTo(const BreakRow& row, std::ostream* out) {
    *out << (row.key == kKeyPad7 ? "left " : "right ") << row.side_step << " a tick";
  }
};

class PitchBreaks : public GameTest, public ::testing::WithParamInterface<BreakRow> {};

TEST_P(PitchBreaks, DecideStrikeOrBallAtTheEdgesOfTheStrikeBand) {
  const BreakRow row = GetParam();
  pitch_with_break(row.key, row.side_step);
  EXPECT_EQ(m().SideStep, row.side_step);
  ticks(kTicksToCallAPitch - 1);
  const float last_move = row.key == kKeyPad7 ? -row.side_step : row.side_step;
  EXPECT_EQ(d().TheBall.Left + last_move, row.left_at_call);
  ticks(1);
  EXPECT_EQ(d().Pitchlbl.Caption, row.call);
}

INSTANTIATE_TEST_SUITE_P(Rows, PitchBreaks,
                         ::testing::Values(BreakRow{kKeyPad7, 22, "Strike", 1912},
                                           BreakRow{kKeyPad7, 23, "Ball", 1868},
                                           BreakRow{kKeyPad9, 11, "Strike", 3364},
                                           BreakRow{kKeyPad9, 12, "Ball", 3408}),
                         [](const auto& info) {
                           return std::string(info.param.key == kKeyPad7 ? "Left" : "Right") +
                                  std::to_string(info.param.side_step);
                         });

TEST_F(PitchScreen, AStraightPitchKeepsTheLastBreakAndAKeyInFlightChangesTheKind) {
  pitch_with_break(kKeyPad7, 10);
  ticks(5);
  EXPECT_EQ(d().TheBall.Left, 2830);
  straight_pitch();  // from the next tick on: straight, break kept
  EXPECT_EQ(m().SideStep, 10);
  ticks(5);
  EXPECT_EQ(d().TheBall.Left, 2830);
  EXPECT_EQ(d().TheBall.Top, 1480);  // the ball went on from where it was
}

TEST_F(PitchScreen, ASwingHoldsTheBatOutForItsTimeWhileTicksRun) {
  straight_pitch();
  const float top_before = d().TheBall.Top;
  const auto start = platform.now_micros();
  press(kKeySpace);  // returns when the 0.3 s wait is over
  const int ticks_in_swing = static_cast<int>((d().TheBall.Top - top_before) / 100);
  // The clock is single precision: at noon it moves in steps of 1/256 s.
  EXPECT_GE(platform.now_micros() - start, 296'000);
  EXPECT_LT(platform.now_micros() - start, 320'000);
  EXPECT_EQ(ticks_in_swing, 19);
  EXPECT_EQ(d().Bat.Width, 135);
  EXPECT_EQ(d().Bat.Height, 1455);
  EXPECT_EQ(m().Swinging, 0);
  EXPECT_EQ(m().SwingTaken, -1);
  EXPECT_EQ(m().PowerSwing, 0);
  const auto after = platform.now_micros();
  press(kKeySpace);  // done: no second swing until the swing is cleared
  EXPECT_EQ(platform.now_micros(), after);
}

TEST_F(PitchScreen, AQuickSwingLastsATenthAndSetsThePowerSwing) {
  const auto start = platform.now_micros();
  press(kKeyShift);
  EXPECT_GE(platform.now_micros() - start, 96'000);
  EXPECT_LT(platform.now_micros() - start, 120'000);
  EXPECT_EQ(m().PowerSwing, -1);
  EXPECT_EQ(m().SwingTaken, -1);
}

TEST_F(PitchScreen, ASwingKeyInsideASwingNestsAWholeSwing) {
  const auto start = platform.now_micros();
  // A quick swing 80 ms into a normal one ends at 180 ms, inside the outer wait.
  platform.queue_key(start + 80'000, Diamond(), kKeyShift);
  struct Seen {
    float bat_width;
    int swinging, swing_taken;
  };
  Seen during_inner{}, after_inner{};
  platform.at(start + 150'000, [&] { during_inner = {d().Bat.Width, m().Swinging, m().SwingTaken}; });
  platform.at(start + 250'000, [&] { after_inner = {d().Bat.Width, m().Swinging, m().SwingTaken}; });
  press(kKeySpace);
  EXPECT_EQ(during_inner.bat_width, 1455);
  EXPECT_EQ(during_inner.swinging, -1);
  EXPECT_EQ(during_inner.swing_taken, 0);
  // The inner swing ended the swing for both, with the outer wait still running.
  EXPECT_EQ(after_inner.bat_width, 135);
  EXPECT_EQ(after_inner.swinging, 0);
  EXPECT_EQ(after_inner.swing_taken, -1);
  EXPECT_GE(platform.now_micros() - start, 296'000);
  EXPECT_LT(platform.now_micros() - start, 320'000);
  EXPECT_EQ(m().SwingTaken, -1);
  EXPECT_EQ(m().PowerSwing, -1);
}

TEST_F(PitchScreen, AnOuterSwingEndsItsOwnWaitAfterANestedOneAndTakesTheSwingAgain) {
  const auto start = platform.now_micros();
  platform.queue_key(start + 80'000, Diamond(), kKeyShift);  // the nested swing ends at 180 ms
  platform.at(start + 190'000, [&] {                         // a straight pitch one move short of the plate
    m().PitchType = 2;
    d().TheBall.Top = 4780;
    d().Timer1.Interval = 1;
  });
  int taken_after_the_call = 1;
  platform.at(start + 260'000, [&] { taken_after_the_call = m().SwingTaken; });
  press(kKeySpace);
  EXPECT_EQ(d().Pitchlbl.Caption, "Strike");  // after the nested swing: anywhere on the band
  EXPECT_EQ(taken_after_the_call, 0);         // the call cleared the swing...
  EXPECT_EQ(m().SwingTaken, -1);              // ...and the outer swing's end took it again
  EXPECT_EQ(d().Bat.Height, 1455);
}

TEST_F(PitchScreen, AHeldSwingKeyKeepsTheBatOutUntilItIsReleased) {
  // A 200 ms repeat delay and 30 repeats a second, held for ten minutes:
  // 18,000 swings, each begun inside the wait of the one before.
  constexpr int kRepeats = 18'000;
  constexpr std::int64_t kRepeatMicros = 33'333;
  const auto start = platform.now_micros();
  const auto last_repeat = start + 200'000 + (kRepeats - 1) * kRepeatMicros;
  for (int i = 0; i < kRepeats; ++i)
    platform.queue_key(start + 200'000 + i * kRepeatMicros, Diamond(), kKeySpace);
  int samples = 0, bat_out = 0;
  const auto sample = [&] {
    ++samples;
    bat_out += d().Bat.Width == 1455 && m().Swinging == -1 && m().SwingTaken == 0;
  };
  for (auto t = start + 100'000; t < last_repeat; t += 5'000'000) platform.at(t, sample);
  platform.at(last_repeat + 250'000, sample);
  press(kKeySpace);
  EXPECT_EQ(bat_out, samples);
  EXPECT_GT(samples, 100);
  // The last repeat's swing lasts its 0.3 s, and every swing around it ends with it.
  EXPECT_GE(platform.now_micros() - last_repeat, 296'000);
  EXPECT_LT(platform.now_micros() - last_repeat, 320'000);
  EXPECT_EQ(d().Bat.Width, 135);
  EXPECT_EQ(m().Swinging, 0);
  EXPECT_EQ(m().SwingTaken, -1);
  m().SwingTaken = 0;  // and the game goes on
  straight_pitch();
  swing_after(30.5);
  ticks(31);
  EXPECT_EQ(m().Hits1, 1);
}

TEST_F(PitchScreen, ATickRaisesAHitBallBeforeItMovesAPitch) {
  m().BallHit = -1;
  m().HitSide = 1;
  m().SideStep = 1;
  m().PitchType = 2;  // a pitch key pressed while the hit ball rises
  d().TheBall.Top = 4685;
  d().Timer1.Interval = 1;
  ticks(1);
  // Up then down: 4685 - 50 + 100 = 4735, short of the zones. Down first
  // would reach 4785 and call the pitch before the ball rose.
  EXPECT_EQ(d().TheBall.Top, 4735);
  EXPECT_EQ(d().TheBall.Left, 2881);
  EXPECT_FALSE(d().Pitchlbl.Visible);
  EXPECT_EQ(m().PitchType, 2);
}

TEST_F(PitchScreen, TheBatMeetsAPitchOnlyAfterThirtyToThirtyThreeMoves) {
  // One tick with the bat held out and the ball where `moves` moves put it.
  straight_pitch();
  d().Bat.Width = 1455;
  d().Bat.Height = 135;
  m().Swinging = -1;
  for (int moves = 28; moves <= 35; ++moves) {
    m().Hits1 = 0;
    m().BallHit = 0;
    m().PitchType = 2;
    d().TheBall.Top = 480 + 100.0f * moves;
    ticks(1);
    EXPECT_EQ(m().Hits1 == 1, moves >= 30 && moves <= 33) << moves << " moves";
  }
}

TEST_F(PitchScreen, TheBatMeetsOnlyABallWhoseLeftEdgeIsWithinABatWidthOfItsOwn) {
  straight_pitch();
  d().Bat.Width = 1455;
  d().Bat.Height = 135;
  m().Swinging = -1;
  // The window runs from 2160 - 1455 = 705 to 2160 + 1455 = 3615.
  for (float left : {704.f, 705.f, 3615.f, 3616.f}) {
    m().Hits1 = 0;
    m().BallHit = 0;
    m().PitchType = 2;
    d().TheBall.Top = 3680;
    d().TheBall.Left = left;
    ticks(1);
    EXPECT_EQ(m().Hits1 == 1, left == 705.f || left == 3615.f) << left;
  }
}

TEST_F(PitchScreen, ABatStillOutMeetsTheRisingBallAgainOnEveryTickItOverlaps) {
  straight_pitch();
  ticks(32);  // Top 3680
  swing_after(0.5);
  platform.force_random({0.25f, 0.0f, 0.25f, 0.0f, 0.25f, 0.0f, 0.25f, 0.0f, 0.25f, 0.0f});
  ticks(1);  // the swing's whole wait runs inside this
  // Met at 3680, 3630, 3580, 3530 and 3480; at 3430 the bat is missed.
  EXPECT_EQ(m().Hits1, 5);
  EXPECT_EQ(d().TheBall.Top, 3680 - 50.0f * m().HitTicks);
  EXPECT_EQ(d().TheBall.Left, 2880 + 1.0f * m().HitTicks);  // SideStep 1 to the right
  EXPECT_EQ(m().PitchType, 0);
}

TEST_F(PitchScreen, ContactDrawsTheDriftAndTheBallRisesToTheHandOver) {
  straight_pitch();
  swing_after(30.5);
  platform.force_random({0.5f, 0.9999f});  // HitSide 2 (1.5 to even), SideStep 40
  const auto start = platform.now_micros();
  const auto tick_time = [&](double n) {
    return start + static_cast<std::int64_t>(n * ScriptedPlatform::kTickMicros);
  };
  platform.at(tick_time(31.5), [&] {
    EXPECT_EQ(m().BallHit, -1);
    EXPECT_EQ(m().HitSide, 2);
    EXPECT_EQ(m().SideStep, 40);
    EXPECT_EQ(m().Hits1, 1);
    EXPECT_EQ(d().TheBall.Top, 3430);  // met at 3480, risen in the same tick
    EXPECT_EQ(d().TheBall.Left, 2840);
  });
  platform.at(tick_time(64.5), [&] {
    EXPECT_EQ(m().HitTicks, 34);
    EXPECT_FALSE(HitView().loaded());
  });
  ticks(65);  // the 35th tick of the hit hands over
  EXPECT_TRUE(HitView().loaded());
  EXPECT_TRUE(platform.shown(HitView()));
  EXPECT_EQ(m().BallHit, 0);
  EXPECT_EQ(m().HitTicks, 0);
  EXPECT_EQ(d().TheBall.Top, 480);
  EXPECT_EQ(d().TheBall.Left, 2880);
  EXPECT_FALSE(platform.ticking(d().Timer1));
  EXPECT_FALSE(d().Pitchlbl.Visible);
}

TEST_F(PitchScreen, OnlyADriftToTheRightClearsTheStrikesAtTheHandOver) {
  m().StrikeCount = 2;
  m().BallCount = 3;
  hit_straight_pitch(0.25f);    // HitSide 1
  EXPECT_EQ(m().BallCount, 3);  // never touched by a hit
  EXPECT_EQ(m().StrikeCount, 0);
  EXPECT_EQ(d().Strikelbl.Caption, "0");
  EXPECT_EQ(m().SwingTaken, 0);
  HitView().Unload();

  m().StrikeCount = 2;
  hit_straight_pitch(0.75f);  // HitSide 2
  EXPECT_EQ(m().BallCount, 3);
  EXPECT_EQ(m().StrikeCount, 2);
  EXPECT_EQ(m().SwingTaken, -1);
}

TEST_F(PitchScreen, AHitWhileTheLastHitViewIsOpenCountsButOnlyRaisesTheView) {
  hit_straight_pitch();
  HitViewForm& view = HitView();
  const int power = view.HitTOP;
  ticks(10);
  const int moves = view.LenGTHBaLL;
  m().SwingTaken = 0;
  hit_straight_pitch();
  EXPECT_EQ(m().Hits1, 2);
  EXPECT_EQ(view.HitTOP, power);
  EXPECT_GT(view.LenGTHBaLL, moves);  // the same flight went on
  EXPECT_EQ(platform.times_shown(view), 2);
}

TEST_F(PitchScreen, HitsArePlayerTwosWhilePlayerTwoIsActive) {
  m().ActivePlayer = 2;
  hit_straight_pitch();
  EXPECT_EQ(m().Hits2, 1);
  EXPECT_EQ(m().Hits1, 0);
}

TEST_F(PitchScreen, KeysWithoutAnActionDoNothing) {
  for (int code : {36, 38, 33, 55, 65, 13, 27, 17, 18, 255}) press(code);
  EXPECT_EQ(m().PitchType, 0);
  EXPECT_EQ(m().SwingTaken, 0);
  EXPECT_FALSE(platform.ticking(d().Timer1));
}

TEST_F(PitchScreen, ViewStatsOpensTheStatsScreenOnce) {
  m().Hits1 = 4;
  platform.click(d(), 5100, 4700);
  EXPECT_EQ(Stats().Hits1lbl.Caption, "4");
  m().Hits1 = 5;
  platform.click(d(), 5100, 4700);  // only brought to the front
  EXPECT_EQ(Stats().Hits1lbl.Caption, "4");
  EXPECT_EQ(platform.times_shown(Stats()), 2);
}

// One second after midnight the single-precision clock is fine enough to
// end a wait on the very microsecond the test plans.
class SwingJustAfterMidnight : public GameTest {
 protected:
  SwingJustAfterMidnight() : GameTest(1.0) {}
};

TEST_F(SwingJustAfterMidnight, AnEventDueAsANestedSwingEndsRunsBeforeTheOuterSwingEnds) {
  // A normal swing at 0 ms (over at 300), a quick one nested at 250 (over
  // at 350), and a pitch tick due at 350 too. As a nested wait returns into
  // the pump that delivered its key, the tick runs before the outer swing
  // ends: the tick's call clears the swing and the outer end takes it again.
  platform.queue_key(250'000, Diamond(), kKeyShift);
  platform.at(318'750, [&] {  // ticks at 334,375 (to 4780) and 350,000 (to 4880, called)
    m().PitchType = 2;
    d().TheBall.Top = 4680;
    d().Timer1.Interval = 1;
  });
  press(kKeySpace);
  EXPECT_EQ(platform.now_micros(), 350'000);
  EXPECT_EQ(d().Pitchlbl.Caption, "Strike");
  ticks(2);  // nothing left to call
  EXPECT_EQ(m().SwingTaken, -1);
}

class SwingAtMidnight : public GameTest {
 protected:
  SwingAtMidnight() : GameTest(86399.9) {}
};

TEST_F(SwingAtMidnight, StillLastsItsDuration) {
  const auto start = platform.now_micros();
  // A wait that missed midnight would never end: stop it at 1 s.
  platform.at(start + 1'000'000, [&] { platform.close_main_window(); });
  press(kKeySpace);
  EXPECT_GE(platform.now_micros() - start, 290'000);
  EXPECT_LT(platform.now_micros() - start, 330'000);
}
