// The address table against a plain map, and the sort by address against a plain
// stable sort, on random addresses: many repeated, spread wide or close together.
#include "editor/core/address_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace zor::editor::test {
namespace {

struct Lcg {
  uint64_t seed;
  uint64_t next(uint64_t range) {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    return (seed >> 11) % range;
  }
};

// Addresses as a zone's passes see them: inside one array (close together), or
// anywhere in a wide span with some far apart.
std::vector<const void*> randomAddresses(Lcg& r, std::size_t count, uint64_t spread, std::size_t distinct) {
  std::vector<uint64_t> pool(distinct);
  for (uint64_t& a : pool) {
    a = 0x10000 + 8 * r.next(spread);
    if (r.next(5) == 0) a += uint64_t{0x7f0000000000};
  }
  std::vector<const void*> out(count);
  for (const void*& a : out) a = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(pool[r.next(distinct)]));
  return out;
}

TEST(AddressTable, SortsByAddressAsAStableSortDoes) {
  struct Case {
    uint64_t seed;
    std::size_t count;
    uint64_t spread;
    std::size_t distinct;
  };
  const Case cases[] = {{1, 0, 10, 1},       {2, 1, 10, 1},          {3, 2, 10, 2},       {4, 100, 10, 1},
                        {5, 300, 1000, 40},  {6, 5000, 1u << 20, 5000}, {7, 20000, 1u << 30, 3000},
                        {8, 4000, 1ull << 40, 4000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seed);
    Lcg r{c.seed};
    const std::vector<const void*> keys = randomAddresses(r, c.count, c.spread, c.distinct);
    std::vector<std::pair<const void*, std::size_t>> sorted, expected;
    for (std::size_t i = 0; i < keys.size(); ++i) sorted.emplace_back(keys[i], i);
    expected = sorted;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& a, const auto& b) { return std::less<const void*>()(a.first, b.first); });
    sortByAddress(sorted, [](const auto& item) { return item.first; });
    EXPECT_EQ(sorted, expected);
  }
}

TEST(AddressTable, FindsWhatAMapFinds) {
  Lcg r{9};
  const std::vector<const void*> keys = randomAddresses(r, 30000, 1u << 24, 12000);
  AddressTable<std::size_t> table(100);  // grows on the way
  std::map<const void*, std::size_t> plain;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(table.emplace(keys[i], i), plain.emplace(keys[i], i).second);
    if (i % 7 == 0) table.prefetch(keys[(i * 31) % keys.size()]);
  }
  EXPECT_EQ(table.size(), plain.size());
  for (const void* k : randomAddresses(r, 5000, 1u << 24, 5000)) {
    auto it = plain.find(k);
    const std::size_t* found = table.find(k);
    ASSERT_EQ(found != nullptr, it != plain.end());
    if (found) {
      EXPECT_EQ(*found, it->second);
    }
  }
}

}  // namespace
}  // namespace zor::editor::test
