// The editing commands, the clipboard and the undo step on a small zone, looked at
// through the zone's XML.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/core/clipboard.h"
#include "editor/core/edit_commands.h"
#include "editor/core/editing.h"
#include "editor/core/commands.h"
#include "editor/core/script_edit.h"
#include "editor/core/selection.h"
#include "tests/editor/core/canvas_fixture.h"

namespace zor::editor::test {
namespace {

constexpr const char* kLevels = "<levels><level z=\"0\" color=\"FF0000\"/><level z=\"50\" color=\"00FF00\"/></levels>";

class EditingTest : public CanvasTest {
 protected:
  // The zone's object elements as written, in document order.
  std::vector<std::string> zoneXml() {
    std::vector<std::string> out;
    for (const xml::Node* c = editor.zone.openZoneNode->firstElement(); c; c = c->nextElement())
      if (c->name != "levels") out.push_back(xml::Document::serializeNode(c));
    return out;
  }
  // The record of the element with this oname, id or element name.
  EditorObject* find(const std::string& name) {
    for (const auto& o : editor.zone.objects) {
      if (o->kind > kind::Entrance) continue;
      if (o->node->attr("oname") == name || o->node->attr("id") == name || o->node->name == name) return o.get();
    }
    ADD_FAILURE() << "no object " << name;
    return nullptr;
  }
  bool isSelected(const std::string& name) {
    EditorObject* o = find(name);
    return o && (o->flags & objflag::Selected);
  }
  std::string xmlOf(const std::string& name) { return xml::Document::serializeNode(find(name)->node); }
  void selectOnly(std::initializer_list<const char*> names) {
    deselectAll(editor);
    for (const char* n : names) selectObject(editor, find(n));
  }
  // The left click that places pasted or inserted objects at world (0, 0) on depth 0.
  void placeAtOrigin() {
    mouse(CanvasMouseKind::Move, kW / 2, kH / 2);
    mouse(CanvasMouseKind::LeftDown, kW / 2, kH / 2);
    mouse(CanvasMouseKind::LeftUp, kW / 2, kH / 2);
  }
};

// Each command on one selected object, by its effect on the element.
struct CommandCase {
  const char* name;
  const char* object;
  const char* input;  // the input dialog's answer, if the command asks
  void (*run)(Editor&);
  const char* expected;
  const char* status;
};

TEST_F(EditingTest, CommandsWriteTheirElements) {
  const CommandCase cases[] = {
      {"fit block keeps aspect", "<block oname=\"k\" x=\"0\" y=\"0\" w=\"20\" h=\"20\"/>", "10,40",
       fitObjects, "<block oname=\"k\" x=\"0\" y=\"0\" w=\"10\" h=\"10\"/>", "Fit 1 object."},
      {"fit area", "<area oname=\"\" xlim=\"0,40\" ylim=\"10,30\" id=\"k\"/>", "20", fitObjects,
       "<area oname=\"\" xlim=\"0,20\" ylim=\"10,20\" id=\"k\"/>", "Fit 1 object."},
      {"fit refuses a zero size", "<block oname=\"k\" w=\"20\" h=\"20\"/>", "0", fitObjects,
       "<block oname=\"k\" w=\"20\" h=\"20\"/>", ""},
      {"rotate block", "<block oname=\"k\" w=\"30\" h=\"10\"/>", nullptr, rotateSelection,
       "<block oname=\"k\" w=\"10\" h=\"30\"/>", "Rotated 1 object."},
      {"rotate block without h", "<block oname=\"k\" w=\"30\"/>", nullptr, rotateSelection,
       "<block oname=\"k\" h=\"30\"/>", "Rotated 1 object."},
      {"rotate area", "<area xlim=\"0,30\" ylim=\"5,15\" id=\"k\"/>", nullptr, rotateSelection,
       "<area xlim=\"0,10\" ylim=\"5,35\" id=\"k\"/>", "Rotated 1 object."},
      {"rotate skips an area without a comma", "<area xlim=\"30\" ylim=\"5,15\" id=\"k\"/>", nullptr,
       rotateSelection, "<area xlim=\"30\" ylim=\"5,15\" id=\"k\"/>", ""},
      {"square to the larger side", "<block oname=\"k\" w=\"30\" h=\"10\"/>", nullptr,
       [](Editor& e) { squareSelection(e, 1); }, "<block oname=\"k\" w=\"30\" h=\"30\"/>", "Squared 1 object."},
      {"square to the smaller side", "<block oname=\"k\" w=\"30\" h=\"10\"/>", nullptr,
       [](Editor& e) { squareSelection(e, -1); }, "<block oname=\"k\" w=\"10\" h=\"10\"/>", "Squared 1 object."},
      {"square with one side", "<block oname=\"k\" h=\"12.5\"/>", nullptr, [](Editor& e) { squareSelection(e, -1); },
       "<block oname=\"k\" h=\"12.5\" w=\"12.5\"/>", "Squared 1 object."},
      {"square area", "<area xlim=\"-10,10\" ylim=\"0,5\" id=\"k\"/>", nullptr,
       [](Editor& e) { squareSelection(e, 1); }, "<area xlim=\"-10,10\" ylim=\"0,20\" id=\"k\"/>",
       "Squared 1 object."},
      {"square with another direction does nothing", "<block oname=\"k\" w=\"30\" h=\"10\"/>", nullptr,
       [](Editor& e) { squareSelection(e, 2); }, "<block oname=\"k\" w=\"30\" h=\"10\"/>", ""},
      {"resize block to at least 5", "<block oname=\"k\" w=\"6\" h=\"20\"/>", nullptr,
       [](Editor& e) { resizeSelection(e, e.zone.objects.front().get(), -5.0f, 5.0f); },
       "<block oname=\"k\" w=\"5\" h=\"25\"/>", ""},
      {"resize area", "<area xlim=\"0,10\" ylim=\"0,10\" id=\"k\"/>", nullptr,
       [](Editor& e) { resizeSelection(e, e.zone.objects.front().get(), 5.0f, -20.0f); },
       "<area xlim=\"0,15\" ylim=\"0,5\" id=\"k\"/>", ""},
      {"entrances are not resized", "<entrance_k x=\"0\" y=\"0\"/>", nullptr,
       [](Editor& e) { resizeSelection(e, e.zone.objects.front().get(), 5.0f, 5.0f); },
       "<entrance_k x=\"0\" y=\"0\"/>", ""},
  };
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(c.name);
    openZoneWith(std::string(kLevels) + c.object);
    selectObject(editor, editor.zone.objects.front().get());
    port.status[0].clear();
    if (c.input) port.inputs.push_back(c.input);
    c.run(editor);
    port.inputs.clear();
    EXPECT_EQ(zoneXml(), std::vector<std::string>{c.expected});
    EXPECT_EQ(port.status[0], c.status);
    EXPECT_EQ(editor.game.modified, c.expected != std::string(c.object));
  }
}

TEST_F(EditingTest, RecordsFollowTheirElements) {
  openZoneWith(std::string(kLevels) + "<block oname=\"k\" x=\"0\" y=\"0\" w=\"30\" h=\"10\"/>"
                                      "<area oname=\"k\" id=\"a\"/>");
  EditorObject* block = nullptr;
  EditorObject* area = nullptr;
  for (const auto& o : editor.zone.objects) (o->kind == kind::Block ? block : area) = o.get();
  ASSERT_TRUE(block && area);
  selectObject(editor, block);
  rotateSelection(editor);
  EXPECT_EQ(block->w, 10.0f);
  EXPECT_EQ(block->h, 30.0f);
  // The area that follows the named block follows its new size.
  EXPECT_EQ(area->h, 30.0f);
}

TEST_F(EditingTest, DuplicateCopiesInPlaceWithUniqueNames) {
  openZoneWith(std::string(kLevels) + "<block oname=\"door\" x=\"5\" y=\"0\"><standon><sound/></standon></block>"
                                      "<entrance x=\"0\" y=\"0\"/><block oname=\"door2\"/>");
  selectOnly({"door", "entrance"});
  EXPECT_EQ(duplicateSelection(editor), 2);
  EXPECT_EQ(zoneXml(), (std::vector<std::string>{
                           "<block oname=\"door\" x=\"5\" y=\"0\"><standon><sound/></standon></block>",
                           "<block oname=\"door3\" x=\"5\" y=\"0\"><standon><sound/></standon></block>",
                           "<entrance x=\"0\" y=\"0\"/>", "<entrance_e2 x=\"0\" y=\"0\"/>", "<block oname=\"door2\"/>"}));
  EXPECT_TRUE(selected("door3") && selected("entrance_e2"));
  EXPECT_FALSE(selected("door") || selected("entrance"));
  EXPECT_EQ(port.status[0], "Duplicated 2 objects.");
  EXPECT_TRUE(editor.game.modified);
  // The copies are one created step: undo takes them away, undo again brings them back.
  EXPECT_EQ(undoLastStep(editor), 2);
  EXPECT_EQ(port.status[0], "Uncreated 2 objects.");
  EXPECT_EQ(zoneXml().size(), 3u);
  EXPECT_EQ(undoLastStep(editor), 2);
  EXPECT_EQ(zoneXml().size(), 5u);
  EXPECT_EQ(port.status[0], "Undeleted 2 objects.");
}

TEST_F(EditingTest, UniqueNames) {
  openZoneWith(std::string(kLevels) + "<block oname=\"door\"/><block oname=\"Door2\"/><block oname=\"7\"/>"
                                      "<block oname=\"x99999999999999999999\"/><block oname=\"pad007\"/>"
                                      "<entrance/><entrance_e2/>");
  ASSERT_TRUE(collectObjectNames(editor));
  struct Case {
    const char* name;
    int kind;
    const char* expected;
  } cases[] = {
      {"free", kind::Block, "free"},
      {"DOOR", kind::Block, "DOOR3"},
      {"door", kind::Block, "door4"},  // DOOR3 joined the list
      {"7", kind::Block, "8"},
      {"x99999999999999999999", kind::Block, "x100000000000000000000"},
      {"pad007", kind::Block, "pad8"},
      {"entrance", kind::Entrance, "entrance_e3"},
      {"door", kind::Entrance, "door"},  // names of blocks and entrances do not meet
  };
  for (const Case& c : cases) EXPECT_EQ(makeUniqueObjectName(editor, c.name, c.kind), c.expected) << c.name;
  // A fresh list forgets the names made for the last one.
  ASSERT_TRUE(collectObjectNames(editor));
  EXPECT_EQ(makeUniqueObjectName(editor, "door", kind::Block), "door3");
  editor.zone.names.clear();
  editor.zone.names.add("DOOR3", kind::Block);
  EXPECT_EQ(makeUniqueObjectName(editor, "door3", kind::Block), "door4");
  EXPECT_EQ(makeUniqueObjectName(editor, "door", kind::Block), "door");
}

TEST_F(EditingTest, InsertTakesDepthAndPlaceFromTheSelection) {
  openZoneWith(std::string(kLevels) + "<block oname=\"a\" level=\"1\" x=\"0\" y=\"0\"/><block oname=\"b\" z=\"0\"/>");
  selectOnly({"a"});
  ASSERT_TRUE(insertObject(editor, kind::Entrance));
  EXPECT_EQ(editor.zone.view.mode, 3);
  EXPECT_EQ(zoneXml()[1], "<entrance_e1 x=\"-10\" y=\"-10\" z=\"\" level=\"1\"/>");
  // A new insert discards the one being placed.
  ASSERT_TRUE(insertObject(editor, kind::Area));
  EXPECT_EQ(zoneXml(), (std::vector<std::string>{"<block oname=\"a\" level=\"1\" x=\"0\" y=\"0\"/>",
                                                  "<block oname=\"b\" z=\"0\"/>",
                                                  "<area xlim=\"-20,20\" ylim=\"-20,20\" z=\"0\" level=\"\"/>"}));
  placeAtOrigin();
  EXPECT_EQ(zoneXml()[2], "<area xlim=\"-20,20\" ylim=\"-20,20\" z=\"0\" level=\"\"/>");
  // A block from the template, centred on the mouse, placed at the mouse; it becomes the template.
  selectOnly({"b"});
  ASSERT_TRUE(insertObject(editor, 0));
  mouse(CanvasMouseKind::Move, kW / 2 + 50, kH / 2);  // 30 units right
  mouse(CanvasMouseKind::LeftDown, kW / 2 + 50, kH / 2);
  mouse(CanvasMouseKind::LeftUp, kW / 2 + 50, kH / 2);
  EXPECT_EQ(zoneXml()[2], "<block color=\"F0F0F0\" x=\"20\" y=\"-10\" w=\"20\" h=\"20\" flg=\"solid\" z=\"0\" level=\"\"/>");
  EXPECT_TRUE(editor.game.modified);
  // Placing recorded a created step.
  EXPECT_EQ(undoLastStep(editor), 1);
  EXPECT_EQ(port.status[0], "Uncreated 1 object.");
  EXPECT_EQ(zoneXml().size(), 3u);
}

TEST_F(EditingTest, CopyThenPasteAtTheNewOffset) {
  openZoneWith(std::string(kLevels) +
               "<block oname=\"door\" x=\"0\" y=\"0\" w=\"20\" h=\"20\"><die><sound name=\"x\"/></die></block>"
               "<block x=\"100\" y=\"10\" w=\"20\" h=\"20\"/><area xlim=\"500,600\" ylim=\"0,10\"/>");
  selectOnly({"door"});
  selectObject(editor, editor.zone.objects[1]->node->attr("oname").empty() ? editor.zone.objects[1].get()
                                                                             : editor.zone.objects[0].get());
  for (const auto& o : editor.zone.objects)
    if (o->kind == kind::Block) selectObject(editor, o.get());
  const std::string copied = copySelection(editor);
  EXPECT_EQ(port.clipboard, copied);
  EXPECT_EQ(port.status[0], "Copied 2 objects to clipboard.");
  EXPECT_NE(copied.find("camx=\"-60\" camy=\"-15\" camz=\"-100\""), std::string::npos) << copied;
  EXPECT_NE(copied.find("<die><sound name=\"x\"/></die>"), std::string::npos) << copied;

  openZoneWith(std::string(kLevels) + "<block oname=\"door\"/><block oname=\"door2\"/>");
  port.clipboard = copied;
  EXPECT_EQ(pasteFromClipboard(editor), 2);
  EXPECT_EQ(editor.zone.view.mode, 3);
  EXPECT_TRUE(editor.game.modified);
  // Pasted elements come after the front-most object, together and in the copied
  // order (the object list's: the higher block first).
  placeAtOrigin();
  EXPECT_EQ(zoneXml(), (std::vector<std::string>{
                           "<block oname=\"door\"/>", "<block oname=\"door2\"/>",
                           "<block x=\"40\" y=\"-5\" w=\"20\" h=\"20\"/>",
                           "<block oname=\"door3\" x=\"-60\" y=\"-15\" w=\"20\" h=\"20\"><die><sound name=\"x\"/></die></block>"}));
  // A second paste of the same text names the copy door4.
  EXPECT_EQ(pasteFromClipboard(editor), 2);
  EXPECT_NE(xml::Document::serializeNode(editor.zone.openZoneNode).find("oname=\"door4\""), std::string::npos);
  // Undo while the pasted group still follows the mouse discards it and keeps the step.
  press(key::letter('Z'), kCtrl);
  EXPECT_EQ(zoneXml().size(), 4u);
  EXPECT_EQ(editor.zone.undoKind, undo::Created);
  press(key::letter('Z'), kCtrl);
  EXPECT_EQ(zoneXml().size(), 2u);
}

// What a copy writes a paste reads back: a cut whose text no paste would take,
// or that the desktop's clipboard did not take, deletes nothing.
TEST_F(EditingTest, ACutNotOnTheClipboardKeepsItsObjects) {
  const std::string big = "<block oname=\"big\" x=\"0\" y=\"0\" w=\"5\" h=\"5\"><die><title text=\"" +
                          std::string(kMaxClipboardBytes, 'a') + "\"/></die></block>";
  struct Case {
    const char* what;
    bool clipboardRefuses;
    bool withBig;
    const char* status;  // status field 0 afterwards
  } cases[] = {
      {"too large to paste", false, true, "Too much to copy: the clipboard text would be larger than 4 MiB."},
      {"clipboard not open", true, false, "before"},
  };
  for (const Case& c : cases) {
    openZoneWith(std::string(kLevels) + big + "<block oname=\"b\" x=\"10\" y=\"0\" w=\"5\" h=\"5\"/>");
    const std::string before = xml::Document::serializeNode(editor.zone.openZoneNode);
    for (const char* key : {"C", "X"}) {
      selectOnly({"b"});
      if (c.withBig) selectObject(editor, find("big"));
      port.clipboard = "earlier";
      port.clipboardRefuses = c.clipboardRefuses;
      port.setStatus(0, "before");
      press(key::letter(key[0]), kCtrl);
      EXPECT_EQ(port.clipboard, "earlier") << c.what << " " << key;
      EXPECT_EQ(port.status[0], c.status) << c.what << " " << key;
      EXPECT_EQ(xml::Document::serializeNode(editor.zone.openZoneNode), before) << c.what << " " << key;
      EXPECT_FALSE(editor.game.modified) << c.what << " " << key;
    }
  }
  // The same cut of a size a paste takes goes through.
  port.clipboardRefuses = false;
  selectOnly({"b"});
  press(key::letter('X'), kCtrl);
  EXPECT_EQ(port.status[0], "Copied block to clipboard.");
  EXPECT_EQ(readClipboardText(port.clipboard).refusal, "");
  EXPECT_EQ(editor.zone.objects.size(), 1u);
}

TEST_F(EditingTest, OnlyAZorcopyOfObjectsIsPasted) {
  const struct {
    std::string text;
    const char* warning;
  } cases[] = {
      {"just some words", "Clipboard XML is not valid."},
      {"<zorcopy camx=\"0\"><block/>", "Clipboard XML is not valid."},
      {"<!-- nothing -->", "Clipboard XML is not valid."},
      {"<zorlan><block/></zorlan>", "Clipboard XML is not in the expected format."},
      {"<ZorCopy><block/></ZorCopy>", "Clipboard XML is not in the expected format."},
      {"<zorcopy camx=\"0\" camy=\"0\"><block/><zone id=\"x\"/></zorcopy>",
       "Clipboard XML is not in the expected format."},
      {"<zorcopy camx=\"0\" camy=\"0\"></zorcopy>", "Clipboard XML is not in the expected format."},
      {"<zorcopy camx=\"nan\" camy=\"0\"><block/></zorcopy>", "Clipboard XML is not in the expected format."},
      {"<zorcopy><block oname=\"" + std::string(kMaxClipboardBytes, 'a') + "\"/></zorcopy>",
       "Clipboard data is not valid."},
  };
  openZoneWith(std::string(kLevels) + "<block oname=\"a\"/>");
  const std::string before = xml::Document::serializeNode(editor.zone.openZoneNode);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 60));
    port.clipboard = c.text;
    port.status[0].clear();
    port.messages.clear();
    EXPECT_EQ(pasteFromClipboard(editor), 0);
    // A warning box says why; the status bar is left alone.
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].title, "ZorlED");
    EXPECT_EQ(port.messages[0].text, c.warning);
    EXPECT_EQ(port.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(port.status[0], "");
    EXPECT_EQ(xml::Document::serializeNode(editor.zone.openZoneNode), before);
    EXPECT_EQ(editor.zone.view.mode, 0);
    EXPECT_EQ(editor.zone.objects.size(), 1u);
  }
  EXPECT_FALSE(editor.game.modified);
  // Comments and blanks beside the objects are fine; entrance names keep their suffix.
  port.clipboard = "<zorcopy camx=\"1\" camy=\"2\">\n <!-- x --> <entrance_top x=\"0\" y=\"0\"/></zorcopy>";
  EXPECT_EQ(pasteFromClipboard(editor), 1);
  EXPECT_EQ(zoneXml().back(), "<entrance_top x=\"1\" y=\"2\"/>");
}

TEST_F(EditingTest, UndoRestoresEachKindOfEdit) {
  const std::string zone = std::string(kLevels) +
                           "<block oname=\"a\" x=\"0\" y=\"0\" w=\"20\" h=\"30\"><die><sound/></die></block>"
                           "<area oname=\"\" xlim=\"0,10\" ylim=\"0,10\" id=\"r\"/><block oname=\"z\"/>";
  // The canvas key of each edit.
  struct Case {
    const char* name;
    int32_t key;
    Modifiers modifiers;
    const char* status;
  } cases[] = {
      {"delete", key::Delete, {}, "Undeleted 2 objects."},
      {"cut", key::letter('X'), kCtrl, "Undeleted 2 objects."},
      {"rotate", key::letter('R'), {}, "Unmodified 2 objects."},
      {"square", key::letter('Q'), {}, "Unmodified 2 objects."},
      {"move", key::Right, kCtrl, "Unmoved 2 objects."},
      {"size", key::Up, kCtrlShift, "Unsized 2 objects."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    openZoneWith(zone);
    const std::vector<std::string> original = zoneXml();
    selectOnly({"a", "r"});
    press(c.key, c.modifiers);
    const std::vector<std::string> edited = zoneXml();
    ASSERT_NE(edited, original);
    EXPECT_EQ(undoLastStep(editor), 2);
    EXPECT_EQ(port.status[0], c.status);
    std::vector<std::string> restored = zoneXml();
    if (std::string(c.name) == "delete" || std::string(c.name) == "cut") {
      // An undone deletion comes back at the end of its parent, in the object list's
      // order (the area, of the higher priority, first).
      EXPECT_EQ(restored, (std::vector<std::string>{original[2], original[1], original[0]}));
    } else {
      EXPECT_EQ(restored, original);
    }
    EXPECT_TRUE(isSelected("a") && isSelected("r"));
    EXPECT_EQ(find("a")->x, 0.0f);
    EXPECT_EQ(find("a")->h, 30.0f);
    // Undo again redoes.
    EXPECT_EQ(undoLastStep(editor), 2);
    std::vector<std::string> redone = zoneXml();
    EXPECT_EQ(redone, edited);
  }
}

TEST_F(EditingTest, RepeatedMovesOfOneSelectionAreOneStep) {
  openZoneWith(std::string(kLevels) + "<block oname=\"a\" x=\"0\" y=\"0\"/><block oname=\"b\" x=\"50\" y=\"0\"/>");
  selectOnly({"a"});
  for (int i = 0; i < 3; ++i) press(key::Right, kCtrl);
  EXPECT_EQ(xmlOf("a"), "<block oname=\"a\" x=\"15\" y=\"0\"/>");
  EXPECT_EQ(undoLastStep(editor), 1);
  EXPECT_EQ(xmlOf("a"), "<block oname=\"a\" x=\"0\" y=\"0\"/>");
  EXPECT_EQ(undoLastStep(editor), 1);
  EXPECT_EQ(xmlOf("a"), "<block oname=\"a\" x=\"15\" y=\"0\"/>");
  // After an undo the next move starts a new step.
  press(key::Right, kCtrl);
  press(key::Right, kCtrl);
  EXPECT_EQ(undoLastStep(editor), 1);
  EXPECT_EQ(xmlOf("a"), "<block oname=\"a\" x=\"15\" y=\"0\"/>");
  // Another selection breaks the run: only b moves back.
  press(key::Right, kCtrl);
  selectOnly({"b"});
  press(key::Right, kCtrl);
  EXPECT_EQ(undoLastStep(editor), 1);
  EXPECT_EQ(xmlOf("a"), "<block oname=\"a\" x=\"20\" y=\"0\"/>");
  EXPECT_EQ(xmlOf("b"), "<block oname=\"b\" x=\"50\" y=\"0\"/>");
  // Size changes of one selection merge too, but a move after them is its own step.
  press(key::Up, kCtrlShift);
  press(key::Up, kCtrlShift);
  press(key::Right, kCtrl);
  EXPECT_EQ(undoLastStep(editor), 1);
  EXPECT_EQ(port.status[0], "Unmoved 1 object.");
  EXPECT_EQ(xmlOf("b"), "<block oname=\"b\" x=\"50\" y=\"0\"/>");
}

TEST_F(EditingTest, EachMouseDragIsItsOwnStep) {
  openZoneWith(std::string(kLevels) + "<block oname=\"a\" x=\"0\" y=\"0\" w=\"20\" h=\"20\" z=\"0\"/>");
  selectOnly({"a"});
  // At depth 0 one pixel is 0.6 units: each drag of 30 pixels moves the block by 18.
  for (int32_t from : {210, 240}) {
    mouse(CanvasMouseKind::LeftDown, from, 140);
    mouse(CanvasMouseKind::Move, from + 16, 140);  // beyond the threshold: the drag starts
    mouse(CanvasMouseKind::Move, from + 30, 140);
    mouse(CanvasMouseKind::LeftUp, from + 30, 140);
  }
  EXPECT_EQ(xmlOf("a"), "<block oname=\"a\" x=\"36\" y=\"0\" w=\"20\" h=\"20\" z=\"0\"/>");
  // The end of a drag turned its step into an attribute step.
  EXPECT_EQ(undoLastStep(editor), 1);
  EXPECT_EQ(port.status[0], "Unmodified 1 object.");
  EXPECT_EQ(xmlOf("a"), "<block oname=\"a\" x=\"18\" y=\"0\" w=\"20\" h=\"20\" z=\"0\"/>");
}

TEST_F(EditingTest, UndoWithoutAStepDoesNothing) {
  openZoneWith(std::string(kLevels) + "<block oname=\"a\"/>");
  port.status[0] = "kept";
  EXPECT_EQ(undoLastStep(editor), 0);
  EXPECT_EQ(port.status[0], "kept");
  EXPECT_FALSE(editor.game.modified);
}

TEST_F(EditingTest, ReplacingAnObjectClearsTheUndoStep) {
  openZoneWith(std::string(kLevels) + "<block oname=\"a\" x=\"0\"/><block oname=\"b\"/>");
  selectOnly({"a"});
  press(key::Right, kCtrl);
  xml::Document edited;
  ASSERT_TRUE(edited.parse("<block oname=\"c\" x=\"7\"/>", nullptr));
  ASSERT_TRUE(replaceObjectWithElement(editor, byName("a"), edited.root()));
  EXPECT_EQ(zoneXml(), (std::vector<std::string>{"<block oname=\"c\" x=\"7\"/>", "<block oname=\"b\"/>"}));
  EXPECT_TRUE(selected("c"));
  EXPECT_EQ(undoLastStep(editor), 0);
  EXPECT_EQ(zoneXml().size(), 2u);
  // Another element name changes nothing.
  ASSERT_TRUE(edited.parse("<zone/>", nullptr));
  EXPECT_FALSE(replaceObjectWithElement(editor, byName("c"), edited.root()));
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "Invalid XML node name.");
  EXPECT_EQ(zoneXml().size(), 2u);
}

// Edit Object XML through the command, with the script window played by the test.
class ObjectXmlPort : public CanvasPort {
 public:
  std::string answer;  // the text the window is accepted with; empty: cancelled
  std::vector<std::string> shown;
  int runScriptWindow(ScriptSession& session) override {
    shown.push_back(session.title() + "|" + session.prompt() + "|" + session.initialText());
    return !answer.empty() && session.accept(answer, nullptr) ? 1 : 0;
  }
};

class NoHost : public CommandHost {
 public:
  void toggleMaximised() override {}
  std::string ownExecutable() override { return ""; }
};

class EditObjectXmlTest : public ::testing::Test {
 protected:
  EditObjectXmlTest() : editor(port) {
    const std::string path = temp / "g.zorlan";
    EXPECT_TRUE(files::writeFileAtomic(path, std::string("<zorlan version=\"1\"><zone id=\"z\">") + kLevels +
                                                 "<block oname=\"a\" x=\"0\"/><area xlim=\"0,5\" ylim=\"0,5\"/>"
                                                 "</zone></zorlan>"));
    EXPECT_TRUE(loadGameFileForEditing(editor, path));
    EXPECT_TRUE(openZone(editor, editor.game.zones.at(0).node));
  }
  std::string zoneXml() {
    std::string out;
    for (const xml::Node* c = editor.zone.openZoneNode->firstElement(); c; c = c->nextElement())
      if (c->name != "levels") out += xml::Document::serializeNode(c);
    return out;
  }
  void selectKind(int32_t k) {
    for (const auto& o : editor.zone.objects)
      if (o->kind == k) selectObject(editor, o.get());
  }
  zor::testing::TempFolder temp;
  ObjectXmlPort port;
  Editor editor;
  NoHost host;
};

TEST_F(EditObjectXmlTest, TheEditedElementReplacesTheObject) {
  selectKind(kind::Block);
  port.answer = "<block oname=\"a\" x=\"5\"><die/></block>";
  dispatchCommand(editor, host, Command::EditObjectXml);
  ASSERT_EQ(port.shown.size(), 1u);
  EXPECT_EQ(port.shown[0], "Edit Block|Edit block definition:|<block oname=\"a\" x=\"0\"/>");
  EXPECT_EQ(zoneXml(), "<block oname=\"a\" x=\"5\"><die/></block><area xlim=\"0,5\" ylim=\"0,5\"/>");
  EXPECT_TRUE(editor.game.modified);
  EXPECT_EQ(editor.zone.selectionCount, 1);
  // Undo brings back no second copy of the old block.
  EXPECT_EQ(undoLastStep(editor), 0);
  EXPECT_EQ(zoneXml(), "<block oname=\"a\" x=\"5\"><die/></block><area xlim=\"0,5\" ylim=\"0,5\"/>");
}

TEST_F(EditObjectXmlTest, RefusalsChangeNothing) {
  const std::string before = zoneXml();
  // Cancelled.
  selectKind(kind::Area);
  dispatchCommand(editor, host, Command::EditObjectXml);
  EXPECT_EQ(port.shown.at(0), "Edit Area|Edit area definition:|<area xlim=\"0,5\" ylim=\"0,5\"/>");
  // Another element.
  port.answer = "<zone id=\"q\"/>";
  dispatchCommand(editor, host, Command::EditObjectXml);
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "Invalid XML node name.");
  // Two objects selected.
  selectKind(kind::Block);
  dispatchCommand(editor, host, Command::EditObjectXml);
  ASSERT_EQ(port.messages.size(), 2u);
  EXPECT_EQ(port.messages[1].text, "Select only one object to manually edit.");
  EXPECT_EQ(port.shown.size(), 2u);
  EXPECT_EQ(zoneXml(), before);
  EXPECT_FALSE(editor.game.modified);
}

}  // namespace
}  // namespace zor::editor::test
