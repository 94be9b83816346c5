#include "computer/computer_player.h"

#include <cmath>
#include <string>

#include "core/forms/form.h"
#include "core/runtime.h"
#include "game/mod_variable.h"
#include "hit_view/hit_view.h"
#include "pitch_screen/diamond.h"

namespace computer {
namespace {

constexpr ControlRow kTimerRow{.name = "ComputerTimer", .kind = Kind::Timer};
constexpr double kSecondsPerDay = 86400;

}  // namespace

// The timer belongs to the pitch screen, so it ticks only while that screen
// is loaded, on the same clock as the game's own.
ComputerPlayer::ComputerPlayer(std::uint64_t seed)
    : timer_(Diamond(), kTimerRow), seed_(seed), brain_(Level::Normal, seed) {
  timer_.on_tick = [this] { wake(); };
  watch_events([this] { watch(); });
}

ComputerPlayer::~ComputerPlayer() {
  watch_events({});
  timer_.Interval = 0;
}

void ComputerPlayer::play(std::optional<Level> level) {
  schedule(std::nullopt);
  if (!level) {
    playing_ = false;
    tell_role(look());
    return;
  }
  // A fresh look: what it followed before it last played is stale.
  if (!playing_) brain_ = Opponent(*level, seed_ + ++games_);
  brain_.set_level(*level);
  playing_ = true;
  watch();
}

View ComputerPlayer::look() {
  const DiamondForm& d = Diamond();
  const std::string& role = d.Play2lbl.Caption;
  return {
      .ball_left = d.TheBall.Left,
      .ball_top = d.TheBall.Top,
      .bat_top = d.Bat.Top,
      .player2 = role == "Pitching" ? Role::Pitching : role == "Batting" ? Role::Batting : Role::None,
      .hit_view_open = HitView().loaded(),
      .box_open = runtime::message_box_open(),
  };
}

void ComputerPlayer::watch() {
  if (!playing_ || !Diamond().loaded()) return;
  const View view = look();
  tell_role(view);
  schedule(brain_.see(view, now()));
}

// Its own timer is its hands: a key pressed here arrives as a person's
// does, from the event loop, and may wait inside itself (a swing). Like
// every tick, this one ends with a look that plans the next press.
void ComputerPlayer::wake() {
  scheduled_.reset();
  timer_.Interval = 0;
  if (!playing_) return;
  if (const auto key = brain_.act(look(), now())) {
    if (on_press) on_press(*key);
    Diamond().key_down(*key);
  }
}

// The timer's period is whole ticks, so the press comes at the first tick
// at or after its time.
void ComputerPlayer::schedule(std::optional<Press> plan) {
  if (plan == scheduled_) return;
  scheduled_ = plan;
  timer_.Interval = 0;
  if (!plan) return;
  const double wait_ms = std::ceil((plan->at - now()) * 1000);
  timer_.Interval = wait_ms < 1 ? 1 : static_cast<int>(wait_ms);
}

void ComputerPlayer::tell_role(const View& view) {
  const Role role = playing_ ? view.player2 : Role::None;
  if (role == role_) return;
  role_ = role;
  if (on_role) on_role(role_);
}

double ComputerPlayer::now() {
  double t = rtcGetTimer() + days_ * kSecondsPerDay;
  if (t < last_now_ - kSecondsPerDay / 2) {
    ++days_;
    t += kSecondsPerDay;
  }
  last_now_ = t;
  return t;
}

}  // namespace computer
