// Presses, drags, pans and placing cut short by keys, commands and the zone closing.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "editor/core/commands.h"
#include "editor/core/edit_commands.h"
#include "editor/core/game_document.h"
#include "editor/core/selection.h"
#include "editor/core/session.h"
#include "tests/editor/core/canvas_fixture.h"

namespace zor::editor::test {
namespace {

constexpr const char* kZone =
    "<levels><level z=\"0\" color=\"FF0000\"/></levels>"
    "<block oname=\"a\" x=\"0\" y=\"0\" w=\"20\" h=\"20\" z=\"0\"/>"
    "<block oname=\"b\" x=\"0\" y=\"0\" w=\"20\" h=\"20\" z=\"5\"/>";
// At zrel 100 one pixel is 0.6 world units: block a (0..20) covers pixels 200..233, 117..150.
constexpr int32_t kInX = 210, kInY = 140;

class NoHost : public CommandHost {
 public:
  void toggleMaximised() override {}
  std::string ownExecutable() override { return ""; }
};

class CanvasInterruptionTest : public CanvasTest {
 protected:
  void SetUp() override { openZoneWith(kZone); }
  int mode() const { return editor.zone.view.mode; }
  void command(Command c) { dispatchCommand(editor, host, c); }
  void reopen() { ASSERT_TRUE(openZone(editor, editor.game.zones.at(0).node)); }
  int blocksInDocument() const {
    const std::string text = xml::Document::serializeNode(editor.game.root);
    int n = 0;
    for (std::size_t at = text.find("<block"); at != std::string::npos; at = text.find("<block", at + 1)) ++n;
    return n;
  }
  bool anyBeingPlaced() const {
    for (const auto& o : editor.zone.objects)
      if (o->flags & objflag::BeingPlaced) return true;
    return false;
  }
  // The ways a press, drag or pan is under way when something else ends it.
  void startGesture(int which) {
    switch (which) {
      case 0:  // a held press on an unselected block: the cycling runs
        mouse(CanvasMouseKind::LeftDown, kInX, kInY);
        break;
      case 1:  // a held press on a selected block: a pending drag
        selectObject(editor, byName("a"));
        mouse(CanvasMouseKind::LeftDown, kInX, kInY);
        break;
      case 2:  // a drag
        selectObject(editor, byName("a"));
        mouse(CanvasMouseKind::LeftDown, kInX, kInY);
        mouse(CanvasMouseKind::Move, kInX + 40, kInY);
        break;
      case 3:  // a Shift pan
        mouse(CanvasMouseKind::LeftDown, 100, 100, kShift);
        break;
      default:  // a middle-button pan
        mouse(CanvasMouseKind::MiddleDown, 100, 100);
        break;
    }
  }
  NoHost host;
};

constexpr const char* kGestures[] = {"held press", "pending drag", "drag", "shift pan", "middle pan"};

TEST_F(CanvasInterruptionTest, ClosingOrReopeningTheZoneForgetsEveryRecordThePressHeld) {
  struct Way {
    const char* name;
    std::function<void()> run;
  };
  const Way ways[] = {
      {"Ctrl+W", [this] { command(Command::Close); reopen(); }},
      {"Close Zone", [this] { command(Command::CloseZone); reopen(); }},
      {"open again", [this] { reopen(); }},
  };
  for (const Way& way : ways) {
    for (int g = 0; g < 5; ++g) {
      SCOPED_TRACE(std::string(way.name) + " during a " + kGestures[g]);
      openZoneWith(kZone);
      startGesture(g);
      way.run();
      EXPECT_EQ(mode(), 0);
      EXPECT_FALSE(window.grabbed);
      EXPECT_FALSE(editor.canvas.pointerGrabbed);
      EXPECT_EQ(port.timers.count(kCycleTimer), 0u);
      EXPECT_EQ(editor.canvas.lastClickedObject, nullptr);
      EXPECT_EQ(editor.canvas.pendingDrag, nullptr);
      // The timer and the release that may still come touch only live records.
      canvasTimer(editor);
      mouse(CanvasMouseKind::LeftUp, kInX, kInY);
      mouse(CanvasMouseKind::MiddleUp, kInX, kInY);
      EXPECT_EQ(editor.zone.selectionCount, 0);
    }
  }
}

TEST_F(CanvasInterruptionTest, KeysThatEndADragOrPanReleaseThePointer) {
  struct Key {
    const char* name;
    std::function<void()> run;
  };
  const Key keys[] = {
      {"Esc", [this] { command(Command::Cancel); }},
      {"Insert", [this] { press(key::Insert); }},
      {"Ctrl+B", [this] { command(Command::InsertBlock); }},
      {"Ctrl+W", [this] { command(Command::Close); }},
  };
  for (const Key& k : keys) {
    for (int g = 2; g < 5; ++g) {
      SCOPED_TRACE(std::string(k.name) + " during a " + kGestures[g]);
      openZoneWith(kZone);
      startGesture(g);
      ASSERT_TRUE(window.grabbed);
      k.run();
      EXPECT_FALSE(window.grabbed);
      EXPECT_FALSE(editor.canvas.pointerGrabbed);
      EXPECT_NE(mode(), 1);
      EXPECT_NE(mode(), 2);
      // A drag cut short is still one undo step of its own.
      if (g == 2 && editor.zone.openZoneNode) {
        EXPECT_NE(editor.zone.undoKind, undo::Moved);
      }
    }
  }
}

TEST_F(CanvasInterruptionTest, EveryWayOutOfPlacingPlacesOrDiscards) {
  struct Way {
    const char* name;
    bool shiftPanFirst;
    std::function<void()> run;
  };
  const Way ways[] = {
      {"Ctrl+W", false, [this] { command(Command::Close); }},
      {"Close Zone", false, [this] { command(Command::CloseZone); }},
      {"open again", false, [this] { reopen(); }},
      {"Ctrl+W while panning", true, [this] { command(Command::Close); }},
      {"Esc while panning", true, [this] { command(Command::Cancel); }},
      {"Delete while panning", true, [this] { press(key::Delete); }},
      {"Ctrl+Z while panning", true, [this] { press(key::letter('Z'), kCtrl); }},
      {"right click while panning", true,
       [this] { mouse(CanvasMouseKind::RightClick, 100, 100); }},
      {"Insert while panning", true, [this] { press(key::Insert); }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    openZoneWith(kZone);
    const int before = blocksInDocument();
    mouse(CanvasMouseKind::Move, 300, 50);
    press(key::Insert);
    ASSERT_EQ(mode(), 3);
    ASSERT_EQ(blocksInDocument(), before + 1);
    if (way.shiftPanFirst) {
      mouse(CanvasMouseKind::LeftDown, 300, 50, kShift);
      mouse(CanvasMouseKind::Move, 320, 60);
      ASSERT_EQ(mode(), 1);
    }
    way.run();
    EXPECT_FALSE(window.grabbed);
    // Insert while placing discards the floating block and floats a new one.
    const bool stillPlacing = std::string(way.name) == "Insert while panning";
    EXPECT_EQ(blocksInDocument(), stillPlacing ? before + 1 : before);
    EXPECT_EQ(mode(), stillPlacing ? 3 : 0);
    EXPECT_EQ(anyBeingPlaced(), stillPlacing);
    mouse(CanvasMouseKind::LeftUp, 320, 60);
  }
  // A click still places what follows the mouse, at the pointer.
  openZoneWith(kZone);
  const int before = blocksInDocument();
  press(key::Insert);
  mouse(CanvasMouseKind::Move, 250, 100);  // world (30, 30)
  mouse(CanvasMouseKind::LeftDown, 250, 100);
  EXPECT_EQ(mode(), 0);
  EXPECT_EQ(blocksInDocument(), before + 1);
  command(Command::Close);
  EXPECT_EQ(blocksInDocument(), before + 1);
}

// What still follows the mouse was never placed: no file the editor writes holds it, and
// it keeps following the mouse until a click places it (which the next save writes).
TEST_F(CanvasInterruptionTest, SavesAndBackupsLeaveOutWhatFollowsTheMouse) {
  struct Writer {
    const char* name;
    std::function<std::string()> write;  // the path written
  };
  const Writer writers[] = {
      {"Save",
       [this] {
         command(Command::Save);
         return editor.game.path;
       }},
      {"Save As",
       [this] {
         const std::string path = temp / "other.zorlan";
         port.fileChoices.push_back({true, path, 0});
         if (files::fileSize(path) >= 0) port.answers.push_back(Answer::Yes);  // replace it
         command(Command::SaveAs);
         return path;
       }},
      {"backup",
       [this] {
         port.clock += kBackupIntervalSeconds + 1;
         afterEvent(editor);
         return backupPathFor(editor);
       }},
  };
  const auto count = [](const std::string& text, const std::string& tag) {
    int n = 0;
    for (std::size_t at = text.find(tag); at != std::string::npos; at = text.find(tag, at + 1)) ++n;
    return n;
  };
  const auto inFile = [&count](const std::string& path, const std::string& tag) {
    std::string text;
    EXPECT_TRUE(files::readFile(path, text, 1 << 20));
    return count(text, tag);
  };
  struct Way {
    const char* name;
    const char* tag;     // what it adds
    const char* copied;  // "" inserts a block
  };
  // An area that follows a named block does not move with the mouse.
  const Way ways[] = {{"insert", "<block", ""}, {"paste", "<block", "block"}, {"paste a named area", "<area", "area"}};
  for (const Way& way : ways) {
    for (const Writer& w : writers) {
      SCOPED_TRACE(std::string(way.name) + ", " + w.name);
      openZoneWith(std::string(kZone) + "<area oname=\"a\" xlim=\"0,10\" ylim=\"0,10\"/>");
      const std::string loaded = xml::Document::serializeNode(editor.game.root);
      const int before = count(loaded, way.tag);
      if (*way.copied) {
        selectObject(editor, byName(way.copied));
        command(Command::Copy);
        deselectAll(editor);
        command(Command::Paste);
      } else {
        press(key::Insert);
      }
      mouse(CanvasMouseKind::Move, 250, 100);
      ASSERT_EQ(mode(), 3);
      ASSERT_EQ(count(xml::Document::serializeNode(editor.game.root), way.tag), before + 1);
      const std::string path = w.write();
      EXPECT_EQ(inFile(path, way.tag), before);
      // The object still follows the mouse, where it stood in the document.
      EXPECT_EQ(mode(), 3);
      EXPECT_TRUE(anyBeingPlaced());
      EXPECT_EQ(count(xml::Document::serializeNode(editor.game.root), way.tag), before + 1);
      // Esc leaves the document as the file has it; a click places the object and the game has changed.
      if (w.name == std::string("Save")) {
        command(Command::Cancel);
        EXPECT_EQ(xml::Document::serializeNode(editor.game.root), loaded);
        continue;
      }
      mouse(CanvasMouseKind::LeftDown, 250, 100);
      mouse(CanvasMouseKind::LeftUp, 250, 100);
      EXPECT_EQ(mode(), 0);
      EXPECT_TRUE(editor.game.modified);
      EXPECT_EQ(inFile(w.write(), way.tag), before + 1);
    }
  }
}

}  // namespace
}  // namespace zor::editor::test
