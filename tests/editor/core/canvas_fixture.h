// An editor over a fake desktop with a canvas of a fixed size, and helpers to open a
// small zone and look at the canvas.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>

#include "editor/core/canvas_controller.h"
#include "editor/core/canvas_drawing.h"
#include "editor/core/editor.h"
#include "platform/files.h"
#include "tests/editor/core/fake_port.h"
#include "tests/game/app/temp_folder.h"

namespace zor::editor::test {

// The fake desktop, also keeping the canvas timer, the input dialog's answers and redraws.
class CanvasPort : public FakePort {
 public:
  std::map<int, int> timers;  // running timers and their periods
  std::deque<std::string> inputs;  // answers of the input dialog; none left: Cancel
  std::vector<std::string> prompts;
  int redraws = 0;
  CanvasWindow* canvas = nullptr;  // the canvas the pointer grab belongs to
  CanvasWindow* canvasWindow() override { return canvas; }
  void startTimer(int id, int ms) override { timers[id] = ms; }
  void stopTimer(int id) override { timers.erase(id); }
  bool promptForText(const std::string& title, const std::string&, const std::string& defaultText, int,
                     std::string* result) override {
    prompts.push_back(title + "|" + defaultText);
    if (inputs.empty()) return false;
    *result = inputs.front();
    inputs.pop_front();
    return true;
  }
  void redrawCanvas() override { ++redraws; }
};

class FakeCanvasWindow : public CanvasWindow {
 public:
  bool grabbed = false;
  bool focused = true;
  void grabPointer(bool grab) override { grabbed = grab; }
  bool hasKeyboardFocus() override { return focused; }
};

class CanvasTest : public ::testing::Test {
 protected:
  static constexpr int32_t kW = 400;
  static constexpr int32_t kH = 300;

  CanvasTest() : editor(port) {
    editor.folders.program = temp.path();
    editor.folders.data = temp.path();
    editor.folders.start = temp.path();
    editor.folders.preference = temp.path() + "prefs/";
    files::createPath(editor.folders.preference);
    canvasResized(editor, kW, kH);
    port.canvas = &window;
  }

  // Opens a game with one zone (levels and objects in `content`) and puts the camera at
  // (0, 0, -100), so that depth 0 is seen at zrel 100.
  void openZoneWith(const std::string& content, const std::string& zoneAttrs = "") {
    closeGame(editor);
    const std::string path = temp / "g.zorlan";
    ASSERT_TRUE(files::writeFileAtomic(path, "<zorlan version=\"1\"><zone id=\"z\" " + zoneAttrs + ">" + content +
                                                 "</zone></zorlan>"));
    ASSERT_TRUE(loadGameFileForEditing(editor, path));
    ASSERT_TRUE(openZone(editor, editor.game.zones.at(0).node));
    editor.zone.view.camx = 0.0f;
    editor.zone.view.camy = 0.0f;
    editor.zone.view.camz = -100.0f;
  }

  // The record backed by the element with this oname (blocks) or element name.
  EditorObject* byName(const std::string& name) {
    for (const auto& o : editor.zone.objects) {
      if (o->kind > kind::Entrance) continue;
      if (o->node->attr("oname") == name || o->node->name == name) return o.get();
    }
    ADD_FAILURE() << "no object " << name;
    return nullptr;
  }

  void mouse(CanvasMouseKind k, int32_t x, int32_t y, Modifiers m = {}, int32_t notches = 0) {
    CanvasMouseEvent e;
    e.kind = k;
    e.x = x;
    e.y = y;
    e.modifiers = m;
    e.wheelNotches = notches;
    canvasMouse(editor, window, e);
  }
  void press(int32_t key, Modifiers m = {}) { canvasKey(editor, window, CanvasKeyEvent{key, m}); }
  bool selected(const std::string& name) {
    EditorObject* o = byName(name);
    return o && (o->flags & objflag::Selected);
  }

  uint32_t pixelAfterDraw(int32_t x, int32_t y, bool focused = false) {
    drawZone(editor, image, text, focused);
    return image.at(x, y);
  }

  zor::testing::TempFolder temp;
  CanvasPort port;
  Editor editor;
  FakeCanvasWindow window;
  CanvasImage image;
  FixedWidthText text;
};

inline constexpr Modifiers kShift{true, false, false};
inline constexpr Modifiers kCtrl{false, true, false};
inline constexpr Modifiers kCtrlShift{true, true, false};

}  // namespace zor::editor::test
