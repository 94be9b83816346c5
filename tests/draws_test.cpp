// Every random draw of the game at its rounding boundaries. A draw is
// k * r + c with r = m / 2^24, rounded to the nearest Integer with ties to
// even. The boundaries are worked out here in whole numbers, independently of
// the game's arithmetic, and each is fed to the game through the generator.
#include <cstdint>
#include <functional>
#include <string>

#include "core/random.h"
#include "tests/support/game_fixture.h"

namespace {

constexpr std::int64_t kSteps = 1 << 24;  // the generator's 24 random bits

float fraction(std::int64_t m) { return static_cast<float>(m) / kSteps; }

class Draws : public GameTest {
 public:
  // The break of keypad 7 or 9 (50 r + 1).
  int pitch_break(int key, float r) {
    const int reseeds = platform.reseeds();
    platform.force_random({r});
    press(key);
    EXPECT_EQ(platform.reseeds(), reseeds + 1);  // every break draw reseeds first
    return m().SideStep;
  }

  // One tick on which the bat, held out, meets a straight pitch; returns what
  // contact drew (r + 1 for the drift's side, then 39 r + 1 for its step).
  std::pair<int, int> contact(float side_draw, float step_draw) {
    m().BallHit = 0;
    m().HitTicks = 0;
    m().PitchType = 2;
    m().Swinging = -1;
    d().Bat.Width = 1455;
    d().Bat.Height = 135;
    d().TheBall.Left = 2880;
    d().TheBall.Top = 3580;  // within the bat's reach before this tick moves it
    d().Timer1.Interval = 1;
    platform.force_random({side_draw, step_draw});
    ticks(1);
    EXPECT_EQ(m().BallHit, -1);
    return {m().HitSide, m().SideStep};
  }

  // A hit view's load: 20 r + 5, 9 r + 1, r + 1, in that order.
  struct Hit {
    int top, left, direction;
  };
  Hit hit(float top_draw, float left_draw, float direction_draw) {
    platform.force_random({top_draw, left_draw, direction_draw});
    HitView().Show();
    const Hit drawn{HitView().HitTOP, HitView().HitLEFT, HitView().LeftORRight};
    HitView().Unload();
    return drawn;
  }
};

struct DrawRow {
  const char* name;
  int k, c;  // the draw is k * r + c
  std::function<int(Draws&, float)> through_game;

  friend void PrintTo(const DrawRow& row, std::ostream* out) {
    *out << row.name << ": " << row.k << " r + " << row.c;
  }
};

class DrawBoundaries : public Draws, public ::testing::WithParamInterface<DrawRow> {};

TEST_P(DrawBoundaries, RoundToNearestWithTiesToEvenAtEveryBoundary) {
  const DrawRow& row = GetParam();
  EXPECT_EQ(row.through_game(*this, 0.0f), row.c);
  EXPECT_EQ(row.through_game(*this, fraction(kSteps - 1)), row.k + row.c);
  for (int n = row.c; n < row.k + row.c; ++n) {
    // n + 1/2 = k m / 2^24 + c  <=>  m = (2n + 1 - 2c) 2^23 / k
    const std::int64_t numerator = (2LL * n + 1 - 2LL * row.c) * (kSteps / 2);
    const std::int64_t m = numerator / row.k;
    if (numerator % row.k == 0) {  // a draw lands on the tie itself
      EXPECT_EQ(row.through_game(*this, fraction(m - 1)), n) << "just below the tie at m = " << m;
      EXPECT_EQ(row.through_game(*this, fraction(m)), n % 2 == 0 ? n : n + 1) << "the tie at m = " << m;
    } else {
      EXPECT_EQ(row.through_game(*this, fraction(m)), n) << "last draw of " << n << ", m = " << m;
      EXPECT_EQ(row.through_game(*this, fraction(m + 1)), n + 1) << "first draw of " << n + 1;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Game, DrawBoundaries,
    ::testing::Values(
        DrawRow{"BreakOfKeypad7", 50, 1, [](Draws& t, float r) { return t.pitch_break(kKeyPad7, r); }},
        DrawRow{"BreakOfKeypad9", 50, 1, [](Draws& t, float r) { return t.pitch_break(kKeyPad9, r); }},
        DrawRow{"DriftSideAtContact", 1, 1, [](Draws& t, float r) { return t.contact(r, 0).first; }},
        DrawRow{"DriftStepAtContact", 39, 1, [](Draws& t, float r) { return t.contact(0, r).second; }},
        DrawRow{"HitPower", 20, 5, [](Draws& t, float r) { return t.hit(r, 0, 0).top; }},
        DrawRow{"HitSideStep", 9, 1, [](Draws& t, float r) { return t.hit(0, r, 0).left; }},
        DrawRow{"HitDirection", 1, 1, [](Draws& t, float r) { return t.hit(0, 0, r).direction; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Draws, TheDrawsNamedByTheRulesLandWhereTheRulesSay) {
  // Just below a half goes right (1); a half goes left (1.5 to even is 2).
  EXPECT_EQ(hit(0, 0, fraction(8388607)).direction, 1);
  EXPECT_EQ(hit(0, 0, 0.5f).direction, 2);
  // Above 0.975 the power is 25: 16357786 / 2^24 is 0.97500002...
  EXPECT_EQ(hit(fraction(16357786), 0, 0).top, 25);
  EXPECT_EQ(hit(fraction(16357785), 0, 0).top, 24);
}

TEST(RandomSource, DrawsTwentyFourBitFractionsSpreadEvenlyOverTheUnitInterval) {
  RandomSource source(20261207);
  constexpr int kDraws = 1 << 20;
  constexpr int kBins = 16;
  int bins[kBins] = {};
  for (int i = 0; i < kDraws; ++i) {
    const float r = source.next();
    ASSERT_GE(r, 0.0f);
    ASSERT_LT(r, 1.0f);
    const float scaled = r * kSteps;
    ASSERT_EQ(scaled, static_cast<float>(static_cast<std::int64_t>(scaled)));  // 24 bits, no more
    ++bins[static_cast<int>(r * kBins)];
  }
  for (int count : bins) EXPECT_NEAR(count, kDraws / kBins, kDraws / kBins / 20);
  // Reseeding with the same seed repeats the draws.
  source.reseed(7);
  const float first = source.next();
  source.reseed(7);
  EXPECT_EQ(source.next(), first);
}

}  // namespace
