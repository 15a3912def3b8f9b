// The drawing order made by the radix sort is the order three stable sorts by
// comparison give (y, then priority, then z, each descending), on keys of every
// kind: ties, both zeros, infinities, tiny and huge numbers, extreme priorities,
// and keys that are not numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "editor/core/drawing_order.h"

namespace zor::editor::test {
namespace {

struct Lcg {
  uint32_t seed;
  uint32_t next(uint32_t range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % range;
  }
};

std::vector<uint32_t> comparedOrder(const std::vector<DrawingKey>& keys) {
  std::vector<uint32_t> order(keys.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<uint32_t>(i);
  std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return keys[a].y > keys[b].y; });
  std::stable_sort(order.begin(), order.end(),
                   [&](uint32_t a, uint32_t b) { return keys[a].priority > keys[b].priority; });
  std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return keys[a].z > keys[b].z; });
  return order;
}

float pickFloat(Lcg& r, uint32_t spread, bool withNan) {
  constexpr float inf = std::numeric_limits<float>::infinity();
  static const float specials[] = {0.0f, -0.0f, inf, -inf, 1e-40f, -1e-40f, 3.4e38f, -3.4e38f, 0.5f, -0.5f, 100.0f};
  const uint32_t pick = r.next(10);
  if (withNan && pick == 0) return std::numeric_limits<float>::quiet_NaN();
  if (pick < 3) return specials[r.next(std::size(specials))];
  return static_cast<float>(static_cast<int32_t>(r.next(spread)) - static_cast<int32_t>(spread / 2)) * 0.25f;
}

TEST(DrawingOrder, RadixOrderIsTheOrderOfThreeStableSorts) {
  struct Case {
    uint32_t seed;
    std::size_t count;
    uint32_t spread;  // distinct values: few give many ties
    bool withNan;
  };
  const Case cases[] = {{1, 0, 4, false},     {2, 1, 4, false},      {3, 2, 4, false},     {4, 50, 3, false},
                        {5, 300, 40, false},  {6, 1000, 4000, false}, {7, 5000, 2, false},  {8, 3000, 1u << 24, false},
                        {9, 300, 40, true},   {10, 2000, 7, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seed);
    Lcg r{c.seed};
    std::vector<DrawingKey> keys(c.count);
    for (DrawingKey& k : keys) {
      k.z = pickFloat(r, c.spread, c.withNan);
      k.y = pickFloat(r, c.spread, c.withNan);
      const uint32_t p = r.next(8);
      k.priority = p == 0   ? std::numeric_limits<int32_t>::min()
                   : p == 1 ? std::numeric_limits<int32_t>::max()
                   : p == 2 ? -1
                            : static_cast<int32_t>(r.next(c.spread)) - static_cast<int32_t>(c.spread / 2);
    }
    EXPECT_EQ(drawingOrder(keys), comparedOrder(keys));
  }
}

// A list that is in drawing order up to some point, with new keys after it (as after
// a duplicate or a paste), and one wholly in order: the run in order is merged with
// the rest, ties between the two going to the run.
TEST(DrawingOrder, ListInOrderUpToAPointGivesTheOrderOfThreeStableSorts) {
  struct Case {
    uint32_t seed;
    std::size_t inOrder;
    std::size_t added;
    uint32_t spread;
  };
  const Case cases[] = {{11, 1, 0, 4},      {12, 500, 0, 6},   {13, 500, 1, 6},    {14, 1, 400, 6},
                        {15, 1000, 1000, 3}, {16, 2000, 300, 40}, {17, 300, 2000, 4000}, {18, 64, 64, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seed);
    Lcg r{c.seed};
    auto pick = [&r, &c] {
      DrawingKey k;
      k.z = pickFloat(r, c.spread, false);
      k.y = pickFloat(r, c.spread, false);
      k.priority = static_cast<int32_t>(r.next(c.spread)) - static_cast<int32_t>(c.spread / 2);
      return k;
    };
    std::vector<DrawingKey> first(c.inOrder);
    for (DrawingKey& k : first) k = pick();
    std::vector<DrawingKey> keys;
    for (uint32_t i : comparedOrder(first)) keys.push_back(first[i]);
    for (std::size_t i = 0; i < c.added; ++i) keys.push_back(pick());
    EXPECT_EQ(drawingOrder(keys), comparedOrder(keys));
  }
}

}  // namespace
}  // namespace zor::editor::test
