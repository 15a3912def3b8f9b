#include "game/world/world_math.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace zor {
namespace {

// Distance in units in the last place: floats as ordered integers.
int64_t ulpDistance(float a, float b) {
  auto ordered = [](float f) {
    const auto i = static_cast<int64_t>(std::bit_cast<int32_t>(f));
    return i < 0 ? static_cast<int64_t>(INT32_MIN) - i : i;
  };
  const int64_t d = ordered(a) - ordered(b);
  return d < 0 ? -d : d;
}

// Every float from `from` to `to` (bit patterns, positive) with the given stride, both signs.
template <typename F>
void forFloats(uint32_t from, uint32_t to, uint32_t stride, F&& f) {
  for (uint64_t b = from; b <= to; b += stride) {
    const auto x = std::bit_cast<float>(static_cast<uint32_t>(b));
    f(x);
    f(-x);
  }
}

TEST(WorldMath, SineAndCosineStayWithinOneUlpOfTheLibraryOverAllFloats) {
  int64_t worstSin = 0, worstCos = 0;
  float worstSinAt = 0.0f, worstCosAt = 0.0f;
  forFloats(0u, 0x7f7fffffu, 4099u, [&](float x) {
    const int64_t ds = ulpDistance(worldSin(x), std::sin(x));
    const int64_t dc = ulpDistance(worldCos(x), std::cos(x));
    if (ds > worstSin) worstSin = ds, worstSinAt = x;
    if (dc > worstCos) worstCos = dc, worstCosAt = x;
  });
  EXPECT_LE(worstSin, 1) << "at " << worstSinAt;
  EXPECT_LE(worstCos, 1) << "at " << worstCosAt;
}

TEST(WorldMath, SineAndCosineOverTheTurnTheWorldUses) {
  // Every float of one turn either way (motion waves take 2 pi times a phase),
  // and the whole degrees an explosion draws.
  int64_t worst = 0;
  forFloats(0u, std::bit_cast<uint32_t>(6.2831855f), 257u, [&](float x) {
    worst = std::max({worst, ulpDistance(worldSin(x), std::sin(x)), ulpDistance(worldCos(x), std::cos(x))});
  });
  EXPECT_LE(worst, 1);
  for (int32_t d = 0; d < 360; ++d) {
    const float a = static_cast<float>(d) * 3.1415927f / 180.0f;
    EXPECT_LE(ulpDistance(worldSin(a), std::sin(a)), 1) << d;
    EXPECT_LE(ulpDistance(worldCos(a), std::cos(a)), 1) << d;
  }
}

TEST(WorldMath, SineAndCosineSpecialValues) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(std::bit_cast<uint32_t>(worldSin(0.0f)), 0u);
  EXPECT_EQ(std::bit_cast<uint32_t>(worldSin(-0.0f)), 0x80000000u);
  EXPECT_EQ(worldCos(0.0f), 1.0f);
  EXPECT_EQ(worldCos(-0.0f), 1.0f);
  const float tiny = std::numeric_limits<float>::denorm_min();
  EXPECT_EQ(worldSin(tiny), tiny);
  EXPECT_EQ(worldSin(-1e-20f), -1e-20f);
  for (float x : {inf, -inf, nan}) {
    EXPECT_TRUE(std::isnan(worldSin(x))) << x;
    EXPECT_TRUE(std::isnan(worldCos(x))) << x;
  }
  // Close to whole quarter turns, where the reduction loses the most.
  for (float x : {3.1415927f, 1.5707964f, 4.712389f, 6.2831855f, 1.0e6f * 3.1415927f, 16367173.0f * 2.0f,
                  3.4028235e38f, 2.0e20f, 1048575.9f, 1048576.0f}) {
    EXPECT_LE(ulpDistance(worldSin(x), std::sin(x)), 1) << x;
    EXPECT_LE(ulpDistance(worldCos(x), std::cos(x)), 1) << x;
  }
}

TEST(WorldMath, RemainderIsExactlyTheLibrarys) {
  const float inf = std::numeric_limits<float>::infinity();
  const float big = std::numeric_limits<float>::max();
  const float tiny = std::numeric_limits<float>::denorm_min();
  const float cases[] = {0.0f, -0.0f, 0.25f, -0.25f, 1.0f, -1.0f, 1.5f, -2.75f, 3.0f, 7.0e-3f, 123456.7f,
                         -9.999999e5f, 16777217.0f, 3.0e20f, big, -big, tiny, -tiny, 1.1754942e-38f, 0.1f,
                         inf, -inf, 1e-40f, 2.5e-42f};
  for (float x : cases) {
    for (float y : cases) {
      const float want = std::fmod(x, y);
      const float got = worldFmod(x, y);
      if (std::isnan(want)) {
        EXPECT_TRUE(std::isnan(got)) << x << " % " << y;
      } else {
        EXPECT_EQ(std::bit_cast<uint32_t>(got), std::bit_cast<uint32_t>(want)) << x << " % " << y;
      }
    }
  }
  EXPECT_TRUE(std::isnan(worldFmod(std::numeric_limits<float>::quiet_NaN(), 1.0f)));
  EXPECT_TRUE(std::isnan(worldFmod(1.0f, std::numeric_limits<float>::quiet_NaN())));
  // A sweep of the phases the motion update wraps.
  uint32_t s = 1;
  for (int i = 0; i < 200000; ++i) {
    s = s * 1664525u + 1013904223u;
    const auto x = std::bit_cast<float>(s & 0xcfffffffu);  // finite, both signs
    for (float y : {1.0f, 0.3f, 7.5f}) {
      ASSERT_EQ(std::bit_cast<uint32_t>(worldFmod(x, y)), std::bit_cast<uint32_t>(std::fmod(x, y))) << x << " % " << y;
    }
  }
}

}  // namespace
}  // namespace zor
