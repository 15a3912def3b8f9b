// The pair pass through its index by place against the plain pass that tests
// every later object (and releases stacks by walking the whole list), on
// randomised zones: every frame must bring the same contacts in the same order
// and the same world, bit for bit.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

#include "format/vocabulary.h"
#include "game/game.h"
#include "game/input/controls.h"
#include "game/world/areas_camera.h"
#include "game/world/bodies.h"
#include "game/world/motion.h"
#include "game/world/objects.h"
#include "game/world/player_control.h"
#include "tests/game/world/play_test_support.h"
#include "tests/game/world/world_state_dump.h"

namespace zor {
namespace {

using testing::PlayHarness;
using testing::Rng;

std::string num(int v) { return std::to_string(v); }

// A crowded zone over three levels: floors (some wider than any cell), crates,
// stacks of crates, heavy and hopping class objects, deadly and face blocks,
// checkpoints, bouncy pads, moving platforms, overlapping and degenerate boxes,
// and blocks that fall out of the zone.
std::string randomZone(uint32_t seed, int blocks, const std::string& deathScript = "") {
  Rng r{seed};
  std::string s = "<zorlan version=\"1\">";
  s += "<class name=\"hopper\" acc=\"0.3,7\" speed=\"2.5\" hops=\"60\" eflags=\"jumping,smart\" "
       "flg=\"dynamic,solid,hasface\" w=\"18\" h=\"18\"/>";
  s += "<class name=\"crusher\" acc=\"0.2,6\" speed=\"1.5\" cover=\"400\" eflags=\"heavy,stomping\" "
       "flg=\"dynamic,solid\" w=\"40\" h=\"30\"/>";
  s += "<class name=\"leaper\" acc=\"0.25,6.5\" speed=\"2\" eflags=\"leaping,greedy\" flg=\"dynamic,solid\" "
       "w=\"16\" h=\"16\"/>";
  s += "<zone id=\"first\" xlim=\"-3000,3000\" ylim=\"-400,4000\"><levels><level z=\"0\" unlocked=\"1\"/>"
       "<level z=\"50\" unlocked=\"1\"/><level z=\"100\" unlocked=\"1\"/></levels>"
       "<entrance x=\"0\" y=\"40\" level=\"0\"/>";
  // In half of the zones a death script adds objects in the middle of the pass.
  if (!deathScript.empty()) {
    s += deathScript;
  } else if (seed % 2 == 1) {
    s += "<death><explode num=\"3\" vel=\"4\" w=\"6\" h=\"6\" flg=\"solid\"/></death>";
  }
  for (int level = 0; level < 3; ++level) {
    s += "<block x=\"" + num(-1500 + r.range(0, 300)) + "\" y=\"-20\" w=\"" + num(r.range(1200, 2600)) +
         "\" h=\"20\" level=\"" + num(level) + "\" flg=\"solid\"/>";
  }
  for (int i = 0; i < blocks; ++i) {
    const std::string at = "x=\"" + num(r.range(-700, 700)) + "\" y=\"" + num(r.range(-60, 500)) + "\" level=\"" +
                           num(r.range(0, 2)) + "\"";
    std::string size = " w=\"" + num(r.range(4, 60)) + "\" h=\"" + num(r.range(4, 60)) + "\"";
    if (r.range(0, 19) == 0) size = " w=\"" + num(r.range(200, 900)) + "\" h=\"" + num(r.range(2, 30)) + "\"";
    if (r.range(0, 49) == 0) size = " w=\"0\" h=\"" + num(r.range(0, 20)) + "\"";
    switch (r.range(0, 13)) {
      case 0:
      case 1:
      case 2:
        s += "<block " + at + size + " flg=\"solid\"/>";
        break;
      case 3:
      case 4:
      case 5:
        s += "<block " + at + size + " flg=\"dynamic,solid\"/>";
        break;
      case 6: {
        // A stack of crates.
        const int x = r.range(-600, 600), level = r.range(0, 2), height = r.range(2, 5);
        for (int k = 0; k < height; ++k) {
          s += "<block x=\"" + num(x + r.range(-4, 4)) + "\" y=\"" + num(20 + k * 22) + "\" w=\"20\" h=\"20\" level=\"" +
               num(level) + "\" flg=\"dynamic,solid" + (k % 2 ? ",hasface" : "") + "\"/>";
        }
        break;
      }
      case 7:
        s += "<block class=\"hopper\" " + at + "/>";
        break;
      case 8:
        s += "<block class=\"crusher\" " + at + "/>";
        break;
      case 9:
        s += "<block class=\"leaper\" " + at + "/>";
        break;
      case 10:
        s += "<block " + at + size + " flg=\"solid,deadly\"/>";
        break;
      case 11:
        s += r.range(0, 1) ? "<block " + at + " w=\"20\" flg=\"checkpoint\"/>"
                           : "<block " + at + size + " flg=\"solid,bouncy\" fall=\"9\"/>";
        break;
      case 12: {
        const int x = r.range(-600, 500), y = r.range(-10, 300);
        s += "<block y=\"" + num(y) + "\" w=\"" + num(r.range(30, 90)) + "\" h=\"10\" level=\"" + num(r.range(0, 2)) +
             "\" flg=\"solid,cyclic,motion\" freq=\"0." + num(r.range(1, 9)) + "\" xlim=\"" + num(x) + "," +
             num(x + r.range(20, 200)) + "\" ylim=\"" + num(y) + "," + num(y + r.range(0, 80)) + "\"/>";
        break;
      }
      default:
        s += "<block " + at + size + " flg=\"dynamic,solid,deadly\"/>";
        break;
    }
  }
  s += "</zone></zorlan>";
  return s;
}

// One game frame as PlayHarness::frame, with the chosen pair search.
void frame(PlayHarness& h, const std::vector<int>& held, PairSearch search, std::vector<PairContact>& contacts) {
  Game& g = h.g();
  h.input(held);
  g.app.frameTime += 16;
  stepPlayerControls(g);
  updateObjectMotion(g.world, g.random.table);
  stepBodies(g, search, &contacts);
  stepAreasAndCamera(g);
  h.endOfFrame();
}

// One game frame with the motion and bodies phases in one walk, as stepWorld runs them.
void fusedFrame(PlayHarness& h, const std::vector<int>& held, std::vector<PairContact>& contacts) {
  Game& g = h.g();
  h.input(held);
  g.app.frameTime += 16;
  stepPlayerControls(g);
  stepMotionAndBodies(g, &contacts);
  stepAreasAndCamera(g);
  h.endOfFrame();
}

// Contacts as list positions, comparable between two games.
std::vector<std::pair<int, int>> positions(const World& w, const std::vector<PairContact>& contacts) {
  std::unordered_map<const ObjectRecord*, int> at;
  int i = 0;
  for (const ObjectRecord& o : w.objects) at[&o] = i++;
  std::vector<std::pair<int, int>> out;
  for (const PairContact& c : contacts) {
    auto a = at.find(c.a), b = at.find(c.b);
    out.emplace_back(a == at.end() ? -1 : a->second, b == at.end() ? -1 : b->second);
  }
  return out;
}

TEST(PairPass, IndexedPassMatchesTheExhaustivePassOnRandomZones) {
  std::size_t totalContacts = 0;
  int killed = 0;
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    const std::string zone = randomZone(seed, 100 + static_cast<int>(seed) * 20);
    PlayHarness indexed(zone), plain(zone);
    indexed.g().script.zoneEntryQuiet = plain.g().script.zoneEntryQuiet = false;
    Rng input{seed * 7919u};
    for (int f = 0; f < 250; ++f) {
      const std::vector<int> held = testing::randomInput(input, 2);
      std::vector<PairContact> ci, cp;
      frame(indexed, held, PairSearch::Indexed, ci);
      frame(plain, held, PairSearch::Exhaustive, cp);
      ASSERT_EQ(positions(indexed.world(), ci), positions(plain.world(), cp)) << "seed " << seed << " frame " << f;
      ASSERT_EQ(testing::dumpState(indexed.g()), testing::dumpState(plain.g())) << "seed " << seed << " frame " << f;
      ASSERT_EQ(indexed.effects, plain.effects) << "seed " << seed << " frame " << f;
      totalContacts += ci.size();
    }
    for (const ObjectRecord& o : indexed.world().objects) killed += o.has(format::flag::Killed) ? 1 : 0;
  }
  // The zones were busy enough to mean something.
  EXPECT_GT(totalContacts, 30000u);
  EXPECT_GT(killed, 100);
}

TEST(PairPass, OneWalkForMotionAndBodiesMatchesTheTwoWalksOnRandomZones) {
  std::size_t totalContacts = 0;
  int replaced = 0;
  for (uint32_t seed = 11; seed <= 14; ++seed) {
    const std::string zone = randomZone(seed, 100 + static_cast<int>(seed) * 10);
    PlayHarness fused(zone), plain(zone);
    fused.g().script.zoneEntryQuiet = plain.g().script.zoneEntryQuiet = false;
    Rng input{seed * 104729u};
    for (int f = 0; f < 250; ++f) {
      const std::vector<int> held = testing::randomInput(input, 2);
      if (f % 37 == 5) {
        // Between two steps (as a script would, waking it) a solid block
        // that stands still moves onto the player.
        for (PlayHarness* h : {&fused, &plain}) {
          const ObjectRecord& player = *h->world().player;
          int seen = 0;
          for (ObjectRecord& o : h->world().objects) {
            if (&o == &player || !o.has(format::flag::Solid) ||
                o.has(format::flag::Dynamic | format::flag::Motion) || ++seen != f % 11 + 1) {
              continue;
            }
            o.level = player.level;
            o.x = player.x + 4.0f;
            o.y = player.y + 4.0f;
            h->world().stepCache.wake(&o);
            break;
          }
        }
      }
      if (f % 41 == 7) {
        // Between two steps a block that something stands on gives way to a
        // copy of itself in the same place that is deadly and not solid: the
        // same box in the same place of the order, but another record.
        for (PlayHarness* h : {&fused, &plain}) {
          World& w = h->world();
          const ObjectRecord* base = nullptr;
          for (const ObjectRecord& o : w.objects) {
            const ObjectRecord* s = o.support;
            if (s != nullptr && s != w.player && s->has(format::flag::Solid) &&
                !s->has(format::flag::Dynamic | format::flag::Motion | format::flag::Checkpoint)) {
              base = s;
              break;
            }
          }
          if (base == nullptr) continue;
          ObjectRecord copy = *base;
          copy.flags = (copy.flags & ~format::flag::Solid) | format::flag::Deadly;
          w.objects.setCurrent(base);
          w.objects.add(copy);
          deleteObjectsWhere(w, h->g().script, [base](const ObjectRecord& o) { return &o == base; });
          ++replaced;
        }
      }
      std::vector<PairContact> cf, cp;
      fusedFrame(fused, held, cf);
      frame(plain, held, PairSearch::Exhaustive, cp);
      ASSERT_EQ(positions(fused.world(), cf), positions(plain.world(), cp)) << "seed " << seed << " frame " << f;
      ASSERT_EQ(testing::dumpState(fused.g()), testing::dumpState(plain.g())) << "seed " << seed << " frame " << f;
      ASSERT_EQ(fused.effects, plain.effects) << "seed " << seed << " frame " << f;
      // What the step keeps for the next one holds no more than this step's objects.
      ASSERT_LE(fused.world().stepCache.buffers.movingPositions.size(), fused.world().objects.size());
      totalContacts += cf.size();
    }
  }
  EXPECT_GT(totalContacts, 10000u);
  EXPECT_GT(replaced, 20);
}

// The objects that stand still and can be met (solid, deadly or checkpoints),
// in list order, the player left out.
std::vector<ObjectRecord*> stillBlocks(World& w) {
  std::vector<ObjectRecord*> out;
  for (ObjectRecord& o : w.objects) {
    if (&o != w.player && !o.has(format::flag::Dynamic | format::flag::Motion) &&
        o.has(format::flag::Solid | format::flag::Deadly | format::flag::Checkpoint)) {
      out.push_back(&o);
    }
  }
  return out;
}

std::vector<ObjectRecord*> dynamicObjects(World& w) {
  std::vector<ObjectRecord*> out;
  for (ObjectRecord& o : w.objects) {
    if (&o != w.player && o.has(format::flag::Dynamic)) out.push_back(&o);
  }
  return out;
}

// One change between two steps, as a script would make it (waking what it
// changes), drawn from `r`: a block that stands still gains or loses what it
// can be met as (solid, deadly, a face, a checkpoint) in place, changes level,
// or takes a box of not-a-number, infinite or huge values; a dynamic object is
// put inside such a block with a face or deadly, or is given a support.
void changeBetweenSteps(World& w, Rng& r) {
  namespace flag = format::flag;
  const std::vector<ObjectRecord*> still = stillBlocks(w);
  const std::vector<ObjectRecord*> dynamic = dynamicObjects(w);
  if (still.empty() || dynamic.empty()) return;
  ObjectRecord& b = *still[static_cast<std::size_t>(r.range(0, static_cast<int>(still.size()) - 1))];
  ObjectRecord& a = *dynamic[static_cast<std::size_t>(r.range(0, static_cast<int>(dynamic.size()) - 1))];
  constexpr uint32_t kBits[] = {flag::Solid, flag::Deadly, flag::HasFace, flag::Checkpoint};
  constexpr float kOdd[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(), 1.0e30f, -3.0e38f, 16777217.0f};
  switch (r.range(0, 5)) {
    case 0:
    case 1:
      b.flags ^= kBits[r.range(0, 3)];
      w.stepCache.wake(&b);
      break;
    case 2:
      b.level = static_cast<int8_t>(r.range(-1, 2));
      w.stepCache.wake(&b);
      break;
    case 3:
      if (r.range(0, 1) == 0) {
        b.x = kOdd[r.range(0, 5)];
      } else {
        b.w = kOdd[r.range(0, 5)];
      }
      w.stepCache.wake(&b);
      break;
    case 4:
      // Inside the block before the step's motion.
      a.level = b.level;
      a.x = b.x + 1.0f;
      a.y = b.y + 1.0f;
      a.flags &= ~(flag::HasFace | flag::Deadly);
      a.flags |= r.range(0, 1) ? flag::HasFace : flag::Deadly;
      w.stepCache.wake(&a);
      break;
    default:
      a.support = &b;
      w.stepCache.wake(&a);
      break;
  }
}

TEST(PairPass, TheKeptIndexOfStillBlocksFollowsWhatTheyCanBeMetAs) {
  std::size_t totalContacts = 0;
  int moved = 0;
  for (uint32_t seed = 21; seed <= 26; ++seed) {
    // Some zones' death scripts move a solid block while the pass runs.
    std::string zone = randomZone(seed, 140);
    if (seed % 2 == 0) {
      zone = randomZone(seed, 140,
                        "<death><shift oname=\"mover\" x=\"3\" y=\"-7\"/><shift oname=\"you\" x=\"0\" "
                        "y=\"30\"/></death>");
      zone.insert(zone.find("</zone>"),
                  "<block oname=\"mover\" x=\"-40\" y=\"0\" w=\"120\" h=\"60\" flg=\"solid,deadly\"/>");
    }
    PlayHarness fused(zone), plain(zone);
    fused.g().script.zoneEntryQuiet = plain.g().script.zoneEntryQuiet = false;
    Rng input{seed * 6151u};
    for (int f = 0; f < 300; ++f) {
      const std::vector<int> held = testing::randomInput(input, 2);
      if (f % 3 == 1) {
        Rng fusedDraw{seed * 131u + static_cast<uint32_t>(f)}, plainDraw = fusedDraw;
        changeBetweenSteps(fused.world(), fusedDraw);
        changeBetweenSteps(plain.world(), plainDraw);
      }
      std::vector<PairContact> cf, cp;
      fusedFrame(fused, held, cf);
      frame(plain, held, PairSearch::Exhaustive, cp);
      ASSERT_EQ(positions(fused.world(), cf), positions(plain.world(), cp)) << "seed " << seed << " frame " << f;
      ASSERT_EQ(testing::dumpState(fused.g()), testing::dumpState(plain.g())) << "seed " << seed << " frame " << f;
      ASSERT_EQ(fused.effects, plain.effects) << "seed " << seed << " frame " << f;
      totalContacts += cf.size();
    }
    for (const ObjectRecord& o : fused.world().objects) moved += o.name == "mover" && o.x != -40.0f ? 1 : 0;
  }
  EXPECT_GT(totalContacts, 10000u);
  // The death scripts ran.
  EXPECT_GT(moved, 0);
}

// Made zones whose first frames run what the random ones seldom do.
TEST(PairPass, MadeZonesMatchTheExhaustivePass) {
  struct Case {
    const char* what;
    const char* blocks;  // after a floor on level 0
    const char* death;   // the zone's death script; "" for none
  };
  const Case cases[] = {
      {"a deadly crate kills the face block it sits in, and the crate after it in the order no longer meets it",
       "<block oname=\"killer\" x=\"300\" y=\"0\" w=\"20\" h=\"20\" flg=\"dynamic,solid,deadly\"/>"
       "<block oname=\"crate\" x=\"305\" y=\"0\" w=\"20\" h=\"20\" flg=\"dynamic,solid\"/>"
       "<block oname=\"face\" x=\"290\" y=\"-5\" w=\"60\" h=\"40\" flg=\"solid,hasface\"/>",
       ""},
      {"the player lands on the floor and on a deadly block at once; the death script moves a solid block onto a "
       "crate, and the pass that follows (the player's contacts changed) meets them where the block was before the "
       "step",
       "<block x=\"-20\" y=\"-6\" w=\"60\" h=\"8\" flg=\"deadly\"/>"
       "<block oname=\"crate\" x=\"200\" y=\"0\" w=\"20\" h=\"20\" flg=\"dynamic,solid\"/>"
       "<block oname=\"mover\" x=\"160\" y=\"0\" w=\"30\" h=\"40\" flg=\"solid\"/>",
       "<death><shift oname=\"mover\" x=\"30\" y=\"0\"/></death>"},
      {"a checkpoint and a deadly block that are not solid sweep over the player on motion paths",
       "<block x=\"-200\" y=\"0\" w=\"20\" h=\"40\" flg=\"checkpoint,cyclic,motion\" freq=\"1\" "
       "xlim=\"-200,200\" ylim=\"0\"/>"
       "<block x=\"300\" y=\"0\" w=\"30\" h=\"30\" flg=\"deadly,cyclic,motion\" freq=\"0.5\" "
       "xlim=\"300,-300\" ylim=\"0\"/>",
       ""},
  };
  for (const Case& c : cases) {
    const std::string zone = std::string("<zorlan version=\"1\"><zone id=\"first\" xlim=\"-3000,3000\" ylim=\"-400,4000\">") +
                             "<levels><level z=\"0\" unlocked=\"1\"/></levels><entrance x=\"0\" y=\"60\" level=\"0\"/>" +
                             c.death + "<block x=\"-1000\" y=\"-20\" w=\"2000\" h=\"20\" flg=\"solid\"/>" + c.blocks +
                             "</zone></zorlan>";
    PlayHarness fused(zone), plain(zone);
    fused.g().script.zoneEntryQuiet = plain.g().script.zoneEntryQuiet = false;
    std::size_t contacts = 0;
    for (int f = 0; f < 150; ++f) {
      std::vector<PairContact> cf, cp;
      fusedFrame(fused, {}, cf);
      frame(plain, {}, PairSearch::Exhaustive, cp);
      ASSERT_EQ(positions(fused.world(), cf), positions(plain.world(), cp)) << c.what << ", frame " << f;
      ASSERT_EQ(testing::dumpState(fused.g()), testing::dumpState(plain.g())) << c.what << ", frame " << f;
      ASSERT_EQ(fused.effects, plain.effects) << c.what << ", frame " << f;
      contacts += cf.size();
    }
    EXPECT_GT(contacts, 0u) << c.what;
  }
}

}  // namespace
}  // namespace zor
