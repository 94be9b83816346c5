#include "lockstep/shared_loop.h"

#include <algorithm>

using lockstep::Input;

namespace {

// The device probes the round trip this often.
constexpr std::chrono::seconds kProbeEvery{1};

LoopPlatform::Time frame_time(lockstep::Frame frame) { return frame * kTickPeriod; }

std::int16_t pixel(float v) { return static_cast<std::int16_t>(std::clamp(v, 0.0f, 4095.0f)); }

std::uint64_t mix(std::uint64_t z) {
  z += 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

SharedLoop::SharedLoop(lockstep::Session& session, std::uint64_t seed, double start_of_day)
    : session_(session), seed_(seed), start_of_day_(start_of_day) {}

std::uint64_t SharedLoop::clock_seed() { return mix(seed_ ^ static_cast<std::uint64_t>(game_time_.count())); }

// The device's own input first; then the inputs of the tick the game is in,
// each checked against the game's rules as it now stands, on both screens.
bool SharedLoop::take_event(Event& event) {
  pump();
  if (!own_.empty()) {
    event = own_.front();
    own_.pop_front();
    return true;
  }
  while (!due_.empty()) {
    const auto [player, input] = due_.front();
    due_.pop_front();
    switch (input.kind) {
      case Input::Key:
        if (!may_press(player, input.a)) break;
        event = {.kind = Event::Key, .code = input.a};
        return true;
      case Input::Click:
        event = {.kind = Event::Click, .window = input.a, .x = float(input.x), .y = float(input.y)};
        return true;
      case Input::BoxClosed:
        if (input.a != innermost_box()) break;
        box_closing(input.a);
        event = {.kind = Event::BoxClosed, .code = input.a};
        return true;
      case Input::Delay: continue;
    }
    ++refused_;
  }
  return false;
}

// Game time moves only here. A wait that ends inside the tick moves it
// there at once: the two games make the same waits. The next tick begins at
// its due time on the device's clock, once the peer's inputs for it are in.
void SharedLoop::wait(std::optional<Time> deadline) {
  const Time next = frame_time(session_.frame() + 1);
  if (deadline && *deadline < next) {
    game_time_ = std::max(game_time_, *deadline);
    return;
  }
  // A screen that rejoins replays what it missed as fast as it can.
  if (session_.replaying()) {
    advance(device_now());
    return;
  }
  for (;;) {
    pump();
    if (!own_.empty() || closing_) return;
    const Time device = device_now();
    if (!epoch_) {
      epoch_ = device - next;
      started_ms_ = device_ms();
    }
    const Time due = *epoch_ + next;
    probe(device);
    if (device < due) {
      device_wait(due);
      continue;
    }
    if (!sealed_at_ || device - *sealed_at_ >= kTickPeriod) {
      // Sealing sends the inputs; while the peer's are missing, they go
      // again every tick, so a lost datagram costs at most a tick.
      session_.seal_next();
      send(session_.datagram());
      sealed_at_ = device;
    }
    // A silent peer is noticed once quiet, and once gone; and back once it
    // is heard again. The host's game goes on without it; the guest's
    // waits for the host.
    const std::uint32_t silence = device_ms() - std::max(session_.last_heard_ms(), started_ms_);
    const Peer now = session_.peer_said_bye() || silence >= kPeerGone.count() ? Peer::Gone
                     : silence >= kPeerQuiet.count()                          ? Peer::Quiet
                                                                              : Peer::Heard;
    if (peer_ != Peer::Heard && now == Peer::Heard && !session_.alone()) {
      peer_ = now;
      peer_back();
    }
    if (peer_ == Peer::Heard && now == Peer::Quiet) {
      peer_ = now;
      peer_quiet();
    }
    if (peer_ != Peer::Gone && now == Peer::Gone) {
      peer_ = now;
      if (session_.player() == 1) session_.play_alone();
      peer_gone();
      continue;
    }
    if (session_.left_behind()) {
      // The host played on without this screen: only a rejoin brings the
      // two games together again.
      if (!told_left_behind_) left_behind();
      told_left_behind_ = true;
      device_wait(device + kTickPeriod);
      continue;
    }
    if (session_.peer_ready()) {
      advance(due);
      return;
    }
    device_wait(*sealed_at_ + kTickPeriod);
  }
}

void SharedLoop::pump() {
  Event event;
  while (take_local(event)) local(event);
  std::vector<std::uint8_t> datagram;
  while (take_datagram(datagram)) {
    const auto receipt = session_.receive(datagram, device_ms());
    if (!receipt.reply.empty()) send(receipt.reply);
  }
}

// A key counts only from the screen whose player holds its role now; it is
// checked again at the tick it applies.
void SharedLoop::local(const Event& event) {
  switch (event.kind) {
    case Event::Key: {
      // Alone, the person here plays whichever player the key is for.
      const Input key{.kind = Input::Key, .a = static_cast<std::int16_t>(event.code)};
      if (may_press(session_.player(), event.code))
        session_.add_local(key);
      else if (session_.alone() && may_press(session_.peer(), event.code))
        session_.add_local(key, session_.peer());
      break;
    }
    case Event::Click:
      if (event.window >= 1 && event.window <= lockstep::kMaxWindow)
        session_.add_local({.kind = Input::Click, .a = static_cast<std::int16_t>(event.window),
                            .x = pixel(event.x), .y = pixel(event.y)});
      break;
    case Event::BoxClosed:
      session_.add_local({.kind = Input::BoxClosed, .a = static_cast<std::int16_t>(event.code)});
      break;
    default: own_.push_back(event);
  }
}

void SharedLoop::advance(Time due) {
  // A tick that begins more than a tick late (the peer's inputs were late,
  // or the device stalled) paces the ticks after it afresh: no burst of
  // missed ticks, and the screen that was ahead falls in step with the
  // other. A lesser lateness is the device's timer, caught up at once.
  const Time late = device_now() - due;
  if (late > kTickPeriod) {
    ++waits_.ticks;
    waits_.longest = std::max(waits_.longest, late);
    *epoch_ += late;
  }
  const lockstep::Frame frame = session_.frame();
  if (frame % lockstep::kCheckpointEvery == 0) session_.checkpoint(frame, digest());
  confirmed(frame);
  const bool between = between_pitches();
  // The host asks for the delay the round trip calls for between pitches.
  if (between && session_.player() == 1)
    if (const auto trip = session_.round_trip_ms()) {
      const int wanted = lockstep::delay_for_round_trip(*trip);
      if (wanted != requested_delay_ && wanted != session_.delay()) session_.request_delay(wanted);
      requested_delay_ = wanted;
    }
  for (const auto& applied : session_.advance(between)) due_.push_back(applied);
  game_time_ = frame_time(session_.frame());
  sealed_at_.reset();
}

void SharedLoop::probe(Time device) {
  if (device - last_probe_ < kProbeEvery) return;
  last_probe_ = device;
  send(session_.ping(device_ms()));
}

std::uint32_t SharedLoop::device_ms() {
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(device_now()).count());
}
