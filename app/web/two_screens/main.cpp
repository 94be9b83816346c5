// The game for two screens in two pages: the program the page loads when a
// player invites a friend or opens an invitation. It runs the same game as
// the one-keyboard page, on the shared loop: its clock is the shared game
// time and its input comes through the session. The page's side
// (friend.js) carries the datagrams over a WebRTC connection and shows what
// this program reports.
#include <emscripten.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/web/page.h"
#include "core/web/web_platform.h"
#include "game/two_screens.h"
#include "game/mod_variable.h"
#include "lockstep/shared_loop.h"
#include "pitch_screen/diamond.h"

extern "C" {
// link.js: what the peer connection has brought, and what goes out on it.
int link_next();  // the next datagram's length, or a LinkNext
void link_read(std::uint8_t* buffer);  // takes the next datagram
bool link_waiting();  // anything has come that the program has not taken
void link_send(const std::uint8_t* data, int length);
void link_status(int status, double a, double b);
// player2.js and pads.js: the pads of the player this screen does not play
// are hidden, as the computer's are.
void pads_init();
void player2_role(int role);
}

namespace {

// Numbered as Link.next in link.js: what comes next from the peer
// connection, when it is not a datagram.
enum LinkNext : int { kDatagram = 0, kNothing = -1, kOpened = -2, kClosed = -3 };
// Numbered as Friend.status in friend.js.
enum Status : int {
  kConnected = 1,
  kFriendLeft = 2,
  kFriendBack = 3,
  kDisagreed = 4,
  kTooManyBad = 5,
  kFriendQuiet = 6,
  kLeftBehind = 7
};
// Numbered as Player2.role in player2.js: which pad belongs to the other screen.
enum PadsHidden : int { kNone = 0, kPitcher = 1, kBatter = 2 };

// FNV-1a of the room's token: both screens' shared seed.
std::uint64_t seed_of(std::string_view token) {
  std::uint64_t h = 0xCBF29CE484222325ull;
  for (char c : token) h = (h ^ static_cast<std::uint8_t>(c)) * 0x100000001B3ull;
  return h;
}

class TwoScreenPage final : public SharedLoop {
 public:
  TwoScreenPage(lockstep::Session& session, std::uint64_t seed) : SharedLoop(session, seed, start_of_day(seed)) {}

  // Before the game begins: answers the peer's hello with an empty welcome,
  // says its own once the link opens, and returns the welcome the peer
  // sends, from which this screen's game begins (or picks up again).
  static lockstep::Welcome await_welcome() {
    std::vector<std::uint8_t> datagram;
    for (;;) {
      for (int taken; (taken = take(datagram)) != kNothing;) {
        if (taken == kOpened) send_now(lockstep::encode(lockstep::Hello{}));
        if (taken != kDatagram) continue;
        const lockstep::Parsed parsed = lockstep::parse(datagram);
        if (parsed.type == lockstep::Parsed::Welcomed) return parsed.welcome;
        if (parsed.type == lockstep::Parsed::Rejoin) send_now(lockstep::encode(lockstep::Welcome{}));
      }
      LoopPlatform::Event ignored;
      while (web_page::take(ignored, {})) {
      }
      page_wait(-1);
    }
  }

 protected:
  Time device_now() override { return web_page::now(); }

  bool take_local(Event& event) override {
    if (replayed_ && !session().replaying()) {
      // The game is drawn again once it has caught up.
      replayed_ = false;
      event = {.kind = Event::RepaintAll};
      return true;
    }
    return web_page::take(event, {});
  }

  bool take_datagram(std::vector<std::uint8_t>& datagram) override {
    for (;;) {
      switch (take(datagram)) {
        case kNothing: return false;
        case kOpened: continue;  // a game under way says no hello
        case kClosed: datagram = lockstep::encode(lockstep::Bye{}); return true;
        default: return true;
      }
    }
  }

  void send(std::span<const std::uint8_t> datagram) override { send_now(datagram); }

  void device_wait(Time deadline) override {
    if (link_waiting()) return;
    web_page::wait(deadline);
  }

  bool may_press(int player, int key) override { return ::may_press(player, key); }
  bool between_pitches() override { return ::between_pitches(); }
  std::uint64_t digest() override { return game_digest(); }

  void confirmed(lockstep::Frame frame) override {
    lockstep::Session& s = session();
    if (const auto tick = s.disagreement()) return end(kDisagreed, *tick);
    if (s.too_many_bad()) return end(kTooManyBad, s.bad_datagrams());
    if (s.replaying()) return;
    show_pads();
    if (frame % 64 == 0 && !s.alone()) {
      const double trip = s.round_trip_ms().value_or(0);
      link_status(kConnected, trip, s.delay());
    }
  }

  void peer_quiet() override { link_status(kFriendQuiet, 0, 0); }
  void left_behind() override { end(kLeftBehind, 0); }
  void peer_gone() override { link_status(kFriendLeft, session().alone() ? 1 : 0, 0); }
  void peer_back() override { link_status(kFriendBack, 0, 0); }
  void box_closing(int box) override { page_close_box(box); }

  // Nothing is drawn while the game replays what this screen missed.
  void show_window(int window, Form& form, bool) override { web_page::show_window(window, form); }
  void hide_window(int window) override { web_page::hide_window(window); }
  void paint(int window, const Form& form, const PixelRect& dirty) override {
    if (session().replaying()) {
      replayed_ = true;
      return;
    }
    web_page::paint(window, form, dirty);
  }
  void open_box(int box, std::string_view prompt, std::string_view title) override {
    web_page::open_box(box, prompt, title);
  }

 private:
  // The time of day the game's clock starts at: the same on both screens.
  static double start_of_day(std::uint64_t seed) { return static_cast<double>(seed % 86'400); }

  static int take(std::vector<std::uint8_t>& datagram) {
    const int next = link_next();
    if (next < 0) return next;
    datagram.resize(static_cast<std::size_t>(next));
    link_read(datagram.data());
    return kDatagram;
  }
  static void send_now(std::span<const std::uint8_t> datagram) {
    link_send(datagram.data(), static_cast<int>(datagram.size()));
  }

  void show_pads() {
    const lockstep::Session& s = session();
    const PadsHidden hidden = s.alone() ? kNone
                              : ::may_press(s.player(), kPitchKeys)  ? kBatter
                              : ::may_press(s.peer(), kPitchKeys)    ? kPitcher
                                                                       : kNone;
    if (hidden == pads_hidden_) return;
    pads_hidden_ = hidden;
    player2_role(hidden);
  }

  void end(Status why, double a) {
    link_status(why, a, 0);
    quit();
  }

  static constexpr int kPitchKeys = 104;  // keypad 8: any pitch key tells who pitches
  bool replayed_ = false;
  PadsHidden pads_hidden_ = kNone;
};

}  // namespace

// `player`: 1 hosts, 2 joins. `token`: the room's, from which the seed comes.
extern "C" EMSCRIPTEN_KEEPALIVE void start_two_screens(int player, const char* token) {
  web_page::init();
  const std::uint64_t seed = seed_of(token);
  static lockstep::Session session(player, TwoScreenPage::await_welcome());
  // The pads come with the game, once the two screens have met.
  pads_init();
  static TwoScreenPage page(session, seed);
  page.run(Diamond());
}
