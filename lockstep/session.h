// One screen's side of a game that two screens play: delay-based lockstep.
// A local input takes effect `delay` ticks after the tick it was pressed in,
// on both screens; a screen enters the next tick only once both players'
// inputs for it are final. So both games see the same inputs at the same
// game time, and compute the same game.
//
// The session is the whole contract, over any transport: the caller hands
// it local inputs and datagrams from the peer, sends what it returns, and
// asks it whether the next tick may begin. Every datagram is parsed and
// checked before anything in it is used; a bad one is counted and dropped.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "lockstep/wire.h"

namespace lockstep {

// Digests are compared at every tick that is a multiple of this: twice a second.
inline constexpr Frame kCheckpointEvery = 32;
// Datagrams a peer may send in one second before the rest count as a flood.
inline constexpr int kMaxDatagramsPerSecond = 400;
// Bad datagrams after which the session ends.
inline constexpr int kBadLimit = 100;
// How far behind the peer's latest a sealed tick may be before it is no
// longer a late datagram but a bad one: ten seconds.
inline constexpr Frame kStaleLimit = 640;

// The input delay for a measured round trip: the one-way latency in ticks,
// rounded up, plus one. Latency under a millisecond counts as none.
int delay_for_round_trip(double milliseconds);

class Session {
 public:
  // Player 1 hosts: it alone chooses the input delay.
  Session(int player, int delay);
  // A screen that comes back: it replays the welcome's inputs, then plays
  // on from its tick.
  Session(int player, const Welcome& welcome);

  int player() const { return player_; }
  int peer() const { return 3 - player_; }
  Frame frame() const { return frame_; }
  int delay() const { return delay_; }

  // A local input, stamped with the tick at which it takes effect; false
  // when dropped (too many inputs in one tick, or waiting for the peer).
  // While alone, this screen's person also plays the peer's player.
  bool add_local(Input input, int as_player = 0);

  // The peer has gone: this screen plays on without waiting for it.
  void play_alone();
  bool alone() const { return alone_; }
  // Replaying what happened before this screen rejoined: nothing to pace,
  // draw or wait for.
  bool replaying() const { return frame_ < replay_until_; }
  Frame replay_until() const { return replay_until_; }
  // The host asks for a new delay; both screens use it from the first tick
  // between pitches once the request takes effect.
  void request_delay(int delay);

  // This screen is done with frame(): its inputs for the next ticks, up to
  // frame() + delay(), are final. True when the peer's are final too.
  bool seal_next();
  bool peer_ready() const { return peer_sealed_ > frame_; }

  struct Applied {
    int player;
    Input input;
  };
  // Enters the next tick (only when peer_ready). Returns its inputs, player
  // 1's before player 2's, in the order each was pressed. `between_pitches`
  // says whether the game as it stands lets the delay change now.
  std::vector<Applied> advance(bool between_pitches);

  // What to send now: every sealed local input the peer has not
  // acknowledged, how far this screen's inputs are final, and the latest
  // checkpoint digest.
  std::vector<std::uint8_t> datagram() const;
  std::vector<std::uint8_t> ping(std::uint32_t now_ms) const { return encode(Ping{now_ms, false}); }

  struct Receipt {
    enum Verdict { Used, Late, Bad } verdict = Used;
    std::vector<std::uint8_t> reply;  // to send back at once (a probe's echo)
  };
  // A datagram from the peer, received at `now_ms` on this device's clock.
  Receipt receive(std::span<const std::uint8_t> datagram, std::uint32_t now_ms);

  // This screen's digest of the game at a checkpoint tick.
  void checkpoint(Frame frame, std::uint64_t digest);
  // The first checkpoint at which the two games' digests differed.
  std::optional<Frame> disagreement() const { return disagreement_; }

  int bad_datagrams() const { return bad_; }
  bool too_many_bad() const { return bad_ >= kBadLimit; }
  bool peer_said_bye() const { return bye_; }
  // The host has played on without this screen: it must rejoin.
  bool left_behind() const { return left_behind_; }
  // The longest of the last few round trips measured, if any.
  std::optional<double> round_trip_ms() const;
  std::uint32_t last_heard_ms() const { return last_heard_ms_; }
  // Every input applied so far, for a screen that rejoins.
  const std::vector<Applied>& log() const { return log_; }

 private:
  Receipt::Verdict take(const InputsPacket& packet);
  // The peer is back: this screen stops playing for it, and the peer gets
  // every input so far and the tick from which it plays live.
  Welcome welcome_back();
  bool flooding(std::uint32_t now_ms);

  int player_;
  int delay_;
  std::optional<int> pending_delay_;
  Frame frame_ = 0;
  Frame local_sealed_ = 0;  // frame 0 has no inputs: final from the start
  Frame peer_sealed_ = 0;
  Frame peer_acked_ = 0;    // the peer holds this screen's inputs up to here
  std::deque<Input> unacked_;
  std::map<Frame, std::vector<Applied>> schedule_;
  std::vector<Applied> log_;
  std::map<Frame, std::uint64_t> mine_, theirs_;
  Frame latest_checkpoint_ = -1;
  std::optional<Frame> disagreement_;
  Frame replay_until_ = 0;
  bool alone_ = false;
  int bad_ = 0;
  bool bye_ = false;
  bool left_behind_ = false;
  std::array<double, 8> round_trips_{};
  std::size_t probes_answered_ = 0;
  std::uint32_t last_heard_ms_ = 0;
  std::uint32_t window_start_ms_ = 0;
  int window_count_ = 0;
};

}  // namespace lockstep
