#include "game/two_screens.h"

#include <cstring>
#include <string_view>

#include "core/forms/controls.h"
#include "core/forms/form.h"
#include "core/forms/keys.h"
#include "core/runtime.h"
#include "game/mod_variable.h"
#include "hit_view/hit_view.h"
#include "pitch_screen/diamond.h"

namespace {

// FNV-1a over the values' bytes, floats by their bit patterns.
class Hash {
 public:
  void add(std::uint64_t v) {
    for (int i = 0; i < 8; ++i) byte(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void add(double v) { add(bits<std::uint64_t>(v)); }
  void add(float v) { add(std::uint64_t{bits<std::uint32_t>(v)}); }
  void add(int v) { add(static_cast<std::uint64_t>(static_cast<std::int64_t>(v))); }
  void add(bool v) { byte(v ? 1 : 0); }
  void add(const Integer& v) { add(static_cast<int>(v)); }
  void add(std::string_view text) {
    add(static_cast<std::uint64_t>(text.size()));
    for (char c : text) byte(static_cast<std::uint8_t>(c));
  }
  std::uint64_t value() const { return h_; }

 private:
  // A value's bit pattern (the browser build's library has no bit_cast).
  template <class Bits, class T>
  static Bits bits(T v) {
    static_assert(sizeof(Bits) == sizeof(T));
    Bits b;
    std::memcpy(&b, &v, sizeof b);
    return b;
  }
  void byte(std::uint8_t b) { h_ = (h_ ^ b) * 0x100000001B3ull; }
  std::uint64_t h_ = 0xCBF29CE484222325ull;
};

void add_state(Hash& h, const GameState& m) {
  for (const Integer* v : {&m.PitchType, &m.SideStep, &m.HitSide, &m.SwingTaken, &m.Swinging, &m.PowerSwing,
                           &m.BallHit, &m.HitTicks, &m.StrikeCount, &m.BallCount, &m.OutCount, &m.ActivePlayer,
                           &m.InningNum, &m.Hits1, &m.Hits2, &m.HomeRuns1, &m.HomeRuns2, &m.Strikes1, &m.Strikes2})
    h.add(*v);
  h.add(m.InningName);
  h.add(m.LongDist1);
  h.add(m.LongDist2);
}

void add_control(Hash& h, const Control& control) {
  if (const auto* boxed = dynamic_cast<const Boxed*>(&control)) {
    h.add(boxed->Left.get());
    h.add(boxed->Top.get());
    h.add(boxed->Width.get());
    h.add(boxed->Height.get());
    h.add(boxed->Visible.get());
  }
  if (const auto* label = dynamic_cast<const Label*>(&control)) h.add(std::string_view(label->Caption.get()));
  if (const auto* timer = dynamic_cast<const Timer*>(&control)) {
    h.add(timer->Interval.get());
    h.add(timer->running());
  }
}

}  // namespace

bool may_press(int player, int key) {
  if (player != 1 && player != 2) return false;
  const DiamondForm& d = Diamond();
  const std::string& role = (player == 1 ? d.Play1lbl : d.Play2lbl).Caption;
  switch (key) {
    case vk::kNumpad7:
    case vk::kNumpad8:
    case vk::kNumpad9: return role == "Pitching";
    case vk::kSpace:
    case vk::kShift: return role == "Batting";
    default: return false;
  }
}

bool between_pitches() {
  const GameState& m = ModVariable;
  return m.PitchType == 0 && m.BallHit == 0 && m.Swinging == 0 && !HitView().loaded();
}

std::uint64_t game_digest() {
  Hash h;
  h.add(runtime::message_box_open());
  add_state(h, ModVariable);
  for (const Form* screen : screens_made()) {
    h.add(screen->loaded());
    for (const auto& control : screen->controls()) add_control(h, *control);
  }
  const auto [seed, draws] = runtime::generator_state();
  h.add(seed);
  h.add(draws);
  return h.value();
}
