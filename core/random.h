// The game's generator: a standard engine giving floats uniform in [0, 1)
// with 24 random bits, reseeded on demand.
#pragma once

#include <cstdint>
#include <random>

class RandomSource {
 public:
  explicit RandomSource(std::uint64_t seed = 1) : engine_(seed) {}
  void reseed(std::uint64_t seed) { engine_.seed(seed); }
  float next() { return static_cast<float>(engine_() >> 8) * 0x1p-24f; }

 private:
  std::mt19937 engine_;
};
