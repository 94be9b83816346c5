// The computer as player 2, on the scripted platform in virtual time: it
// plays only player 2's roles, waits its turn, sees only what a person sees,
// and is a fair opponent at each level.
#include <cstdio>
#include <optional>
#include <random>
#include <vector>

#include "computer/computer_player.h"
#include "core/forms/keys.h"
#include "pitch_screen/diamond_layout.h"
#include "tests/support/game_fixture.h"

namespace {

using computer::ComputerPlayer;
using computer::Level;
using computer::View;

constexpr std::int64_t kSecondMicros = 1'000'000;

class Computer : public GameTest {
 protected:
  Computer() {
    cpu.emplace(7);
    cpu->on_press = [this](int key) {
      presses.push_back({key, m().ActivePlayer, runtime::message_box_open(), platform.ticking(d().Timer1)});
    };
  }
  // The computer's timer belongs to the pitch screen: it goes first.
  ~Computer() override { cpu.reset(); }

  struct Pressed {
    int key;
    int active_player;
    bool box_open;
    bool pitch_in_flight;
  };
  static bool is_pitch(int key) { return key >= vk::kNumpad7 && key <= vk::kNumpad9; }
  static bool is_swing(int key) { return key == vk::kSpace || key == vk::kShift; }

  bool at_rest() { return d().TheBall.Top == kHomeTop && !platform.ticking(d().Timer1) && !HitView().loaded(); }
  // The pitch screen at rest, as the computer sees it when it is to pitch.
  static View ready_to_pitch() {
    View view = ComputerPlayer::look();
    view.player2 = computer::Role::Pitching;
    return view;
  }

  // Eight ticks of play, a person closing the hit view once it has landed.
  void play_a_little() {
    ticks(8);
    if (HitView().loaded() && HitView().LenGTHBaLL == 200) platform.click(HitView(), 100, 100);
  }
  void play_for(double seconds) {
    const std::int64_t end = platform.now_micros() + static_cast<std::int64_t>(seconds * kSecondMicros);
    while (platform.now_micros() < end) play_a_little();
  }

  std::optional<ComputerPlayer> cpu;
  std::vector<Pressed> presses;
  computer::Opponent brain{Level::Normal, 5};
};

TEST_F(Computer, PitchesOnlyAsPlayerTwoAfterAPersonsPause) {
  cpu->play(Level::Normal);
  play_for(5);
  EXPECT_TRUE(presses.empty()) << "player 1 pitches first; the computer bats";

  swap_roles();              // as at a side switch: player 2 pitches
  cpu->play(Level::Normal);  // a look at the screen, as after any event
  platform.advance_micros(kSecondMicros - 20'000);
  EXPECT_TRUE(presses.empty()) << "a pitch within a second of rest";
  platform.advance_micros(2 * kSecondMicros + 40'000);
  ASSERT_EQ(presses.size(), 1u) << "no pitch within three seconds of rest";
  EXPECT_TRUE(is_pitch(presses[0].key));
}

TEST_F(Computer, PutsItsPitchOffWhenAKeyHasJustBeenPressed) {
  // A pitch key shows nothing until the pitch's first tick: a pitch planned
  // for just after one waits until that tick has shown it.
  const View rest = ready_to_pitch();
  const auto plan = brain.see(rest, 100);
  ASSERT_TRUE(plan);
  const double key_at = plan->at - 0.001;
  const auto later = brain.see(rest, key_at);
  ASSERT_TRUE(later);
  EXPECT_GE(later->at, key_at + 1.0 / 64);
  EXPECT_FALSE(brain.act(rest, plan->at));
}

TEST_F(Computer, HoldsStillWhileTheBoxIsOpen) {
  View view = ready_to_pitch();
  const auto plan = brain.see(view, 100);
  ASSERT_TRUE(plan);
  view.box_open = true;
  EXPECT_FALSE(brain.act(view, plan->at)) << "a pitch planned before the box opened";
  EXPECT_FALSE(brain.see(view, plan->at)) << "a pitch planned behind the box";
}

TEST_F(Computer, ChangesRoleAtEverySideSwitchAndNeverPressesWhileTheBoxIsOpen) {
  int boxes = 0, boxes_from_hits = 0;
  platform.while_box_open = [&] {
    ++boxes;
    boxes_from_hits += HitView().loaded();
    platform.advance_micros(4 * kSecondMicros);  // the person reads it, ticks go on
  };
  static std::vector<computer::Role> roles;
  roles.clear();
  cpu->on_role = [](computer::Role role) { roles.push_back(role); };
  cpu->play(Level::Hard);
  // A person who pitches 8 when it is player 1's turn and never swings.
  for (int i = 0; boxes < 4 && i < 4000; ++i) {
    if (at_rest() && d().Play1lbl.Caption == "Pitching") {
      platform.advance_micros(1'500'000);
      if (at_rest() && d().Play1lbl.Caption == "Pitching") press(vk::kNumpad8);
    }
    play_for(0.25);
  }
  ASSERT_GE(boxes, 4);
  EXPECT_GT(boxes_from_hits, 0) << "no side switch from the hit view";
  EXPECT_LT(boxes_from_hits, boxes) << "no side switch from a pitch's tick";
  for (const Pressed& p : presses) {
    EXPECT_FALSE(p.box_open);
    if (is_pitch(p.key)) {
      EXPECT_FALSE(p.pitch_in_flight);
    }
    // It bats while ActivePlayer is 1 and pitches while it is 2.
    EXPECT_EQ(p.active_player, is_swing(p.key) ? 1 : 2) << "key " << p.key;
  }
  EXPECT_GE(roles.size(), 4u);
  EXPECT_EQ(roles.front(), computer::Role::Batting);
}

TEST_F(Computer, SeesOnlyWhatAPersonSees) {
  // The same views with different hidden state give the same presses.
  const auto plans = [&](int side_step, int pitch_type) {
    computer::Opponent brain(Level::Normal, 11);
    m().SideStep = side_step;
    m().PitchType = pitch_type;
    m().SwingTaken = side_step % 2;
    View view = ComputerPlayer::look();
    std::vector<std::optional<computer::Press>> seen;
    for (int tick = 0; tick < 30; ++tick) {
      view.ball_top = kHomeTop + 100.0f * tick;
      view.ball_left = kHomeLeft + 20.0f * tick;
      seen.push_back(brain.see(view, 100 + tick / 64.0));
    }
    return seen;
  };
  EXPECT_EQ(plans(3, 1), plans(40, 3));
}

TEST_F(Computer, StopsAtOnceWhenAPersonTakesPlayerTwoBack) {
  cpu->play(Level::Normal);
  swap_roles();  // player 2 pitches
  platform.advance_micros(500'000);
  cpu->play(std::nullopt);
  play_for(10);
  EXPECT_TRUE(presses.empty());
  EXPECT_FALSE(platform.ticking(d().Timer1));
}

// What happens to the pitches of a long game at one level: the computer
// bats against a person's mix of 7, 8 and 9, and pitches to a person who
// takes every pitch.
struct Tally {
  int batted_pitches = 0, swings = 0, contacts = 0, home_runs = 0, strikes = 0, balls = 0, walks = 0;
  int thrown_pitches = 0, thrown_strikes = 0, thrown_balls = 0;
  double contact_share() const { return swings ? static_cast<double>(contacts) / swings : 0; }
};

class Fairness : public Computer {
 protected:
  void simulate(Level level, int pitches, Tally& t) {
    platform.while_box_open = [&] { platform.advance_micros(800'000); };
    cpu->on_press = [&](int key) {
      t.swings += is_swing(key);
      t.thrown_pitches += is_pitch(key);
    };
    cpu->play(level);
    std::mt19937 person(static_cast<unsigned>(level) + 1);
    std::uniform_int_distribution<int> pitch(vk::kNumpad7, vk::kNumpad9);
    while (t.batted_pitches < pitches || t.thrown_pitches < pitches) {
      const bool person_pitches = d().Play1lbl.Caption == "Pitching";
      const int hits = m().Hits1 + m().Hits2, homers = m().HomeRuns1 + m().HomeRuns2;
      const int balls_before = m().BallCount;
      if (person_pitches) {
        platform.advance_micros(1'200'000);
        press(pitch(person));
        ++t.batted_pitches;
      } else {
        const int thrown = t.thrown_pitches;
        for (int i = 0; t.thrown_pitches == thrown; ++i) {
          ASSERT_LT(i, 100) << "the computer has not pitched for 12 s";
          ticks(8);
        }
      }
      // Until the pitch is settled and the screen is at rest again.
      do {
        play_a_little();
      } while (!at_rest());
      const bool hit = m().Hits1 + m().Hits2 != hits;
      const bool strike = !hit && d().Pitchlbl.Caption == "Strike";
      if (person_pitches) {
        t.contacts += hit;
        t.home_runs += m().HomeRuns1 + m().HomeRuns2 - homers;
        t.strikes += strike;
        t.balls += !hit && !strike;
        t.walks += !hit && !strike && balls_before == 3;
      } else {
        t.thrown_strikes += strike;
        t.thrown_balls += !hit && !strike;
      }
    }
  }
};

void report(const char* name, const Tally& t) {
  std::printf("%-7s batted %d: swings %d, contacts %d (%.1f %% of swings), home runs %d, strikes %d, balls %d, "
              "walks %d; pitched %d: strikes %d, balls %d\n",
              name, t.batted_pitches, t.swings, t.contacts, 100 * t.contact_share(), t.home_runs, t.strikes,
              t.balls, t.walks, t.thrown_pitches, t.thrown_strikes, t.thrown_balls);
}

struct LevelRow {
  Level level;
  const char* name;
  double contact_from, contact_to;
  friend void PrintTo(const LevelRow& row, std::ostream* out) { *out << row.name; }
};

class FairnessAtLevel : public Fairness, public ::testing::WithParamInterface<LevelRow> {};

TEST_P(FairnessAtLevel, MakesContactOnItsShareOfSwingsAndTakesSomeBalls) {
  const LevelRow& row = GetParam();
  Tally t;
  simulate(row.level, 10'000, t);
  report(row.name, t);
  EXPECT_GE(t.contact_share(), row.contact_from);
  EXPECT_LE(t.contact_share(), row.contact_to);
  EXPECT_LT(t.swings, t.batted_pitches) << "it swings at everything";
  EXPECT_GT(t.balls, 0);
  EXPECT_GT(t.thrown_strikes, 0);
  EXPECT_GT(t.thrown_balls, 0);
}

INSTANTIATE_TEST_SUITE_P(Computer, FairnessAtLevel,
                         ::testing::Values(LevelRow{Level::Easy, "easy", 0.15, 0.30},
                                           LevelRow{Level::Normal, "normal", 0.30, 0.50},
                                           LevelRow{Level::Hard, "hard", 0.50, 0.75}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
