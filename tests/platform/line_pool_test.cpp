#include "platform/line_pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <list>
#include <vector>

#include "platform/current_list.h"

#if defined(__SANITIZE_ADDRESS__)
#define ZOR_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZOR_TEST_ASAN 1
#endif
#endif
#ifdef ZOR_TEST_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace zor {
namespace {

// An element the size of a world object, whose first 48 bytes are what walks read.
struct Wide {
  int value = 0;
  char rest[196] = {};
};

using WideList = CurrentList<Wide, LinePoolAllocator<Wide>>;

std::uintptr_t lineOf(const void* p) { return reinterpret_cast<std::uintptr_t>(p) / line_pool::kLine; }

TEST(LinePool, EveryElementsHeadLiesInItsNodesFirstLine) {
  WideList l;
  for (int i = 0; i < 300; ++i) l.addLast(Wide{i, {}});
  const auto* first = reinterpret_cast<const char*>(l.front());
  for (const Wide& w : l) {
    EXPECT_EQ(lineOf(&w), lineOf(reinterpret_cast<const char*>(&w) + 47)) << w.value;
    EXPECT_EQ((reinterpret_cast<const char*>(&w) - first) % static_cast<std::ptrdiff_t>(line_pool::kLine), 0);
  }
}

TEST(LinePool, SortingAndLayingOutAPooledListKeepItsOrder) {
  WideList l;
  for (int i = 0; i < 40; ++i) l.addLast(Wide{i, {}});
  l.sortRange(1, 38, [](const Wide& a, const Wide& b) { return (a.value * 7) % 40 < (b.value * 7) % 40; });
  std::vector<int> before;
  for (const Wide& w : l) before.push_back(w.value);
  l.layOutRange(1, 38, [](const Wide&) { return false; });
  std::vector<int> after;
  std::vector<const Wide*> at;
  for (const Wide& w : l) {
    after.push_back(w.value);
    at.push_back(&w);
  }
  EXPECT_EQ(after, before);
  for (std::size_t i = 2; i <= 38; ++i) EXPECT_LT(at[i - 1], at[i]) << i;
}

TEST(LinePool, AFreedSlotIsTakenAgainAndCannotBeTouchedMeanwhile) {
  WideList l;
  l.addLast(Wide{1, {}});
  Wide* removed = &l.addLast(Wide{2, {}});
  l.removeCurrent();
#ifdef ZOR_TEST_ASAN
  // A record used after its removal is still caught by the address checker.
  EXPECT_TRUE(__asan_address_is_poisoned(&removed->value));
#endif
  Wide* again = &l.addLast(Wide{3, {}});
  EXPECT_EQ(again, removed);
  EXPECT_EQ(again->value, 3);
}

}  // namespace
}  // namespace zor
