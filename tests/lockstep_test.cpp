// The lockstep session's rules on their own, and one game on the shared
// loop with the test playing the peer's session by hand.
#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "core/forms/keys.h"
#include "game/mod_variable.h"
#include "game/two_screens.h"
#include "lockstep/shared_loop.h"
#include "pitch_screen/diamond.h"

namespace {

using lockstep::Frame;
using lockstep::Input;
using lockstep::Session;
using Bytes = std::vector<std::uint8_t>;

Input key(int code) { return {.kind = Input::Key, .a = static_cast<std::int16_t>(code)}; }

// Lets both sessions seal and enter the next tick, handing each the other's
// datagram; returns what each applied.
std::pair<std::vector<Session::Applied>, std::vector<Session::Applied>> step(Session& a, Session& b) {
  a.seal_next();
  b.seal_next();
  a.receive(b.datagram(), 0);
  b.receive(a.datagram(), 0);
  EXPECT_TRUE(a.peer_ready() && b.peer_ready());
  return {a.advance(true), b.advance(true)};
}

TEST(Wire, RejectsEveryMalformedDatagramWhole) {
  const lockstep::InputsPacket good{.sealed = 9, .acked = 3, .inputs = {{.frame = 5, .kind = Input::Key, .a = 104},
                                                                         {.frame = 6, .kind = Input::Click, .a = 2, .x = 10, .y = 400}}};
  const Bytes bytes = lockstep::encode(good);
  const auto parsed = lockstep::parse(bytes);
  ASSERT_EQ(parsed.type, lockstep::Parsed::Inputs);
  EXPECT_EQ(parsed.inputs.inputs, good.inputs);
  EXPECT_EQ(parsed.inputs.sealed, 9);

  auto with = [&](std::function<void(Bytes&)> change) {
    Bytes b = bytes;
    change(b);
    return lockstep::parse(b).type;
  };
  const std::size_t first = 22;  // the first input's frame; its kind at +4, its key at +5
  const std::vector<std::pair<const char*, std::function<void(Bytes&)>>> faults{
      {"empty", [](Bytes& b) { b.clear(); }},
      {"cut short", [](Bytes& b) { b.pop_back(); }},
      {"a byte too many", [](Bytes& b) { b.push_back(0); }},
      {"oversized", [](Bytes& b) { b.resize(lockstep::kMaxDatagram + 1); }},
      {"unknown type", [](Bytes& b) { b[0] = 9; }},
      {"count beyond the bytes", [](Bytes& b) { b[1] = 3; }},
      {"a key the game does not have", [&](Bytes& b) { b[first + 5] = 'A'; }},
      {"an unknown kind", [&](Bytes& b) { b[first + 4] = 7; }},
      {"an input past the sealed tick", [&](Bytes& b) { b[first] = 10; }},
      {"inputs out of order", [&](Bytes& b) { b[first] = 7; }},
      {"a click off any window", [&](Bytes& b) { b[first + 11 + 6] = 0xFF; }},
  };
  for (const auto& [what, change] : faults) EXPECT_EQ(with(change), lockstep::Parsed::Rejected) << what;

  lockstep::InputsPacket crowded{.sealed = 9};
  for (int i = 0; i <= lockstep::kMaxInputsPerFrame; ++i) crowded.inputs.push_back({.frame = 4, .a = 32});
  EXPECT_EQ(lockstep::parse(lockstep::encode(crowded)).type, lockstep::Parsed::Rejected) << "too many in one tick";
}

TEST(Session, BothScreensApplyTheSameInputsAtTheSameTickPlayerOneFirst) {
  Session host(1, 2), guest(2, 2);
  ASSERT_TRUE(guest.add_local(key(vk::kSpace)));  // pressed in tick 0: applies at tick 2
  ASSERT_TRUE(host.add_local(key(vk::kNumpad8)));
  const auto [h1, g1] = step(host, guest);
  EXPECT_TRUE(h1.empty() && g1.empty());
  const auto [h2, g2] = step(host, guest);
  ASSERT_EQ(h2.size(), 2u);
  for (const auto& applied : {h2, g2}) {
    EXPECT_EQ(applied[0].player, 1);
    EXPECT_EQ(applied[0].input.a, vk::kNumpad8);
    EXPECT_EQ(applied[1].player, 2);
    EXPECT_EQ(applied[1].input.frame, 2);
  }
  // Sealed while waiting for the peer: a press goes to the first open tick.
  host.seal_next();
  host.add_local(key(vk::kNumpad7));
  EXPECT_TRUE(step(host, guest).first.empty());
  EXPECT_TRUE(step(host, guest).second.empty());
  EXPECT_EQ(step(host, guest).second.at(0).input.frame, 5);
}

TEST(Session, ALostDatagramsInputsGoAgainUntilAcknowledged) {
  Session host(1, 1), guest(2, 1);
  host.add_local(key(vk::kNumpad9));
  host.seal_next();
  const Bytes lost = host.datagram();
  guest.seal_next();
  EXPECT_FALSE(guest.peer_ready());
  const Bytes again = host.datagram();
  EXPECT_EQ(lockstep::parse(again).inputs.inputs.size(), 1u);
  guest.receive(again, 0);
  ASSERT_TRUE(guest.peer_ready());
  EXPECT_EQ(guest.advance(true).at(0).input.a, vk::kNumpad9);
  host.receive(guest.datagram(), 0);  // its acknowledgement
  EXPECT_TRUE(lockstep::parse(host.datagram()).inputs.inputs.empty());
  EXPECT_EQ(guest.receive(lost, 0).verdict, Session::Receipt::Late);  // and the late copy changes nothing
  EXPECT_EQ(guest.log().size(), 1u);
}

TEST(Session, ABadPeerDatagramIsCountedAndNeverApplied) {
  Session host(1, 1);
  auto from_guest = [](lockstep::InputsPacket p) { return lockstep::encode(p); };
  const std::vector<std::pair<const char*, Bytes>> bad{
      {"malformed", {1, 2, 3}},
      {"sealed far ahead", from_guest({.sealed = lockstep::kMaxDelay + 1})},
      {"acknowledges what was never sent", from_guest({.sealed = 1, .acked = 5})},
      {"the host's delay, from the guest", from_guest({.sealed = 1, .inputs = {{.frame = 1, .kind = Input::Delay, .a = 3}}})},
  };
  for (const auto& [what, datagram] : bad)
    EXPECT_EQ(host.receive(datagram, 0).verdict, Session::Receipt::Bad) << what;
  EXPECT_EQ(host.bad_datagrams(), 4);
  host.seal_next();
  EXPECT_FALSE(host.peer_ready()) << "a bad datagram moved the peer's sealed tick";

  // A flood: past the rate, even good datagrams count as bad, until the
  // next second.
  Session guest(2, 1);
  for (int i = 0; i < lockstep::kMaxDatagramsPerSecond + 10; ++i) host.receive(guest.datagram(), 2000);
  EXPECT_EQ(host.bad_datagrams(), 4 + 10);
  EXPECT_EQ(host.receive(guest.datagram(), 3000).verdict, Session::Receipt::Late);
  EXPECT_FALSE(host.too_many_bad());
  while (host.bad_datagrams() < lockstep::kBadLimit) host.receive(Bytes{0}, 3000);
  EXPECT_TRUE(host.too_many_bad());
}

TEST(Session, TheHostsDelayTakesEffectOnlyBetweenPitchesOnBothScreens) {
  EXPECT_EQ(lockstep::delay_for_round_trip(0.4), 1);  // loopback
  EXPECT_EQ(lockstep::delay_for_round_trip(60), 3);   // 30 ms each way: 2 ticks, plus 1
  EXPECT_EQ(lockstep::delay_for_round_trip(5000), lockstep::kMaxDelay);
  Session host(1, 1), guest(2, 1);
  host.request_delay(3);
  host.seal_next();
  guest.seal_next();
  guest.receive(host.datagram(), 0);
  host.receive(guest.datagram(), 0);
  host.advance(false);
  guest.advance(false);
  EXPECT_EQ(host.delay(), 1) << "changed during a pitch";
  EXPECT_EQ(guest.delay(), 1);
  step(host, guest);
  EXPECT_EQ(host.delay(), 3);
  EXPECT_EQ(guest.delay(), 3);
}

// One game, the host's, on the shared loop, on a virtual device clock; the
// test is the guest: its session answers every wait, and `each_tick` runs
// once a tick, with the tick the game is in, after its inputs have applied.
class LoneScreen final : public SharedLoop {
 public:
  LoneScreen() : SharedLoop(host_, 7, 12 * 3600.0) {}

  Session guest{2, 1};
  std::deque<Event> local;
  std::function<void(Frame)> each_tick;
  // While silent, the guest sends nothing; `on_peer` hears what the loop
  // says of it, at the device's time.
  bool silent = false;
  std::function<void(const char*, Time)> on_peer;

 protected:
  Time device_now() override { return device_; }
  bool take_local(Event& event) override { return take(local, event); }
  bool take_datagram(Bytes& datagram) override { return take(inbox_, datagram); }
  void send(std::span<const std::uint8_t> datagram) override { guest.receive(datagram, 0); }
  void device_wait(Time deadline) override {
    device_ = deadline;
    if (guest.frame() < session().frame() + 1 && guest.seal_next()) guest.advance(true);
    guest.seal_next();
    if (!silent) inbox_.push_back(guest.datagram());
    if (each_tick && session().frame() != last_tick_) each_tick(last_tick_ = session().frame());
  }
  bool may_press(int player, int code) override { return ::may_press(player, code); }
  bool between_pitches() override { return ::between_pitches(); }
  std::uint64_t digest() override { return game_digest(); }
  void show_window(int, Form&, bool) override {}
  void hide_window(int) override {}
  void paint(int, const Form&, const PixelRect&) override {}
  void open_box(int, std::string_view, std::string_view) override {}
  void peer_quiet() override { heard("quiet"); }
  void peer_gone() override { heard("gone"); }
  void peer_back() override { heard("back"); }
  void left_behind() override { heard("behind"); }

 private:
  void heard(const char* what) {
    if (on_peer) on_peer(what, device_);
  }
  template <class T>
  static bool take(std::deque<T>& queue, T& out) {
    if (queue.empty()) return false;
    out = std::move(queue.front());
    queue.pop_front();
    return true;
  }
  Session host_{1, 1};
  Time device_{};
  Frame last_tick_ = -1;
  std::deque<Bytes> inbox_;
};

TEST(LoneScreen, AKeyCountsOnlyFromThePlayerInItsRoleAndAppliesTheNextTick) {
  reset_process_state();
  LoneScreen screen;
  const auto host_inputs = [&] {
    return std::ranges::count_if(screen.guest.log(), [](const Session::Applied& a) { return a.player == 1; });
  };
  screen.each_tick = [&](Frame frame) {
    switch (frame) {
      case 10:  // player 1 pitches, player 2 bats
        screen.guest.add_local(key(vk::kNumpad8));
        screen.guest.add_local({.kind = Input::BoxClosed, .a = 1});  // no box is open
        screen.local.push_back({.kind = LoopPlatform::Event::Key, .code = vk::kSpace});
        break;
      case 40:
        EXPECT_EQ(ModVariable.PitchType, 0) << "the batter's screen pitched";
        EXPECT_EQ(screen.refused(), 2);
        EXPECT_EQ(host_inputs(), 0) << "the pitcher's screen sent a swing";
        screen.local.push_back({.kind = LoopPlatform::Event::Key, .code = vk::kNumpad8});
        break;
      case 41:
        EXPECT_EQ(ModVariable.PitchType, 2) << "not applied the next tick";
        EXPECT_EQ(host_inputs(), 1);
        screen.quit();
        break;
    }
  };
  screen.run(Diamond());
  reset_process_state();
}

// A peer silent for 2 s is noticed as quiet, and heard again is back; silent
// for 3.5 s it is gone, and the host's person plays for it. Heard again
// after that, it is told it was left behind, and must rejoin.
TEST(LoneScreen, ASilentPeerIsQuietAt2SecondsGoneAtThreeAndAHalfThenLeftBehind) {
  reset_process_state();
  LoneScreen screen;
  std::vector<std::pair<std::string, double>> said;  // what, seconds of silence
  LoopPlatform::Time silent_since{};
  const auto hush = [&](LoopPlatform::Time now) {
    screen.silent = true;
    silent_since = now;
  };
  screen.on_peer = [&](const char* what, LoopPlatform::Time now) {
    said.emplace_back(what, std::chrono::duration<double>(now - silent_since).count());
    if (said.size() == 1) screen.silent = false;  // an outage of 2 s
    if (said.size() == 2) hush(now);
    if (said.size() == 4) screen.local.push_back({.kind = LoopPlatform::Event::Key, .code = vk::kSpace});
  };
  const auto batter_played = [&] {
    return std::ranges::any_of(screen.session().log(), [](const Session::Applied& a) { return a.player == 2; });
  };
  screen.each_tick = [&](Frame frame) {
    if (frame == 10) hush(frame * kTickPeriod);
    if (batter_played()) screen.silent = false;
    if (screen.guest.left_behind() || frame > 2000) screen.quit();
  };
  screen.run(Diamond());
  ASSERT_EQ(said.size(), 4u);
  EXPECT_EQ(said[0].first, "quiet");
  EXPECT_EQ(said[1].first, "back");
  EXPECT_EQ(said[2].first, "quiet");
  EXPECT_EQ(said[3].first, "gone");
  EXPECT_NEAR(said[0].second, 2.0, 0.05);
  EXPECT_NEAR(said[2].second, 2.0, 0.05);
  EXPECT_NEAR(said[3].second, 3.5, 0.05);
  EXPECT_TRUE(batter_played()) << "the host's Space did not play for the gone batter";
  EXPECT_TRUE(screen.guest.left_behind()) << "the guest heard again was not told it was left behind";
  EXPECT_TRUE(screen.session().alone()) << "the alone host took the guest's inputs";
  // A screen told it was left behind stops and says so.
  Session guest{2, 1};
  guest.receive(lockstep::encode(lockstep::Behind{}), 0);
  EXPECT_TRUE(guest.left_behind());
  Session host{1, 1};
  EXPECT_EQ(host.receive(lockstep::encode(lockstep::Behind{}), 0).verdict, Session::Receipt::Bad);
  reset_process_state();
}

}  // namespace
