#include "platform/clock.h"

#include <cstdio>

namespace zor {

uint32_t Clock::elapsedMs() const {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
  return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

namespace dates {
namespace {

std::tm localNow(std::time_t& now) {
  now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return t;
}

}  // namespace

int64_t localSecondsSince1970() {
  std::time_t now;
  std::tm t = localNow(now);
  return static_cast<int64_t>(now) + static_cast<int64_t>(t.tm_gmtoff);
}

std::string localDateTimeText() {
  std::time_t now;
  return dateTimeText(localNow(now));
}

std::string dateTimeText(const std::tm& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour,
                t.tm_min, t.tm_sec);
  return std::string(buf);
}

}  // namespace dates
}  // namespace zor
