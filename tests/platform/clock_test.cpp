#include "platform/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace zor {
namespace {

TEST(Clock, DateTimeTextHasFourteenDigits) {
  std::tm t{};
  t.tm_year = 2024 - 1900;
  t.tm_mon = 0;
  t.tm_mday = 5;
  t.tm_hour = 9;
  t.tm_min = 7;
  t.tm_sec = 3;
  EXPECT_EQ(dates::dateTimeText(t), "20240105090703");
  const std::string now = dates::localDateTimeText();
  ASSERT_EQ(now.size(), 14u);
  EXPECT_EQ(now.find_first_not_of("0123456789"), std::string::npos);
}

TEST(Clock, ElapsedTimeNeverGoesBack) {
  Clock c;
  const uint32_t a = c.elapsedMs();
  const uint32_t b = c.elapsedMs();
  EXPECT_LE(a, b);
  // The local count differs from UTC by the zone's offset, at most 14 hours.
  const int64_t utc = static_cast<int64_t>(std::time(nullptr));
  EXPECT_GT(utc, 1600000000);
  EXPECT_LE(std::llabs(dates::localSecondsSince1970() - utc), 14 * 3600 + 60);
}

}  // namespace
}  // namespace zor
