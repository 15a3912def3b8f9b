#include "platform/current_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace zor {
namespace {

std::vector<int> items(const CurrentList<int>& l) { return {l.begin(), l.end()}; }

TEST(CurrentList, AddInsertsAfterCurrentAndRemoveMakesPreviousCurrent) {
  CurrentList<int> l;
  l.add(1);
  l.add(3);
  l.first();
  l.add(2);  // after 1
  EXPECT_EQ(items(l), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(*l.current(), 2);
  l.removeCurrent();
  EXPECT_EQ(*l.current(), 1);
  l.removeCurrent();  // the first: no current afterwards
  EXPECT_EQ(l.current(), nullptr);
  l.add(0);  // without a current element: at the head
  EXPECT_EQ(items(l), (std::vector<int>{0, 3}));
}

TEST(CurrentList, RemovingTheCurrentElementDeepInTheListMakesItsNeighbourBeforeCurrent) {
  // Removed by removeCurrent() and by erase() of the current element; positions
  // past the second, so that "the previous one" and "the first one" differ.
  for (bool byErase : {false, true}) {
    for (int at : {2, 3, 4}) {
      CurrentList<int> l;
      for (int i : {10, 11, 12, 13, 14}) l.addLast(i);
      l.first();
      for (int i = 0; i < at; ++i) l.advance();
      if (byErase) {
        l.erase(l.currentIterator());
      } else {
        l.removeCurrent();
      }
      ASSERT_NE(l.current(), nullptr) << at << " " << byErase;
      EXPECT_EQ(*l.current(), 10 + at - 1) << at << " " << byErase;
      // A removal after that keeps walking backward.
      l.removeCurrent();
      ASSERT_NE(l.current(), nullptr);
      EXPECT_EQ(*l.current(), 10 + at - 2) << at << " " << byErase;
      EXPECT_EQ(l.size(), 3u);
    }
  }
}

TEST(CurrentList, AdvancingPastTheEndKeepsTheLastCurrent) {
  CurrentList<int> l;
  for (int i : {1, 2, 3}) l.addLast(i);
  l.first();
  while (l.advance()) {
  }
  EXPECT_EQ(*l.current(), 3);
}

TEST(CurrentList, RangeSortIsStableAndKeepsOutsideElements) {
  struct E {
    int key;
    int tag;
  };
  CurrentList<E> l;
  for (E e : {E{9, 0}, E{1, 1}, E{2, 2}, E{1, 3}, E{2, 4}, E{0, 5}}) l.addLast(e);
  E* cur = l.current();  // the last added
  l.sortRange(1, 4, [](const E& a, const E& b) { return a.key > b.key; });
  std::vector<int> tags;
  for (auto& e : l) tags.push_back(e.tag);
  EXPECT_EQ(tags, (std::vector<int>{0, 2, 4, 1, 3, 5}));
  EXPECT_EQ(l.current(), cur);
}

// The sorts against a plain stable sort of the same values, on ranges with
// few distinct keys (so that nearly every comparison is a tie).
TEST(CurrentList, RangeSortsAgreeWithAPlainStableSortOnManyEqualKeys) {
  struct E {
    int key;
    int tag;
  };
  uint32_t seed = 11;
  const auto next = [&seed](uint32_t range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % range);
  };
  for (int round = 0; round < 40; ++round) {
    const int size = 1 + next(300);
    const uint32_t distinct = 1 + static_cast<uint32_t>(next(6));
    std::vector<E> values;
    for (int i = 0; i < size; ++i) values.push_back(E{next(distinct), i});
    const std::size_t from = static_cast<std::size_t>(next(static_cast<uint32_t>(size)));
    const std::size_t to = from + static_cast<std::size_t>(next(static_cast<uint32_t>(size) + 5));
    SCOPED_TRACE(testing::Message() << "round " << round << " from " << from << " to " << to);

    std::vector<E> expected = values;
    const std::size_t last = std::min<std::size_t>(to, values.size() - 1);
    if (from < last) {
      std::stable_sort(expected.begin() + static_cast<std::ptrdiff_t>(from),
                       expected.begin() + static_cast<std::ptrdiff_t>(last) + 1,
                       [](const E& a, const E& b) { return a.key > b.key; });
    }
    const auto tags = [](const CurrentList<E>& l) {
      std::vector<int> out;
      for (const E& e : l) out.push_back(e.tag);
      return out;
    };
    std::vector<int> expectedTags;
    for (const E& e : expected) expectedTags.push_back(e.tag);

    CurrentList<E> byElement, byKey, laidOut;
    for (const E& e : values) {
      byElement.addLast(e);
      byKey.addLast(e);
      laidOut.addLast(e);
    }
    byElement.sortRange(from, to, [](const E& a, const E& b) { return a.key > b.key; });
    byKey.sortRangeByKey(from, to, [](const E& e) { return e.key; }, [](int a, int b) { return a > b; });
    laidOut.sortAndLayOutRange(from, to, [](const E& e) { return e.key; }, [](int a, int b) { return a > b; },
                               [](const E& e) { return e.tag % 7 == 0; });
    EXPECT_EQ(tags(byElement), expectedTags);
    EXPECT_EQ(tags(byKey), expectedTags);
    EXPECT_EQ(tags(laidOut), expectedTags);
    EXPECT_EQ(byKey.size(), values.size());
  }
}

TEST(CurrentList, LayingOutARangeMovesItsValuesIntoAddressOrderAndKeepsTheOrder) {
  // Nothing stays, and every fifth value stays in its node; a short range and
  // one long enough to be put in address order by digits.
  for (const auto& [size, staysEvery] : std::vector<std::pair<int, int>>{{40, 0}, {40, 5}, {3000, 0}, {3000, 5}}) {
    SCOPED_TRACE(testing::Message() << "size " << size << " staysEvery " << staysEvery);
    auto stays = [staysEvery](int v) { return staysEvery != 0 && v % staysEvery == 0; };
    CurrentList<int> l;
    for (int i = 0; i < size; ++i) l.addLast(i);
    const std::size_t lastInRange = static_cast<std::size_t>(size) - 2;
    // The range in an order unlike the nodes' addresses.
    l.sortRange(1, lastInRange, [size](int a, int b) { return (a * 7) % size < (b * 7) % size; });
    const std::vector<int> before = items(l);
    std::vector<const int*> addresses;
    for (const int& v : l) addresses.push_back(&v);
    l.setCurrent(std::next(l.begin(), 6));
    const int currentValue = *l.current();

    const auto moved = l.layOutRange(1, lastInRange, stays);

    EXPECT_EQ(items(l), before);
    EXPECT_EQ(*l.current(), currentValue);
    std::vector<const int*> now;
    for (const int& v : l) now.push_back(&v);
    EXPECT_EQ(now.front(), addresses.front());  // outside the range
    EXPECT_EQ(now.back(), addresses.back());
    const int* last = nullptr;
    for (std::size_t i = 1; i <= lastInRange; ++i) {
      if (stays(before[i])) {
        EXPECT_EQ(now[i], addresses[i]) << i;
        continue;
      }
      if (last != nullptr) {
        EXPECT_LT(last, now[i]) << i;
      }
      last = now[i];
    }
    // Each moved value is reported from the node it left to the node it is in.
    EXPECT_FALSE(moved.empty());
    for (const auto& [from, to] : moved) {
      const std::size_t position =
          static_cast<std::size_t>(std::find(addresses.begin(), addresses.end(), from) - addresses.begin());
      ASSERT_LT(position, addresses.size());
      EXPECT_EQ(now[position], to);
    }
    // Laid out already: nothing moves.
    EXPECT_TRUE(l.layOutRange(1, lastInRange, stays).empty());
  }
}

TEST(CurrentList, LayingOutByRegionsPutsEachRegionTogetherInListOrder) {
  // Regions by value; every fifth value stays in its node in the second run.
  for (const auto& [size, staysEvery] : std::vector<std::pair<int, int>>{{40, 0}, {40, 5}, {3000, 0}, {3000, 5}}) {
    SCOPED_TRACE(testing::Message() << "size " << size << " staysEvery " << staysEvery);
    auto stays = [staysEvery](int v) { return staysEvery != 0 && v % staysEvery == 0; };
    auto regionOf = [](int v) { return static_cast<std::size_t>((v * 13) % 4 == 3 ? 0 : (v * 13) % 4 == 1 ? 2 : 1); };
    CurrentList<int> l;
    for (int i = 0; i < size; ++i) l.addLast(i);
    const std::size_t lastInRange = static_cast<std::size_t>(size) - 2;
    l.sortRange(1, lastInRange, [size](int a, int b) { return (a * 7) % size < (b * 7) % size; });
    const std::vector<int> before = items(l);
    std::vector<const int*> addresses;
    for (const int& v : l) addresses.push_back(&v);
    l.setCurrent(std::next(l.begin(), 6));
    const int currentValue = *l.current();

    const auto moved = l.layOutRange(1, lastInRange, stays, regionOf);

    EXPECT_EQ(items(l), before);
    EXPECT_EQ(*l.current(), currentValue);
    std::vector<const int*> now;
    for (const int& v : l) now.push_back(&v);
    EXPECT_EQ(now.front(), addresses.front());  // outside the range
    EXPECT_EQ(now.back(), addresses.back());
    // The reference: the moving values by region, then list order, take the
    // nodes they held in address order.
    std::vector<std::size_t> moving;
    std::vector<const int*> held, inListOrder;
    for (std::size_t i = 1; i <= lastInRange; ++i) {
      if (stays(before[i])) {
        EXPECT_EQ(now[i], addresses[i]) << i;
        continue;
      }
      moving.push_back(i);
      held.push_back(addresses[i]);
      inListOrder.push_back(now[i]);
    }
    std::stable_sort(moving.begin(), moving.end(),
                     [&](std::size_t a, std::size_t b) { return regionOf(before[a]) < regionOf(before[b]); });
    std::sort(held.begin(), held.end());
    for (std::size_t r = 0; r < moving.size(); ++r) EXPECT_EQ(now[moving[r]], held[r]) << r;
    // The regions really changed the lay-out: it is not the one by list order.
    EXPECT_FALSE(std::is_sorted(inListOrder.begin(), inListOrder.end()));
    for (const auto& [from, to] : moved) {
      const std::size_t position =
          static_cast<std::size_t>(std::find(addresses.begin(), addresses.end(), from) - addresses.begin());
      ASSERT_LT(position, addresses.size());
      EXPECT_EQ(now[position], to);
    }
    // Laid out already: nothing moves.
    EXPECT_TRUE(l.layOutRange(1, lastInRange, stays, regionOf).empty());
  }
}

}  // namespace
}  // namespace zor
