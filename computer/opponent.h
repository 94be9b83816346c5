// The computer's judgement as player 2: what it makes of the pitch screen as
// a person sees it, and which key it means to press when. It reads nothing
// but a View, so it knows no more than a person at the keyboard.
#pragma once

#include <cstdint>
#include <optional>

#include "core/random.h"

namespace computer {

enum class Level { Easy, Normal, Hard };
// Player 2's role, as the pitch screen says it beside "Player 2:".
enum class Role { None, Pitching, Batting };

// What a person sees of the game that the computer plays by: the pitch
// screen's ball and bat where they are drawn (twips), the role its caption
// gives player 2, and whether the hit view or the box is open. Whether the
// ball is at rest, pitched or hit it tells from one look to the next.
struct View {
  float ball_left = 0, ball_top = 0;
  float bat_top = 0;
  Role player2 = Role::None;
  bool hit_view_open = false;
  bool box_open = false;  // "Switch Positions."
};

// A key to press, and when (seconds on the game's clock).
struct Press {
  int key = 0;
  double at = 0;
  friend bool operator==(const Press&, const Press&) = default;
};

class Opponent {
 public:
  Opponent(Level level, std::uint64_t seed);
  void set_level(Level level) { level_ = level; }

  // Looks at the screen as it is at `now`; returns the press it plans next.
  std::optional<Press> see(const View& view, double now);
  // The planned time has come: the key to press now, if the screen as it
  // now is still calls for it. The plan is used up either way.
  std::optional<int> act(const View& view, double now);

 private:
  enum class Ball { AtRest, Pitched, Hit };
  struct Sighting {
    double at;
    float left, top;
  };

  void follow_ball(const View& view, double now);
  std::optional<Press> plan_swing(const View& view);
  Press plan_pitch(double now);
  bool may_pitch(const View& view) const;
  double uniform(double low, double high);
  double normal(double sigma);

  Level level_;
  RandomSource random_;  // its own: choosing the computer changes no draw of the game's
  std::optional<Press> plan_;
  Ball ball_ = Ball::AtRest;
  std::optional<Sighting> first_, last_;  // of the pitch in flight
  bool judged_ = false;                   // this pitch: swing or take is decided
  double last_look_ = -1;
  int last_pitch_ = 0, same_pitches_ = 0;
};

}  // namespace computer
