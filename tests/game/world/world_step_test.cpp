#include "game/world/world_step.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "format/vocabulary.h"
#include "game/game.h"
#include "game/input/controls.h"
#include "game/persist/save_file.h"
#include "game/world/bodies.h"
#include "tests/game/world/play_test_support.h"
#include "tests/game/world/world_state_dump.h"

namespace zor {
namespace {

using testing::PlayHarness;
using testing::dumpState;

// A busy zone: moving platforms, a random-wave block, hopping, stomping and
// leaping chasers, a bouncy pad, crates, a checkpoint, spikes and a die script.
std::string busyZone() {
  const std::string classes = R"(
    <class name="hopper" acc="0.3,7" speed="2.5" hops="100" eflags="jumping" flg="dynamic,solid,hasface"
           w="18" h="18"/>
    <class name="stomper" acc="0.2,6" speed="1.5" cover="300" eflags="stomping,smart" asound="12"
           flg="dynamic,solid,deadly" w="24" h="16"/>
    <class name="leaper" acc="0.25,6.5" speed="2" eflags="leaping,greedy" flg="dynamic,solid" w="16" h="16"/>)";
  const std::string body = R"(
    <block x="-600" y="-20" w="700" h="20" level="0" flg="solid"/>
    <block x="160" y="-20" w="500" h="20" level="0" flg="solid"/>
    <block x="-600" y="-20" w="1300" h="20" level="1" flg="solid"/>
    <block x="-300" y="0" w="20" h="200" level="0" flg="solid"/>
    <block x="600" y="0" w="20" h="200" level="0" flg="solid"/>
    <block oname="lift" y="0" w="60" h="10" level="0" flg="solid,cyclic,motion" freq="0.3"
           xlim="90,170" ylim="-10,30"/>
    <block oname="swing" y="60" w="50" h="10" level="0" flg="solid,cyclic,motion,circular" freq="0.2"
           xlim="-200,-100" ylim="40,90"/>
    <block oname="flicker" x="300" y="40" w="40" h="10" level="0" flg="cyclic,semisol" wave="rand" freq="6"/>
    <block oname="pad" x="-250" y="0" w="40" h="10" level="0" flg="solid,bouncy" fall="11"/>
    <block oname="cp" x="420" y="0" w="30" level="0" flg="checkpoint"><standon><sound num="1"/></standon></block>
    <block oname="spikes" x="520" y="0" w="40" h="8" level="0" flg="solid,deadly"/>
    <block oname="h1" class="hopper" x="-120" y="0" level="0"/>
    <block oname="h2" class="hopper" x="250" y="0" level="0"/>
    <block oname="s1" class="stomper" x="350" y="0" level="0"><die><sound num="2"/></die></block>
    <block oname="l1" class="leaper" x="-50" y="0" level="1"/>
    <block oname="crate1" x="40" y="100" w="20" h="20" level="0" flg="dynamic,solid"/>
    <block oname="crate2" x="45" y="140" w="20" h="20" level="0" flg="dynamic,solid,hasface"/>
    <block oname="crate3" x="-20" y="300" w="30" h="30" level="1" flg="dynamic,solid"/>)";
  return "<zorlan version=\"1\">" + classes +
         "<zone id=\"first\" xlim=\"-700,800\" ylim=\"-200,2000\"><levels><level z=\"0\" color=\"102030\" "
         "unlocked=\"1\"/><level z=\"50\" color=\"405060\" unlocked=\"1\"/></levels>"
         "<entrance x=\"0\" y=\"20\" level=\"0\"/><death after=\"again\"/>" +
         body + "<sub id=\"again\"><sound num=\"3\"/></sub></zone></zorlan>";
}

// The input of frame i: a fixed pseudo-random walk over the play controls.
std::vector<int> scriptedInput(uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  const uint32_t r = state >> 8;
  std::vector<int> held;
  switch ((r >> 4) % 6) {
    case 0:
    case 1:
      held.push_back(control::Right);
      break;
    case 2:
      held.push_back(control::Left);
      break;
    default:
      break;
  }
  if ((r & 7) == 0) held.push_back(control::Jump);
  if ((r & 63) == 9) held.push_back(control::LeapOut);
  if ((r & 63) == 17) held.push_back(control::LeapIn);
  if ((r & 255) == 33) held.push_back(control::Reset);
  if ((r & 31) == 5) held.push_back(control::Zoom);
  return held;
}

std::vector<uint8_t> runScripted(int frames, std::vector<std::vector<uint8_t>>* every = nullptr) {
  PlayHarness h(busyZone());
  uint32_t state = 12345;
  for (int i = 0; i < frames; ++i) {
    h.frame(scriptedInput(state));
    if (every && i % 50 == 0) every->push_back(dumpState(h.g()));
  }
  return dumpState(h.g());
}

TEST(WorldStep, SameInputFromAFreshGameGivesBitIdenticalWorlds) {
  constexpr int kFrames = 900;
  std::vector<std::vector<uint8_t>> first, second;
  const std::vector<uint8_t> a = runScripted(kFrames, &first);
  const std::vector<uint8_t> b = runScripted(kFrames, &second);
  ASSERT_EQ(first.size(), second.size());
  for (size_t i = 0; i < first.size(); ++i) EXPECT_EQ(first[i], second[i]) << "differs by frame " << i * 50;
  EXPECT_EQ(a, b);

  // The run did something worth comparing: the world changed, random entries
  // were drawn and the player moved.
  PlayHarness h(busyZone());
  const std::vector<uint8_t> start = dumpState(h.g());
  EXPECT_NE(start, a);
  uint32_t state = 12345;
  const float x0 = h.player().x;
  for (int i = 0; i < kFrames; ++i) h.frame(scriptedInput(state));
  EXPECT_NE(h.g().random.table.index, 1023);
  EXPECT_NE(h.player().x, x0);
}

TEST(WorldStep, StepOrderMotionBodiesThenAreasAndCamera) {
  // The camera eases toward the player's position after this frame's bodies.
  PlayHarness h(testing::playZone(testing::kFloor));
  World& w = h.world();
  ObjectRecord& p = h.player();
  p.y = 50.0f;
  const Vec3 cam = w.cameraPosition;
  stepWorld(h.g());
  EXPECT_EQ(p.prevY, 50.0f) << "the motion update runs first";
  EXPECT_EQ(p.y, 50.0f - p.gravity);
  EXPECT_EQ(w.cameraPosition.y, cam.y + ((p.y + p.h * 0.5f) - cam.y) * 0.2f);
}

// The play step runs the player's controls, then the world, and hands over what
// they asked for; the zone change stays with the world for the frame's end.
TEST(WorldStep, PlayStepHandsOverItsRequests) {
  PlayHarness h(testing::playZone(testing::kFloor));
  Game& g = h.g();
  h.frames(3);
  g.world.requests.effects.clear();
  g.world.requests.zoneChange = "elsewhere";
  h.input({control::Pause, control::Screenshot, control::Reset});
  h.player().prevY = 12345.0f;
  const PlayRequests out = stepPlay(g);
  EXPECT_TRUE(out.pause);
  EXPECT_TRUE(out.screenshot);
  EXPECT_EQ(out.effects, std::vector<int32_t>{format::effect::Reset});
  EXPECT_NE(h.player().prevY, 12345.0f) << "the world stepped";
  EXPECT_FALSE(g.world.requests.pause);
  EXPECT_FALSE(g.world.requests.screenshot);
  EXPECT_TRUE(g.world.requests.effects.empty());
  EXPECT_EQ(g.world.requests.zoneChange, "elsewhere");
  EXPECT_FALSE(g.controls.pressed(control::Action));  // held for the pause menu
}

TEST(WorldStep, DroppedOnADeadlyBlockCountsADeathAndAnAttempt) {
  PlayHarness h(testing::playZone(
      R"(<block oname="spikes" x="-50" y="-100" w="100" h="20" level="0" flg="solid,deadly"/>)",
      R"(ylim="-500,1000")"));
  Game& g = h.g();
  g.session.deaths = 3;
  g.session.attempts = 10;
  int frames = 0;
  while (g.session.deaths == 3 && frames < 100) {
    h.frame();
    ++frames;
  }
  EXPECT_EQ(g.session.deaths, 4);
  EXPECT_EQ(g.session.attempts, 11);
  EXPECT_EQ(h.blinks, 1);
  // Respawned at the entrance by the player-control step, then one world step's fall.
  EXPECT_EQ(h.player().x, 0.0f);
  EXPECT_EQ(h.player().y, 0.0005f - h.player().gravity);
  const std::string save = buildSaveText(g);
  EXPECT_NE(save.find("Deaths = 4"), std::string::npos) << save;
  EXPECT_NE(save.find("Attempts = 11"), std::string::npos) << save;
}

}  // namespace
}  // namespace zor
