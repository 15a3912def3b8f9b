#include "game/persist/game_flags.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

GameFlags flagsOf128() {
  GameFlags f;
  EXPECT_EQ(f.allocate(128), 1);
  return f;
}

TEST(GameFlags, AllocateKeepsWordsAndZeroesNewOnes) {
  GameFlags f;
  EXPECT_EQ(f.allocate(0), 0);
  EXPECT_EQ(f.allocate(-5), 0);
  EXPECT_EQ(f.capacity, 0);
  EXPECT_TRUE(f.words.empty());

  EXPECT_EQ(f.allocate(128), 1);
  EXPECT_EQ(f.capacity, 128);
  EXPECT_EQ(f.words.size(), 5u);
  f.set(3, true);
  f.set(127, true);
  EXPECT_EQ(f.allocate(256), 1);
  EXPECT_EQ(f.words.size(), 9u);
  EXPECT_TRUE(f.isSet(3));
  EXPECT_TRUE(f.isSet(127));
  for (int n = 128; n < 256; ++n) ASSERT_FALSE(f.isSet(n)) << n;
}

TEST(GameFlags, ShrinkingDropsFlagsAtOrAboveTheNewCapacity) {
  GameFlags f = flagsOf128();
  f.set(5, true);
  f.set(130, true);  // grows to 256
  f.set(200, true);
  EXPECT_EQ(f.allocate(128), 1);
  EXPECT_TRUE(f.isSet(5));
  EXPECT_FALSE(f.isSet(130));
  // Growing again must not bring back flags that lay above the smaller capacity.
  f.set(255, true);
  EXPECT_FALSE(f.isSet(130));
  EXPECT_FALSE(f.isSet(200));
  EXPECT_TRUE(f.isSet(255));
}

TEST(GameFlags, OutOfRangeNumbersReadClearWithoutGrowing) {
  GameFlags f = flagsOf128();
  for (int32_t n : {-1, 127, 128, 5000, GameFlags::kMaxFlag, INT32_MAX, INT32_MIN}) {
    EXPECT_FALSE(f.isSet(n)) << n;
  }
  EXPECT_EQ(f.capacity, 128);
  GameFlags empty;
  EXPECT_FALSE(empty.isSet(0));
}

TEST(GameFlags, SettingBeyondTheCapacityDoublesIt) {
  struct Case {
    int32_t flag;
    int32_t capacity;
    std::size_t words;
  };
  const Case cases[] = {
      {0, 128, 5}, {127, 128, 5}, {128, 256, 9}, {130, 256, 9}, {255, 256, 9},
      {256, 512, 17}, {300, 512, 17}, {1000, 1024, 33}, {GameFlags::kMaxFlag - 1, GameFlags::kMaxFlag, 32769},
  };
  for (const Case& c : cases) {
    GameFlags f = flagsOf128();
    f.set(7, true);
    EXPECT_EQ(f.set(c.flag, true), 1) << c.flag;
    EXPECT_EQ(f.capacity, c.capacity) << c.flag;
    EXPECT_EQ(f.words.size(), c.words) << c.flag;
    EXPECT_TRUE(f.isSet(c.flag)) << c.flag;
    EXPECT_TRUE(f.isSet(7)) << c.flag;
  }
}

TEST(GameFlags, GrowthTo512SetsBit12OfWord9) {
  GameFlags f = flagsOf128();
  f.set(0, true);
  f.set(100, true);
  EXPECT_EQ(f.set(300, true), 1);
  EXPECT_EQ(f.capacity, 512);
  ASSERT_EQ(f.words.size(), 17u);
  EXPECT_EQ(f.words[9], 1u << 12);
  EXPECT_EQ(f.words[0], 1u);
  EXPECT_EQ(f.words[3], 1u << 4);
  for (std::size_t w = 4; w < 17; ++w) {
    if (w != 9) {
      EXPECT_EQ(f.words[w], 0u) << w;
    }
  }
}

TEST(GameFlags, FurtherSetsInsideTheCapacityDoNotGrow) {
  GameFlags f = flagsOf128();
  f.set(128, true);
  EXPECT_EQ(f.capacity, 256);
  f.set(255, true);
  EXPECT_EQ(f.capacity, 256);
  EXPECT_EQ(f.words.size(), 9u);
}

TEST(GameFlags, ClearingBeyondTheCapacityStillGrows) {
  GameFlags f = flagsOf128();
  EXPECT_EQ(f.set(1000, false), 1);
  EXPECT_EQ(f.capacity, 1024);
  EXPECT_FALSE(f.isSet(1000));
  f.set(1000, true);
  EXPECT_TRUE(f.isSet(1000));
  f.set(1000, false);
  EXPECT_FALSE(f.isSet(1000));
}

TEST(GameFlags, RefusedNumbersChangeNothing) {
  for (int32_t n : {-1, -4, INT32_MIN, GameFlags::kMaxFlag, GameFlags::kMaxFlag + 1, 1 << 30, INT32_MAX}) {
    GameFlags f = flagsOf128();
    f.set(9, true);
    EXPECT_EQ(f.set(n, true), 0) << n;
    EXPECT_EQ(f.set(n, false), 0) << n;
    EXPECT_EQ(f.capacity, 128) << n;
    EXPECT_EQ(f.words.size(), 5u) << n;
    EXPECT_TRUE(f.isSet(9)) << n;
  }
}

TEST(GameFlags, ZeroCapacityStartsAt128) {
  GameFlags f;
  EXPECT_EQ(f.set(5, true), 1);
  EXPECT_EQ(f.capacity, 128);
  EXPECT_TRUE(f.isSet(5));
  GameFlags g;
  EXPECT_EQ(g.set(200, true), 1);
  EXPECT_EQ(g.capacity, 256);
  EXPECT_TRUE(g.isSet(200));
}

TEST(GameFlags, ClearEmptiesEveryFlagBelowTheCapacity) {
  GameFlags f = flagsOf128();
  f.set(0, true);
  f.set(127, true);
  f.set(600, true);  // grows to 1024
  f.clear();
  EXPECT_EQ(f.capacity, 1024);
  for (int n = 0; n < 1024; ++n) ASSERT_FALSE(f.isSet(n)) << n;

  GameFlags odd;
  odd.allocate(100);  // not a multiple of 32
  odd.set(99, true);
  odd.set(3, true);
  odd.clear();
  EXPECT_FALSE(odd.isSet(99));
  EXPECT_FALSE(odd.isSet(3));

  GameFlags empty;
  empty.clear();
  EXPECT_EQ(empty.capacity, 0);
}

}  // namespace
}  // namespace zor
