// The scene walk through the frame's x index draws exactly what the walk over
// every object draws, while passing over the parts of a large zone beside the view.
#include "game/render/scene_index.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "game/render/projection.h"
#include "game/render/scene.h"
#include "tests/game/render/scene_test_support.h"

namespace zor {
namespace {

using namespace scene_test;

// A long zone of blocks far to near, with faces, checkpoints, a horizon, see-through
// scenery, signs between them and the player among them.
void fillZone(SceneFixture& s, uint32_t seed, int blocks, bool nearBlock, float halfLength = 20000.0f) {
  Lcg r{seed};
  float z = 2000.0f;
  s.addBlock(0.0f, -80.0f, 10.0f, 10.0f, 3000.0f, 0x80A060, flag::Horizon);
  for (int k = 0; k < blocks; ++k) {
    z -= r.between(0.0f, 3.9f);  // some depths repeat
    const uint32_t kinds[] = {flag::Solid, flag::Solid | flag::HasFace | flag::Evil, flag::Checkpoint,
                              flag::Scenic, flag::Solid | flag::Cyclic};
    ObjectRecord& o = s.addBlock(r.between(-halfLength, halfLength), r.between(-100.0f, 100.0f),
                                 r.between(2.0f, 400.0f), r.between(2.0f, 60.0f), z, r.next(0xFFFFFF),
                                 kinds[k % 5]);
    o.colour2 = r.next(0xFFFFFF);
    if (k % 5 == 3) o.trans = 0.5f;
    if (k % 11 == 0) o.w = -o.w;  // a block drawn from its right edge
    if (k % 97 == 0) s.game.world.currentCheckpoint = &o;
  }
  s.game.world.cameraPosition = {r.between(-0.75f * halfLength, 0.75f * halfLength), 0.0f, r.between(-300.0f, 0.0f)};
  if (nearBlock) s.addBlock(s.game.world.cameraPosition.x + r.between(-50.0f, 50.0f), 0.0f, 20.0f, 20.0f, s.game.world.cameraPosition.z + 2.0f, kRed);
  s.player().x = r.between(-200.0f, 200.0f);
  s.player().z = r.between(200.0f, 1500.0f);
  s.player().w = 20.0f;
  s.player().h = 20.0f;
  for (int k = 0; k < 6; ++k) {
    WordBox b;
    b.text = "SIGN";
    b.x = r.between(-300.0f, 300.0f);
    b.y = r.between(-40.0f, 40.0f);
    b.z = 1900.0f - 300.0f * static_cast<float>(k);
    b.width = 60.0f;
    b.height = 15.0f;
    b.colour = kBlack;
    b.backColour = kWhite;
    s.game.script.wordBoxes.addLast(b);
  }
  s.player().x += s.game.world.cameraPosition.x;
}

// A horizon spans the whole view: it turns into, or out of, one.
void o_flipHorizon(ObjectRecord* o) { o->flags ^= flag::Horizon; }

size_t candidates(const Game& g) {
  size_t n = 0;
  g.screen.sceneIndex.forEachCandidate(projectionFor(g), [&n](const ObjectRecord&) {
    ++n;
    return true;
  });
  return n;
}

// Draws the frame both ways; the pictures must be the same pixel for pixel.
void expectSamePicture(SceneFixture& s, const std::string& what) {
  FrameBuffer whole(s.fb.width(), s.fb.height());
  BufferShapeFill wholeFill(&whole);
  clearBuffer(s.fb, kClear);
  clearBuffer(whole, kClear);
  drawScene(s.game, s.fill, SceneWalk::Indexed);
  drawScene(s.game, wholeFill, SceneWalk::Whole);
  EXPECT_TRUE(pixelsMatch(s.fb, [&](int x, int y) { return pointColour(whole, x, y); })) << what;
}

TEST(SceneIndex, LargeZonesDrawTheSamePictureVisitingOnlyWhatCanBeSeen) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    SceneFixture s;
    // Every other zone is short, so that many blocks straddle the view's edges.
    const bool wide = seed % 2 == 1;
    fillZone(s, seed, 600, seed % 4 == 0, wide ? 20000.0f : 1200.0f);
    for (int frame = 0; frame < 3; ++frame) {
      updateDrawingState(s.game);
      const Game& g = s.game;
      ASSERT_TRUE(g.screen.sceneIndex.fits(projectionFor(g), g.world.player, g.world.objects.size()))
          << "seed " << seed;
      if (wide) {
        EXPECT_LT(candidates(g), g.world.objects.size() / 2) << "seed " << seed;
      }
      expectSamePicture(s, "seed " + std::to_string(seed) + " frame " + std::to_string(frame));
      s.game.world.cameraPosition.x += 37.0f;  // the next frame looks a little further on
    }
  }
}

// The kept index, brought up to date frame by frame while objects move, against
// one made anew from the same list in every frame and the walk over every
// object: the three pictures are the same.
TEST(SceneIndex, AKeptIndexFollowsMovingObjectsAsOneMadeAnewDoes) {
  for (uint32_t seed = 1; seed <= 10; ++seed) {
    SceneFixture s;
    const bool wide = seed % 2 == 1;
    fillZone(s, seed, 500, seed % 3 == 0, wide ? 20000.0f : 1500.0f);
    Lcg r{seed * 7919u};
    std::vector<ObjectRecord*> objects;
    for (ObjectRecord& o : s.game.world.objects) {
      if (&o != s.game.world.player) objects.push_back(&o);
    }
    const std::size_t rebuildsBefore = s.game.screen.sceneIndex.rebuilds();
    int listChanges = 0;
    for (int frame = 0; frame < 20; ++frame) {
      // A tenth of the objects move along x, some far (beyond the zone too), some
      // change width or flip sides; a few change depth within their neighbours'.
      for (std::size_t k = 0; k < objects.size(); ++k) {
        if (r.next(10) != 0) continue;
        ObjectRecord& o = *objects[k];
        switch (r.next(6)) {
          case 0: o.x += r.between(-30.0f, 30.0f); break;
          case 1: o.x += r.between(-5000.0f, 5000.0f); break;
          case 2: o.x = r.between(-60000.0f, 60000.0f); break;
          case 3: o.w = -o.w; break;
          case 4: o.w = r.between(2.0f, 900.0f); break;
          default: {
            const float before = k > 0 ? objects[k - 1]->z : o.z;
            const float after = k + 1 < objects.size() ? objects[k + 1]->z : o.z;
            o.z = after + (before - after) * r.between(0.0f, 1.0f);
            break;
          }
        }
      }
      if (frame % 7 == 6) o_flipHorizon(objects[static_cast<std::size_t>(r.next(static_cast<int>(objects.size())))]);
      if (frame == 6 || frame == 14) {
        // The list changes: an object goes, another comes.
        const std::size_t k = static_cast<std::size_t>(1 + r.next(static_cast<int>(objects.size()) - 2));
        const float z = objects[k]->z;
        for (auto it = s.game.world.objects.begin(); it != s.game.world.objects.end(); ++it) {
          if (&*it == objects[k]) {
            s.game.world.objects.erase(it);
            break;
          }
        }
        objects.erase(objects.begin() + static_cast<std::ptrdiff_t>(k));
        auto at = s.game.world.objects.begin();
        while (at != s.game.world.objects.end() && (&*at == s.game.world.player || !(at->z < z))) ++at;
        ObjectRecord added;
        added.x = s.game.world.cameraPosition.x + r.between(-100.0f, 100.0f);
        added.w = 40.0f;
        added.h = 20.0f;
        added.z = z;
        added.colour1 = added.colour2 = kYellow;
        added.level = 0;
        if (at == s.game.world.objects.begin()) {
          s.game.world.objects.clearCurrent();
        } else {
          s.game.world.objects.setCurrent(std::prev(at));
        }
        s.game.world.objects.add(added);
        objects.clear();
        for (ObjectRecord& o : s.game.world.objects) {
          if (&o != s.game.world.player) objects.push_back(&o);
        }
        ++listChanges;
      }
      s.game.world.cameraPosition.x += r.between(-200.0f, 400.0f);
      s.game.world.cameraPosition.z += r.between(-20.0f, 20.0f);
      // The objects were changed behind the world step's and the scripts' backs.
      s.game.screen.sceneIndex.noteObjectsChanged();
      updateDrawingState(s.game);
      const Game& g = s.game;
      const std::string what = "seed " + std::to_string(seed) + " frame " + std::to_string(frame);
      ASSERT_TRUE(g.screen.sceneIndex.fits(projectionFor(g), g.world.player, g.world.objects.size())) << what;

      // The picture through an index made anew for this frame is the same too.
      SceneIndex fresh;
      fresh.begin(projectionFor(g), g.world.player, g.world.objects.size(), false);
      for (ObjectRecord& o : s.game.world.objects) {
        if (&o != g.world.player) fresh.add(o);
      }
      fresh.finish({});
      FrameBuffer anew(s.fb.width(), s.fb.height());
      BufferShapeFill anewFill(&anew);
      clearBuffer(anew, kClear);
      std::swap(s.game.screen.sceneIndex, fresh);
      drawScene(s.game, anewFill, SceneWalk::Indexed);
      std::swap(s.game.screen.sceneIndex, fresh);
      expectSamePicture(s, what);
      EXPECT_TRUE(pixelsMatch(s.fb, [&](int x, int y) { return pointColour(anew, x, y); })) << what;
    }
    // Moving objects never made the buckets anew; only the changes of the list did.
    EXPECT_LE(s.game.screen.sceneIndex.rebuilds() - rebuildsBefore, static_cast<std::size_t>(1 + listChanges))
        << "seed " << seed;
    EXPECT_GT(s.game.screen.sceneIndex.moves(), 0u);
  }
}

// One object moves into the view between two frames while the index is kept:
// it must be drawn. The zone's blocks lie far to both sides, so that the moving
// block is alone in its part of the zone.
TEST(SceneIndex, AnObjectThatMovesIntoTheViewOfAKeptIndexIsDrawn) {
  struct Case {
    const char* what;
    float x, w;        // where the block starts, beside the view
    float toX, toW;    // where it goes
    bool shows;        // it then covers pixels of the view
  };
  const Case cases[] = {
      {"it grows toward the view from its left edge", -2500.0f, 200.0f, -2500.0f, 2600.0f, true},
      {"it flips to draw from its right edge", 2500.0f, 200.0f, 2500.0f, -2600.0f, false},
      {"it moves within its part of the zone", -1240.0f, 200.0f, -700.0f, 200.0f, true},
      {"it comes from far away", 15000.0f, 200.0f, -100.0f, 200.0f, true},
  };
  for (const Case& c : cases) {
    SceneFixture s;
    float z = 2000.0f;
    for (int k = 0; k < 300; ++k) {
      const float x = (k % 2 == 0 ? -20000.0f : 5000.0f) + 50.0f * static_cast<float>(k);
      s.addBlock(x, 0.0f, 20.0f, 20.0f, z, kBlue, flag::Solid);
      z -= 2.0f;
    }
    ObjectRecord& moving = s.addBlock(c.x, -20.0f, c.w, 40.0f, 1000.0f, kWhite, flag::Solid);
    s.game.world.cameraPosition = {0.0f, 0.0f, 0.0f};
    updateDrawingState(s.game);
    expectSamePicture(s, std::string(c.what) + ", before");
    const std::size_t rebuilds = s.game.screen.sceneIndex.rebuilds();
    moving.x = c.toX;
    moving.w = c.toW;
    s.game.screen.sceneIndex.noteObjectsChanged();
    updateDrawingState(s.game);
    EXPECT_EQ(s.game.screen.sceneIndex.rebuilds(), rebuilds) << c.what << ": the index was kept";
    expectSamePicture(s, c.what);
    int white = 0;
    for (int y = 0; y < s.fb.height(); ++y) {
      for (int x = 0; x < s.fb.width(); ++x) white += s.at(x, y) == kWhite ? 1 : 0;
    }
    if (c.shows) {
      EXPECT_GT(white, 0) << c.what << ": the block is in view";
    }
  }
}

TEST(SceneIndex, TheWholeListIsWalkedWhenTheIndexCannotBeTrusted) {
  struct Case {
    const char* what;
    void (*change)(SceneFixture&);    // before the drawing state is made
    void (*afterward)(SceneFixture&);  // between the drawing state and the drawing
  };
  const Case cases[] = {
      {"objects out of depth order", [](SceneFixture& s) { s.game.world.objects.back()->z = 5000.0f; },
       [](SceneFixture&) {}},
      {"an object at a depth that is not a number",
       [](SceneFixture& s) { s.game.world.objects.back()->z = std::numeric_limits<float>::quiet_NaN(); },
       [](SceneFixture&) {}},
      {"the swish moves everything sideways",
       [](SceneFixture& s) {
         s.game.script.screenEffects.swishAmount = 2.0f;
         s.game.script.screenEffects.swishTarget = 2.0f;
       },
       [](SceneFixture&) {}},
      {"the camera moved after the index was made", [](SceneFixture&) {},
       [](SceneFixture& s) { s.game.world.cameraPosition.x += 500.0f; }},
      {"an object came after the index was made", [](SceneFixture&) {},
       [](SceneFixture& s) { s.addBlock(s.game.world.cameraPosition.x, 0.0f, 30.0f, 30.0f, 50.0f, kBlue); }},
  };
  for (const Case& c : cases) {
    SceneFixture s;
    fillZone(s, 99, 400, false);
    c.change(s);
    updateDrawingState(s.game);
    c.afterward(s);
    const Game& g = s.game;
    EXPECT_FALSE(g.screen.sceneIndex.fits(projectionFor(g), g.world.player, g.world.objects.size())) << c.what;
    expectSamePicture(s, c.what);
  }
}

TEST(SceneIndex, ObjectsWithOddPlacesAreAlwaysVisited) {
  SceneFixture s;
  fillZone(s, 7, 400, false);
  // Huge, endless and missing coordinates, in depth order at the near end.
  const float camX = s.game.world.cameraPosition.x;
  s.addBlock(camX - 1e30f, 0.0f, 3e30f, 10.0f, 150.0f, kYellow);
  s.addBlock(-std::numeric_limits<float>::infinity(), 0.0f, 10.0f, 10.0f, 140.0f, kBlue);
  s.addBlock(std::numeric_limits<float>::quiet_NaN(), 0.0f, 10.0f, 10.0f, 130.0f, kRed);
  s.addBlock(camX - 40.0f, -20.0f, 80.0f, 20.0f, 120.0f, kWhite);
  updateDrawingState(s.game);
  const Game& g = s.game;
  ASSERT_TRUE(g.screen.sceneIndex.fits(projectionFor(g), g.world.player, g.world.objects.size()));
  expectSamePicture(s, "odd places");
  EXPECT_EQ(s.at(80, 46), kWhite);
}

}  // namespace
}  // namespace zor
