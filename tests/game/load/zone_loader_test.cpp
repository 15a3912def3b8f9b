#include "game/load/zone_loader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "format/vocabulary.h"
#include "game/game.h"
#include "game/world/objects.h"
#include "game/render/game_screen.h"
#include "tests/game/app/fake_app_platform.h"
#include "tests/game/load/zone_test_support.h"

namespace zor {
namespace {

namespace flag = format::flag;
using testing::ZoneLog;
using testing::makeGame;
using testing::objectNames;

const char* const kOneLevel = R"(<levels><level z="0"/></levels>)";

std::string gameWith(const std::string& zones) { return "<zorlan>" + zones + "</zorlan>"; }

// One zone with one level at z 0 and the given attributes and children.
std::string zone(const std::string& id, const std::string& attrs, const std::string& body,
                 const std::string& levels = kOneLevel) {
  return "<zone id=\"" + id + "\" " + attrs + ">" + levels + body + "</zone>";
}

// Marks what applying a zone changes besides the world.
struct EntryMarks {
  int32_t menuScreen = 6;
};
EntryMarks markBeforeEntry(Game& g) {
  EntryMarks m;
  g.screen.info.width = 640;
  g.screen.info.height = 360;
  g.screen.smallTextSize = 8;
  g.screen.runClockTargetY = -12345.0f;
  g.app.framesThisSecond = 7;
  g.app.menuState = menu_state::Shown;
  g.app.menuScreen = m.menuScreen;
  g.session.attempts = 3;
  return m;
}
// The run clock's rest moved, the frame-rate window restarted at the clock,
// the player was respawned at the respawn point without counting an attempt.
void expectZoneApplied(const Game& g, uint32_t clock) {
  EXPECT_EQ(g.screen.runClockTargetY, runClockRestY(g.screen.info, g.screen.smallTextSize, 0.8f));
  EXPECT_EQ(g.app.frameTime, clock);
  EXPECT_EQ(g.app.secondStart, clock);
  EXPECT_EQ(g.app.framesThisSecond, 0);
  EXPECT_EQ(g.session.attempts, 3);
  ASSERT_NE(g.world.player, nullptr);
  EXPECT_EQ(g.world.player->y, g.world.respawnPoint.y + 0.0005f);
  EXPECT_EQ(g.world.leapLatch, 3);
}

ObjectRecord* named(Game& g, const std::string& name) {
  for (ObjectRecord& o : g.world.objects) {
    if (o.name == name) return &o;
  }
  return nullptr;
}

std::vector<float> levelZs(const Game& g) {
  std::vector<float> out;
  for (const LevelRecord& l : g.world.levels) out.push_back(l.z);
  return out;
}

TEST(LoadZone, IdIsTrimmedAndLowerCased) {
  ZoneLog log;
  auto g = makeGame(gameWith(zone("Alpha", "", "") + zone("first", "", "")), log);
  ASSERT_TRUE(loadZone(*g, "  ALPHA ", true));
  EXPECT_EQ(g->world.currentZoneId, "alpha");
  EXPECT_EQ(g->world.currentZoneNode, g->data.document.findById("alpha"));
  EXPECT_FALSE(g->failed);
}

TEST(LoadZone, MissingZoneFallsBackOrFails) {
  struct Case {
    const char* name;
    bool gameFile;
    bool hasFirst;
    bool entering;
    const char* id;
    const char* loaded;  // the zone id afterwards, or null for a fatal error
    const char* message;
  };
  const Case cases[] = {
      {"game file falls back", true, true, false, "Nowhere", "first", ""},
      {"empty id falls back", true, true, false, "", "first", ""},
      {"built-in game fails", false, true, false, " Nowhere ", nullptr,
       "Game zone could not be found: nowhere"},
      {"built-in game entering falls back", false, true, true, "nowhere", "first", ""},
      {"no first zone", true, false, false, "nowhere", nullptr,
       "Game zone could not be found: first"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ZoneLog log;
    std::string zones = zone("start", "", "");
    if (c.hasFirst) zones += zone("first", "", "<entrance x=\"1\"/><entrance_e2 x=\"2\"/>");
    auto g = makeGame(gameWith(zones), log, c.gameFile);
    ASSERT_TRUE(loadZone(*g, "start", true));
    g->world.entranceName = "e2";
    g->world.enteringZone = c.entering;
    bool ok = loadZone(*g, c.id, true);
    if (c.loaded) {
      EXPECT_TRUE(ok);
      EXPECT_FALSE(g->failed);
      EXPECT_EQ(g->world.currentZoneId, c.loaded);
      EXPECT_EQ(g->world.entranceName, "");  // the fallback takes the default entrance
      EXPECT_EQ(g->world.respawnPoint.x, 1.0f);
    } else {
      EXPECT_FALSE(ok);
      EXPECT_EQ(testing::fatals(*g), std::vector<std::string>{c.message});
      EXPECT_EQ(g->world.currentZoneId, "start");
    }
  }
}

TEST(LoadZone, ZoneWithoutLevelsFailsAndKeepsTheRunningZone) {
  const char* const bodies[] = {"", "<levels/>", "<levels><lvl z=\"1\"/></levels>",
                                "<levelz><level/></levelz>"};
  for (const char* levels : bodies) {
    SCOPED_TRACE(levels);
    ZoneLog log;
    auto g = makeGame(gameWith(zone("alpha", "", R"(<block oname="crate"/><area xlim="0,5"/>)") +
                               zone("Empty", "", R"(<block oname="other"/>)", levels)),
                      log);
    ASSERT_TRUE(loadZone(*g, "alpha", true));
    ObjectRecord* player = g->world.player;
    ObjectRecord* crate = named(*g, "crate");
    const xml::Node* node = g->world.currentZoneNode;
    g->app.menuState = menu_state::Shown;

    EXPECT_FALSE(loadZone(*g, "EMPTY", true));
    EXPECT_EQ(testing::fatals(*g), std::vector<std::string>{"Zone 'empty' contains no levels!"});
    EXPECT_EQ(g->world.currentZoneId, "alpha");
    EXPECT_EQ(g->world.currentZoneNode, node);
    EXPECT_EQ(g->world.player, player);
    EXPECT_EQ(named(*g, "crate"), crate);
    EXPECT_EQ(named(*g, "other"), nullptr);
    EXPECT_EQ(g->world.areas.size(), 1u);
    EXPECT_EQ(g->world.levelCount(), 1);
    EXPECT_EQ(g->app.menuState, menu_state::Shown);  // nothing of entering the zone happened
    EXPECT_TRUE(log.traced.empty());

    // Entering such a zone stops right there too.
    g->failed = false;
    enterZone(*g, "empty", "");
    EXPECT_TRUE(g->failed);
    EXPECT_EQ(g->app.menuState, menu_state::Shown);
    EXPECT_EQ(g->world.player, player);
    EXPECT_EQ(g->world.objects.front(), player);
    EXPECT_FALSE(g->world.enteringZone);
  }
}

TEST(LoadZone, ZoneAttributes) {
  struct Case {
    const char* attrs;
    std::function<void(const Game&)> check;
  };
  const Case cases[] = {
      {"", [](const Game& g) {
         EXPECT_EQ(g.world.zoneGravity, 0.7f);
         EXPECT_EQ(g.world.zoneZoom, 100.0f);
         EXPECT_EQ(g.world.zoneXlim1, -1100.0f);
         EXPECT_EQ(g.world.zoneXlim2, 1100.0f);
         EXPECT_EQ(g.world.zoneYlim1, -100.0f);
         EXPECT_EQ(g.world.zoneYlim2, 1100.0f);
         EXPECT_EQ(g.world.playerDepthEase, 0.2f * std::fabs(0.7f + 0.0005f));
       }},
      {R"(gravity="2")", [](const Game& g) {
         EXPECT_EQ(g.world.zoneGravity, 2.0f * 0.7f);
         EXPECT_EQ(g.world.player->gravity, 2.0f * 0.7f);
       }},
      {R"(gravity="-1")", [](const Game& g) { EXPECT_EQ(g.world.player->gravity, -0.7f); }},
      {R"(gravity="")", [](const Game& g) {
         EXPECT_EQ(g.world.zoneGravity, 0.0f);
         EXPECT_EQ(g.world.player->gravity, 0.0f);
         EXPECT_EQ(g.world.playerDepthEase, 0.2f * 0.0005f);
       }},
      {R"(zoom="-50")", [](const Game& g) { EXPECT_EQ(g.world.zoneZoom, 50.0f); }},
      {R"(xlim="500" ylim="300,-20")", [](const Game& g) {
         EXPECT_EQ(g.world.zoneXlim1, 0.0f);
         EXPECT_EQ(g.world.zoneXlim2, 500.0f);
         EXPECT_EQ(g.world.zoneYlim1, -20.0f);
         EXPECT_EQ(g.world.zoneYlim2, 300.0f);
       }},
      {R"(XLIM="-5,5")", [](const Game& g) { EXPECT_EQ(g.world.zoneXlim1, -5.0f); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attrs);
    ZoneLog log;
    auto g = makeGame(gameWith(zone("z", c.attrs, "")), log);
    ASSERT_TRUE(loadZone(*g, "z", true));
    c.check(*g);
  }
}

TEST(LoadZone, MusicOnlyWithATrack) {
  // The track is loaded beside the game file and starts silent, to fade in to the volume.
  struct Case {
    const char* attrs;
    std::vector<std::string> loaded;
    int volume;
  };
  const Case cases[] = {
      {R"(track="song.ogg" volume="40")", {"./song.ogg"}, 40},
      {R"(volume="0" track="song.ogg")", {"./song.ogg"}, 100},
      {R"(track="-")", {}, 100},
      {R"(track="")", {}, 100},
      {R"(volume="30")", {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attrs);
    ZoneLog log;
    log.sound.loadable = {"./song.ogg"};
    auto g = makeGame(gameWith(zone("z", c.attrs, "")), log);
    ASSERT_TRUE(loadZone(*g, "z", true));
    EXPECT_EQ(log.sound.loadsTried, c.loaded);
    EXPECT_EQ(g->sounds.musicVolume, c.volume);
    EXPECT_EQ(g->sounds.current().name, c.loaded.empty() ? "" : "song.ogg");
    EXPECT_EQ(g->sounds.current().volume, 0);
  }
}

TEST(LoadZone, LevelsAscendByDepth) {
  ZoneLog log;
  auto g = makeGame(
      gameWith(zone("z", "",
                    R"(<entrance level="2"/><block oname="b" level="1"/>)",
                    R"(<levels><level z="100" color="0000FF" unlocked="Yes"/>)"
                    R"(<Level z="0" color="FF0000"/><level z="50"/><other z="7"/></levels>)")),
      log);
  ASSERT_TRUE(loadZone(*g, "z", true));
  EXPECT_EQ(levelZs(*g), (std::vector<float>{0.0f, 50.0f, 100.0f}));
  EXPECT_EQ(g->world.levels[0].colour, 0x0000FF);
  EXPECT_EQ(g->world.levels[2].colour, 0xFF0000);
  EXPECT_EQ(g->world.levels[1].colour, 0xFFFFFF);
  EXPECT_EQ(g->world.levels[2].loadedFlags, 1u);  // unlocked
  EXPECT_EQ(g->world.levels[2].flags, 1u);        // copied at the end of the load
  EXPECT_EQ(g->world.levels[0].flags, 0u);
  EXPECT_EQ(g->world.levels[1].flags, 0u);
  EXPECT_EQ(named(*g, "b")->z, 50.0f);
  EXPECT_EQ(g->world.player->level, 2);
  EXPECT_EQ(g->world.player->z, 100.0f);
}

TEST(LoadZone, EntranceLevelSetsItsUnlockBit) {
  ZoneLog log;
  auto g = makeGame(gameWith(zone("z", "", R"(<entrance level="1"/>)",
                                  R"(<levels><level z="0"/><level z="9"/></levels>)")),
                    log);
  ASSERT_TRUE(loadZone(*g, "z", true));
  EXPECT_EQ(g->world.levels[1].loadedFlags, 1u);
  EXPECT_EQ(g->world.levels[1].flags, 1u);
  EXPECT_EQ(g->world.levels[0].flags, 0u);
}

TEST(LoadZone, NanLevelDepthsStillSort) {
  ZoneLog log;
  auto g = makeGame(gameWith(zone("z", "", "",
                                  R"(<levels><level z="30"/><level z="nan"/><level z="-Infinity"/>)"
                                  R"(<level z="-5"/></levels>)")),
                    log);
  ASSERT_TRUE(loadZone(*g, "z", true));
  EXPECT_EQ(levelZs(*g), (std::vector<float>{-std::numeric_limits<float>::infinity(), -5.0f,
                                             0.0f, 30.0f}));
}

TEST(LoadZone, MoreLevelsThanAByteHoldsAreCut) {
  std::string levels = "<levels>";
  for (int i = 0; i < 200; ++i) levels += "<level z=\"" + std::to_string(i * 10) + "\"/>";
  levels += "</levels>";
  ZoneLog log;
  auto g = makeGame(gameWith(zone("z", "",
                                  R"(<entrance level="200"/><block oname="far" z="1990"/>)"
                                  R"(<block oname="high" level="150"/><area level="300"/>)",
                                  levels)),
                    log);
  ASSERT_TRUE(loadZone(*g, "z", true));
  ASSERT_EQ(g->world.levelCount(), kMaxLevels);
  EXPECT_EQ(g->world.levels.back().z, 1260.0f);
  EXPECT_EQ(g->world.respawnPoint.level, 200 % kMaxLevels);
  EXPECT_EQ(g->world.player->level, 200 % kMaxLevels);
  const ObjectRecord* far = named(*g, "far");
  EXPECT_EQ(far->level, 126);
  EXPECT_EQ(far->z, 1260.0f);
  const ObjectRecord* high = named(*g, "high");  // 150 reads as -106 in a byte: the nearest level
  EXPECT_EQ(high->level, 0);
  EXPECT_EQ(g->world.areas.front()->level, 300 % kMaxLevels);
}

TEST(LoadZone, Entrances) {
  struct Case {
    const char* request;
    const char* body;
    float x;
    int32_t level;
    const char* nameAfter;
  };
  const char* const all =
      R"(<entrance x="1" y="2" level="1"/><entrance_exit2 x="3" y="4" z="290"/>)"
      R"(<entrance_both x="5" level="2" z="0"/><entrance_wrap level="7"/>)"
      R"(<entrance_neg level="-4" z="100"/><Entrance_caps x="9"/>)";
  const Case cases[] = {
      {"", all, 1.0f, 1, ""},
      {"exit2", all, 3.0f, 2, "exit2"},
      {"missing", all, 1.0f, 1, ""},
      {"-", all, 1.0f, 1, ""},
      {"both", all, 5.0f, 2, "both"},
      {"wrap", all, 0.0f, 1, "wrap"},  // 7 modulo 3 levels
      {"neg", all, 0.0f, 1, "neg"},    // the level nearest to z 100
      {"caps", all, 1.0f, 1, ""},      // element names are matched exactly
      {"", "<entrance_x x=\"7\"/>", 0.0f, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.request);
    ZoneLog log;
    auto g = makeGame(gameWith(zone("z", "", c.body,
                                    R"(<levels><level z="0"/><level z="100"/><level z="300"/></levels>)")),
                      log);
    g->world.entranceName = c.request;
    ASSERT_TRUE(loadZone(*g, "z", true));
    EXPECT_EQ(g->world.respawnPoint.x, c.x);
    EXPECT_EQ(g->world.respawnPoint.level, c.level);
    EXPECT_EQ(g->world.entranceName, c.nameAfter);
    EXPECT_EQ(g->world.player->level, c.level);
    EXPECT_EQ(g->world.player->z, g->world.levels[static_cast<std::size_t>(c.level)].z);
    EXPECT_EQ(g->world.player->x, c.x);  // placed by the respawn
  }
}

TEST(LoadZone, DeathScripts) {
  struct Case {
    const char* body;
    const char* deathId;  // id of the expected death script ("self": the death element)
    const char* afterId;
  };
  const Case cases[] = {
      {R"(<death sub="missing"/>)", nullptr, nullptr},
      {R"(<death sub="missing"><die/></death>)", "self", nullptr},
      {R"(<death sub="HANDLER"><die/></death>)", "handler", nullptr},
      {R"(<death><die/></death>)", "self", nullptr},
      {R"(<death/>)", nullptr, nullptr},
      {R"(<death after="Later"/>)", nullptr, "later"},
      {R"(<death after="gone"><die/></death>)", "self", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    ZoneLog log;
    auto g = makeGame(gameWith(zone("z", "", std::string(c.body) +
                                                 R"(<start><sub id="handler"/><sub id="later"/></start>)")),
                      log);
    ASSERT_TRUE(loadZone(*g, "z", true));
    const xml::Node* death = g->world.currentZoneNode->firstElement()->nextElement();
    const xml::Node* expectDeath = !c.deathId ? nullptr
                                   : std::string(c.deathId) == "self"
                                       ? death
                                       : g->data.document.findById(c.deathId);
    EXPECT_EQ(g->world.zoneDeathScript, expectDeath);
    EXPECT_EQ(g->world.afterDeathScript, c.afterId ? g->data.document.findById(c.afterId) : nullptr);
  }
}

TEST(LoadZone, BlockNames) {
  ZoneLog log;
  auto g = makeGame(gameWith(zone("z", "",
                                  R"(<block oname=" Twin " x="1"/><block oname="twin" x="2"/>)"
                                  R"(<block oname="you" x="3"/><block oname="-"/><block oname="-"/>)"
                                  R"(<block/><block oname=""/>)")),
                    log);
  ASSERT_TRUE(loadZone(*g, "z", true));
  EXPECT_EQ(named(*g, "twin")->x, 1.0f);
  EXPECT_EQ(g->world.objectCount, 5);  // twin, "-" twice (never found) and two anonymous
  int dashes = 0, anonymous = 0;
  for (const ObjectRecord& o : g->world.objects) {
    dashes += o.name == "-";
    anonymous += o.name.empty();
  }
  EXPECT_EQ(dashes, 2);
  EXPECT_EQ(anonymous, 2);
  EXPECT_EQ(g->world.player->x, 0.0f);  // the "you" block is never read
  EXPECT_EQ(g->world.objects.front(), g->world.player);
}

TEST(LoadZone, Areas) {
  struct Case {
    const char* area;
    std::function<void(const AreaRecord&, const Game&)> check;
  };
  const Case cases[] = {
      {R"(<area/>)", [](const AreaRecord& a, const Game&) {
         EXPECT_EQ(a.x1, -200.0f);
         EXPECT_EQ(a.x2, 200.0f);
         EXPECT_EQ(a.y1, -100.0f);
         EXPECT_EQ(a.y2, 1100.0f);
         EXPECT_EQ(a.level, -1);
         EXPECT_EQ(a.colour, -1);
         EXPECT_EQ(a.enterTimes, -1);
         EXPECT_EQ(a.zoomCount, 0);
       }},
      {R"(<area level="5"/>)", [](const AreaRecord& a, const Game&) { EXPECT_EQ(a.level, 2); }},
      {R"(<area level="-7"/>)", [](const AreaRecord& a, const Game&) { EXPECT_EQ(a.level, -1); }},
      {R"(<area level="0" z="95"/>)", [](const AreaRecord& a, const Game&) { EXPECT_EQ(a.level, 1); }},
      {R"(<area z="95" level=""/>)", [](const AreaRecord& a, const Game&) { EXPECT_EQ(a.level, 1); }},
      {R"(<area zoom="10,-20,30,40"/>)", [](const AreaRecord& a, const Game&) {
         EXPECT_EQ(a.zoomCount, 3);
         EXPECT_EQ(a.zoom1, 10.0f);
         EXPECT_EQ(a.zoom2, 20.0f);
         EXPECT_EQ(a.zoom3, 30.0f);
       }},
      {R"(<area zoom="-15"/>)", [](const AreaRecord& a, const Game&) {
         EXPECT_EQ(a.zoomCount, 1);
         EXPECT_EQ(a.zoom1, 15.0f);
         EXPECT_EQ(a.zoom2, 0.0f);
       }},
      {R"(<area xlim="50,-50" ylim="7" flg="solid, DEADLY" color="00FF00"/>)",
       [](const AreaRecord& a, const Game&) {
         EXPECT_EQ(a.x1, -50.0f);
         EXPECT_EQ(a.x2, 50.0f);
         EXPECT_EQ(a.y1, 0.0f);
         EXPECT_EQ(a.y2, 7.0f);
         EXPECT_EQ(a.flags, 0x1000u);
         EXPECT_EQ(a.colour, 0x00FF00);
       }},
      {R"(<area oname="Crate"/>)", [](const AreaRecord& a, const Game&) {
         EXPECT_EQ(a.oname, "");  // capitals never match
         EXPECT_EQ(a.x1, -200.0f);
       }},
      {R"(<area oname="crate" xlim="0,1"/>)", [](const AreaRecord& a, const Game&) {
         EXPECT_EQ(a.oname, "crate");
         EXPECT_EQ(a.x1, 40.0f);
         EXPECT_EQ(a.x2, 70.0f);
         EXPECT_EQ(a.y1, 5.0f);
         EXPECT_EQ(a.y2, 15.0f);
       }},
      {R"(<area oname="you"/>)", [](const AreaRecord& a, const Game&) {
         EXPECT_EQ(a.x1, 0.0f);  // the player is placed later
         EXPECT_EQ(a.y1, 0.0f);
         EXPECT_EQ(a.x2, 20.0f);
         EXPECT_EQ(a.y2, 20.0f);
       }},
      {R"(<area oname=" crate"/>)", [](const AreaRecord& a, const Game&) { EXPECT_EQ(a.oname, ""); }},
      {R"(<area><enter times="2"><drop/></enter><EXIT sub="Shared" times="-"/>)"
       R"(<action sub="missing" times=""/></area>)",
       [](const AreaRecord& a, const Game& g) {
         EXPECT_EQ(a.enterScript, a.node->firstElement());
         EXPECT_EQ(a.enterTimes, 2);
         EXPECT_EQ(a.exitScript, g.data.document.findById("shared"));
         EXPECT_EQ(a.exitTimes, -1);
         EXPECT_EQ(a.actionScript, a.node->firstElement()->nextElement()->nextElement());
         EXPECT_EQ(a.actionTimes, -1);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.area);
    ZoneLog log;
    auto g = makeGame(gameWith(zone("z", R"(xlim="200,-200")",
                                    R"(<block oname="crate" x="40" y="5" w="30" h="10"/>)" +
                                        std::string(c.area) + R"(<start><sub id="shared"/></start>)",
                                    R"(<levels><level z="0"/><level z="100"/><level z="200"/></levels>)")),
                      log);
    ASSERT_TRUE(loadZone(*g, "z", true));
    ASSERT_EQ(g->world.areas.size(), 1u);
    c.check(*g->world.areas.front(), *g);
  }
}

TEST(LoadZone, ObjectOrder) {
  // Before sorting each created block stands after the list's current object:
  // after a failed name lookup the last object, after a found name that object,
  // else the block created just before.
  ZoneLog log;
  auto g = makeGame(gameWith(zone("z", "",
                                  R"(<block oname="a"/><block oname="b"/><block x="1"/>)"
                                  R"(<block oname="a"/><block x="2"/><block oname="c" y="5"/>)"
                                  R"(<block oname="low" y="-5"/><block oname="pri" priority="1" y="-9"/>)"
                                  R"(<block oname="near" level="0"/><block oname="far" level="1"/>)",
                                  R"(<levels><level z="0"/><level z="10"/></levels>)")),
                    log);
  ASSERT_TRUE(loadZone(*g, "z", true));
  std::vector<std::string> names = objectNames(*g);
  // Default y is -40 + 0 (respawn at 0,0): "c" (5) and "low" (-5) are above the others.
  EXPECT_EQ(names, (std::vector<std::string>{"you", "far", "pri", "c", "low", "a", "", "b", "",
                                             "near"}));
  EXPECT_EQ(g->world.objectCount, 9);
  // The second anonymous block stood after the "a" that its lookup found, the
  // first one after "b", the block created just before it.
  auto it = g->world.objects.begin();
  std::advance(it, 6);
  EXPECT_EQ(it->x, 2.0f);
  std::advance(it, 2);
  EXPECT_EQ(it->x, 1.0f);
}

TEST(LoadZone, NameLookupsLeaveTheCursorAsAWalkWould) {
  // Later insertions (explode) go after the list's current object, so the
  // cursor that the load's last lookup leaves matters.
  struct Case {
    const char* areas;
    const char* current;  // name of the current object after the load
  };
  const Case cases[] = {
      {"", "last"},                                    // the last block created
      {R"(<area oname="first"/>)", "first"},           // found
      {R"(<area oname="first"/><area oname="nobody"/>)", "last"},  // a failed walk ends on the last
      {R"(<area oname="first"/><area oname="you"/>)", "first"},    // "you" does not walk
      {R"(<area oname="first"/><area oname="-"/>)", "first"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.areas);
    ZoneLog log;
    auto g = makeGame(gameWith(zone("z", "",
                                    R"(<block oname="first" y="9"/><block oname="mid"/>)"
                                    R"(<block oname="last" y="99"/>)" +
                                        std::string(c.areas))),
                      log);
    ASSERT_TRUE(loadZone(*g, "z", true));
    ASSERT_NE(g->world.objects.current(), nullptr);
    EXPECT_EQ(g->world.objects.current()->name, c.current);
  }
}

TEST(LoadZone, EqualBlocksKeepDocumentOrder) {
  ZoneLog log;
  std::string body;
  for (int i = 0; i < 6; ++i) body += "<block oname=\"b" + std::to_string(i) + "\" x=\"" + std::to_string(i) + "\"/>";
  auto g = makeGame(gameWith(zone("z", "", body)), log);
  ASSERT_TRUE(loadZone(*g, "z", true));
  EXPECT_EQ(objectNames(*g), (std::vector<std::string>{"you", "b0", "b1", "b2", "b3", "b4", "b5"}));
}

TEST(LoadZone, SeedsTheGeneratorFromTheClockOrTheRunFile) {
  for (bool replaying : {false, true}) {
    SCOPED_TRACE(replaying);
    ZoneLog log;
    testing::FakePlatform platform;
    platform.clock = 777;
    auto g = makeGame(gameWith(zone("z", "", "")), log);
    g->platform = &platform;
    g->random.replaying = replaying;
    g->random.runFileSeed = 31337;
    g->random.table.index = 5;
    ASSERT_TRUE(loadZone(*g, "z", true));
    const int32_t seed = replaying ? 31337 : 777;
    EXPECT_EQ(g->random.speedrunSeed, seed);
    RandomGenerator expected;
    expected.seed(static_cast<uint32_t>(seed));
    EXPECT_EQ(g->random.generator.draw(0xFFFFFFFFu), expected.draw(0xFFFFFFFFu));
    EXPECT_EQ(g->random.table.index, 1023);
  }
}

TEST(LoadZone, ResetsThePerZoneState) {
  ZoneLog log;
  auto g = makeGame(gameWith(zone("a", "", R"(<block oname="q"/>)") + zone("b", "", "")), log);
  ASSERT_TRUE(loadZone(*g, "a", true));
  Game& G = *g;
  ScriptState& s = G.script;
  World& w = G.world;
  ObjectRecord* q = named(G, "q");
  s.queue.addLast(ScriptQueueEntry{nullptr, q, 1});
  s.beats.addLast(BeatTimer{});
  s.titles.addLast(TitleRecord{});
  s.wordBoxes.addLast(WordBox{});
  s.camera.lookAt = q;
  s.camera.scriptDistance = 5.0f;
  s.camera.slowDivisor = 2.0f;
  s.camera.locked = true;
  s.camera.snap = true;
  s.credits.remaining = 0.5f;
  s.credits.running = true;
  s.screenEffects.homActive = 1;
  s.screenEffects.haltActive = true;
  s.screenEffects.shakeAmount = 0.3f;
  s.screenEffects.swishTarget = 4.0f;
  s.scriptFreeze = true;
  s.frameCounting = false;
  s.runClockPosition = 0.1f;
  s.runningScript = G.world.currentZoneNode;
  s.resumeStatement = G.world.currentZoneNode;
  s.scriptResumeObject = q;
  s.killQueueRequested = true;
  s.zoneEntryQuiet = false;
  s.jumpsAllowed = false;
  w.zoneFlags = 0xFF;
  w.zoneInt = 9;
  w.pauseColour = 1;
  w.requests.zoneChange = "b";
  w.quitZone = "x";
  w.quitEntrance = "y";
  w.currentCheckpoint = q;
  w.enteringZone = true;
  testing::FakePlatform platform;
  platform.clock = 5000;
  G.platform = &platform;
  const EntryMarks marks = markBeforeEntry(G);

  ASSERT_TRUE(loadZone(G, w.requests.zoneChange, true));
  EXPECT_TRUE(s.queue.empty());
  EXPECT_TRUE(s.beats.empty());
  EXPECT_TRUE(s.titles.empty());
  EXPECT_TRUE(s.wordBoxes.empty());
  EXPECT_EQ(s.camera.lookAt, nullptr);
  EXPECT_EQ(s.camera.scriptDistance, 0.0f);
  EXPECT_EQ(s.camera.slowDivisor, 0.0f);
  EXPECT_FALSE(s.camera.locked);
  EXPECT_TRUE(s.camera.snap);  // not the zone's to clear
  EXPECT_EQ(s.credits.remaining, 0.0f);
  EXPECT_FALSE(s.credits.running);
  EXPECT_EQ(s.screenEffects.homActive, 0);
  EXPECT_FALSE(s.screenEffects.haltActive);
  EXPECT_EQ(s.screenEffects.shakeAmount, 0.0f);
  EXPECT_EQ(s.screenEffects.swishTarget, 0.0f);
  EXPECT_FALSE(s.scriptFreeze);
  EXPECT_TRUE(s.frameCounting);
  EXPECT_EQ(s.runClockPosition, 0.8f);
  EXPECT_EQ(s.runningScript, nullptr);
  EXPECT_EQ(s.resumeStatement, nullptr);
  EXPECT_EQ(s.scriptResumeObject, nullptr);
  EXPECT_FALSE(s.killQueueRequested);
  EXPECT_TRUE(s.zoneEntryQuiet);
  EXPECT_TRUE(s.jumpsAllowed);
  EXPECT_EQ(w.zoneFlags, 0u);
  EXPECT_EQ(w.zoneInt, 0);
  EXPECT_EQ(w.pauseColour, 0xFFFFFF);
  EXPECT_EQ(w.requests.zoneChange, "");
  EXPECT_EQ(w.quitZone, "");
  EXPECT_EQ(w.quitEntrance, "");
  EXPECT_EQ(w.currentCheckpoint, nullptr);
  EXPECT_FALSE(w.enteringZone);
  EXPECT_EQ(w.currentZoneId, "b");
  EXPECT_EQ(named(G, "q"), nullptr);
  EXPECT_EQ(w.objectCount, 0);
  expectZoneApplied(G, 5000);
  EXPECT_EQ(G.app.menuState, menu_state::Playing);
  EXPECT_EQ(G.app.menuScreen, marks.menuScreen);  // the menu screen is left as it was
}

TEST(LoadZone, StartScriptRunsLastAndCloseMenuIsOptional) {
  ZoneLog log;
  auto g = makeGame(
      gameWith(zone("z", "", R"(<start id="s1"><sound num="s1"/></start><start id="s2"><sound num="s2"/></start>)")),
      log);
  testing::FakePlatform platform;
  g->platform = &platform;
  g->script.runningScript = g->data.document.root();
  markBeforeEntry(*g);
  ASSERT_TRUE(loadZone(*g, "z", false));
  // The last start script ran at once (it was not queued behind a running one).
  EXPECT_EQ(log.traced, std::vector<std::string>{"s2"});
  EXPECT_TRUE(g->script.queue.empty());
  expectZoneApplied(*g, platform.clock);
  EXPECT_EQ(g->app.menuState, menu_state::Shown);  // the menu stays
}

TEST(LoadZone, FreshStartPlacesTheCameraInFrontOfTheLevel) {
  ZoneLog log;
  auto g = makeGame(gameWith(zone("z", R"(zoom="-80")", R"(<entrance x="10" y="30" level="1"/>)",
                                  R"(<levels><level z="0" color="0000FF"/><level z="50" color="00FF00"/></levels>)")),
                    log);
  g->world.fadeTargetColour = 0x123456;
  ASSERT_TRUE(loadZone(*g, "z", true));
  const World& w = g->world;
  EXPECT_EQ(w.fadeFromColour, 0x00FF00);
  EXPECT_EQ(w.fadeTargetColour, 0x00FF00);
  EXPECT_EQ(w.backgroundColour, 0x00FF00);
  EXPECT_EQ(w.fadeAmount, 1.0f);
  EXPECT_EQ(w.cameraPosition.x, 20.0f);
  EXPECT_EQ(w.cameraPosition.y, 40.0f);
  EXPECT_EQ(w.cameraPosition.z, -30.0f);
  const ObjectRecord& p = *w.player;
  EXPECT_EQ(p.name, "you");
  EXPECT_EQ(p.flags, 0x55u);
  EXPECT_EQ(p.colour1, 0x000060FF);
  EXPECT_EQ(p.z, 50.0f);
  EXPECT_EQ(p.facedObject, nullptr);
  EXPECT_EQ(p.objectClass, nullptr);
}

// Two zones of one persist group: the group's blocks survive a warp unchanged,
// blocks of the new zone with their names are not created, everything else goes.
// zones/persist.xml: zones "one" and "two" share the persist group "gang";
// zone "three" has none.
std::string persistGame() {
  std::ifstream in(std::string(ZOR_FIXTURES) + "/zones/persist.xml", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_FALSE(text.str().empty());
  return text.str();
}

TEST(LoadZone, PersistGroupSurvivesAWarp) {
  ZoneLog log;
  auto g = makeGame(persistGame(), log);
  ASSERT_TRUE(loadZone(*g, "one", true));
  ObjectRecord* buddy = named(*g, "buddy");
  ObjectRecord* rock = named(*g, "rock");
  ObjectRecord* oldPlayer = g->world.player;
  ASSERT_NE(buddy, nullptr);
  buddy->x = 123.0f;
  buddy->vx = 4.0f;
  buddy->flags |= flag::Deadly;
  buddy->support = rock;  // a dropped object
  rock->facedObject = buddy;
  g->script.camera.lookAt = rock;
  g->world.currentCheckpoint = rock;
  ASSERT_EQ(buddy->facedObject, oldPlayer);

  ASSERT_TRUE(loadZone(*g, "two", true));
  EXPECT_EQ(named(*g, "buddy"), buddy);  // the same record
  EXPECT_EQ(buddy->x, 123.0f);
  EXPECT_EQ(buddy->flags & (flag::Deadly | flag::Solid), flag::Deadly | flag::Solid);
  EXPECT_EQ(buddy->support, nullptr);  // no reference to a dropped object
  EXPECT_NE(g->world.player, nullptr);
  EXPECT_EQ(buddy->facedObject, g->world.player);  // turns toward the new player
  EXPECT_EQ(g->script.camera.lookAt, nullptr);
  EXPECT_EQ(named(*g, "rock"), nullptr);
  EXPECT_EQ(named(*g, "loner"), nullptr);
  ASSERT_NE(named(*g, "fresh"), nullptr);
  EXPECT_EQ(g->world.objectCount, 2);
  EXPECT_EQ(g->world.objects.front(), g->world.player);
  int buddies = 0;
  for (const ObjectRecord& o : g->world.objects) buddies += o.name == "buddy";
  EXPECT_EQ(buddies, 1);

  // A zone without a persist group drops everything.
  ASSERT_TRUE(loadZone(*g, "three", true));
  EXPECT_EQ(objectNames(*g), (std::vector<std::string>{"you", "buddy"}));
  EXPECT_EQ(named(*g, "buddy")->x, 1.0f);
}

TEST(LoadZone, AZoneChangeCarriesMotionCameraAndFade) {
  for (bool smooth : {false, true}) {
    SCOPED_TRACE(smooth);
    ZoneLog log;
    auto g = makeGame(persistGame(), log);
    ASSERT_TRUE(loadZone(*g, "one", true));
    World& w = g->world;
    ObjectRecord* p = w.player;
    ObjectRecord* buddy = named(*g, "buddy");
    p->x = 110.0f;
    p->y = 5.0f;
    p->z = 45.0f;  // 5 behind its level at 40
    p->vx = 1.5f;
    p->vy = 0.0f;
    p->facing = -1;
    p->support = buddy;
    buddy->vy = -2.0f;
    w.cameraPosition = {120.0f, 30.0f, -55.0f};
    w.fadeTargetColour = 0x00FF00;
    w.smoothWarp = smooth;
    w.warpOffsetX = 10.0f;
    w.warpOffsetY = 5.0f;

    ASSERT_TRUE(loadZone(*g, "two", true));
    p = w.player;
    EXPECT_EQ(p->vx, 1.5f);
    EXPECT_EQ(p->vy, -2.0f);  // from what it stood on
    EXPECT_EQ(p->facing, -1);
    EXPECT_EQ(p->level, 1);
    // The respawn puts the player just above the entrance at 20.
    if (smooth) {
      EXPECT_EQ(p->x, -40.0f);
      EXPECT_EQ(p->y, 20.0f + 0.0005f + 5.0f);
      EXPECT_EQ(p->z, 305.0f);
    } else {
      EXPECT_EQ(p->x, -50.0f);
      EXPECT_EQ(p->y, 20.0f + 0.0005f);
      EXPECT_EQ(p->z, 300.0f);
    }
    EXPECT_EQ(w.cameraPosition.x, p->x + 10.0f);
    EXPECT_EQ(w.cameraPosition.y, p->y + 25.0f);
    EXPECT_EQ(w.cameraPosition.z, p->z - 100.0f);
    EXPECT_EQ(w.fadeFromColour, 0x00FF00);
    EXPECT_EQ(w.backgroundColour, 0x00FF00);
    EXPECT_EQ(w.fadeTargetColour, 0xFFFFFF);
    EXPECT_EQ(w.fadeAmount, 1.0f);
  }
}

TEST(EnterZone, StartsAfreshAndRestoresInput) {
  ZoneLog log;
  auto g = makeGame(persistGame(), log);
  ASSERT_TRUE(loadZone(*g, "one", true));
  g->world.player->vx = 3.0f;
  g->world.playerColour = 0x00FF00;
  g->world.cameraPosition = {1.0f, 2.0f, 3.0f};
  testing::FakePlatform platform;
  platform.clock = 6000;
  g->platform = &platform;
  markBeforeEntry(*g);
  // The pause music plays, and the controls were snapshot with JUMP held when the menu opened.
  log.sound.loadable.insert("pause.ogg");
  g->app.pauseMusic = log.sound.loadStreamedSound("pause.ogg");
  log.sound.play(g->app.pauseMusic, true, 35);
  g->controls.snapshot[control::Jump] = 1;

  enterZone(*g, "two", "");
  const World& w = g->world;
  EXPECT_EQ(w.player->vx, 0.0f);
  EXPECT_EQ(w.player->colour1, 0x000060FF);
  EXPECT_EQ(w.playerColour, 0x000060FF);
  EXPECT_EQ(w.cameraPosition.x, -40.0f);  // a fresh start: in front of the entrance
  EXPECT_EQ(w.fadeFromColour, 0xFFFFFF);
  EXPECT_FALSE(w.enteringZone);
  expectZoneApplied(*g, 6000);
  EXPECT_EQ(platform.keyboardReads, 1);  // waited for ACTION to be let go
  EXPECT_EQ(g->app.menuState, menu_state::Playing);
  EXPECT_EQ(g->app.menuScreen, 0);
  EXPECT_FALSE(log.sound.isPlaying(g->app.pauseMusic));  // the music was restored
  EXPECT_TRUE(g->controls.held(control::Jump));          // the input states were latched
  // The group survived the fresh start too, and faces the new player.
  ASSERT_NE(named(*g, "buddy"), nullptr);
  EXPECT_EQ(named(*g, "buddy")->facedObject, w.player);
  int players = 0;
  for (const ObjectRecord& o : w.objects) players += o.name == "you";
  EXPECT_EQ(players, 1);
}

TEST(EnterZone, EntranceArgumentAndFallbackToFirst) {
  ZoneLog log;
  auto g = makeGame(gameWith(zone("first", "", R"(<entrance x="1"/><entrance_back x="2"/>)")), log,
                    false);
  enterZone(*g, "gone", "back");
  EXPECT_EQ(g->world.currentZoneId, "first");
  EXPECT_EQ(g->world.respawnPoint.x, 1.0f);  // the fallback takes the default entrance
  enterZone(*g, "first", "back");
  EXPECT_EQ(g->world.respawnPoint.x, 2.0f);
  EXPECT_EQ(g->world.entranceName, "back");
  EXPECT_FALSE(g->failed);
}

TEST(EnterZone, ASavedPositionAtAnElementThatIsNoZoneStartsAtFirst) {
  struct Case {
    const char* first;  // the "first" zone's levels
    ZoneRequest request;
    const char* loaded;
    const char* message;
  };
  const Case cases[] = {
      {kOneLevel, ZoneRequest::SavedPosition, "first", ""},
      {"<levels/>", ZoneRequest::SavedPosition, nullptr, "Zone 'first' contains no levels!"},  // a broken game
      // A zone asked for by name is entered or the program ends.
      {kOneLevel, ZoneRequest::Asked, nullptr, "Zone 'cave' contains no levels!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.first) + (c.request == ZoneRequest::Asked ? " asked" : " saved"));
    ZoneLog log;
    auto g = makeGame(gameWith(R"(<sub id="cave"><sound num="1"/></sub>)" +
                               zone("first", "", R"(<entrance x="1"/><entrance_back x="2"/>)", c.first)),
                      log);
    enterZone(*g, "Cave", "back", c.request);
    if (c.loaded) {
      EXPECT_TRUE(testing::fatals(*g).empty());
      EXPECT_EQ(g->world.currentZoneId, c.loaded);
      EXPECT_EQ(g->world.entranceName, "");
      EXPECT_EQ(g->world.respawnPoint.x, 1.0f);
    } else {
      EXPECT_EQ(testing::fatals(*g), std::vector<std::string>{c.message});
    }
  }
}

}  // namespace
}  // namespace zor
