#include <gtest/gtest.h>

#include <string>

#include "editor/core/command_needs.h"
#include "editor/core/edit_commands.h"
#include "editor/core/property_panels.h"
#include "editor/core/selection.h"
#include "tests/editor/core/canvas_fixture.h"

namespace zor::editor::test {
namespace {

class CommandNeedsTest : public CanvasTest {};

TEST_F(CommandNeedsTest, EachCommandRunsOnlyWithWhatItNeeds) {
  struct Case {
    Command command;
    bool none, game, zone, one, two, placing;
  };
  // nothing open / game / zone / one selected / two selected / one selected while placing
  const Case cases[] = {
      {Command::Open, 1, 1, 1, 1, 1, 1},          {Command::New, 1, 1, 1, 1, 1, 1},
      {Command::Close, 1, 1, 1, 1, 1, 1},         {Command::Quit, 1, 1, 1, 1, 1, 1},
      {Command::Save, 0, 1, 1, 1, 1, 1},          {Command::Test, 0, 1, 1, 1, 1, 1},
      {Command::ChangeZone, 0, 1, 1, 1, 1, 1},    {Command::ReformatXml, 0, 1, 1, 1, 1, 1},
      {Command::ZoneProperties, 0, 0, 1, 1, 1, 1}, {Command::InsertLevel, 0, 0, 1, 1, 1, 1},
      {Command::ZFlagEditor, 0, 0, 1, 1, 1, 1},   {Command::RangeSelect, 0, 0, 1, 1, 1, 1},
      {Command::Delete, 0, 0, 0, 1, 1, 0},        {Command::CleanMotionAttributes, 0, 0, 0, 1, 0, 1},
      {Command::EditObjectXml, 0, 0, 0, 1, 1, 1},  {Command::FindBlock, 1, 1, 1, 1, 1, 1},
  };
  auto check = [&](int column) {
    for (const Case& c : cases) {
      const bool expected[] = {c.none, c.game, c.zone, c.one, c.two, c.placing};
      EXPECT_EQ(commandAllowed(editor, c.command), expected[column])
          << "command " << static_cast<int>(c.command) << " in state " << column;
    }
  };
  check(0);
  const std::string path = temp / "g.zorlan";
  ASSERT_TRUE(files::writeFileAtomic(path, "<zorlan version=\"1\"><zone id=\"z\"><block oname=\"a\"/>"
                                           "<block oname=\"b\"/></zone></zorlan>"));
  ASSERT_TRUE(loadGameFileForEditing(editor, path));
  check(1);
  ASSERT_TRUE(openZone(editor, editor.game.zones.at(0).node));
  check(2);
  selectObject(editor, byName("a"));
  check(3);
  selectObject(editor, byName("b"));
  check(4);
  deselectObject(editor, byName("b"));
  editor.zone.view.mode = 3;
  check(5);
}

TEST(CommandShortcuts, KeysFindTheirCommandsWithExactModifiers) {
  const Modifiers ctrl{false, true, false}, ctrlShift{true, true, false}, none{};
  struct Case {
    int32_t key;
    Modifiers mods;
    Command expected;
  };
  const Case cases[] = {
      {key::letter('W'), ctrl, Command::Close},
      {key::letter('S'), ctrl, Command::Save},
      {key::letter('S'), ctrlShift, Command::SaveAs},
      {key::letter('N'), ctrl, Command::NewZone},
      {key::letter('N'), ctrlShift, Command::New},
      {key::letter('N'), Modifiers{true, false, true}, Command::NewWindow},
      {key::letter('B'), ctrl, Command::InsertBlock},
      {key::Delete, ctrl, Command::DeleteZone},
      {key::Numpad5, ctrl, Command::SecMarker},
      {key::Clear, ctrl, Command::SecMarker},  // keypad 5 with Num Lock off
      {key::Digit0 + 5, ctrl, Command::SecMarker},
      {key::Return, none, Command::Apply},
      {key::Escape, none, Command::Cancel},
      {key::F2, Modifiers{true, false, false}, Command::FocusSelectionBackward},
      // Canvas keys are no shortcuts: the panels' text fields keep them.
      {key::letter('X'), ctrl, Command::None},
      {key::letter('C'), ctrl, Command::None},
      {key::letter('V'), ctrl, Command::None},
      {key::letter('A'), ctrl, Command::None},
      {key::Delete, none, Command::None},
      {key::Insert, none, Command::None},
      {key::letter('S'), none, Command::None},
      {key::letter('Z'), none, Command::None},
      {key::Right, ctrl, Command::None},
      {key::letter('B'), ctrlShift, Command::None},
  };
  for (const Case& c : cases) EXPECT_EQ(shortcutCommand(c.key, c.mods), c.expected) << c.key;
}

class CanvasCommandTest : public CanvasTest {
 protected:
  void SetUp() override {
    openZoneWith("<levels><level z=\"0\" color=\"FF0000\"/><level z=\"50\" color=\"00FF00\"/></levels>"
                 "<block oname=\"a\" color=\"808080\" x=\"0\" y=\"0\" w=\"20\" h=\"20\" level=\"1\"/>"
                 "<block oname=\"b\" color=\"808080\" x=\"40\" y=\"0\" w=\"20\" h=\"20\" z=\"0\"/>");
  }
  struct Host : CommandHost {
    void toggleMaximised() override {}
    std::string ownExecutable() override { return ""; }
  } host;
};

TEST_F(CanvasCommandTest, EditsOfTheDispatchMarkTheGameModified) {
  // Insert Level: after the current level, sorted by depth; level references follow.
  port.inputs = {"25"};
  dispatchCommand(editor, host, Command::InsertLevel);
  ASSERT_EQ(editor.zone.levelCount(), 3);
  EXPECT_EQ(editor.zone.levels[1].zText, "25");
  EXPECT_EQ(editor.zone.levels[1].colour, 0x0000FF);
  EXPECT_EQ(editor.zone.currentLevel, 1);
  EXPECT_EQ(byName("a")->node->attr("level"), "2");
  EXPECT_NE(xml::Document::serializeNode(editor.zone.openZoneNode).find("<level color=\"FF0000\" z=\"25\" unlocked=\"1\"/>"),
            std::string::npos);
  EXPECT_TRUE(editor.game.modified);

  // The sec marker on the zone (nothing selected), then on the selection.
  editor.game.modified = false;
  port.answers = {Answer::Yes};
  dispatchCommand(editor, host, Command::SecMarker);
  EXPECT_EQ(editor.zone.openZoneNode->attr("sec"), "1");
  EXPECT_TRUE(editor.game.modified);
  port.answers = {Answer::Cancel};
  editor.game.modified = false;
  dispatchCommand(editor, host, Command::SecMarker);
  EXPECT_FALSE(editor.game.modified);
  selectObject(editor, byName("b"));
  port.inputs = {"3"};
  dispatchCommand(editor, host, Command::SecMarker);
  EXPECT_EQ(byName("b")->node->attr("sec"), "3");
  EXPECT_TRUE(editor.game.modified);

  // Cut without the clipboard's part still takes the objects away and marks the game.
  editor.game.modified = false;
  dispatchCommand(editor, host, Command::Cut);
  EXPECT_EQ(editor.zone.objects.size(), 1u);
  EXPECT_TRUE(editor.game.modified);
}

TEST_F(CanvasCommandTest, RangeSelectTakesTheBlocksBetweenTwoSelectedOnesAndCountsThemAll) {
  openZoneWith("<levels><level z=\"0\" color=\"FF0000\"/></levels>"
               "<block oname=\"a\" x=\"0\" y=\"0\" w=\"10\" h=\"10\" z=\"0\"/>"
               "<block oname=\"in1\" x=\"20\" y=\"10\" w=\"10\" h=\"10\" z=\"5\"/>"
               "<block oname=\"in2\" x=\"45\" y=\"45\" w=\"10\" h=\"10\" z=\"10\"/>"
               "<block oname=\"deep\" x=\"20\" y=\"10\" w=\"10\" h=\"10\" z=\"11\"/>"
               "<block oname=\"out\" x=\"60\" y=\"10\" w=\"10\" h=\"10\" z=\"5\"/>"
               "<block oname=\"b\" x=\"50\" y=\"50\" w=\"0\" h=\"0\" z=\"10\"/>"
               "<area xlim=\"0,1\" ylim=\"0,1\" z=\"0\"/>");
  dispatchCommand(editor, host, Command::RangeSelect);
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "Select two blocks to perform a range select.");
  selectObject(editor, byName("a"));
  selectObject(editor, byName("b"));
  dispatchCommand(editor, host, Command::RangeSelect);
  EXPECT_TRUE(selected("in1") && selected("in2"));
  EXPECT_FALSE(selected("deep") || selected("out"));
  EXPECT_EQ(port.status[0], "Total of 2 blocks selected.");
  deselectObject(editor, byName("in2"));
  selectObject(editor, byName("area"));
  deselectObject(editor, byName("in1"));
  dispatchCommand(editor, host, Command::RangeSelect);  // a block and an area: refused
  EXPECT_EQ(port.messages.size(), 2u);
}

TEST_F(CanvasCommandTest, DeletingAClassReadsTheBlocksAgain) {
  xml::Node* cls = editor.game.document->createElement("class");
  cls->setAttr("name", "wide");
  cls->setAttr("w", "90");
  xml::Document::insertBefore(editor.game.root, cls, editor.zone.openZoneNode);
  byName("b")->node->setAttr("class", "wide");
  byName("b")->node->removeAttr("w");
  parseBlock(editor, byName("b")->node, true, 0);
  ASSERT_EQ(byName("b")->w, 90.0f);
  port.chooserAnswers = {0};
  port.answers = {Answer::Yes};
  dispatchCommand(editor, host, Command::DeleteClass);
  EXPECT_EQ(port.questions.back(), "Are you sure you want to delete class 'wide'?");
  EXPECT_EQ(port.status[0], "Deleted class: wide");
  EXPECT_EQ(byName("b")->w, 20.0f);
  EXPECT_TRUE(editor.game.modified);
  dispatchCommand(editor, host, Command::RestoreDeletedScript);
  EXPECT_NE(port.messages.back().text.find("Currently there is no stored script."), std::string::npos);
}

TEST_F(CanvasCommandTest, EscapeEndsPlacingOrClearsTheSelection) {
  selectObject(editor, byName("a"));
  selectObject(editor, byName("b"));
  byName("b")->flags |= objflag::BeingPlaced;
  editor.zone.view.mode = 3;
  dispatchCommand(editor, host, Command::Cancel);
  EXPECT_EQ(editor.zone.view.mode, 0);
  EXPECT_EQ(editor.zone.objects.size(), 1u);  // only the floating object went
  EXPECT_TRUE(selected("a"));
  // From a panel field Esc only gives the canvas the keys.
  port.panelFieldWithFocus = 0;
  dispatchCommand(editor, host, Command::Cancel);
  EXPECT_TRUE(selected("a"));
  port.panelFieldWithFocus = -1;
  dispatchCommand(editor, host, Command::Cancel);
  EXPECT_EQ(editor.zone.selectionCount, 0);
  // Delete needs an idle view and a selection.
  selectObject(editor, byName("a"));
  editor.zone.view.mode = 1;
  dispatchCommand(editor, host, Command::Delete);
  EXPECT_EQ(editor.zone.objects.size(), 1u);
  editor.zone.view.mode = 0;
  dispatchCommand(editor, host, Command::Delete);
  EXPECT_TRUE(editor.zone.objects.empty());
  EXPECT_TRUE(editor.game.modified);
}

}  // namespace
}  // namespace zor::editor::test

namespace zor::editor::test {
namespace {

TEST_F(CanvasCommandTest, FocusPanelFocusesTheFirstFieldOfTheShownPanel) {
  dispatchCommand(editor, host, Command::FocusPanel);  // nothing selected: the level panel
  selectObject(editor, byName("a"));
  dispatchCommand(editor, host, Command::FocusPanel);
  selectObject(editor, byName("b"));
  dispatchCommand(editor, host, Command::FocusPanel);  // two blocks: still the block panel
  const std::vector<std::pair<PanelKind, int>> expected = {
      {PanelKind::Level, levelfield::Z}, {PanelKind::Block, blockfield::Oname}, {PanelKind::Block, blockfield::Oname}};
  EXPECT_EQ(port.focusedFields, expected);
  closeZone(editor);
  dispatchCommand(editor, host, Command::FocusPanel);  // no panel
  EXPECT_EQ(port.focusedFields.size(), 3u);
}

}  // namespace
}  // namespace zor::editor::test

namespace zor::editor::test {
namespace {

class ApplyCommandTest : public CanvasCommandTest {
 protected:
  // The zone's object elements, each serialised, in document order.
  std::string objectsXml() {
    std::string out;
    for (xml::Node* n = editor.zone.openZoneNode->firstElement(); n; n = n->nextElement()) {
      if (n->name != "levels") out += xml::Document::serializeNode(n);
    }
    return out;
  }
};

// Enter in the main window: the focused panel field of several selected objects
// goes to all of them, except names; one or no object only gives the canvas the focus.
TEST_F(ApplyCommandTest, EnterAppliesTheFocusedFieldToSeveralObjectsButNoSharedName) {
  struct Case {
    const char* name;
    std::string objects;
    std::vector<std::string> selected;
    int field;  // focused field, -1: none
    std::string typed;
    std::string expected;  // the objects afterwards
    std::string warning;
  };
  const std::string twoBlocks = "<block oname=\"a\" w=\"10\"/><block oname=\"b\" w=\"20\"/>";
  const std::string entrances = "<entrance_a x=\"1\"/><entrance_b x=\"2\"/>";
  const Case cases[] = {
      {"block name with text", twoBlocks, {"a", "b"}, blockfield::Oname, "same", twoBlocks,
       "You should not give multiple blocks the same name!"},
      {"empty block name", twoBlocks, {"a", "b"}, blockfield::Oname, "",
       "<block w=\"10\"/><block w=\"20\"/>", ""},
      {"entrance name", entrances, {"entrance_a", "entrance_b"}, entrancefield::Name, "door", entrances,
       "You should not give multiple entrances the same name!"},
      {"empty entrance name", entrances, {"entrance_a", "entrance_b"}, entrancefield::Name, "", entrances,
       "You should not give multiple entrances the same name!"},
      {"entrance x", entrances, {"entrance_a", "entrance_b"}, entrancefield::X, "7",
       "<entrance_a x=\"7\"/><entrance_b x=\"7\"/>", ""},
      {"block width", twoBlocks + "<block oname=\"c\"/>", {"a", "b", "c"}, blockfield::W, "30",
       "<block oname=\"a\" w=\"30\"/><block oname=\"b\" w=\"30\"/><block oname=\"c\" w=\"30\"/>", ""},
      {"one block", twoBlocks, {"a"}, blockfield::W, "30", twoBlocks, ""},
      {"no field focused", twoBlocks, {"a", "b"}, -1, "", twoBlocks, ""},
      {"mixed kinds", "<block oname=\"a\"/><entrance_b x=\"2\"/>", {"a", "entrance_b"}, 0, "9",
       "<block oname=\"a\"/><entrance_b x=\"2\"/>", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    openZoneWith(c.objects);
    for (const std::string& name : c.selected) selectObject(editor, byName(name));
    editor.panel = fillPanel(editor);  // as the panel view does on every selection change
    if (c.field >= 0 && static_cast<std::size_t>(c.field) < editor.panel.fields.size()) {
      editor.panel.fields[static_cast<std::size_t>(c.field)] = c.typed;
    }
    port.panelFieldWithFocus = c.field;
    port.messages.clear();
    editor.game.modified = false;
    const int focusesBefore = port.canvasFocuses;
    const bool changes = c.expected != c.objects;

    dispatchCommand(editor, host, Command::Apply);

    EXPECT_EQ(objectsXml(), c.expected);
    EXPECT_EQ(editor.game.modified, changes);
    if (c.warning.empty()) {
      EXPECT_TRUE(port.messages.empty());
    } else {
      ASSERT_EQ(port.messages.size(), 1u);
      EXPECT_EQ(port.messages[0].text, c.warning);
      EXPECT_EQ(port.messages[0].icon, MessageIcon::Warning);
    }
    // Applying records one attribute step for the whole selection; a refusal records none.
    EXPECT_EQ(editor.zone.undoKind, changes ? undo::Attributes : 0);
    if (changes) {
      EXPECT_EQ(editor.zone.undoEntries.size(), c.selected.size());
      undoLastStep(editor);
      EXPECT_EQ(objectsXml(), c.objects);
      EXPECT_EQ(port.status[0], "Unmodified " + std::to_string(c.selected.size()) + " objects.");
    }
    // One object, or nothing to take from the panel: the canvas takes the focus.
    const bool toCanvas = c.selected.size() == 1 || c.field < 0 || std::string(c.name) == "mixed kinds";
    EXPECT_EQ(port.canvasFocuses - focusesBefore, toCanvas ? 1 : 0);
  }
}

}  // namespace
}  // namespace zor::editor::test
