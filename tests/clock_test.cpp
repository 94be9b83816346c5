// The real platforms' clock: local seconds since midnight, finer than a second.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

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

  // The time since the local midnight that mktime finds for today, in a zone
  // five hours from UTC where the C library takes the zone from TZ (the
  // browser's takes the engine's).
  const char* zone = std::getenv("TZ");
  const std::string saved = zone ? zone : "";
  setenv("TZ", "EAST-5", 1);
  tzset();
  const std::time_t now = std::time(nullptr);
  std::tm midnight = *std::localtime(&now);
  midnight.tm_hour = midnight.tm_min = midnight.tm_sec = 0;
  midnight.tm_isdst = -1;
  const double expected = std::difftime(now, std::mktime(&midnight));
  const double off = std::fabs(runtime::local_seconds_since_midnight() - expected);
  if (zone)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
  EXPECT_TRUE(off < 2 || off > 86398) << off;
}
