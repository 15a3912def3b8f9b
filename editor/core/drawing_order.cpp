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

  auto itemOf = [&keys](std::size_t i) {
    return Item{{descending(keys[i].y), descending(keys[i].priority), descending(keys[i].z)},
                static_cast<uint32_t>(i)};
  };
  // A list is mostly in order already (it was sorted before, and the records made
  // since were added at its end): the run in order at its start stays as it is, the
  // rest is sorted and merged into it, ties going to the run.
  auto before = [](const Item& a, const Item& b) {
    if (a.key[2] != b.key[2]) return a.key[2] < b.key[2];
    if (a.key[1] != b.key[1]) return a.key[1] < b.key[1];
    return a.key[0] < b.key[0];
  };
  std::size_t run = n == 0 ? 0 : 1;
  if (n > 0) {
    Item last = itemOf(0);
    for (; run < n; ++run) {
      const Item next = itemOf(run);
      if (before(next, last)) break;
      last = next;
    }
  }
  std::vector<uint32_t> order(n);
  if (run == n) {
    for (std::size_t i = 0; i < n; ++i) order[i] = static_cast<uint32_t>(i);
    return order;
  }

  // The rest by a stable least-significant-digit radix sort over the twelve bytes of
  // the key; a byte that all its keys share needs no pass.
  const std::size_t m = n - run;
  std::vector<Item> rest(m);
  for (std::size_t i = 0; i < m; ++i) rest[i] = itemOf(run + i);
  std::vector<Item> spare(m);
  std::vector<std::array<uint32_t, 256>> counts(12);
  for (auto& c : counts) c.fill(0);
  for (const Item& item : rest)
    for (std::size_t d = 0; d < 12; ++d) ++counts[d][(item.key[d / 4] >> (8 * (d % 4))) & 0xFFu];
  for (std::size_t d = 0; d < 12; ++d) {
    std::array<uint32_t, 256>& count = counts[d];
    if (count[(rest[0].key[d / 4] >> (8 * (d % 4))) & 0xFFu] == m) continue;
    uint32_t start = 0;
    for (uint32_t& c : count) {
      const uint32_t here = c;
      c = start;
      start += here;
    }
    for (const Item& item : rest) spare[count[(item.key[d / 4] >> (8 * (d % 4))) & 0xFFu]++] = item;
    rest.swap(spare);
  }
  std::size_t a = 0, b = 0, k = 0;
  Item inRun = itemOf(0);
  while (a < run && b < m) {
    if (before(rest[b], inRun)) {
      order[k++] = rest[b++].index;
    } else {
      order[k++] = static_cast<uint32_t>(a++);
      if (a < run) inRun = itemOf(a);
    }
  }
  while (a < run) order[k++] = static_cast<uint32_t>(a++);
  while (b < m) order[k++] = rest[b++].index;
  return order;
}

}  // namespace zor::editor
