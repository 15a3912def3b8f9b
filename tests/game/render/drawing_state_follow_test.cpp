// The drawing state kept from frame to frame (the x index brought up to date
// from the objects that can change by themselves) against the drawing state
// made anew in every frame by the walk over every object, on played zones:
// platforms on motion paths, crates and walkers, blinking, spikes, checkpoints,
// light-up blocks, and scripts that move, hide, kill, flag, blink and explode
// objects between the frames. Both games must change their objects alike, and
// draw the same pictures, as an index made anew for each frame does.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "game/game.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "game/render/projection.h"
#include "game/render/scene.h"
#include "game/render/scene_index.h"
#include "game/script/interpreter.h"
#include "game/world/world_step.h"
#include "platform/xml.h"
#include "tests/game/render/scene_test_support.h"

namespace zor {
namespace {

using namespace scene_test;

constexpr int kBlocks = 420;

// A zone of named blocks of every kind, in no depth order.
std::string zoneText(uint32_t seed) {
  Lcg r{seed};
  auto num = [](int v) { return std::to_string(v); };
  auto level = [&] { return " level=\"" + num(r.next(3)) + "\""; };
  std::string s = "<zorlan version=\"1\">\n";
  s += "  <class name=\"walker\" acc=\"0.12,4\" speed=\"1.6\" cover=\"400\" eflags=\"jumping\" w=\"24\" h=\"20\""
       " color=\"C83838,FF9070\" flg=\"dynamic,solid,hasface\"/>\n";
  s += "  <zone id=\"z\" xlim=\"-4000,4000\" ylim=\"-500,3000\">\n";
  s += "    <levels><level z=\"0\" unlocked=\"1\"/><level z=\"100\"/><level z=\"200\"/></levels>\n";
  s += "    <entrance x=\"0\" y=\"0\" level=\"0\"/>\n";
  for (int l = 0; l < 3; ++l) {
    s += "    <block oname=\"floor" + num(l) + "\" x=\"-4000\" y=\"-40\" w=\"8000\" h=\"40\" level=\"" + num(l) +
         "\" color=\"406040\" flg=\"solid\"/>\n";
  }
  s += "    <block oname=\"sky\" x=\"0\" y=\"-200\" z=\"3000\" w=\"10\" h=\"10\" color=\"80A0FF\" flg=\"horizon\"/>\n";
  for (int b = 0; b < kBlocks; ++b) {
    const std::string name = " oname=\"b" + num(b) + "\"";
    const int x = r.next(7000) - 3500;
    const std::string at = " x=\"" + num(x) + "\"";
    switch (r.next(10)) {
      case 0:
        s += "    <block" + name + at + " y=\"" + num(40 + r.next(300)) + "\" w=\"60\" h=\"12\"" + level() +
             " color=\"A0A0A0\" flg=\"solid,motion\" xlim=\"" + num(x) + "," + num(x + 100 + r.next(300)) +
             "\" ylim=\"" + num(60) + "\" freq=\"0." + num(1 + r.next(4)) + "\"/>\n";
        break;
      case 1:
        s += "    <block" + name + at + " y=\"" + num(r.next(200)) + "\" w=\"24\" h=\"24\"" + level() +
             " color=\"A07040\" flg=\"dynamic,solid\"/>\n";
        break;
      case 2:
        s += "    <block" + name + " class=\"walker\"" + at + " y=\"0\"" + level() + "/>\n";
        break;
      case 3:
        s += "    <block" + name + at + " y=\"0\" w=\"40\" h=\"10\"" + level() +
             " color=\"E02020,FF8040\" flg=\"solid,deadly\"/>\n";
        break;
      case 4:
        s += "    <block" + name + at + " y=\"0\" w=\"20\" h=\"40\"" + level() +
             " color=\"40A040,A0FFA0\" flg=\"checkpoint\"/>\n";
        break;
      case 5:
        s += "    <block" + name + at + " y=\"" + num(r.next(300)) + "\" w=\"20\" h=\"20\"" + level() +
             " color=\"FFE040,FFFFFF\" flg=\"lightup,invisible\"/>\n";
        break;
      case 6:
        s += "    <block" + name + at + " y=\"" + num(40 + r.next(300)) + "\" w=\"50\" h=\"20\"" + level() +
             " color=\"" + num(100000 + r.next(800000)) + "," + num(100000 + r.next(800000)) +
             "\" flg=\"solid,cyclic,semitrans\" freq=\"0." + num(2 + r.next(7)) + "\"/>\n";
        break;
      case 7:
        s += "    <block" + name + at + " y=\"" + num(r.next(600) - 100) + "\" z=\"" + num(300 + r.next(1500)) +
             "\" w=\"" + num(100 + r.next(400)) + "\" h=\"" + num(50 + r.next(300)) + "\" color=\"" +
             num(r.next(16777216)) + "\" flg=\"scenic\"/>\n";
        break;
      default:
        s += "    <block" + name + at + " y=\"" + num(r.next(300)) + "\" w=\"" + num(12 + r.next(100)) + "\" h=\"" +
             num(10 + r.next(60)) + "\"" + level() + " color=\"" + num(r.next(16777216)) + "\" flg=\"" +
             (r.next(2) ? "solid,hasface" : "solid") + "\"/>\n";
        break;
    }
  }
  s += "  </zone>\n</zorlan>\n";
  return s;
}

struct Played {
  std::unique_ptr<Game> game = std::make_unique<Game>();
  FrameBuffer fb{160, 90};
  BufferShapeFill fill{&fb};

  explicit Played(const std::string& text) {
    Game& g = *game;
    EXPECT_TRUE(g.data.document.parse(text, nullptr));
    g.data.gameFilePath = "follow.xml";
    readGameData(g);
    g.random.table.fill(g.random.generator);
    g.app.frameTime = 1000;
    EXPECT_TRUE(loadZone(g, "z", true));
    g.script.zoneEntryQuiet = false;
    useSmallScreen(g);
  }
  Game& g() { return *game; }
};

// One statement run as a script of its own, in both games.
void runInBoth(std::list<xml::Document>& docs, Played& a, Played& b, const std::string& statement) {
  xml::Document& doc = docs.emplace_back();
  ASSERT_TRUE(doc.parse("<sub>" + statement + "</sub>", nullptr)) << statement;
  runScript(a.g(), doc.root(), a.g().world.player);
  runScript(b.g(), doc.root(), b.g().world.player);
}

std::string randomStatement(Lcg& r) {
  const std::string name = "b" + std::to_string(r.next(kBlocks));
  const std::string on = " oname=\"" + name + "\"";
  switch (r.next(12)) {
    case 0: return "<shift" + on + " x=\"" + std::to_string(r.next(2000) - 1000) + "\"/>";
    case 1: return "<effect" + on + " type=\"flash\" frames=\"" + std::to_string(r.next(40)) + "\"/>";
    case 2: return "<hide" + on + "/>";
    case 3: return "<unhide" + on + "/>";
    case 4: return "<kill" + on + "/>";
    case 5: return "<setflags" + on + " flg=\"horizon\"/>";
    case 6: return "<unsetflags" + on + " flg=\"horizon\"/>";
    case 7: return "<move" + on + " leap=\"+1\"/>";
    case 8: return "<setcheck" + on + "/>";
    case 9: return "<explode num=\"3\" vel=\"4\" w=\"6\" h=\"6\"/>";
    case 10: return "<shift" + on + " abs=\"on\" x=\"" + std::to_string(r.next(600) - 300) + "\" y=\"40\" z=\"100\"/>";
    default: return "<setflags" + on + " flg=\"dynamic\"/>";
  }
}

// What the drawing state may change, and where the objects are, alike in both.
::testing::AssertionResult sameObjects(const Game& a, const Game& b) {
  if (a.world.objects.size() != b.world.objects.size()) return ::testing::AssertionFailure() << "object counts";
  auto ib = b.world.objects.begin();
  std::size_t n = 0;
  for (const ObjectRecord& oa : a.world.objects) {
    const ObjectRecord& ob = *ib++;
    const float fa[] = {oa.x, oa.y, oa.z, oa.w, oa.h, oa.phase, oa.trans};
    const float fb[] = {ob.x, ob.y, ob.z, ob.w, ob.h, ob.phase, ob.trans};
    if (std::memcmp(fa, fb, sizeof fa) != 0 || oa.flags != ob.flags || oa.colour1 != ob.colour1 ||
        oa.colour2 != ob.colour2 || oa.effectBits != ob.effectBits || oa.name != ob.name) {
      return ::testing::AssertionFailure() << "object " << n << " (" << oa.name << ") differs";
    }
    ++n;
  }
  return ::testing::AssertionSuccess();
}

TEST(DrawingStateFollow, TheKeptDrawingStateMatchesOneMadeAnewInEveryFrameOfPlay) {
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    const std::string text = zoneText(seed);
    Played kept(text), anew(text);
    Lcg r{seed * 7919u};
    std::list<xml::Document> docs;
    std::size_t followed = 0;
    for (int frame = 0; frame < 240; ++frame) {
      const std::string what = "seed " + std::to_string(seed) + " frame " + std::to_string(frame);
      // Now and then scripts change a few objects between the frames.
      if (r.next(4) == 0) {
        for (int k = 1 + r.next(3); k > 0; --k) runInBoth(docs, kept, anew, randomStatement(r));
      }
      // The player is carried along the zone, and the camera at times comes
      // close to (or passes) the blocks.
      const float px = -3000.0f + 25.0f * static_cast<float>(frame);
      for (Played* p : {&kept, &anew}) {
        if (ObjectRecord* player = p->g().world.player) {
          player->x = px;
          if (frame % 50 == 0) player->effectBits = 1, player->effectTimer = 20;
        }
        stepWorld(p->g());
      }
      const bool nearCamera = frame % 40 >= 30;
      const float camZ = static_cast<float>(r.next(500)) - 150.0f;
      for (Played* p : {&kept, &anew}) {
        if (nearCamera) p->g().world.cameraPosition.z = camZ;
        // Blink frames come and go.
        p->g().controls.currentColumn = frame % 3 == 0 ? 1 : 0;
      }
      const std::size_t followsBefore = kept.g().screen.sceneIndex.follows();
      updateDrawingState(kept.g());
      followed += kept.g().screen.sceneIndex.follows() - followsBefore;
      anew.g().screen.sceneIndex.clear();  // made anew from every object
      updateDrawingState(anew.g());
      ASSERT_TRUE(sameObjects(kept.g(), anew.g())) << what;
      ASSERT_EQ(kept.g().script.scenePlayerHidden, anew.g().script.scenePlayerHidden) << what;

      // The pictures: through the kept index, and over every object of the other game.
      clearBuffer(kept.fb, kClear);
      clearBuffer(anew.fb, kClear);
      drawScene(kept.g(), kept.fill, SceneWalk::Indexed);
      drawScene(anew.g(), anew.fill, SceneWalk::Whole);
      ASSERT_TRUE(pixelsMatch(kept.fb, [&](int x, int y) { return pointColour(anew.fb, x, y); })) << what;

      // The picture through an index made anew for this frame is the same too.
      Game& g = kept.g();
      const Projection p = projectionFor(g);
      SceneIndex fresh;
      fresh.begin(p, g.world.player, g.world.objects.size(), false);
      for (ObjectRecord& o : g.world.objects) {
        if (&o != g.world.player) fresh.add(o);
      }
      fresh.finish({});
      if (g.screen.sceneIndex.fits(p, g.world.player, g.world.objects.size())) {
        ASSERT_TRUE(g.screen.sceneIndex.agreesWith(fresh)) << what;
      }
      FrameBuffer fromFresh(kept.fb.width(), kept.fb.height());
      BufferShapeFill freshFill(&fromFresh);
      clearBuffer(fromFresh, kClear);
      std::swap(g.screen.sceneIndex, fresh);
      drawScene(g, freshFill, SceneWalk::Indexed);
      std::swap(g.screen.sceneIndex, fresh);
      ASSERT_TRUE(pixelsMatch(fromFresh, [&](int x, int y) { return pointColour(anew.fb, x, y); })) << what;
    }
    // Most frames were brought up to date from the watched objects alone.
    EXPECT_GT(followed, 30u) << "seed " << seed;
  }
}

// The blink, the near stop and the current checkpoint's cycle through the kept
// index, on a still zone seen from depths that put the near stop before, among
// and after the blinking objects.
TEST(DrawingStateFollow, BlinkNearStopAndCheckpointAsTheWholeWalk) {
  // Camera depths of the first frames and of the later ones.
  const float startZ[] = {-100.0f, -100.0f, -100.0f, -100.0f, 1100.0f};
  const float laterZ[] = {-100.0f, 1100.0f, 600.0f, 2000.0f, -100.0f};
  for (int variant = 0; variant < 5; ++variant) {
    SceneFixture kept, anew;
    for (SceneFixture* s : {&kept, &anew}) {
      float z = 1500.0f;
      for (int k = 0; k < 300; ++k) {
        ObjectRecord& o = s->addBlock(-600.0f + 4.0f * static_cast<float>(k), -20.0f, 30.0f, 30.0f, z,
                                      0x102030 + k, k % 17 == 0 ? flag::Checkpoint : flag::Solid);
        if (k % 9 == 0) {
          o.effectBits = 1;
          o.effectTimer = -1;
        }
        if (k % 23 == 0) o.flags |= flag::Invisible;
        if (k == 102) s->game.world.currentCheckpoint = &o;
        z -= 5.0f;
      }
      // The player goes among the blocks, so that the near stop can come before it.
      ObjectRecord player = s->player();
      s->game.world.objects.erase(s->game.world.objects.begin());
      s->game.world.objects.setCurrent(std::next(s->game.world.objects.begin(), 150));
      player.z = 740.0f;
      s->game.world.player = &s->game.world.objects.add(player);
      s->player().effectBits = 1;
      s->game.world.cameraPosition = {-200.0f, 0.0f, startZ[variant]};
    }
    for (int frame = 0; frame < 12; ++frame) {
      const std::string what = "variant " + std::to_string(variant) + " frame " + std::to_string(frame);
      for (SceneFixture* s : {&kept, &anew}) {
        s->game.controls.currentColumn = frame % 2;
        s->game.world.cameraPosition.x += 20.0f;
        if (frame >= 4) s->game.world.cameraPosition.z = laterZ[variant] + static_cast<float>(frame);
      }
      updateDrawingState(kept.game);
      anew.game.screen.sceneIndex.clear();
      updateDrawingState(anew.game);
      ASSERT_TRUE(sameObjects(kept.game, anew.game)) << what;
      clearBuffer(kept.fb, kClear);
      clearBuffer(anew.fb, kClear);
      drawScene(kept.game, kept.fill, SceneWalk::Indexed);
      drawScene(anew.game, anew.fill, SceneWalk::Whole);
      ASSERT_TRUE(pixelsMatch(kept.fb, [&](int x, int y) { return pointColour(anew.fb, x, y); })) << what;
    }
    EXPECT_GE(kept.game.screen.sceneIndex.follows(), 10u) << "variant " << variant;
  }
}

}  // namespace
}  // namespace zor
