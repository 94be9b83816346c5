// The stats screen: figures read once at load, closed by any click.
#include "tests/support/game_fixture.h"

namespace {

class StatsScreen : public GameTest {
 protected:
  void view_stats() { platform.click(d(), 5100, 4700); }
  StatsForm& s() { return Stats(); }
};

}  // namespace

TEST_F(StatsScreen, BeforeAnyPitchEveryFigureIsZero) {
  view_stats();
  for (Label* figure : {&s().Hits1lbl, &s().Hits2lbl, &s().HRuns1lbl, &s().HRuns2lbl, &s().Dis1lbl,
                        &s().Dis2lbl, &s().Strike1lbl, &s().Strike2lbl})
    EXPECT_EQ(figure->Caption, "0") << figure->name();
}

TEST_F(StatsScreen, ShowsEachPlayersFiguresInTheirRow) {
  m().Hits1 = 3;
  m().Hits2 = 12;
  m().HomeRuns1 = 1;
  m().HomeRuns2 = 32767;
  m().LongDist1 = 456.7;
  m().LongDist2 = 448;
  m().Strikes1 = 9;
  m().Strikes2 = 4;
  view_stats();
  EXPECT_EQ(s().Hits1lbl.Caption, "3");
  EXPECT_EQ(s().Hits2lbl.Caption, "12");
  EXPECT_EQ(s().HRuns1lbl.Caption, "1");
  EXPECT_EQ(s().HRuns2lbl.Caption, "32767");
  EXPECT_EQ(s().Dis1lbl.Caption, "456.7");
  EXPECT_EQ(s().Dis2lbl.Caption, "448");
  EXPECT_EQ(s().Strike1lbl.Caption, "9");
  EXPECT_EQ(s().Strike2lbl.Caption, "4");
}

TEST_F(StatsScreen, FiguresStayAsReadUntilTheScreenIsOpenedAgain) {
  view_stats();
  called_strikes(1);
  view_stats();
  EXPECT_EQ(s().Strike1lbl.Caption, "0");
  platform.click(s(), 4000, 1200);
  EXPECT_FALSE(s().loaded());
  view_stats();
  EXPECT_EQ(s().Strike1lbl.Caption, "1");
}

TEST_F(StatsScreen, TheWindowManagersCloseClosesItAsAClickDoes) {
  view_stats();
  s().close_request();
  EXPECT_FALSE(s().loaded());
  EXPECT_FALSE(platform.shown(s()));
}

TEST_F(StatsScreen, AClickAnywhereClosesIt) {
  for (auto [x, y] : {std::pair{10.f, 10.f}, {1000.f, 650.f}, {3600.f, 700.f}, {4520.f, 1520.f}}) {
    view_stats();
    platform.click(s(), x, y);
    EXPECT_FALSE(s().loaded()) << x << "," << y;
  }
}
