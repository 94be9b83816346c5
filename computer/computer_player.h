// The computer as player 2: its eyes on the pitch screen and its hands on the
// keys. After every event it looks at the screen as it is drawn and plans its
// next press; a timer of its own on the pitch screen wakes it when that press
// is due, and it presses the key into the pitch screen as a person's key
// arrives. It never clicks: a person closes the hit view and the box.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "computer/opponent.h"
#include "core/forms/controls.h"

namespace computer {

class ComputerPlayer {
 public:
  // Watches the game's events from now on; plays only once told to.
  explicit ComputerPlayer(std::uint64_t seed);
  ~ComputerPlayer();
  ComputerPlayer(const ComputerPlayer&) = delete;
  ComputerPlayer& operator=(const ComputerPlayer&) = delete;

  // Plays player 2 at this level from now on, mid-pitch too; none hands
  // player 2 back to a person.
  void play(std::optional<Level> level);

  // Told of the role the computer now holds (none while a person plays
  // player 2), whenever it changes.
  void (*on_role)(Role role) = nullptr;
  // Told of every key it presses, just before it arrives (the tests listen).
  std::function<void(int key)> on_press;

  // What it sees of the game now.
  static View look();

 private:
  void watch();
  void wake();
  void schedule(std::optional<Press> plan);
  void tell_role(const View& view);
  double now();

  Timer timer_;
  std::uint64_t seed_;
  int games_ = 0;  // times it has taken player 2 over
  Opponent brain_;
  bool playing_ = false;
  std::optional<Press> scheduled_;
  Role role_ = Role::None;
  double days_ = 0, last_now_ = 0;  // the clock goes back to 0 at midnight
};

}  // namespace computer
