// The real platforms' clock: local seconds since midnight, finer than a second.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <ctime>

#include "core/runtime.h"

TEST(Clock, ReadsTheLocalTimeOfDayInFractionsOfASecond) {
  using namespace std::chrono;
  // Read until the reading changes: a clock in whole seconds would change by
  // a whole second, this one by about a float's step (1/128 s at most).
  const float first = runtime::local_seconds_since_midnight();
  float next = first;
  for (const auto give_up = steady_clock::now() + 3s; next == first && steady_clock::now() < give_up;)
    next = runtime::local_seconds_since_midnight();
  ASSERT_NE(next, first);
  const float step = std::fmod(next - first + 86400.0f, 86400.0f);
  EXPECT_LT(step, 0.05f);

  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const float expected = static_cast<float>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
  const float off = std::fmod(std::fabs(runtime::local_seconds_since_midnight() - expected), 86400.0f);
  EXPECT_TRUE(off < 2 || off > 86398) << off;
}
