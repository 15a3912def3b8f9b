#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/game/script/script_test_support.h"

namespace zor {
namespace {

using testing::ScriptHarness;
using testing::zoneText;

// The set flags below `limit`.
std::vector<int> setFlags(const GameFlags& f, int limit = 2100) {
  std::vector<int> out;
  for (int i = 0; i < limit; ++i) {
    if (f.isSet(i)) out.push_back(i);
  }
  return out;
}

TEST(GameFlagStatements, ListsAndGrowth) {
  const struct {
    const char* statements;
    std::vector<int> flags;
    int32_t capacity;
  } cases[] = {
      {"<setgflags gflags=\"2,5\"/>", {1, 2, 5}, 128},
      {"<setgflags gflags=\"2, 5\"/>", {1, 2, 5}, 128},  // the number reading skips the blank
      {"<setgflags gflags=\"2,,5\"/>", {0, 1, 2, 5}, 128},  // an empty item is flag 0
      {"<setgflags gflags=\"\"/>", {0, 1}, 128},
      {"<setgflags/>", {0, 1}, 128},
      {"<setgflags gflags=\"x,7\"/>", {0, 1, 7}, 128},
      {"<setgflags gflags=\"130\"/>", {1, 130}, 256},
      {"<setgflags gflags=\"1000\"/>", {1, 1000}, 1024},
      {"<setgflags gflags=\"2047\"/>", {1, 2047}, 2048},
      {"<unsetgflags gflags=\"1\"/>", {}, 128},
      {"<unsetgflags gflags=\"-4\"/>", {1}, 128},
      {"<setgflags gflags=\"-1,-4\"/>", {1}, 128},
      {"<setgflags gflags=\"3,1048576,2147483647,99999999999\"/>", {1, 3}, 128},  // beyond the bound: refused
      {"<unsetgflags gflags=\"1048576\"/>", {1}, 128},
      {"<setgflags gflags=\"4,6\"/><unsetgflags gflags=\"4, 1\"/>", {6}, 128},
  };
  for (const auto& c : cases) {
    ScriptHarness h(zoneText(c.statements), false);
    GameFlags& f = h.g().gameFlags;
    f.allocate(128);  // as reading the save file leaves it
    f.set(1, true);  // set before the script runs
    ASSERT_TRUE(loadZone(h.g(), "first", false));
    EXPECT_EQ(setFlags(f), c.flags) << c.statements;
    EXPECT_EQ(f.capacity, c.capacity) << c.statements;
    EXPECT_EQ(f.words.size(), static_cast<std::size_t>(c.capacity / 32 + 1)) << c.statements;
  }
}

TEST(ZoneFlagStatements, SetAndClearBitsZeroTo31) {
  const struct {
    const char* statements;
    uint32_t flags;
  } cases[] = {
      {"<setzflags zflags=\"31\"/>", 0x80000000u},
      {"<setzflags zflags=\"32,-1,99\"/>", 0u},
      {"<setzflags zflags=\"0, 3,5\"/>", 0x29u},
      {"<setzflags zflags=\"\"/>", 0x1u},
      {"<setzflags zflags=\"1,2\"/><unsetzflags zflags=\"2,40\"/>", 0x2u},
      {"<setzflags zflags=\"$1F\"/>", 0x80000000u},
  };
  for (const auto& c : cases) {
    ScriptHarness h(zoneText(c.statements));
    EXPECT_EQ(h.g().world.zoneFlags, c.flags) << c.statements;
  }
}

TEST(ZoneFlagStatements, AZoneLoadClearsZoneStateButKeepsGameFlags) {
  ScriptHarness h(zoneText("", "<sub id=\"s\"><setzflags zflags=\"4\"/><setgflags gflags=\"9\"/></sub>"));
  h.run("s");
  h.g().world.zoneInt = 12;
  ASSERT_EQ(h.g().world.zoneFlags, 0x10u);
  ASSERT_TRUE(loadZone(h.g(), "first", false));
  EXPECT_EQ(h.g().world.zoneFlags, 0u);
  EXPECT_EQ(h.g().world.zoneInt, 0);
  EXPECT_TRUE(h.g().gameFlags.isSet(9));
}

}  // namespace
}  // namespace zor
