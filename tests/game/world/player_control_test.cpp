#include "game/world/player_control.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "format/vocabulary.h"
#include "game/world/bodies.h"
#include "tests/game/world/play_test_support.h"

namespace zor {
namespace {

using testing::PlayHarness;
using testing::playZone;
using Keys = std::vector<int>;
using Strings = std::vector<std::string>;

namespace flag = format::flag;

constexpr int L = control::Left;
constexpr int R = control::Right;
constexpr int J = control::Jump;
constexpr int Up = control::LeapOut;
constexpr int Down = control::LeapIn;

// A solid floor named "floor" on level 0, its top at y 0.
const std::string kFloor = "<block oname=\"floor\" x=\"-500\" y=\"-20\" w=\"1000\" h=\"20\" level=\"0\" flg=\"solid\"/>";

// The player standing still on the floor, with control and no latches.
void standOnFloor(PlayHarness& h) {
  ObjectRecord& p = h.player();
  p.support = h.object("floor");
  p.flags &= ~flag::Airborne;
  p.x = 0.0f;
  p.y = 0.0f;
  p.vx = 0.0f;
  p.vy = 0.0f;
  p.facing = 0;
  h.world().leapLatch = 0;
  h.world().deathControlLatch = 0;
  h.world().jumpHoldFrames = 0;
}

void airborneAt(PlayHarness& h, float vy) {
  ObjectRecord& p = h.player();
  p.support = nullptr;
  p.flags |= flag::Airborne;
  p.vy = vy;
}

// The control step alone, with `held` down and `before` down in the frame before.
void controlStep(PlayHarness& h, const Keys& before, const Keys& held) {
  h.input(before);
  h.input(held);
  stepPlayerControls(h.g());
  h.actOnPause();
}

// ----- Walking --------------------------------------------------------------

TEST(PlayerControl, Walking) {
  struct WalkCase {
    const char* name;
    float startVx;
    bool airborne;
    std::vector<Keys> frames;
    std::vector<float> vx;
    int facing;
  };
  const Keys none;
  const WalkCase cases[] = {
      {"right from rest", 0.0f, false, {{R}, {R}, {R}, {R}, {R}, {R}}, {1, 2, 3, 4, 5, 5}, 1},
      {"the cap is tested before adding", 4.5f, false, {{R}, {R}}, {5.5f, 5.5f}, 1},
      {"left from rest", 0.0f, false, {{L}, {L}, {L}, {L}, {L}, {L}}, {-1, -2, -3, -4, -5, -5}, -1},
      {"right wins over left", 0.0f, false, {{L, R}, {L, R}}, {1, 2}, 1},
      {"turning", 3.0f, false, {{L}, {L}}, {2, 1}, -1},
      {"ground friction", 9.0f, false, {none, none, none}, {3.0f, 1.0f, 0.333333343f}, 0},
      {"ground friction multiplies", 5.0f, false, {none, none}, {1.66666675f, 0.555555582f}, 0},
      {"air friction", 11.0f, true, {none, none, none}, {10.0f, 9.09090900f, 8.26446342f}, 0},
      {"walking in the air", 0.0f, true, {{R}, {R}}, {1, 2}, 1},
  };
  for (const WalkCase& c : cases) {
    PlayHarness h(playZone(kFloor));
    standOnFloor(h);
    if (c.airborne) airborneAt(h, 0.0f);
    h.player().vx = c.startVx;
    for (std::size_t i = 0; i < c.frames.size(); ++i) {
      h.input(c.frames[i]);
      stepPlayerControls(h.g());
      EXPECT_EQ(h.player().vx, c.vx[i]) << c.name << " frame " << i;
    }
    EXPECT_EQ(h.player().facing, c.facing) << c.name;
    EXPECT_EQ(h.g().app.controlsActive, 1) << c.name;
  }
}

TEST(PlayerControl, WalkingOnTheFloorMovesByTheSpeed) {
  PlayHarness h(playZone(kFloor));
  h.frames(3);  // lands
  ASSERT_EQ(h.player().support, h.object("floor"));
  const float x0 = h.player().x;
  const float vx[] = {1, 2, 3, 4, 5, 5, 5};
  const float dx[] = {1, 3, 6, 10, 15, 20, 25};
  for (int i = 0; i < 7; ++i) {
    h.frame({R});
    EXPECT_EQ(h.player().vx, vx[i]) << i;
    EXPECT_EQ(h.player().x, x0 + dx[i]) << i;
  }
}

// ----- Control gate ---------------------------------------------------------

TEST(PlayerControl, ControlGate) {
  struct GateCase {
    const char* name;
    bool scriptFreeze, frozen, sliding;
    int deathLatch;
    Keys before, held;
    int active;
    int latchAfter;
    float vx;  // from 3 on the ground
  };
  const GateCase cases[] = {
      {"free", false, false, false, 0, {}, {}, 1, 0, 1.0f},
      {"a freeze holds the player", true, false, false, 0, {}, {R}, 0, 0, 0.0f},
      {"frozen", false, true, false, 0, {}, {R}, 0, 0, 0.0f},
      {"a slide keeps its motion", false, false, true, 0, {}, {R}, 0, 0, 3.0f},
      {"direction held through a death", false, false, false, 1, {R}, {R}, 0, 1, 0.0f},
      {"direction pressed anew", false, false, false, 1, {}, {R}, 1, 0, 4.0f},
      {"directions let go", false, false, false, 1, {R}, {}, 1, 0, 1.0f},
      {"the other direction pressed", false, false, false, 1, {R}, {R, L}, 1, 0, 4.0f},
      {"latch and nothing held", false, false, false, 1, {}, {}, 1, 0, 1.0f},
  };
  for (const GateCase& c : cases) {
    PlayHarness h(playZone(kFloor));
    standOnFloor(h);
    Game& g = h.g();
    g.script.scriptFreeze = c.scriptFreeze;
    g.script.playerFrozen = c.frozen;
    if (c.sliding) {
      h.player().flags |= flag::Sliding;
      h.player().slideTarget = 100.0f;
    }
    h.world().deathControlLatch = c.deathLatch;
    h.player().vx = 3.0f;
    controlStep(h, c.before, c.held);
    EXPECT_EQ(g.app.controlsActive, c.active) << c.name;
    EXPECT_EQ(h.world().deathControlLatch, c.latchAfter) << c.name;
    EXPECT_EQ(h.player().vx, c.vx) << c.name;
  }
}

TEST(PlayerControl, ADirectionHeldThroughADeathBlocksControlUntilLetGo) {
  PlayHarness h(playZone(kFloor));
  Game& g = h.g();
  h.frames(3);
  h.frames(3, {R});
  ASSERT_GT(h.player().x, 0.0f);
  const int deaths = g.session.deaths;
  const int attempts = g.session.attempts;
  g.app.controlsActive = 1;
  g.world.playerDead = true;

  // The death takes the whole frame: no walking, controlsActive as it was.
  h.frame({R});
  EXPECT_FALSE(g.world.playerDead);
  EXPECT_EQ(g.session.deaths, deaths + 1);
  EXPECT_EQ(g.session.attempts, attempts + 1);
  EXPECT_EQ(g.app.controlsActive, 1);
  EXPECT_EQ(g.world.deathControlLatch, 1);
  EXPECT_EQ(h.effects, std::vector<int>{4});
  EXPECT_EQ(g.world.fadeFromColour, 0);

  // RIGHT still held: no walking, jumping or reset.
  for (int i = 0; i < 4; ++i) {
    h.frame({R, J});
    EXPECT_EQ(g.app.controlsActive, 0) << i;
    EXPECT_EQ(h.player().vx, 0.0f) << i;
  }
  EXPECT_EQ(h.player().x, 0.0f);
  // Let go: control comes back.
  h.frame({});
  EXPECT_EQ(g.app.controlsActive, 1);
  h.frame({R});
  EXPECT_EQ(h.player().vx, 1.0f);
}

TEST(PlayerControl, DeathOnADeadlyBlockIsHandledInTheNextControlStep) {
  PlayHarness h(playZone(kFloor + "<block x=\"200\" y=\"0\" w=\"30\" h=\"30\" level=\"0\" flg=\"deadly\"/>"));
  Game& g = h.g();
  h.frames(3);
  h.player().x = 195.0f;
  h.frame();
  EXPECT_TRUE(g.world.playerDead);
  EXPECT_EQ(h.blinks, 1);
  EXPECT_EQ(g.session.deaths, 0);
  h.frame();
  EXPECT_FALSE(g.world.playerDead);
  EXPECT_EQ(g.session.deaths, 1);
  EXPECT_EQ(h.player().x, 0.0f);
}

// ----- Jumping --------------------------------------------------------------

TEST(PlayerControl, Jumping) {
  struct JumpCase {
    const char* name;
    bool airborne;
    float supportVx, supportVy;  // the floor's motion (on the ground)
    int hold;                    // jumpHoldFrames before
    float vy;                    // before
    Keys before, held;
    bool jumpsAllowed;
    float vyAfter, vxAfter;
    int holdAfter;
    bool airborneAfter;
    std::vector<int> effects;
  };
  const JumpCase cases[] = {
      {"ground jump", false, 0, 0, 0, 0, {}, {J}, true, 7.5f, 0, 5, true, {0}},
      {"from a platform moving up", false, 1.5f, 2.0f, 0, 0, {}, {J}, true, 9.5f, 1.5f, 5, true, {0}},
      {"from a platform moving down", false, 1.5f, -2.0f, 0, 0, {}, {J}, true, 7.5f, 1.5f, 5, true, {0}},
      {"pressed in the air", true, 0, 0, 0, 3.0f, {}, {J}, true, 3.0f, 0, 0, true, {}},
      {"held in the air boosts", true, 0, 0, 3, 3.0f, {J}, {J}, true, 3.0f + 0.7f, 0, 2, true, {}},
      {"boost used up", true, 0, 0, 0, 3.0f, {J}, {J}, true, 3.0f, 0, 0, true, {}},
      {"letting go ends the boost", true, 0, 0, 3, 3.0f, {J}, {}, true, 3.0f, 0, 0, true, {}},
      {"held on the ground", false, 0, 0, 2, 0, {J}, {J}, true, 0, 0, 0, false, {}},
      {"no jumps", false, 0, 0, 2, 0, {}, {J}, false, 0, 0, 0, false, {}},
  };
  for (const JumpCase& c : cases) {
    PlayHarness h(playZone(kFloor));
    standOnFloor(h);
    ObjectRecord& p = h.player();
    ObjectRecord* floor = h.object("floor");
    floor->vx = c.supportVx;
    floor->vy = c.supportVy;
    if (c.airborne) airborneAt(h, c.vy);
    p.vy = c.vy;
    p.gravity = 0.7f;
    h.world().jumpHoldFrames = c.hold;
    h.g().script.jumpsAllowed = c.jumpsAllowed;
    controlStep(h, c.before, c.held);
    EXPECT_EQ(p.vy, c.vyAfter) << c.name;
    EXPECT_EQ(p.vx, c.vxAfter) << c.name;
    EXPECT_EQ(h.world().jumpHoldFrames, c.holdAfter) << c.name;
    EXPECT_EQ(p.has(flag::Airborne), c.airborneAfter) << c.name;
    if (c.airborneAfter && !c.airborne) {
      EXPECT_EQ(p.support, nullptr) << c.name;
    }
    EXPECT_EQ(h.effects, c.effects) << c.name;
  }
}

TEST(PlayerControl, HeldJumpHoldsTheUpwardSpeedForFiveFrames) {
  struct HoldCase {
    const char* name;
    std::vector<Keys> frames;
    std::vector<float> vy;  // after each whole frame, gravity 0.5
  };
  const HoldCase cases[] = {
      {"held", {{J}, {J}, {J}, {J}, {J}, {J}, {J}, {J}}, {7, 7, 7, 7, 7, 7, 6.5f, 6}},
      {"let go", {{J}, {J}, {}, {J}, {J}}, {7, 7, 6.5f, 6, 5.5f}},
  };
  for (const HoldCase& c : cases) {
    PlayHarness h(playZone(kFloor));
    h.frames(3);
    ASSERT_FALSE(h.player().has(flag::Airborne));
    h.player().gravity = 0.5f;
    for (std::size_t i = 0; i < c.frames.size(); ++i) {
      h.frame(c.frames[i]);
      EXPECT_EQ(h.player().vy, c.vy[i]) << c.name << " frame " << i;
    }
    EXPECT_EQ(h.effects, std::vector<int>{0}) << c.name;
  }
}

// ----- Leaping --------------------------------------------------------------

TEST(PlayerControl, Leaping) {
  struct LeapCase {
    const char* name;
    int startLevel;
    bool airborne;
    int latch;
    Keys before, held;
    bool blocker;         // a solid block on level 1 over the player
    int outLevel;         // leapOutLevel forced to this; -99 leaves it
    bool jumpsAllowed;
    int level;            // after
    int latchAfter;
    std::vector<int> effects;
    float vy;             // after, from 1.0
    bool airborneAfter;
  };
  const LeapCase cases[] = {
      {"leap out in the air", 0, true, 0, {}, {Up}, false, -99, true, 1, 2, {2}, 1.0f, true},
      {"held, not released since", 0, true, 2, {Up}, {Up}, false, -99, true, 0, 2, {}, 1.0f, true},
      {"latches clear when let go", 0, true, 3, {Up, Down}, {}, false, -99, true, 0, 0, {}, 1.0f, true},
      {"a press while standing hops", 0, false, 0, {}, {Up}, false, -99, true, 0, 0, {}, 5.0f, true},
      {"a leap-in press while standing hops", 0, false, 0, {}, {Down}, false, -99, true, 0, 0, {}, 5.0f, true},
      {"holding while standing does not hop", 0, false, 0, {Up}, {Up}, false, -99, true, 0, 0, {}, 1.0f, false},
      {"blocked by a solid object", 0, true, 0, {}, {Up}, true, -99, true, 0, 0, {}, 1.0f, true},
      {"no level further in", 0, true, 0, {}, {Down}, false, -99, true, 0, 0, {}, 1.0f, true},
      {"leap in", 1, true, 0, {}, {Down}, false, -99, true, 0, 1, {3}, 1.0f, true},
      {"no jumps", 0, true, 3, {}, {Up}, false, -99, false, 0, 0, {}, 1.0f, true},
      {"no jumps, no hop", 0, false, 0, {}, {Up}, false, -99, false, 0, 0, {}, 1.0f, false},
      {"target outside the level table", 0, true, 0, {}, {Up}, false, 5, true, 0, 0, {}, 1.0f, true},
      {"target beyond a level byte", 0, true, 0, {}, {Up}, false, 300, true, 0, 0, {}, 1.0f, true},
  };
  for (const LeapCase& c : cases) {
    std::string extra = kFloor;
    if (c.blocker) extra += "<block x=\"-10\" y=\"-10\" w=\"40\" h=\"40\" level=\"1\" flg=\"solid\"/>";
    PlayHarness h(playZone(extra));
    standOnFloor(h);
    ObjectRecord& p = h.player();
    p.level = static_cast<int8_t>(c.startLevel);
    findLeapLevels(h.g().world);
    if (c.airborne) airborneAt(h, 1.0f);
    p.vy = 1.0f;
    h.world().leapLatch = c.latch;
    if (c.outLevel != -99) h.world().leapOutLevel = c.outLevel;
    h.g().script.jumpsAllowed = c.jumpsAllowed;
    controlStep(h, c.before, c.held);
    EXPECT_EQ(p.level, c.level) << c.name;
    EXPECT_EQ(h.world().leapLatch, c.latchAfter) << c.name;
    EXPECT_EQ(h.effects, c.effects) << c.name;
    EXPECT_EQ(p.vy, c.vy) << c.name;
    EXPECT_EQ(p.has(flag::Airborne), c.airborneAfter) << c.name;
  }
}

TEST(PlayerControl, LeapAfterTheHopThenOncePerPress) {
  const std::string levels =
      "<level z=\"0\"/><level z=\"50\" unlocked=\"1\"/><level z=\"100\" unlocked=\"1\"/>";
  PlayHarness h(playZone(kFloor, "", levels));
  h.frames(3);
  ASSERT_FALSE(h.player().has(flag::Airborne));
  ASSERT_EQ(h.world().leapLatch, 0);
  const std::vector<Keys> frames = {{Up}, {Up}, {Up}, {}, {Up}, {Up}};
  const int levelsAfter[] = {0, 1, 1, 1, 2, 2};
  for (std::size_t i = 0; i < frames.size(); ++i) {
    h.frame(frames[i]);
    EXPECT_EQ(h.player().level, levelsAfter[i]) << "frame " << i;
    EXPECT_TRUE(h.player().has(flag::Airborne)) << "frame " << i;
  }
  EXPECT_EQ(h.effects, (std::vector<int>{2, 2}));
  EXPECT_EQ(h.world().leapOutLevel, -1);
  EXPECT_EQ(h.world().leapInLevel, 1);
}

TEST(PlayerControl, ABlockedLeapIsRetriedWhileHeld) {
  PlayHarness h(playZone(kFloor + "<block oname=\"wall\" x=\"-10\" y=\"-10\" w=\"40\" h=\"60\" level=\"1\" flg=\"solid\"/>"));
  h.frames(3);
  h.frame({Up});  // hop
  h.frame({Up});
  h.frame({Up});
  EXPECT_EQ(h.player().level, 0);
  EXPECT_TRUE(h.effects.empty());
  ObjectRecord* wall = h.object("wall");
  wall->x = 500.0f;
  h.frame({Up});
  EXPECT_EQ(h.player().level, 1);
  EXPECT_EQ(h.effects, std::vector<int>{2});
}

// ----- Reset ----------------------------------------------------------------

TEST(PlayerControl, Reset) {
  struct ResetCase {
    const char* name;
    bool airborne, frozen, jumpsAllowed;
    Keys before;
    bool resets;
    std::vector<int> effects;
  };
  const ResetCase cases[] = {
      {"on the ground", false, false, true, {}, true, {6}},
      {"in the air", true, false, true, {}, false, {9}},
      {"without control", false, true, true, {}, false, {}},
      {"jumps not allowed", false, false, false, {}, true, {6}},
      {"held, not pressed", false, false, true, {control::Reset}, false, {}},
  };
  for (const ResetCase& c : cases) {
    PlayHarness h(playZone(kFloor));
    Game& g = h.g();
    standOnFloor(h);
    h.player().x = 300.0f;
    if (c.airborne) airborneAt(h, 0.0f);
    g.script.playerFrozen = c.frozen;
    g.script.jumpsAllowed = c.jumpsAllowed;
    g.world.fadeAmount = 0.0f;
    g.world.fadeFromColour = 0x123456;
    const int attempts = g.session.attempts;
    controlStep(h, c.before, {control::Reset});
    EXPECT_EQ(h.player().x, c.resets ? 0.0f : 300.0f) << c.name;
    EXPECT_EQ(g.session.attempts, attempts + (c.resets ? 1 : 0)) << c.name;
    EXPECT_EQ(g.world.fadeFromColour, c.resets ? 0xFFFFFF : 0x123456) << c.name;
    EXPECT_EQ(g.world.fadeAmount, c.resets ? 1.0f : 0.0f) << c.name;
    EXPECT_EQ(h.effects, c.effects) << c.name;
  }
}

// ----- Pause and screenshot -------------------------------------------------

TEST(PlayerControl, PauseOpensTheMenuAndTheFrameGoesOn) {
  struct PauseCase {
    const char* name;
    int runNumber;
    int disableMusic;
    Keys before;
    Strings calls;
  };
  const PauseCase cases[] = {
      {"main menu", 0, 0, {}, {"mainMenu", "pauseMusic"}},
      {"run pause menu", 2, 0, {}, {"runMenu", "pauseMusic"}},
      {"music disabled", 0, 1, {}, {"mainMenu"}},
      {"held, not pressed", 0, 0, {control::Pause}, {}},
  };
  for (const PauseCase& c : cases) {
    PlayHarness h(playZone(kFloor));
    Game& g = h.g();
    standOnFloor(h);
    g.app.runNumber = c.runNumber;
    g.prefs.disableMusic = c.disableMusic;
    g.world.pauseColour = 0x123456;
    controlStep(h, c.before, {control::Pause, R, control::Action});
    EXPECT_EQ(h.calls, c.calls) << c.name;
    const bool opened = !c.calls.empty();
    EXPECT_EQ(g.app.menuState, opened ? menu_state::Opening : menu_state::Playing) << c.name;
    if (opened) {
      EXPECT_EQ(g.app.menuBackground, 0x123456) << c.name;
      EXPECT_FALSE(g.controls.pressed(control::Action)) << c.name;
      EXPECT_EQ(g.controls.snapshot[R], 1) << c.name;
    }
    EXPECT_EQ(h.player().vx, 1.0f) << c.name;  // the rest of the frame still runs
  }
}

TEST(PlayerControl, PauseWithActionFiresNoAreaAction) {
  PlayHarness h(playZone(kFloor +
                         "<area xlim=\"-50,50\" ylim=\"-10,50\"><action><sound num=\"act\"/></action></area>"));
  h.frames(3);
  h.frame({control::Pause, control::Action});
  h.frame();
  EXPECT_EQ(h.trace(), Strings{});
  h.frame({control::Action});
  h.frame();
  EXPECT_EQ(h.trace(), Strings{"act"});
}

TEST(PlayerControl, PauseDuringAPromptOpensTheMenuAndEndsThePrompt) {
  PlayHarness h(playZone(kFloor + "<start><prompt/><sound num=\"after\"/></start>"));
  Game& g = h.g();
  h.frames(2);
  ASSERT_TRUE(g.script.promptPending);
  h.frame({control::Pause});
  EXPECT_EQ(h.calls, (Strings{"mainMenu", "pauseMusic"}));
  EXPECT_FALSE(g.script.promptPending);
  EXPECT_EQ(h.trace(), Strings{"after"});
}

TEST(PlayerControl, ScreenshotOnANewPressOnly) {
  PlayHarness h(playZone(kFloor));
  const std::vector<Keys> frames = {{}, {control::Screenshot}, {control::Screenshot}, {}, {control::Screenshot}};
  const int expected[] = {0, 1, 0, 0, 1};
  for (std::size_t i = 0; i < frames.size(); ++i) {
    h.frame(frames[i]);
    EXPECT_EQ(h.g().world.requests.screenshot, expected[i] != 0) << i;
  }
}

// ----- Scripts queued by the world step -------------------------------------

TEST(PlayerControl, AnAreaScriptRunsInTheNextControlStep) {
  PlayHarness h(playZone(kFloor + "<area xlim=\"40,100\" ylim=\"-10,50\"><enter><sound num=\"in\"/></enter></area>"));
  h.frames(3);
  int frame = 0;
  while (h.g().script.queue.empty() && frame < 30) {
    h.frame({R});
    ++frame;
    if (!h.g().script.queue.empty()) {
      EXPECT_EQ(h.trace(), Strings{});
    }
  }
  ASSERT_FALSE(h.g().script.queue.empty());
  h.frame({R});
  EXPECT_EQ(h.trace(), Strings{"in"});
  EXPECT_TRUE(h.g().script.queue.empty());
}

// ----- Determinism ----------------------------------------------------------

// Every float as its bits, so that equal means bit-identical.
std::vector<uint32_t> worldBits(const Game& g) {
  std::vector<uint32_t> out;
  auto f = [&out](float v) { out.push_back(std::bit_cast<uint32_t>(v)); };
  for (const ObjectRecord& o : g.world.objects) {
    f(o.x), f(o.y), f(o.z), f(o.vx), f(o.vy), f(o.phase), f(o.waveValue), f(o.trans);
    out.push_back(o.flags);
    out.push_back(static_cast<uint32_t>(o.level));
    out.push_back(o.contacts);
    out.push_back(static_cast<uint32_t>(o.facing));
  }
  f(g.world.cameraPosition.x), f(g.world.cameraPosition.y), f(g.world.cameraPosition.z);
  f(g.world.fadeAmount);
  out.push_back(static_cast<uint32_t>(g.world.backgroundColour));
  out.push_back(static_cast<uint32_t>(g.session.deaths));
  out.push_back(static_cast<uint32_t>(g.session.attempts));
  out.push_back(static_cast<uint32_t>(g.random.table.index));
  return out;
}

// A scripted run of `n` frames: walks, jumps, leaps, resets and zooms.
std::vector<std::vector<uint32_t>> scriptedRun(int n) {
  const std::string zone = playZone(
      kFloor +
          "<block x=\"120\" y=\"20\" w=\"60\" h=\"10\" level=\"0\" flg=\"solid,cyclic,motion\" "
          "xlim=\"120,220\" ylim=\"20,60\" freq=\"0.5\" wave=\"tri\"/>"
          "<block x=\"300\" y=\"100\" w=\"20\" h=\"20\" level=\"0\" flg=\"solid,dynamic\"/>"
          "<block x=\"-200\" y=\"0\" w=\"20\" h=\"20\" level=\"0\" flg=\"deadly\"/>"
          "<area xlim=\"100,250\" ylim=\"-10,200\" zoom=\"60,90\" color=\"336699\"/>",
      "",
      "<level z=\"0\" color=\"102030\" unlocked=\"1\"/><level z=\"50\" color=\"405060\" unlocked=\"1\"/>");
  PlayHarness h(zone);
  std::vector<std::vector<uint32_t>> states;
  uint32_t seed = 12345;
  for (int i = 0; i < n; ++i) {
    seed = seed * 1103515245u + 12345u;
    const uint32_t r = seed >> 16;
    Keys held;
    if (i % 100 < 45) held.push_back(R);
    if (i % 100 >= 55 && i % 100 < 95) held.push_back(L);
    if (r % 7 == 0) held.push_back(J);
    if (r % 11 == 0) held.push_back(Up);
    if (r % 13 == 0) held.push_back(Down);
    if (r % 17 == 0) held.push_back(control::Zoom);
    if (i % 150 == 149) held.push_back(control::Reset);
    h.frame(held);
    states.push_back(worldBits(h.g()));
  }
  return states;
}

TEST(PlayerControl, TheSameInputGivesBitIdenticalWorlds) {
  const auto first = scriptedRun(400);
  const auto second = scriptedRun(400);
  ASSERT_EQ(first.size(), second.size());
  ASSERT_NE(first.front(), first.back());  // the run goes somewhere
  for (std::size_t i = 0; i < first.size(); ++i) {
    ASSERT_EQ(first[i], second[i]) << "frame " << i;
  }
}

}  // namespace
}  // namespace zor
