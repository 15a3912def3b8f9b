// A zone read into records on its own: no game, world, window or sound.
#include "game/model/zone_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "format/vocabulary.h"
#include "platform/xml.h"

namespace zor {
namespace {

namespace flag = format::flag;

// A parsed game file, its classes and the zone with the id "z".
struct ZoneFile {
  xml::Document doc;
  GameModel game;
  ElementLookup findById = [this](std::string_view id) -> const xml::Node* { return doc.findById(id); };

  explicit ZoneFile(const std::string& body) {
    xml::ParseError error;
    EXPECT_TRUE(doc.parse("<zorlan>" + body + "</zorlan>", &error)) << error.message;
    if (doc.root()) game = readGameModel(*doc.root());
  }
  const xml::Node& zone() const {
    const xml::Node* z = doc.findById("z");
    EXPECT_NE(z, nullptr);
    return *z;
  }
  ZoneModel read(std::string_view entrance = "") const {
    return readZone(zone(), entrance, game.classes, findById);
  }
};

// A zone "z" with one level at depth 0 and the given attributes and children.
std::string zoneWith(const std::string& attributes, const std::string& children) {
  return "<zone id=\"z\" " + attributes + "><levels><level z=\"0\"/></levels>" + children + "</zone>";
}

std::vector<std::string> messages(const std::vector<ModelError>& errors) {
  std::vector<std::string> out;
  for (const ModelError& e : errors) out.push_back(e.message);
  return out;
}

TEST(ZoneModel, LevelsAscendByDepthWithTheirOwnValues) {
  const ZoneFile f(R"(<zone id="z"><levels>
    <level z="100" color="FF0000"/><level z="0" unlocked="yes"/><LEVEL z="50" color="00FF00" unlocked="0"/>
    <level z="nan"/><other z="-5"/></levels></zone>)");
  const ZoneModel m = f.read();
  ASSERT_EQ(m.levels.size(), 4u);
  EXPECT_EQ(m.levels[0].z, 0.0f);  // the non-number depth, and the level written with 0 (in either order)
  EXPECT_EQ(m.levels[1].z, 0.0f);
  EXPECT_TRUE(m.levels[0].unlocked || m.levels[1].unlocked);
  EXPECT_FALSE(m.levels[0].unlocked && m.levels[1].unlocked);
  EXPECT_EQ(m.levels[2].z, 50.0f);
  EXPECT_EQ(m.levels[2].colour, 0x00FF00);
  EXPECT_FALSE(m.levels[2].unlocked);
  EXPECT_EQ(m.levels[3].z, 100.0f);
  EXPECT_EQ(m.levels[3].colour, 0x0000FF);  // colours are kept blue-green-red
  EXPECT_EQ(messages(m.errors), std::vector<std::string>{});
}

TEST(ZoneModel, LevelsPastTheByteAreCutAndReported) {
  std::string levels;
  for (int i = 0; i < kMaxLevels + 5; ++i) levels += "<level z=\"" + std::to_string(i) + "\"/>";
  const ZoneFile f("<zone id=\"z\"><levels>" + levels + "</levels></zone>");
  const ZoneModel m = f.read();
  ASSERT_EQ(m.levels.size(), static_cast<std::size_t>(kMaxLevels));
  EXPECT_EQ(m.levels.back().z, static_cast<float>(kMaxLevels - 1));
  ASSERT_EQ(m.errors.size(), 1u);
  EXPECT_NE(m.errors[0].message.find("more than 127 levels"), std::string::npos);
}

TEST(ZoneModel, ZoneAttributes) {
  const ZoneFile f(zoneWith(R"(gravity="2" zoom="-300" xlim="500" ylim="900,-50" track="song" volume="0" persist="Grp")", ""));
  const ZoneModel m = f.read();
  ASSERT_TRUE(m.gravity && m.zoom && m.xlim && m.ylim);
  EXPECT_EQ(*m.gravity, 2.0f * 0.7f);
  EXPECT_EQ(*m.zoom, 300.0f);
  EXPECT_EQ(m.xlim->min, 0.0f);  // a lone value pairs with 0
  EXPECT_EQ(m.xlim->max, 500.0f);
  EXPECT_EQ(m.ylim->min, -50.0f);
  EXPECT_EQ(m.ylim->max, 900.0f);
  EXPECT_EQ(m.tracks, std::vector<std::string>{"song"});
  EXPECT_EQ(m.musicVolume, 100);
  EXPECT_EQ(m.persist, "grp");

  // Present attributes count even when empty; absent ones leave the defaults.
  const ZoneModel e = ZoneFile(zoneWith(R"(gravity="" volume="40")", "")).read();
  ASSERT_TRUE(e.gravity);
  EXPECT_EQ(*e.gravity, 0.0f);
  EXPECT_FALSE(e.zoom || e.xlim || e.ylim);
  EXPECT_TRUE(e.tracks.empty());
  EXPECT_EQ(e.musicVolume, 40);
}

struct EntranceCase {
  const char* name;
  const char* children;
  const char* requested;
  int line;  // of the chosen element; 0 for none
  bool nameDropped;
  ZoneEntrance::LevelFrom levelFrom;
  int32_t level;
  float z;
};

class EntranceChoice : public ::testing::TestWithParam<EntranceCase> {};

TEST_P(EntranceChoice, TakesTheNamedEntranceElseTheDefault) {
  const EntranceCase& c = GetParam();
  const ZoneFile f(std::string("<zone id=\"z\"><levels><level z=\"0\"/></levels>\n") + c.children + "</zone>");
  const ZoneModel m = f.read(c.requested);
  EXPECT_EQ(m.entrance.node ? m.entrance.node->line : 0, c.line);
  EXPECT_EQ(m.entrance.nameDropped, c.nameDropped);
  EXPECT_EQ(m.entrance.levelFrom, c.levelFrom);
  EXPECT_EQ(m.entrance.level, c.level);
  EXPECT_EQ(m.entrance.z, c.z);
}

using LF = ZoneEntrance::LevelFrom;
const char* const kEntrances = "<entrance x=\"5\" y=\"6\" z=\"40\"/>\n<entrance_exit2 level=\"2\" z=\"-3\"/>\n";

INSTANTIATE_TEST_SUITE_P(
    ZoneModel, EntranceChoice,
    ::testing::Values(EntranceCase{"Default", kEntrances, "", 2, false, LF::NearestToZ, 0, 40.0f},
                      EntranceCase{"Named", kEntrances, "exit2", 3, false, LF::Index, 2, -3.0f},
                      EntranceCase{"DashTakesTheDefault", kEntrances, "-", 2, true, LF::NearestToZ, 0, 40.0f},
                      EntranceCase{"MissingNameTakesTheDefault", kEntrances, "exit9", 2, true, LF::NearestToZ, 0, 40.0f},
                      EntranceCase{"NamesAreExact", kEntrances, "EXIT2", 2, true, LF::NearestToZ, 0, 40.0f},
                      EntranceCase{"NoEntranceAtAll", "<Entrance x=\"1\"/>", "", 0, false, LF::First, 0, 0.0f},
                      EntranceCase{"NeitherLevelNorZ", "<entrance x=\"1\"/>", "", 2, false, LF::First, 0, 0.0f}),
    [](const ::testing::TestParamInfo<EntranceCase>& info) { return std::string(info.param.name); });

TEST(ZoneModel, StartAndDeathScripts) {
  struct Case {
    const char* children;
    int start, death, after;  // lines of the chosen elements; 0 for none, -1 for the script "s"
    std::size_t errors;
  };
  const Case cases[] = {
      {"<start/>\n<start/>", 3, 0, 0, 0},
      {"<death sub=\"S\" after=\"s\"/>", 0, -1, -1, 0},
      {"<death sub=\"nosuch\"/>", 0, 0, 0, 1},
      {"<death sub=\"nosuch\"><wait/></death>", 0, 2, 0, 1},
      {"<death><wait/></death>\n<death/>", 0, 2, 0, 0},
      {"<death sub=\"s\"/>\n<death sub=\"nosuch\" after=\"nosuch\"/>", 0, 0, 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.children);
    const ZoneFile f(std::string("<script id=\"s\"/><zone id=\"z\"><levels><level/></levels>\n") + c.children +
                     "</zone>");
    const ZoneModel m = f.read();
    const auto line = [&f](const xml::Node* n) { return !n ? 0 : n == f.doc.findById("s") ? -1 : n->line; };
    EXPECT_EQ(line(m.startScript), c.start);
    EXPECT_EQ(line(m.deathScript), c.death);
    EXPECT_EQ(line(m.afterDeathScript), c.after);
    EXPECT_EQ(m.errors.size(), c.errors);
  }
}

TEST(ZoneModel, BlockRecordsInDocumentOrder) {
  const ZoneFile f(R"(<class name=" Walker " flg="dynamic" x="3"><standon sub="s" times="2"/></class>
    <script id="s"/>
    )" + zoneWith("", R"(
    <block oname=" A " class="walker" x="1" freq="30" fall="3" smp="-4" grav="-2" persist="GRP"/>
    <area/>
    <block class="Walker" level="300" priority="-129" flg="bouncy, Deadly" wave="saw" FALL="2" phase="-90">
      <die sub="nosuch"/><standon times="5"/><standon/></block>
    <BLOCK oname="-" color="FF00FF,00FFFF" xlim="40" ylim="5,-5"/>)"));
  const ZoneModel m = f.read();
  ASSERT_EQ(m.blocks.size(), 3u);

  const BlockRecord& a = m.blocks[0];
  EXPECT_EQ(a.oname, "a");
  ASSERT_EQ(a.objectClass, &f.game.classes.at("walker"));
  ASSERT_TRUE(a.classParams);  // the class element's own values, applied first
  EXPECT_EQ(a.classParams->flags, flag::Dynamic);
  EXPECT_EQ(a.classParams->x, 3.0f);
  EXPECT_EQ(a.classParams->standOnScript, f.doc.findById("s"));
  EXPECT_EQ(a.classParams->standOnTimes, int16_t{2});
  EXPECT_EQ(a.params.x, 1.0f);
  EXPECT_EQ(a.params.freq, 4.0f);  // the last of freq, fall and smp
  EXPECT_TRUE(a.params.keepsFall);
  EXPECT_EQ(a.params.gravity, 2.0f * 0.7f);
  EXPECT_EQ(a.params.persistGroup, "grp");
  EXPECT_FALSE(a.params.y || a.params.level || a.params.wave);

  const BlockRecord& b = m.blocks[1];
  EXPECT_EQ(b.oname, "");
  EXPECT_EQ(b.objectClass, nullptr);  // class names are compared exactly
  EXPECT_FALSE(b.classParams);
  EXPECT_EQ(b.params.level, int8_t{44});  // kept in 8 bits
  EXPECT_EQ(b.params.priority, int8_t{127});
  EXPECT_EQ(b.params.flags, flag::Bouncy | flag::Deadly);
  EXPECT_EQ(b.params.wave, format::wave::Saw);
  EXPECT_FALSE(b.params.keepsFall);  // only `fall` itself keeps a bouncy block moving
  EXPECT_EQ(b.params.freq, 2.0f);
  EXPECT_EQ(b.params.phase, -0.25f);
  EXPECT_EQ(b.params.dieScript->name, "die");  // a sub naming nothing leaves the child
  EXPECT_EQ(b.params.standOnScript->name, "standon");
  EXPECT_EQ(b.params.standOnScript->attributes.size(), 0u);  // the last one
  EXPECT_EQ(b.params.standOnTimes, int16_t{5});

  const BlockRecord& c = m.blocks[2];
  EXPECT_EQ(c.oname, "-");
  EXPECT_EQ(c.params.colour->first, 0xFF00FF);
  EXPECT_EQ(c.params.colour->second, 0xFFFF00);
  EXPECT_EQ(c.params.xlim->min, 40.0f);  // a block's lone limit is the pair
  EXPECT_EQ(c.params.xlim->max, 40.0f);
  EXPECT_EQ(c.params.ylim->min, 5.0f);  // as written
  EXPECT_EQ(c.params.ylim->max, -5.0f);

  const std::vector<std::string> expected = {
      "The block class 'Walker' does not exist; the block has no class.",
      "'die' names the script 'nosuch', which does not exist; its own statements run."};
  EXPECT_EQ(messages(m.errors), expected);
}

// A zone read with its blocks left to the caller: the rest as before, and the
// blocks read one at a time the same records.
TEST(ZoneModel, BlocksLeftToTheCallerReadTheSameOneAtATime) {
  const ZoneFile f(R"(<class name="walker" x="3"/><script id="s"/>)" + zoneWith("gravity=\"2\"", R"(
    <start/><block class="walker" y="2"/><area oname="b"/><Block oname=" B " x="-0.0"/>
    <death sub="nosuch"/><block class="nosuch"/><blocks/><area/>)"));
  const ZoneModel all = f.read();
  const ZoneModel left = readZone(f.zone(), "", f.game.classes, f.findById, ZoneBlocks::Leave);
  EXPECT_TRUE(left.blocks.empty());
  EXPECT_EQ(left.startScript, all.startScript);
  EXPECT_EQ(left.gravity, all.gravity);
  ASSERT_EQ(left.areas.size(), all.areas.size());
  for (std::size_t i = 0; i < all.areas.size(); ++i) EXPECT_EQ(left.areas[i].node, all.areas[i].node);
  EXPECT_EQ(left.levels.size(), all.levels.size());
  EXPECT_EQ(messages(left.errors), (std::vector<std::string>{
                                       "The 'sub' of 'death' names the script 'nosuch', which does not exist."}));

  ClassParamsCache cache;
  std::vector<ModelError> errors;
  std::vector<BlockRecord> oneByOne;
  for (const xml::Node* element : left.blockElements) {
    oneByOne.push_back(readBlockRecord(*element, f.game.classes, f.findById, errors, &cache));
  }
  EXPECT_TRUE(all.blockElements.empty());
  ASSERT_EQ(oneByOne.size(), 3u);
  ASSERT_EQ(all.blocks.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(oneByOne[i].node, all.blocks[i].node);
    EXPECT_EQ(oneByOne[i].oname, all.blocks[i].oname);
    EXPECT_EQ(oneByOne[i].objectClass, all.blocks[i].objectClass);
    EXPECT_EQ(oneByOne[i].classParams.has_value(), all.blocks[i].classParams.has_value());
    EXPECT_EQ(oneByOne[i].params.x, all.blocks[i].params.x);
    EXPECT_EQ(oneByOne[i].params.y, all.blocks[i].params.y);
  }
  EXPECT_EQ(all.blocks[1].oname, "b");
  EXPECT_EQ(messages(errors), (std::vector<std::string>{"The block class 'nosuch' does not exist; the block has no class."}));
}

TEST(ZoneModel, AreaRecordsInDocumentOrder) {
  const ZoneFile f(R"(<script id="s"/>)" + zoneWith("", R"(
    <area oname="Door" z="60" level="1" flg="deadly, Deadly,x" zoom="10,-20,30,40" color="123456">
      <enter times="3"/><enter sub="s"/><exit sub="nosuch" times="2"/><action sub="S"/></area>
    <block/>
    <area level="5" z="-60" xlim="30,-10" zoom="" oname=""/>
    <area ylim="3"/>)"));
  const ZoneModel m = f.read();
  ASSERT_EQ(m.areas.size(), 3u);

  const ZoneArea& a = m.areas[0];
  EXPECT_EQ(a.oname, "Door");  // as written
  EXPECT_EQ(a.levelFrom, ZoneArea::LevelFrom::Index);  // the later of z and level
  EXPECT_EQ(a.level, 1);
  EXPECT_EQ(a.flags, flag::Deadly);
  EXPECT_EQ(a.zoomCount, 3);
  EXPECT_EQ(a.zoom[1], 20.0f);
  EXPECT_EQ(a.colour, 0x563412);
  EXPECT_EQ(a.enterScript, f.doc.findById("s"));
  EXPECT_EQ(a.enterTimes, 3);  // kept from the earlier `enter`
  EXPECT_EQ(a.exitScript->name, "exit");
  EXPECT_EQ(a.exitTimes, 2);
  EXPECT_EQ(a.actionScript, f.doc.findById("s"));
  EXPECT_EQ(a.actionTimes, -1);
  EXPECT_FALSE(a.xlim || a.ylim);

  const ZoneArea& b = m.areas[1];
  EXPECT_EQ(b.levelFrom, ZoneArea::LevelFrom::NearestToZ);
  EXPECT_EQ(b.z, -60.0f);
  EXPECT_EQ(b.xlim->min, -10.0f);
  EXPECT_EQ(b.xlim->max, 30.0f);
  EXPECT_EQ(b.zoomCount, 0);

  const ZoneArea& c = m.areas[2];
  EXPECT_EQ(c.levelFrom, ZoneArea::LevelFrom::All);
  EXPECT_EQ(c.ylim->min, 0.0f);
  EXPECT_EQ(c.ylim->max, 3.0f);
  EXPECT_EQ(c.flags, 0u);

  EXPECT_EQ(messages(m.errors),
            std::vector<std::string>{"The 'sub' of 'exit' names the script 'nosuch', which does not exist."});
}

TEST(ZoneModel, ZonesThatCannotBeBuilt) {
  struct Case {
    const char* zone;
    const char* error;
  };
  const Case cases[] = {
      {R"(<zone id="z"/>)", "Zone 'z' contains no levels!"},
      {R"(<zone id="z"><levels/></zone>)", "Zone 'z' contains no levels!"},
      {R"(<zone id="z"><levels><lvl/></levels></zone>)", "Zone 'z' contains no levels!"},
      {R"(<zone id="z"><Levels><level/></Levels></zone>)", "Zone 'z' contains no levels!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zone);
    const ZoneFile f(c.zone);
    EXPECT_FALSE(zoneHasLevels(f.zone()));
    const ZoneModel m = f.read();
    EXPECT_TRUE(m.levels.empty());
    EXPECT_EQ(messages(m.errors), std::vector<std::string>{c.error});
    EXPECT_EQ(m.errors[0].line, 1);
  }
  EXPECT_TRUE(zoneHasLevels(ZoneFile(zoneWith("", "")).zone()));
}

TEST(GameModel, CustomSoundsAreReadIntoSlotRecords) {
  xml::Document doc;
  ASSERT_TRUE(doc.parse(R"(<zorlan>
    <loadsounds nums="4,5, 30,-1" files="a.wav|b\c.wav" vols="150,-4, ,10"/>
    <loadsounds files="x.wav"/></zorlan>)", nullptr));
  const GameModel m = readGameModel(*doc.root());
  ASSERT_EQ(m.loadSounds.size(), 3u);
  const int32_t slots[] = {4, 5, 6};
  const char* files[] = {"a.wav", "b/c.wav", ""};
  const int32_t volumes[] = {100, 0, 50};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(m.loadSounds[i].slot, slots[i]);
    EXPECT_EQ(m.loadSounds[i].file, files[i]);
    EXPECT_EQ(m.loadSounds[i].volume, volumes[i]);
    EXPECT_EQ(m.loadSounds[i].line, 2);
  }
  const std::vector<std::string> expected = {"The sound slot '-1' does not exist; it is left out.",
                                             "A 'loadsounds' element without 'nums' loads nothing."};
  EXPECT_EQ(messages(m.errors), expected);
}

}  // namespace
}  // namespace zor
