// The pitch call and the count, out, side and inning rules.
#include <ostream>
#include <string>

#include "tests/support/game_fixture.h"

namespace {

class Umpire : public GameTest {
 protected:
  // A pitch of kind 2 that reaches (left, top) with this tick's move.
  std::string call_at(float left, float top, int swing_taken = 0) {
    m().SwingTaken = swing_taken;
    m().PitchType = 2;
    d().Timer1.Interval = 1;
    d().Pitchlbl.Visible = false;
    d().TheBall.Left = left;
    d().TheBall.Top = top - 100;
    ticks(1);
    return d().Pitchlbl.Visible ? std::string(d().Pitchlbl.Caption) : "none";
  }

  void called_balls(int n) {
    for (int i = 0; i < n; ++i) call_at(0, 5000);
  }
};

struct ZoneRow {
  int swing_taken;
  float left, top;
  const char* call;

  // "NoSwingAt1905x4880IsStrike", "SwungAtMinus7336x4880IsNone"
  std::string name() const {
    const auto number = [](float v) {
      return (v < 0 ? "Minus" : "") + std::to_string(static_cast<int>(v < 0 ? -v : v));
    };
    const char* swing = swing_taken == 0 ? "NoSwing" : swing_taken == -1 ? "Swung" : "OddSwingFlag";
    return swing + std::string("At") + number(left) + "x" + number(top) + "Is" +
           (std::string(call) == "none" ? "None" : call);
  }
  friend void PrintTo(const ZoneRow& row, std::ostream* out) { *out << row.name(); }
};

class UmpireZones : public Umpire, public ::testing::WithParamInterface<ZoneRow> {};

}  // namespace

TEST_P(UmpireZones, CallOnlyInsideTheirBands) {
  const ZoneRow row = GetParam();
  EXPECT_EQ(call_at(row.left, row.top, row.swing_taken), row.call)
      << "SwingTaken " << row.swing_taken << " at " << row.left << ", " << row.top;
}

INSTANTIATE_TEST_SUITE_P(Edges, UmpireZones,
                         ::testing::Values(
                             // Down: the ball's bottom edge reaches 5040 at Top 4785; its top leaves 5175.
                             ZoneRow{0, 2880, 4784, "none"}, ZoneRow{0, 2880, 4785, "Strike"},
                             ZoneRow{0, 2880, 5175, "Strike"}, ZoneRow{0, 2880, 5176, "none"},
                             // Across without a swing: the strike band is 2640 - 735 = 1905 to 3375,
                             // the first ball zone -2655 to 2655, the second 585 to 6135.
                             ZoneRow{0, 1905, 4880, "Strike"}, ZoneRow{0, 1904, 4880, "Ball"},
                             ZoneRow{0, 3375, 4880, "Strike"}, ZoneRow{0, 3376, 4880, "Ball"},
                             ZoneRow{0, -2655, 4880, "Ball"}, ZoneRow{0, -2656, 4880, "none"},
                             ZoneRow{0, 6135, 4880, "Ball"}, ZoneRow{0, 6136, 4880, "none"},
                             // After a swing anything across -240 - 7095 to 6855 is a strike.
                             ZoneRow{-1, -7335, 4880, "Strike"}, ZoneRow{-1, -7336, 4880, "none"},
                             ZoneRow{-1, 6855, 4880, "Strike"}, ZoneRow{-1, 6856, 4880, "none"},
                             ZoneRow{-1, 2880, 4784, "none"},
                             // Any other value of SwingTaken calls nothing.
                             ZoneRow{1, 2880, 4880, "none"}),
                         [](const auto& info) { return info.param.name(); });

TEST_F(Umpire, AStrikeWithStrikesToGoAddsToTheCountAndTheStatistic) {
  called_strikes(2);
  EXPECT_EQ(m().StrikeCount, 2);
  EXPECT_EQ(m().Strikes1, 2);
  EXPECT_EQ(m().OutCount, 0);
  m().ActivePlayer = 2;
  m().StrikeCount = 0;
  called_strikes(1);
  EXPECT_EQ(m().Strikes2, 1);
  EXPECT_EQ(m().Strikes1, 2);
  m().ActivePlayer = 0;  // neither player: no statistic changes
  called_strikes(1);
  EXPECT_EQ(m().Strikes1 + m().Strikes2, 3);
}

TEST_F(Umpire, AThirdStrikeMakesAnOutAndClearsTheCount) {
  m().OutCount = 3;
  m().BallCount = 2;
  called_strikes(3);
  EXPECT_EQ(m().OutCount, 4);
  EXPECT_EQ(m().StrikeCount, 0);
  EXPECT_EQ(m().BallCount, 0);
  EXPECT_TRUE(platform.boxes.empty());
  EXPECT_EQ(d().Outlbl.Caption, "4");
}

TEST_F(Umpire, FifteenCalledStrikesSwitchTheSidesOnceWithTheRolesSwappedDuringTheBox) {
  called_strikes(14);
  EXPECT_EQ(m().OutCount, 4);
  platform.while_box_open = [&] {
    EXPECT_EQ(m().ActivePlayer, 2);
    EXPECT_EQ(d().Play1lbl.Caption, "Batting");
    EXPECT_EQ(d().Play2lbl.Caption, "Pitching");
    EXPECT_EQ(m().OutCount, 0);
    EXPECT_EQ(d().Outlbl.Caption, "4");  // labels are rewritten after the box
    EXPECT_EQ(m().InningNum, 1);
    EXPECT_EQ(m().StrikeCount, 2);
    EXPECT_TRUE(platform.screen_up_to_date());  // the box opens over the roles as they now are
  };
  called_strikes(1);
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].prompt, "Switch Positions.");
  EXPECT_EQ(platform.boxes[0].title, "Switch Positions");
  EXPECT_EQ(m().InningNum, 2);
  EXPECT_EQ(m().InningName, "Second");
  EXPECT_EQ(d().Inninglbl.Caption, "Second");
  EXPECT_EQ(d().Outlbl.Caption, "0");
  EXPECT_EQ(m().StrikeCount, 0);
  EXPECT_EQ(m().Strikes1, 15);
  // The next strike is player 2's.
  called_strikes(1);
  EXPECT_EQ(m().Strikes2, 1);
}

TEST_F(Umpire, ASwitchFromPlayerTwoGivesPlayerOneThePitch) {
  m().ActivePlayer = 2;
  d().Play1lbl.Caption = "Batting";
  d().Play2lbl.Caption = "Pitching";
  m().OutCount = 4;
  m().StrikeCount = 2;
  called_strikes(1);
  EXPECT_EQ(m().ActivePlayer, 1);
  EXPECT_EQ(d().Play1lbl.Caption, "Pitching");
  EXPECT_EQ(d().Play2lbl.Caption, "Batting");
  EXPECT_EQ(m().Strikes2, 1);
  EXPECT_EQ(m().InningName, "Second");
}

TEST_F(Umpire, TheInningsRunFirstToFifthAndBackToFirst) {
  const char* names[] = {"Second", "Third", "Fourth", "Fifth", "First", "Second"};
  for (const char* name : names) {
    called_strikes(15);
    EXPECT_EQ(m().InningName, name);
  }
  EXPECT_EQ(m().InningNum, 2);
  EXPECT_EQ(platform.boxes.size(), 6u);
  EXPECT_EQ(m().ActivePlayer, 1);  // six switches
  EXPECT_EQ(m().Strikes1, 45);
  EXPECT_EQ(m().Strikes2, 45);
}

TEST_F(Umpire, AFourthBallTakesAnOutAwayAndKeepsTheCount) {
  m().OutCount = 2;
  m().StrikeCount = 1;
  called_balls(4);
  EXPECT_EQ(m().OutCount, 1);
  EXPECT_EQ(m().StrikeCount, 1);
  EXPECT_EQ(m().BallCount, 3);
  called_balls(1);
  EXPECT_EQ(m().OutCount, 0);
  EXPECT_EQ(m().BallCount, 3);
  called_balls(1);  // no out left to take: the count clears
  EXPECT_EQ(m().OutCount, 0);
  EXPECT_EQ(m().StrikeCount, 0);
  EXPECT_EQ(m().BallCount, 0);
  EXPECT_EQ(m().Strikes1, 0);  // balls change no statistic
}

TEST_F(Umpire, APitchCalledDuringASwingLeavesTheNextPitchUnplayable) {
  straight_pitch();
  swing_after(40);  // the call comes at tick 44, inside the 19-tick wait
  ticks(41);
  EXPECT_EQ(d().Pitchlbl.Caption, "Strike");
  EXPECT_EQ(m().StrikeCount, 1);
  EXPECT_EQ(m().SwingTaken, -1);  // set again when the swing ended

  // A pitch far to the left, not swung at, would be a ball; here it is a strike.
  pitch_with_break(kKeyPad7, 30);  // Left 2880 - 44 * 30 = 1560 at the plate
  press(kKeySpace);                // refused: the swing is taken
  ticks(kTicksToCallAPitch);
  EXPECT_EQ(d().Pitchlbl.Caption, "Strike");
  EXPECT_EQ(m().StrikeCount, 2);
  EXPECT_EQ(m().SwingTaken, 0);
}

TEST_F(Umpire, CallingNeverTouchesTheSwingTheHitOrTheBreak) {
  pitch_with_break(kKeyPad9, 5);
  m().Swinging = -1;
  ticks(kTicksToCallAPitch);
  EXPECT_EQ(d().Pitchlbl.Caption, "Strike");
  EXPECT_EQ(m().Swinging, -1);
  EXPECT_EQ(m().SideStep, 5);
  EXPECT_EQ(m().BallHit, 0);
}

TEST_F(Umpire, AStrikeStatisticAtItsLimitStaysThereAndTheGameGoesOn) {
  m().Strikes1 = 32767;
  called_strikes(3);
  EXPECT_EQ(m().Strikes1, 32767);
  EXPECT_EQ(m().OutCount, 1);
}
