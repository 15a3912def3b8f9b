#include "editor/core/drawing_order.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>

namespace zor::editor {

namespace {

// An unsigned number that sorts ascending as the float sorts descending, with the
// two zeros equal. (Not for NaN.)
uint32_t descending(float f) {
  if (f == 0.0f) f = 0.0f;
  const uint32_t u = std::bit_cast<uint32_t>(f);
  const uint32_t ascending = (u & 0x80000000u) ? ~u : (u | 0x80000000u);
  return ~ascending;
}

uint32_t descending(int32_t v) { return ~(static_cast<uint32_t>(v) ^ 0x80000000u); }

// Three stable sorts by comparison, the last deciding most.
std::vector<uint32_t> comparedOrder(const std::vector<DrawingKey>& keys) {
  std::vector<uint32_t> order(keys.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<uint32_t>(i);
  std::stable_sort(order.begin(), order.end(), [&keys](uint32_t a, uint32_t b) { return keys[a].y > keys[b].y; });
  std::stable_sort(order.begin(), order.end(),
                   [&keys](uint32_t a, uint32_t b) { return keys[a].priority > keys[b].priority; });
  std::stable_sort(order.begin(), order.end(), [&keys](uint32_t a, uint32_t b) { return keys[a].z > keys[b].z; });
  return order;
}

struct Item {
  std::array<uint32_t, 3> key;  // y, priority, z: least significant first
  uint32_t index;
};

}  // namespace

std::vector<uint32_t> drawingOrder(const std::vector<DrawingKey>& keys) {
  const std::size_t n = keys.size();
  for (const DrawingKey& k : keys)
    if (std::isnan(k.z) || std::isnan(k.y)) return comparedOrder(keys);

  // A stable least-significant-digit radix sort over the twelve bytes of the key;
  // a byte that all keys share needs no pass.
  std::vector<Item> items(n), spare(n);
  std::vector<std::array<uint32_t, 256>> counts(12);
  for (auto& c : counts) c.fill(0);
  for (std::size_t i = 0; i < n; ++i) {
    Item& item = items[i];
    item.key = {descending(keys[i].y), descending(keys[i].priority), descending(keys[i].z)};
    item.index = static_cast<uint32_t>(i);
    for (std::size_t d = 0; d < 12; ++d) ++counts[d][(item.key[d / 4] >> (8 * (d % 4))) & 0xFFu];
  }
  for (std::size_t d = 0; d < 12; ++d) {
    std::array<uint32_t, 256>& count = counts[d];
    if (n == 0 || count[(items[0].key[d / 4] >> (8 * (d % 4))) & 0xFFu] == n) continue;
    uint32_t start = 0;
    for (uint32_t& c : count) {
      const uint32_t here = c;
      c = start;
      start += here;
    }
    for (const Item& item : items) spare[count[(item.key[d / 4] >> (8 * (d % 4))) & 0xFFu]++] = item;
    items.swap(spare);
  }
  std::vector<uint32_t> order(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = items[i].index;
  return order;
}

}  // namespace zor::editor
