#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "game/render/titles.h"
#include "tests/game/script/script_test_support.h"

namespace zor {
namespace {

using testing::ScriptHarness;

// The zone "first" with three levels (z 0, 40, 80), a default entrance on
// level 1 and a few named entrances; `set` statements go into the sub "s".
std::string setZone(const std::string& sub, const std::string& start = "") {
  return "<zorlan version=\"1\"><zone id=\"first\">"
         "<levels><level z=\"80\"/><level z=\"0\"/><level z=\"40\"/></levels>"
         "<entrance x=\"7\" y=\"8\" level=\"1\"/>"
         "<entrance_a x=\"5\" y=\"6\" level=\"2\"/>"
         "<entrance_b x=\"1\" y=\"2\" z=\"39\"/>"
         "<entrance_far x=\"3\" y=\"4\" level=\"7\"/>"
         "<entrance_neg x=\"3\" y=\"4\" level=\"-5\" z=\"75\"/>"
         "<entrance_huge x=\"3\" y=\"4\" level=\"99999999999\"/>"
         "<block oname=\"door\" x=\"0\" y=\"0\" w=\"10\" h=\"10\"/>"
         "<block oname=\"gate\" x=\"0\" y=\"0\" w=\"10\" h=\"10\"/>"
         "<start>" + start + "</start>"
         "<sub id=\"s\">" + sub + "</sub>"
         "</zone></zorlan>";
}

// The real `set` in the harness (which otherwise stands in a credits stub).
struct SetHarness : ScriptHarness {
  explicit SetHarness(const std::string& xml) : ScriptHarness(xml, false) {
    registerSetStatement(table);
    EXPECT_TRUE(loadZone(g(), "first", false));
  }
  World& w() { return g().world; }
};

TEST(SetStatement, EntranceMovesTheRespawnPointButNotThePlayer) {
  const struct {
    const char* statement;
    const char* entranceName;
    float x, y;
    int32_t level;
  } cases[] = {
      {"<set entrance=\"a\"/>", "a", 5.0f, 6.0f, 2},
      {"<set entrance=\"A\"/>", "a", 5.0f, 6.0f, 2},        // lower-cased
      {"<set entrance=\"-\"/>", "-", 7.0f, 8.0f, 1},        // the zone's default entrance
      {"<set entrance=\"b\"/>", "b", 1.0f, 2.0f, 1},        // the level nearest z 39
      {"<set entrance=\"far\"/>", "far", 3.0f, 4.0f, 1},    // past the table: 7 modulo 3
      {"<set entrance=\"neg\"/>", "neg", 3.0f, 4.0f, 2},    // negative: nearest its z
      {"<set entrance=\"huge\"/>", "huge", 3.0f, 4.0f, 2147483647 % 3},
      {"<set entrance=\"none\"/>", "", 99.0f, 98.0f, 0},   // missing: nothing changes
      {"<set entrance=\"\"/>", "", 99.0f, 98.0f, 0},
      {"<set entrance=\" a\"/>", "", 99.0f, 98.0f, 0},     // not trimmed
  };
  for (const auto& c : cases) {
    SetHarness h(setZone(c.statement));
    ObjectRecord* player = h.w().player;
    const float px = player->x, py = player->y;
    h.w().respawnPoint = RespawnPoint{99.0f, 98.0f, 0};
    h.run("s");
    EXPECT_EQ(h.w().entranceName, c.entranceName) << c.statement;
    EXPECT_EQ(h.w().respawnPoint.x, c.x) << c.statement;
    EXPECT_EQ(h.w().respawnPoint.y, c.y) << c.statement;
    EXPECT_EQ(h.w().respawnPoint.level, c.level) << c.statement;
    EXPECT_EQ(player->x, px) << c.statement;
    EXPECT_EQ(player->y, py) << c.statement;
  }
}

TEST(SetStatement, RestartTakesTheNearestLevelOrThePlayersOwn) {
  const struct {
    const char* statement;
    float x, y;
    int32_t level;
  } cases[] = {
      {"<set restart=\"10,20\"/>", 10.0f, 20.0f, 1},      // the player's level
      {"<set restart=\"10,20,-30\"/>", 10.0f, 20.0f, 0},
      {"<set restart=\"10,20,70\"/>", 10.0f, 20.0f, 2},
      {"<set restart=\"10, 20 ,41,9\"/>", 10.0f, 20.0f, 1},
      {"<set restart=\"10\"/>", 99.0f, 98.0f, 0},         // no comma: nothing
      {"<set restart=\"\"/>", 99.0f, 98.0f, 0},
      {"<set restart=\",\"/>", 0.0f, 0.0f, 1},
  };
  for (const auto& c : cases) {
    SetHarness h(setZone(c.statement));
    ASSERT_EQ(h.w().player->level, 1);
    h.w().respawnPoint = RespawnPoint{99.0f, 98.0f, 0};
    h.run("s");
    EXPECT_EQ(h.w().respawnPoint.x, c.x) << c.statement;
    EXPECT_EQ(h.w().respawnPoint.y, c.y) << c.statement;
    EXPECT_EQ(h.w().respawnPoint.level, c.level) << c.statement;
  }
}

TEST(SetStatement, RestartNeverStoresALevelOutsideTheTable) {
  for (int8_t level : {int8_t{-1}, int8_t{5}, int8_t{127}}) {
    SetHarness h(setZone("<set restart=\"10,20\"/>"));
    h.w().player->level = level;
    h.w().player->z = 79.0f;
    h.run("s");
    const int32_t r = h.w().respawnPoint.level;
    EXPECT_GE(r, 0) << int{level};
    EXPECT_LT(r, h.w().levelCount()) << int{level};
  }
}

TEST(SetStatement, Switches) {
  const struct {
    const char* statement;
    bool frozen, jumps, counting;
  } cases[] = {
      {"<set frozen=\"1\"/>", true, true, true},
      {"<set frozen=\"Yes\"/>", true, true, true},
      {"<set frozen=\"2\"/>", false, true, true},  // only 1, true, yes, on
      {"<set frozen=\"\"/>", false, true, true},
      {"<set nojumps=\"ON\"/>", false, false, true},
      {"<set nojumps=\"0\"/>", false, true, true},
      {"<set timer=\"false\"/>", false, true, false},
      {"<set timer=\"true\" frozen=\"on\" nojumps=\"true\"/>", true, false, true},
      {"<set frozen=\"1\"/><set frozen=\"no\"/>", false, true, true},
  };
  for (const auto& c : cases) {
    SetHarness h(setZone(c.statement));
    h.run("s");
    EXPECT_EQ(h.s().playerFrozen, c.frozen) << c.statement;
    EXPECT_EQ(h.s().jumpsAllowed, c.jumps) << c.statement;
    EXPECT_EQ(h.s().frameCounting, c.counting) << c.statement;
  }
}

TEST(SetStatement, ZoneLoadResetsTheSwitchesItOwns) {
  SetHarness h(setZone("", "<set nojumps=\"1\" timer=\"0\" zint=\"5\" quit=\"cave:x\"/>"));
  EXPECT_FALSE(h.s().jumpsAllowed);
  EXPECT_FALSE(h.s().frameCounting);
  EXPECT_EQ(h.w().zoneInt, 5);
  EXPECT_EQ(h.w().quitZone, "cave");
  // Loading again without that start script puts them back.
  xml::Node* start = h.g().data.document.findById("first")->childByPath("start");
  xml::Document::unlink(start);
  ASSERT_TRUE(loadZone(h.g(), "first", false));
  EXPECT_TRUE(h.s().jumpsAllowed);
  EXPECT_TRUE(h.s().frameCounting);
  EXPECT_EQ(h.w().zoneInt, 0);
  EXPECT_EQ(h.w().quitZone, "");
  EXPECT_EQ(h.w().quitEntrance, "");
}

TEST(SetStatement, TransparencyOfNamedObjects) {
  const struct {
    const char* statement;
    float door, gate, player;
  } cases[] = {
      {"<set oname=\"door\" trans=\"0.5\"/>", 0.5f, 0.0f, 0.0f},
      {"<set oname=\"door, gate\" trans=\"0.25\"/>", 0.25f, 0.25f, 0.0f},
      {"<set oname=\"d o\tor\" trans=\"0.5\"/>", 0.5f, 0.0f, 0.0f},  // blanks removed
      {"<set oname=\"Door\" trans=\"0.5\"/>", 0.0f, 0.0f, 0.0f},       // exact names
      {"<set oname=\"you,nothing,gate\" trans=\"1\"/>", 0.0f, 1.0f, 1.0f},
      {"<set oname=\"door\"/>", 0.0f, 0.0f, 0.0f},                     // no trans
      {"<set trans=\"0.5\"/>", 0.0f, 0.0f, 0.0f},                      // no oname
      {"<set oname=\"-\" trans=\"0.5\"/>", 0.0f, 0.0f, 0.0f},
  };
  for (const auto& c : cases) {
    SetHarness h(setZone(c.statement));
    h.run("s");
    EXPECT_EQ(h.object("door")->trans, c.door) << c.statement;
    EXPECT_EQ(h.object("gate")->trans, c.gate) << c.statement;
    EXPECT_EQ(h.w().player->trans, c.player) << c.statement;
  }
}

TEST(SetStatement, ZoneInteger) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  const struct {
    int32_t before;
    const char* value;
    int32_t after;
  } cases[] = {
      {3, "+5,6", 6},   {3, "-5,0", 0},   {3, "-2", 1},  {3, "7", 7},
      {3, "+2", 5},     {3, "+2,9", 5},   {3, "-1,1", 2}, {3, "x", 0},
      {3, " 12", 12},   {3, "-", 3},      {3, "+", 3},   {3, "+,2", 2},
      {kMax, "+1", kMin},                 // sums wrap in 32 bits
      {kMin, "-1", kMax},
      {kMax, "+1,5", kMin},               // the limit tests the wrapped value
      {kMin, "-1,0", kMax},
      {-5, "-99999999999", 2147483644},   // the amount saturates, the sum wraps
  };
  for (const auto& c : cases) {
    const std::string st = std::string("<set zint=\"") + c.value + "\"/>";
    SetHarness h(setZone(st));
    h.w().zoneInt = c.before;
    h.run("s");
    EXPECT_EQ(h.w().zoneInt, c.after) << c.before << " " << c.value;
  }
}

TEST(SetStatement, QuitPosition) {
  const struct {
    const char* value;
    const char* zone;
    const char* entrance;
  } cases[] = {
      {"Cave", "cave", "-"},
      {"Cave:Door", "cave", "door"},
      {"cave:", "cave", "-"},
      {":x", "", "x"},  // no zone: the save file records nothing different
      {"a:b:c", "a", "b"},
  };
  for (const auto& c : cases) {
    SetHarness h(setZone(std::string("<set quit=\"") + c.value + "\"/>"));
    h.run("s");
    EXPECT_EQ(h.w().quitZone, c.zone) << c.value;
    EXPECT_EQ(h.w().quitEntrance, c.entrance) << c.value;
  }
}

TEST(SetStatement, CreditsSetTheRollAndSuspendAfterTheOtherGroups) {
  const struct {
    const char* value;
    float position, limit, speed, fast;
  } cases[] = {
      {"2", 2.0f, 2.0f, 1.0f / 600.0f, 20.0f * (1.0f / 600.0f)},
      {"2,6", 2.0f, 2.0f, 6.0f / 60.0f, 20.0f * (6.0f / 60.0f)},
      {"2,6,12,1", 2.0f, 3.0f, 6.0f / 60.0f, 12.0f / 60.0f},
      {"2,,,0.5", 2.0f, 2.5f, 1.0f / 600.0f, 20.0f * (1.0f / 600.0f)},
      {"NaN,NaN,NaN,NaN", 0.0f, 0.0f, 0.0f, 0.0f},  // not-a-number reads as 0
  };
  for (const auto& c : cases) {
    SetHarness h(setZone(std::string("<sound num=\"1\"/><set frozen=\"1\" credits=\"") + c.value +
                         "\"/><sound num=\"2\"/>"));
    h.run("s");
    const ScriptState& s = h.s();
    EXPECT_EQ(s.credits.remaining, c.position) << c.value;
    EXPECT_EQ(s.credits.limit, c.limit) << c.value;
    EXPECT_EQ(s.credits.speed, c.speed) << c.value;
    EXPECT_EQ(s.credits.fastSpeed, c.fast) << c.value;
    EXPECT_TRUE(s.credits.running) << c.value;
    EXPECT_TRUE(s.playerFrozen) << c.value;  // applied before the roll starts
    EXPECT_EQ(s.runningScript, h.byId("s")) << c.value;
    EXPECT_EQ(h.trace(), std::vector<std::string>{"1"}) << c.value;
  }
}

// Runs frames of the credits roll (the frame loop's scroll, then the queue
// service) until the suspended script goes on; the number of frames it took.
int framesUntilResumed(SetHarness& h, int control, int limit) {
  for (int frame = 1; frame <= limit; ++frame) {
    if (control >= 0) h.g().controls.table[control][h.g().controls.currentColumn] = 1;
    scrollCredits(h.s(), h.g().controls, h.g().screen.info);
    h.frame();
    if (!h.s().runningScript) return frame;
  }
  return -1;
}

TEST(SetStatement, TheScriptGoesOnWhenTheRollHasRunOut) {
  {
    // Two view heights at a tenth of a view height a second: 20 seconds.
    SetHarness h(setZone("<set credits=\"2\"/><sound num=\"after\"/>"));
    h.run("s");
    const int frames = framesUntilResumed(h, -1, 2000);
    EXPECT_GE(frames, 1200);
    EXPECT_LE(frames, 1202);
    EXPECT_EQ(h.trace(), std::vector<std::string>{"after"});
    EXPECT_FALSE(h.s().credits.running);
  }
  {
    // Holding JUMP: two view heights a second.
    SetHarness h(setZone("<set credits=\"2\"/><sound num=\"after\"/>"));
    h.run("s");
    const int frames = framesUntilResumed(h, control::Jump, 2000);
    EXPECT_GE(frames, 60);
    EXPECT_LE(frames, 62);
    EXPECT_EQ(h.trace(), std::vector<std::string>{"after"});
  }
  {
    // A roll of nothing lets the script go on in the next frame.
    SetHarness h(setZone("<set credits=\"0\"/><sound num=\"after\"/>"));
    h.run("s");
    EXPECT_EQ(h.trace(), std::vector<std::string>{});
    EXPECT_EQ(framesUntilResumed(h, -1, 5), 1);
  }
}

TEST(SetStatement, EmptyAttributesAndAPlainSetChangeNothing) {
  SetHarness h(setZone(
      "<set entrance=\"\" restart=\"\" frozen=\"\" nojumps=\"\" oname=\"\" trans=\"\" zint=\"\" quit=\"\" "
      "timer=\"\" credits=\"\"/><set/><sound num=\"on\"/>"));
  h.w().zoneInt = 4;
  const RespawnPoint before = h.w().respawnPoint;
  h.run("s");
  EXPECT_EQ(h.trace(), std::vector<std::string>{"on"});
  EXPECT_EQ(h.w().zoneInt, 4);
  EXPECT_EQ(h.w().respawnPoint.x, before.x);
  EXPECT_EQ(h.w().respawnPoint.level, before.level);
  EXPECT_TRUE(h.s().jumpsAllowed);
  EXPECT_TRUE(h.s().frameCounting);
  EXPECT_FALSE(h.s().credits.running);
  EXPECT_EQ(h.s().runningScript, nullptr);
}

}  // namespace
}  // namespace zor
