// Game flags: the player's numbered switches, a bit array that grows when a
// flag beyond its capacity is set.
#pragma once

#include <cstdint>
#include <vector>

namespace zor {

struct GameFlags {
  // Flag numbers at or above this are refused like negative ones, so that a
  // huge number from a file or the command line cannot ask for a huge array.
  static constexpr int32_t kMaxFlag = 1 << 20;

  int32_t capacity = 0;  // flags covered, in bits
  std::vector<uint32_t> words;

  // Resizes to n flags (n / 32 + 1 words), keeping existing words and zeroing
  // new ones; returns 0 and changes nothing when n <= 0.
  int allocate(int32_t n);
  // Clears every flag below the capacity.
  void clear();
  bool isSet(int32_t n) const;
  // Returns 1 when written, 0 for a refused number.
  int set(int32_t n, bool on);
};

}  // namespace zor
