// The side panels' model: filling, each field's write-back, the flag-list
// rule, level edits and level deletion with the renumbering of references.
#include "editor/core/property_panels.h"

#include <gtest/gtest.h>

#include "editor/core/edit_commands.h"
#include "editor/core/game_document.h"
#include "tests/editor/core/editor_fixture.h"

namespace zor::editor::test {
namespace {

class PropertyPanelsTest : public EditorTest {
 protected:
  void load(const std::string& zoneContent) {
    const std::string path =
        writeFile("game.zorlan", "<zorlan version=\"1\"><zone id=\"first\">" + zoneContent + "</zone></zorlan>");
    closeGame(editor);  // the earlier case's game
    ASSERT_TRUE(loadGameFileForEditing(editor, path));
    ASSERT_TRUE(openZone(editor, editor.game.zones[0].node));
  }
  // Selects the records of the elements named `name` (all of them when index < 0).
  void select(const std::string& name, int index = -1) {
    int seen = 0;
    for (const auto& o : editor.zone.objects) {
      if (o->kind > kind::Entrance || o->node->name != name) continue;
      if (index < 0 || seen == index) o->flags |= objflag::Selected;
      ++seen;
    }
  }
  std::string xmlOf(const std::string& name, int index = 0) {
    int seen = 0;
    for (xml::Node* n = editor.zone.openZoneNode->firstElement(); n; n = n->nextElement()) {
      if (n->name == name && seen++ == index) return xml::Document::serializeNode(n);
    }
    return "";
  }
  static constexpr const char* kLevels = "<levels><level z=\"0\" color=\"112233\"/><level z=\"50\"/><level z=\"100\"/></levels>";
};

TEST_F(PropertyPanelsTest, FillingShowsTheSelectionAndWritesNothing) {
  load(std::string(kLevels) +
       "<block oname=\"b\" x=\"1\" color=\"FF0000,00FF00\" flg=\"solid,motionless\" wave=\"Square\" freq=\"2\" "
       "fall=\"3\" class=\"c\"><standon/></block><area flg=\"deadly\" zoom=\"5\"><exit/></area>"
       "<entrance_door x=\"4\"/>");
  const std::string before = editor.game.document->serialize();
  PanelState level = fillPanel(editor);
  EXPECT_EQ(level.kind, PanelKind::Level);
  EXPECT_EQ(level.subtitle, "Level 0");
  EXPECT_EQ(level.fields[levelfield::Color], "112233");
  select("block");
  PanelState block = fillPanel(editor);
  EXPECT_EQ(block.title, "Block Properties");
  EXPECT_EQ(block.fields[blockfield::Color1], "FF0000");
  EXPECT_EQ(block.fields[blockfield::Color2], "00FF00");
  EXPECT_TRUE(block.flags[0]);
  EXPECT_TRUE(block.flags[3]);    // "motion" inside "motionless"
  EXPECT_TRUE(block.flags[19]);   // names a class
  EXPECT_EQ(block.waveIndex, 0);  // keywords match exactly
  EXPECT_EQ(block.rateIndex, 0);
  EXPECT_EQ(block.fields[blockfield::Rate], "2");
  EXPECT_TRUE(block.scriptPresent[0]);
  EXPECT_FALSE(block.scriptPresent[1]);
  select("area");
  EXPECT_EQ(fillPanel(editor).kind, PanelKind::Mixed);
  for (auto& o : editor.zone.objects) o->flags &= ~objflag::Selected;
  select("entrance_door");
  PanelState entrance = fillPanel(editor);
  EXPECT_EQ(entrance.fields[entrancefield::Name], "door");
  EXPECT_EQ(editor.game.document->serialize(), before);
  EXPECT_FALSE(editor.game.modified);
}

TEST_F(PropertyPanelsTest, BlockFieldsWriteTheirAttributes) {
  using namespace blockfield;
  struct Case {
    int field;
    std::string typed;
    std::string expected;  // the block element afterwards
  };
  const Case cases[] = {
      {Oname, "gate", "<block x=\"1\" color=\"FF0000,00FF00\" freq=\"2\" fall=\"3\" oname=\"gate\"/>"},
      {X, "", "<block color=\"FF0000,00FF00\" freq=\"2\" fall=\"3\"/>"},
      {X, "7.5", "<block x=\"7.5\" color=\"FF0000,00FF00\" freq=\"2\" fall=\"3\"/>"},
      {Color1, "0000FF", "<block x=\"1\" color=\"0000FF,00FF00\" freq=\"2\" fall=\"3\"/>"},
      {Color2, "", "<block x=\"1\" color=\"FF0000\" freq=\"2\" fall=\"3\"/>"},
      {Rate, "9", "<block x=\"1\" color=\"FF0000,00FF00\" freq=\"9\"/>"},
      {Rate, "", "<block x=\"1\" color=\"FF0000,00FF00\"/>"},
      {Level, "2", "<block x=\"1\" color=\"FF0000,00FF00\" freq=\"2\" fall=\"3\" level=\"2\"/>"},
      {Pri, "4", "<block x=\"1\" color=\"FF0000,00FF00\" freq=\"2\" fall=\"3\" priority=\"4\"/>"},
      {Grav, "1", "<block x=\"1\" color=\"FF0000,00FF00\" freq=\"2\" fall=\"3\" grav=\"1\"/>"},
  };
  for (const Case& c : cases) {
    load(std::string(kLevels) + "<block x=\"1\" color=\"FF0000,00FF00\" freq=\"2\" fall=\"3\"/>");
    select("block");
    PanelState panel = fillPanel(editor);
    panel.fields[static_cast<std::size_t>(c.field)] = c.typed;
    applyPanelField(editor, panel, c.field);
    EXPECT_EQ(xmlOf("block"), c.expected) << c.field << " " << c.typed;
    EXPECT_TRUE(editor.game.modified);
  }
  // The wave drop-down writes its keyword; sine removes the attribute.
  load(std::string(kLevels) + "<block wave=\"saw\"/>");
  select("block");
  PanelState panel = fillPanel(editor);
  EXPECT_EQ(panel.waveIndex, 2);
  panel.waveIndex = 4;
  applyPanelField(editor, panel, Wave);
  EXPECT_EQ(xmlOf("block"), "<block wave=\"parabola\"/>");
  panel.waveIndex = 0;
  applyPanelField(editor, panel, Wave);
  EXPECT_EQ(xmlOf("block"), "<block/>");
  panel.rateIndex = 1;
  panel.fields[Rate] = "0.5";
  applyPanelField(editor, panel, RateChoice);
  EXPECT_EQ(xmlOf("block"), "<block fall=\"0.5\"/>");
}

TEST_F(PropertyPanelsTest, AreaAndEntranceFields) {
  load(std::string(kLevels) + "<area zoom=\"2\"/><entrance_old x=\"1\"/>");
  select("area");
  PanelState area = fillPanel(editor);
  area.fields[areafield::Zoom] = "";
  applyPanelField(editor, area, areafield::Zoom);
  area.fields[areafield::Color] = "ABCDEF";
  applyPanelField(editor, area, areafield::Color);
  applyAreaDeadly(editor, area, true);
  EXPECT_EQ(xmlOf("area"), "<area color=\"ABCDEF\" flg=\"deadly\"/>");
  applyAreaDeadly(editor, area, false);
  EXPECT_EQ(xmlOf("area"), "<area color=\"ABCDEF\"/>");
  for (auto& o : editor.zone.objects) o->flags &= ~objflag::Selected;

  select("entrance_old");
  PanelState entrance = fillPanel(editor);
  // A refused name leaves the element as it was, and the field shows that name again.
  const struct {
    std::string typed;
    std::string element;
    std::string field;
  } names[] = {{"new", "entrance_new", "new"}, {"a:b", "entrance_new", "new"}, {"x y", "entrance_new", "new"},
               {"", "entrance", ""}};
  for (const auto& n : names) {
    entrance.fields[entrancefield::Name] = n.typed;
    applyPanelField(editor, entrance, entrancefield::Name);
    EXPECT_EQ(selectedRecords(editor).front()->node->name, n.element) << n.typed;
    EXPECT_EQ(entrance.fields[entrancefield::Name], n.field) << n.typed;
  }
  EXPECT_EQ(port.messages.size(), 2u);  // the two refused names
}

// Values the game would read as "nan" or infinity leave it a zone it cannot show:
// every number field refuses them, says why, and shows again what the element keeps.
TEST_F(PropertyPanelsTest, NumberFieldsRefuseNonFiniteValues) {
  const std::string zone = std::string(kLevels) +
                           "<block x=\"1\" y=\"2\" w=\"3\" h=\"4\" z=\"5\" trans=\"0.5\" xlim=\"0,9\" "
                           "ylim=\"1,8\" freq=\"2\" duty=\"0.3\" phase=\"90\" grav=\"1\"/>"
                           "<area xlim=\"0,10\" ylim=\"0,20\" z=\"7\" zoom=\"2\"/><entrance_door x=\"6\" y=\"7\" z=\"8\"/>";
  const struct {
    const char* element;  // selected; "" selects nothing (the level panel)
    PanelKind kind;
    int field;
    std::string typed;
    std::string message;
  } cases[] = {
      {"block", PanelKind::Block, blockfield::X, "NaN", "X should be a number."},
      {"block", PanelKind::Block, blockfield::Y, "inf", "Y should be a number."},
      {"block", PanelKind::Block, blockfield::W, "-inf", "Width should be a number."},
      {"block", PanelKind::Block, blockfield::H, "nan(0x1)", "Height should be a number."},
      {"block", PanelKind::Block, blockfield::Z, "1e999", "Z should be a number."},
      {"block", PanelKind::Block, blockfield::Trans, "nan", "Transparency should be a number."},
      {"block", PanelKind::Block, blockfield::XLim, "0,inf", "X Limits format should be 'min,max'."},
      {"block", PanelKind::Block, blockfield::YLim, "nan", "Y Limits format should be 'min,max'."},
      {"block", PanelKind::Block, blockfield::Rate, "INF", "Frequency should be a number."},
      {"block", PanelKind::Block, blockfield::Duty, "nan", "Duty cycle should be a number."},
      {"block", PanelKind::Block, blockfield::Phase, "-1e999", "Phase should be a number."},
      {"block", PanelKind::Block, blockfield::Grav, "infinity", "Gravity should be a number."},
      {"area", PanelKind::Area, areafield::XLim, "nan,1", "X Limits format should be 'min,max'."},
      {"area", PanelKind::Area, areafield::YLim, "0,-inf", "Y Limits format should be 'min,max'."},
      {"area", PanelKind::Area, areafield::Z, "nan", "Z should be a number."},
      {"area", PanelKind::Area, areafield::Zoom, "1,inf", "Zoom should be a number."},
      {"entrance_door", PanelKind::Entrance, entrancefield::X, "nan", "X should be a number."},
      {"entrance_door", PanelKind::Entrance, entrancefield::Y, "inf", "Y should be a number."},
      {"entrance_door", PanelKind::Entrance, entrancefield::Z, "1e999", "Z should be a number."},
      {"", PanelKind::Level, levelfield::Z, "nan", "Z should be a number."},
  };
  for (const auto& c : cases) {
    load(zone);
    select(c.element);
    const std::string before = editor.game.document->serialize();
    PanelState panel = fillPanel(editor);
    ASSERT_EQ(panel.kind, c.kind) << c.element;
    const std::string kept = panel.fields[static_cast<std::size_t>(c.field)];
    panel.fields[static_cast<std::size_t>(c.field)] = c.typed;
    port.messages.clear();
    applyPanelField(editor, panel, c.field);
    EXPECT_EQ(editor.game.document->serialize(), before) << c.element << " " << c.field;
    EXPECT_FALSE(editor.game.modified) << c.element << " " << c.field;
    EXPECT_EQ(panel.fields[static_cast<std::size_t>(c.field)], kept) << c.element << " " << c.field;
    ASSERT_EQ(port.messages.size(), 1u) << c.element << " " << c.field;
    EXPECT_EQ(port.messages[0].title, "ZorlED");
    EXPECT_EQ(port.messages[0].text, c.message);
  }
  // Several selected: Enter refuses it before any undo step is recorded; finite values still go in.
  load(std::string(kLevels) + "<block x=\"1\"/><block x=\"2\"/>");
  select("block");
  PanelState panel = fillPanel(editor);
  panel.fields[blockfield::X] = "nan";
  EXPECT_FALSE(applyFieldToSelection(editor, panel, blockfield::X));
  EXPECT_EQ(xmlOf("block", 0), "<block x=\"1\"/>");
  EXPECT_EQ(panel.fields[blockfield::X], "");
  EXPECT_EQ(port.messages.back().text, "X should be a number.");
  EXPECT_FALSE(editor.game.modified);
  panel.fields[blockfield::X] = "-1e30";
  EXPECT_TRUE(applyFieldToSelection(editor, panel, blockfield::X));
  EXPECT_EQ(xmlOf("block", 1), "<block x=\"-1e30\"/>");
}

TEST_F(PropertyPanelsTest, FlagListRule) {
  const struct {
    std::string flg, keyword;
    bool add;
    std::string expected;
  } cases[] = {
      {"", "solid", true, "solid"},
      {"solid,motion", "solid", true, "motion,solid"},
      {"solid,motion,solid", "solid", false, "motion"},
      {"solid, motion", "motion", false, "solid, motion"},  // a blank keeps it from matching
      {"motionless", "motion", false, "motionless"},
      {"motion", "motion", false, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(flagListWith(c.flg, c.keyword, c.add), c.expected) << c.flg;
}

TEST_F(PropertyPanelsTest, FlagBoxesSeedWhatTheFlagNeeds) {
  load(std::string(kLevels) + "<block x=\"5\" y=\"6\"/><block flg=\"solid\"/><block flg=\"solid\"/>");
  select("block", 0);
  PanelState panel = fillPanel(editor);
  EXPECT_TRUE(applyBlockFlag(editor, panel, 3, true));  // Motion
  EXPECT_TRUE(applyBlockFlag(editor, panel, 10, true)); // Sad Eyes
  EXPECT_TRUE(applyBlockFlag(editor, panel, 7, true));  // Spatial
  EXPECT_EQ(xmlOf("block"), "<block x=\"5\" y=\"6\" flg=\"motion,sad,hasface,spatial\" xlim=\"5\" ylim=\"6\" smp=\"0.01\"/>");
  EXPECT_EQ(panel.fields[blockfield::XLim], "5");
  EXPECT_EQ(panel.rateIndex, 2);
  for (auto& o : editor.zone.objects) o->flags &= ~objflag::Selected;
  select("block", 1);
  select("block", 2);
  panel = fillPanel(editor);
  port.answers.push_back(Answer::No);
  EXPECT_FALSE(applyBlockFlag(editor, panel, 0, false));
  EXPECT_EQ(port.questions.back(), "Remove 'Solid' flag from all selected blocks?");
  EXPECT_TRUE(panel.flags[0]);
  port.answers.push_back(Answer::Yes);
  EXPECT_TRUE(applyBlockFlag(editor, panel, 0, false));
  EXPECT_EQ(xmlOf("block", 1), "<block flg=\"\"/>");
  EXPECT_EQ(xmlOf("block", 2), "<block flg=\"\"/>");
}

TEST_F(PropertyPanelsTest, SeveralSelectedApplyOnEnterExceptNames) {
  load(std::string(kLevels) + "<block/><block/>");
  select("block");
  PanelState panel = fillPanel(editor);
  EXPECT_EQ(panel.subtitle, "[Enter] applies property to all selected.");
  panel.fields[blockfield::Oname] = "same";
  EXPECT_FALSE(applyFieldToSelection(editor, panel, blockfield::Oname));
  EXPECT_EQ(port.messages.back().text, "You should not give multiple blocks the same name!");
  panel.fields[blockfield::W] = "30";
  EXPECT_TRUE(applyFieldToSelection(editor, panel, blockfield::W));
  EXPECT_EQ(xmlOf("block", 0), "<block w=\"30\"/>");
  EXPECT_EQ(xmlOf("block", 1), "<block w=\"30\"/>");
  EXPECT_EQ(port.status[0], "Applied attribute: 'w'");
}

TEST_F(PropertyPanelsTest, ColourSwapNeverEmptiesTheFirstColour) {
  const struct {
    std::string colour, expected;
  } cases[] = {{"FF0000,00FF00", "00FF00,FF0000"}, {"FF0000", "FF0000"}, {"FF0000,", "FF0000,"}};
  for (const auto& c : cases) {
    load(std::string(kLevels) + "<block color=\"" + c.colour + "\"/>");
    select("block");
    PanelState panel = fillPanel(editor);
    swapBlockColours(editor, panel);
    EXPECT_EQ(std::string(selectedRecords(editor).front()->node->attr("color")), c.expected) << c.colour;
  }
}

TEST_F(PropertyPanelsTest, LevelZMovesTheLevelAndRenumbersReferences) {
  load(std::string(kLevels) +
       "<block level=\"0\"/><area level=\"2\"/><entrance level=\"1\"/>"
       "<start><unlock levels=\"0,1,2\"/><endspeedrun level=\"1\"/><speedrun level=\"2\"/></start>");
  editor.zone.currentLevel = 0;
  PanelState panel = fillPanel(editor);
  panel.fields[levelfield::Z] = "75";  // level 0 moves behind the one at 50
  applyPanelField(editor, panel, levelfield::Z);
  EXPECT_EQ(panel.subtitle, "Level 1");
  EXPECT_EQ(editor.zone.currentLevel, 1);
  EXPECT_EQ(xmlOf("block"), "<block level=\"1\"/>");
  EXPECT_EQ(xmlOf("area"), "<area level=\"2\"/>");
  EXPECT_EQ(xmlOf("entrance"), "<entrance level=\"0\"/>");
  EXPECT_EQ(xmlOf("start"), "<start><unlock levels=\"1,0,2\"/><endspeedrun level=\"1\"/><speedrun level=\"2\"/></start>");
  // The records follow: the block stands at its level's new depth.
  for (const auto& o : editor.zone.objects) {
    if (o->kind == kind::Block) {
      EXPECT_EQ(o->z, 75.0f);
    }
  }
}

TEST_F(PropertyPanelsTest, LevelDeletion) {
  load("<levels><level z=\"0\"/></levels>");
  EXPECT_FALSE(deleteCurrentLevel(editor));
  EXPECT_EQ(port.messages.back().text, "You cannot delete this level.\r\nThere must always be at least one.");

  load(std::string(kLevels) + "<block level=\"2\"/><block level=\"0\"/><start><endspeedrun level=\"2\"/></start>");
  editor.zone.currentLevel = 0;
  port.answers.push_back(Answer::No);
  EXPECT_FALSE(deleteCurrentLevel(editor));
  EXPECT_EQ(port.questions.back(),
            "Are you sure you want to delete this z-level?\r\nThis cannot be undone without reloading the file.");
  port.answers.push_back(Answer::Yes);
  EXPECT_TRUE(deleteCurrentLevel(editor));
  EXPECT_EQ(editor.zone.levelCount(), 2);
  EXPECT_EQ(editor.zone.currentLevel, 0);
  EXPECT_EQ(xmlOf("levels"), "<levels><level z=\"50\"/><level z=\"100\"/></levels>");
  EXPECT_EQ(xmlOf("block", 0), "<block level=\"1\"/>");
  EXPECT_EQ(xmlOf("start"), "<start><endspeedrun level=\"2\"/></start>");
  for (const auto& o : editor.zone.objects) {
    if (o->node == editor.zone.openZoneNode->childByPath("block")) {
      EXPECT_EQ(o->z, 100.0f);
    }
  }
  EXPECT_TRUE(editor.game.modified);
}

TEST_F(PropertyPanelsTest, SwatchClickPicksAColour) {
  const struct {
    const char* name;
    const char* objects;
    const char* selected;  // element name; "" for the level panel
    int field;
    bool picked;            // a colour chosen (0x00BBGGRR 0x563412 is "123456")
    int32_t start;          // the requester's start colour
    const char* after;      // the first selected element's (or the levels') XML afterwards
    bool undoRestores;
  } cases[] = {
      {"first colour", "<block color=\"FF0000,00FF00\"/>", "block", blockfield::Color1, true, 0x0000FF,
       "<block color=\"123456,00FF00\"/>", true},
      {"first colour alone", "<block color=\"FF0000\"/>", "block", blockfield::Color1, true, 0x0000FF,
       "<block color=\"123456\"/>", true},
      {"second colour", "<block color=\"FF0000\"/>", "block", blockfield::Color2, true, 0,
       "<block color=\"FF0000,123456\"/>", true},
      {"cancelled", "<block color=\"FF0000\"/>", "block", blockfield::Color1, false, 0x0000FF,
       "<block color=\"FF0000\"/>", false},
      {"area", "<area color=\"00FF00\"/>", "area", areafield::Color, true, 0x00FF00, "<area color=\"123456\"/>",
       false},
      {"level", "", "", levelfield::Color, true, 0x332211,
       "<levels><level z=\"0\" color=\"123456\"/><level z=\"50\"/><level z=\"100\"/></levels>", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    load(std::string(kLevels) + c.objects);
    const std::string element = *c.selected ? c.selected : "levels";
    const std::string before = xmlOf(element);
    if (*c.selected) select(c.selected);
    PanelState panel = fillPanel(editor);
    editor.game.modified = false;
    port.colourStarts.clear();
    if (c.picked) port.chosenColours = {0x563412};
    EXPECT_EQ(pickSwatchColour(editor, panel, c.field), c.picked);
    ASSERT_EQ(port.colourStarts.size(), 1u);
    EXPECT_EQ(port.colourStarts[0], c.start);
    EXPECT_EQ(xmlOf(element), c.after);
    EXPECT_EQ(editor.game.modified, c.picked);
    if (c.picked) {
      EXPECT_EQ(panel.fields[static_cast<std::size_t>(c.field)], "123456");
    }
    if (c.undoRestores) {
      undoLastStep(editor);
      EXPECT_EQ(xmlOf(element), before);
    }
  }
}

TEST_F(PropertyPanelsTest, LevelColourAndUnlocked) {
  load(kLevels);
  PanelState panel = fillPanel(editor);
  panel.fields[levelfield::Color] = "0000FF";
  applyPanelField(editor, panel, levelfield::Color);
  applyLevelUnlocked(editor, panel, true);
  EXPECT_EQ(editor.zone.levels[0].colour, 0xFF0000);
  EXPECT_EQ(xmlOf("levels"),
            "<levels><level z=\"0\" color=\"0000FF\" unlocked=\"1\"/><level z=\"50\"/><level z=\"100\"/></levels>");
  applyLevelUnlocked(editor, panel, false);
  EXPECT_EQ(xmlOf("levels"), "<levels><level z=\"0\" color=\"0000FF\"/><level z=\"50\"/><level z=\"100\"/></levels>");
}

}  // namespace
}  // namespace zor::editor::test

namespace zor::editor::test {
namespace {

TEST_F(PropertyPanelsTest, PanelButtonsFillFromTheZoneAndTheGame) {
  load(std::string(kLevels) + "<block oname=\"gate\"/><block/><area/>");
  // No persist tag: the zone's properties are offered.
  select("block", 1);
  PanelState panel = fillPanel(editor);
  takeZonePersist(editor, panel);
  EXPECT_EQ(port.questions.back(),
            "This zone does not have a Persist property.\r\nWould you like to edit zone properties now?");
  editor.zone.view.persist = "p1";
  takeZonePersist(editor, panel);
  EXPECT_EQ(xmlOf("block", 1), "<block persist=\"p1\"/>");
  // No class yet: New Class is offered.
  chooseBlockClass(editor, panel);
  EXPECT_EQ(port.questions.back(), "This game does not have any block classes.\r\nWould you like to create one now?");
  for (auto& o : editor.zone.objects) o->flags &= ~objflag::Selected;
  select("area");
  panel = fillPanel(editor);
  port.chooserAnswers.push_back(0);
  attachAreasToBlock(editor, panel);
  EXPECT_EQ(port.choosers.back().items, std::vector<std::string>{"gate"});
  EXPECT_EQ(xmlOf("area"), "<area oname=\"gate\"/>");
  EXPECT_EQ(panel.fields[areafield::Oname], "gate");
}

}  // namespace
}  // namespace zor::editor::test
