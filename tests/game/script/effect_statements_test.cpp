#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "game/render/game_screen.h"
#include "game/world/world_step.h"
#include "tests/game/script/script_test_support.h"

namespace zor {
namespace {

using testing::ScriptHarness;
namespace flag = format::flag;

// Two blocks, "lamp" and "post"; the statement under test is the sub "s".
std::string effectZone(const std::string& sub) {
  return "<zorlan version=\"1\"><zone id=\"first\"><levels><level z=\"0\"/></levels>"
         "<entrance x=\"0\" y=\"0\" level=\"0\"/>"
         "<block oname=\"lamp\" x=\"100\" y=\"0\" w=\"30\" h=\"40\" level=\"0\"/>"
         "<block oname=\"post\" x=\"200\" y=\"0\" w=\"30\" h=\"40\" level=\"0\"/>"
         "<start></start><sub id=\"s\">" + sub + "</sub></zone></zorlan>";
}

TEST(EffectStatement, GivesTheNamedObjectsABlinkWithItsDuration) {
  const struct {
    const char* statement;
    bool lamp, post;  // blinking afterwards
    int16_t timer;    // of the blinking ones
  } cases[] = {
      {"<effect oname=\"lamp\" type=\"flash\"/>", true, false, -1},  // endless
      {"<effect oname=\"lamp\" type=\"flash\" frames=\"0\"/>", true, false, 0},
      {"<effect oname=\"lamp, post\" type=\" Flash \" secs=\"2\"/>", true, true, 120},
      {"<effect oname=\"LAMP\" type=\"spin,flash\" frames=\"9\"/>", true, false, 9},
      {"<effect oname=\"nothing,lamp\" type=\"flash\"/>", false, false, 0},  // stops at the first miss
      {"<effect oname=\"post,nothing,lamp\" type=\"flash\" frames=\"3\"/>", false, true, 3},
      {"<effect oname=\"lamp\" type=\"spin\" frames=\"5\"/>", false, false, 0},
      {"<effect oname=\"lamp\" frames=\"5\"/>", false, false, 0},
      {"<effect oname=\"lamp\" type=\"flash\" frames=\"40000\"/>", true, false, 32767},  // held, not wrapped
      {"<effect oname=\"lamp\" type=\"flash\" frames=\"nan\"/>", true, false, 0},
      {"<effect oname=\"lamp\" type=\"flash\" secs=\"1e30\"/>", true, false, 32767},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.statement);
    ScriptHarness h(effectZone(c.statement));
    h.run("s");
    ObjectRecord* lamp = h.object("lamp");
    ObjectRecord* post = h.object("post");
    EXPECT_EQ(lamp->effectBits, c.lamp ? 1u : 0u);
    EXPECT_EQ(post->effectBits, c.post ? 1u : 0u);
    if (c.lamp) {
      EXPECT_EQ(lamp->effectTimer, c.timer);
    }
    if (c.post) {
      EXPECT_EQ(post->effectTimer, c.timer);
    }
    EXPECT_EQ(h.object("you")->effectBits, 0u);
  }
}

TEST(EffectStatement, EmptyNameMeansTheScriptsObject) {
  ScriptHarness h(effectZone("<effect type=\"flash\" frames=\"7\"/>"));
  h.run("s");  // no object: nothing
  for (const ObjectRecord& o : h.g().world.objects) EXPECT_EQ(o.effectBits, 0u) << o.name;
  ObjectRecord* post = h.object("post");
  h.run("s", post);
  EXPECT_EQ(post->effectBits, 1u);
  EXPECT_EQ(post->effectTimer, 7);
  EXPECT_EQ(h.object("lamp")->effectBits, 0u);
}

TEST(EffectStatement, ASecondEffectRestartsTheTimer) {
  ScriptHarness h(effectZone("<effect oname=\"lamp\" type=\"flash\" frames=\"10\"/>"));
  ObjectRecord* lamp = h.object("lamp");
  lamp->effectBits = 1;
  lamp->effectTimer = 2;
  h.run("s");
  EXPECT_EQ(lamp->effectTimer, 10);
}

TEST(EffectStatement, TheBlinkEndsInTheWorldStepVisibleUnlessKilled) {
  const struct {
    const char* frames;
    bool killed;
    int steps;        // world steps run
    bool blinking;    // afterwards
    bool invisible;
  } cases[] = {
      {"0", false, 1, false, false},
      {"2", false, 1, true, true},
      {"2", false, 2, false, false},
      {"0", true, 1, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.frames) + (c.killed ? " killed" : ""));
    ScriptHarness h(effectZone(std::string("<effect oname=\"lamp\" type=\"flash\" frames=\"") + c.frames + "\"/>"));
    ObjectRecord* lamp = h.object("lamp");
    lamp->flags |= flag::Invisible;
    if (c.killed) lamp->flags |= flag::Killed;
    h.s().zoneEntryQuiet = false;  // play has started: killed objects stay in the list
    h.run("s");
    for (int i = 0; i < c.steps; ++i) stepWorld(h.g());
    EXPECT_EQ(lamp->effectBits != 0, c.blinking);
    EXPECT_EQ(lamp->has(flag::Invisible), c.invisible);
  }
}

TEST(SrtStatement, MovesTheClocksTargetRowButNotItsDrawnRow) {
  const struct {
    const char* statement;
    float fraction;
  } cases[] = {
      {"<srt y=\"0.25\"/>", 0.25f}, {"<srt y=\"-\"/>", 0.8f},  {"<srt y=\"0\"/>", 0.0f},
      {"<srt/>", 0.0f},             {"<srt y=\"up\"/>", 0.0f}, {"<srt y=\"nan\"/>", 0.0f},
      {"<srt y=\"inf\"/>", 1000.0f}, {"<srt y=\"-1e30\"/>", -1000.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.statement);
    ScriptHarness h(effectZone(c.statement));
    GameScreen& screen = h.g().screen;
    screen.info.topBar = 10;
    screen.info.viewHeight = 360;
    screen.smallTextSize = 10;
    screen.runClockY = 123.0f;
    h.run("s");
    EXPECT_EQ(h.s().runClockPosition, c.fraction);
    // top bar + (view height - 1.8 size) * fraction + 0.4 size
    EXPECT_FLOAT_EQ(screen.runClockTargetY, 10.0f + (360.0f - 18.0f) * c.fraction + 4.0f);
    EXPECT_EQ(screen.runClockY, 123.0f);
  }
}

}  // namespace
}  // namespace zor
