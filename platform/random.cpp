#include "platform/random.h"

#include <sys/time.h>

#include <functional>
#include <thread>

namespace zor {
namespace {

constexpr uint32_t kSeedMultiplier = 0xAC564B05u;

uint32_t rotl(uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

uint32_t clockSeed() {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  uint64_t ms = static_cast<uint64_t>(tv.tv_sec) * 1000u + static_cast<uint64_t>(tv.tv_usec) / 1000u;
  uint32_t thread = static_cast<uint32_t>(std::hash<std::thread::id>{}(std::this_thread::get_id()));
  return static_cast<uint32_t>(ms) ^ thread;
}

}  // namespace

void RandomGenerator::seed(uint32_t s) {
  uint32_t x = s;
  for (int i = 0; i < 17; ++i) {
    x = x * kSeedMultiplier + 1u;
    b[i] = x;
    x = x * kSeedMultiplier + 1u;
    a[i] = x;
  }
  p1 = 0;
  p2 = 10;
  for (int i = 0; i < 31; ++i) step();
  seeded = true;
}

uint32_t RandomGenerator::step() {
  uint32_t x = rotl(b[p1], 19) + b[p2];
  b[p1] = a[p2] + rotl(a[p1], 27);
  a[p1] = x;
  p1 = (p1 == 0) ? 16 : p1 - 1;
  p2 = (p2 == 0) ? 16 : p2 - 1;
  return x;
}

uint32_t RandomGenerator::draw(uint32_t max) {
  if (!seeded) seed(clockSeed());
  uint32_t x = step();
  if (max == 0xFFFFFFFFu) return x;
  return static_cast<uint32_t>((static_cast<uint64_t>(max) + 1u) * static_cast<uint64_t>(x) >> 32);
}

void RandomTable::fill(RandomGenerator& gen) {
  gen.seed(207);
  for (int i = 0; i < 1024; ++i) {
    values[i] = static_cast<float>(gen.draw(1000)) / 1000.0f;
  }
}

}  // namespace zor
