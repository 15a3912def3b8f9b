#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "format/values.h"
#include "tests/game/script/script_test_support.h"

namespace zor {
namespace {

using testing::ScriptHarness;
namespace flag = format::flag;

// A level with a colour, a coloured block, a checkpoint with and without a
// lit colour, an uncoloured (-1) area colour and a coloured area; the
// statement under test is the sub "s".
std::string screenZone(const std::string& sub) {
  return "<zorlan version=\"1\"><zone id=\"first\">"
         "<levels><level z=\"0\" color=\"336699\"/><level z=\"50\" color=\"102030\"/></levels>"
         "<entrance x=\"0\" y=\"0\" level=\"0\"/>"
         "<block oname=\"crate\" x=\"100\" y=\"0\" w=\"30\" h=\"40\" level=\"0\" color=\"ff0000,00ff80\""
         " flg=\"dynamic\" freq=\"1\"/>"
         "<block oname=\"spin\" x=\"200\" y=\"0\" w=\"30\" h=\"40\" level=\"0\" flg=\"dynamic,spatial\" freq=\"1\"/>"
         "<block oname=\"check\" x=\"300\" y=\"0\" w=\"30\" h=\"40\" level=\"0\" color=\"204060\" flg=\"checkpoint\"/>"
         "<block oname=\"bare\" x=\"400\" y=\"0\" w=\"30\" h=\"40\" level=\"0\" flg=\"checkpoint\"/>"
         "<area xlim=\"500,600\" ylim=\"0,100\" color=\"808080\"/>"
         "<area xlim=\"700,800\" ylim=\"0,100\"/>"
         "<start></start><sub id=\"s\">" + sub + "</sub></zone></zorlan>";
}

struct ScreenHarness : ScriptHarness {
  explicit ScreenHarness(const std::string& sub) : ScriptHarness(screenZone(sub)) {
    WordBox box;
    box.colour = 0x112233;
    box.backColour = 0x445566;
    s().wordBoxes.addLast(box);
    WordBox plain;
    plain.colour = 0x010203;
    plain.backColour = -1;
    s().wordBoxes.addLast(plain);
    World& w = g().world;
    w.fadeTargetColour = 0x0A141E;
    w.fadeFromColour = 0x1E140A;
    w.pauseColour = 0x00FF00;
  }
  ScreenEffectState& fx() { return s().screenEffects; }
  World& world() { return g().world; }
};

// Every scene colour, in one list, for comparing conversions.
std::vector<int32_t> sceneColours(ScreenHarness& h) {
  World& w = h.world();
  std::vector<int32_t> out{w.fadeTargetColour, w.fadeFromColour, w.pauseColour};
  for (const ObjectRecord& o : w.objects) {
    out.push_back(o.colour1);
    out.push_back(o.colour2);
    if (o.has(flag::Checkpoint)) out.push_back(o.litColour);  // the only lit colours in the scene
  }
  for (const LevelRecord& l : w.levels) out.push_back(l.colour);
  for (const WordBox& b : h.s().wordBoxes) {
    out.push_back(b.colour);
    out.push_back(b.backColour);
  }
  for (const AreaRecord& a : w.areas) out.push_back(a.colour);
  return out;
}

int32_t channel(int32_t c, int shift) { return (c >> shift) & 0xFF; }

TEST(ScreenStatement, WithoutAttributesChangesNothing) {
  ScreenHarness h("<screen/>");
  const std::vector<int32_t> before = sceneColours(h);
  h.run("s");
  EXPECT_EQ(sceneColours(h), before);
  EXPECT_EQ(h.fx().pendingFlash, -1);
  EXPECT_EQ(h.fx().homActive, 0);
  EXPECT_FALSE(h.fx().haltActive);
  EXPECT_EQ(h.fx().shakeAmount, 0.0f);
  EXPECT_EQ(h.fx().swishTarget, 0.0f);
  EXPECT_FALSE(h.s().scriptFreeze);
  EXPECT_FALSE(h.s().playerFrozen);
}

TEST(ScreenStatement, SetsFlashMirrorsShakeAndSwish) {
  const struct {
    const char* attrs;
    int32_t flash, hom;
    float shake, decay, swish;
  } cases[] = {
      {"flash=\"FF8000\"", format::readColour("ff8000"), 0, 0.0f, 0.0f, 0.0f},
      {"flash=\"-1\"", -1, 0, 0.0f, 0.0f, 0.0f},
      {"flash=\"zz\"", 0, 0, 0.0f, 0.0f, 0.0f},  // unreadable colour is black
      {"hom=\"1\"", -1, 1, 0.0f, 0.0f, 0.0f},
      {"hom=\"true\"", -1, 0, 0.0f, 0.0f, 0.0f},  // a word reads as 0
      {"shake=\"50\"", -1, 0, 0.5f, 1.0f, 0.0f},
      {"shake=\"-50,0.9\"", -1, 0, 0.5f, 0.9f, 0.0f},
      {"shake=\"50,-2\"", -1, 0, 0.5f, 0.5f, 0.0f},  // a decay above 1 is its reciprocal
      {"shake=\"0\"", -1, 0, 0.0f, 1.0f, 0.0f},
      {"shake=\"nan,nan\"", -1, 0, 0.0f, 0.0f, 0.0f},
      {"shake=\"inf,inf\"", -1, 0, 10000.0f, 0.0f, 0.0f},  // held finite
      {"swish=\"-4\"", -1, 0, 0.0f, 0.0f, 4.0f},
      {"swish=\"25\"", -1, 0, 0.0f, 0.0f, 10.0f},
      {"swish=\"nan\"", -1, 0, 0.0f, 0.0f, 0.0f},
      {"swish=\"-inf\"", -1, 0, 0.0f, 0.0f, 10.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.attrs);
    ScreenHarness h(std::string("<screen ") + c.attrs + "/>");
    h.run("s");
    EXPECT_EQ(h.fx().pendingFlash, c.flash);
    EXPECT_EQ(h.fx().homActive, c.hom);
    EXPECT_FLOAT_EQ(h.fx().shakeAmount, c.shake);
    EXPECT_FLOAT_EQ(h.fx().shakeDecay, c.decay);
    EXPECT_EQ(h.fx().swishTarget, c.swish);
  }
}

TEST(ScreenStatement, GreyConvertsEverySceneColourOnce) {
  ScreenHarness h("<screen gray=\"1\"/>");
  h.run("s");
  for (int32_t c : sceneColours(h)) {
    if (c < 0) continue;
    EXPECT_EQ(channel(c, 0), channel(c, 8)) << std::hex << c;
    EXPECT_EQ(channel(c, 0), channel(c, 16)) << std::hex << c;
  }
  EXPECT_EQ(h.world().pauseColour, 0x969696);  // 0.59 * 255 = 150.45
  EXPECT_EQ(h.object("bare")->litColour, 0xA0A0A0);  // a checkpoint without a lit colour
  EXPECT_EQ(h.world().areas.back()->colour, -1);     // no colour stays none
  EXPECT_EQ(h.s().wordBoxes.back()->backColour, -1);
  const std::vector<int32_t> once = sceneColours(h);
  h.run("s");
  EXPECT_EQ(sceneColours(h), once);
}

TEST(ScreenStatement, InvertTwiceRestoresAndSparesPauseAndBareCheckpoints) {
  ScreenHarness h("<screen invert=\"1\"/>");
  const std::vector<int32_t> before = sceneColours(h);
  ObjectRecord* crate = h.object("crate");
  ObjectRecord* check = h.object("check");
  ObjectRecord* bare = h.object("bare");
  const int32_t crate1 = crate->colour1, check1 = check->colour1, checkLit = check->litColour;
  const int32_t bare1 = bare->colour1, bareLit = bare->litColour;
  ASSERT_LT(bareLit, 0);
  h.run("s");
  EXPECT_EQ(crate->colour1, 0xFFFFFF - crate1);
  EXPECT_EQ(check->colour1, 0xFFFFFF - check1);
  EXPECT_EQ(check->litColour, 0xFFFFFF - checkLit);
  EXPECT_EQ(bare->colour1, bare1);
  EXPECT_EQ(bare->litColour, bareLit);
  EXPECT_EQ(h.world().pauseColour, 0x00FF00);
  EXPECT_EQ(h.world().fadeTargetColour, 0xFFFFFF - 0x0A141E);
  EXPECT_EQ(h.world().levels[0].colour, 0xFFFFFF - format::readColour("336699"));
  h.run("s");
  EXPECT_EQ(sceneColours(h), before);
}

TEST(ScreenStatement, FadeBlendsTowardItsColour) {
  const struct {
    const char* value;
    int32_t crate;  // the crate's first colour, pure red (0x0000FF) before
    int32_t target;  // backgroundTarget, 0x0A141E before
  } cases[] = {
      {"1", 0x0000FF, 0x0A141E},
      {"0", 0x000000, 0x000000},
      {"0.5", 0x00007F, 0x050A0F},
      {"0.5,ffffff", 0x8080FF, 0x858A8F},  // F + trunc((X - F) * 0.5)
      {"0,ff0000", 0x0000FF, 0x0000FF},
      {"2", 0x0000FF, 0x14283C},            // beyond 1, channels kept to a byte
      {"-1", 0x000000, 0x000000},
      {"nan", 0x000000, 0x000000},
      {"inf", 0x0000FF, 0xFFFFFF},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    ScreenHarness h(std::string("<screen fade=\"") + c.value + "\" flash=\"ffffff\"/>");
    h.run("s");
    EXPECT_EQ(h.object("crate")->colour1, c.crate);
    EXPECT_EQ(h.world().fadeTargetColour, c.target);
    EXPECT_EQ(h.world().pauseColour, 0x00FF00);       // not faded
    EXPECT_EQ(h.fx().pendingFlash, 0xFFFFFF);         // only stored, never converted
    EXPECT_EQ(h.world().areas.back()->colour, -1);
  }
}

TEST(ScreenStatement, BackgroundAndHalt) {
  const int32_t level0 = format::readColour("336699");
  const struct {
    const char* attrs;
    int32_t target;
    float weight;
    bool halted, freeze;
  } cases[] = {
      {"bg=\"-\"", level0, 0.5f, false, false},
      {"bg=\"ff0000\"", 0x0000FF, 0.5f, false, false},
      {"bg=\"\"", 0x0A141E, 0.5f, false, false},
      {"halt=\"1\"", 0x0A141E, 0.0f, true, true},
      {"halt=\"0\"", level0, 0.0f, false, false},
      {"halt=\"yes\"", 0x0A141E, 0.5f, false, false},
      {"halt=\"1\" bg=\"ff0000\"", 0x0000FF, 0.0f, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.attrs);
    ScreenHarness h(std::string("<screen ") + c.attrs + "/>");
    h.world().fadeAmount = 0.5f;
    if (std::string(c.attrs) == "halt=\"0\"") {
      h.fx().haltActive = true;
      h.s().scriptFreeze = true;
    }
    h.run("s");
    EXPECT_EQ(h.world().fadeTargetColour, c.target);
    EXPECT_EQ(h.world().fadeAmount, c.weight);
    EXPECT_EQ(h.fx().haltActive, c.halted);
    EXPECT_EQ(h.s().scriptFreeze, c.freeze);
  }
}

TEST(ScreenStatement, StaticStopsMotionAndFreezesThePlayer) {
  for (const char* value : {"yes", "1", "ON"}) {
    SCOPED_TRACE(value);
    ScreenHarness h(std::string("<screen shake=\"50\" static=\"") + value + "\"/>");
    ObjectRecord* spin = h.object("spin");
    h.g().world.objects.setCurrent(spin);
    h.run("s");
    EXPECT_EQ(h.g().world.objects.current(), spin);  // the list's position is kept
    for (const ObjectRecord& o : h.world().objects) EXPECT_FALSE(o.has(flag::Dynamic)) << o.name;
    EXPECT_EQ(h.object("crate")->freq, 0.0f);
    EXPECT_NE(spin->freq, 0.0f);  // spatial objects keep their frequency
    EXPECT_TRUE(h.s().playerFrozen);
    EXPECT_EQ(h.fx().shakeAmount, 0.0f);
    EXPECT_FLOAT_EQ(h.fx().shakeDecay, 0.1f);
    EXPECT_TRUE(h.s().camera.snap);
  }
  ScreenHarness off("<screen static=\"no\"/>");
  off.run("s");
  EXPECT_TRUE(off.object("crate")->has(flag::Dynamic));
  EXPECT_FALSE(off.s().playerFrozen);
}

TEST(ScreenStatement, ZoneLoadClearsTheEffectsButNotTheEasedSwish) {
  ScreenHarness h("<screen hom=\"1\" halt=\"1\" shake=\"50\" swish=\"5\"/>");
  h.run("s");
  h.fx().swishAmount = 2.0f;
  h.fx().swishAngle = 1.0f;
  ASSERT_TRUE(loadZone(h.g(), "first", false));
  EXPECT_EQ(h.fx().homActive, 0);
  EXPECT_FALSE(h.fx().haltActive);
  EXPECT_EQ(h.fx().shakeAmount, 0.0f);
  EXPECT_EQ(h.fx().swishTarget, 0.0f);
  EXPECT_EQ(h.fx().swishAmount, 2.0f);
  EXPECT_EQ(h.fx().swishAngle, 1.0f);
}

}  // namespace
}  // namespace zor
