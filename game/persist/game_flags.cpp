#include "game/persist/game_flags.h"

namespace zor {
namespace {

constexpr int32_t kFirstCapacity = 128;  // what the save-file reader sizes the array to

}  // namespace

int GameFlags::allocate(int32_t n) {
  if (n <= 0) return 0;
  capacity = n;
  words.resize(static_cast<std::size_t>(n / 32) + 1, 0u);
  // A smaller capacity must not leave flags set at or above it in the last word
  // kept, or growing again would bring them back.
  uint32_t keep = static_cast<uint32_t>(n % 32);
  words.back() &= (keep == 0) ? 0u : ((1u << keep) - 1u);
  return 1;
}

void GameFlags::clear() {
  if (capacity <= 0) return;
  for (uint32_t& w : words) w = 0;
}

bool GameFlags::isSet(int32_t n) const {
  if (n < 0 || n >= capacity) return false;
  std::size_t w = static_cast<std::size_t>(n / 32);
  if (w >= words.size()) return false;
  return (words[w] >> (n % 32)) & 1u;
}

int GameFlags::set(int32_t n, bool on) {
  if (n < 0 || n >= kMaxFlag) return 0;
  if (n >= capacity) {
    int64_t grown = capacity > 0 ? capacity : kFirstCapacity;
    while (grown <= n) grown *= 2;
    allocate(static_cast<int32_t>(grown));
  }
  uint32_t bit = 1u << (n % 32);
  uint32_t& w = words[static_cast<std::size_t>(n / 32)];
  if (on) {
    w |= bit;
  } else {
    w &= ~bit;
  }
  return 1;
}

}  // namespace zor
