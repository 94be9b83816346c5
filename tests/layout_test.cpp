// What the three layout tables must hold together, beyond the rows
// themselves: the windows' own settings, the loaded model's places, and the
// relations between controls that the rules and the eye rely on.
#include <gtest/gtest.h>

#include "game/mod_variable.h"
#include "hit_view/hit_view.h"
#include "pitch_screen/diamond.h"
#include "stats_screen/stats.h"
#include "tests/support/scripted_platform.h"

namespace {

class Layouts : public ::testing::Test {
 protected:
  Layouts() { reset_process_state(); }
  ~Layouts() override { reset_process_state(); }
  ScriptedPlatform platform;
};

struct Window {
  Form& form;
  std::string_view caption;
  float width, height;  // client area, twips
  Rgb background;
  Border border;
  bool takes_keys;
};

// A shape or label by its name; it must exist.
const Boxed& boxed(const Form& form, std::string_view name) {
  const Control* control = form.find(name);
  EXPECT_NE(control, nullptr) << name;
  return *static_cast<const Boxed*>(control);
}
float right(const Boxed& c) { return c.Left + c.Width; }
float middle(const Boxed& c) { return c.Left + c.Width / 2; }

}  // namespace

// Each window's caption, client area, background, border and keys; and once
// loaded, every control stands at its row (a load handler writes only
// captions and timers).
TEST_F(Layouts, EachWindowIsAsItsSettingsSayAndLoadsEveryControlAtItsRow) {
  const Window windows[] = {
      {Diamond(), "Diamond", 6030, 5250, Rgb{0x008000}, Border::FixedWithTitle, true},
      {HitView(), "", 5055, 6885, kBlack, Border::Thin, false},
      {Stats(), "", 4530, 1530, Rgb{0x804000}, Border::Thin, false},
  };
  for (const Window& w : windows) {
    const FormSettings& s = w.form.settings();
    SCOPED_TRACE(s.name);
    EXPECT_EQ(s.caption, w.caption);
    EXPECT_EQ(s.client_width, w.width);
    EXPECT_EQ(s.client_height, w.height);
    EXPECT_EQ(s.background, w.background);
    EXPECT_EQ(s.border, w.border);
    EXPECT_EQ(s.takes_keys, w.takes_keys);
    w.form.Show();
    for (const auto& control : w.form.controls()) {
      const auto* box = dynamic_cast<const Boxed*>(control.get());
      if (!box) continue;
      const ControlRow& row = control->row();
      EXPECT_EQ(box->Left, row.box.left) << row.name;
      EXPECT_EQ(box->Top, row.box.top) << row.name;
      EXPECT_EQ(box->Width, row.box.width) << row.name;
      EXPECT_EQ(box->Height, row.box.height) << row.name;
      EXPECT_EQ(box->Visible, row.visible) << row.name;
    }
  }
}

// The umpire's four zones lie on one plate line; the ball bands meet the
// strike box, and the swing's zone spans them all. The ball starts centred
// on the mound, and the bat stands left of the plate.
TEST_F(Layouts, ThePitchScreensZonesShareThePlateLineAndTheBallStartsOnTheMound) {
  DiamondForm& d = Diamond();
  d.Show();
  for (const Shape* zone : {&d.StrikeBox, &d.BallZone1, &d.BallZone2}) {
    EXPECT_EQ(zone->Top, d.PitchED.Top) << zone->row().name;
    EXPECT_EQ(zone->Height, d.PitchED.Height) << zone->row().name;
    EXPECT_GE(zone->Left, d.PitchED.Left) << zone->row().name;
    EXPECT_LE(right(*zone), right(d.PitchED)) << zone->row().name;
  }
  EXPECT_GE(right(d.BallZone1), d.StrikeBox.Left);
  EXPECT_LE(d.BallZone2.Left, right(d.StrikeBox));
  EXPECT_EQ(d.TheBall.Left, 2880);
  EXPECT_EQ(d.TheBall.Top, 480);
  EXPECT_EQ(middle(d.TheBall), middle(boxed(d, "Shape1")));
  EXPECT_LT(right(d.Bat), d.StrikeBox.Left);
}

// Each player's figures stand in their player's row: on the pitch screen the
// role beside "Player 1:" and "Player 2:", on the statistics every figure
// level with its row's name and under its column's heading.
TEST_F(Layouts, EachFigureStandsInItsPlayersRowAndItsColumn) {
  DiamondForm& d = Diamond();
  d.Show();
  EXPECT_EQ(d.Play1lbl.Top, boxed(d, "Label2").Top);
  EXPECT_EQ(d.Play2lbl.Top, boxed(d, "Label3").Top);

  StatsForm& s = Stats();
  s.Show();
  const struct {
    const Label& player1;
    const Label& player2;
    std::string_view heading;
  } columns[] = {{s.Hits1lbl, s.Hits2lbl, "Label3"},
                 {s.HRuns1lbl, s.HRuns2lbl, "Label6"},
                 {s.Dis1lbl, s.Dis2lbl, "Label7"},
                 {s.Strike1lbl, s.Strike2lbl, "Label4"}};
  for (const auto& column : columns) {
    SCOPED_TRACE(column.heading);
    EXPECT_EQ(column.player1.Top, boxed(s, "Label1").Top);
    EXPECT_EQ(column.player2.Top, boxed(s, "Label2").Top);
    EXPECT_EQ(middle(column.player1), middle(boxed(s, column.heading)));
    EXPECT_EQ(middle(column.player2), middle(boxed(s, column.heading)));
  }
}
