// What two screens say to each other, and the parser that stands between the
// network and the game. Every datagram is parsed into a plain struct with
// its bounds checked; a datagram that fails any check is rejected whole, so
// nothing of it is ever applied.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lockstep {

// Game ticks since the game began, 64 a second, the same on both screens.
using Frame = std::int32_t;

// One press, click or box dismissal of one player, and the tick at which it
// takes effect on both screens. Delay is the host's: the input delay both
// screens use from the first tick between pitches at or after `frame`.
struct Input {
  enum Kind : std::uint8_t { Key = 1, Click = 2, BoxClosed = 3, Delay = 4 };
  Frame frame = 0;
  Kind kind = Key;
  std::int16_t a = 0;        // Key: the key code; Click: the window; BoxClosed: the box; Delay: ticks
  std::int16_t x = 0, y = 0;  // Click: client pixels
  friend bool operator==(const Input&, const Input&) = default;
};

inline constexpr int kMaxDelay = 16;           // ticks: a quarter of a second
inline constexpr int kMaxInputsPerFrame = 4;   // of one player
inline constexpr int kMaxInputsPerPacket = 255;
inline constexpr int kMaxWindow = 16;
inline constexpr int kMaxClickPixel = 4096;

// The sender's inputs not yet acknowledged, what it has of the receiver's,
// and its latest checkpoint digest.
struct InputsPacket {
  Frame sealed = 0;  // the sender's inputs are final up to and including this tick
  Frame acked = 0;   // the sender holds the receiver's inputs up to this tick
  Frame digest_frame = -1;  // none yet
  std::uint64_t digest = 0;
  std::vector<Input> inputs;  // the sender's, oldest first
};

// A round-trip probe (its stamp in the sender's milliseconds) and its echo.
struct Ping {
  std::uint32_t stamp = 0;
  bool reply = false;
};

struct Bye {};

// The host has played on alone since the peer went silent: a peer heard
// again without rejoining is told so, and must rejoin.
struct Behind {};

// A screen that comes back asks to rejoin; the other answers with all it
// needs to replay the game: every input up to the tick from which both
// screens' inputs are final again, and the delay. Both go on the reliable
// channel.
struct Hello {};
struct Welcome {
  Frame from = 0;
  int delay = 1;
  struct Entry {
    int player;
    Input input;
    friend bool operator==(const Entry&, const Entry&) = default;
  };
  std::vector<Entry> inputs;  // in the order they applied
};
inline constexpr std::size_t kMaxWelcomeInputs = 200'000;  // hours of play

enum class Rejection { None, Empty, UnknownType, Size, Field };

struct Parsed {
  enum Type { Inputs, Probe, Leave, Rejoin, Welcomed, LeftBehind, Rejected } type = Rejected;
  InputsPacket inputs;
  Welcome welcome;
  Ping ping;
  Rejection why = Rejection::None;
};

std::vector<std::uint8_t> encode(const InputsPacket& packet);
std::vector<std::uint8_t> encode(const Ping& ping);
std::vector<std::uint8_t> encode(Bye);
std::vector<std::uint8_t> encode(Behind);
std::vector<std::uint8_t> encode(Hello);
std::vector<std::uint8_t> encode(const Welcome& welcome);

// Checks the datagram's shape and each field's own range (key codes the game
// has, windows and pixels in bounds, ticks not negative, at most
// kMaxInputsPerFrame inputs a tick, in tick order). Whether the ticks fit
// the session's window is the session's check.
Parsed parse(std::span<const std::uint8_t> datagram);

inline constexpr std::size_t kMaxDatagram = 22 + kMaxInputsPerPacket * 11;

}  // namespace lockstep
