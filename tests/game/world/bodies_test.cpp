#include "game/world/bodies.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "format/vocabulary.h"
#include "game/game.h"
#include "game/world/objects.h"
#include "tests/game/world/world_test_support.h"

namespace zor {
namespace {

namespace flag = format::flag;
using testing::WorldHarness;
using testing::worldGame;
using testing::worldTrace;

constexpr float kGravity = 0.7f;

bool airborne(const ObjectRecord& o) { return o.has(flag::Airborne); }

// Steps until the object first has contact bit 8 (at most `limit` frames);
// returns the number of frames stepped, or -1. (A bounce or a hard landing
// leaves no support, so the repeated pass clears the bit again.)
int stepUntilLanded(WorldHarness& h, ObjectRecord& o, int limit = 200) {
  for (int i = 1; i <= limit; ++i) {
    h.bodiesFrame();
    if (o.contacts & 8) return i;
  }
  return -1;
}

// Steps until an effect is played (at most `limit` frames); returns the frames
// stepped, or -1.
int stepUntilEffect(WorldHarness& h, int limit = 200) {
  for (int i = 1; i <= limit; ++i) {
    h.bodiesFrame();
    if (!h.effects.empty()) return i;
  }
  return -1;
}

// ---------------------------------------------------------------------------
// Landing, edges and carrying

TEST(Bodies, PlayerFallsAndLandsOnAFloor) {
  WorldHarness h(worldGame(R"(<entrance x="0" y="30" level="0"/>
      <block oname="floor" x="-50" y="0" w="200" h="20" flg="solid"/>)"));
  ObjectRecord& p = h.player();
  EXPECT_EQ(p.y, 30.0005f);
  EXPECT_TRUE(airborne(p));

  h.bodiesFrame();
  EXPECT_EQ(p.vy, -kGravity);
  EXPECT_EQ(p.y, 30.0005f - kGravity);

  // 0.7 + 1.4 + 2.1 + 2.8 takes it to 23.0005; the fifth frame reaches into the floor.
  h.bodiesFrames(3);
  EXPECT_EQ(p.support, nullptr);
  h.bodiesFrame();
  EXPECT_EQ(p.support, &h.obj("floor"));
  EXPECT_FALSE(airborne(p));
  EXPECT_EQ(p.y, 20.0f);
  EXPECT_EQ(p.contacts, 8);
  EXPECT_TRUE(h.effects.empty()) << "a 20x20 body lands without a sound";

  // Standing: vertical speed is dropped, the seat holds.
  h.bodiesFrame();
  EXPECT_EQ(p.vy, 0.0f);
  EXPECT_EQ(p.y, 20.0f);
  EXPECT_EQ(p.support, &h.obj("floor"));
}

TEST(Bodies, SoftLandingSoundOfLargeBodies) {
  struct Case {
    const char* name;
    bool settling;
    std::vector<int> effects;
  };
  const Case cases[] = {
      {"landing sound", false, {1}},
      {"quiet while the zone settles", true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WorldHarness h(worldGame(R"(<entrance x="500" y="20" level="0"/>
        <block oname="floor" x="-50" y="0" w="700" h="20" flg="solid"/>
        <block oname="crate" x="0" y="40" w="30" h="30" flg="dynamic,solid"/>)"),
                   c.settling);
    ObjectRecord& crate = h.obj("crate");
    ASSERT_GT(stepUntilLanded(h, crate), 0);
    EXPECT_EQ(crate.support, &h.obj("floor"));
    EXPECT_EQ(crate.y, 20.0f);
    EXPECT_EQ(h.effects, c.effects);
  }
}

TEST(Bodies, SupportEdges) {
  struct Case {
    const char* name;
    float x;
    bool keeps;
  };
  // The floor spans 0 to 100; the player is 20 wide.
  const Case cases[] = {
      {"right edge exactly", 100.0f, true},
      {"just beyond the right edge", 100.0001f, false},
      {"left edge exactly", -20.0f, true},
      {"just beyond the left edge", -20.0001f, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WorldHarness h(worldGame(R"(<entrance x="40" y="20" level="0"/>
        <block oname="floor" x="0" y="0" w="100" h="20" flg="solid"/>)"));
    ObjectRecord& p = h.player();
    ObjectRecord& floor = h.obj("floor");
    WorldHarness::standOn(p, floor, c.x);
    floor.vy = 3.0f;  // a support's vertical speed goes with an object that leaves it
    h.bodiesFrame();
    if (c.keeps) {
      EXPECT_EQ(p.support, &floor);
      EXPECT_FALSE(airborne(p));
      EXPECT_EQ(p.y, 20.0f);
      EXPECT_EQ(p.vy, 0.0f);
    } else {
      EXPECT_EQ(p.support, nullptr);
      EXPECT_TRUE(airborne(p));
      EXPECT_EQ(p.vy, 3.0f - kGravity);
      EXPECT_EQ(p.y, 20.0f + (3.0f - kGravity));
    }
  }
}

TEST(Bodies, LostSupportWhenItStopsBeingSolidOrChangesLevel) {
  const char* const cases[] = {"not solid", "other level"};
  for (const char* c : cases) {
    SCOPED_TRACE(c);
    WorldHarness h(worldGame(R"(<entrance x="40" y="20" level="0"/>
        <block oname="floor" x="0" y="0" w="100" h="20" level="0" flg="solid"/>)",
                             "", "", R"(<level z="0" unlocked="1"/><level z="100"/>)"));
    ObjectRecord& p = h.player();
    ObjectRecord& floor = h.obj("floor");
    WorldHarness::standOn(p, floor, 40.0f);
    if (std::string(c) == "not solid") {
      floor.flags &= ~flag::Solid;
    } else {
      floor.level = 1;
    }
    h.bodiesFrame();
    EXPECT_EQ(p.support, nullptr);
    EXPECT_TRUE(airborne(p));
    EXPECT_EQ(p.y, 20.0f - kGravity);
  }
}

TEST(Bodies, MovingSupportCarriesItsStack) {
  // The lift moves 20 a frame to the right (a saw wave over 0..80 at a quarter
  // cycle per frame); a crate stands on it and the player on the crate.
  WorldHarness h(worldGame(R"(<entrance x="300" y="50" level="0"/>
      <block oname="lift" y="0" w="60" h="10" flg="solid,cyclic,motion" wave="saw" freq="15"
             xlim="0,80" ylim="0,0"/>
      <block oname="crate" x="30" y="10" w="20" h="20" flg="dynamic,solid"/>)"));
  ObjectRecord& lift = h.obj("lift");
  ObjectRecord& crate = h.obj("crate");
  ObjectRecord& p = h.player();
  ASSERT_EQ(lift.x, 20.0f);
  WorldHarness::standOn(crate, lift, 30.0f);
  WorldHarness::standOn(p, crate, 30.0f);

  h.bodiesFrame();
  EXPECT_EQ(lift.x, 40.0f);
  EXPECT_EQ(crate.x, 50.0f);
  EXPECT_EQ(p.x, 50.0f);
  EXPECT_EQ(p.y, 30.0f);
  EXPECT_EQ(crate.vx, 0.0f) << "carrying moves the position, not the velocity";

  h.bodiesFrame();
  EXPECT_EQ(lift.x, 60.0f);
  EXPECT_EQ(crate.x, 70.0f);
  EXPECT_EQ(p.x, 70.0f);
  EXPECT_EQ(p.support, &crate);
  EXPECT_EQ(crate.support, &lift);
}

TEST(Bodies, SupportCycleAndHugeCoordinatesEndTheStep) {
  WorldHarness h(worldGame(R"(<entrance x="300" y="50" level="0"/>
      <block oname="a" x="0" y="0" w="20" h="20" flg="dynamic,solid"/>
      <block oname="b" x="0" y="20" w="20" h="20" flg="dynamic,solid"/>)"));
  ObjectRecord& a = h.obj("a");
  ObjectRecord& b = h.obj("b");
  // Each stands on the other: a chain that never ends.
  a.support = &b;
  b.support = &a;
  a.flags &= ~flag::Airborne;
  b.flags &= ~flag::Airborne;
  a.vx = 1.0f;
  b.vx = 2.0f;
  h.bodiesFrame();
  EXPECT_TRUE(std::isfinite(a.x));
  EXPECT_TRUE(std::isfinite(b.x));

  // A seat far out, where 0.0005 steps vanish.
  WorldHarness h2(worldGame(R"(<entrance x="0" y="50" level="0"/>
      <block oname="far" x="0" y="0" w="100" h="20" flg="solid"/>)", R"(ylim="-1e38,3e38")"));
  ObjectRecord& far = h2.obj("far");
  far.y = 1e37f;
  WorldHarness::standOn(h2.player(), far, 10.0f);
  h2.bodiesFrame();
  EXPECT_EQ(h2.player().y, far.y + far.h);
}

// ---------------------------------------------------------------------------
// Bounce and hard landing

TEST(Bodies, BounceOnceThenLandThenBounceAgain) {
  WorldHarness h(worldGame(R"(<entrance x="0" y="40" level="0"/>
      <block oname="pad" x="-50" y="0" w="100" h="20" flg="solid,bouncy" fall="12"/>)"));
  ObjectRecord& p = h.player();
  ObjectRecord& pad = h.obj("pad");
  ASSERT_EQ(pad.freq, 12.0f);
  h.world().leapLatch = 0;

  ASSERT_EQ(stepUntilEffect(h), 8);
  EXPECT_EQ(h.effects, std::vector<int>{8});
  EXPECT_EQ(p.vy, 12.0f);
  EXPECT_EQ(p.y, 20.0f);
  EXPECT_EQ(h.world().lastBounceObject, &pad);
  EXPECT_EQ(h.world().bounceFrames, 7);
  EXPECT_EQ(h.world().leapLatch, 3);
  EXPECT_EQ(p.support, nullptr);
  EXPECT_TRUE(airborne(p));

  h.bodiesFrame();
  EXPECT_EQ(h.world().bounceFrames, 6);
  EXPECT_EQ(p.vy, 12.0f - kGravity);

  // Down again on the same pad: an ordinary landing, which ends the bounce memory.
  h.effects.clear();
  ASSERT_GT(stepUntilLanded(h, p), 0);
  EXPECT_TRUE(h.effects.empty());
  EXPECT_EQ(p.support, &pad);
  EXPECT_FALSE(airborne(p));
  EXPECT_EQ(h.world().lastBounceObject, nullptr);

  // Lifted and dropped: it bounces again.
  p.y = 40.0f;
  p.support = nullptr;
  p.flags |= flag::Airborne;
  ASSERT_GT(stepUntilEffect(h), 0);
  EXPECT_EQ(h.effects, std::vector<int>{8});
  EXPECT_EQ(p.vy, 12.0f);
}

TEST(Bodies, BounceSpeedFromFallOrImpact) {
  struct Case {
    const char* name;
    float fall;
    float vy;            // expected player vy; NaN: compare as NaN
    int32_t bounceFrames;
  };
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  // The drop: from 20.5005 with vy -3.3 (after gravity -4.0) into the pad's top at 20.
  const float impact = std::fabs((20.5005f + (-3.3f - kGravity)) - 20.5005f);
  const Case cases[] = {
      {"no fall: the impact speed", 0.0f, impact, static_cast<int32_t>(impact) / 2 + 1},
      {"fall 7", 7.0f, 7.0f, 4},
      {"infinite fall", inf, inf, INT32_MAX / 2 + 1},
      {"not a number", nan, nan, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WorldHarness h(worldGame(R"(<entrance x="0" y="40" level="0"/>
        <block oname="pad" x="-50" y="0" w="100" h="20" flg="solid,bouncy"/>)"));
    ObjectRecord& p = h.player();
    h.obj("pad").freq = c.fall;
    p.y = 20.5005f;
    p.vy = -3.3f;
    h.bodiesFrame();
    ASSERT_EQ(h.effects, std::vector<int>{8});
    EXPECT_EQ(p.y, 20.0f);
    if (std::isnan(c.vy)) {
      EXPECT_TRUE(std::isnan(p.vy));
    } else {
      EXPECT_EQ(p.vy, c.vy);
    }
    EXPECT_EQ(h.world().bounceFrames, c.bounceFrames);
  }
}

TEST(Bodies, HardLandings) {
  struct Case {
    const char* name;
    float w, h;
    bool invisible;
    std::vector<int> effects;
    float shake;
  };
  const Case cases[] = {
      {"small body", 20.0f, 20.0f, false, {1}, 0.0f},
      {"large body shakes the screen", 200.0f, 200.0f, false, {1}, 0.2f},
      {"invisible body is silent", 200.0f, 200.0f, true, {}, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WorldHarness h(worldGame(R"(<entrance x="600" y="20" level="0"/>
        <block oname="floor" x="-50" y="0" w="1000" h="20" flg="solid"/>
        <block oname="crate" x="0" y="500" w="20" h="20" flg="dynamic,solid"/>)",
                             R"(ylim="-100,2000")"));
    ObjectRecord& crate = h.obj("crate");
    crate.w = c.w;
    crate.h = c.h;
    if (c.invisible) crate.flags |= flag::Invisible;
    // Falling at the speed limit: one frame moves it by 14.5 + gravity.
    crate.y = 30.0f;
    crate.vy = -20.0f;
    h.bodiesFrame();
    EXPECT_EQ(h.effects, c.effects);
    EXPECT_EQ(crate.vy, (-14.5f - kGravity) * -0.3f);
    EXPECT_EQ(crate.support, nullptr) << "a hard landing keeps it in the air";
    EXPECT_TRUE(airborne(crate));
    EXPECT_EQ(crate.y, 20.0f);
    EXPECT_EQ(h.game->script.screenEffects.shakeAmount, c.shake);
    if (c.shake > 0.0f) {
      EXPECT_EQ(h.game->script.screenEffects.shakeDecay, 0.9f);
    }
  }
}

TEST(Bodies, LandingOnASupportRisingFastIsSoft) {
  struct Case {
    const char* name;
    float supportVy;
    bool hard;
  };
  const Case cases[] = {
      {"support rising at 14.5", 14.5f, false},
      {"support rising at 14.4", 14.4f, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WorldHarness h(worldGame(R"(<entrance x="0" y="40" level="0"/>
        <block oname="lift" x="-50" y="0" w="100" h="20" flg="solid"/>)"));
    ObjectRecord& p = h.player();
    ObjectRecord& lift = h.obj("lift");
    // The lift rose from 0 to 14.5 this frame; the player, above its old top,
    // rose by 0.9: relative to the lift it fell by 13.6.
    lift.prevY = 0.0f;
    lift.y = 14.5f;
    lift.vy = c.supportVy;
    p.prevX = p.x;
    p.prevY = 25.0f;
    p.y = 25.0f;
    p.vy = 0.9f;
    p.gravity = 0.0f;
    stepBodies(*h.game);  // positions as set: no motion update
    if (c.hard) {
      EXPECT_EQ(h.effects, std::vector<int>{1});
      EXPECT_EQ(p.vy, 0.9f * -0.3f);
      EXPECT_EQ(p.support, nullptr);
    } else {
      EXPECT_TRUE(h.effects.empty());
      EXPECT_EQ(p.support, &lift);
    }
    EXPECT_EQ(p.y, 34.5f);
  }
}

// ---------------------------------------------------------------------------
// Squeeze, deadly blocks, faces

TEST(Bodies, PlayerSqueezedFromBothSidesDies) {
  WorldHarness h(worldGame(R"(<entrance x="50" y="100" level="0"/>
      <block oname="left" x="35" y="90" w="20" h="40" flg="solid"/>
      <block oname="right" x="65" y="90" w="20" h="40" flg="solid"/>)"));
  ObjectRecord& p = h.player();
  ObjectRecord& left = h.obj("left");
  ObjectRecord& right = h.obj("right");
  // Both walls moved 15 toward the player in this frame.
  left.prevX = 20.0f;
  right.prevX = 80.0f;
  left.prevY = left.y;
  right.prevY = right.y;
  p.x = 50.0f;
  p.prevX = 50.0f;
  p.y = 100.0f;
  p.prevY = 100.0f;
  p.vy = 0.0f;
  p.gravity = 0.0f;
  p.contacts = 0;
  stepBodies(*h.game);
  EXPECT_TRUE(h.world().playerDead);
  EXPECT_EQ(h.game->app.playerBlinkPending, 1);
  EXPECT_EQ(p.contacts, 0) << "the contact bits go back to what they were before the pass";
}

TEST(Bodies, BlockSqueezedBetweenFloorAndPressIsKilled) {
  WorldHarness h(worldGame(R"(<entrance x="300" y="20" level="0"/>
      <block oname="floor" x="-50" y="0" w="500" h="20" flg="solid"/>
      <block oname="crate" x="0" y="20" w="20" h="20" flg="dynamic,solid,hasface"><die><sound num="9"/></die></block>
      <block oname="press" x="-10" y="35" w="40" h="20" flg="solid"/>)"));
  ObjectRecord& crate = h.obj("crate");
  ObjectRecord& press = h.obj("press");
  WorldHarness::standOn(crate, h.obj("floor"), 0.0f);
  press.prevX = press.x;
  press.prevY = 45.0f;  // came down by 10 into the crate
  WorldHarness::standOn(h.player(), h.obj("floor"), 300.0f);
  stepBodies(*h.game);
  EXPECT_EQ(crate.flags, flag::Killed | flag::NoBorder | flag::Invisible | flag::HasFace);
  EXPECT_EQ(h.effects, std::vector<int>{4});
  ASSERT_EQ(h.game->script.queue.size(), 1u);
  const ScriptQueueEntry& e = *h.game->script.queue.front();
  EXPECT_EQ(e.object, &crate);
  EXPECT_EQ(e.script->name, "die");
  EXPECT_EQ(e.delay, 0);
  EXPECT_EQ(press.y, 35.0f);
}

TEST(Bodies, DeadlyBlock) {
  struct Case {
    const char* name;
    const char* death;
    bool dead;
    std::vector<std::string> trace;
  };
  const Case cases[] = {
      {"no death script: the death waits for player control", "", true, {}},
      {"death script runs at once", R"(<death><sound num="66"/></death>)", false, {"66"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WorldHarness h(worldGame(std::string(R"(<entrance x="0" y="30" level="0"/>
        <block oname="spikes" x="-50" y="0" w="100" h="20" flg="solid,deadly"/>)") + c.death,
                             R"(ylim="-500,1100")"));
    ObjectRecord& p = h.player();
    int frames = 0;
    while (!h.world().playerDead && worldTrace().empty() && frames < 20) {
      h.bodiesFrame();
      ++frames;
    }
    EXPECT_EQ(frames, 5);
    EXPECT_EQ(h.world().playerDead, c.dead);
    EXPECT_EQ(worldTrace(), c.trace);
    EXPECT_EQ(h.game->app.playerBlinkPending, 1);
    EXPECT_EQ(p.support, nullptr) << "a deadly block is not solid for the player";
    EXPECT_LT(p.y, 20.0f);
  }
}

TEST(Bodies, DeadlyAndFaceObjects) {
  struct Case {
    const char* name;
    const char* fallerFlags;
    const char* baseFlags;
    bool fallerKilled;
    bool baseKilled;
  };
  const Case cases[] = {
      {"deadly falls on a face", "dynamic,solid,deadly", "solid,hasface", false, true},
      {"face falls on a deadly block", "dynamic,solid,hasface", "solid,deadly", true, false},
      {"plain on a face", "dynamic,solid", "solid,hasface", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WorldHarness h(worldGame(std::string(R"(<entrance x="500" y="20" level="0"/>
        <block oname="floor" x="400" y="0" w="200" h="20" flg="solid"/>
        <block oname="faller" x="0" y="30" w="20" h="20" flg=")") +
                             c.fallerFlags + R"("/><block oname="base" x="-10" y="0" w="40" h="20" flg=")" +
                             c.baseFlags + R"("/>)"));
    ASSERT_GT(stepUntilLanded(h, h.obj("faller")), 0);
    EXPECT_EQ(h.obj("faller").has(flag::Killed), c.fallerKilled);
    EXPECT_EQ(h.obj("base").has(flag::Killed), c.baseKilled);
    const bool anyKilled = c.fallerKilled || c.baseKilled;
    EXPECT_EQ(h.effects, anyKilled ? std::vector<int>{4} : std::vector<int>{});
  }
}

TEST(Bodies, HeavyClassesCrush) {
  const char* const classes = R"(<class name="heavy" eflags="heavy" acc="0,6" flg="dynamic,solid"/>)";
  // A heavy object landing on a dynamic one kills it.
  {
    WorldHarness h(worldGame(R"(<entrance x="500" y="20" level="0"/>
        <block oname="floor" x="-50" y="0" w="800" h="20" flg="solid"/>
        <block oname="anvil" class="heavy" x="0" y="60" w="20" h="20"/>
        <block oname="box" x="-10" y="20" w="40" h="20" flg="dynamic,solid"/>)",
                             "", classes));
    WorldHarness::standOn(h.obj("box"), h.obj("floor"), -10.0f);
    WorldHarness::standOn(h.player(), h.obj("floor"), 500.0f);
    ASSERT_GT(stepUntilLanded(h, h.obj("anvil")), 0);
    EXPECT_TRUE(h.obj("box").has(flag::Killed));
  }
  // A non-player object that hits its head on a heavy one is killed.
  {
    WorldHarness h(worldGame(R"(<entrance x="500" y="20" level="0"/>
        <block oname="floor" x="-50" y="0" w="800" h="20" flg="solid"/>
        <block oname="box" x="0" y="20" w="20" h="20" flg="dynamic,solid"/>
        <block oname="anvil" class="heavy" x="-10" y="45" w="40" h="20"/>)",
                             "", classes));
    ObjectRecord& anvil = h.obj("anvil");
    ObjectRecord& box = h.obj("box");
    // The box must come before the anvil in the list to pair with it.
    box.priority = 9;
    sortObjects(h.world());
    WorldHarness::standOn(box, h.obj("floor"), 0.0f);
    WorldHarness::standOn(h.player(), h.obj("floor"), 500.0f);
    box.vy = 8.0f;
    box.flags |= flag::Airborne;
    box.support = nullptr;
    anvil.flags &= ~flag::Dynamic;  // held in place
    h.bodiesFrame();
    EXPECT_EQ(box.y, anvil.y - 20.0f - 0.0005f) << "pushed down under the anvil";
    EXPECT_TRUE(box.has(flag::Killed));
  }
}

// ---------------------------------------------------------------------------
// Checkpoints

TEST(Bodies, Checkpoints) {
  struct Case {
    const char* name;
    const char* colour;
    int32_t colour1, colour2;
  };
  const Case cases[] = {
      {"with a colour", R"(color="00FF00")", 0x00FF00, 0xFFFFFF},
      {"without a colour", "", 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WorldHarness h(worldGame(std::string(R"(<entrance x="80" y="20" level="0"/>
        <block oname="floor" x="-50" y="-20" w="400" h="20" flg="solid"/>
        <block oname="cp" x="100" y="0" w="30" flg="checkpoint,solid" phase="90" )") +
                             c.colour + R"(><standon times="1"><sound num="5"/></standon></block>)"));
    ObjectRecord& p = h.player();
    ObjectRecord& cp = h.obj("cp");
    ASSERT_EQ(cp.x, 85.0f);
    ASSERT_EQ(cp.h, 30.0f);
    h.world().fadeAmount = 0.0f;
    h.bodiesFrame();
    EXPECT_EQ(h.world().currentCheckpoint, &cp);
    EXPECT_EQ(h.world().respawnPoint.x, 90.0f);
    EXPECT_EQ(h.world().respawnPoint.y, 5.0f);
    EXPECT_EQ(h.world().respawnPoint.level, 0);
    EXPECT_EQ(h.effects, std::vector<int>{7});
    EXPECT_EQ(cp.colour1, c.colour1);
    EXPECT_EQ(cp.colour2, c.colour2);
    EXPECT_EQ(cp.phase, 0.0f);
    EXPECT_EQ(h.world().fadeFromColour, p.colour1);
    EXPECT_EQ(h.world().fadeAmount, 1.0f);
    EXPECT_EQ(cp.standOnTimes, 0);
    ASSERT_EQ(h.game->script.queue.size(), 1u);
    EXPECT_EQ(h.game->script.queue.front()->object, &cp);

    // Not solid: the player falls through it to the floor, and touches it only once.
    h.bodiesFrames(20);
    EXPECT_EQ(p.support, &h.obj("floor"));
    EXPECT_EQ(p.y, 0.0f);
    EXPECT_EQ(h.effects, std::vector<int>{7});
    EXPECT_EQ(h.game->script.queue.size(), 1u);
  }
}

TEST(Bodies, CheckpointStandOnScriptRunsWhileSettlingAndOtherObjectsPassThrough) {
  WorldHarness h(worldGame(R"(<entrance x="80" y="40" level="0"/>
      <block oname="floor" x="-50" y="-20" w="400" h="20" flg="solid"/>
      <block oname="cp" x="100" y="0" w="30" flg="checkpoint,solid"><standon><sound num="5"/></standon></block>
      <block oname="crate" x="105" y="60" w="10" h="10" flg="dynamic,solid"/>)"),
                 /*settling=*/true);
  ObjectRecord& crate = h.obj("crate");
  h.bodiesFrames(30);
  EXPECT_EQ(h.game->script.queue.size(), 1u) << "a checkpoint's script is queued while settling too";
  EXPECT_EQ(crate.support, &h.obj("floor"));
  EXPECT_EQ(crate.y, 0.0f);
}

TEST(Bodies, StandOnScriptOfANewSupport) {
  struct Case {
    const char* name;
    bool settling;
    const char* times;
    size_t queued;
    int16_t timesAfter;
  };
  const Case cases[] = {
      {"unlimited", false, "", 1, -1},
      {"counted", false, R"(times="2")", 1, 1},
      {"used up", false, R"(times="0")", 0, 0},
      {"quiet while settling", true, "", 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WorldHarness h(worldGame(std::string(R"(<entrance x="0" y="30" level="0"/>
        <block oname="floor" x="-50" y="0" w="200" h="20" flg="solid"><standon )") +
                                 c.times + R"(><sound num="3"/></standon></block>)"),
                   c.settling);
    ObjectRecord& floor = h.obj("floor");
    ASSERT_GT(stepUntilLanded(h, h.player()), 0);
    EXPECT_EQ(h.game->script.queue.size(), c.queued);
    EXPECT_EQ(floor.standOnTimes, c.timesAfter);
    h.bodiesFrames(3);
    EXPECT_EQ(h.game->script.queue.size(), c.queued) << "standing on is not a new support";
  }
}

// ---------------------------------------------------------------------------
// Classes

const char* const kClasses = R"(
  <class name="walker" acc="0.5,6" speed="2" cover="100" flg="dynamic,solid"/>
  <class name="shy" acc="0.5,6" speed="2" cover="100" eflags="approach" flg="dynamic,solid"/>
  <class name="greedy" acc="0.5,6" speed="2" eflags="greedy" flg="dynamic,solid"/>
  <class name="roamer" acc="0.5,6" speed="2" eflags="alllevels" flg="dynamic,solid"/>)";

TEST(Bodies, ClassChase) {
  struct Case {
    const char* name;
    const char* cls;
    float walkerX, playerX;
    float startVx;
    bool playerOnOtherFloor;
    bool bothInAir;
    int playerLevel;
    float vx;  // NaN: braked (startVx times the class's brake)
  };
  const float braked = std::numeric_limits<float>::quiet_NaN();
  const Case cases[] = {
      {"near, player to the right", "walker", 100.0f, 150.0f, 0.0f, false, false, 0, 0.5f},
      {"near, player to the left", "walker", 100.0f, 50.0f, 0.0f, false, false, 0, -0.5f},
      {"centres equal: to the left", "walker", 100.0f, 100.0f, 0.0f, false, false, 0, -0.5f},
      {"speed limit", "walker", 100.0f, 150.0f, 1.8f, false, false, 0, 2.0f},
      {"far: brakes", "walker", 100.0f, 300.0f, 1.0f, false, false, 0, braked},
      {"approach, near: brakes", "shy", 100.0f, 150.0f, 1.0f, false, false, 0, braked},
      {"approach, far: chases", "shy", 100.0f, 300.0f, 0.0f, false, false, 0, 0.5f},
      {"other level: brakes", "walker", 100.0f, 150.0f, 1.0f, false, false, 1, braked},
      {"all levels: chases", "roamer", 100.0f, 150.0f, 0.0f, false, false, 1, 0.5f},
      {"greedy, same floor", "greedy", 100.0f, 150.0f, 0.0f, false, false, 0, 0.5f},
      {"greedy, other floor: brakes", "greedy", 100.0f, 450.0f, 1.0f, true, false, 0, braked},
      {"greedy, both in the air", "greedy", 100.0f, 450.0f, 0.0f, true, true, 0, 0.5f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WorldHarness h(worldGame(std::string(R"(<entrance x="0" y="20" level="0"/>
        <block oname="floor" x="0" y="0" w="400" h="20" flg="solid"/>
        <block oname="floor2" x="420" y="0" w="100" h="20" flg="solid"/>
        <block oname="m" class=")") + c.cls + R"(" x="0" y="20" w="20" h="20"/>)",
                             R"(ylim="-5000,1100")", kClasses,
                             R"(<level z="0" unlocked="1"/><level z="100"/>)"));
    ObjectRecord& m = h.obj("m");
    ObjectRecord& p = h.player();
    WorldHarness::standOn(m, h.obj("floor"), c.walkerX);
    WorldHarness::standOn(p, c.playerOnOtherFloor ? h.obj("floor2") : h.obj("floor"), c.playerX);
    p.level = static_cast<int8_t>(c.playerLevel);
    if (c.bothInAir) {
      for (ObjectRecord* o : {&m, &p}) {
        o->support = nullptr;
        o->flags |= flag::Airborne;
      }
    }
    m.vx = c.startVx;
    const float expected = std::isnan(c.vx) ? c.startVx * m.objectClass->brake : c.vx;
    h.bodiesFrame();
    EXPECT_EQ(m.vx, expected);
    EXPECT_EQ(m.x, c.walkerX + expected);
  }
}

TEST(Bodies, ClassStomp) {
  struct Case {
    const char* name;
    const char* sound;
    float playerX;
    bool jumps;
    std::vector<int> effects;
  };
  const Case cases[] = {
      {"close: jumps with its sound", "12", 21.0f, true, {12}},
      {"too far to reach", "12", 25.0f, false, {}},
      {"sound slot out of range plays nothing", "30", 21.0f, true, {}},
      {"no sound", "-1", 21.0f, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WorldHarness h(worldGame(R"(<entrance x="0" y="20" level="0"/>
        <block oname="floor" x="-100" y="0" w="400" h="20" flg="solid"/>
        <block oname="m" class="stomper" x="0" y="20" w="20" h="20"/>)",
                             "", std::string(R"(<class name="stomper" acc="0.5,6" eflags="stomping" asound=")") +
                                     c.sound + R"(" flg="dynamic,solid"/>)"));
    ObjectRecord& m = h.obj("m");
    WorldHarness::standOn(m, h.obj("floor"), 0.0f);
    WorldHarness::standOn(h.player(), h.obj("floor"), c.playerX);
    h.bodiesFrame();
    EXPECT_EQ(h.effects, c.effects);
    if (c.jumps) {
      EXPECT_TRUE(airborne(m));
      EXPECT_EQ(m.support, nullptr);
      EXPECT_EQ(m.vy, 6.0f - kGravity);
    } else {
      EXPECT_FALSE(airborne(m));
      EXPECT_EQ(m.vy, 0.0f);
    }
  }
}

TEST(Bodies, ClassLeapAndSmartEdges) {
  struct Case {
    const char* name;
    const char* eflags;
    float x;
    bool jumps;
    float vx;
  };
  const Case cases[] = {
      {"leaper steps over the edge: jumps", "leaping", 79.6f, true, 0.5f},
      {"leaper short of the edge", "leaping", 79.0f, false, 0.5f},
      {"leaper already past the edge line", "leaping", 80.5f, false, 0.5f},
      {"smart keeps off the edge", "smart", 80.5f, false, 0.5f / 1048576.0f},
      {"smart away from the edge", "smart", 50.0f, false, 0.5f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WorldHarness h(worldGame(R"(<entrance x="0" y="20" level="0"/>
        <block oname="floor" x="0" y="0" w="100" h="20" flg="solid"/>
        <block oname="far" x="200" y="0" w="100" h="20" flg="solid"/>
        <block oname="m" class="edgy" x="0" y="20" w="20" h="20"/>)",
                             "", std::string(R"(<class name="edgy" acc="0.5,6" eflags=")") + c.eflags +
                                     R"(" flg="dynamic,solid"/>)"));
    ObjectRecord& m = h.obj("m");
    WorldHarness::standOn(m, h.obj("floor"), c.x);
    WorldHarness::standOn(h.player(), h.obj("far"), 250.0f);
    h.bodiesFrame();
    EXPECT_EQ(airborne(m), c.jumps);
    EXPECT_EQ(h.effects, c.jumps ? std::vector<int>{0} : std::vector<int>{});
    EXPECT_EQ(m.vx, c.vx);
    if (c.jumps) {
      EXPECT_EQ(m.vy, 6.0f - kGravity);
    }
  }
}

TEST(Bodies, ClassHopAtAWall) {
  struct Case {
    const char* name;
    const char* eflags;
    int hops;
    bool hop;
    int drawsTaken;
  };
  // Table entry 11 is 0.048 (48 in a thousand), entry 12 is 0.303.
  const Case cases[] = {
      {"jumping, chance 100", "jumping", 100, true, 2},
      {"jumping, chance 50", "jumping", 50, true, 2},
      {"jumping, chance 40", "jumping", 40, false, 1},
      {"not jumping still draws", "", 100, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WorldHarness h(worldGame(R"(<entrance x="0" y="20" level="0"/>
        <block oname="floor" x="0" y="0" w="400" h="20" flg="solid"/>
        <block oname="wall" x="70.3" y="20" w="20" h="100" flg="solid"/>
        <block oname="m" class="hopper" x="0" y="20" w="20" h="20"/>)",
                             "", std::string(R"(<class name="hopper" acc="0.5,8" hops=")") +
                                     std::to_string(c.hops) + R"(" eflags=")" + c.eflags +
                                     R"(" flg="dynamic,solid"/>)"));
    ObjectRecord& m = h.obj("m");
    ObjectRecord& p = h.player();
    WorldHarness::standOn(m, h.obj("floor"), 50.0f);
    WorldHarness::standOn(p, h.obj("floor"), 200.0f);
    p.contacts = 8;
    ASSERT_NE(m.objectClass, nullptr);
    ASSERT_EQ(h.game->random.table.values[11], 0.048f);
    h.game->random.table.index = 10;
    h.bodiesFrame();
    EXPECT_EQ(m.contacts & 1, 1);
    EXPECT_EQ(m.x, 70.3f - 20.0f - 0.0005f);
    EXPECT_EQ(h.game->random.table.index, 10 + c.drawsTaken);
    EXPECT_EQ(airborne(m), c.hop);
    if (c.hop) {
      const float r2 = h.game->random.table.values[12];
      EXPECT_EQ(m.vy, 8.0f * (static_cast<float>(c.hops) + r2 * static_cast<float>(100 - c.hops)) * 0.01f);
      EXPECT_EQ(m.support, nullptr);
    }
    // The push is taken off the velocity: 0.5 forward, pushed back by 0.2005.
    EXPECT_EQ(m.vx, 0.5f + ((70.3f - 20.0f - 0.0005f) - 50.5f));
  }
}

// ---------------------------------------------------------------------------
// Slides, falling out, zone limits, kills

TEST(Bodies, ScriptedSlide) {
  struct Case {
    const char* name;
    float x, target, vx;
    float xAfter;
    bool stillSliding;
  };
  const Case cases[] = {
      {"toward a target on the right", 0.0f, 100.0f, 30.0f, 30.0f, true},
      {"toward a target on the left", 100.0f, 0.0f, 30.0f, 70.0f, true},
      {"arrives", 90.0f, 100.0f, 30.0f, 100.0f, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WorldHarness h(worldGame(R"(<entrance x="0" y="20" level="0"/>
        <block oname="floor" x="-100" y="0" w="400" h="20" flg="solid"/>
        <block oname="sled" x="0" y="20" w="10" h="10" flg="dynamic,solid"/>)"));
    ObjectRecord& sled = h.obj("sled");
    WorldHarness::standOn(sled, h.obj("floor"), c.x);
    WorldHarness::standOn(h.player(), h.obj("floor"), 250.0f);
    sled.flags |= flag::Sliding;
    sled.slideTarget = c.target;
    sled.vx = c.vx;
    h.bodiesFrame();
    EXPECT_EQ(sled.x, c.xAfter);
    EXPECT_EQ(sled.has(flag::Sliding), c.stillSliding);
    EXPECT_EQ(sled.vx, c.stillSliding ? c.vx : 0.0f);
  }
}

TEST(Bodies, DampingAndSpeedLimit) {
  WorldHarness h(worldGame(R"(<entrance x="0" y="500" level="0"/>
      <block oname="box" x="0" y="200" w="10" h="10" flg="dynamic"/>)"));
  ObjectRecord& box = h.obj("box");
  ObjectRecord& p = h.player();
  box.vx = 20.0f;
  p.vx = 20.0f;
  p.vy = 30.0f;
  h.bodiesFrame();
  EXPECT_EQ(box.vx, 14.5f) << "0.9 damping, then the limit";
  EXPECT_EQ(p.vx, 14.5f) << "no damping for the player";
  EXPECT_EQ(p.vy, 14.5f - kGravity) << "the limit comes before gravity";
  box.vx = 10.0f;
  h.bodiesFrame();
  EXPECT_EQ(box.vx, 10.0f * 0.9f);
}

TEST(Bodies, FallingOutOfTheZone) {
  WorldHarness h(worldGame(R"(<entrance x="0" y="20" level="0"/>
      <block oname="floor" x="-100" y="0" w="400" h="20" flg="solid"/>
      <block oname="rock" x="200" y="-110" w="10" h="10" flg="dynamic,solid"><die><sound num="1"/></die></block>)"));
  ObjectRecord& rock = h.obj("rock");
  WorldHarness::standOn(h.player(), h.obj("floor"), 0.0f);
  h.bodiesFrame();
  EXPECT_TRUE(rock.has(flag::Killed)) << "its top fell below the zone's lower limit";
  EXPECT_TRUE(h.effects.empty());
  EXPECT_TRUE(h.game->script.queue.empty());
  EXPECT_FALSE(h.world().playerDead);

  // The player outside the zone's box dies every frame until respawned.
  h.player().x = -1200.0f;
  h.bodiesFrame();
  EXPECT_TRUE(h.world().playerDead);
  h.world().playerDead = false;
  h.bodiesFrame();
  EXPECT_TRUE(h.world().playerDead);
}

TEST(Bodies, FallingOutOfTheZoneGoesByTheTopEdge) {
  // A tall block whose bottom is already below the lower limit stays while its
  // top edge is at or above it.
  struct Case {
    float belowTop;  // how far the top edge is below the limit (negative: above)
    bool killed;
  } cases[] = {{-30.0f, false}, {-0.5f, false}, {0.0f, false}, {0.5f, true}, {30.0f, true}};
  for (const Case& c : cases) {
    WorldHarness h(worldGame(R"(<entrance x="0" y="20" level="0"/>
        <block oname="floor" x="-100" y="0" w="400" h="20" flg="solid"/>
        <block oname="pillar" x="200" y="0" w="10" h="60" flg="dynamic,solid"/>)"));
    ObjectRecord& pillar = h.obj("pillar");
    WorldHarness::standOn(h.player(), h.obj("floor"), 0.0f);
    const float limit = h.world().zoneYlim1;
    pillar.gravity = 0.0f;
    pillar.vy = 0.0f;
    pillar.y = limit - c.belowTop - pillar.h;
    ASSERT_LT(pillar.y, limit);
    h.bodiesFrame();
    EXPECT_EQ(pillar.has(flag::Killed), c.killed) << c.belowTop;
  }
}

TEST(Bodies, KillObject) {
  WorldHarness h(worldGame(R"(<entrance x="0" y="20" level="0"/>
      <block oname="floor" x="-100" y="0" w="400" h="20" flg="solid"/>
      <block oname="base" x="100" y="20" w="20" h="20" flg="dynamic,solid,hasface,cyclic" wave="saw"><die/></block>
      <block oname="top" x="100" y="40" w="20" h="20" flg="dynamic,solid"/>)"));
  ObjectRecord& base = h.obj("base");
  ObjectRecord& top = h.obj("top");
  base.vy = 2.0f;
  top.support = &base;
  top.flags &= ~flag::Airborne;

  killObject(h.game->world, h.game->script, h.game->prefs.sound != 0, &base, 1);
  EXPECT_EQ(base.flags, flag::Killed | flag::NoBorder | flag::Invisible | flag::HasFace);
  EXPECT_EQ(top.support, nullptr) << "what stood on it falls";
  EXPECT_TRUE(airborne(top));
  EXPECT_EQ(top.vy, 2.0f - 0.0005f);
  EXPECT_EQ(h.effects, std::vector<int>{4});
  EXPECT_EQ(h.game->script.queue.size(), 1u);

  // Killed again: no sound and no die script.
  killObject(h.game->world, h.game->script, h.game->prefs.sound != 0, &base, 1);
  EXPECT_EQ(h.effects, std::vector<int>{4});
  EXPECT_EQ(h.game->script.queue.size(), 1u);

  // Without sound: the script is not queued either; with sound off it is.
  killObject(h.game->world, h.game->script, h.game->prefs.sound != 0, &top, 0);
  EXPECT_TRUE(top.has(flag::Killed));
  EXPECT_EQ(h.game->script.queue.size(), 1u);
  killObject(h.game->world, h.game->script, h.game->prefs.sound != 0, nullptr, 1);

  WorldHarness h2(worldGame(R"(<entrance x="0" y="20" level="0"/>
      <block oname="b" x="100" y="20" w="20" h="20" flg="solid"><die/></block>)"));
  h2.game->prefs.sound = 0;
  killObject(h2.game->world, h2.game->script, h2.game->prefs.sound != 0, &h2.obj("b"), 1);
  EXPECT_TRUE(h2.effects.empty());
  EXPECT_EQ(h2.game->script.queue.size(), 1u);
}

TEST(Bodies, EffectTimer) {
  struct Case {
    const char* name;
    uint32_t kind;
    int16_t frames;
    bool killed;
    int steps;
    bool invisibleAfter;
    uint32_t kindAfter;
  };
  const Case cases[] = {
      {"blink ends visible", 1, 3, false, 3, false, 0},
      {"blink still running", 1, 3, false, 2, true, 1},
      {"killed object ends invisible", 1, 2, true, 2, true, 0},
      {"other effect leaves visibility", 4, 1, false, 1, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WorldHarness h(worldGame(R"(<entrance x="0" y="20" level="0"/>
        <block oname="floor" x="-100" y="0" w="400" h="20" flg="solid"/>
        <block oname="lamp" x="100" y="20" w="20" h="20" flg="solid"/>)"));
    WorldHarness::standOn(h.player(), h.obj("floor"), 0.0f);
    ObjectRecord& lamp = h.obj("lamp");
    lamp.effectBits = c.kind;
    lamp.effectTimer = c.frames;
    lamp.flags |= flag::Invisible;
    if (c.killed) lamp.flags |= flag::Killed;
    h.bodiesFrames(c.steps);
    EXPECT_EQ(lamp.has(flag::Invisible), c.invisibleAfter);
    EXPECT_EQ(lamp.effectBits, c.kindAfter);
  }
}

// ---------------------------------------------------------------------------
// Respawn, deaths, leap levels, overlap test

TEST(Bodies, ObjectOverlapsLevel) {
  WorldHarness h(worldGame(R"(<entrance x="500" y="20" level="0"/>
      <block oname="a" x="0" y="0" w="20" h="20" level="1" flg="solid"/>
      <block oname="b" x="40" y="0" w="20" h="20" level="1"/>)",
                           "", "", R"(<level z="0" unlocked="1"/><level z="100"/>)"));
  ObjectRecord probe;
  probe.w = 20.0f;
  probe.h = 20.0f;
  struct Case {
    float x, y;
    int level;
    int result;
  };
  const Case cases[] = {
      {10.0f, 10.0f, 1, 1},  // overlaps the solid block
      {10.0f, 10.0f, 0, 0},  // other level
      {20.0f, 0.0f, 1, 0},   // only touches
      {45.0f, 0.0f, 1, 0},   // overlaps a block that is not solid
  };
  for (const Case& c : cases) {
    probe.x = c.x;
    probe.y = c.y;
    EXPECT_EQ(objectOverlapsLevel(h.world(), probe, c.level), c.result) << c.x << "," << c.level;
  }
  // An object never overlaps itself.
  EXPECT_EQ(objectOverlapsLevel(h.world(), h.obj("a"), 1), 0);
}

TEST(Bodies, FindLeapLevels) {
  struct Case {
    int level;
    uint32_t unlocked[4];
    int out, in;
  };
  const Case cases[] = {
      {1, {1, 0, 0, 1}, 3, 0},
      {1, {0, 1, 0, 0}, -1, -1},
      {0, {1, 0, 1, 1}, 2, -1},
      {3, {1, 1, 0, 1}, -1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level);
    WorldHarness h(worldGame(R"(<entrance x="0" y="20" level="0"/>)", "", "",
                             R"(<level z="0" color="FF0000"/><level z="10" color="00FF00"/>
                                <level z="20" color="0000FF"/><level z="30" color="FFFFFF"/>)"));
    for (int i = 0; i < 4; ++i) h.world().levels[static_cast<size_t>(i)].flags = c.unlocked[i];
    h.player().level = static_cast<int8_t>(c.level);
    h.world().backgroundColour = 0x123456;
    findLeapLevels(h.game->world);
    EXPECT_EQ(h.world().leapOutLevel, c.out);
    EXPECT_EQ(h.world().leapInLevel, c.in);
    EXPECT_EQ(h.world().fadeFromColour, 0x123456);
    EXPECT_EQ(h.world().fadeTargetColour, h.world().levels[static_cast<size_t>(c.level)].colour);
    EXPECT_EQ(h.world().fadeAmount, 1.0f);
  }
}

TEST(Bodies, PlayerLevelOutsideTheTableIsNeverLookedUp) {
  const int8_t levels[] = {3, 100, -1, -128};
  for (int8_t level : levels) {
    SCOPED_TRACE(static_cast<int>(level));
    WorldHarness h(worldGame(R"(<entrance x="0" y="20" level="0"/>
        <block oname="box" x="300" y="0" w="20" h="20" flg="dynamic"/>)",
                             "", "", R"(<level z="0" unlocked="1"/><level z="50" unlocked="1"/><level z="100"/>)"));
    ObjectRecord& p = h.player();
    p.level = level;
    p.z = 7.0f;
    h.obj("box").level = level;
    h.obj("box").z = 9.0f;
    h.bodiesFrame();
    EXPECT_EQ(p.z, 7.0f);
    EXPECT_EQ(h.obj("box").z, 9.0f);
    findLeapLevels(h.game->world);
    EXPECT_EQ(h.world().leapOutLevel, level < 0 ? 0 : -1);
    EXPECT_EQ(h.world().leapInLevel, level < 0 ? -1 : 1);
  }
}

TEST(Bodies, RespawnPlayer) {
  WorldHarness h(worldGame(R"(<entrance x="0" y="20" level="0"/>
      <death><sound num="1"/></death>)",
                           "", "", R"(<level z="0" unlocked="1"/><level z="50"/><level z="100"/>)"));
  World& w = h.world();
  ObjectRecord& p = h.player();
  struct Case {
    const char* name;
    int32_t level;
    int8_t expected;
  };
  const Case cases[] = {
      {"in the table", 2, 2},
      {"past the end: modulo the count", 7, 1},
      {"negative: nearest to the player's depth", -5, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    w.respawnPoint = RespawnPoint{12.0f, 34.0f, c.level};
    p.z = 49.0f;
    p.vx = 3.0f;
    p.vy = 4.0f;
    p.flags |= flag::Invisible;
    p.flags &= ~flag::Airborne;
    p.support = &p;
    w.playerDead = true;
    w.lastBounceObject = &p;
    w.bounceFrames = 9;
    w.leapLatch = 0;
    w.areaCameraDistance = 5.0f;
    for (LevelRecord& l : w.levels) l.flags = 0;
    const int32_t attempts = h.game->session.attempts;
    respawnPlayer(h.game->world, h.game->script, h.game->session, 1, 0);
    EXPECT_EQ(p.x, 12.0f);
    EXPECT_EQ(p.y, 34.0f + 0.0005f);
    EXPECT_EQ(p.level, c.expected);
    EXPECT_EQ(p.vx, 0.0f);
    EXPECT_EQ(p.vy, 0.0f);
    EXPECT_EQ(p.support, nullptr);
    EXPECT_TRUE(airborne(p));
    EXPECT_FALSE(p.has(flag::Invisible));
    EXPECT_EQ(w.levels[static_cast<size_t>(c.expected)].flags & 1u, 1u);
    EXPECT_FALSE(w.playerDead);
    EXPECT_EQ(w.lastBounceObject, nullptr);
    EXPECT_EQ(w.bounceFrames, 0);
    EXPECT_EQ(w.leapLatch, 3);
    EXPECT_EQ(w.areaCameraDistance, 0.0f);
    EXPECT_EQ(h.game->session.attempts, attempts + 1);
  }
}

TEST(Bodies, RespawnClearsTheRunningScriptUnlessItIsTheDeathScript) {
  struct Case {
    const char* name;
    bool deathScriptRunning;
    int resetAll;
    bool cleared;
  };
  const Case cases[] = {
      {"another script", false, 0, true},
      {"the death script", true, 0, false},
      {"the death script, full reset", true, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WorldHarness h(worldGame(R"(<entrance x="0" y="20" level="0"/>
        <death><sound num="1"/></death><start/>)"));
    ScriptState& s = h.game->script;
    s.runningScript = c.deathScriptRunning ? h.world().zoneDeathScript : h.world().zoneStartScript;
    s.scriptWaitFrames = 5;
    s.scriptFreeze = true;
    s.promptPending = true;
    s.playerFrozen = true;
    s.credits.running = true;
    respawnPlayer(h.game->world, h.game->script, h.game->session, 0, c.resetAll);
    EXPECT_EQ(s.runningScript == nullptr, c.cleared);
    EXPECT_EQ(s.scriptWaitFrames == 0, c.cleared);
    EXPECT_EQ(!s.scriptFreeze && !s.promptPending && !s.playerFrozen && !s.credits.running, c.cleared);
  }
}

TEST(Bodies, HandlePlayerDeath) {
  WorldHarness h(worldGame(R"(<entrance x="0" y="20" level="0"/>
      <death after="afterwards"/><sub id="afterwards"><sound num="2"/></sub>)"));
  World& w = h.world();
  ASSERT_NE(w.afterDeathScript, nullptr);
  w.respawnPoint = RespawnPoint{50.0f, 60.0f, 0};
  w.playerDead = true;
  h.game->session.deaths = 4;
  h.game->session.attempts = 7;
  w.backgroundColour = 0xABCDEF;
  handlePlayerDeath(h.game->world, h.game->script, h.game->session, h.game->prefs.sound != 0);
  EXPECT_EQ(h.game->session.deaths, 5);
  EXPECT_EQ(h.game->session.attempts, 8);
  EXPECT_EQ(h.player().x, 50.0f);
  EXPECT_FALSE(w.playerDead);
  EXPECT_EQ(w.deathControlLatch, 1);
  EXPECT_EQ(w.fadeFromColour, 0);
  EXPECT_EQ(w.fadeAmount, 1.0f);
  EXPECT_EQ(h.effects, std::vector<int>{4});
  ASSERT_EQ(h.game->script.queue.size(), 1u);
  EXPECT_EQ(h.game->script.queue.front()->script, w.afterDeathScript);
  EXPECT_EQ(h.game->script.queue.front()->object, nullptr);
}

// ---------------------------------------------------------------------------
// A death script that deletes objects in the middle of the pair pass

TEST(Bodies, DeathScriptKillsWhileSettlingWithoutPullingRecordsFromThePass) {
  // The player lands in the spikes; the death script kills the spikes, the
  // block after them and the checkpoint, which the queue, the camera and the
  // bounce memory refer to. While the zone settles, the end of that script
  // deletes what it killed.
  WorldHarness h(worldGame(R"(<entrance x="0" y="30" level="0"/>
      <block oname="spikes" x="-50" y="0" w="100" h="20" flg="solid,deadly"/>
      <block oname="after" x="-50" y="-30" w="100" h="10" flg="solid"/>
      <block oname="cp" x="300" y="0" w="20" flg="checkpoint"/>
      <block oname="pad" x="400" y="0" w="20" h="20" flg="solid,bouncy"/>
      <death><kill oname="spikes,after,cp,pad"/><sound num="1"/></death>)",
                           R"(ylim="-500,1100")"),
                 /*settling=*/true);
  World& w = h.world();
  ObjectRecord* cp = &h.obj("cp");
  ObjectRecord* pad = &h.obj("pad");
  w.currentCheckpoint = cp;
  w.lastBounceObject = pad;
  h.game->script.camera.lookAt = pad;
  queueScript(h.game->script, w.zoneDeathScript, cp);
  const int32_t count = w.objectCount;

  int frames = 0;
  while (worldTrace().empty() && frames < 20) {
    h.bodiesFrame();
    ++frames;
  }
  ASSERT_EQ(worldTrace(), std::vector<std::string>{"1"});
  EXPECT_EQ(testing::objectNames(*h.game), std::vector<std::string>{"you"});
  EXPECT_EQ(w.objectCount, count - 4);
  EXPECT_EQ(w.currentCheckpoint, nullptr);
  EXPECT_EQ(w.lastBounceObject, nullptr);
  EXPECT_EQ(h.game->script.camera.lookAt, nullptr);
  ASSERT_EQ(h.game->script.queue.size(), 1u);
  EXPECT_EQ(h.game->script.queue.front()->object, nullptr);
  EXPECT_EQ(w.player, &h.player());

  // Outside the settling time killed objects stay in the list.
  WorldHarness h2(worldGame(R"(<entrance x="0" y="30" level="0"/>
      <block oname="spikes" x="-50" y="0" w="100" h="20" flg="solid,deadly"/>
      <death><kill oname="spikes"/><sound num="1"/></death>)",
                            R"(ylim="-500,1100")"));
  for (int i = 0; i < 20 && worldTrace().empty(); ++i) h2.bodiesFrame();
  ASSERT_EQ(worldTrace(), std::vector<std::string>{"1"});
  EXPECT_TRUE(h2.obj("spikes").has(flag::Killed));
}

}  // namespace
}  // namespace zor
