#include "computer/opponent.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/forms/keys.h"
#include "pitch_screen/diamond_layout.h"

namespace computer {
namespace {

// What a player learns by playing: every pitch comes down 100 twips a tick,
// the bat meets the ball a tick after it looks level with the swung bat, and
// a pitch is called where its left edge stands once its bottom reaches the
// plate line: a strike between these two lefts, a ball outside them.
constexpr double kTickSeconds = 1.0 / 64;
constexpr double kPitchSpeedTwipsPerSecond = 100 * 64;
constexpr float kBallSizeTwips = 255;
constexpr float kSwungBatHeightTwips = 135;
constexpr float kCallTopTwips = 5040 - kBallSizeTwips;
constexpr float kStrikeLeftFrom = 1905, kStrikeLeftTo = 3375;
constexpr double kNormalSwingSeconds = 0.3, kQuickSwingSeconds = 0.1;
// The game's clock is single precision: late in the day it moves in steps
// of up to 7.8 ms.
constexpr double kClockStepSeconds = 0.008;

// How often it swings quickly, for the power, whatever its level.
constexpr double kQuickSwingShare = 0.25;
// A person's pause before a pitch, once the screen is at rest.
constexpr double kPauseFromSeconds = 1.0, kPauseToSeconds = 3.0;

// A level is its reaction: how early its swing comes before the best moment
// on average and how far it strays from that (one standard deviation); and its
// eye: how far it misjudges where a pitch will cross the plate (one standard
// deviation), and how far outside the strike band it still swings.
struct Skill {
  double early_seconds;
  double reaction_sigma_seconds;
  double aim_sigma_twips;
  double reach_twips;
};

constexpr Skill skill(Level level) {
  switch (level) {
    case Level::Easy: return {0.3, 0.42, 500, 500};
    case Level::Normal: return {0.1, 0.26, 260, 200};
    case Level::Hard: return {0.03, 0.16, 120, 0};
  }
  return {};
}

bool at_home(const View& view) { return view.ball_left == kHomeLeft && view.ball_top == kHomeTop; }

bool is_pitch(int key) { return key == vk::kNumpad7 || key == vk::kNumpad8 || key == vk::kNumpad9; }

}  // namespace

Opponent::Opponent(Level level, std::uint64_t seed) : level_(level), random_(seed) {}

std::optional<Press> Opponent::see(const View& view, double now) {
  follow_ball(view, now);
  const bool pitching = view.player2 == Role::Pitching, batting = view.player2 == Role::Batting;
  if (view.box_open || view.hit_view_open || !(pitching || batting)) {
    plan_.reset();
    return plan_;
  }
  if (pitching) {
    if (!may_pitch(view)) {
      plan_.reset();
    } else if (!plan_ || !is_pitch(plan_->key)) {
      plan_ = plan_pitch(now);
    } else {
      // A pitch just thrown shows only at the next tick, so whatever has
      // just happened puts the pitch off until the screen has had its tick.
      plan_->at = std::max(plan_->at, now + 2 * kTickSeconds);
    }
    return plan_;
  }
  if (ball_ != Ball::Pitched || (plan_ && is_pitch(plan_->key))) plan_.reset();
  if (ball_ == Ball::Pitched && !judged_ && first_ && last_ && last_->top > first_->top) {
    judged_ = true;
    plan_ = plan_swing(view);
  }
  return plan_;
}

std::optional<int> Opponent::act(const View& view, double now) {
  if (!plan_ || plan_->at > now + kClockStepSeconds) return std::nullopt;
  const int key = plan_->key;
  plan_.reset();
  if (view.box_open || view.hit_view_open) return std::nullopt;
  if (is_pitch(key)) {
    if (!may_pitch(view)) return std::nullopt;
    same_pitches_ = key == last_pitch_ ? same_pitches_ + 1 : 1;
    last_pitch_ = key;
    return key;
  }
  if (view.player2 != Role::Batting || ball_ != Ball::Pitched) return std::nullopt;
  return key;
}

// A ball away from home that comes down is a pitch; one that goes up was hit.
void Opponent::follow_ball(const View& view, double now) {
  if (at_home(view)) {
    ball_ = Ball::AtRest;
    first_.reset();
    last_.reset();
    judged_ = false;
    return;
  }
  const Sighting here{now, view.ball_left, view.ball_top};
  if (last_ && here.top == last_->top && here.left == last_->left) return;
  if (ball_ == Ball::AtRest) {
    ball_ = Ball::Pitched;
    first_ = here;
  } else if (last_ && here.top < last_->top) {
    ball_ = Ball::Hit;
  }
  last_ = here;
}

// Judges where the pitch will cross the plate from the line it has come down
// so far; swings at what it judges near enough the band, timed so that the
// bat is out while the ball passes, give or take its reaction.
std::optional<Press> Opponent::plan_swing(const View& view) {
  const Skill s = skill(level_);
  const double slope = (last_->left - first_->left) / (last_->top - first_->top);
  const double plate_left = last_->left + slope * (kCallTopTwips - last_->top) + normal(s.aim_sigma_twips);
  if (plate_left < kStrikeLeftFrom - s.reach_twips || plate_left > kStrikeLeftTo + s.reach_twips)
    return std::nullopt;

  const bool quick = uniform(0, 1) < kQuickSwingShare;
  const double swing = quick ? kQuickSwingSeconds : kNormalSwingSeconds;
  const auto level_at = [&](double top) {
    return first_->at + (top - first_->top) / kPitchSpeedTwipsPerSecond + kTickSeconds;
  };
  const double meets_from = level_at(view.bat_top - kBallSizeTwips);
  const double meets_to = level_at(view.bat_top + kSwungBatHeightTwips);
  const double best = (meets_from - swing + meets_to) / 2;
  return Press{quick ? vk::kShift : vk::kSpace, best - s.early_seconds + normal(s.reaction_sigma_seconds)};
}

// Mostly straight, and never the same pitch three times running.
Press Opponent::plan_pitch(double now) {
  constexpr std::array kKeys{vk::kNumpad7, vk::kNumpad8, vk::kNumpad8, vk::kNumpad9};
  int key = 0;
  do {
    key = kKeys[static_cast<std::size_t>(uniform(0, kKeys.size()))];
  } while (key == last_pitch_ && same_pitches_ >= 2);
  return {key, now + uniform(kPauseFromSeconds, kPauseToSeconds)};
}

double Opponent::uniform(double low, double high) { return low + (high - low) * random_.next(); }

// Marsaglia's polar method.
double Opponent::normal(double sigma) {
  double u = 0, v = 0, s = 0;
  do {
    u = uniform(-1, 1);
    v = uniform(-1, 1);
    s = u * u + v * v;
  } while (s >= 1 || s == 0);
  return sigma * u * std::sqrt(-2 * std::log(s) / s);
}

bool Opponent::may_pitch(const View& view) const {
  return view.player2 == Role::Pitching && at_home(view) && !view.hit_view_open && !view.box_open;
}

}  // namespace computer
