// The hit view: the draw of a hit, its flight, its result and its closing.
#include "tests/support/game_fixture.h"

namespace {

constexpr int kMoves = 200;

class HitViewTest : public GameTest {
 protected:
  HitViewForm& view() { return HitView(); }

  // Opens the view with draws that give this power step (5..25 before any
  // quick-swing bonus), sideways step 1..10 and direction 1 or 2.
  void open(int hit_top, int hit_left = 1, int left_or_right = 1) {
    platform.force_random({static_cast<float>(hit_top - 5) / 20, static_cast<float>(hit_left - 1) / 9,
                           left_or_right == 1 ? 0.25f : 0.75f});
    view().Show();
  }
  void fly_and_settle(int hit_top, int hit_left = 1, int left_or_right = 1) {
    open(hit_top, hit_left, left_or_right);
    ticks(kMoves + 1);
  }
  void click_background() { platform.click(view(), 200, 6000); }
};

}  // namespace

TEST_F(HitViewTest, LoadDrawsPowerSideStepAndDirectionAfterReseeding) {
  const int reseeds = platform.reseeds();
  open(12, 7, 2);
  EXPECT_EQ(platform.reseeds(), reseeds + 1);
  EXPECT_EQ(view().HitTOP, 12);
  EXPECT_EQ(view().HitLEFT, 7);
  EXPECT_EQ(view().LeftORRight, 2);
  EXPECT_EQ(view().Powerlbl.Caption, "48");
  EXPECT_EQ(view().LenGTHBaLL, 0);
  EXPECT_EQ(view().OneHomer, -1);
  EXPECT_EQ(view().HitOver, -1);
  EXPECT_EQ(m().PowerSwing, 0);
}

TEST_F(HitViewTest, AQuickSwingAddsFivePowerOnceAndIsUsedUp) {
  m().PowerSwing = -1;
  platform.force_random({0.99f, 0.0f, 0.0f});  // 0.99 * 20 + 5 = 24.8, to 25
  view().Show();
  EXPECT_EQ(view().HitTOP, 30);
  EXPECT_EQ(view().Powerlbl.Caption, "120");
  EXPECT_EQ(m().PowerSwing, 0);
  ticks(kMoves + 1);
  EXPECT_EQ(view().SmallBall.Top, 6480);  // 648 feet, still inside the window
  EXPECT_EQ(view().Distancelbl.Caption, "648");
}

TEST_F(HitViewTest, TheBallFliesInAStraightLineAndShowsItsDistance) {
  open(5);
  ticks(1);
  EXPECT_EQ(view().SmallBall.Top, 485);
  EXPECT_EQ(view().SmallBall.Left, 2401);
  EXPECT_EQ(view().Distancelbl.Caption, "48.5");
  view().Unload();
  open(7);
  ticks(1);
  EXPECT_EQ(view().Distancelbl.Caption, "48.7");  // 487 / 10, not exact in binary
  view().Unload();
  open(5);
  ticks(1);
  ticks(kMoves - 1);
  EXPECT_EQ(view().LenGTHBaLL, 200);
  EXPECT_EQ(view().SmallBall.Top, 1480);
  EXPECT_EQ(view().SmallBall.Left, 2600);
  ticks(50);  // landed: the ball stays where it is
  EXPECT_EQ(view().SmallBall.Top, 1480);
}

TEST_F(HitViewTest, AShortHitIsOneOutSettledOnTheTickAfterTheLastMove) {
  open(20);
  ticks(kMoves);
  EXPECT_EQ(view().Distancelbl.Caption, "448");
  EXPECT_EQ(m().OutCount, 0);  // not yet: the next tick settles it
  ticks(1);
  EXPECT_EQ(m().OutCount, 1);
  ticks(100);
  EXPECT_EQ(m().OutCount, 1);
  EXPECT_FALSE(view().Typelbl.Visible);
  EXPECT_EQ(m().LongDist1, 448.0);
}

TEST_F(HitViewTest, AHitEndingExactlyAtTheDepthIsNeitherButCountsForTheLongestHit) {
  fly_and_settle(21);
  EXPECT_EQ(view().SmallBall.Top, 4680);
  EXPECT_EQ(m().OutCount, 0);
  EXPECT_EQ(m().HomeRuns1, 0);
  EXPECT_FALSE(view().Typelbl.Visible);
  EXPECT_EQ(m().LongDist1, 468.0);
}

TEST_F(HitViewTest, AHomeRunIsShownAndCountedOnceHoweverLongTheViewStaysOpen) {
  m().OutCount = 3;
  m().StrikeCount = 2;
  m().BallCount = 1;
  fly_and_settle(22);
  EXPECT_TRUE(view().Typelbl.Visible);
  EXPECT_EQ(view().Typelbl.Caption, "Home Run!!");
  ticks(500);
  EXPECT_EQ(m().HomeRuns1, 1);
  EXPECT_EQ(m().HomeRuns2, 0);
  EXPECT_EQ(m().OutCount, 3);
  EXPECT_EQ(m().StrikeCount, 2);
  EXPECT_EQ(m().BallCount, 1);
  EXPECT_EQ(m().LongDist1, 488.0);
}

TEST_F(HitViewTest, TheFifthOutSwitchesSidesWithTheCountClearedBeforeTheBox) {
  m().OutCount = 4;
  m().StrikeCount = 1;
  m().BallCount = 2;
  m().LongDist1 = 100;
  platform.while_box_open = [&] {
    EXPECT_EQ(m().ActivePlayer, 2);
    EXPECT_EQ(d().Play1lbl.Caption, "Batting");
    EXPECT_EQ(d().Play2lbl.Caption, "Pitching");
    EXPECT_EQ(m().OutCount, 0);
    EXPECT_EQ(m().StrikeCount, 0);
    EXPECT_EQ(m().BallCount, 0);
    EXPECT_EQ(m().InningNum, 1);  // advanced only after the box
    platform.advance_ticks(5);    // further ticks count nothing again
  };
  fly_and_settle(20);
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].prompt, "Switch Positions.");
  EXPECT_EQ(m().OutCount, 0);
  EXPECT_EQ(m().InningName, "Second");
  // The half's last out is weighed against the new side's record.
  EXPECT_EQ(m().LongDist2, 448.0);
  EXPECT_EQ(m().LongDist1, 100.0);
}

TEST_F(HitViewTest, ASwitchInTheFifthInningGoesBackToTheFirst) {
  m().OutCount = 4;
  m().InningNum = 5;
  m().InningName = "Fifth";
  fly_and_settle(10);
  EXPECT_EQ(m().InningNum, 1);
  EXPECT_EQ(m().InningName, "First");
}

TEST_F(HitViewTest, TheLongestHitChangesOnlyForALongerHitComparedInSinglePrecision) {
  m().LongDist1 = 488.0;
  fly_and_settle(22);  // 488 again
  EXPECT_EQ(m().LongDist1, 488.0);
  view().Unload();
  fly_and_settle(15);  // 348, shorter
  EXPECT_EQ(m().LongDist1, 488.0);
  view().Unload();
  m().LongDist1 = 0;
  m().PowerSwing = 0;
  open(5, 1, 1);
  view().SmallBall.Top = 4467 - 200 * 5;  // lands at 4467: 446.7 feet
  ticks(kMoves + 1);
  EXPECT_EQ(m().LongDist1, 4467 / 10.0);  // the double quotient, not a float's
  view().Unload();
  m().LongDist1 = 447.99999999;  // the same as 448 in single precision
  fly_and_settle(20);            // 448 feet
  EXPECT_EQ(m().LongDist1, 447.99999999);
}

TEST_F(HitViewTest, TheBallCrossesTheWallsUnhindered) {
  fly_and_settle(10, 10, 2);
  EXPECT_EQ(view().SmallBall.Left, 400);
  EXPECT_EQ(view().SmallBall.Top, 2480);
  EXPECT_EQ(m().OutCount, 1);
}

TEST_F(HitViewTest, ClicksCloseTheViewOnlyAfterTheFlight) {
  m().SwingTaken = -1;
  open(20);
  ticks(kMoves - 1);
  click_background();
  EXPECT_TRUE(view().loaded());
  ticks(2);
  platform.click(view(), 500, 200);  // on "Distance:": labels take no action
  EXPECT_TRUE(view().loaded());
  click_background();
  EXPECT_FALSE(view().loaded());
  EXPECT_FALSE(platform.shown(view()));
  EXPECT_EQ(d().Outlbl.Caption, "1");
  EXPECT_EQ(m().SwingTaken, 0);
}

TEST_F(HitViewTest, TheWindowManagersCloseIsAClickIgnoredDuringTheFlight) {
  m().SwingTaken = -1;
  open(20);
  ticks(kMoves - 1);
  view().close_request();  // Alt+F4 one move before landing
  EXPECT_TRUE(view().loaded());
  EXPECT_EQ(m().SwingTaken, -1);
  ticks(2);  // landed and settled: one out
  view().close_request();
  EXPECT_FALSE(view().loaded());
  EXPECT_EQ(d().Outlbl.Caption, "1");
  EXPECT_EQ(m().SwingTaken, 0);
  view().close_request();  // a second close of a closed view counts nothing
  platform.click(view(), 200, 6000);
  ticks(10);
  EXPECT_EQ(m().OutCount, 1);
}

TEST_F(HitViewTest, AClickOnTheHiddenResultBannerReachesTheForm) {
  fly_and_settle(20);  // an out: the banner stays hidden
  ASSERT_FALSE(view().Typelbl.Visible);
  platform.click(view(), 3000, 200);  // inside the banner only
  EXPECT_FALSE(view().loaded());
}

TEST_F(HitViewTest, AClickBeforeTheSettlingTickClosesTheViewWithNothingCounted) {
  open(20);
  ticks(kMoves);
  click_background();
  EXPECT_FALSE(view().loaded());
  ticks(10);
  EXPECT_EQ(m().OutCount, 0);
  EXPECT_EQ(m().LongDist1, 0.0);
}

TEST_F(HitViewTest, ReopeningStartsAFreshFlight) {
  fly_and_settle(22);
  click_background();
  open(8);
  EXPECT_EQ(view().SmallBall.Left, 2400);
  EXPECT_EQ(view().SmallBall.Top, 480);
  EXPECT_EQ(view().Distancelbl.Caption, "0");
  EXPECT_FALSE(view().Typelbl.Visible);
  EXPECT_EQ(view().Typelbl.Caption, "FOUL BALL");
  ticks(kMoves + 1);
  EXPECT_EQ(m().HomeRuns1, 1);
  EXPECT_EQ(m().OutCount, 1);
}

TEST_F(HitViewTest, PowerDrawsGiveOutsNeithersAndHomeRunsInTheirShares) {
  // 400 evenly spread draws, none on a rounding boundary, each flown and
  // settled: the results come in exactly the stated shares of 40.
  constexpr int kDraws = 400;
  for (const bool quick : {false, true}) {
    int out = 0, neither = 0, home_run = 0;
    for (int i = 0; i < kDraws; ++i) {
      m().OutCount = 0;
      m().PowerSwing = quick ? -1 : 0;
      const int home_runs = m().HomeRuns1;
      platform.force_random({(i + 0.5f) / kDraws, 0.5f, 0.25f});
      view().Show();
      ticks(kMoves + 1);
      if (m().HomeRuns1 > home_runs)
        ++home_run;
      else if (m().OutCount == 1)
        ++out;
      else
        ++neither;
      view().Unload();
    }
    const int per40 = kDraws / 40;
    EXPECT_EQ(out, (quick ? 21 : 31) * per40) << (quick ? "quick" : "normal");
    EXPECT_EQ(neither, 2 * per40) << (quick ? "quick" : "normal");
    EXPECT_EQ(home_run, (quick ? 17 : 7) * per40) << (quick ? "quick" : "normal");
  }
}

TEST_F(HitViewTest, PlayerTwosHitsCountForPlayerTwosRecords) {
  m().ActivePlayer = 2;
  m().LongDist1 = 0;
  m().LongDist2 = 500;
  fly_and_settle(22);  // a home run of 488 feet, short of player 2's record
  EXPECT_EQ(m().HomeRuns2, 1);
  EXPECT_EQ(m().HomeRuns1, 0);
  EXPECT_EQ(m().LongDist2, 500.0);
  EXPECT_EQ(m().LongDist1, 0.0);
  view().Unload();
  fly_and_settle(25);  // 548 feet
  EXPECT_EQ(m().LongDist2, 548.0);
  EXPECT_EQ(m().LongDist1, 0.0);
}

TEST_F(HitViewTest, ALandedOutSettledInsideTheUmpiresSwitchBoxCountsOnce) {
  open(20);  // an out of 448 feet
  ticks(kMoves - 1);
  platform.advance_micros(ScriptedPlatform::kTickMicros / 2);
  // The fifth out is called on the pitch screen between the last move and
  // the tick that settles the hit; that tick and more run while the box is up.
  m().OutCount = 4;
  m().StrikeCount = 2;
  m().PitchType = 2;
  d().TheBall.Top = 4780;
  d().Timer1.Interval = 1;
  int outs_in_box = -1;
  platform.while_box_open = [&] {
    platform.advance_ticks(5);
    outs_in_box = m().OutCount;
  };
  ticks(100);
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(outs_in_box, 1);  // the hit's out, on the new side's count
  EXPECT_EQ(m().OutCount, 1);
  EXPECT_EQ(m().InningName, "Second");
  EXPECT_EQ(m().StrikeCount, 0);
  EXPECT_EQ(m().LongDist2, 448.0);  // the new side's record
  EXPECT_EQ(m().LongDist1, 0.0);
}

TEST_F(HitViewTest, AHitFromThePitchScreenFliesAndCloses) {
  hit_straight_pitch(0.25f, kKeyShift);
  ASSERT_TRUE(view().loaded());
  EXPECT_GE(view().HitTOP, 10);  // the quick swing's bonus
  EXPECT_EQ(m().PowerSwing, 0);
  ticks(kMoves + 1);
  click_background();
  EXPECT_FALSE(view().loaded());
  EXPECT_EQ(m().SwingTaken, 0);
  EXPECT_EQ(m().Hits1, 1);
}
