// The form model: loading, showing, unloading, clicks and the layout tables.
#include <gtest/gtest.h>

#include "game/mod_variable.h"
#include "hit_view/hit_view.h"
#include "pitch_screen/diamond.h"
#include "stats_screen/stats.h"
#include "tests/support/scripted_platform.h"

namespace {

class Forms : public ::testing::Test {
 protected:
  void SetUp() override { reset_process_state(); }
  void TearDown() override { reset_process_state(); }
  ScriptedPlatform platform;
};

}  // namespace

TEST_F(Forms, PitchScreenLoadsWithItsArraysAndStartingCaptions) {
  DiamondForm& d = Diamond();
  d.Show();
  EXPECT_TRUE(platform.shown(d));
  EXPECT_EQ(d.controls().size(), 35u);
  // Control arrays have exactly their listed members.
  EXPECT_NE(d.find("Shape4", 1), nullptr);
  for (int missing : {0, 2, 3}) EXPECT_EQ(d.find("Shape4", missing), nullptr);
  EXPECT_NE(d.find("Line7", 0), nullptr);
  EXPECT_EQ(d.find("Label1"), nullptr);  // only by index

  EXPECT_FALSE(d.Pitchlbl.Visible);
  EXPECT_EQ(d.Play1lbl.Caption, "Pitching");
  EXPECT_EQ(d.Play2lbl.Caption, "Batting");
  EXPECT_EQ(d.Inninglbl.Caption, "First");
  EXPECT_EQ(d.Timer1.Interval, 0);
  EXPECT_FALSE(platform.ticking(d.Timer1));
}

TEST_F(Forms, UnloadThenShowLoadsAfreshFromTheLayout) {
  StatsForm& stats = Stats();
  stats.Show();
  stats.Hits1lbl.Caption = "9";
  stats.Show();  // loaded: only brought to the front
  EXPECT_EQ(stats.Hits1lbl.Caption, "9");
  EXPECT_EQ(platform.times_shown(stats), 2);
  stats.Unload();
  EXPECT_FALSE(stats.loaded());
  EXPECT_FALSE(platform.shown(stats));
  ModVariable.Hits1 = 3;
  stats.Show();
  EXPECT_EQ(stats.Hits1lbl.Caption, "3");
}

TEST_F(Forms, ClicksGoToTheFrontVisibleLabelElseToTheForm) {
  Diamond().Show();
  // "View Stats" is the only label that acts on a click.
  platform.click(Diamond(), 5100, 4700);
  EXPECT_TRUE(Stats().loaded());
  // A click on the stats screen's figures lands on the transparent label in front.
  platform.click(Stats(), 1000, 650);
  EXPECT_FALSE(Stats().loaded());
  // Clicks elsewhere on the pitch screen, visible label or not, do nothing.
  platform.click(Diamond(), 2500, 2100);  // the hidden call label
  platform.click(Diamond(), 100, 130);    // "Player 1:"
  EXPECT_FALSE(Stats().loaded());
}

TEST_F(Forms, TheHitViewsTimerTicksFromEveryLoadUntilItsUnload) {
  HitViewForm& hit = HitView();
  for (int load = 0; load < 2; ++load) {
    hit.Show();
    EXPECT_TRUE(platform.ticking(hit.Timer1));  // started by no code
    hit.Unload();
    EXPECT_FALSE(platform.ticking(hit.Timer1));
  }
}
