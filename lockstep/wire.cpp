#include "lockstep/wire.h"

#include <algorithm>
#include <array>

#include "core/forms/keys.h"

namespace lockstep {

namespace {

enum Type : std::uint8_t { kInputs = 1, kPing = 2, kPong = 3, kBye = 4, kHello = 5, kWelcome = 6, kBehind = 7 };
constexpr std::size_t kHeader = 22;
constexpr std::size_t kEntry = 11;

// The keys the game answers; a peer has no reason to send any other.
constexpr std::array kGameKeys{vk::kNumpad7, vk::kNumpad8, vk::kNumpad9, vk::kSpace, vk::kShift};

// Little-endian, whatever the machine.
class Writer {
 public:
  void u8(std::uint8_t v) { bytes.push_back(v); }
  void u16(std::uint16_t v) { put(v, 2); }
  void u32(std::uint32_t v) { put(v, 4); }
  void u64(std::uint64_t v) { put(v, 8); }
  std::vector<std::uint8_t> bytes;

 private:
  void put(std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
};

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint8_t u8() { return static_cast<std::uint8_t>(get(1)); }
  std::uint16_t u16() { return static_cast<std::uint16_t>(get(2)); }
  std::uint32_t u32() { return static_cast<std::uint32_t>(get(4)); }
  std::uint64_t u64() { return get(8); }

 private:
  // The caller has checked the length first.
  std::uint64_t get(int n) {
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v |= std::uint64_t{bytes_[at_ + i]} << (8 * i);
    at_ += n;
    return v;
  }
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

bool valid(const Input& input) {
  if (input.frame < 0) return false;
  switch (input.kind) {
    case Input::Key: return std::find(kGameKeys.begin(), kGameKeys.end(), input.a) != kGameKeys.end();
    case Input::Click:
      return input.a >= 1 && input.a <= kMaxWindow && input.x >= 0 && input.x < kMaxClickPixel &&
             input.y >= 0 && input.y < kMaxClickPixel;
    case Input::BoxClosed: return input.a >= 1;
    case Input::Delay: return input.a >= 1 && input.a <= kMaxDelay;
  }
  return false;
}

Parsed rejected(Rejection why) { return {.type = Parsed::Rejected, .why = why}; }

void write(Writer& w, const Input& input) {
  w.u32(static_cast<std::uint32_t>(input.frame));
  w.u8(input.kind);
  w.u16(static_cast<std::uint16_t>(input.a));
  w.u16(static_cast<std::uint16_t>(input.x));
  w.u16(static_cast<std::uint16_t>(input.y));
}

Input read(Reader& r) {
  Input input;
  input.frame = static_cast<Frame>(r.u32());
  input.kind = static_cast<Input::Kind>(r.u8());
  input.a = static_cast<std::int16_t>(r.u16());
  input.x = static_cast<std::int16_t>(r.u16());
  input.y = static_cast<std::int16_t>(r.u16());
  return input;
}

// Tick, delay, count; then each input with its player, in applied order.
Parsed parse_welcome(std::span<const std::uint8_t> datagram) {
  constexpr std::size_t kHead = 1 + 4 + 1 + 4, kItem = 1 + kEntry;
  if (datagram.size() < kHead) return rejected(Rejection::Size);
  Reader r(datagram);
  r.u8();
  Parsed parsed{.type = Parsed::Welcomed};
  Welcome& w = parsed.welcome;
  w.from = static_cast<Frame>(r.u32());
  w.delay = r.u8();
  const std::size_t count = r.u32();
  if (count > kMaxWelcomeInputs || datagram.size() != kHead + count * kItem) return rejected(Rejection::Size);
  if (w.from < 0 || w.delay < 1 || w.delay > kMaxDelay) return rejected(Rejection::Field);
  w.inputs.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const int player = r.u8();
    const Input input = read(r);
    const bool ordered = w.inputs.empty() || input.frame >= w.inputs.back().input.frame;
    if ((player != 1 && player != 2) || !valid(input) || input.frame > w.from || !ordered ||
        (input.kind == Input::Delay && player != 1))
      return rejected(Rejection::Field);
    w.inputs.push_back({player, input});
  }
  return parsed;
}

}  // namespace

std::vector<std::uint8_t> encode(const InputsPacket& packet) {
  Writer w;
  const std::size_t count = std::min<std::size_t>(packet.inputs.size(), kMaxInputsPerPacket);
  w.u8(kInputs);
  w.u8(static_cast<std::uint8_t>(count));
  w.u32(static_cast<std::uint32_t>(packet.sealed));
  w.u32(static_cast<std::uint32_t>(packet.acked));
  w.u32(static_cast<std::uint32_t>(packet.digest_frame));
  w.u64(packet.digest);
  for (std::size_t i = 0; i < count; ++i) write(w, packet.inputs[i]);
  return std::move(w.bytes);
}

std::vector<std::uint8_t> encode(Hello) { return {kHello}; }

std::vector<std::uint8_t> encode(const Welcome& welcome) {
  Writer w;
  const std::size_t count = std::min(welcome.inputs.size(), kMaxWelcomeInputs);
  w.u8(kWelcome);
  w.u32(static_cast<std::uint32_t>(welcome.from));
  w.u8(static_cast<std::uint8_t>(welcome.delay));
  w.u32(static_cast<std::uint32_t>(count));
  for (std::size_t i = 0; i < count; ++i) {
    w.u8(static_cast<std::uint8_t>(welcome.inputs[i].player));
    write(w, welcome.inputs[i].input);
  }
  return std::move(w.bytes);
}

std::vector<std::uint8_t> encode(const Ping& ping) {
  Writer w;
  w.u8(ping.reply ? kPong : kPing);
  w.u32(ping.stamp);
  return std::move(w.bytes);
}

std::vector<std::uint8_t> encode(Bye) { return {kBye}; }
std::vector<std::uint8_t> encode(Behind) { return {kBehind}; }

Parsed parse(std::span<const std::uint8_t> datagram) {
  if (datagram.empty()) return rejected(Rejection::Empty);
  if (datagram[0] == kWelcome) return parse_welcome(datagram);
  if (datagram.size() > kMaxDatagram) return rejected(Rejection::Size);
  Reader r(datagram);
  switch (r.u8()) {
    case kPing:
    case kPong: {
      if (datagram.size() != 5) return rejected(Rejection::Size);
      return {.type = Parsed::Probe, .ping = {.stamp = r.u32(), .reply = datagram[0] == kPong}};
    }
    case kBye:
    case kHello:
    case kBehind:
      if (datagram.size() != 1) return rejected(Rejection::Size);
      return {.type = datagram[0] == kBye ? Parsed::Leave : datagram[0] == kHello ? Parsed::Rejoin : Parsed::LeftBehind};
    case kInputs: break;
    default: return rejected(Rejection::UnknownType);
  }
  if (datagram.size() < kHeader) return rejected(Rejection::Size);
  const std::size_t count = r.u8();
  if (datagram.size() != kHeader + count * kEntry) return rejected(Rejection::Size);
  Parsed parsed{.type = Parsed::Inputs};
  InputsPacket& p = parsed.inputs;
  p.sealed = static_cast<Frame>(r.u32());
  p.acked = static_cast<Frame>(r.u32());
  p.digest_frame = static_cast<Frame>(r.u32());
  p.digest = r.u64();
  if (p.sealed < 0 || p.acked < -1 || p.digest_frame < -1) return rejected(Rejection::Field);
  p.inputs.reserve(count);
  int same_frame = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const Input input = read(r);
    if (!valid(input) || input.frame > p.sealed) return rejected(Rejection::Field);
    if (!p.inputs.empty()) {
      const Frame last = p.inputs.back().frame;
      if (input.frame < last) return rejected(Rejection::Field);
      same_frame = input.frame == last ? same_frame + 1 : 0;
      if (same_frame >= kMaxInputsPerFrame) return rejected(Rejection::Field);
    }
    p.inputs.push_back(input);
  }
  return parsed;
}

}  // namespace lockstep
