// A long, seeded, reproducible run of random input against the whole game on
// the scripted platform, with the game's rules checked after every event.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <random>

#include "core/forms/form.h"
#include "pitch_screen/diamond_layout.h"
#include "tests/support/game_fixture.h"

namespace {

constexpr int kEvents = 1'000'000;
constexpr std::array<const char*, 5> kInningNames{"First", "Second", "Third", "Fourth", "Fifth"};

struct Statistics {
  std::array<int, 6> counts;
  double long1, long2;

  static Statistics now() {
    const auto& m = ModVariable;
    return {{m.Hits1, m.Hits2, m.HomeRuns1, m.HomeRuns2, m.Strikes1, m.Strikes2}, m.LongDist1, m.LongDist2};
  }
};

class Soak : public GameTest {
 protected:
  Soak() {
    platform.while_box_open = [this] { platform.advance_ticks(pick(0, 5)); };
  }

  int pick(int low, int high) { return std::uniform_int_distribution(low, high)(rng); }
  bool chance(double p) { return std::bernoulli_distribution(p)(rng); }

  // Closing the pitch screen ends the process; the next one starts afresh,
  // sometimes with statistics near their limit as after a very long game.
  void restart() {
    reset_process_state();
    Diamond().Show();
    if (chance(0.5)) {
      for (Integer* s :
           {&m().Hits1, &m().Hits2, &m().HomeRuns1, &m().HomeRuns2, &m().Strikes1, &m().Strikes2})
        *s = 32767 - pick(0, 3);
    }
    last = Statistics::now();
  }

  Form* random_open_form() {
    std::vector<Form*> open{&Diamond()};
    if (HitView().loaded()) open.push_back(&HitView());
    if (Stats().loaded()) open.push_back(&Stats());
    return open[pick(0, static_cast<int>(open.size()) - 1)];
  }

  int random_key() { return chance(0.7) ? kDiamondKeys[pick(0, 4)] : pick(0, 255); }

  void one_event() {
    const int kind = pick(0, 99);
    if (kind < 30) {
      ticks(pick(1, 8));
    } else if (kind < 60) {
      press(random_key());
    } else if (kind < 70) {
      // Input that lands later, often inside a swing's wait.
      platform.queue_key(platform.now_micros() + pick(0, 20) * ScriptedPlatform::kTickMicros, Diamond(),
                         random_key());
    } else if (kind < 85) {
      Form* form = random_open_form();
      const auto& s = form->settings();
      const bool view_stats = form == &Diamond() && chance(0.2);
      platform.click(*form,
                     view_stats ? 5100.f : static_cast<float>(pick(0, static_cast<int>(s.client_width))),
                     view_stats ? 4700.f : static_cast<float>(pick(0, static_cast<int>(s.client_height))));
    } else if (kind < 95) {
      ticks(pick(20, 300));  // long enough for flights to land
    } else if (kind < 99) {
      // The window manager's close, at any moment of a flight.
      if (HitView().loaded() && chance(0.5)) HitView().close_request();
      if (Stats().loaded()) Stats().close_request();
    } else if (chance(0.01)) {
      restart();
    }
  }

  void check_rules(int event) {
    const auto& m = ModVariable;
    const DiamondForm& d = Diamond();
    SCOPED_TRACE(testing::Message() << "event " << event);
    ASSERT_GE(m.StrikeCount, 0);
    ASSERT_LE(m.StrikeCount, 2);
    ASSERT_GE(m.BallCount, 0);
    ASSERT_LE(m.BallCount, 3);
    ASSERT_GE(m.OutCount, 0);
    ASSERT_LE(m.OutCount, 4);
    ASSERT_GE(m.InningNum, 1);
    ASSERT_LE(m.InningNum, 5);
    ASSERT_EQ(m.InningName, kInningNames[m.InningNum - 1]);
    ASSERT_TRUE(m.ActivePlayer == 1 || m.ActivePlayer == 2);
    ASSERT_EQ(d.Play1lbl.Caption, m.ActivePlayer == 1 ? "Pitching" : "Batting");
    for (const Integer* flag : {&m.SwingTaken, &m.Swinging, &m.PowerSwing, &m.BallHit})
      ASSERT_TRUE(*flag == 0 || *flag == -1);
    ASSERT_EQ(m.Swinging, 0);  // only ever set inside a swing's wait
    ASSERT_GE(m.HitTicks, 0);
    ASSERT_LT(m.HitTicks, 35);
    if (m.PitchType == 0 && m.BallHit == 0) {
      ASSERT_EQ(d.TheBall.Left, 2880);
      ASSERT_EQ(d.TheBall.Top, 480);
    }
    if (HitView().loaded()) {
      ASSERT_GE(HitView().LenGTHBaLL, 0);
      ASSERT_LE(HitView().LenGTHBaLL, 200);
    }
    const Statistics stats = Statistics::now();
    for (size_t i = 0; i < stats.counts.size(); ++i) {
      ASSERT_GE(stats.counts[i], last.counts[i]);
      ASSERT_LE(stats.counts[i], 32767);
    }
    ASSERT_GE(stats.long1, last.long1);
    ASSERT_GE(stats.long2, last.long2);
    last = stats;
    ASSERT_EQ(integer_overflows(), overflows_before);
  }

  std::mt19937_64 rng{20261207};
  Statistics last = Statistics::now();
  const int overflows_before = integer_overflows();  // other tests make some on purpose
};

}  // namespace

TEST_F(Soak, AMillionRandomEventsKeepEveryRule) {
  int events_showing_a_call = 0, hits_seen = 0, switches_seen = 0;
  for (int event = 0; event < kEvents; ++event) {
    const int hits_before = m().Hits1 + m().Hits2;
    one_event();
    check_rules(event);
    if (HasFatalFailure()) return;
    events_showing_a_call += d().Pitchlbl.Visible;
    hits_seen += m().Hits1 + m().Hits2 > hits_before;
    switches_seen = static_cast<int>(platform.boxes.size());
  }
  std::printf("events showing a call %d, hits %d, side switches %d, overflows %d\n",
              events_showing_a_call, hits_seen, switches_seen, integer_overflows() - overflows_before);
  // The run really played the game, not just pressed keys at random.
  EXPECT_GT(events_showing_a_call, 1000);
  EXPECT_GT(hits_seen, 100);
  EXPECT_GT(switches_seen, 100);
}
