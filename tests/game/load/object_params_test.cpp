#include "game/load/object_params.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <type_traits>
#include <vector>
#include <functional>
#include <limits>
#include <string>

#include "format/vocabulary.h"
#include "game/game.h"
#include "game/load/element_ids.h"
#include "game/world/objects.h"
#include "tests/game/load/zone_test_support.h"

namespace zor {
namespace {

namespace flag = format::flag;

struct Built {
  testing::ZoneLog log;
  std::unique_ptr<Game> game;
  ObjectRecord* object = nullptr;
  const xml::Node* block = nullptr;
};

// Parses the classes and one block, gives the world levels at z 0 and 100 and
// reads the block into a new object.
void build(Built& b, const std::string& classes, const std::string& block, int topLevel = 1) {
  b.game = testing::makeGame("<zorlan>" + classes + "<zone id=\"z\">" + block +
                                 "<sub id=\"hop\"><drop/></sub></zone></zorlan>",
                             b.log);
  World& w = b.game->world;
  w.levels = {LevelRecord{0.0f, 0x111111}, LevelRecord{100.0f, 0x222222}};
  ObjectRecord p;
  p.name = "you";
  w.player = &w.objects.addFirst(p);
  b.object = &addObject(w, "");
  b.block = b.game->data.document.findById("z")->firstElement();
  readObjectParams(*b.game, b.block, topLevel);
}

struct Case {
  const char* name;
  const char* classes;
  const char* block;
  std::function<void(const ObjectRecord&, const Built&)> check;
};

const float kNan = std::numeric_limits<float>::quiet_NaN();

const Case kCases[] = {
    {"class default width", R"(<class name="Wide" w="40" h="7"/>)", R"(<block class="wide"/>)",
     [](const ObjectRecord& o, const Built& b) {
       EXPECT_EQ(o.w, 40.0f);
       EXPECT_EQ(o.h, 7.0f);
       EXPECT_EQ(o.objectClass, &b.game->data.classes.at("wide"));
       EXPECT_TRUE(o.has(flag::Class));
     }},
    {"block width wins over the class", R"(<class name="wide" w="40"/>)",
     R"(<block class="wide" w="25"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.w, 25.0f); }},
    {"empty attribute keeps the class value", R"(<class name="wide" w="40"/>)",
     R"(<block class="wide" w=""/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.w, 40.0f); }},
    {"class name with a capital", R"(<class name="wide" w="40"/>)", R"(<block class="Wide"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_EQ(o.w, 20.0f);
       EXPECT_EQ(o.objectClass, nullptr);
       EXPECT_FALSE(o.has(flag::Class));
     }},
    {"class name with a blank", R"(<class name="wide" w="40"/>)", R"(<block class=" wide"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_EQ(o.objectClass, nullptr);
       EXPECT_FALSE(o.has(flag::Class));
     }},
    {"unknown class", "", R"(<block class="ghost"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.objectClass, nullptr); }},
    {"flags lower-cased and trimmed", "", R"(<block flg="solid, Deadly,nonsense"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.flags, 0x1004u); }},
    {"block flags add to class flags", R"(<class name="c" flg="solid"/>)",
     R"(<block class="c" flg="deadly"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_EQ(o.flags, flag::Solid | flag::Deadly | flag::Class);
     }},
    {"wave with a leading blank is sine", "", R"(<block wave=" square"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.waveCode(), 0u); }},
    {"wave in capitals", "", R"(<block wave="SQUARE"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.waveCode(), format::wave::Square); }},
    {"block wave replaces the class wave", R"(<class name="c" wave="saw"/>)",
     R"(<block class="c" wave="rand"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.waveCode(), format::wave::Rand); }},
    {"negative phase folds", "", R"(<block phase="-90"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.phase, 0.75f); }},
    {"positive phase stays", "", R"(<block phase="450"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.phase, 1.25f); }},
    {"huge negative phase ends", "", R"(<block phase="-1e30"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.phase, 0.0f); }},
    {"infinite phase", "", R"(<block phase="-Infinity"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.phase, 0.0f); }},
    {"NaN phase", "", R"(<block phase="NaN"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.phase, 0.0f); }},
    {"freq per second to per frame", "", R"(<block freq="30"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.freq, 0.5f); }},
    {"negative freq keeps its sign", "", R"(<block freq="-30"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.freq, -0.5f); }},
    {"the last of freq, fall and smp wins", "", R"(<block fall="-7" freq="30" smp="-3"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.freq, 3.0f); }},
    {"grav is absolute times 0.7", "", R"(<block grav="-2"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.gravity, 2.0f * 0.7f); }},
    {"checkpoint x names its centre", "", R"(<block flg="checkpoint" x="100" w="30" h="5"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_EQ(o.x, 85.0f);
       EXPECT_EQ(o.h, 30.0f);
     }},
    {"checkpoint class shifts the default x twice", R"(<class name="cp" flg="checkpoint" w="30"/>)",
     R"(<block class="cp"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_EQ(o.x, -30.0f);  // 0 - 15 - 15
       EXPECT_EQ(o.h, 30.0f);
     }},
    {"motion starts at xlim1 and the lower ylim", "",
     R"(<block flg="motion" x="999" y="999" xlim="5,50" ylim="40,10"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_EQ(o.x, 5.0f);
       EXPECT_EQ(o.y, 10.0f);
       EXPECT_EQ(o.xlim2, 50.0f);
       EXPECT_EQ(o.ylim1, 40.0f);  // not reordered
     }},
    {"a lone limit stands for both", "", R"(<block xlim="500"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_EQ(o.xlim1, 500.0f);
       EXPECT_EQ(o.xlim2, 500.0f);
     }},
    {"dynamic lifts y", "", R"(<block flg="dynamic" y="10"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.y, 10.0f + 0.0005f); }},
    {"level from the nearest z", "", R"(<block z="95"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_EQ(o.level, 1);
       EXPECT_EQ(o.z, 100.0f);
     }},
    {"level wins over z", "", R"(<block level="0" z="100"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_EQ(o.level, 0);
       EXPECT_EQ(o.z, 0.0f);
     }},
    {"level past the table wraps", "", R"(<block level="5" z="0"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_EQ(o.level, 1);
       EXPECT_EQ(o.z, 100.0f);
     }},
    {"level below -1 takes the nearest", "", R"(<block level="-9" z="80"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_EQ(o.level, 1);
       EXPECT_EQ(o.z, 100.0f);
     }},
    {"level cut to 8 bits", "", R"(<block level="256"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_EQ(o.level, 0);  // 256 keeps 0 in 8 bits
       EXPECT_EQ(o.z, 0.0f);
     }},
    {"huge level", "", R"(<block level="99999999999" z="100"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_GE(o.level, 0);
       EXPECT_LE(o.level, 1);
     }},
    {"NaN z takes level 0", "", R"(<block z="nan"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_EQ(o.level, 0);
       EXPECT_EQ(o.z, 0.0f);
     }},
    {"scenic keeps z and all levels", "", R"(<block flg="scenic,dynamic" z="500" level="1" priority="7"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_EQ(o.level, -1);
       EXPECT_EQ(o.z, 500.0f);
       EXPECT_EQ(o.priority, 7);
     }},
    {"dynamic priority", "", R"(<block flg="dynamic" priority="9"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.priority, 3); }},
    {"class priority", R"(<class name="c" flg="dynamic"/>)", R"(<block class="c" priority="9"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.priority, 5); }},
    {"plain priority, cut to 8 bits", "", R"(<block priority="200"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.priority, -56); }},
    {"two colours", "", R"(<block color="FF0000,0000FF"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_EQ(o.colour1, 0x0000FF);
       EXPECT_EQ(o.colour2, 0xFF0000);
       EXPECT_EQ(o.litColour, 0x0000FF);
     }},
    {"one colour for both", "", R"(<block color="FF8000"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_EQ(o.colour1, 0x000080FF);
       EXPECT_EQ(o.colour2, 0x000080FF);
     }},
    {"bouncy without fall", "", R"(<block flg="bouncy" freq="30"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.freq, 0.0f); }},
    {"bouncy with fall", "", R"(<block flg="bouncy" fall="12"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.freq, 12.0f); }},
    {"bouncy class fall is lost without a block fall", R"(<class name="b" flg="bouncy" fall="12"/>)",
     R"(<block class="b"/>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.freq, 0.0f); }},
    {"count, duty, trans and persist", "",
     R"(<block count="3" duty="0.25" trans="0.5" persist="Group"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_EQ(o.count, 3);
       EXPECT_EQ(o.duty, 0.25f);
       EXPECT_EQ(o.trans, 0.5f);
       EXPECT_EQ(o.persistGroup, "group");
     }},
    {"standon with a missing sub runs its own body", "",
     R"(<block><standon sub="missing" times="0"><drop/></standon></block>)",
     [](const ObjectRecord& o, const Built& b) {
       EXPECT_EQ(o.standOnScript, b.block->firstElement());
       EXPECT_EQ(o.standOnTimes, 0);
     }},
    {"standon sub names an element", "", R"(<block><standon sub="HOP" times="-"/></block>)",
     [](const ObjectRecord& o, const Built& b) {
       EXPECT_EQ(o.standOnScript, b.game->data.document.findById("hop"));
       EXPECT_EQ(o.standOnTimes, -1);
     }},
    {"standon times kept in 16 bits", "", R"(<block><standon times="70000"/></block>)",
     [](const ObjectRecord& o, const Built&) { EXPECT_EQ(o.standOnTimes, 4464); }},
    {"die script", "", R"(<block><DIE sub="hop"/></block>)",
     [](const ObjectRecord& o, const Built& b) {
       EXPECT_EQ(o.dieScript, b.game->data.document.findById("hop"));
       EXPECT_EQ(o.standOnTimes, -1);
     }},
    {"class scripts are defaults", R"(<class name="c"><standon times="2"/><die/></class>)",
     R"(<block class="c"><standon times=""/></block>)",
     [](const ObjectRecord& o, const Built& b) {
       const xml::Node* classNode = b.game->data.classes.at("c").node;
       EXPECT_EQ(o.standOnScript, b.block->firstElement());
       EXPECT_EQ(o.standOnTimes, 2);
       EXPECT_EQ(o.dieScript, classNode->firstElement()->nextElement());
     }},
    {"attribute names compared lower-cased; others ignored", "",
     R"(<block X="7" OName="q" junk="1"/>)",
     [](const ObjectRecord& o, const Built&) {
       EXPECT_EQ(o.x, 7.0f);
       EXPECT_EQ(o.name, "");
     }},
};

TEST(ReadObjectParams, BlockAttributesClassesAndPlacement) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Built b;
    build(b, c.classes, c.block);
    c.check(*b.object, b);
  }
}

TEST(ReadObjectParams, WithoutTopLevelNoClassAndNoPlacement) {
  Built b;
  build(b, R"(<class name="c" w="40"/>)",
        R"(<block class="c" flg="dynamic" z="95" level="7" priority="9" phase="-90"/>)", 0);
  const ObjectRecord& o = *b.object;
  EXPECT_EQ(o.w, 20.0f);
  EXPECT_EQ(o.objectClass, nullptr);
  EXPECT_EQ(o.z, 95.0f);
  EXPECT_EQ(o.level, 7);
  EXPECT_EQ(o.priority, 9);
  EXPECT_EQ(o.phase, 0.75f);  // post rules still apply
}

TEST(ReadObjectParams, NothingWithoutNodeOrCurrentObject) {
  Built b;
  build(b, "", R"(<block x="5"/>)");
  ObjectRecord before = *b.object;
  readObjectParams(*b.game, nullptr, 1);
  EXPECT_EQ(b.object->x, before.x);
  b.game->world.objects.clearCurrent();
  const xml::Node* other = b.block;
  b.object->x = 1.0f;
  readObjectParams(*b.game, other, 1);
  EXPECT_EQ(b.object->x, 1.0f);
}

TEST(FoldPhase, MatchesAddingWholeCycles) {
  // Adding 1 until the phase is not negative gives the same float as the closed form.
  for (float p : {-0.25f, -1.0f, -2.3f, -1e-10f, -7.77f, -1000.001f, -0.0f, 0.5f, 3.5f}) {
    SCOPED_TRACE(p);
    float loop = p;
    while (loop < 0.0f) loop = loop + 1.0f;
    EXPECT_EQ(foldPhase(p), loop);
  }
  EXPECT_EQ(foldPhase(kNan), 0.0f);
  EXPECT_EQ(foldPhase(std::numeric_limits<float>::infinity()), 0.0f);
  EXPECT_EQ(foldPhase(-3e20f), 0.0f);
}

}  // namespace
}  // namespace zor

namespace zor {
namespace {

// Every field of two objects, floats by their bits; empty when alike.
std::string objectDifference(const ObjectRecord& a, const ObjectRecord& b) {
  std::string out;
  auto same = [&out](const char* field, auto x, auto y) {
    if constexpr (std::is_same_v<decltype(x), float>) {
      if (std::bit_cast<uint32_t>(x) == std::bit_cast<uint32_t>(y)) return;
    } else {
      if (x == y) return;
    }
    out += std::string(field) + " ";
  };
  same("flags", a.flags, b.flags);
  same("level", a.level, b.level);
  same("facing", a.facing, b.facing);
  same("contacts", a.contacts, b.contacts);
  same("priority", a.priority, b.priority);
  same("x", a.x, b.x);
  same("y", a.y, b.y);
  same("w", a.w, b.w);
  same("h", a.h, b.h);
  same("prevX", a.prevX, b.prevX);
  same("prevY", a.prevY, b.prevY);
  same("vx", a.vx, b.vx);
  same("vy", a.vy, b.vy);
  same("effectBits", a.effectBits, b.effectBits);
  same("effectTimer", a.effectTimer, b.effectTimer);
  same("standOnTimes", a.standOnTimes, b.standOnTimes);
  same("support", a.support, b.support);
  same("z", a.z, b.z);
  same("gravity", a.gravity, b.gravity);
  same("slideTarget", a.slideTarget, b.slideTarget);
  same("phase", a.phase, b.phase);
  same("freq", a.freq, b.freq);
  same("duty", a.duty, b.duty);
  same("waveValue", a.waveValue, b.waveValue);
  same("trans", a.trans, b.trans);
  same("count", a.count, b.count);
  same("colour1", a.colour1, b.colour1);
  same("colour2", a.colour2, b.colour2);
  same("litColour", a.litColour, b.litColour);
  same("facedObject", a.facedObject, b.facedObject);
  same("standOnScript", a.standOnScript, b.standOnScript);
  same("xlim1", a.xlim1, b.xlim1);
  same("xlim2", a.xlim2, b.xlim2);
  same("ylim1", a.ylim1, b.ylim1);
  same("ylim2", a.ylim2, b.ylim2);
  same("objectClass", a.objectClass, b.objectClass);
  same("dieScript", a.dieScript, b.dieScript);
  same("persistGroup", a.persistGroup, b.persistGroup);
  same("name", a.name, b.name);
  return out;
}

// Blocks of random attributes (names in any case, values at the edges of what
// the readers take), classes and child scripts, built straight from the element
// and through the block record: the same object, bit for bit.
TEST(ApplyBlockElement, BuildsWhatTheBlockRecordBuilds) {
  std::mt19937 random(77u);
  auto pick = [&random](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  static const char* const kNames[] = {
      "x",     "y",     "w",      "h",     "z",     "level", "color", "count", "trans", "flg",   "freq",
      "fall",  "smp",   "grav",   "duty",  "phase", "priority", "persist", "xlim", "ylim", "wave", "X",
      "Flg",   "FALL",  "Level",  "PHASE", "oname", "class", "Class", "unknown", "averyveryverylongname",
      "colour", "xlimit", "sub"};
  static const char* const kValues[] = {
      "",      " ",     "0",     "-0",     "12",     "-40",   "0.25",  "1e40",   "-1e-50", "nan",   "-Infinity",
      "inf",   "3.5e2", ".5",    "5.",     "+7",     "--1",   "$ff",   "%101",   "300",    "-129",  "127",
      "1,2",   "5,-5",  ",",     "7,",     ",8",     "a,b,c", "FF0000", "-1",     "00ff00,0000FF", "FF0000,",
      "solid", "Solid, Deadly,nonsense", "dynamic", "checkpoint", "motion", "bouncy", "scenic", "class",
      "square", "SAW",  " tri",  "rand",   "Group",  "  x  ", "16777217", "0.1",   "333.333333"};
  static const char* const kClasses[] = {"walker", "Walker", "cp", "bare", "ghost", " walker"};
  std::string zone;
  for (int b = 0; b < 2500; ++b) {
    zone += "<block";
    const std::size_t count = pick(8);
    std::vector<std::string> used;
    for (std::size_t k = 0; k < count; ++k) {
      std::string name = kNames[pick(std::size(kNames))];
      if (std::find(used.begin(), used.end(), name) != used.end()) continue;
      used.push_back(name);
      const bool isClass = name == "class" || name == "Class";
      zone += " " + name + "=\"" + (isClass ? kClasses[pick(std::size(kClasses))] : kValues[pick(std::size(kValues))]) + "\"";
    }
    if (std::find(used.begin(), used.end(), "class") == used.end() && pick(3) == 0) {
      zone += std::string(" class=\"") + kClasses[pick(std::size(kClasses))] + "\"";
    }
    zone += ">";
    for (std::size_t c = pick(4); c > 0; --c) {
      static const char* const kChildren[] = {
          "<standon/>", "<standon times=\"3\"/>", "<StandOn sub=\"hop\" times=\"-\"/>", "<standon sub=\"nothing\"/>",
          "<die/>", "<DIE sub=\"HOP\"/>", "<die sub=\"none\"/>", "<other/>", "<standon times=\"70000\"/>"};
      zone += kChildren[pick(std::size(kChildren))];
    }
    zone += "</block>";
  }
  testing::ZoneLog log;
  auto game = testing::makeGame(
      "<zorlan><class name=\"walker\" w=\"24\" flg=\"dynamic,solid\" fall=\"2\" y=\"3\"/>"
      "<class name=\"cp\" flg=\"checkpoint,bouncy\" w=\"30\" persist=\"Keep\"><die sub=\"hop\"/></class>"
      "<class name=\"bare\"/><zone id=\"z\">" + zone + "<sub id=\"hop\"><drop/></sub></zone></zorlan>",
      log);
  World& w = game->world;
  w.levels = {LevelRecord{0.0f, 0x111111}, LevelRecord{100.0f, 0x222222}, LevelRecord{250.0f, 0x333333}};
  ObjectRecord p;
  p.name = "you";
  w.player = &w.objects.addFirst(p);
  const ElementLookup findById = [&data = game->data](std::string_view id) { return findElementById(data, id); };
  ClassParamsCache cache;
  int blocks = 0;
  for (const xml::Node* e = game->data.document.findById("z")->firstElement(); e; e = e->nextElement()) {
    if (e->name != "block") continue;
    ++blocks;
    std::vector<ModelError> errors;
    ObjectRecord& viaRecord = addObject(w, "");
    applyBlock(w, viaRecord, readBlockRecord(*e, game->data.classes, findById, errors));
    ObjectRecord& direct = addObject(w, "");
    applyBlockElement(w, direct, *e, game->data.classes, findById, cache);
    ASSERT_EQ(objectDifference(direct, viaRecord), "") << xml::Document::serializeNode(e);
  }
  EXPECT_EQ(blocks, 2500);
}

}  // namespace
}  // namespace zor
