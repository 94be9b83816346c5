// Two whole games, each in its own process, joined by a simulated network
// in virtual time: the computer plays both sides (the host pitches first),
// the host closes the hit view, either side the box. The coordinator here
// owns the one virtual clock and the network; a game runs until it has to
// wait on its device, then reports what it sent and waits to be resumed.
// Both games report their digest at every confirmed tick; any difference
// fails.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <csignal>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <random>
#include <tuple>

#include "computer/computer_player.h"
#include "computer/opponent.h"
#include "core/forms/keys.h"
#include "game/mod_variable.h"
#include "game/two_screens.h"
#include "hit_view/hit_view.h"
#include "lockstep/shared_loop.h"
#include "pitch_screen/diamond.h"

namespace {

using namespace std::chrono_literals;
using Time = LoopPlatform::Time;
using Bytes = std::vector<std::uint8_t>;

constexpr int kPitches = 1000;
constexpr std::uint64_t kSharedSeed = 20261210;

// ---- The pipe between a game and the coordinator: one datagram a message.

class Message {
 public:
  void i64(std::int64_t v) { put(&v, 8); }
  void bytes(const Bytes& b) {
    i64(static_cast<std::int64_t>(b.size()));
    data.insert(data.end(), b.begin(), b.end());
  }
  std::int64_t i64() { return get<std::int64_t>(); }
  Bytes bytes() {
    const auto n = static_cast<std::size_t>(i64());
    Bytes b(data.begin() + static_cast<std::ptrdiff_t>(at_), data.begin() + static_cast<std::ptrdiff_t>(at_ + n));
    at_ += n;
    return b;
  }
  bool send(int fd) const {
    return ::send(fd, data.data(), data.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(data.size());
  }
  static Message receive(int fd) {
    static std::uint8_t buffer[1 << 16];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    Message m;
    if (n > 0) m.data.assign(buffer, buffer + n);
    return m;
  }
  Bytes data;

 private:
  void put(const void* p, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    data.insert(data.end(), b, b + n);
  }
  template <class T>
  T get() {
    T v{};
    if (at_ + sizeof v <= data.size()) std::memcpy(&v, data.data() + at_, sizeof v);
    at_ += sizeof v;
    return v;
  }
  std::size_t at_ = 0;
};

// What a game reports each time it waits: until when, what it sent, the
// digests of the ticks it confirmed, and how far the game has got.
struct Report {
  Time until{};
  std::vector<Bytes> sent;
  std::vector<std::pair<lockstep::Frame, std::uint64_t>> digests;
  std::int64_t pitches = 0;
  bool in_flight = false;
  // Once quit: its figures.
  std::int64_t delay = 0, waited_ticks = 0, longest_wait_us = 0, refused = 0, bad = 0;
};

// ---- One game, in a child process.

// A game's end of the pipe: its device clock, the datagrams that reached
// it, and what it has to report.
struct Link {
  int fd;
  Time device{};
  std::vector<Bytes> inbox, sent;
  std::vector<std::pair<lockstep::Frame, std::uint64_t>> digests;

  // Reports, and unless this is the last report waits to be resumed; false
  // once told to quit.
  bool report_and_wait(Time until, const Report& figures, bool last) {
    Message m;
    m.i64(until.count());
    m.i64(static_cast<std::int64_t>(sent.size()));
    for (const Bytes& b : sent) m.bytes(b);
    m.i64(static_cast<std::int64_t>(digests.size()));
    for (const auto& [frame, digest] : digests) {
      m.i64(frame);
      m.i64(static_cast<std::int64_t>(digest));
    }
    for (std::int64_t v : {figures.pitches, std::int64_t{figures.in_flight}, figures.delay, figures.waited_ticks,
                           figures.longest_wait_us, figures.refused, figures.bad})
      m.i64(v);
    sent.clear();
    digests.clear();
    m.send(fd);
    if (last) return false;
    Message resume = Message::receive(fd);
    device = Time(resume.i64());
    const bool quit = resume.i64() != 0 || resume.data.empty();
    for (std::int64_t n = resume.i64(); n > 0; --n) inbox.push_back(resume.bytes());
    return !quit;
  }
};

class SimScreen final : public SharedLoop {
 public:
  SimScreen(lockstep::Session& session, Link& link)
      : SharedLoop(session, kSharedSeed, 12 * 3600.0),
        link_(link),
        brain_(computer::Level::Normal, kSharedSeed + static_cast<std::uint64_t>(session.player())),
        random_(static_cast<unsigned>(session.player())) {}

  void report_and_wait(Time until, bool last) {
    const Report figures{.pitches = pitches_,
                         .in_flight = HitView().loaded(),
                         .delay = session().delay(),
                         .waited_ticks = waits().ticks,
                         .longest_wait_us = std::chrono::duration_cast<std::chrono::microseconds>(waits().longest).count(),
                         .refused = refused(),
                         .bad = session().bad_datagrams()};
    if (!link_.report_and_wait(until, figures, last) && !last) quit();
  }

 protected:
  Time device_now() override { return link_.device; }
  bool take_datagram(Bytes& datagram) override {
    if (link_.inbox.empty()) return false;
    datagram = std::move(link_.inbox.front());
    link_.inbox.erase(link_.inbox.begin());
    return true;
  }
  void send(std::span<const std::uint8_t> datagram) override {
    link_.sent.emplace_back(datagram.begin(), datagram.end());
  }
  void device_wait(Time deadline) override { report_and_wait(deadline, false); }
  bool may_press(int player, int key) override { return ::may_press(player, key); }
  bool between_pitches() override { return ::between_pitches(); }
  std::uint64_t digest() override { return game_digest(); }
  void confirmed(lockstep::Frame frame) override {
    if (frame == replayed_until_) {
      std::printf("[rejoin] replayed %d ticks (%.0f s of play) in %.0f ms\n", frame, frame / 64.0,
                  std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started_).count());
      std::fflush(stdout);
    }
    link_.digests.emplace_back(frame, game_digest());
    // A replay confirms thousands of ticks without waiting: report them in
    // pieces the pipe can carry.
    if (link_.digests.size() >= 2048) report_and_wait(link_.device, false);
    const bool pitched = ModVariable.PitchType != 0;
    if (pitched && !was_pitched_) ++pitches_;
    was_pitched_ = pitched;
  }

  // The computer at the keys of this screen's player; the host clicks the
  // hit view once a second while it is open, either screen closes the box.
  bool take_local(Event& event) override {
    const double t = std::chrono::duration<double>(now()).count();
    if (t == last_look_ || !Diamond().loaded()) return false;
    last_look_ = t;
    computer::View view = computer::ComputerPlayer::look();
    if (session().player() == 1)
      view.player2 = view.player2 == computer::Role::Pitching  ? computer::Role::Batting
                     : view.player2 == computer::Role::Batting ? computer::Role::Pitching
                                                              : computer::Role::None;
    if (view.box_open) {
      if (!box_since_) box_since_ = t + std::uniform_real_distribution(0.3, 1.5)(random_);
      if (t >= *box_since_) {
        box_since_.reset();
        event = {.kind = Event::BoxClosed, .code = innermost_box()};
        return true;
      }
      return false;
    }
    if (view.hit_view_open && session().player() == 1 && t - last_click_ >= 1) {
      last_click_ = t;
      event = {.kind = Event::Click, .window = window_of(HitView()), .x = 200.0f / kTwipsPerPixel, .y = 6000.0f / kTwipsPerPixel};
      return true;
    }
    // It looks again whenever the screen has changed, as the computer does
    // after every event.
    const auto seen = std::tuple(view.ball_left, view.ball_top, view.bat_top, view.player2, view.hit_view_open);
    if (seen != last_seen_) plan_ = brain_.see(view, t);
    last_seen_ = seen;
    if (plan_ && t >= plan_->at) {
      plan_.reset();
      if (const auto key = brain_.act(view, t)) {
        event = {.kind = Event::Key, .code = *key};
        return true;
      }
    }
    return false;
  }

  void show_window(int, Form&, bool) override {}
  void hide_window(int) override {}
  void paint(int, const Form&, const PixelRect&) override {}
  void open_box(int, std::string_view, std::string_view) override {}

 private:
  Link& link_;
  const lockstep::Frame replayed_until_ = session().replaying() ? session().replay_until() : -1;
  const std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  std::int64_t pitches_ = 0;
  bool was_pitched_ = false;
  computer::Opponent brain_;
  std::optional<computer::Press> plan_;
  std::mt19937 random_;
  std::optional<double> box_since_;
  std::tuple<float, float, float, computer::Role, bool> last_seen_{};
  double last_look_ = -1, last_click_ = -10;
};

// A side that rejoins first asks for the game so far, on the channel that
// never loses a message, and replays it.
[[noreturn]] void play_one_side(int player, int fd, bool rejoining) {
  Link link{fd};
  std::optional<lockstep::Session> session;
  if (rejoining) {
    link.sent.push_back(lockstep::encode(lockstep::Hello{}));
    while (!session) {
      if (!link.report_and_wait(link.device + 1s, {}, false)) std::_Exit(0);
      for (const Bytes& datagram : link.inbox)
        if (const auto parsed = lockstep::parse(datagram); parsed.type == lockstep::Parsed::Welcomed)
          session.emplace(player, parsed.welcome);
      link.inbox.clear();
    }
  } else {
    session.emplace(player, 1);
  }
  SimScreen screen(*session, link);
  screen.run(Diamond());
  screen.report_and_wait({}, true);
  std::_Exit(0);
}

// ---- The network between them, and the coordinator's clock.

struct Profile {
  const char* name;
  Time latency, jitter;
  double loss;
  bool outages;  // the link goes down for 3 s during some flights
  bool rejoin;   // the guest's page closes at pitch 100 and comes back 10 s later
};

void PrintTo(const Profile& profile, std::ostream* out) { *out << profile.name; }

struct Side {
  int fd = -1;
  pid_t pid = 0;
  Report last;
  bool waiting = false;
  bool alive = true;
  std::map<lockstep::Frame, std::uint64_t> digests;
};

Side start_side(int player, bool rejoining) {
  int fds[2];
  EXPECT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET, 0, fds), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    play_one_side(player, fds[1], rejoining);
  }
  close(fds[1]);
  return {.fd = fds[0], .pid = pid};
}

void end_side(Side& side, bool kill_it) {
  if (kill_it) kill(side.pid, SIGKILL);
  int status = 0;
  waitpid(side.pid, &status, 0);
  if (!kill_it) {
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  close(side.fd);
  side.alive = false;
}

bool reliable(const Bytes& datagram) {
  return datagram[0] == lockstep::encode(lockstep::Hello{})[0] || lockstep::parse(datagram).type == lockstep::Parsed::Welcomed;
}

std::optional<Report> read_report(int fd) {
  Message m = Message::receive(fd);
  if (m.data.empty()) return std::nullopt;  // the game has gone
  Report r;
  r.until = Time(m.i64());
  for (std::int64_t n = m.i64(); n > 0; --n) r.sent.push_back(m.bytes());
  for (std::int64_t n = m.i64(); n > 0; --n) {
    const auto frame = static_cast<lockstep::Frame>(m.i64());
    r.digests.emplace_back(frame, static_cast<std::uint64_t>(m.i64()));
  }
  r.pitches = m.i64();
  r.in_flight = m.i64() != 0;
  r.delay = m.i64();
  r.waited_ticks = m.i64();
  r.longest_wait_us = m.i64();
  r.refused = m.i64();
  r.bad = m.i64();
  return r;
}

struct Outcome {
  std::int64_t pitches = 0, compared = 0, differences = 0, outages = 0, rejoins = 0;
  std::int64_t bytes_sent[2] = {};  // by each side, datagram payloads
  double seconds = 0;
  std::optional<lockstep::Frame> first_difference;
  Report host, guest;
};

Outcome play(const Profile& profile) {
  Side sides[2] = {start_side(1, false), start_side(2, false)};
  std::optional<Time> guest_left;
  struct InFlight {
    Time at;
    int to;
    Bytes datagram;
  };
  std::multimap<Time, InFlight> network;
  std::mt19937_64 random(std::hash<std::string_view>{}(profile.name));
  Outcome outcome;
  Time now{}, outage_ends{};
  std::int64_t next_outage_at = 25;  // pitches
  std::int64_t order = 0;

  auto compare = [&](int side, const Report& r) {
    for (const auto& [frame, digest] : r.digests) {
      auto& other = sides[1 - side].digests;
      if (const auto it = other.find(frame); it != other.end()) {
        ++outcome.compared;
        if (it->second != digest) {
          ++outcome.differences;
          if (!outcome.first_difference) outcome.first_difference = frame;
        }
        other.erase(it);
      } else {
        sides[side].digests.emplace(frame, digest);
      }
    }
  };
  auto transmit = [&](int from, const Report& r) {
    for (const Bytes& datagram : r.sent) {
      outcome.bytes_sent[from] += static_cast<std::int64_t>(datagram.size());
      if (!reliable(datagram)) {
        if (now < outage_ends) continue;
        if (std::uniform_real_distribution(0.0, 1.0)(random) < profile.loss) continue;
      }
      const auto jitter = profile.jitter.count() == 0
                              ? Time{}
                              : Time(std::uniform_int_distribution<std::int64_t>(-profile.jitter.count(),
                                                                                 profile.jitter.count())(random));
      // Equal arrival times keep the order sent.
      network.emplace(now + profile.latency + jitter + Time(++order % 1000), InFlight{now, 1 - from, datagram});
    }
  };
  auto resume = [&](int side, bool quit, std::vector<Bytes> deliver) {
    Message m;
    m.i64(now.count());
    m.i64(quit);
    m.i64(static_cast<std::int64_t>(deliver.size()));
    for (const Bytes& b : deliver) m.bytes(b);
    m.send(sides[side].fd);
    sides[side].waiting = false;
  };

  bool quitting = false, gone = false;
  for (;;) {
    for (int side = 0; side < 2; ++side)
      if (sides[side].alive && !sides[side].waiting) {
        std::optional<Report> r = read_report(sides[side].fd);
        if (!r) {
          ADD_FAILURE() << "player " << side + 1 << "'s game ended by itself at " << now.count() / 1e9 << " s";
          gone = quitting = true;
          break;
        }
        compare(side, *r);
        transmit(side, *r);
        sides[side].last = std::move(*r);
        sides[side].waiting = true;
      }
    if (quitting) break;
    const Report& host = sides[0].last;
    outcome.pitches = std::min(host.pitches, sides[1].last.pitches);
    // The first difference ends the session, as it does between two pages;
    // so does a game that stops pitching.
    const bool stuck = now > kPitches * 10s;
    if (stuck) ADD_FAILURE() << "only " << outcome.pitches << " pitches in " << now.count() / 1e9 << " s";
    if (outcome.pitches >= kPitches || outcome.differences > 0 || stuck) {
      quitting = true;
      for (int side = 0; side < 2; ++side)
        if (sides[side].alive) resume(side, true, {});
      continue;
    }
    // The guest's page closes mid-game and is opened again 10 s later.
    if (profile.rejoin && !guest_left && host.pitches >= 100) {
      end_side(sides[1], true);
      sides[1].digests.clear();
      guest_left = now;
      ++outcome.rejoins;
    }
    if (guest_left && !sides[1].alive && now >= *guest_left + 10s) {
      sides[1] = start_side(2, true);
      continue;
    }
    if (profile.outages && host.in_flight && host.pitches >= next_outage_at && now >= outage_ends) {
      outage_ends = now + 3s;
      next_outage_at = host.pitches + 200;
      ++outcome.outages;
    }
    // The next event: a game's deadline or a datagram's arrival.
    Time next = sides[1].alive ? std::min(sides[0].last.until, sides[1].last.until) : sides[0].last.until;
    if (guest_left && !sides[1].alive) next = std::min(next, *guest_left + 10s);
    if (!network.empty()) next = std::min(next, network.begin()->first);
    now = std::max(now, next);
    std::vector<Bytes> deliver[2];
    while (!network.empty() && network.begin()->first <= now) {
      deliver[network.begin()->second.to].push_back(std::move(network.begin()->second.datagram));
      network.erase(network.begin());
    }
    for (int side = 0; side < 2; ++side)
      if (sides[side].alive && (sides[side].last.until <= now || !deliver[side].empty()))
        resume(side, false, std::move(deliver[side]));
  }
  for (Side& side : sides)
    if (side.alive) end_side(side, gone);
  outcome.seconds = std::chrono::duration<double>(now).count();
  outcome.host = sides[0].last;
  outcome.guest = sides[1].last;
  return outcome;
}

class TwoGames : public testing::TestWithParam<Profile> {};

TEST_P(TwoGames, AgreeAtEveryConfirmedTickOverAThousandPitches) {
  const Profile& profile = GetParam();
  const Outcome o = play(profile);
  std::printf("[%s] pitches %lld, ticks compared %lld, input delay %lld, ticks waited %lld + %lld, "
              "longest wait %.1f ms + %.1f ms, outages %lld, refused %lld + %lld, "
              "sent %.0f + %.0f B/s over %.0f s, rejoins %lld\n",
              profile.name, (long long)o.pitches, (long long)o.compared, (long long)o.host.delay,
              (long long)o.host.waited_ticks, (long long)o.guest.waited_ticks, o.host.longest_wait_us / 1000.0,
              o.guest.longest_wait_us / 1000.0, (long long)o.outages, (long long)o.host.refused,
              (long long)o.guest.refused, o.bytes_sent[0] / o.seconds, o.bytes_sent[1] / o.seconds, o.seconds,
              (long long)o.rejoins);
  EXPECT_GE(o.pitches, kPitches);
  EXPECT_GT(o.compared, 100'000);
  EXPECT_EQ(o.differences, 0) << "first at tick " << o.first_difference.value_or(-1);
  EXPECT_EQ(o.host.bad, 0);
  EXPECT_EQ(o.guest.bad, 0);
  EXPECT_EQ(o.host.delay, o.guest.delay);
  for (const std::int64_t sent : o.bytes_sent) EXPECT_LE(sent / o.seconds, 4096) << "bytes a second";
  if (profile.outages) {
    EXPECT_GE(o.outages, 1);
  }
  if (profile.rejoin) {
    EXPECT_EQ(o.rejoins, 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Networks, TwoGames,
    testing::Values(Profile{"Loopback1ms", 1ms, 0ms, 0, false}, Profile{"Jitter30ms", 30ms, 10ms, 0.01, false},
                    Profile{"Lossy75ms", 75ms, 25ms, 0.05, false}, Profile{"Outage3s", 1ms, 0ms, 0, true},
                    Profile{"GuestRejoins", 1ms, 0ms, 0, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
