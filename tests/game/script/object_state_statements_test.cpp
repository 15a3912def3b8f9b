#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "format/vocabulary.h"
#include "tests/game/script/object_statements_test_support.h"

namespace zor {
namespace {

using testing::ObjectHarness;
using testing::objectZone;
namespace flag = format::flag;

// A red-and-blue lamp, a floor with a box on it, a crate with a die script.
const std::string kBlocks =
    "<block oname=\"lamp\" x=\"200\" y=\"0\" color=\"FF0000,0000FF\" level=\"0\"/>"
    "<block oname=\"floor\" x=\"-100\" y=\"-20\" w=\"400\" h=\"20\" flg=\"solid\" level=\"1\"/>"
    "<block oname=\"box\" x=\"0\" y=\"0\" flg=\"dynamic,solid,motion\" level=\"1\"/>"
    "<block oname=\"crate\" x=\"300\" y=\"0\" flg=\"solid,hasface,cyclic\" level=\"2\">"
    "<die><sound num=\"crate died\"/></die></block>";

TEST(FlipColorStatement, ExchangesAndRepeatsPerName) {
  const struct {
    const char* sub;
    int32_t colour1, colour2;
  } cases[] = {
      {"<flipcolor oname=\"lamp\"/>", 0xFF0000, 0x0000FF},         // stored blue-first
      {"<flipcolor oname=\"lamp\"/><flipcolor oname=\"Lamp\"/>", 0x0000FF, 0xFF0000},
      {"<flipcolor oname=\"lamp, lamp\"/>", 0x0000FF, 0xFF0000},   // named twice: twice
      {"<flipcolor oname=\"nothing,lamp\"/>", 0xFF0000, 0x0000FF}, // missing items skipped
      {"<flipcolor/>", 0x0000FF, 0xFF0000},                        // no script object: nothing
  };
  for (const auto& c : cases) {
    ObjectHarness h(objectZone(kBlocks, c.sub));
    h.run("s");
    EXPECT_EQ(h.obj("lamp").colour1, c.colour1) << c.sub;
    EXPECT_EQ(h.obj("lamp").colour2, c.colour2) << c.sub;
  }
}

TEST(FlipColorStatement, EmptyNameActsOnTheScriptsObject) {
  ObjectHarness h(objectZone(kBlocks, "<flipcolor/>"));
  h.run("s", &h.obj("lamp"));
  EXPECT_EQ(h.obj("lamp").colour1, 0xFF0000);
}

TEST(DropStatement, MakesDynamicAirborneAndReleasesWhatStandsOnIt) {
  ObjectHarness h(objectZone(kBlocks, "<drop oname=\"floor\"/>"));
  ObjectRecord& floor = h.obj("floor");
  ObjectRecord& box = h.obj("box");
  box.support = &floor;
  box.flags &= ~flag::Airborne;
  floor.flags |= flag::Motion;
  floor.vy = 2.0f;
  h.run("s");
  EXPECT_EQ(floor.flags & (flag::Dynamic | flag::Airborne | flag::Motion | flag::Solid),
            flag::Dynamic | flag::Airborne | flag::Solid);
  EXPECT_EQ(box.support, nullptr);
  EXPECT_TRUE(box.has(flag::Airborne));
  EXPECT_FLOAT_EQ(box.vy, 2.0f - 0.0005f);
}

TEST(KillStatements, KillFlagsAndOnlyFirstSlayPlaysAndQueues) {
  const struct {
    const char* sub;
    int sounds;       // die effects played
    size_t dieRuns;   // die scripts queued
  } cases[] = {
      {"<kill oname=\"crate\"/>", 0, 0},
      {"<slay oname=\"crate\"/>", 1, 1},
      {"<slay oname=\"crate\"/><slay oname=\"crate\"/>", 1, 1},   // already killed: silent
      {"<kill oname=\"crate\"/><slay oname=\"crate\"/>", 0, 0},
      {"<SLAY oname=\"crate\"/>", 0, 0},                          // not a statement
  };
  for (const auto& c : cases) {
    ObjectHarness h(objectZone(kBlocks, c.sub));
    h.run("s");
    const ObjectRecord& crate = h.obj("crate");
    const bool killed = std::string(c.sub).find("SLAY") == std::string::npos;
    if (killed) {
      EXPECT_EQ(crate.flags, flag::Killed | flag::NoBorder | flag::Invisible | flag::HasFace) << c.sub;
    } else {
      EXPECT_FALSE(crate.has(flag::Killed));
    }
    EXPECT_EQ(static_cast<int>(std::count(h.sounds.begin(), h.sounds.end(), 4)), c.sounds) << c.sub;
    h.frame();
    size_t runs = 0;
    for (const std::string& t : h.trace()) runs += t == "crate died@crate" ? 1 : 0;
    EXPECT_EQ(runs, c.dieRuns) << c.sub;
  }
}

TEST(KillStatements, KillingTheSupportDropsThePlayer) {
  for (const char* sub : {"<kill oname=\"floor\"/>", "<slay oname=\"floor\"/>"}) {
    ObjectHarness h(objectZone(kBlocks, sub));
    ObjectRecord& p = h.player();
    p.support = &h.obj("floor");
    p.flags &= ~flag::Airborne;
    h.run("s");
    EXPECT_EQ(p.support, nullptr) << sub;
    EXPECT_TRUE(p.has(flag::Airborne)) << sub;
  }
}

// The player is never killed like a block nor removed: naming it is its death.
TEST(KillStatements, ThePlayerDiesInsteadOfBeingKilled) {
  for (const char* sub : {"<kill oname=\"you\"/>", "<slay oname=\"you\"/>", "<kill/>"}) {
    ObjectHarness h(objectZone(kBlocks, sub));
    ObjectRecord* p = h.g().world.player;
    const uint32_t flagsBefore = p->flags;
    h.run("s", std::string(sub) == "<kill/>" ? p : nullptr);
    EXPECT_EQ(h.g().world.player, p) << sub;
    EXPECT_EQ(&*h.g().world.objects.begin(), p) << sub;
    EXPECT_EQ(p->flags, flagsBefore) << sub;
    EXPECT_TRUE(h.g().world.playerDead) << sub;
  }
}

TEST(KillStatements, ThePlayerSurvivesTheSettlingDeletion) {
  ObjectHarness h(objectZone(kBlocks, "", "<kill oname=\"you,crate\"/>"), /*settled=*/false);
  ASSERT_NE(h.g().world.player, nullptr);
  EXPECT_EQ(h.g().world.player->name, "you");
  EXPECT_EQ(h.object("crate"), nullptr);  // deleted while the zone settles
  EXPECT_TRUE(h.g().world.playerDead);
}

TEST(KillStatements, WithADeathScriptThePlayersDeathRunsIt) {
  ObjectHarness h(objectZone(kBlocks, "<kill oname=\"you\"/><kill oname=\"you\"/>", "",
                             "<death><sound num=\"death\"/></death>"));
  h.run("s");
  h.frame();
  EXPECT_FALSE(h.g().world.playerDead);
  EXPECT_EQ(h.trace(), (std::vector<std::string>{"death", "death"}));
  EXPECT_FALSE(h.player().has(flag::Killed));
}

TEST(KillStatements, TheDeathScriptNamingThePlayerDoesNotRunItselfAgain) {
  ObjectHarness h(objectZone(kBlocks, "<slay oname=\"you\"/>", "",
                             "<death><sound num=\"death\"/><slay oname=\"you\"/></death>"));
  h.run("s");
  h.frame(3);
  EXPECT_EQ(h.trace(), (std::vector<std::string>{"death"}));
  EXPECT_EQ(h.g().world.player, &*h.g().world.objects.begin());
  EXPECT_TRUE(h.g().script.queue.empty());
}

TEST(SetFlagsStatements, MaskAndTheDynamicRaise) {
  const struct {
    const char* sub;
    bool scriptObject;
    uint32_t set, cleared;
    float y;
  } cases[] = {
      {"<setflags oname=\"lamp\" flg=\"Dynamic , deadly\"/>", false, flag::Dynamic | flag::Deadly, 0, 0.0005f},
      {"<setflags flg=\"dynamic\"/>", true, flag::Dynamic, 0, 0.0f},  // own object: no raise
      {"<setflags oname=\"lamp,lamp\" flg=\"dynamic\"/>", false, flag::Dynamic, 0, 0.001f},
      {"<setflags oname=\"lamp\" flg=\"solid\"/>", false, flag::Solid, 0, 0.0f},
      {"<setflags oname=\"lamp\" flg=\"sine,blah,solid\"/>", false, flag::Solid, 0, 0.0f},
      {"<setflags oname=\"lamp\" flg=\"sine,blah\"/>", false, 0, flag::Dynamic | flag::Solid, 0.0f},
      {"<setflags oname=\"lamp\" flg=\"killed\"/>", false, flag::Killed, flag::Invisible, 0.0f},
      {"<setflags oname=\"lamp\"/>", false, 0, flag::Dynamic, 0.0f},
  };
  for (const auto& c : cases) {
    ObjectHarness h(objectZone(kBlocks, c.sub));
    ObjectRecord& lamp = h.obj("lamp");
    const uint32_t before = lamp.flags;
    h.run("s", c.scriptObject ? &lamp : nullptr);
    EXPECT_EQ(lamp.flags, before | c.set) << c.sub;
    EXPECT_EQ(lamp.flags & c.cleared, 0u) << c.sub;
    EXPECT_FLOAT_EQ(lamp.y, c.y) << c.sub;
  }
}

TEST(SetFlagsStatements, UnsetClearsOnlyTheMask) {
  ObjectHarness h(objectZone(kBlocks, "<unsetflags oname=\"box\" flg=\"motion, solid\"/>"
                                      "<unsetflags oname=\"box\" flg=\"nonsense\"/>"));
  ObjectRecord& box = h.obj("box");
  const uint32_t before = box.flags;
  h.run("s");
  EXPECT_EQ(box.flags, before & ~(flag::Motion | flag::Solid));
}

TEST(HideStatements, NamedObjectsOnlyAndKilledStaysKilled) {
  ObjectHarness h(objectZone(kBlocks, "<kill oname=\"crate\"/><unhide oname=\"crate\"/>"
                                      "<hide oname=\"lamp\"/><hide/>"));
  ObjectRecord& box = h.obj("box");
  h.run("s", &box);
  EXPECT_FALSE(h.obj("crate").has(flag::Invisible));
  EXPECT_TRUE(h.obj("crate").has(flag::Killed));
  EXPECT_TRUE(h.obj("lamp").has(flag::Invisible));
  EXPECT_FALSE(box.has(flag::Invisible));  // an empty oname hides nothing
}

}  // namespace
}  // namespace zor
