#include "lockstep/session.h"

#include <algorithm>
#include <cmath>

#include "core/runtime.h"

namespace lockstep {

namespace {

constexpr double kTickMs = std::chrono::duration<double, std::milli>(kTickPeriod).count();

// Drops the entries older than the latest few checkpoints.
void trim(std::map<Frame, std::uint64_t>& digests, Frame latest) {
  std::erase_if(digests, [&](const auto& entry) { return entry.first < latest - 4 * kCheckpointEvery; });
}

}  // namespace

int delay_for_round_trip(double milliseconds) {
  const double one_way_ticks = std::max(0.0, milliseconds / 2 - 1) / kTickMs;
  return std::clamp(static_cast<int>(std::ceil(one_way_ticks)) + 1, 1, kMaxDelay);
}

Session::Session(int player, int delay) : player_(player), delay_(std::clamp(delay, 1, kMaxDelay)) {}

Session::Session(int player, const Welcome& welcome) : Session(player, welcome.delay) {
  for (const auto& [p, input] : welcome.inputs) schedule_[input.frame].push_back({p, input});
  local_sealed_ = peer_sealed_ = peer_acked_ = replay_until_ = welcome.from;
}

bool Session::add_local(Input input, int as_player) {
  const int player = alone_ && as_player == peer() ? peer() : player_;
  input.frame = std::max(frame_ + delay_, local_sealed_ + 1);
  if (player == player_) {
    const auto same_frame =
        std::count_if(unacked_.begin(), unacked_.end(), [&](const Input& i) { return i.frame == input.frame; });
    if (same_frame >= kMaxInputsPerFrame || unacked_.size() >= kMaxInputsPerPacket) return false;
    unacked_.push_back(input);
  }
  schedule_[input.frame].push_back({player, input});
  return true;
}

void Session::play_alone() {
  alone_ = true;
  peer_sealed_ = std::max(peer_sealed_, local_sealed_);
}

Welcome Session::welcome_back() {
  alone_ = bye_ = false;
  // Every input up to here is final on this screen, whoever pressed it.
  local_sealed_ = std::max(local_sealed_, peer_sealed_);
  Welcome welcome{.from = local_sealed_, .delay = delay_};
  for (const Applied& a : log_) welcome.inputs.push_back({a.player, a.input});
  for (const auto& [frame, inputs] : schedule_)
    for (const Applied& a : inputs)
      if (frame <= local_sealed_) welcome.inputs.push_back({a.player, a.input});
  // Inputs pressed since the seal go to the peer as any others do.
  peer_sealed_ = peer_acked_ = local_sealed_;
  while (!unacked_.empty() && unacked_.front().frame <= peer_acked_) unacked_.pop_front();
  return welcome;
}

void Session::request_delay(int delay) {
  if (player_ == 1 && delay != delay_) add_local({.kind = Input::Delay, .a = static_cast<std::int16_t>(delay)});
}

bool Session::seal_next() {
  local_sealed_ = std::max(local_sealed_, frame_ + delay_);
  if (alone_) peer_sealed_ = local_sealed_;
  return peer_ready();
}

std::vector<Session::Applied> Session::advance(bool between_pitches) {
  ++frame_;
  std::vector<Applied> inputs;
  if (const auto it = schedule_.find(frame_); it != schedule_.end()) {
    inputs = std::move(it->second);
    schedule_.erase(it);
  }
  // Player 1's first; each player's in the order pressed.
  std::stable_sort(inputs.begin(), inputs.end(), [](const Applied& a, const Applied& b) { return a.player < b.player; });
  for (const Applied& applied : inputs) {
    if (applied.input.kind == Input::Delay) pending_delay_ = applied.input.a;
    log_.push_back(applied);
  }
  if (pending_delay_ && between_pitches) {
    delay_ = *pending_delay_;
    pending_delay_.reset();
  }
  std::erase_if(inputs, [](const Applied& a) { return a.input.kind == Input::Delay; });
  return inputs;
}

std::vector<std::uint8_t> Session::datagram() const {
  InputsPacket packet{.sealed = local_sealed_, .acked = peer_sealed_, .digest_frame = latest_checkpoint_};
  if (const auto it = mine_.find(latest_checkpoint_); it != mine_.end()) packet.digest = it->second;
  // Inputs past the sealed tick wait for the seal that covers them.
  for (const Input& input : unacked_)
    if (input.frame <= local_sealed_) packet.inputs.push_back(input);
  return encode(packet);
}

Session::Receipt Session::receive(std::span<const std::uint8_t> datagram, std::uint32_t now_ms) {
  if (flooding(now_ms)) {
    ++bad_;
    return {Receipt::Bad};
  }
  const Parsed parsed = parse(datagram);
  Receipt receipt;
  switch (parsed.type) {
    case Parsed::Rejected: receipt.verdict = Receipt::Bad; break;
    case Parsed::Leave: bye_ = true; break;
    case Parsed::Rejoin:
      // The peer's page has come back, noticed gone or not.
      receipt.reply = encode(welcome_back());
      break;
    case Parsed::Welcomed: receipt.verdict = Receipt::Bad; break;  // only a screen that rejoins asks for one
    case Parsed::Probe:
      if (!parsed.ping.reply) {
        receipt.reply = encode(Ping{parsed.ping.stamp, true});
      } else if (now_ms - parsed.ping.stamp < 60'000) {
        round_trips_[probes_answered_++ % round_trips_.size()] = now_ms - parsed.ping.stamp;
      } else {
        receipt.verdict = Receipt::Bad;  // an echo of a probe never sent
      }
      break;
    case Parsed::Inputs:
      // Alone, this screen has played the peer's player itself: the peer's
      // inputs no longer fit, and it must rejoin.
      if (alone_) {
        receipt.reply = encode(Behind{});
        break;
      }
      receipt.verdict = take(parsed.inputs);
      break;
    case Parsed::LeftBehind:
      if (player_ == 1) receipt.verdict = Receipt::Bad;  // only the host plays alone
      else left_behind_ = true;
      break;
  }
  if (receipt.verdict == Receipt::Bad)
    ++bad_;
  else
    last_heard_ms_ = now_ms;
  return receipt;
}

// The peer cannot be more than its delay past this screen's final inputs,
// nor acknowledge or checkpoint what this screen never sealed; it may only
// send its own kinds of input. Nothing is taken from a packet that breaks
// a rule; a late packet gives only its acknowledgement.
Session::Receipt::Verdict Session::take(const InputsPacket& p) {
  const bool far_ahead = p.sealed > local_sealed_ + kMaxDelay;
  const bool far_behind = p.sealed < peer_sealed_ - kStaleLimit;
  const bool wrong_kind = player_ == 1 && std::any_of(p.inputs.begin(), p.inputs.end(), [](const Input& i) {
                            return i.kind == Input::Delay;
                          });
  if (far_ahead || far_behind || wrong_kind || p.acked > local_sealed_ || p.digest_frame > local_sealed_)
    return Receipt::Bad;
  if (p.acked > peer_acked_) {
    peer_acked_ = p.acked;
    while (!unacked_.empty() && unacked_.front().frame <= peer_acked_) unacked_.pop_front();
  }
  if (p.digest_frame >= 0 && p.digest_frame <= frame_ + kMaxDelay) {
    if (const auto mine = mine_.find(p.digest_frame); mine != mine_.end()) {
      if (mine->second != p.digest && !disagreement_) disagreement_ = p.digest_frame;
    } else {
      theirs_[p.digest_frame] = p.digest;
      trim(theirs_, p.digest_frame);
    }
  }
  if (p.sealed <= peer_sealed_) return Receipt::Late;
  for (const Input& input : p.inputs)
    if (input.frame > peer_sealed_) schedule_[input.frame].push_back({peer(), input});
  peer_sealed_ = p.sealed;
  return Receipt::Used;
}

std::optional<double> Session::round_trip_ms() const {
  if (probes_answered_ == 0) return std::nullopt;
  const std::size_t n = std::min(probes_answered_, round_trips_.size());
  return *std::max_element(round_trips_.begin(), round_trips_.begin() + static_cast<std::ptrdiff_t>(n));
}

void Session::checkpoint(Frame frame, std::uint64_t digest) {
  mine_[frame] = digest;
  latest_checkpoint_ = frame;
  trim(mine_, frame);
  if (const auto theirs = theirs_.find(frame); theirs != theirs_.end()) {
    if (theirs->second != digest && !disagreement_) disagreement_ = frame;
    theirs_.erase(theirs);
  }
}

bool Session::flooding(std::uint32_t now_ms) {
  if (now_ms - window_start_ms_ >= 1000) {
    window_start_ms_ = now_ms;
    window_count_ = 0;
  }
  return ++window_count_ > kMaxDatagramsPerSecond;
}

}  // namespace lockstep
