// The form model: loading, showing, unloading, clicks and the layout tables.
#include <gtest/gtest.h>

#include "core/mod_variable.h"
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

const Boxed& boxed(const Form& form, std::string_view name, int index = kNoIndex) {
  auto* control = dynamic_cast<const Boxed*>(form.find(name, index));
  EXPECT_NE(control, nullptr) << name;
  return *control;
}

}  // namespace

TEST_F(Forms, PitchScreenLoadsWithEveryControlAtItsLayoutValue) {
  DiamondForm& d = Diamond();
  d.Show();
  EXPECT_TRUE(platform.shown(d));
  EXPECT_EQ(d.controls().size(), 35u);
  struct Expected {
    std::string_view name;
    int index;
    float left, top, width, height;
  };
  // A sample across kinds, including the invisible zones and array members.
  for (const Expected& e :
       {Expected{"PitchED", kNoIndex, -240, 5040, 7095, 135},
        Expected{"StrikeBox", kNoIndex, 2640, 5040, 735, 135},
        Expected{"BallZone1", kNoIndex, 0, 5040, 2655, 135},
        Expected{"BallZone2", kNoIndex, 3360, 5040, 2775, 135},
        Expected{"TheBall", kNoIndex, 2880, 480, 255, 255}, Expected{"Bat", kNoIndex, 2160, 3720, 135, 1455},
        Expected{"Label1", 0, 4515, 960, 660, 195}, Expected{"Shape4", 4, 2880, 4440, 255, 255},
        Expected{"Shape2", 1, 3720, 3720, 855, 1215}}) {
    const Boxed& b = boxed(d, e.name, e.index);
    EXPECT_EQ(b.Left, e.left) << e.name;
    EXPECT_EQ(b.Top, e.top) << e.name;
    EXPECT_EQ(b.Width, e.width) << e.name;
    EXPECT_EQ(b.Height, e.height) << e.name;
  }
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

TEST_F(Forms, HitViewAndStatsHaveTheirLayouts) {
  HitViewForm& hit = HitView();
  EXPECT_EQ(hit.controls().size(), 36u);
  EXPECT_EQ(Stats().controls().size(), 27u);
  hit.Show();
  EXPECT_EQ(hit.SmallBall.Left, 2400);
  EXPECT_EQ(hit.SmallBall.Top, 480);
  EXPECT_FALSE(hit.Typelbl.Visible);
  EXPECT_EQ(hit.Distancelbl.Caption, "0");
  EXPECT_EQ(hit.Timer1.Interval, 1);
  EXPECT_TRUE(platform.ticking(hit.Timer1));  // ticks from load, started by no code
  hit.Unload();
  EXPECT_FALSE(platform.ticking(hit.Timer1));
}
