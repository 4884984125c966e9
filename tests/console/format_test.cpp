// The count, duration and speed formats of the tool tables.
#include <gtest/gtest.h>

#include "console/console.h"

namespace {

TEST(FormatCount, GroupsOfThreeWithSignAndWidth) {
  EXPECT_EQ(FormatCount(1234567, 0), "1,234,567");
  EXPECT_EQ(FormatCount(0, 5), "    0");
  EXPECT_EQ(FormatCount(0, 0), "0");
  EXPECT_EQ(FormatCount(1000, 0), "1,000");
  EXPECT_EQ(FormatCount(999, 0), "999");
  EXPECT_EQ(FormatCount(1000001, 0), "1,000,001");
  EXPECT_EQ(FormatCount(-1234, 7), " -1,234");
  EXPECT_EQ(FormatCount(119060324, 14), "   119,060,324");
  EXPECT_EQ(FormatCount(6923051137LL, 14), " 6,923,051,137");  // beyond 32 bits
  EXPECT_EQ(FormatCount(INT64_MIN, 0), "-9,223,372,036,854,775,808");
  EXPECT_EQ(FormatCount(123456789012345LL, 3), "123,456,789,012,345");  // never cut
}

TEST(FormatDuration, ExamplesAndBoundaries) {
  EXPECT_EQ(FormatDuration(0), "0.000");
  EXPECT_EQ(FormatDuration(1234), "1.234");
  EXPECT_EQ(FormatDuration(999), "0.999");
  EXPECT_EQ(FormatDuration(59999), "59.999");
  EXPECT_EQ(FormatDuration(60000 + 1234), "1m01.234");
  EXPECT_EQ(FormatDuration(60000), "1m00.000");
  EXPECT_EQ(FormatDuration(10 * 60000 + 10500), "10m10.500");
  EXPECT_EQ(FormatDuration(3600000 + 2 * 60000 + 3004), "1h02m03.004");
  EXPECT_EQ(FormatDuration(3600000), "1h00m00.000");
  EXPECT_EQ(FormatDuration(3600000 + 5000), "1h00m05.000");
  EXPECT_EQ(FormatDuration(UINT32_MAX), "1193h02m47.295");
}

TEST(FormatNps, EveryRangeWithEvenRounding) {
  EXPECT_EQ(FormatNps(0, 12345), "\xA7\xA7");
  EXPECT_EQ(FormatNps(1000, 999), "999");
  EXPECT_EQ(FormatNps(1000, 1234), "1.23k");
  EXPECT_EQ(FormatNps(1000, 1235), "1.24k");   // 123.5 rounds to the even 124
  EXPECT_EQ(FormatNps(1000, 1225), "1.22k");   // 122.5 rounds to the even 122
  EXPECT_EQ(FormatNps(1000, 9999), "10.00k");  // five characters once it rounds up
  EXPECT_EQ(FormatNps(1000, 12345), "12.3k");
  EXPECT_EQ(FormatNps(1000, 123456), "123k");
  EXPECT_EQ(FormatNps(1000, 1234567), "1.23M");
  EXPECT_EQ(FormatNps(1000, 12345678), "12.3M");
  EXPECT_EQ(FormatNps(1000, 123456789), "123M");
  EXPECT_EQ(FormatNps(2000, 5), "2");  // 2.5 per second rounds to 2
  EXPECT_EQ(FormatNps(3, 1), "333");
  EXPECT_EQ(FormatNps(1000, 6923051137ULL), "4295M");  // held as an unsigned 32-bit speed
  EXPECT_EQ(FormatNps(10000, 6923051137ULL), "692M");  // the full 64-bit count is used
}

}  // namespace
