// Core's loop for one of two screens that play one game. The game's clock
// is the shared game time: tick n of the game is n/64 s after it began, on
// both screens, whatever either device's clock says. Input comes only from
// the session, stamped with the tick at which it applies, so both games run
// the same handlers at the same game time; the device's own clock only paces
// the ticks and times the network.
//
// A device under this loop gives its clock, its local input, a wait and a
// transport; the game gives who may press what, when the delay may change,
// and a digest of its state.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

#include "core/event_loop.h"
#include "lockstep/session.h"

// A peer silent this long has gone; a network outage shorter than this only
// stalls the game. Both screens say so sooner, once it has been quiet.
inline constexpr std::chrono::milliseconds kPeerGone{3500};
inline constexpr std::chrono::milliseconds kPeerQuiet{2000};

class SharedLoop : public LoopPlatform {
 public:
  SharedLoop(lockstep::Session& session, std::uint64_t seed, double start_of_day);

  lockstep::Session& session() { return session_; }

  // Time spent waiting for the peer's inputs past a tick's due time.
  struct Waits {
    std::int64_t ticks = 0;  // ticks that began late because of the peer
    Time longest{};          // on the device's clock
  };
  const Waits& waits() const { return waits_; }
  // Inputs that reached their tick but that the game's rules refused there
  // (a key from the player not in that role, a box that is not open).
  int refused() const { return refused_; }

  // The game's generator reseeds from the shared seed and the game time.
  std::uint64_t clock_seed() final;

 protected:
  Time now() final { return game_time_; }
  double wall_seconds_since_midnight() final { return start_of_day_; }
  bool take_event(Event& event) final;
  void wait(std::optional<Time> deadline) final;

  // The device.
  virtual Time device_now() = 0;
  // Local input, in the game's terms. Key, Click and BoxClosed go to the
  // session; any other kind is the device's own and runs at once.
  virtual bool take_local(Event& event) = 0;
  virtual bool take_datagram(std::vector<std::uint8_t>& datagram) = 0;
  virtual void send(std::span<const std::uint8_t> datagram) = 0;
  // Returns at `deadline` on the device's clock, or sooner once local input
  // or a datagram is waiting.
  virtual void device_wait(Time deadline) = 0;

  // The game.
  virtual bool may_press(int player, int key) = 0;
  virtual bool between_pitches() = 0;
  virtual std::uint64_t digest() = 0;
  // The game as it stands at the end of `frame`, which both screens have
  // now passed with the same inputs.
  virtual void confirmed(lockstep::Frame /*frame*/) {}
  // A box is closing on both screens, by either player: the device takes
  // down its own, if the person here has not.
  virtual void box_closing(int /*box*/) {}
  // The peer has said nothing for kPeerQuiet: the game waits for it.
  virtual void peer_quiet() {}
  // The peer has said goodbye, or nothing for kPeerGone. The host plays on
  // alone; the guest waits for the host.
  virtual void peer_gone() {}
  // The host has played on alone while this screen was silent: this game
  // waits, and the device rejoins (a page reloads its invitation).
  virtual void left_behind() {}
  // The peer is heard again, after it was quiet or gone: rejoined, or its
  // network back.
  virtual void peer_back() {}

 private:
  void pump();
  void local(const Event& event);
  void advance(Time due);
  void probe(Time device);
  std::uint32_t device_ms();

  lockstep::Session& session_;
  std::uint64_t seed_;
  double start_of_day_;
  Time game_time_{};
  std::optional<Time> epoch_;  // device time at which game time 0 fell
  std::optional<Time> sealed_at_;
  Time last_probe_{};
  std::deque<Event> own_;  // the device's own input, waiting for the loop
  std::deque<lockstep::Session::Applied> due_;
  int requested_delay_ = 0;
  std::uint32_t started_ms_ = 0;  // on the device, when this screen's first tick was due
  enum class Peer { Heard, Quiet, Gone } peer_ = Peer::Heard;
  bool told_left_behind_ = false;
  Waits waits_;
  int refused_ = 0;
};
