#include "platform/current_list.h"

#include <gtest/gtest.h>

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

// Removing the current element makes the element just before it current, wherever
// it stands, both through removeCurrent() and through erase() of the current element.
TEST(CurrentList, RemovingTheCurrentMakesTheElementJustBeforeItCurrent) {
  struct Case {
    int removedAt;  // 0-based position of the current element that is removed
    int expectedCurrent;  // -1: none
  };
  for (const Case c : {Case{0, -1}, Case{1, 10}, Case{2, 11}, Case{3, 12}, Case{4, 13}}) {
    for (const bool byErase : {false, true}) {
      CurrentList<int> l;
      for (int i : {10, 11, 12, 13, 14}) l.addLast(i);
      l.first();
      for (int i = 0; i < c.removedAt; ++i) l.advance();
      if (byErase) {
        l.erase(l.currentIterator());
      } else {
        l.removeCurrent();
      }
      const int* cur = l.current();
      EXPECT_EQ(cur ? *cur : -1, c.expectedCurrent) << "removed at " << c.removedAt << (byErase ? " by erase" : "");
      EXPECT_EQ(l.size(), 4u);
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

}  // namespace
}  // namespace zor
