#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "format/vocabulary.h"
#include "tests/game/script/object_statements_test_support.h"

namespace zor {
namespace {

using testing::ObjectHarness;
using testing::objectZone;
namespace flag = format::flag;

// Levels at z 0, 50 and 100. A mover on level 0 well away from the player, a
// wide target on level 1, and a scenic cloud.
const std::string kBlocks =
    "<block oname=\"mover\" x=\"500\" y=\"0\" w=\"20\" h=\"20\" flg=\"solid\" level=\"0\"/>"
    "<block oname=\"target\" x=\"800\" y=\"0\" w=\"60\" h=\"20\" level=\"1\"/>"
    "<block oname=\"cloud\" x=\"0\" y=\"300\" flg=\"scenic\" z=\"70\"/>";

TEST(LookStatement, TargetsAndWhatChanges) {
  ObjectHarness h(objectZone(kBlocks, "<look dir=\"255\"/>"));
  h.player().facedObject = &h.obj("mover");
  h.run("s");  // no oname, no script object: the player
  EXPECT_EQ(h.player().facing, -1);
  EXPECT_EQ(h.player().facedObject, nullptr);

  ObjectHarness items(objectZone(kBlocks, "<look oname=\"Mover, target,cloud\" dir=\"1\" at=\"target\"/>"));
  ObjectRecord& target = items.obj("target");
  target.facing = -1;
  items.run("s");
  EXPECT_EQ(items.obj("mover").facing, 1);
  EXPECT_EQ(items.obj("mover").facedObject, &target);
  EXPECT_EQ(target.facing, -1);  // " target" keeps its blank and finds nothing
  EXPECT_EQ(items.obj("cloud").facing, 1);

  ObjectHarness at(objectZone(kBlocks, "<look at=\"mover\"/><look at=\"Mover\"/>"));
  ObjectRecord& cloud = at.obj("cloud");
  cloud.facing = -1;
  at.run("s", &cloud);
  EXPECT_EQ(cloud.facing, -1);
  EXPECT_EQ(cloud.facedObject, nullptr);  // `at` is not lower-cased
}

TEST(ShiftStatement, AbsoluteRelativeAndDepth) {
  const struct {
    const char* sub;
    const char* name;
    float x, y, z;
    int level;
  } cases[] = {
      {"<shift oname=\"mover\" abs=\"on\" x=\"7\"/>", "mover", 7, 0, 0, 0},          // no y: y = 0
      {"<shift oname=\"mover\" x=\"7\" y=\"-2\" z=\"100\"/>", "mover", 507, -2, 0, 0},  // z ignored
      {"<shift oname=\"mover\" abs=\"1\" x=\"1\" y=\"2\" z=\"60\"/>", "mover", 1, 2, 50, 1},
      {"<shift oname=\"cloud\" abs=\"TRUE\" z=\"33\"/>", "cloud", 0, 0, 33, -1},      // scenic keeps level
      {"<shift abs=\"1\" x=\"9\"/>", "mover", 500, 0, 0, 0},                          // empty oname
      {"<shift oname=\"mover,mover\" x=\"1\"/>", "mover", 502, 0, 0, 0},
  };
  for (const auto& c : cases) {
    ObjectHarness h(objectZone(kBlocks, c.sub));
    ObjectRecord& o = h.obj(c.name);
    o.vx = 3.0f;
    o.prevX = -9.0f;
    h.run("s", &h.obj("mover"));
    EXPECT_FLOAT_EQ(o.x, c.x) << c.sub;
    EXPECT_FLOAT_EQ(o.y, c.y) << c.sub;
    if (std::string(c.name) == "mover") {
      EXPECT_FLOAT_EQ(o.z, c.z) << c.sub;
    }
    if (std::string(c.name) == "cloud") {
      EXPECT_FLOAT_EQ(o.z, c.z) << c.sub;
    }
    EXPECT_EQ(o.level, c.level) << c.sub;
    EXPECT_FLOAT_EQ(o.vx, 3.0f) << c.sub;
    EXPECT_FLOAT_EQ(o.prevX, -9.0f) << c.sub;
  }
}

TEST(ShiftStatement, ThePlayersNewLevelIsUnlocked) {
  ObjectHarness h(objectZone(kBlocks, "<shift oname=\"you\" abs=\"1\" z=\"1000\"/>"));
  h.w().levels[2].flags = 0;
  h.run("s");
  EXPECT_EQ(h.player().level, 2);
  EXPECT_FLOAT_EQ(h.player().z, 100.0f);
  EXPECT_EQ(h.w().levels[2].flags & 1u, 1u);
  EXPECT_EQ(h.w().leapInLevel, 0);
}

TEST(MoveStatement, ImpulseSlideAndJump) {
  const struct {
    const char* sub;
    float vx, vy, slideTarget;
    uint32_t setBits;
    bool supportCleared;
  } cases[] = {
      {"<move oname=\"mover\" impulse=\"1\" xv=\"-3\" yv=\"x0.5\"/>", -3, 2, 0, flag::Airborne, true},
      {"<move oname=\"mover\" impulse=\"1\" yv=\"X0.5\"/>", 1, 0, 0, flag::Airborne, true},
      {"<move oname=\"mover\" impulse=\"1\" yv=\"x-1\"/>", 1, -4, 0, flag::Airborne, true},
      {"<move oname=\"mover\" impulse=\"yes\" x=\"50\" to=\"target\"/>", 1, 4, 0, 0, false},
      {"<move oname=\"mover\" x=\"50\" xv=\"-2\"/>", 2, 4, 50, flag::Sliding | flag::Dynamic, false},
      {"<move oname=\"mover\" to=\"target\"/>", 5, 4, 820, flag::Sliding | flag::Dynamic, false},
      {"<move oname=\"mover\" to=\"Target\"/>", 1, 4, 0, 0, false},     // `to` as written
      {"<move oname=\"mover\" to=\"nothing\" xv=\"9\"/>", 1, 4, 0, 0, false},
      {"<move oname=\"mover,target\" x=\"50\"/>", 1, 4, 0, 0, false},   // one name: the whole text
      {"<move x=\"50\"/>", 1, 4, 0, 0, false},                          // empty oname: nothing
      {"<move oname=\"MOVER\" impulse=\"1\" jump=\"12\"/>", 1, 12, 0, flag::Dynamic | flag::Airborne, true},
  };
  for (const auto& c : cases) {
    ObjectHarness h(objectZone(kBlocks, c.sub));
    ObjectRecord& o = h.obj("mover");
    ObjectRecord& support = h.obj("target");
    o.vx = 1.0f;
    o.vy = 4.0f;
    o.support = &support;
    o.flags &= ~flag::Airborne;
    const uint32_t before = o.flags;
    h.run("s", &o);
    EXPECT_FLOAT_EQ(o.vx, c.vx) << c.sub;
    EXPECT_FLOAT_EQ(o.vy, c.vy) << c.sub;
    EXPECT_FLOAT_EQ(o.slideTarget, c.slideTarget) << c.sub;
    EXPECT_EQ(o.flags, before | c.setBits) << c.sub;
    EXPECT_EQ(o.support, c.supportCleared ? nullptr : &support) << c.sub;
    const bool jumped = std::string(c.sub).find("jump") != std::string::npos;
    EXPECT_EQ(std::count(h.sounds.begin(), h.sounds.end(), 0), jumped ? 1 : 0) << c.sub;
  }
}

TEST(MoveStatement, LeapLevels) {
  const struct {
    int from;
    const char* leap;
    int to;     // -2: no leap
    int sound;  // 2 up, 3 down
  } cases[] = {
      {2, "+1", 0, 3},  {0, "-1", 2, 2},  {2, "2", -2, 0},    {1, "+0", 1, 3},
      {0, "5", 2, 2},   {0, "-5", 1, 2},  {1, "+-5", -2, 0},  {0, "+4", 1, 2},
      {2, "--1", 0, 3},  // past the table's end: brought back into it
      {0, "+2147483647", 1, 2},
      {0, "-2147483648", 2, 2},
      {2, "-2147483647", 1, 3},
      {-1, "+1", -2, 0},  // all levels: no leap
  };
  for (const auto& c : cases) {
    const std::string sub = std::string("<move oname=\"mover\" leap=\"") + c.leap + "\"/>";
    ObjectHarness h(objectZone(kBlocks, sub));
    ObjectRecord& o = h.obj("mover");
    o.level = static_cast<int8_t>(c.from);
    o.z = 11.0f;
    o.vy = -1.0f;
    o.flags &= ~flag::Airborne;
    h.run("s");
    if (c.to == -2) {
      EXPECT_EQ(o.level, c.from) << c.leap;
      EXPECT_FALSE(o.has(flag::Sliding)) << c.leap;
      EXPECT_TRUE(h.sounds.empty()) << c.leap;
      continue;
    }
    EXPECT_EQ(o.level, c.to) << c.from << " " << c.leap;
    EXPECT_EQ(h.sounds, std::vector<int>{c.sound}) << c.from << " " << c.leap;
    EXPECT_FLOAT_EQ(o.vy, 5.0f) << c.leap;  // a hop
    EXPECT_TRUE(o.has(flag::Airborne | flag::Sliding | flag::Dynamic));
    EXPECT_EQ(o.flags & (flag::Airborne | flag::Sliding | flag::Dynamic),
              flag::Airborne | flag::Sliding | flag::Dynamic);
    EXPECT_FLOAT_EQ(o.z, 11.0f) << c.leap;  // z eases there later
  }
}

TEST(MoveStatement, LeapTakesItsDrawingPlaceAndIsBlockedBySolids) {
  ObjectHarness h(objectZone(kBlocks, "<move oname=\"mover\" impulse=\"1\" x=\"3\" leap=\"2\"/>"));
  h.obj("mover").flags |= flag::Airborne;
  h.obj("mover").vy = -1.0f;
  h.run("s");
  ObjectRecord& o = h.obj("mover");
  EXPECT_EQ(o.level, 2);
  EXPECT_FLOAT_EQ(o.vy, -1.0f);  // already airborne: no hop
  EXPECT_FLOAT_EQ(o.slideTarget, 0.0f);
  // Drawn far to near: the mover now comes before the blocks of nearer depth.
  std::vector<std::string> order;
  for (const ObjectRecord& r : h.w().objects) order.push_back(r.name);
  const auto at = [&order](const std::string& n) { return std::find(order.begin(), order.end(), n) - order.begin(); };
  EXPECT_LT(at("mover"), at("target"));

  ObjectHarness blocked(objectZone(
      kBlocks + "<block oname=\"wall\" x=\"505\" y=\"5\" w=\"10\" h=\"10\" flg=\"solid\" level=\"1\"/>",
      "<move oname=\"mover\" leap=\"+1\"/>"));
  blocked.run("s");
  EXPECT_EQ(blocked.obj("mover").level, 0);
  EXPECT_TRUE(blocked.sounds.empty());
}

}  // namespace
}  // namespace zor
