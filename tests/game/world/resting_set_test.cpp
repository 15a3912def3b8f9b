// The world step that passes over the objects at rest against the step that
// walks every object, on randomised zones whose scripts and areas move, wake,
// kill, drop, add and sort objects: every frame must leave every object's
// state the same, bit for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <iterator>
#include <string>
#include <unordered_map>
#include <vector>

#include "format/vocabulary.h"
#include "game/game.h"
#include "game/input/controls.h"
#include "game/world/objects.h"
#include "tests/game/world/play_test_support.h"
#include "tests/game/world/world_state_dump.h"

namespace zor {
namespace {

using testing::PlayHarness;
using testing::Rng;

std::string num(int v) { return std::to_string(v); }

// One statement on a named object (or the script's own when `name` is empty).
// With `changesList`, also statements that add objects or sort the list.
std::string randomStatement(Rng& r, const std::string& name, bool changesList) {
  const std::string on = name.empty() ? "" : " oname=\"" + name + "\"";
  int pick = r.range(0, 16);
  if (!changesList && (pick == 14 || pick == 15)) pick = 16;
  switch (pick) {
    case 0:
      return "<shift" + on + " x=\"" + num(r.range(-30, 30)) + "\" y=\"" + num(r.range(-10, 30)) + "\"/>";
    case 1:
      return "<shift" + on + " abs=\"1\" x=\"" + num(r.range(-400, 400)) + "\" y=\"" + num(r.range(0, 200)) +
             "\" z=\"" + num(r.range(0, 2) * 50) + "\"/>";
    case 2:
      return "<setflags" + on + " flg=\"dynamic\"/>";
    case 3:
      return "<unsetflags" + on + " flg=\"dynamic\"/>";
    case 4:
      return "<unsetflags" + on + " flg=\"solid\"/>";
    case 5:
      return "<setflags" + on + " flg=\"solid,deadly\"/>";
    case 6:
      return "<effect" + on + " type=\"blink\" frames=\"" + num(r.range(1, 30)) + "\"/>";
    case 7:
      return "<kill" + on + "/>";
    case 8:
      return "<drop" + on + "/>";
    case 9:
      return "<move" + on + " jump=\"" + num(r.range(2, 9)) + "\"/>";
    case 10:
      return "<move" + on + " x=\"" + num(r.range(-300, 300)) + "\" xv=\"3\"/>";
    case 11:
      return "<cycle" + on + " count=\"2\" freq=\"6\" x=\"" + num(r.range(-300, 300)) + "\"/>";
    case 12:
      return "<setflags" + on + " flg=\"cyclic,motion\"/>";
    case 13:
      return "<unsetflags" + on + " flg=\"cyclic,motion\"/>";
    case 14:
      return "<explode num=\"3\" vel=\"3\" w=\"5\" h=\"5\" flg=\"solid\"" + (name.empty() ? "" : " at=\"" + name + "\"") +
             "/>";
    case 15:
      return "<move" + on + " leap=\"+1\"/>";
    default:
      return "<setflags" + on + " flg=\"checkpoint\"/>";
  }
}

// A zone of floors, blocks that stand still (most of them named), crates,
// moving platforms and cycling blocks; scripts that repeat every few frames
// and change named objects; areas whose scripts change the blocks they name
// (and their own objects) as the player runs through them.
std::string randomScriptedZone(uint32_t seed, int blocks) {
  Rng r{seed};
  std::vector<std::string> names;
  std::string body;
  for (int level = 0; level < 3; ++level) {
    body += "<block x=\"-1500\" y=\"-20\" w=\"3000\" h=\"20\" level=\"" + num(level) + "\" flg=\"solid\"/>";
  }
  for (int i = 0; i < blocks; ++i) {
    const std::string name = "b" + num(i);
    names.push_back(name);
    const std::string place = "oname=\"" + name + "\" x=\"" + num(r.range(-700, 700)) + "\" y=\"" +
                              num(r.range(0, 300)) + "\" level=\"" + num(r.range(0, 2)) + "\"";
    const std::string at = place + " w=\"" + num(r.range(6, 60)) + "\" h=\"" + num(r.range(6, 40)) + "\"";
    switch (r.range(0, 9)) {
      case 0:
      case 1:
      case 2:
        body += "<block " + at + " flg=\"solid\"/>";
        break;
      case 3:
        body += "<block " + at + " flg=\"scenic\"/>";
        break;
      case 4:
        body += "<block " + at + " flg=\"solid,deadly\"/>";
        break;
      case 5:
      case 6:
        body += "<block " + at + " flg=\"dynamic,solid" + (r.range(0, 1) ? ",hasface" : "") + "\"/>";
        break;
      case 7: {
        const int x = r.range(-600, 500), y = r.range(10, 250);
        body += "<block oname=\"" + name + "\" y=\"" + num(y) + "\" w=\"" + num(r.range(30, 80)) +
                "\" h=\"10\" level=\"" + num(r.range(0, 2)) + "\" flg=\"solid,cyclic,motion\" freq=\"0." +
                num(r.range(1, 9)) + "\" xlim=\"" + num(x) + "," + num(x + r.range(20, 200)) + "\" ylim=\"" +
                num(y) + "," + num(y + r.range(0, 60)) + "\"/>";
        break;
      }
      case 8:
        body += "<block " + at + " flg=\"solid,cyclic,semisol\" freq=\"0." + num(r.range(1, 9)) + "\"/>";
        break;
      default:
        body += "<block " + place + " w=\"20\" flg=\"checkpoint\"/>";
        break;
    }
  }
  auto anyName = [&] { return names[static_cast<std::size_t>(r.range(0, static_cast<int>(names.size()) - 1))]; };
  // Scripts that repeat: each changes a few named objects every few frames.
  std::string start = "<start>";
  for (int t = 0; t < 4; ++t) {
    std::string tick;
    for (int k = 0; k < 2; ++k) tick += randomStatement(r, anyName(), false);
    start += "<after frames=\"" + num(r.range(1, 9)) + "\">" + tick + "<loop frames=\"" + num(r.range(3, 17)) +
             "\"/></after>";
  }
  start += "</start>";
  body += start;
  // Areas along the player's way; their scripts change their own object too.
  for (int a = 0; a < 12; ++a) {
    const int x = r.range(-600, 560);
    const std::string own = anyName();
    body += "<area oname=\"" + own + "\" xlim=\"" + num(x) + "," + num(x + 40) +
            "\" ylim=\"-10,400\"><enter>" + randomStatement(r, anyName(), true) + randomStatement(r, "", true) +
            "</enter><exit>" + randomStatement(r, anyName(), false) + "</exit></area>";
  }
  return "<zorlan version=\"1\"><zone id=\"first\" xlim=\"-3000,3000\" ylim=\"-400,4000\"><levels>"
         "<level z=\"0\" unlocked=\"1\"/><level z=\"50\" unlocked=\"1\"/><level z=\"100\" unlocked=\"1\"/>"
         "</levels><entrance x=\"0\" y=\"40\" level=\"0\"/>" +
         body + "</zone></zorlan>";
}

// Every field of every object, bit for bit; references as list positions.
std::vector<uint32_t> objectStates(const World& w) {
  std::unordered_map<const ObjectRecord*, uint32_t> at;
  uint32_t i = 0;
  for (const ObjectRecord& o : w.objects) at[&o] = i++;
  auto ref = [&at](const ObjectRecord* o) {
    auto it = o == nullptr ? at.end() : at.find(o);
    return it == at.end() ? UINT32_MAX : it->second;
  };
  std::vector<uint32_t> out;
  for (const ObjectRecord& o : w.objects) {
    for (float v : {o.x, o.y, o.w, o.h, o.prevX, o.prevY, o.vx, o.vy, o.z, o.gravity, o.slideTarget, o.phase, o.freq,
                    o.duty, o.waveValue, o.trans, o.xlim1, o.xlim2, o.ylim1, o.ylim2}) {
      out.push_back(std::bit_cast<uint32_t>(v));
    }
    for (int32_t v : {int32_t{o.level}, int32_t{o.facing}, int32_t{o.contacts}, int32_t{o.priority},
                      int32_t{o.effectTimer}, int32_t{o.standOnTimes}, o.count, o.colour1, o.colour2, o.litColour}) {
      out.push_back(static_cast<uint32_t>(v));
    }
    out.push_back(o.flags);
    out.push_back(o.effectBits);
    out.push_back(ref(o.support));
    out.push_back(ref(o.facedObject));
    out.push_back(o.standOnScript != nullptr);
    out.push_back(o.dieScript != nullptr);
    out.push_back(o.objectClass != nullptr);
    out.push_back(static_cast<uint32_t>(std::hash<std::string>()(o.name)));
  }
  return out;
}

// Where two lists of object states first differ: "object i, field f" (fields
// in the order objectStates takes them), or "" when they agree.
std::string firstDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  constexpr std::size_t kFields = 38;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
    if (a[i] != b[i]) return "object " + std::to_string(i / kFields) + ", field " + std::to_string(i % kFields);
  }
  return a.size() == b.size() ? "" : "object count";
}

TEST(RestingSet, StepPassingOverObjectsAtRestMatchesTheFullWalkOnScriptedZones) {
  int walkedLess = 0;
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    const std::string zone = randomScriptedZone(seed, 120 + static_cast<int>(seed) * 15);
    PlayHarness skipping(zone), plain(zone);
    plain.world().stepCache.skipResting = false;
    skipping.g().script.zoneEntryQuiet = plain.g().script.zoneEntryQuiet = false;
    Rng input{seed * 7919u};
    for (int f = 0; f < 300; ++f) {
      const std::vector<int> held = testing::randomInput(input, 3);
      skipping.frame(held);
      plain.frame(held);
      ASSERT_EQ(firstDifference(objectStates(skipping.world()), objectStates(plain.world())), "")
          << "seed " << seed << " frame " << f;
      ASSERT_EQ(testing::dumpState(skipping.g()), testing::dumpState(plain.g())) << "seed " << seed << " frame " << f;
      ASSERT_EQ(skipping.effects, plain.effects) << "seed " << seed << " frame " << f;
      const RestingSet& rest = skipping.world().stepCache.resting;
      if (rest.valid && rest.awake.size() < skipping.world().objects.size() / 2) ++walkedLess;
    }
  }
  // Most steps passed over most objects: the skipping was really exercised.
  EXPECT_GT(walkedLess, 6 * 300 / 2);
}

// Whether the records of positions 1 on lie in list order in memory.
bool recordsInListOrder(const World& w) {
  std::vector<const ObjectRecord*> records;
  for (const ObjectRecord& o : w.objects) records.push_back(&o);
  return std::is_sorted(records.begin() + 1, records.end());
}

// The zone load lays the records of the objects the step walks apart from
// the others (ObjectLayout::MovingApart); play must go exactly as with the
// records in list order, the plain lay-out.
TEST(ObjectLayout, PlayWithMovingObjectsApartMatchesPlayWithRecordsInListOrder) {
  for (uint32_t seed = 11; seed <= 14; ++seed) {
    const std::string zone = randomScriptedZone(seed, 140 + static_cast<int>(seed) * 10);
    PlayHarness apart(zone), inOrder(zone, ObjectLayout::ListOrder);
    ASSERT_TRUE(recordsInListOrder(inOrder.world()));
    ASSERT_FALSE(recordsInListOrder(apart.world()));  // the lay-outs really differ
    apart.g().script.zoneEntryQuiet = inOrder.g().script.zoneEntryQuiet = false;
    Rng input{seed * 104729u};
    for (int f = 0; f < 300; ++f) {
      const std::vector<int> held = testing::randomInput(input, 3);
      apart.frame(held);
      inOrder.frame(held);
      ASSERT_EQ(firstDifference(objectStates(apart.world()), objectStates(inOrder.world())), "")
          << "seed " << seed << " frame " << f;
      ASSERT_EQ(testing::dumpState(apart.g()), testing::dumpState(inOrder.g())) << "seed " << seed << " frame " << f;
      ASSERT_EQ(apart.effects, inOrder.effects) << "seed " << seed << " frame " << f;
    }
  }
}

// Changes made straight to the records, as code outside the step would make
// them: with a wake each, the next step sees them.
TEST(RestingSet, WokenObjectsAreWalkedAgain) {
  const std::string zone = randomScriptedZone(99, 150);
  PlayHarness skipping(zone), plain(zone);
  plain.world().stepCache.skipResting = false;
  skipping.g().script.zoneEntryQuiet = plain.g().script.zoneEntryQuiet = false;
  Rng pick{4242u};
  for (int f = 0; f < 300; ++f) {
    if (f % 5 == 2) {
      const int target = pick.range(1, static_cast<int>(plain.world().objects.size()) - 1);
      const int change = pick.range(0, 4);
      for (PlayHarness* h : {&skipping, &plain}) {
        World& w = h->world();
        ObjectRecord& o = *std::next(w.objects.begin(), target);
        switch (change) {
          case 0:
            o.x += 7.0f;  // a block moves onto whatever is there
            break;
          case 1:
            o.level = w.player->level;
            o.x = w.player->x + 3.0f;
            o.y = w.player->y + 3.0f;
            break;
          case 2:
            o.flags ^= format::flag::Solid;
            break;
          case 3:
            o.effectBits = 1;
            o.effectTimer = 4;
            break;
          default:
            o.w += 30.0f;
            break;
        }
        w.stepCache.wake(&o);
      }
    }
    skipping.frame({control::Right});
    plain.frame({control::Right});
    ASSERT_EQ(firstDifference(objectStates(skipping.world()), objectStates(plain.world())), "") << "frame " << f;
  }
}

}  // namespace
}  // namespace zor
