#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "game/app/frame_loop.h"
#include "game/app/startup.h"
#include "game/load/game_file.h"
#include "game/persist/save_file.h"
#include "game/render/game_screen.h"
#include "tests/game/app/fake_app_platform.h"
#include "tests/game/app/temp_folder.h"
#include "tests/game/script/script_test_support.h"

namespace zor {
namespace {

using testing::ScriptHarness;

// Three levels at z 0, 40 and 80 (red, green, blue), the player entering on
// level 1; the statements under test go into the sub "s".
std::string levelZone(const std::string& sub) {
  return "<zorlan version=\"1\"><zone id=\"first\">"
         "<levels><level z=\"80\" color=\"0000FF\"/><level z=\"0\" color=\"FF0000\"/>"
         "<level z=\"40\" color=\"00FF00\"/></levels>"
         "<entrance x=\"12\" y=\"34\" level=\"1\"/>"
         "<area xlim=\"100,200\" ylim=\"50,150\"><enter><warp zone=\"cave\" smooth=\"1\"/></enter></area>"
         "<start/><sub id=\"s\">" + sub + "</sub>"
         "</zone></zorlan>";
}

struct TravelHarness : ScriptHarness {
  explicit TravelHarness(const std::string& sub) : ScriptHarness(levelZone(sub)) {}
  World& w() { return g().world; }
  std::vector<int> unlocked() const {
    std::vector<int> out;
    for (const LevelRecord& l : game->world.levels) out.push_back(static_cast<int>(l.flags & 1u));
    return out;
  }
};

TEST(LockStatements, LevelsByIndexOrDepth) {
  constexpr int kUntouched = 9;  // the leap levels were not recomputed
  const struct {
    const char* statements;
    std::vector<int> unlocked;
    int leapOut, leapIn;
  } cases[] = {
      {"<unlock levels=\"4\"/>", {0, 1, 0}, -1, -1},           // 4 modulo 3
      {"<unlock levels=\"0,2\"/>", {1, 1, 1}, 2, 0},
      {"<unlock levels=\"0, 2\"/>", {1, 1, 1}, 2, 0},
      {"<lock levels=\"1\"/>", {0, 0, 0}, -1, -1},
      {"<lock z=\"35\"/>", {0, 0, 0}, -1, -1},                 // the level nearest 35 is at 40
      {"<unlock z=\"75,-10\"/>", {1, 1, 1}, 2, 0},
      {"<unlock levels=\"2\" z=\"0\"/>", {0, 1, 1}, 2, -1},   // levels wins over z
      {"<unlock levels=\"\" z=\"\"/>", {0, 1, 0}, kUntouched, kUntouched},  // nothing at all
      {"<unlock/>", {0, 1, 0}, kUntouched, kUntouched},
      {"<unlock levels=\"x\"/>", {1, 1, 0}, -1, 0},             // unreadable reads as 0
      {"<unlock levels=\"2147483647\"/>", {0, 1, 0}, -1, -1},   // 2147483647 modulo 3 is 1
      {"<unlock levels=\"99999999999,-1,-2147483648,-3\"/>", {0, 1, 0}, -1, -1},  // negatives name no level
      {"<unlock z=\"1e30,-1e30,nan,inf\"/>", {1, 1, 0}, -1, 0},  // all as far: the lowest level
      {"<unlock z=\"nan,79\"/>", {1, 1, 1}, 2, 0},
      {"<unlock levels=\"0\"/><lock levels=\"0\"/>", {0, 1, 0}, -1, -1},
  };
  for (const auto& c : cases) {
    TravelHarness h(c.statements);
    ASSERT_EQ(h.unlocked(), (std::vector<int>{0, 1, 0}));
    ASSERT_EQ(h.w().player->level, 1);
    h.w().leapOutLevel = kUntouched;
    h.w().leapInLevel = kUntouched;
    h.w().fadeAmount = 0.5f;
    h.run("s");
    EXPECT_EQ(h.unlocked(), c.unlocked) << c.statements;
    EXPECT_EQ(h.w().leapOutLevel, c.leapOut) << c.statements;
    EXPECT_EQ(h.w().leapInLevel, c.leapIn) << c.statements;
    // Recomputing the leap levels fades toward the player's level.
    EXPECT_EQ(h.w().fadeAmount, c.leapOut == kUntouched ? 0.5f : 1.0f) << c.statements;
  }
}

TEST(SetZoneStatement, RecoloursALevelAndFadesToIt) {
  const int32_t red = 0x0000FF, green = 0x00FF00, blue = 0xFF0000;
  const int32_t yellow = 0x00FFFF;  // FFFF00 with red in the low byte
  const struct {
    const char* statement;
    std::vector<int32_t> colours;
    bool fades;
  } cases[] = {
      {"<setzone color=\"FFFF00\"/>", {red, yellow, blue}, true},  // the player's level
      {"<setzone color=\"FFFF00\" level=\"2\"/>", {red, green, yellow}, true},
      {"<setzone color=\"FFFF00\" level=\"3\"/>", {yellow, green, blue}, true},  // 3 modulo 3
      {"<setzone color=\"FFFF00\" level=\"-1\"/>", {red, green, blue}, false},   // no level
      {"<setzone level=\"2\"/>", {red, green, blue}, false},                     // no colour
      {"<setzone color=\"\" level=\"0\"/>", {red, green, blue}, false},
      {"<setzone color=\"-1\" level=\"0\"/>", {-1, green, blue}, true},
  };
  for (const auto& c : cases) {
    TravelHarness h(c.statement);
    h.w().fadeTargetColour = 0x111111;
    h.w().fadeFromColour = 0x222222;
    h.w().fadeAmount = 0.5f;
    h.run("s");
    std::vector<int32_t> colours;
    for (const LevelRecord& l : h.w().levels) colours.push_back(l.colour);
    EXPECT_EQ(colours, c.colours) << c.statement;
    if (c.fades) {
      EXPECT_EQ(h.w().fadeFromColour, 0x111111) << c.statement;
      EXPECT_NE(h.w().fadeTargetColour, 0x111111) << c.statement;
      EXPECT_EQ(h.w().fadeAmount, 1.0f) << c.statement;
    } else {
      EXPECT_EQ(h.w().fadeFromColour, 0x222222) << c.statement;
      EXPECT_EQ(h.w().fadeTargetColour, 0x111111) << c.statement;
      EXPECT_EQ(h.w().fadeAmount, 0.5f) << c.statement;
    }
  }
}

TEST(SetZoneStatement, APlayerOffTheTableStillRecoloursALevelInIt) {
  TravelHarness h("<setzone color=\"FFFF00\"/>");
  h.w().player->level = 100;
  h.run("s");
  EXPECT_EQ(h.w().levels[1].colour, 0x00FFFF);  // 100 modulo 3
}

TEST(WarpStatement, RecordsTheRequestAndTheScriptGoesOn) {
  const struct {
    const char* statements;
    const char* zone;
    const char* entrance;
    bool silent, smooth;
  } cases[] = {
      {"<warp zone=\" Cave \" entrance=\" Door \"/>", "cave", "door", false, false},
      {"<warp zone=\"cave\" smooth=\"Yes\"/>", "cave", "", false, true},
      {"<warp zone=\"cave\" smooth=\" on \"/>", "cave", "", false, true},
      {"<warp zone=\"cave\" silent=\" TRUE \" smooth=\"0\"/>", "cave", "", true, true},  // silent is smooth
      {"<warp zone=\"cave\" silent=\"2\"/>", "cave", "", false, false},
      {"<warp entrance=\"door\"/>", "", "door", false, false},  // no zone change, new entrance
      {"<warp zone=\"cave\" entrance=\"a\"/><warp zone=\"deep\"/>", "deep", "", false, false},
  };
  for (const auto& c : cases) {
    TravelHarness h(std::string(c.statements) + "<sound num=\"after\"/>");
    h.w().entranceName = "old";
    h.run("s");
    EXPECT_EQ(h.w().requests.zoneChange, c.zone) << c.statements;
    EXPECT_EQ(h.w().entranceName, c.entrance) << c.statements;
    EXPECT_EQ(h.w().silentWarp, c.silent) << c.statements;
    EXPECT_EQ(h.w().smoothWarp, c.smooth) << c.statements;
    EXPECT_EQ(h.w().warpOffsetX, 0.0f) << c.statements;
    EXPECT_EQ(h.w().warpOffsetY, 0.0f) << c.statements;
    EXPECT_EQ(h.trace(), std::vector<std::string>{"after"}) << c.statements;
    EXPECT_EQ(h.w().currentZoneId, "first") << c.statements;
  }
}

TEST(WarpStatement, InsideAnAreaKeepsThePlayersOffsetFromItsCorner) {
  TravelHarness h("<warp zone=\"cave\" smooth=\"1\"/>");
  h.w().player->x = 130.0f;
  h.w().player->y = 75.0f;
  ASSERT_EQ(h.w().areas.size(), 1u);
  const AreaRecord& area = *h.w().areas.front();
  runScript(h.g(), area.enterScript, nullptr);
  EXPECT_EQ(h.w().warpOffsetX, 30.0f);
  EXPECT_EQ(h.w().warpOffsetY, 25.0f);
  EXPECT_TRUE(h.w().smoothWarp);

  // The same warp outside any area adds nothing.
  h.run("s");
  EXPECT_EQ(h.w().warpOffsetX, 0.0f);
  EXPECT_EQ(h.w().warpOffsetY, 0.0f);
}

TEST(ReloadZoneStatement, AsksForTheRunningZone) {
  const struct {
    const char* statement;
    const char* entrance;
  } cases[] = {
      {"<reloadzone/>", "side"},                     // the entrance last used
      {"<reloadzone entrance=\"\"/>", ""},          // the default entrance
      {"<reloadzone entrance=\" Back \"/>", "back"},
      {"<warp zone=\"cave\" silent=\"1\"/><reloadzone/>", ""},  // the later request wins
  };
  for (const auto& c : cases) {
    TravelHarness h(c.statement);
    h.w().entranceName = "side";
    h.run("s");
    EXPECT_EQ(h.w().requests.zoneChange, "first") << c.statement;
    EXPECT_EQ(h.w().entranceName, c.entrance) << c.statement;
    EXPECT_FALSE(h.w().silentWarp) << c.statement;
    EXPECT_FALSE(h.w().smoothWarp) << c.statement;
  }
}

TEST(CheckpointStatement, MovesTheRespawnPoint) {
  // The player stands where the zone's respawn put it: just above its entrance at 34.
  constexpr float kPlacedY = 34.0f + 0.0005f;
  const struct {
    const char* statement;
    float x, y;
    int32_t level;
  } cases[] = {
      {"<checkpoint/>", 12.0f, kPlacedY, 1},  // the player's place and level
      {"<checkpoint x=\"10\" y=\"-20\"/>", 10.0f, -20.0f, 1},
      {"<checkpoint y=\"5\"/>", 12.0f, 5.0f, 1},
      {"<checkpoint level=\"2\"/>", 12.0f, kPlacedY, 2},
      {"<checkpoint z=\"80\"/>", 12.0f, kPlacedY, 2},
      {"<checkpoint z=\" 0 \"/>", 12.0f, kPlacedY, 0},
      {"<checkpoint z=\"10\"/>", 12.0f, kPlacedY, 1},       // no level exactly at 10
      {"<checkpoint z=\"79.99\"/>", 12.0f, kPlacedY, 1},
      {"<checkpoint level=\"0\" z=\"80\"/>", 12.0f, kPlacedY, 0},  // level wins
      {"<checkpoint level=\"7\"/>", 12.0f, kPlacedY, 1},    // past the table: 7 modulo 3
      {"<checkpoint level=\"-4\"/>", 12.0f, kPlacedY, 1},   // negative: nearest the player's depth
      {"<checkpoint level=\"99999999999\"/>", 12.0f, kPlacedY, 2147483647 % 3},
  };
  for (const auto& c : cases) {
    TravelHarness h(c.statement);
    ASSERT_EQ(h.w().player->x, 12.0f);
    ASSERT_EQ(h.w().player->level, 1);
    h.w().respawnPoint = RespawnPoint{99.0f, 98.0f, 0};
    h.run("s");
    EXPECT_EQ(h.w().respawnPoint.x, c.x) << c.statement;
    EXPECT_EQ(h.w().respawnPoint.y, c.y) << c.statement;
    EXPECT_EQ(h.w().respawnPoint.level, c.level) << c.statement;
  }
}

// The game program's frame loop over two zones, with the real interpreter and
// queue service standing in for the player-control step.
constexpr const char* kTwoZones = R"(<zorlan version="1">
  <zone id="first">
    <levels><level z="0" color="102030"/><level z="40"/></levels>
    <entrance x="0" y="0" level="0"/>
    <entrance_side x="-70" y="5" level="1"/>
    <block oname="crate" x="300" y="0" w="10" h="10" flg="dynamic"/>
    <area xlim="100,200" ylim="50,150"><enter><warp zone="cave" entrance="door" smooth="1"/></enter></area>
    <start><adddeath/></start>
  </zone>
  <zone id="cave">
    <levels><level z="0"/><level z="30" color="405060"/></levels>
    <entrance x="0" y="0" level="0"/>
    <entrance_door x="50" y="10" level="1"/>
    <start><adddeath num="10"/><setgflags gflags="7"/></start>
  </zone>
  <sub id="go"><warp zone="cave" entrance="door"/><setzflags zflags="2"/></sub>
  <sub id="twice"><warp zone="nowhere"/><warp zone="cave"/></sub>
  <sub id="quiet"><warp zone="cave" silent="1"/></sub>
  <sub id="reload"><reloadzone/></sub>
  <sub id="flags"><setgflags gflags="3"/><ifset gflag="3"><call sub="go"/></ifset></sub>
</zorlan>)";

struct TravelFrameTest : ::testing::Test {
  Game game;
  testing::FakePlatform platform;
  testing::TempFolder data;
  testing::FakeSoundOutput sound;

  void SetUp() override {
    attachPlatform(game, platform);
    game.sounds.attach(sound);
    sound.fillEffectSlots();
    ASSERT_TRUE(loadControlDefaults(game.controls));
    game.session.dataFolder = data.path();
    xml::ParseError error;
    ASSERT_TRUE(game.data.document.parse(kTwoZones, &error)) << error.message;
    readGameData(game);
    game.gameFlags.allocate(128);
    game.random.table.fill(game.random.generator);
    game.prefs.sound = 1;
    ASSERT_TRUE(loadZone(game, "first", true));
    ASSERT_EQ(openGameScreen(game, 1), 1);
    game.session.deaths = 0;
  }

  bool pass() { return runFramePass(game, platform); }
  void run(const char* id) { runScript(game, game.data.document.findById(id), nullptr); }
  ObjectRecord& player() { return *game.world.player; }
};

TEST_F(TravelFrameTest, AWarpIsAppliedAtTheEndOfTheFrame) {
  appendScript(game.script, game.data.document.findById("go"), nullptr, 0);
  // During the frame (its queue service) the request waits and the script goes on in the old zone.
  serviceScriptQueue(game);
  EXPECT_EQ(game.world.currentZoneId, "first");
  EXPECT_EQ(game.world.requests.zoneChange, "cave");
  EXPECT_EQ(game.world.zoneFlags, 4u);
  ASSERT_TRUE(pass());
  // At its end the zone changed, with the warp sound.
  EXPECT_EQ(game.world.currentZoneId, "cave");
  EXPECT_EQ(game.world.requests.zoneChange, "");
  EXPECT_EQ(game.world.entranceName, "door");
  EXPECT_EQ(player().x, 50.0f);
  EXPECT_EQ(player().y, 10.0f + 0.0005f);  // the respawn puts it just above the entrance
  EXPECT_EQ(player().level, 1);
  EXPECT_EQ(player().z, 30.0f);
  EXPECT_EQ(game.world.zoneFlags, 0u);
  EXPECT_EQ(game.session.deaths, 10);  // the cave's start script ran once
  EXPECT_EQ(sound.playedEffects(), std::vector<int>{5});
  EXPECT_FALSE(game.failed);
}

TEST_F(TravelFrameTest, OnlyTheLastRequestOfAFrameIsLoadedOnce) {
  run("twice");
  ASSERT_TRUE(pass());
  EXPECT_EQ(game.world.currentZoneId, "cave");
  EXPECT_EQ(game.session.deaths, 10);
  EXPECT_EQ(sound.playedEffects(), std::vector<int>{5});
  ASSERT_TRUE(pass());
  EXPECT_EQ(game.session.deaths, 10);
}

TEST_F(TravelFrameTest, ASilentWarpIsSmoothAndQuiet) {
  player().x = 130.0f;
  player().y = 60.0f;
  run("quiet");
  ASSERT_TRUE(pass());
  EXPECT_EQ(game.world.currentZoneId, "cave");
  EXPECT_TRUE(sound.playedEffects().empty());
  // Outside an area the smooth offset is nothing: the player stands at the entrance.
  EXPECT_EQ(player().x, 0.0f);
  EXPECT_EQ(player().y, 0.0f + 0.0005f);
}

TEST_F(TravelFrameTest, ASmoothWarpFromAnAreaKeepsTheOffsetFromItsCorner) {
  player().x = 130.0f;
  player().y = 75.0f;
  player().z = 3.0f;  // 3 in front of its level
  game.world.playerDepthEase = 0.0f;  // and it stays there through the frame's world step
  runScript(game, game.world.areas.front()->enterScript, nullptr);
  ASSERT_TRUE(pass());
  EXPECT_EQ(game.world.currentZoneId, "cave");
  EXPECT_EQ(player().x, 50.0f + 30.0f);
  EXPECT_EQ(player().y, 10.0f + 0.0005f + 25.0f);
  EXPECT_EQ(player().z, 33.0f);
}

TEST_F(TravelFrameTest, ReloadZoneStartsTheZoneOverAtTheEntranceLastUsed) {
  game.world.entranceName = "side";
  ASSERT_TRUE(loadZone(game, "first", true));
  ObjectRecord* crate = findObject(game.world, "crate");
  ASSERT_NE(crate, nullptr);
  crate->x = 999.0f;
  game.world.zoneInt = 5;
  game.session.deaths = 0;
  run("reload");
  ASSERT_TRUE(pass());
  EXPECT_EQ(game.world.currentZoneId, "first");
  EXPECT_EQ(game.world.entranceName, "side");
  EXPECT_EQ(player().x, -70.0f);
  EXPECT_EQ(player().level, 1);
  crate = findObject(game.world, "crate");
  ASSERT_NE(crate, nullptr);
  EXPECT_EQ(crate->x, 300.0f);
  EXPECT_EQ(game.world.zoneInt, 0);
  EXPECT_EQ(game.session.deaths, 1);  // the start script ran again
  EXPECT_EQ(sound.playedEffects(), std::vector<int>{5});
}

TEST_F(TravelFrameTest, TheSaveFileShowsWhereFlagsAndSubsLedThePlayer) {
  run("flags");
  for (int i = 0; i < 4 && game.world.currentZoneId != "cave"; ++i) ASSERT_TRUE(pass());
  ASSERT_EQ(game.world.currentZoneId, "cave");
  const std::string save = buildSaveText(game);
  EXPECT_NE(save.find("GFlags = 3,7,\n"), std::string::npos) << save;
  EXPECT_NE(save.find("LevelID = cave\n"), std::string::npos) << save;
  EXPECT_NE(save.find("Entrance = door\n"), std::string::npos) << save;
}

}  // namespace
}  // namespace zor
