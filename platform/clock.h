// Time: the elapsed-milliseconds clock of the frame loop, and the local date.
#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <string>

namespace zor {

// Milliseconds since the clock was made, on a monotonic clock.
class Clock {
 public:
  Clock() : start_(std::chrono::steady_clock::now()) {}
  // Wraps after about 49 days, like any 32-bit millisecond counter.
  uint32_t elapsedMs() const;

 private:
  std::chrono::steady_clock::time_point start_;
};

namespace dates {

// The local date and time counted as seconds since 1970-01-01 00:00:00 of the
// local clock (the UTC value plus the zone's offset).
int64_t localSecondsSince1970();
// The local date and time now, as fourteen digits "yyyymmddhhmmss".
std::string localDateTimeText();
// The same text for a broken-down time.
std::string dateTimeText(const std::tm& t);

}  // namespace dates
}  // namespace zor
