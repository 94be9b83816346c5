#include "core/convert.h"

#include <gtest/gtest.h>

#include "core/integer.h"

TEST(Integer, HoldsTheSixteenBitRangeAndRejectsAnythingBeyond) {
  EXPECT_EQ(Integer(32767), 32767);
  EXPECT_EQ(Integer(-32768), -32768);
  const int overflows = integer_overflows();
  Integer top = 32767;
  top = top + 1;
  EXPECT_EQ(top, 32767);  // a refused store leaves the old value
  Integer bottom = -32768;
  bottom = bottom - 1;
  EXPECT_EQ(bottom, -32768);
  EXPECT_EQ(Integer(40000), 0);
  EXPECT_EQ(integer_overflows(), overflows + 3);  // each one counted
}

TEST(Integer, StatisticsStopAtTheTopInsteadOfOverflowing) {
  Integer statistic = 32766;
  add_one_capped(statistic);
  EXPECT_EQ(statistic, 32767);
  add_one_capped(statistic);
  EXPECT_EQ(statistic, 32767);
}

TEST(Convert, RoundsToNearestWithTiesToEven) {
  EXPECT_EQ(to_integer(0.5), 0);
  EXPECT_EQ(to_integer(1.5), 2);
  EXPECT_EQ(to_integer(2.5), 2);
  EXPECT_EQ(to_integer(-2.5), -2);
  EXPECT_EQ(to_integer(2.4999), 2);
  EXPECT_EQ(to_integer(2.5001), 3);
  EXPECT_EQ(to_integer(32767), 32767);  // the range's own ends
  EXPECT_EQ(to_integer(-32768), -32768);
  EXPECT_EQ(to_integer(32767.5), 32768);   // rounds past the end, for the store to refuse
  EXPECT_EQ(to_integer(-32768.5), -32768);  // ties to even stays in range
  EXPECT_EQ(to_integer(1e300), 32768);      // far outside: still just past the end
}

TEST(Convert, WritesFloatsInTheirShortestForm) {
  EXPECT_EQ(double_to_text(456.7), "456.7");
  EXPECT_EQ(double_to_text(448.0), "448");
  EXPECT_EQ(double_to_text(0.0), "0");
  EXPECT_EQ(double_to_text(static_cast<double>(4567.0f / 10)), "456.700012207031");  // a float quotient
  EXPECT_EQ(single_to_text(485.0f / 10), "48.5");
  EXPECT_EQ(single_to_text(4567.0f / 10), "456.7");  // 7 digits hide the float's error
  EXPECT_EQ(single_to_text(-0.0f), "0");
  EXPECT_EQ(double_to_text(1.0 / 3), "0.333333333333333");
}
