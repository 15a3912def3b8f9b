#include "game/render/scene.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "game/render/block_drawing.h"
#include "game/render/pixel_font.h"
#include "tests/game/render/scene_test_support.h"

namespace zor {
namespace {

using namespace scene_test;

constexpr int32_t kInk = 0x203040;
constexpr int32_t kPlayerColour = 0x0060FF;

WordBox& addSign(SceneFixture& s, std::string text, float x, float y, float z, float width, float height) {
  WordBox b;
  b.text = std::move(text);
  b.x = x;
  b.y = y;
  b.z = z;
  b.width = width;
  b.height = height;
  b.colour = kInk;
  return s.game.script.wordBoxes.addLast(b);
}

void frame(SceneFixture& s) {
  updateDrawingState(s.game);
  clearBuffer(s.fb, kClear);
  drawScene(s.game, s.fill);
}

// Everything the drawing state holds, for comparisons.
using ObjectState = std::tuple<uint32_t, float, int32_t, int32_t, float, float, float>;
using BoxState = std::tuple<std::string, float, float, float, int32_t>;
struct Snapshot {
  std::vector<ObjectState> objects;
  std::vector<BoxState> boxes;
  float camX, camY, camZ, swish, angle, shake;
  bool playerHidden;
  bool operator==(const Snapshot&) const = default;
};
Snapshot snapshot(const Game& g) {
  Snapshot s{};
  for (const ObjectRecord& o : g.world.objects)
    s.objects.emplace_back(o.flags, o.phase, o.colour1, o.colour2, o.x, o.y, o.z);
  for (const WordBox& b : g.script.wordBoxes) s.boxes.emplace_back(b.text, b.x, b.y, b.z, b.flags);
  s.camX = g.world.cameraPosition.x;
  s.camY = g.world.cameraPosition.y;
  s.camZ = g.world.cameraPosition.z;
  s.swish = g.script.screenEffects.swishAmount;
  s.angle = g.script.screenEffects.swishAngle;
  s.shake = g.script.screenEffects.shakeAmount;
  s.playerHidden = g.script.scenePlayerHidden;
  return s;
}

TEST(Scene, FarToNearWithSignsBetweenObjects) {
  SceneFixture s;
  s.addBlock(-40.0f, -20.0f, 80.0f, 40.0f, 200.0f, kRed);  // far: (60, 35) 40x20
  s.addBlock(-10.0f, -5.0f, 10.0f, 10.0f, 100.0f, kBlue);  // near: (70, 40) 10x10
  addSign(s, "I", -15.0f, -5.0f, 150.0f, 15.0f, 15.0f);   // between: (70, 38) 10x10
  frame(s);
  EXPECT_EQ(s.at(65, 40), kRed);   // the far block alone
  EXPECT_EQ(s.at(74, 38), kInk);   // the sign's top row over the far block
  EXPECT_EQ(s.at(72, 40), kBlue);  // the near block covers the sign
  EXPECT_EQ(s.at(74, 44), kBlue);
  EXPECT_EQ(s.at(85, 50), kRed);
}

TEST(Scene, TiesAtEqualDepth) {
  {
    // An object and the player: the player on top.
    SceneFixture s;
    s.player().x = 0.0f;
    s.player().w = 10.0f;
    s.player().h = 10.0f;
    s.addBlock(0.0f, 0.0f, 10.0f, 10.0f, 100.0f, kBlue);
    frame(s);
    EXPECT_EQ(s.at(85, 40), kPlayerColour);
  }
  {
    // An object and a sign: the sign on top.
    SceneFixture s;
    s.addBlock(0.0f, 0.0f, 10.0f, 10.0f, 100.0f, kBlue);
    addSign(s, "I", 0.0f, 0.0f, 100.0f, 10.0f, 10.0f);
    frame(s);
    EXPECT_EQ(s.at(84, 36), kInk);  // the I's top bar
    EXPECT_EQ(s.at(80, 36), kBlue);
  }
  {
    // The player and a sign, with a nearer object after them: the player on top.
    SceneFixture s;
    s.player().x = 0.0f;
    s.player().w = 10.0f;
    s.player().h = 10.0f;
    s.addBlock(-5000.0f, 0.0f, 10.0f, 10.0f, 50.0f, kBlue);
    addSign(s, "I", 0.0f, 0.0f, 100.0f, 10.0f, 10.0f);
    frame(s);
    EXPECT_EQ(s.at(84, 36), kPlayerColour);
  }
}

TEST(Scene, AttachedSignFollowsItsObjectJustInFront) {
  SceneFixture s;
  ObjectRecord& carrier = s.addBlock(0.0f, 0.0f, 20.0f, 20.0f, 100.0f, kBlue);
  s.addBlock(0.0f, 0.0f, 10.0f, 10.0f, 99.9f, kRed);  // covers the sign's lower left part
  WordBox& sign = addSign(s, "I", 0.0f, 0.0f, 100.0f, 10.0f, 10.0f);
  sign.object = &carrier;
  frame(s);
  EXPECT_FLOAT_EQ(sign.x, 5.0f);
  EXPECT_FLOAT_EQ(sign.y, 5.0f);
  EXPECT_EQ(sign.z, 100.0f - 0.0000175f);
  // The sign covers the carrier, the block at 99.9 covers the sign.
  EXPECT_EQ(s.at(89, 31), kInk);  // (85, 30) + the I's top bar, column 2
  EXPECT_EQ(s.at(86, 31), kBlue);
  EXPECT_EQ(s.at(88, 38), kRed);  // the I's bottom bar, under the block at 99.9
  EXPECT_EQ(s.at(91, 38), kInk);
  // Following the carrier as it moves.
  carrier.x = 30.0f;
  frame(s);
  EXPECT_FLOAT_EQ(sign.x, 35.0f);
}

TEST(Scene, RemovedSignsGoAtTheNextFrameAndNewOnesAppend) {
  SceneFixture s;
  WordBox& keep = addSign(s, "A", 0.0f, 0.0f, 300.0f, 5.0f, 5.0f);
  addSign(s, "B", 1000.0f, 0.0f, 200.0f, 5.0f, 5.0f).flags = wordbox::Disappearing | wordbox::Seen;
  addSign(s, "C", 0.0f, 0.0f, 100.0f, 5.0f, 5.0f).flags = wordbox::Hidden;
  s.game.script.wordBoxes.first();
  frame(s);  // B is out of view after being seen: marked
  ASSERT_EQ(s.game.script.wordBoxes.size(), 3u);
  EXPECT_EQ(keep.flags, wordbox::Seen);
  EXPECT_EQ(s.game.script.wordBoxes.back()->flags, wordbox::Hidden);  // hidden: never seen
  frame(s);  // and deleted here
  ASSERT_EQ(s.game.script.wordBoxes.size(), 2u);
  EXPECT_EQ(s.game.script.wordBoxes.front()->text, "A");
  // The walk leaves the last box current, so the next one is appended.
  s.game.script.wordBoxes.add(WordBox{});
  EXPECT_EQ(s.game.script.wordBoxes.back()->text, "");
  // The hidden sign C (one pixel per unit from (80, 40)) is not drawn; A, at depth 300,
  // shows at most its last column's pixel at (80, 44).
  EXPECT_EQ(s.at(80, 41), kClear);
  EXPECT_EQ(s.at(82, 40), kClear);
}

TEST(Scene, WalkStopsAtTheFirstObjectAtTheNearLimit) {
  SceneFixture s;
  s.player().x = -20.0f;
  s.player().w = 10.0f;
  s.player().h = 10.0f;
  // Blinks on in this frame, is drawn, and lies at the near limit.
  ObjectRecord& near = s.addBlock(-5000.0f, 0.0f, 10.0f, 10.0f, 5.0f, kRed, flag::Invisible);
  ObjectRecord& after = s.addBlock(0.0f, 0.0f, 10.0f, 10.0f, 100.0f, kBlue);  // out of order on purpose
  after.effectBits = 1;
  near.effectBits = 1;
  addSign(s, "I", 20.0f, 0.0f, 100.0f, 10.0f, 10.0f);
  s.game.controls.currentColumn = 1;
  frame(s);
  EXPECT_EQ(s.at(85, 40), kClear);          // the walk stopped before it
  EXPECT_EQ(s.at(65, 40), kPlayerColour);   // the player is still drawn
  EXPECT_EQ(s.at(104, 36), kInk);           // and the signs
  EXPECT_FALSE(near.has(flag::Invisible));  // toggled before the stop
  EXPECT_FALSE(after.has(flag::Invisible)); // beyond the stop: not toggled
}

TEST(Scene, BlinkingObjectShowsTwoFramesAndHidesTwo) {
  SceneFixture s;
  ObjectRecord& b = s.addBlock(0.0f, 0.0f, 10.0f, 10.0f, 100.0f, kBlue, flag::Invisible);
  b.effectBits = 1;
  std::vector<bool> shown;
  for (int i = 0; i < 8; ++i) {
    s.game.controls.currentColumn = 1 - s.game.controls.currentColumn;
    frame(s);
    shown.push_back(s.at(85, 40) == kBlue);
  }
  EXPECT_EQ(shown, (std::vector<bool>{true, true, false, false, true, true, false, false}));
}

TEST(Scene, PlayerLeftOutWhenHiddenDyingOrBlinkingOff) {
  struct Case {
    const char* what;
    bool invisible, dead, blink;
    int column;
    bool drawn;
  } cases[] = {
      {"visible", false, false, false, 0, true},
      {"invisible", true, false, false, 0, false},
      {"dying", false, true, false, 0, false},
      // The blink turns the flag off in this frame, but the decision was taken before it.
      {"blink turning on", true, false, true, 1, false},
      {"blink turning off", false, false, true, 1, true},
  };
  for (const Case& c : cases) {
    SceneFixture s;
    ObjectRecord& p = s.player();
    p.x = 0.0f;
    p.w = 10.0f;
    p.h = 10.0f;
    if (c.invisible) p.flags |= flag::Invisible;
    if (c.blink) p.effectBits = 1;
    s.game.world.playerDead = c.dead;
    s.game.controls.currentColumn = c.column;
    frame(s);
    EXPECT_EQ(s.at(85, 40) == kPlayerColour, c.drawn) << c.what;
  }
}

TEST(Scene, InvisibleLightUpBlockShowsWhileStoodOn) {
  SceneFixture s;
  ObjectRecord& b = s.addBlock(0.0f, 0.0f, 10.0f, 10.0f, 100.0f, kRed, flag::Invisible | flag::Lightup);
  b.colour2 = kBlue;
  s.player().support = &b;
  frame(s);
  EXPECT_EQ(s.at(85, 40), kBlue);
  s.player().support = nullptr;
  frame(s);
  EXPECT_EQ(s.at(85, 40), kClear);
  // Fully transparent objects are never drawn.
  b.flags &= ~flag::Invisible;
  b.trans = 1.0f;
  frame(s);
  EXPECT_EQ(s.at(85, 40), kClear);
}

TEST(Scene, HorizonBandUnderNearerBlocks) {
  SceneFixture s;
  s.addBlock(0.0f, -10.0f, 1.0f, 1.0f, 1000.0f, kRed, flag::Horizon);  // from row 46 down
  s.addBlock(0.0f, -20.0f, 10.0f, 10.0f, 100.0f, kBlue);
  frame(s);
  EXPECT_EQ(s.at(10, 45), kClear);
  EXPECT_EQ(s.at(10, 46), kRed);
  EXPECT_EQ(s.at(85, 60), kBlue);
}

TEST(Scene, SwishEasesAndTurns) {
  SceneFixture s;
  s.game.script.screenEffects.swishTarget = 10.0f;
  updateDrawingState(s.game);
  EXPECT_FLOAT_EQ(s.game.script.screenEffects.swishAmount, 1.0f);
  EXPECT_EQ(s.game.script.screenEffects.swishAngle, -0.01745329238474369f);
  updateDrawingState(s.game);
  EXPECT_FLOAT_EQ(s.game.script.screenEffects.swishAmount, 1.9f);
}

TEST(Scene, ShakeDrawsThreeNumbersFromTheZoneGeneratorAndDecays) {
  SceneFixture s;
  s.game.random.generator.seed(1234);
  s.game.world.cameraPosition = {1.0f, 2.0f, 3.0f};
  s.game.script.screenEffects.shakeAmount = 0.0005f;  // not above the threshold
  s.game.script.screenEffects.shakeDecay = 0.5f;
  updateDrawingState(s.game);
  EXPECT_EQ(s.game.world.cameraPosition.x, 1.0f);
  EXPECT_EQ(s.game.world.cameraPosition.z, 3.0f);
  EXPECT_EQ(s.game.script.screenEffects.shakeAmount, 0.0005f);

  RandomGenerator copy = s.game.random.generator;
  s.game.script.screenEffects.shakeAmount = 0.01f;
  updateDrawingState(s.game);
  const float dx = static_cast<float>(static_cast<int32_t>(copy.draw(200)) - 100) * 0.01f;
  const float dy = static_cast<float>(static_cast<int32_t>(copy.draw(200)) - 100) * 0.01f;
  const float dz = static_cast<float>(static_cast<int32_t>(copy.draw(200)) - 100) * 0.01f;
  EXPECT_EQ(s.game.world.cameraPosition.x, 1.0f + dx);
  EXPECT_EQ(s.game.world.cameraPosition.y, 2.0f + dy);
  EXPECT_EQ(s.game.world.cameraPosition.z, 3.0f + dz);
  EXPECT_FLOAT_EQ(s.game.script.screenEffects.shakeAmount, 0.005f);
  EXPECT_EQ(s.game.random.generator.draw(1000000), copy.draw(1000000));
}

TEST(Scene, DrawingChangesNothingAndTheStateIsTheSameWithoutDrawing) {
  auto build = [](SceneFixture& s) {
    s.game.random.generator.seed(99);
    s.game.script.screenEffects.shakeAmount = 0.02f;
    s.game.script.screenEffects.shakeDecay = 0.9f;
    s.game.script.screenEffects.swishTarget = 3.0f;
    ObjectRecord& cp = s.addBlock(-30.0f, 0.0f, 20.0f, 20.0f, 150.0f, 0, flag::Checkpoint);
    cp.colour2 = 1;
    cp.litColour = -1;
    s.game.world.currentCheckpoint = &cp;
    s.addBlock(0.0f, 0.0f, 10.0f, 10.0f, 120.0f, kBlue, flag::Invisible).effectBits = 1;
    ObjectRecord& carrier = s.addBlock(20.0f, 0.0f, 10.0f, 10.0f, 100.0f, kRed, flag::HasFace);
    addSign(s, "GO~", 0.0f, 0.0f, 110.0f, 20.0f, 5.0f).object = &carrier;
    addSign(s, "BYE", 60.0f, 0.0f, 105.0f, 20.0f, 5.0f).flags = wordbox::Disappearing;
  };
  SceneFixture drawn, undrawn;
  build(drawn);
  build(undrawn);
  for (int i = 0; i < 40; ++i) {
    for (SceneFixture* s : {&drawn, &undrawn}) {
      s->game.controls.currentColumn = i & 1;
      // The carrier walks off to the right, taking its sign out of view.
      for (ObjectRecord& o : s->game.world.objects)
        if (o.has(flag::HasFace)) o.x += 4.0f;
      s->game.script.wordBoxes.back()->x += 3.0f;
    }
    updateDrawingState(drawn.game);
    const Snapshot before = snapshot(drawn.game);
    drawScene(drawn.game, drawn.fill);
    EXPECT_EQ(snapshot(drawn.game), before) << "frame " << i;
    updateDrawingState(undrawn.game);
    EXPECT_EQ(snapshot(undrawn.game), snapshot(drawn.game)) << "frame " << i;
  }
  // The state did move: the checkpoint cycled and the leaving sign went.
  EXPECT_NE(drawn.game.world.currentCheckpoint->colour1, 0);
  EXPECT_EQ(drawn.game.script.wordBoxes.size(), 1u);
}

TEST(Scene, NoScreenOrNoPlayerDrawsSafely) {
  SceneFixture s;
  drawScene(s.game);  // no screen output: nothing
  s.game.world.objects.clear();
  s.game.world.player = nullptr;
  addSign(s, "I", 0.0f, 0.0f, 100.0f, 10.0f, 10.0f);
  frame(s);
  EXPECT_EQ(s.at(84, 36), kInk);
}

}  // namespace
}  // namespace zor
