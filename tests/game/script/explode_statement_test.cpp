#include <gtest/gtest.h>

#include <cmath>
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

const std::string kBlocks = "<block oname=\"crate\" x=\"100\" y=\"200\" w=\"60\" h=\"30\" level=\"1\"/>";

std::vector<const ObjectRecord*> particles(World& w) {
  std::vector<const ObjectRecord*> out;
  for (const ObjectRecord& o : w.objects) {
    if (o.name.empty() && o.effectBits == 1) out.push_back(&o);
  }
  return out;
}

TEST(ExplodeStatement, PlainParticlesAtTheRespawnPoint) {
  ObjectHarness h(objectZone(kBlocks, "<explode flg=\"solid,deadly\" class=\"rock\"/>"),
                  true);
  const int32_t before = h.w().objectCount;
  h.run("s");
  const auto ps = particles(h.w());
  ASSERT_EQ(ps.size(), 8u);
  EXPECT_EQ(h.w().objectCount, before + 8);
  for (const ObjectRecord* p : ps) {
    EXPECT_EQ(p->flags, flag::Dynamic | flag::Scenic | flag::Airborne);
    EXPECT_EQ(p->effectTimer, -1);
    EXPECT_EQ(p->colour1, 0xFFFFFF);
    EXPECT_FLOAT_EQ(p->w, 20.0f);
    EXPECT_FLOAT_EQ(p->h, 20.0f);
    EXPECT_FLOAT_EQ(p->x, h.w().respawnPoint.x);
    EXPECT_FLOAT_EQ(p->y, h.w().respawnPoint.y - 40.0f);
    EXPECT_FLOAT_EQ(p->z, 0.0f);
    EXPECT_EQ(p->level, -1);
    EXPECT_EQ(p->vx, 0.0f);
    EXPECT_EQ(p->vy, 0.0f);
    EXPECT_FLOAT_EQ(p->gravity, h.w().zoneGravity);
    EXPECT_EQ(p->objectClass, nullptr);
  }
}

TEST(ExplodeStatement, CentredOnTheCentreWithTheSpeed) {
  const struct {
    const char* sub;
    const char* centre;  // "" the script's object (crate)
    float w, h;
  } cases[] = {
      {"<explode at=\"you\" vel=\"4\" w=\"6\" h=\"10\"/>", "you", 6, 10},
      {"<explode vel=\"4\" w=\"6\" h=\"10\"/>", "crate", 6, 10},
      {"<explode at=\"Crate\" vel=\"4\"/>", "crate", 20, 20},  // not found: the script's object
      {"<explode at=\"crate\" vel=\"4\" w=\"100\" h=\"2\"/>", "crate", 100, 2},
  };
  for (const auto& c : cases) {
    ObjectHarness h(objectZone(kBlocks, c.sub));
    ObjectRecord& crate = h.obj("crate");
    crate.flags |= flag::Killed | flag::Invisible;  // killed objects still serve
    h.run("s", &crate);
    const ObjectRecord& centre = h.obj(c.centre);
    const auto ps = particles(h.w());
    ASSERT_EQ(ps.size(), 8u) << c.sub;
    for (const ObjectRecord* p : ps) {
      EXPECT_FLOAT_EQ(p->w, c.w);
      EXPECT_FLOAT_EQ(p->x, centre.x + (centre.w - c.w) * 0.5f) << c.sub;
      EXPECT_FLOAT_EQ(p->y, centre.y + (centre.h - c.h) * 0.5f) << c.sub;
      EXPECT_FLOAT_EQ(p->z, centre.z) << c.sub;
      EXPECT_NEAR(std::hypot(p->vx, p->vy), 4.0f, 1e-4f) << c.sub;
    }
  }
}

TEST(ExplodeStatement, CountDefaultsAndBound) {
  const struct {
    const char* num;
    size_t count;
  } cases[] = {
      {"0", 8}, {"-3", 8}, {"many", 8}, {"", 8}, {"5", 5}, {"1000", 1000},
      {"1001", static_cast<size_t>(kMaxExplodeParticles)}, {"2147483647", static_cast<size_t>(kMaxExplodeParticles)},
  };
  for (const auto& c : cases) {
    ObjectHarness h(objectZone(kBlocks, std::string("<explode num=\"") + c.num + "\"/>"));
    h.run("s");
    EXPECT_EQ(particles(h.w()).size(), c.count) << c.num;
  }
}

TEST(ExplodeStatement, AnglesComeFromTheSeededGenerator) {
  auto velocities = [](uint32_t seed) {
    ObjectHarness h(objectZone(kBlocks, "<explode vel=\"3\"/>"));
    h.g().random.generator.seed(seed);
    h.run("s");
    h.run("s");
    std::vector<float> v;
    for (const ObjectRecord* p : particles(h.w())) v.push_back(p->vx), v.push_back(p->vy);
    return v;
  };
  const std::vector<float> a = velocities(99);
  EXPECT_EQ(a, velocities(99));
  ASSERT_EQ(a.size(), 32u);
  EXPECT_NE(std::vector<float>(a.begin(), a.begin() + 16), std::vector<float>(a.begin() + 16, a.end()));
  int up = 0;
  for (size_t i = 1; i < a.size(); i += 2) up += a[i] > 0.0f ? 1 : 0;
  EXPECT_GT(up, 0);
}

TEST(ExplodeStatement, ParticlesStayInTheLevelTableAndInDrawingOrder) {
  ObjectHarness h(objectZone(kBlocks, "<explode level=\"50\" z=\"60\" num=\"3\"/><explode level=\"-7\" num=\"2\"/>"));
  h.run("s");
  int n = 0;
  for (const ObjectRecord* p : particles(h.w())) {
    ++n;
    EXPECT_TRUE(p->level == -1 || (p->level >= 0 && p->level < h.w().levelCount())) << int(p->level);
  }
  EXPECT_EQ(n, 5);
  // Positions 1 on are sorted by depth, far first.
  float z = INFINITY;
  int i = 0;
  for (const ObjectRecord& o : h.w().objects) {
    if (i++ == 0) continue;
    EXPECT_LE(o.z, z);
    z = o.z;
  }
}

}  // namespace
}  // namespace zor
