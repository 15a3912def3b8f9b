#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "format/vocabulary.h"
#include "tests/game/script/object_statements_test_support.h"

namespace zor {
namespace {

using testing::ObjectHarness;
using testing::objectZone;

// A lamp with limits and a cycle, a checkpoint block with a colour and one
// without, and an upper-case-named block (names are stored lower-cased).
const std::string kBlocks =
    "<block oname=\"lamp\" x=\"10\" y=\"20\" w=\"30\" h=\"40\" color=\"FF0000,0000FF\" xlim=\"1,2\" ylim=\"3,4\""
    " count=\"5\" phase=\"90\" freq=\"6\" level=\"0\"/>"
    "<block oname=\"cp\" x=\"100\" y=\"50\" w=\"40\" h=\"40\" color=\"00FF00\" flg=\"checkpoint\" level=\"2\"/>"
    "<block oname=\"dark\" x=\"200\" y=\"0\" w=\"20\" h=\"20\" flg=\"checkpoint\" level=\"1\"/>";

TEST(SetColorStatement, OneOrTwoColours) {
  const struct {
    const char* sub;
    int32_t colour1, colour2;
  } cases[] = {
      {"<setcolor oname=\"lamp\" color=\"00FF00\"/>", 0x00FF00, 0xFF0000},    // colour 2 kept
      {"<setcolor oname=\"lamp\" color=\"-1\"/>", -1, 0xFF0000},
      {"<setcolor oname=\"lamp\" color=\"ff0000,00ff00,0000ff\"/>", 0x0000FF, 0x00FF00},
      {"<setcolor oname=\"lamp\" color=\"123456,\"/>", 0x563412, 0},
      {"<setcolor oname=\"lamp\"/>", 0, 0xFF0000},                            // black
      {"<setcolor oname=\"lamp\" color=\"zz\"/>", 0, 0xFF0000},
  };
  for (const auto& c : cases) {
    ObjectHarness h(objectZone(kBlocks, c.sub));
    h.run("s");
    EXPECT_EQ(h.obj("lamp").colour1, c.colour1) << c.sub;
    EXPECT_EQ(h.obj("lamp").colour2, c.colour2) << c.sub;
  }
}

TEST(SetFreqStatement, FallWinsAndFreqIsPerSecond) {
  const struct {
    const char* sub;
    float freq;
  } cases[] = {
      {"<setfreq oname=\"lamp\" freq=\"3\"/>", 3.0f / 60.0f},
      {"<setfreq oname=\"lamp\" freq=\"3\" fall=\"-0.25\"/>", 0.25f},
      {"<setfreq oname=\"lamp\"/>", 0.0f},
  };
  for (const auto& c : cases) {
    ObjectHarness h(objectZone(kBlocks, c.sub));
    h.run("s");
    EXPECT_FLOAT_EQ(h.obj("lamp").freq, c.freq) << c.sub;
  }
}

TEST(SetGravStatement, NamedObjectsOrTheWholeZone) {
  {
    ObjectHarness h(objectZone(kBlocks, "<setgrav grav=\"2\"/>"));
    h.run("s");
    for (const ObjectRecord& o : h.w().objects) EXPECT_FLOAT_EQ(o.gravity, 1.4f) << o.name;
    EXPECT_FLOAT_EQ(h.w().zoneGravity, 1.4f);
    EXPECT_FLOAT_EQ(h.w().playerDepthEase, std::fabs(1.4f + 0.0005f) * 0.2f);
  }
  {
    ObjectHarness h(objectZone(kBlocks, "<setgrav oname=\"you\" grav=\"-1\"/>"));
    const float lampBefore = h.obj("lamp").gravity;
    h.run("s");
    EXPECT_FLOAT_EQ(h.player().gravity, -0.7f);
    EXPECT_FLOAT_EQ(h.obj("lamp").gravity, lampBefore);
    EXPECT_FLOAT_EQ(h.w().zoneGravity, 0.7f);
    EXPECT_FLOAT_EQ(h.w().playerDepthEase, std::fabs(-0.7f + 0.0005f) * 0.2f);
  }
}

TEST(SetCountStatement, NamesAsWrittenAndPhaseReset) {
  const struct {
    const char* sub;
    int32_t count;
    bool phaseReset;
  } cases[] = {
      {"<setcount oname=\"lamp\" count=\"7\"/>", 7, true},
      {"<setcount oname=\" lamp \"/>", 0, true},             // trimmed; no count: stopped
      {"<setcount oname=\"Lamp\" count=\"7\"/>", 5, false},  // upper case finds nothing
  };
  for (const auto& c : cases) {
    ObjectHarness h(objectZone(kBlocks, c.sub));
    const float phase = h.obj("lamp").phase;
    h.run("s");
    EXPECT_EQ(h.obj("lamp").count, c.count) << c.sub;
    EXPECT_FLOAT_EQ(h.obj("lamp").phase, c.phaseReset ? 0.0f : phase) << c.sub;
  }
}

TEST(CycleStatement, OnlyTheGivenParts) {
  ObjectHarness h(objectZone(kBlocks, "<cycle oname=\"lamp\" x=\"500\"/>"));
  ObjectRecord& lamp = h.obj("lamp");
  lamp.x = 12.5f;
  const ObjectRecord before = lamp;
  h.run("s");
  EXPECT_FLOAT_EQ(lamp.xlim1, 12.5f);
  EXPECT_FLOAT_EQ(lamp.xlim2, 500.0f);
  EXPECT_EQ(lamp.count, before.count);
  EXPECT_FLOAT_EQ(lamp.freq, before.freq);
  EXPECT_FLOAT_EQ(lamp.phase, before.phase);
  EXPECT_FLOAT_EQ(lamp.ylim1, before.ylim1);
  EXPECT_FLOAT_EQ(lamp.ylim2, before.ylim2);

  ObjectHarness all(objectZone(kBlocks, "<cycle oname=\"lamp\" count=\"3\" freq=\"30\" y=\"-8\"/><cycle x=\"9\"/>"));
  ObjectRecord& l2 = all.obj("lamp");
  all.run("s", &l2);
  EXPECT_EQ(l2.count, 3);
  EXPECT_FLOAT_EQ(l2.phase, 0.0f);
  EXPECT_FLOAT_EQ(l2.freq, 0.5f);
  EXPECT_FLOAT_EQ(l2.ylim1, l2.y);
  EXPECT_FLOAT_EQ(l2.ylim2, -8.0f);
  EXPECT_FLOAT_EQ(l2.xlim2, 2.0f);  // an empty oname changes nothing
}

TEST(LimitStatements, SwapAndMinPos) {
  const struct {
    const char* sub;
    float x1, x2, y1, y2;
  } cases[] = {
      {"<swaplims oname=\"lamp\"/>", 2, 1, 4, 3},
      {"<swaplims oname=\"lamp\"/><swaplims oname=\"lamp\"/>", 1, 2, 3, 4},
      {"<minpos oname=\"lamp\" x=\"0\"/>", 10, 2, 3, 4},
      {"<minpos oname=\"lamp\" x=\"1\" y=\"1\"/>", 10, 2, 20, 4},
      {"<minpos oname=\"lamp\"/>", 1, 2, 3, 4},
  };
  for (const auto& c : cases) {
    ObjectHarness h(objectZone(kBlocks, c.sub));
    ObjectRecord& lamp = h.obj("lamp");
    lamp.x = 10.0f;
    lamp.y = 20.0f;
    h.run("s");
    EXPECT_FLOAT_EQ(lamp.xlim1, c.x1) << c.sub;
    EXPECT_FLOAT_EQ(lamp.xlim2, c.x2) << c.sub;
    EXPECT_FLOAT_EQ(lamp.ylim1, c.y1) << c.sub;
    EXPECT_FLOAT_EQ(lamp.ylim2, c.y2) << c.sub;
  }
}

TEST(SetCheckStatement, RestartMovesTheRespawnPointAndRepeats) {
  ObjectHarness h(objectZone(kBlocks, "<setcheck oname=\"cp\" restart=\"Yes\"/>"));
  World& w = h.w();
  ObjectRecord& cp = h.obj("cp");
  ObjectRecord& p = h.player();
  p.colour1 = 0x123456;
  p.h = 30.0f;
  cp.h = 7.0f;
  for (int round = 0; round < 2; ++round) {
    cp.phase = 0.3f;
    w.fadeAmount = 0.0f;
    h.run("s");
    EXPECT_EQ(w.currentCheckpoint, &cp);
    EXPECT_EQ(w.fadeFromColour, 0x123456);
    EXPECT_FLOAT_EQ(w.fadeAmount, 1.0f);
    EXPECT_FLOAT_EQ(w.respawnPoint.x, cp.x + cp.w / 2.0f - p.w / 2.0f);
    EXPECT_FLOAT_EQ(w.respawnPoint.y, cp.y + cp.w / 2.0f - p.h / 2.0f);  // the width on both axes
    EXPECT_EQ(w.respawnPoint.level, 2);
    EXPECT_EQ(cp.colour1, 0x00FF00);
    EXPECT_EQ(cp.colour2, 0xFFFFFF);
    EXPECT_FLOAT_EQ(cp.phase, 0.0f);
    EXPECT_EQ(std::count(h.sounds.begin(), h.sounds.end(), 7), round + 1);
  }
}

TEST(SetCheckStatement, WithoutRestartOnlyLightsAndWithoutColourGoesBlack) {
  ObjectHarness h(objectZone(kBlocks, "<setcheck oname=\"dark\"/><setcheck oname=\"cp,dark\"/><setcheck/>"));
  World& w = h.w();
  const RespawnPoint before = w.respawnPoint;
  h.run("s", &h.obj("cp"));
  EXPECT_EQ(w.currentCheckpoint, &h.obj("dark"));
  EXPECT_FLOAT_EQ(w.respawnPoint.x, before.x);
  EXPECT_FLOAT_EQ(w.respawnPoint.y, before.y);
  EXPECT_EQ(w.respawnPoint.level, before.level);
  EXPECT_EQ(h.obj("dark").colour1, 0);
  EXPECT_EQ(h.obj("dark").colour2, 1);
  EXPECT_EQ(h.obj("cp").colour1, 0x00FF00);  // one name only; empty oname: nothing
  EXPECT_EQ(h.obj("cp").colour2, 0x00FF00);
  EXPECT_TRUE(h.sounds.empty());
}

}  // namespace
}  // namespace zor
