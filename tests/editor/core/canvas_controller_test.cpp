#include <gtest/gtest.h>

#include <string>

#include "editor/core/selection.h"
#include "tests/editor/core/canvas_fixture.h"

namespace zor::editor::test {
namespace {

constexpr const char* kLevel = "<levels><level z=\"0\" color=\"FF0000\"/><level z=\"50\" color=\"00FF00\"/></levels>";
// At zrel 100 one pixel is 0.6 world units; the block 0..20 covers pixels 200..233, 117..150.
constexpr int32_t kInX = 210, kInY = 140;

class CanvasMouseTest : public CanvasTest {
 protected:
  void SetUp() override {
    openZoneWith(std::string(kLevel) + "<block oname=\"a\" x=\"0\" y=\"0\" w=\"20\" h=\"20\" z=\"0\"/>"
                                       "<block oname=\"b\" x=\"-60\" y=\"0\" w=\"20\" h=\"20\" z=\"0\"/>");
  }
  int mode() const { return editor.zone.view.mode; }
};

TEST_F(CanvasMouseTest, ClicksSelectAddAndClear) {
  mouse(CanvasMouseKind::LeftDown, kInX, kInY);
  mouse(CanvasMouseKind::LeftUp, kInX, kInY);
  EXPECT_TRUE(selected("a"));
  EXPECT_EQ(editor.canvas.lastClickedObject, byName("a"));
  EXPECT_EQ(port.status[0], "Top right: ( 20,  20 )");
  mouse(CanvasMouseKind::LeftDown, 120, kInY, kCtrl);  // b, added
  mouse(CanvasMouseKind::LeftUp, 120, kInY, kCtrl);
  EXPECT_TRUE(selected("a") && selected("b"));
  EXPECT_EQ(editor.zone.selectionCount, 2);
  EXPECT_EQ(port.status[0], "Distance: ( -60,  0,  0 )");
  // Pressing a selected object without moving makes it the only selection...
  mouse(CanvasMouseKind::LeftDown, kInX, kInY);
  mouse(CanvasMouseKind::LeftUp, kInX, kInY);
  EXPECT_TRUE(selected("a"));
  EXPECT_FALSE(selected("b"));
  // ...and with Ctrl deselects it.
  mouse(CanvasMouseKind::LeftDown, kInX, kInY, kCtrl);
  mouse(CanvasMouseKind::LeftUp, kInX, kInY, kCtrl);
  EXPECT_EQ(editor.zone.selectionCount, 0);
  mouse(CanvasMouseKind::LeftDown, kInX, kInY);
  mouse(CanvasMouseKind::LeftDown, 5, 5);  // nothing there: deselect all
  EXPECT_EQ(editor.zone.selectionCount, 0);
}

TEST_F(CanvasMouseTest, ADragStartsBeyondFifteenPixelsAndCarriesTheWholeDistance) {
  mouse(CanvasMouseKind::LeftDown, kInX, kInY);
  mouse(CanvasMouseKind::LeftUp, kInX, kInY);
  mouse(CanvasMouseKind::LeftDown, kInX, kInY);
  mouse(CanvasMouseKind::Move, kInX + 15, kInY);
  EXPECT_EQ(mode(), 0);
  mouse(CanvasMouseKind::Move, kInX, kInY - 15);
  EXPECT_EQ(mode(), 0);
  mouse(CanvasMouseKind::Move, kInX + 16, kInY);
  EXPECT_EQ(mode(), 2);
  EXPECT_TRUE(window.grabbed);
  EXPECT_EQ(byName("a")->node->attr("x"), "0");  // the press point stays
  mouse(CanvasMouseKind::Move, kInX + 30, kInY - 15);  // 30 pixels right, 15 up: (18, 9) world units
  EXPECT_EQ(byName("a")->node->attr("x"), "18");
  EXPECT_EQ(byName("a")->node->attr("y"), "9");
  EXPECT_TRUE(editor.game.modified);
  mouse(CanvasMouseKind::LeftUp, kInX + 30, kInY - 15);
  EXPECT_EQ(mode(), 0);
  EXPECT_FALSE(window.grabbed);
  // A lost capture ends a drag as a release does.
  mouse(CanvasMouseKind::LeftDown, kInX + 30, kInY - 15);
  mouse(CanvasMouseKind::Move, kInX + 60, kInY - 15);
  ASSERT_EQ(mode(), 2);
  mouse(CanvasMouseKind::CaptureLost, kInX + 60, kInY - 15);
  EXPECT_EQ(mode(), 0);
  EXPECT_EQ(editor.canvas.pendingDrag, nullptr);
}

TEST_F(CanvasMouseTest, PanningMovesTheCameraByTheLevelDistanceOverAHundred) {
  struct Case {
    float camz;
    float perPixel;
  };
  for (Case c : {Case{-260.0f, 3.0f}, Case{-40.0f, 1.0f}, Case{-250.0f, 2.0f}, Case{1e30f, 1.0f}}) {
    SCOPED_TRACE(c.camz);
    editor.zone.view.camz = c.camz;
    editor.zone.view.camx = 0.0f;
    editor.zone.view.camy = 0.0f;
    mouse(CanvasMouseKind::LeftDown, 100, 100, kShift);
    EXPECT_EQ(mode(), 1);
    EXPECT_TRUE(window.grabbed);
    mouse(CanvasMouseKind::Move, 110, 96);
    EXPECT_EQ(editor.zone.view.camx, -10.0f * c.perPixel);
    EXPECT_EQ(editor.zone.view.camy, -4.0f * c.perPixel);
    mouse(CanvasMouseKind::LeftUp, 110, 96);
    EXPECT_EQ(mode(), 0);
    EXPECT_FALSE(window.grabbed);
  }
  // The middle button pans too and ends only with its own release (or a lost capture).
  editor.zone.view.camz = -100.0f;
  mouse(CanvasMouseKind::MiddleDown, 100, 100);
  mouse(CanvasMouseKind::LeftUp, 100, 100);
  EXPECT_EQ(mode(), 1);
  mouse(CanvasMouseKind::MiddleUp, 100, 100);
  EXPECT_EQ(mode(), 0);
  mouse(CanvasMouseKind::MiddleDown, 100, 100);
  mouse(CanvasMouseKind::CaptureLost, 100, 100);
  EXPECT_EQ(mode(), 0);
  EXPECT_FALSE(window.grabbed);
}

TEST_F(CanvasMouseTest, LeavingTheCanvasEndsAPressAndAPanReturnsToPlacing) {
  mouse(CanvasMouseKind::LeftDown, kInX, kInY);
  mouse(CanvasMouseKind::LeftUp, kInX, kInY);
  selectObject(editor, byName("b"));
  mouse(CanvasMouseKind::LeftDown, kInX, kInY);  // on the selected a: a pending drag
  mouse(CanvasMouseKind::Leave, kInX, kInY);
  EXPECT_TRUE(selected("a"));
  EXPECT_FALSE(selected("b"));
  EXPECT_EQ(editor.canvas.pendingDrag, nullptr);
  // A pan started while placing goes back to placing; the floating object stays.
  byName("b")->flags |= objflag::BeingPlaced;
  editor.zone.view.mode = 3;
  mouse(CanvasMouseKind::LeftDown, 100, 100, kShift);
  EXPECT_EQ(mode(), 1);
  mouse(CanvasMouseKind::Leave, 100, 100);
  EXPECT_EQ(mode(), 3);
  EXPECT_TRUE(byName("b")->flags & objflag::BeingPlaced);
  mouse(CanvasMouseKind::Wheel, 100, 100, {}, 1);  // no wheel while placing
  EXPECT_EQ(editor.zone.view.camz, -100.0f);
}

TEST_F(CanvasMouseTest, WheelZoomsOrScrollsByTheSettingAndCtrl) {
  struct Case {
    int setting;
    Modifiers mods;
    float dz, dy;
  };
  for (Case c : {Case{1, {}, 40.0f, 0.0f}, Case{1, kCtrl, 0.0f, 40.0f}, Case{0, {}, 0.0f, 40.0f},
                 Case{0, kCtrl, 0.0f, 0.0f}, Case{3, {}, 120.0f, 0.0f}}) {
    editor.prefs.mouseWheelZoom = c.setting;
    editor.zone.view.camy = 0.0f;
    editor.zone.view.camz = -100.0f;
    mouse(CanvasMouseKind::Wheel, 10, 10, c.mods, 2);
    EXPECT_EQ(editor.zone.view.camz, -100.0f + c.dz) << c.setting;
    EXPECT_EQ(editor.zone.view.camy, c.dy) << c.setting;
  }
}

TEST_F(CanvasMouseTest, PlacingMovesTheFloatingObjectsToThePointerAndRightClickDiscardsOnlyThem) {
  EditorObject* a = byName("a");
  a->flags |= objflag::BeingPlaced;
  selectObject(editor, a);
  editor.zone.view.mode = 3;
  mouse(CanvasMouseKind::Move, 250, 100);  // world (30, 30) at zrel 100
  EXPECT_EQ(hitTest(editor, 5, 5, 0), nullptr);
  mouse(CanvasMouseKind::LeftDown, 250, 100);
  EXPECT_EQ(mode(), 0);
  EXPECT_EQ(a->node->attr("x"), "30");
  EXPECT_EQ(a->node->attr("y"), "30");
  EXPECT_FALSE(a->flags & objflag::BeingPlaced);

  // Everything selected, one object floating: a right click removes that one only.
  xml::Node* zoneNode = editor.zone.openZoneNode;
  press(key::letter('A'), kCtrl);
  EXPECT_EQ(editor.zone.selectionCount, 2);
  byName("b")->flags |= objflag::BeingPlaced;
  editor.zone.view.mode = 3;
  press(key::letter('A'), kCtrl);  // selection keys do nothing while placing
  mouse(CanvasMouseKind::RightClick, 5, 5);
  EXPECT_EQ(mode(), 0);
  EXPECT_EQ(editor.zone.objects.size(), 1u);
  EXPECT_NE(xml::Document::serializeNode(zoneNode).find("oname=\"a\""), std::string::npos);
  EXPECT_EQ(xml::Document::serializeNode(zoneNode).find("oname=\"b\""), std::string::npos);
  EXPECT_EQ(editor.zone.selectionCount, 1);
}

class CanvasCyclingTest : public CanvasTest {};

TEST_F(CanvasCyclingTest, HoldingThePressSelectsEachStackedObjectInTurnThenNothing) {
  openZoneWith(std::string(kLevel) + "<block oname=\"front\" x=\"0\" y=\"0\" w=\"20\" h=\"20\" z=\"0\"/>"
                                       "<block oname=\"middle\" x=\"0\" y=\"0\" w=\"20\" h=\"20\" z=\"5\"/>"
                                       "<block oname=\"back\" x=\"0\" y=\"0\" w=\"20\" h=\"20\" z=\"10\"/>");
  mouse(CanvasMouseKind::LeftDown, kInX, kInY);
  EXPECT_TRUE(selected("front"));
  EXPECT_EQ(port.timers.count(kCycleTimer), 1u);
  EXPECT_EQ(port.timers[kCycleTimer], 1000);
  canvasTimer(editor);
  EXPECT_TRUE(selected("middle"));
  EXPECT_FALSE(selected("front"));
  canvasTimer(editor);
  EXPECT_TRUE(selected("back"));
  EXPECT_EQ(editor.zone.selectionCount, 1);
  canvasTimer(editor);
  EXPECT_EQ(editor.zone.selectionCount, 0);
  EXPECT_EQ(port.timers.count(kCycleTimer), 0u);
  EXPECT_EQ(editor.canvas.cycleSkip, -1);
  // Releasing stops the cycling at once.
  mouse(CanvasMouseKind::LeftDown, kInX, kInY);
  mouse(CanvasMouseKind::LeftUp, kInX, kInY);
  EXPECT_EQ(port.timers.count(kCycleTimer), 0u);
  canvasTimer(editor);
  EXPECT_TRUE(selected("front"));
}

class CanvasKeyTest : public CanvasTest {
 protected:
  void SetUp() override {
    openZoneWith(std::string(kLevel) +
                     "<block oname=\"a\" color=\"808080\" x=\"0\" y=\"0\" w=\"20\" h=\"20\" z=\"0\"/>"
                     "<block oname=\"b\" color=\"808080\" x=\"-60\" y=\"0\" w=\"20\" h=\"20\" z=\"0\" flg=\"solid\"/>"
                                       "<area xlim=\"100,110\" ylim=\"0,5\" z=\"0\"/>"
                                       "<entrance x=\"0\" y=\"0\" z=\"0\"/><entrance_e x=\"10\" y=\"0\" z=\"0\"/>",
                 "xlim=\"-500,500\" ylim=\"-100,1000\"");
  }
  const ZoneView& view() const { return editor.zone.view; }
  void selectOnly(const std::string& name) {
    deselectAll(editor);
    selectObject(editor, byName(name));
    recomputeSelectionKind(editor.zone);
  }
};

TEST_F(CanvasKeyTest, CameraKeys) {
  struct Case {
    int32_t key;
    Modifiers mods;
    float camx, camy, camz;
  };
  const Case cases[] = {
      {key::Right, {}, 20, 0, -100},    {key::Up, {}, 0, 20, -100},
      {key::Left, kShift, -60, 0, -100}, {key::Up, kShift, 0, 0, -80},
      {key::Down, kCtrl, 0, -20, -100},  // Ctrl without a selection: as without modifiers
      {key::Down, kCtrlShift, 0, 0, -120},
      {key::PageUp, {}, 0, 0, -40},      {key::PageDown, {}, 0, 0, -160},
      // Home and End: d = max(level z - camz, 200) = 200; camx = limit -+ 200 * (400 / 3) / F.
      {key::Home, {}, -340, 0, -100},    {key::End, {}, 340, 0, -100},
      // Ctrl+Home: the default entrance's centre, 150 in front of it.
      {key::Home, kCtrl, 10, 10, -150},
  };
  for (const Case& c : cases) {
    editor.zone.view.camx = 0.0f;
    editor.zone.view.camy = 0.0f;
    editor.zone.view.camz = -100.0f;
    int before = port.redraws;
    press(c.key, c.mods);
    EXPECT_FLOAT_EQ(view().camx, c.camx) << c.key;
    EXPECT_FLOAT_EQ(view().camy, c.camy) << c.key;
    EXPECT_FLOAT_EQ(view().camz, c.camz) << c.key;
    EXPECT_GT(port.redraws, before);
  }
}

TEST_F(CanvasKeyTest, CtrlArrowsMoveTheSelectionByFiveAndMarkTheGameModified) {
  selectOnly("a");
  press(key::Right, kCtrl);
  press(key::Up, kCtrl);
  press(key::Up, kCtrl);
  EXPECT_EQ(byName("a")->node->attr("x"), "5");
  EXPECT_EQ(byName("a")->node->attr("y"), "10");
  EXPECT_EQ(view().camx, 0.0f);
  EXPECT_TRUE(editor.game.modified);
  EXPECT_EQ(port.status[1], "Unsaved changes.");
  press(key::Right, kCtrlShift);  // resizing belongs to the editing commands
  EXPECT_EQ(view().camz, -100.0f);
}

TEST_F(CanvasKeyTest, ShowTogglesLevelsInversionAndInvisibility) {
  press(key::letter('B'));
  EXPECT_FALSE(editor.zone.showBlocks);
  press(key::letter('A'));
  EXPECT_FALSE(editor.zone.showAreas);
  press(key::letter('E'));
  EXPECT_FALSE(editor.zone.showEntrances);
  press(key::letter('T'));
  EXPECT_FALSE(editor.zone.showPaths);
  press(key::letter('B'));
  EXPECT_TRUE(editor.zone.showBlocks);
  press(key::letter('I'));
  EXPECT_TRUE(editor.zone.invertBackground);
  press(key::letter('L'));
  EXPECT_EQ(editor.zone.currentLevel, 1);
  press(key::letter('L'));
  EXPECT_EQ(editor.zone.currentLevel, 0);
  press(key::letter('L'), kShift);
  EXPECT_EQ(editor.zone.currentLevel, 1);
  // With a selection, L deselects instead.
  selectOnly("a");
  press(key::letter('L'));
  EXPECT_EQ(editor.zone.selectionCount, 0);
  EXPECT_EQ(editor.zone.currentLevel, 1);
  // Ctrl+I: the first selected block decides for all.
  selectObject(editor, byName("a"));
  selectObject(editor, byName("b"));
  press(key::letter('I'), kCtrl);
  EXPECT_EQ(byName("a")->node->attr("flg"), "invisible");
  EXPECT_EQ(byName("b")->node->attr("flg"), "solid,invisible");
  EXPECT_TRUE(byName("b")->flags & objflag::Invisible);
  press(key::letter('I'), kCtrl);
  EXPECT_EQ(byName("a")->node->attr("flg"), "");
  EXPECT_EQ(byName("b")->node->attr("flg"), "solid");
  EXPECT_TRUE(editor.game.modified);
}

TEST_F(CanvasKeyTest, TurningAKindOffDropsItFromTheSelectionAndDiscardsItWhileFloating) {
  press(key::letter('A'), kCtrl);
  EXPECT_EQ(editor.zone.selectionCount, 5);
  EditorObject* area = byName("area");
  area->flags |= objflag::BeingPlaced;
  editor.zone.view.mode = 3;
  press(key::letter('A'));  // areas off: the floating area is removed with its element
  EXPECT_EQ(editor.zone.selectionCount, 4);
  EXPECT_EQ(editor.zone.objects.size(), 4u);
  EXPECT_EQ(xml::Document::serializeNode(editor.zone.openZoneNode).find("<area"), std::string::npos);
  EXPECT_EQ(editor.zone.view.mode, 0);
  press(key::letter('E'));
  EXPECT_EQ(editor.zone.selectionCount, 2);
  EXPECT_TRUE(selected("a"));
  // Select all takes only the shown kinds.
  press(key::letter('A'), kCtrl);
  EXPECT_EQ(editor.zone.selectionCount, 2);
}

TEST_F(CanvasKeyTest, HidingAndShowingAgain) {
  selectOnly("a");
  press(key::letter('H'));
  EXPECT_TRUE(byName("a")->flags & objflag::Hidden);
  EXPECT_EQ(editor.zone.selectionCount, 0);
  selectOnly("b");
  press(key::letter('H'));
  press(key::letter('B'));
  press(key::letter('B'));
  EXPECT_EQ(port.status[0], "Note: some blocks are hidden. (Right-click to show all.)");
  press(key::letter('H'), kShift);
  EXPECT_FALSE(byName("b")->flags & objflag::Hidden);
  EXPECT_TRUE(byName("a")->flags & objflag::Hidden);
  mouse(CanvasMouseKind::RightClick, 5, 5);
  EXPECT_FALSE(byName("a")->flags & objflag::Hidden);
  EXPECT_TRUE(editor.zone.hiddenObjects.empty());
}

TEST_F(CanvasKeyTest, AlignAndMoveAskForTheirValues) {
  selectOnly("a");
  byName("a")->node->setAttr("x", "7");
  byName("a")->node->setAttr("y", "-12");
  parseBlock(editor, byName("a")->node, false, 0);
  port.inputs = {"10"};
  press(key::letter('G'));
  EXPECT_EQ(port.prompts.back(), "Align Selected|5");
  EXPECT_EQ(byName("a")->node->attr("x"), "10");
  EXPECT_EQ(byName("a")->node->attr("y"), "-10");
  EXPECT_EQ(editor.canvas.gridText, "10");
  for (const char* bad : {"0", "abc", "inf", "nan"}) {
    port.inputs = {bad};
    press(key::letter('G'));
    EXPECT_EQ(byName("a")->node->attr("x"), "10") << bad;
  }
  EXPECT_EQ(editor.canvas.gridText, "10");
  port.inputs = {"y3"};
  press(key::letter('M'));
  EXPECT_EQ(byName("a")->node->attr("x"), "10");
  EXPECT_EQ(byName("a")->node->attr("y"), "-7");
  port.inputs = {" 2.5 , -1"};
  press(key::letter('M'));
  EXPECT_EQ(byName("a")->node->attr("x"), "12.5");
  EXPECT_EQ(byName("a")->node->attr("y"), "-8");
  port.inputs = {"0,0"};
  press(key::letter('M'));
  EXPECT_EQ(byName("a")->node->attr("x"), "12.5");
}

TEST_F(CanvasKeyTest, DeleteRemovesTheSelectionAndEveryReferenceToIt) {
  press(key::letter('A'), kCtrl);
  deselectObject(editor, byName("area"));
  deselectObject(editor, byName("entrance"));
  deselectObject(editor, byName("entrance_e"));
  editor.canvas.lastClickedObject = byName("a");
  editor.canvas.pendingDrag = byName("b");
  press(key::Delete);
  EXPECT_EQ(port.status[0], "Deleted 2 objects.");
  EXPECT_TRUE(editor.game.modified);
  EXPECT_EQ(editor.zone.objects.size(), 3u);
  EXPECT_EQ(editor.canvas.lastClickedObject, nullptr);
  EXPECT_EQ(editor.canvas.pendingDrag, nullptr);
  EXPECT_EQ(xml::Document::serializeNode(editor.zone.openZoneNode).find("<block"), std::string::npos);
  // A hidden object removed leaves the hidden list too.
  selectOnly("area");
  press(key::letter('H'));
  ASSERT_EQ(editor.zone.hiddenObjects.size(), 1u);
  removeObject(editor, byName("area"), true);
  EXPECT_TRUE(editor.zone.hiddenObjects.empty());
  // Ctrl+X takes the selection away and marks the game modified.
  editor.game.modified = false;
  selectOnly("entrance_e");
  press(key::letter('X'), kCtrl);
  EXPECT_EQ(editor.zone.objects.size(), 1u);
  EXPECT_TRUE(editor.game.modified);
}

TEST_F(CanvasKeyTest, NavigationCommands) {
  selectOnly("entrance");
  selectNextOfKind(editor, 1);
  EXPECT_TRUE(selected("entrance_e"));
  EXPECT_FLOAT_EQ(view().camx, 20.0f);
  EXPECT_FLOAT_EQ(view().camz, -150.0f);
  selectNextOfKind(editor, 1);  // wraps around
  EXPECT_TRUE(selected("entrance"));
  selectObject(editor, byName("entrance_e"));
  formatMeasurementReadout(editor);
  EXPECT_EQ(port.status[0], "Distance: ( 10,  0,  0 )");
  editor.zone.view.camz = -100.0f;
  focusOnSelection(editor, 1);
  EXPECT_FLOAT_EQ(view().camx, 15.0f);
  EXPECT_FLOAT_EQ(view().camy, 10.0f);
  EXPECT_FLOAT_EQ(view().camz, -90.0f);
  deselectAll(editor);
  focusOnSelection(editor, -1);
  EXPECT_FLOAT_EQ(view().camz, -100.0f);
  // Find Block lists the named blocks and frames the chosen one.
  port.chooserAnswers = {1};
  findBlockCommand(editor);
  ASSERT_EQ(port.choosers.size(), 1u);
  EXPECT_EQ(port.choosers[0].items.size(), 2u);
  EXPECT_EQ(editor.zone.selectionCount, 1);
}

// Copy, a paste of an empty clipboard, an undo without a step, a cancelled fit, and the
// keys of the script editor and the zone chooser.
TEST_F(CanvasKeyTest, KeysThatDoNotEditChangeNothing) {
  struct Case {
    int32_t key;
    Modifiers mods;
  };
  const Case cases[] = {
      {key::letter('C'), kCtrl}, {key::letter('C'), {}}, {key::letter('D'), {}},     {key::letter('F'), {}},
      {key::letter('N'), {}},    {key::letter('S'), {}}, {key::letter('V'), kCtrl}, {key::letter('X'), {}},
      {key::letter('Z'), kCtrl}, {key::letter('Z'), {}},
  };
  const std::string before = xml::Document::serializeNode(editor.zone.openZoneNode);
  for (bool withSelection : {false, true}) {
    if (withSelection) selectOnly("area");
    for (const Case& c : cases) {
      port.clipboard.clear();  // each key on its own: nothing copied or recorded before it
      clearUndoList(editor.zone);
      press(c.key, c.mods);
      EXPECT_EQ(xml::Document::serializeNode(editor.zone.openZoneNode), before) << c.key;
      EXPECT_FALSE(editor.game.modified) << c.key;
      EXPECT_EQ(editor.zone.view.mode, 0) << c.key;
    }
  }
  // While objects are being placed the selection keys do nothing.
  editor.zone.view.mode = 3;
  const int selected = editor.zone.selectionCount;
  press(key::letter('L'));
  press(key::letter('H'));
  press(key::letter('A'), kCtrl);
  EXPECT_EQ(editor.zone.selectionCount, selected);
  EXPECT_TRUE(editor.zone.hiddenObjects.empty());
}

TEST_F(CanvasKeyTest, WithoutAZoneOnlyZAndClicksDoAnything) {
  closeZone(editor);
  press(key::Right);
  press(key::letter('B'));
  mouse(CanvasMouseKind::Wheel, 1, 1, {}, 1);
  EXPECT_TRUE(editor.zone.showBlocks);
  EXPECT_EQ(editor.zone.openZoneNode, nullptr);
}

}  // namespace
}  // namespace zor::editor::test
