#include "editor/core/canvas_controller.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "editor/core/canvas_drawing.h"
#include "editor/core/edit_commands.h"
#include "editor/core/editor.h"
#include "editor/core/number_text.h"
#include "editor/core/selection.h"
#include "editor/core/zone_dialogs.h"
#include "format/values.h"
#include "platform/text.h"

namespace zor::editor {

namespace {

enum Mode { Idle = 0, Panning = 1, Moving = 2, Placing = 3 };

void redraw(Editor& editor) { editor.port.redrawCanvas(); }

bool zoneOpen(const Editor& editor) { return editor.zone.openZoneNode != nullptr; }

const EditorLevel* currentLevel(const Editor& editor) {
  const ZoneState& zone = editor.zone;
  int n = zone.levelCount();
  if (n == 0) return nullptr;
  return &zone.levels[static_cast<size_t>(((zone.currentLevel % n) + n) % n)];
}

float currentLevelZ(const Editor& editor) {
  const EditorLevel* level = currentLevel(editor);
  return level ? level->z : 0.0f;
}

// The selected blocks, areas and entrances in list order. Moving a block may rebuild its
// path previews, so callers walk this copy rather than the list itself.
std::vector<EditorObject*> selectedObjects(const Editor& editor) {
  std::vector<EditorObject*> out;
  for (const auto& o : editor.zone.objects)
    if ((o->flags & objflag::Selected) && o->kind >= kind::Block && o->kind <= kind::Entrance) out.push_back(o.get());
  return out;
}

EditorObject* onlySelected(const Editor& editor, int32_t wantedKind) {
  if (editor.zone.selectionCount != 1) return nullptr;
  std::vector<EditorObject*> s = selectedObjects(editor);
  if (s.size() != 1 || s[0]->kind != wantedKind) return nullptr;
  return s[0];
}

void grab(Editor& editor, CanvasWindow& window, bool on) {
  if (editor.canvas.pointerGrabbed == on) return;
  editor.canvas.pointerGrabbed = on;
  window.grabPointer(on);
}

// Releases the pointer where no canvas event brought the window along.
void releasePointer(Editor& editor) {
  if (!editor.canvas.pointerGrabbed) return;
  editor.canvas.pointerGrabbed = false;
  if (CanvasWindow* window = editor.port.canvasWindow()) window->grabPointer(false);
}

void stopCycling(Editor& editor) {
  if (editor.canvas.cycleTimerRunning) editor.port.stopTimer(kCycleTimer);
  editor.canvas.cycleTimerRunning = false;
}

void afterSelectionClick(Editor& editor) {
  refreshPanel(editor);
  redraw(editor);
  formatMeasurementReadout(editor);
}

// The end of a press: left button up, the pointer leaving, or the capture lost.
void endPress(Editor& editor, CanvasWindow& window, const CanvasMouseEvent& event, bool panEnds) {
  CanvasState& c = editor.canvas;
  ZoneView& view = editor.zone.view;
  if (view.mode == Panning && panEnds) {
    grab(editor, window, false);
    view.mode = c.savedMode;
  } else if (view.mode == Idle && c.pendingDrag != nullptr) {
    EditorObject* pressed = c.pendingDrag;
    if (event.modifiers.ctrl) {
      deselectObject(editor, pressed);
      afterSelectionClick(editor);
    } else {
      deselectAll(editor);
      selectObject(editor, pressed);
      refreshPanel(editor);
      redraw(editor);
    }
  } else if (view.mode == Moving) {
    clampUndoKind(editor);
    grab(editor, window, false);
    view.mode = Idle;
  }
  stopCycling(editor);
  c.pendingDrag = nullptr;
}

void placeObjects(Editor& editor) {
  const Projection p = canvasProjection(editor);
  std::vector<EditorObject*> placed;
  for (const auto& o : editor.zone.objects)
    if ((o->flags & objflag::BeingPlaced) && o->kind >= kind::Block && o->kind <= kind::Entrance)
      placed.push_back(o.get());
  for (EditorObject* o : placed) {
    o->flags &= ~objflag::BeingPlaced;
    float zrel = p.relativeDepth(o->z);
    moveObject(editor, o, p.worldX(static_cast<float>(editor.canvas.mouseX), zrel),
               p.worldY(static_cast<float>(editor.canvas.mouseY), zrel));
  }
  for (const auto& o : editor.zone.objects) o->flags &= ~objflag::BeingPlaced;
  // Placed, the objects go into the file (a save while they followed the mouse left them out).
  if (!placed.empty()) markModified(editor);
  editor.zone.view.mode = Idle;
  recordUndo(editor, undo::Created);
  refreshPanel(editor);
  redraw(editor);
}

void leftDown(Editor& editor, CanvasWindow& window, const CanvasMouseEvent& e) {
  CanvasState& c = editor.canvas;
  ZoneView& view = editor.zone.view;
  if (view.mode == Panning || view.mode == Moving) return;
  if (e.modifiers.shift) {
    c.panSource = 1;
    c.pressX = e.x;
    c.pressY = e.y;
    grab(editor, window, true);
    c.savedMode = view.mode;
    view.mode = Panning;
    return;
  }
  if (view.mode == Placing) {
    placeObjects(editor);
    return;
  }
  c.cycleSkip = 0;
  EditorObject* hit = hitTest(editor, e.x, e.y, 0);
  if (hit != nullptr && (hit->flags & objflag::Selected)) {
    c.pressX = e.x;
    c.pressY = e.y;
    c.pendingDrag = hit;
  } else if (hit != nullptr) {
    if (!e.modifiers.ctrl) deselectAll(editor);
    selectObject(editor, hit);
    c.lastClickedObject = hit;
    editor.port.startTimer(kCycleTimer, kCyclePeriodMs);
    c.cycleTimerRunning = true;
    c.pressX = e.x;
    c.pressY = e.y;
  } else if (!e.modifiers.ctrl) {
    deselectAll(editor);
  }
  afterSelectionClick(editor);
}

void mouseMove(Editor& editor, const CanvasMouseEvent& e, CanvasWindow& window) {
  CanvasState& c = editor.canvas;
  ZoneView& view = editor.zone.view;
  if (view.mode == Idle && c.pendingDrag != nullptr) {
    if (std::abs(int64_t(e.x) - c.pressX) > kDragThreshold || std::abs(int64_t(e.y) - c.pressY) > kDragThreshold) {
      editor.port.setStatus(0, "");
      recordUndo(editor, undo::Moved);
      view.mode = Moving;
      c.pendingDrag = nullptr;
      stopCycling(editor);
      grab(editor, window, true);
    }
  } else if (view.mode == Moving) {
    const Projection p = canvasProjection(editor);
    float ddx = static_cast<float>(e.x - c.pressX), ddy = static_cast<float>(c.pressY - e.y);
    for (EditorObject* o : selectedObjects(editor)) {
      float zrel = p.relativeDepth(o->z);
      if (!Projection::inView(zrel)) continue;
      moveObject(editor, o, zrel * ddx / p.scale, zrel * ddy / p.scale);
    }
    c.pressX = e.x;
    c.pressY = e.y;
    redraw(editor);
  } else if (view.mode == Panning) {
    float f = std::nearbyint((currentLevelZ(editor) - view.camz) / 100.0f);  // halves to even
    if (!(f >= 1.0f)) f = 1.0f;
    view.camx += f * static_cast<float>(c.pressX - e.x);
    view.camy += f * static_cast<float>(e.y - c.pressY);
    c.pressX = e.x;
    c.pressY = e.y;
    redraw(editor);
  } else if (view.mode == Placing) {
    // One object following the mouse: its position fields show where a click would drop it.
    if (editor.zone.selectionCount == 1) refreshPanel(editor);
    redraw(editor);
  }
}

void noZoneClick(Editor& editor) {
  if (gameOpen(editor)) {
    chooseAndOpenZone(editor);
  } else {
    openGameThenChooseZone(editor, "");
  }
  updateWindowTitle(editor, true);
  redraw(editor);
}

std::string shownKindWord(int32_t k) { return k == kind::Block ? "blocks" : k == kind::Area ? "areas" : "entrances"; }

void toggleShow(Editor& editor, int32_t k) {
  ZoneState& zone = editor.zone;
  bool& flag = k == kind::Block ? zone.showBlocks : k == kind::Area ? zone.showAreas : zone.showEntrances;
  flag = !flag;
  if (flag) {
    if (k == kind::Area) syncAreasToNamedBlocks(editor);
    for (EditorObject* h : zone.hiddenObjects)
      if (h->kind == k) {
        editor.port.setStatus(0, "Note: some " + shownKindWord(k) + " are hidden. (Right-click to show all.)");
        break;
      }
  } else {
    // Objects of this kind leave the selection; those still being placed are discarded.
    for (;;) {
      EditorObject* target = nullptr;
      for (const auto& o : zone.objects)
        if (o->kind == k && (o->flags & objflag::Selected)) {
          target = o.get();
          break;
        }
      if (target == nullptr) break;
      if (target->flags & objflag::BeingPlaced) {
        removeObject(editor, target, true);
      } else {
        target->flags &= ~objflag::Selected;
        --zone.selectionCount;
      }
    }
    if (zone.selectionCount < 0) zone.selectionCount = 0;
    if (zone.view.mode == Placing) {
      bool anyPlaced = false;
      for (const auto& o : zone.objects) anyPlaced = anyPlaced || (o->flags & objflag::BeingPlaced);
      if (!anyPlaced) zone.view.mode = Idle;
    }
    editor.port.setStatus(0, "");
  }
  updateWindowTitle(editor, true);
  refreshPanel(editor);
  redraw(editor);
}

// Adds or removes the word "invisible" in a flag list, as the Ctrl+I key writes it.
std::string trimCommas(const std::string& s) {
  size_t a = s.find_first_not_of(','), b = s.find_last_not_of(',');
  return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

std::string withoutInvisible(const std::string& flg) {
  return trimCommas(text::replaceAll("," + flg + ",", ",invisible,", ","));
}

void toggleInvisible(Editor& editor) {
  std::vector<EditorObject*> blocks;
  for (EditorObject* o : selectedObjects(editor))
    if (o->kind == kind::Block && o->node) blocks.push_back(o);
  if (blocks.empty()) return;
  recordUndo(editor, undo::Attributes);
  const bool makeVisible = (blocks.front()->flags & objflag::Invisible) != 0;
  for (EditorObject* o : blocks) {
    std::string flg = withoutInvisible(o->node->attr("flg"));
    if (!makeVisible) flg = trimCommas(flg + ",invisible");
    o->node->setAttr("flg", flg);
    parseBlock(editor, o->node, false, 0);
  }
  markModified(editor);
  refreshPanel(editor);
  redraw(editor);
}

bool promptNumberPair(Editor& editor, float* dx, float* dy) {
  std::string input;
  if (!editor.port.promptForText("Move Selected", "Enter distance to move objects: dx, dy", "", 0, &input)) return false;
  if (!input.empty() && (input[0] == 'y' || input[0] == 'Y')) input = "0," + input.substr(1);
  *dx = format::readFloat(text::trim(text::field(input, ',', 0)));
  *dy = format::readFloat(text::trim(text::field(input, ',', 1)));
  return std::isfinite(*dx) && std::isfinite(*dy) && !(*dx == 0.0f && *dy == 0.0f);
}

void alignToGrid(Editor& editor) {
  std::string input;
  if (!editor.port.promptForText("Align Selected", "Enter grid size to align to:", editor.canvas.gridText, 0, &input))
    return;
  float g = std::fabs(format::readFloat(text::trim(input)));
  if (!(g > 0.0f) || !std::isfinite(g)) return;
  editor.canvas.gridText = input;
  recordUndo(editor, undo::Attributes);
  for (EditorObject* o : selectedObjects(editor)) {
    float dx = std::round(o->x / g) * g - o->x, dy = std::round(o->y / g) * g - o->y;
    if (std::isfinite(dx) && std::isfinite(dy)) moveObject(editor, o, dx, dy);
  }
  refreshPanel(editor);
  redraw(editor);
  markModified(editor);
}

void cameraHomeEnd(Editor& editor, bool home) {
  ZoneView& view = editor.zone.view;
  float d = std::max(currentLevelZ(editor) - view.camz, 200.0f);
  if (std::isnan(d)) d = 200.0f;
  float third = static_cast<float>(editor.canvas.width) / 3.0f;
  if (home)
    view.camx = view.xmin + d * third / editor.canvas.scale;
  else
    view.camx = view.xmax - d * third / editor.canvas.scale;
}

EditorObject* defaultEntranceRecord(const Editor& editor) {
  xml::Node* zoneNode = editor.zone.openZoneNode;
  for (xml::Node* n = zoneNode ? zoneNode->firstElement() : nullptr; n; n = n->nextElement()) {
    if (n->name != "entrance") continue;
    for (const auto& o : editor.zone.objects)
      if (o->node == n && o->kind == kind::Entrance) return o.get();
    return nullptr;
  }
  return nullptr;
}

void arrowKey(Editor& editor, int dx, int dy, const Modifiers& m) {
  ZoneView& view = editor.zone.view;
  const bool selection = editor.zone.selectionCount > 0;
  if (m.ctrl && selection && !m.shift) {
    recordUndo(editor, undo::Moved);
    for (EditorObject* o : selectedObjects(editor))
      moveObject(editor, o, 5.0f * static_cast<float>(dx), 5.0f * static_cast<float>(dy));
    editor.port.setStatus(0, "");
  } else if (m.ctrl && selection && m.shift) {
    recordUndo(editor, undo::Sized);
    for (EditorObject* o : selectedObjects(editor))
      resizeSelection(editor, o, 5.0f * static_cast<float>(dx), 5.0f * static_cast<float>(dy));
    editor.port.setStatus(0, "");
  } else if (m.shift) {
    view.camx += 60.0f * static_cast<float>(dx);
    view.camz += 20.0f * static_cast<float>(dy);
  } else {
    view.camx += 20.0f * static_cast<float>(dx);
    view.camy += 20.0f * static_cast<float>(dy);
  }
  redraw(editor);
}

void deleteKey(Editor& editor, CanvasWindow& window) {
  ZoneView& view = editor.zone.view;
  if (view.mode == Idle && editor.zone.selectionCount > 0) {
    recordUndo(editor, undo::Deleted);
    int n = deleteSelectedObjects(editor);
    if (n > 1) editor.port.setStatus(0, "Deleted " + std::to_string(n) + " objects.");
    if (n > 0) markModified(editor);
    refreshPanel(editor);
    redraw(editor);
  } else if (placingObjects(editor)) {
    cancelPlacing(editor, &window);
  }
}

}  // namespace

void canvasResized(Editor& editor, int32_t width, int32_t height) {
  editor.canvas.width = std::max(width, 0);
  editor.canvas.height = std::max(height, 0);
  editor.canvas.scale = kProjectionScale;
}

void canvasMouse(Editor& editor, CanvasWindow& window, const CanvasMouseEvent& e) {
  CanvasState& c = editor.canvas;
  if (e.kind == CanvasMouseKind::Enter || e.kind == CanvasMouseKind::Move) {
    c.mouseX = e.x;
    c.mouseY = e.y;
  }
  if (!zoneOpen(editor)) {
    if (e.kind == CanvasMouseKind::LeftDown) noZoneClick(editor);
    return;
  }
  ZoneView& view = editor.zone.view;
  switch (e.kind) {
    case CanvasMouseKind::LeftDown: leftDown(editor, window, e); break;
    case CanvasMouseKind::LeftUp:
    case CanvasMouseKind::Leave: endPress(editor, window, e, c.panSource == 1); break;
    case CanvasMouseKind::CaptureLost: endPress(editor, window, e, true); break;
    case CanvasMouseKind::Enter: break;
    case CanvasMouseKind::Move: mouseMove(editor, e, window); break;
    case CanvasMouseKind::RightClick:
      if (placingObjects(editor)) {
        cancelPlacing(editor, &window);
      } else if (!editor.zone.hiddenObjects.empty()) {
        restoreHidden(editor, true);
        redraw(editor);
        editor.port.setStatus(0, "");
      }
      break;
    case CanvasMouseKind::MiddleDown:
      if (view.mode != Idle) break;
      c.panSource = 3;
      c.pressX = e.x;
      c.pressY = e.y;
      grab(editor, window, true);
      c.savedMode = Idle;
      view.mode = Panning;
      break;
    case CanvasMouseKind::MiddleUp:
      if (view.mode == Panning && c.panSource == 3) {
        grab(editor, window, false);
        view.mode = c.savedMode;
      }
      break;
    case CanvasMouseKind::Wheel: {
      if (view.mode != Idle && view.mode != Panning) break;
      const int zoomSetting = editor.prefs.mouseWheelZoom;
      const bool zoom = (zoomSetting != 0) != e.modifiers.ctrl;
      const float d = static_cast<float>(e.wheelNotches);
      if (zoom)
        view.camz += kPanStep * d * static_cast<float>(zoomSetting);
      else
        view.camy += kPanStep * d;
      redraw(editor);
      break;
    }
  }
}

void canvasTimer(Editor& editor) {
  CanvasState& c = editor.canvas;
  if (!zoneOpen(editor) || editor.zone.view.mode != Idle || !c.cycleTimerRunning) return;
  c.cycleSkip += 1;
  EditorObject* hit = hitTest(editor, c.pressX, c.pressY, c.cycleSkip);
  if (hit != nullptr) {
    if (c.lastClickedObject && (c.lastClickedObject->flags & objflag::Selected))
      deselectObject(editor, c.lastClickedObject);
    selectObject(editor, hit);
    c.lastClickedObject = hit;
  } else {
    c.cycleSkip = -1;
    deselectObject(editor, c.lastClickedObject);
    stopCycling(editor);
  }
  refreshPanel(editor);
  redraw(editor);
}

void canvasFocusChanged(Editor& editor) { redraw(editor); }

void canvasCharacter(Editor& editor, CanvasWindow&, uint32_t) {
  if (gameOpen(editor)) return;
  noZoneClick(editor);
}

void canvasKey(Editor& editor, CanvasWindow& window, const CanvasKeyEvent& e) {
  const Modifiers& m = e.modifiers;
  if (!zoneOpen(editor)) {
    if (gameOpen(editor) && e.key == key::letter('Z')) noZoneClick(editor);
    return;
  }
  ZoneState& zone = editor.zone;
  ZoneView& view = zone.view;
  const bool selection = zone.selectionCount > 0;
  const bool placing = placingObjects(editor);
  switch (e.key) {
    case key::letter('A'):
      if (m.ctrl) {
        if (!placing) selectAllShown(editor);
      } else {
        toggleShowAreas(editor);
      }
      break;
    case key::letter('B'): toggleShowBlocks(editor); break;
    case key::letter('C'):
      if (m.ctrl) {
        copySelection(editor);
      } else if (EditorObject* area = onlySelected(editor, kind::Area)) {
        editScript(editor, "Action", "Edit area's Action script:", "action", area);
        refreshPanel(editor);
      }
      break;
    case key::letter('D'):
      if (m.ctrl) {
        if (duplicateSelection(editor) > 0) markModified(editor);
      } else if (EditorObject* block = onlySelected(editor, kind::Block)) {
        editScript(editor, "Die", "Edit block's Die script:", "die", block);
      } else if (!selection) {
        editScript(editor, "Zone Death Script", "Edit zone's Death script:", "death", nullptr);
      }
      break;
    case key::letter('E'): toggleShowEntrances(editor); break;
    case key::letter('F'):
      if (selection && zone.selectionKind != kind::Entrance) {
        recordUndo(editor, undo::Attributes);
        fitObjects(editor);
      }
      break;
    case key::letter('G'):
      if (selection) alignToGrid(editor);
      break;
    case key::letter('H'):
      if (placing) break;
      if (m.shift) {
        if (!zone.hiddenObjects.empty()) {
          restoreHidden(editor, false);
          redraw(editor);
        }
      } else if (selection) {
        hideSelection(editor);
        refreshPanel(editor);
        redraw(editor);
      }
      break;
    case key::letter('I'):
      if (m.ctrl) {
        if (selection) toggleInvisible(editor);
      } else {
        zone.invertBackground = !zone.invertBackground;
        redraw(editor);
      }
      break;
    case key::letter('L'):
      if (selection) {
        if (placing) break;
        deselectAll(editor);
        redraw(editor);
      } else if (zone.levelCount() > 0) {
        int n = zone.levelCount();
        int cur = ((zone.currentLevel % n) + n) % n;
        zone.currentLevel = m.shift ? (cur + n - 1) % n : (cur + 1) % n;
      }
      refreshPanel(editor);
      redraw(editor);
      break;
    case key::letter('M'):
      if (selection) {
        float dx = 0.0f, dy = 0.0f;
        if (!promptNumberPair(editor, &dx, &dy)) break;
        recordUndo(editor, undo::Attributes);
        for (EditorObject* o : selectedObjects(editor)) moveObject(editor, o, dx, dy);
        refreshPanel(editor);
        redraw(editor);
      }
      break;
    case key::letter('N'):
      if (EditorObject* area = onlySelected(editor, kind::Area)) {
        editScript(editor, "Enter", "Edit area's Enter script:", "enter", area);
        refreshPanel(editor);
      }
      break;
    case key::letter('Q'):
      if (selection) {
        recordUndo(editor, undo::Attributes);
        squareSelection(editor, 1);
      }
      break;
    case key::letter('R'):
      if (selection) {
        recordUndo(editor, undo::Attributes);
        rotateSelection(editor);
      }
      break;
    case key::letter('S'):
      if (EditorObject* block = onlySelected(editor, kind::Block)) {
        editScript(editor, "StandOn", "Edit block's StandOn script:", "standon", block);
        refreshPanel(editor);
      } else if (!selection) {
        editScript(editor, "Zone Start Script", "Edit zone's Start script:", "start", nullptr);
      }
      break;
    case key::letter('T'): toggleShowPaths(editor); break;
    case key::letter('V'):
      if (m.ctrl) pasteFromClipboard(editor);
      break;
    case key::letter('W'):
      if (selection) {
        recordUndo(editor, undo::Attributes);
        squareSelection(editor, -1);
      }
      break;
    case key::letter('X'):
      if (m.ctrl) {
        if (view.mode != Idle || !selection) break;
        if (copySelection(editor).empty()) break;  // kept when not on the clipboard
        recordUndo(editor, undo::Deleted);
        if (deleteSelectedObjects(editor) > 0) markModified(editor);
        refreshPanel(editor);
        redraw(editor);
      } else if (EditorObject* area = onlySelected(editor, kind::Area)) {
        editScript(editor, "Exit", "Edit area's Exit script:", "exit", area);
        refreshPanel(editor);
      }
      break;
    case key::letter('Z'):
      if (m.ctrl) {
        if (placing) {
          cancelPlacing(editor, &window);
        } else if (undoLastStep(editor) > 0) {
          markModified(editor);
        }
      } else if (view.mode == Idle) {
        chooseAndOpenZone(editor);
        updateWindowTitle(editor, true);
        redraw(editor);
      }
      break;
    case key::Delete: deleteKey(editor, window); break;
    case key::Insert:
      endPointerGesture(editor);
      insertObject(editor, 0);
      break;
    case key::Home:
      if (EditorObject* entrance = m.ctrl ? defaultEntranceRecord(editor) : nullptr) {
        view.camx = entrance->x + entrance->w / 2.0f;
        view.camy = entrance->y + entrance->h / 2.0f;
        view.camz = entrance->z - 150.0f;
      } else {
        cameraHomeEnd(editor, true);
      }
      redraw(editor);
      break;
    case key::End:
      cameraHomeEnd(editor, false);
      redraw(editor);
      break;
    case key::PageUp:
      view.camz += 3.0f * kPanStep;
      redraw(editor);
      break;
    case key::PageDown:
      view.camz -= 3.0f * kPanStep;
      redraw(editor);
      break;
    case key::Left: arrowKey(editor, -1, 0, m); break;
    case key::Right: arrowKey(editor, 1, 0, m); break;
    case key::Up: arrowKey(editor, 0, 1, m); break;
    case key::Down: arrowKey(editor, 0, -1, m); break;
    default: break;
  }
}

void toggleShowBlocks(Editor& editor) { toggleShow(editor, kind::Block); }
void toggleShowAreas(Editor& editor) { toggleShow(editor, kind::Area); }
void toggleShowEntrances(Editor& editor) { toggleShow(editor, kind::Entrance); }
void toggleShowPaths(Editor& editor) {
  editor.zone.showPaths = !editor.zone.showPaths;
  updateWindowTitle(editor, true);
  refreshPanel(editor);
  redraw(editor);
}

void formatMeasurementReadout(Editor& editor) {
  std::vector<EditorObject*> s = selectedObjects(editor);
  std::string out;
  auto trimmedDecimal = [](float v) { return editor::trimmedDecimal(static_cast<double>(v)); };
  if (editor.zone.selectionCount == 2 && s.size() == 2) {
    out = "Distance: ( " + trimmedDecimal(s[1]->x - s[0]->x) + ",  " + trimmedDecimal(s[1]->y - s[0]->y) + ",  " +
          trimmedDecimal(s[1]->z - s[0]->z) + " )";
  } else if (editor.zone.selectionCount == 1 && s.size() == 1) {
    const EditorObject& o = *s[0];
    if (o.kind == kind::Block)
      out = "Top right: ( " + trimmedDecimal(o.x + o.w) + ",  " + trimmedDecimal(o.y + o.h) + " )";
    else if (o.kind == kind::Area)
      out = "Size: width = " + trimmedDecimal(o.w) + ",  height = " + trimmedDecimal(o.h);
  }
  editor.port.setStatus(0, out);
}

void selectAllShown(Editor& editor) {
  ZoneState& zone = editor.zone;
  if (!zoneOpen(editor) || zone.view.mode == Placing) return;
  deselectAll(editor);
  for (const auto& o : zone.objects) {
    bool shown = (o->kind == kind::Block && zone.showBlocks) || (o->kind == kind::Area && zone.showAreas) ||
                 (o->kind == kind::Entrance && zone.showEntrances);
    if (shown) selectObject(editor, o.get());
  }
  refreshPanel(editor);
  redraw(editor);
}

void focusOnSelection(Editor& editor, int d) {
  if (!zoneOpen(editor)) return;
  ZoneView& view = editor.zone.view;
  std::vector<EditorObject*> s = selectedObjects(editor);
  if (s.empty()) {
    view.camz += 0.5f * kPanStep * static_cast<float>(d);
    redraw(editor);
    return;
  }
  float minLeft = 0, maxRight = 0, minBottom = 0, maxTop = 0, minZ = 0;
  bool first = true;
  for (EditorObject* o : s) {
    float left = (o->kind == kind::Block && (o->flags & objflag::Checkpoint)) ? o->x - o->w / 2.0f : o->x;
    float right = left + o->w, bottom = o->y, top = o->y + o->h;
    if (first) {
      minLeft = left, maxRight = right, minBottom = bottom, maxTop = top, minZ = o->z;
      first = false;
    } else {
      minLeft = std::min(minLeft, left), maxRight = std::max(maxRight, right);
      minBottom = std::min(minBottom, bottom), maxTop = std::max(maxTop, top), minZ = std::min(minZ, o->z);
    }
  }
  view.camx = (minLeft + maxRight) / 2.0f;
  view.camy = (minBottom + maxTop) / 2.0f;
  view.camz = std::min(view.camz + 10.0f * static_cast<float>(d), minZ - 15.0f);
  redraw(editor);
}

void selectNextOfKind(Editor& editor, int d) {
  ZoneState& zone = editor.zone;
  if (!zoneOpen(editor) || zone.selectionCount != 1 || zone.view.mode == Placing) return;
  std::vector<EditorObject*> s = selectedObjects(editor);
  if (s.size() != 1) return;
  EditorObject* from = s[0];
  const int n = static_cast<int>(zone.objects.size());
  int at = 0;
  while (at < n && zone.objects[static_cast<size_t>(at)].get() != from) ++at;
  EditorObject* next = nullptr;
  for (int step = 1; step < n; ++step) {
    EditorObject* o = zone.objects[static_cast<size_t>(((at + step * d) % n + n) % n)].get();
    if (o->kind == from->kind && !(o->flags & objflag::Hidden)) {
      next = o;
      break;
    }
  }
  if (next == nullptr) return;
  deselectObject(editor, from);
  selectObject(editor, next);
  ZoneView& view = zone.view;
  if (next->kind == kind::Block && (next->flags & objflag::Checkpoint)) {
    view.camx = next->x;
    view.camy = next->y;
  } else {
    view.camx = next->x + next->w / 2.0f;
    view.camy = next->y + next->h / 2.0f;
  }
  view.camz = next->z - 150.0f;
  refreshPanel(editor);
  redraw(editor);
}

void findBlockCommand(Editor& editor) {
  ZoneState& zone = editor.zone;
  if (!zoneOpen(editor) || zone.view.mode == Placing) return;
  ChooserRequest request;
  request.title = "Find Block";
  request.prompt = "Choose a named block:";
  std::vector<EditorObject*> named;
  for (const auto& o : zone.objects) {
    if (o->kind != kind::Block || o->node == nullptr || o->node->attr("oname").empty()) continue;
    named.push_back(o.get());
    request.items.push_back(o->node->attr("oname"));
  }
  if (named.empty()) {
    editor.port.messageBox("ZorlED",
                           "This zone contains no named blocks.\r\nYou can name blocks by editing their Oname property.",
                           MessageIcon::Information);
    editor.port.focusCanvas();
    return;
  }
  int chosen = editor.port.runChooser(request);
  if (chosen >= 0 && static_cast<size_t>(chosen) < named.size()) {
    deselectAll(editor);
    zone.showBlocks = true;
    EditorObject* block = named[static_cast<size_t>(chosen)];
    block->flags &= ~objflag::Hidden;
    zone.hiddenObjects.erase(std::remove(zone.hiddenObjects.begin(), zone.hiddenObjects.end(), block),
                             zone.hiddenObjects.end());
    selectObject(editor, block);
    refreshPanel(editor);
    focusOnSelection(editor, 1);
  }
  editor.port.focusCanvas();
}

void cancelPlacing(Editor& editor, CanvasWindow* window) {
  if (!zoneOpen(editor) || !placingObjects(editor)) return;
  discardPlacedObjects(editor);
  if (window) grab(editor, *window, false);
  releasePointer(editor);
  editor.zone.view.mode = Idle;
  editor.canvas.pendingDrag = nullptr;
  refreshPanel(editor);
  redraw(editor);
}

bool placingObjects(const Editor& editor) {
  const int32_t mode = editor.zone.view.mode;
  return mode == Placing || (mode == Panning && editor.canvas.savedMode == Placing);
}

void endPointerGesture(Editor& editor) {
  CanvasState& c = editor.canvas;
  ZoneView& view = editor.zone.view;
  if (view.mode == Panning) {
    view.mode = c.savedMode;
  } else if (view.mode == Moving) {
    clampUndoKind(editor);
    view.mode = Idle;
  }
  releasePointer(editor);
  stopCycling(editor);
  c.pendingDrag = nullptr;
}

void resetCanvasInteraction(Editor& editor) {
  CanvasState& c = editor.canvas;
  releasePointer(editor);
  stopCycling(editor);
  c.pendingDrag = nullptr;
  c.lastClickedObject = nullptr;
  c.cycleSkip = 0;
  c.panSource = 0;
  c.savedMode = Idle;
  editor.zone.view.mode = Idle;
}

}  // namespace zor::editor
