#include "editor/core/command_needs.h"

#include <algorithm>
#include <string>
#include <vector>

#include "editor/core/canvas_controller.h"
#include "editor/core/dialogs.h"
#include "editor/core/edit_commands.h"
#include "editor/core/editing.h"
#include "editor/core/editor.h"
#include "editor/core/motion_cleanup.h"
#include "editor/core/number_text.h"
#include "editor/core/property_panels.h"
#include "editor/core/selection.h"
#include "format/values.h"
#include "platform/text.h"

namespace zor::editor {

uint32_t commandNeeds(Command c) {
  using C = Command;
  switch (c) {
    case C::Save: case C::SaveAs: case C::CloseGame: case C::GameProperties: case C::EditClass:
    case C::DeleteClass: case C::EditSpeedrun: case C::ReorderSpeedruns: case C::DeleteSpeedrun:
    case C::ChangeZone: case C::DeleteZone: case C::ReformatXml: case C::Test: case C::GFlagEditor:
    case C::SoundEditor:
      return need::Game;
    case C::ReopenLastScript: case C::RangeSelect: case C::ZoneStartScript: case C::ZoneDeathScript:
    case C::CloseZone: case C::ZoneProperties: case C::InsertLevel: case C::ZFlagEditor: case C::SelectAll:
      return need::Zone;
    case C::CleanMotionAttributes: return need::Zone | need::OneSelected;
    case C::Delete: return need::Zone | need::IdleView | need::Selection;
    case C::EditObjectXml: return need::Zone | need::Selection;  // it warns about more than one itself
    default: return 0;
  }
}

bool commandAllowed(const Editor& editor, Command c) {
  const uint32_t needs = commandNeeds(c);
  const bool zone = editor.zone.openZoneNode != nullptr;
  if ((needs & need::Game) && !gameOpen(editor)) return false;
  if ((needs & need::Zone) && !zone) return false;
  if ((needs & need::IdleView) && zone && editor.zone.view.mode != 0) return false;
  if ((needs & need::Selection) && (!zone || editor.zone.selectionCount < 1)) return false;
  if ((needs & need::OneSelected) && (!zone || editor.zone.selectionCount != 1)) return false;
  return true;
}

namespace {

std::string keyName(int32_t vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, static_cast<char>(vk));
  static const char* const functionKeys[] = {"F1", "F2", "F3", "F4", "F5", "F6",
                                              "F7", "F8", "F9", "F10", "F11", "F12"};
  if (vk >= key::F1 && vk <= key::F1 + 11) return functionKeys[vk - key::F1];
  switch (vk) {
    case key::Delete: return "Delete";
    case key::Insert: return "Insert";
    case key::Return: return "Enter";
    case key::Escape: return "Escape";
    case key::Numpad5: case key::Clear: return "Keypad5";  // Num Lock on and off
    default: return "";
  }
}

// The sec marker: on the selected objects' elements, or on the zone.
void secMarker(Editor& editor) {
  ZoneState& zone = editor.zone;
  if (zone.openZoneNode == nullptr) return;
  if (zone.selectionCount > 0) {
    std::string value;
    if (!editor.port.promptForText("Sec Attribute", "Set 'sec' attribute:", "", 1, &value)) return;
    for (const auto& o : zone.objects) {
      if (!(o->flags & objflag::Selected) || o->kind > kind::Entrance || o->node == nullptr) continue;
      if (value.empty()) o->node->removeAttr("sec");
      else o->node->setAttr("sec", value);
    }
    markModified(editor);
    return;
  }
  const Answer a = editor.port.ask("ZorlED", "Mark zone as 'sec'?", QuestionButtons::YesNoCancel);
  if (a == Answer::Cancel) return;
  if (a == Answer::Yes) zone.openZoneNode->setAttr("sec", "1");
  else zone.openZoneNode->removeAttr("sec");
  markModified(editor);
}

// A new level after the current one, at the entered depth, in the current level's colour.
void insertLevel(Editor& editor) {
  ZoneState& zone = editor.zone;
  if (zone.openZoneNode == nullptr || zone.levels.empty()) return;
  std::string zText;
  if (!editor.port.promptForText("Insert Level", "Enter z-coordinate of new level:", "", 0, &zText)) return;
  const int n = zone.levelCount();
  const EditorLevel current = zone.levels[static_cast<size_t>(((zone.currentLevel % n) + n) % n)];
  xml::Node* parent = current.node ? current.node->parent : nullptr;
  if (parent == nullptr) return;
  xml::Node* element = editor.game.document->createElement("level");
  element->setAttr("color", current.colourText);
  element->setAttr("z", zText);
  element->setAttr("unlocked", "1");
  xml::Document::insertBefore(parent, element, current.node->next);
  EditorLevel level{zText, format::readFloat(zText), current.colourText, current.colour, 1, element};
  zone.levels.push_back(level);
  std::stable_sort(zone.levels.begin(), zone.levels.end(),
                   [](const EditorLevel& a, const EditorLevel& b) { return a.z < b.z; });
  int index = 0;
  while (zone.levels[static_cast<size_t>(index)].node != element) ++index;
  zone.currentLevel = index;
  renumberLevelRefs(zone.openZoneNode, 0, index, 0);
  markModified(editor);
  refreshPanel(editor);
  editor.port.redrawCanvas();
  editor.port.focusCanvas();
}

// Every block whose centre and depth lie between those of the two selected blocks.
void rangeSelect(Editor& editor) {
  ZoneState& zone = editor.zone;
  std::vector<EditorObject*> ends;
  for (const auto& o : zone.objects)
    if ((o->flags & objflag::Selected) && o->kind <= kind::Entrance) ends.push_back(o.get());
  recomputeSelectionKind(zone);
  if (zone.selectionCount != 2 || ends.size() != 2 || zone.selectionKind != kind::Block) {
    editor.port.messageBox("ZorlED", "Select two blocks to perform a range select.", MessageIcon::Information);
    return;
  }
  const EditorObject& a = *ends[0];
  const EditorObject& b = *ends[1];
  int n = 0;
  for (const auto& o : zone.objects) {
    if (o->kind != kind::Block || o.get() == &a || o.get() == &b || (o->flags & objflag::Hidden)) continue;
    if (isBetween(a.x + a.w / 2.0f, o->x + o->w / 2.0f, b.x + b.w / 2.0f) &&
        isBetween(a.y + a.h / 2.0f, o->y + o->h / 2.0f, b.y + b.h / 2.0f) && isBetween(a.z, o->z, b.z)) {
      selectObject(editor, o.get());
      ++n;
    }
  }
  refreshPanel(editor);
  editor.port.redrawCanvas();
  editor.port.setStatus(0, "Total of " + std::to_string(n) + " blocks selected.");
}

void deleteClass(Editor& editor) {
  if (!chooseClass(editor, "Delete Class", "Select a class to delete:", "")) return;
  xml::Node* element = editor.dialogs.chosenDatum;
  if (element == nullptr) return;
  const std::string name = element->attr("name");
  if (editor.port.ask("ZorlED", "Are you sure you want to delete class '" + name + "'?", QuestionButtons::YesNo) !=
      Answer::Yes)
    return;
  // The class's line goes with it.
  if (xml::Node* blanks = xml::Document::leadingBlanks(element)) xml::Document::unlink(blanks);
  xml::Document::unlink(element);
  if (editor.zone.openZoneNode) reparseAllBlocks(editor);
  editor.port.redrawCanvas();
  editor.port.setStatus(0, "Deleted class: " + name);
  markModified(editor);
}

void restoreDeletedScript(Editor& editor) {
  if (!editor.zone.deletedScript.empty()) {
    editor.port.setClipboardText(editor.zone.deletedScript);
    editor.port.messageBox("ZorlED", "The latest deleted script has been copied to the clipboard.",
                           MessageIcon::Information);
  } else {
    editor.port.messageBox("ZorlED",
                           "This feature will restore the most recently deleted block/area/zone script to the "
                           "clipboard.\r\n\r\nCurrently there is no stored script.",
                           MessageIcon::Information);
  }
}

}  // namespace

Command shortcutCommand(int32_t virtualKey, const Modifiers& m) {
  const std::string name = keyName(virtualKey);
  if (name.empty()) return Command::None;
  const int mods = (m.ctrl ? modifier::Ctrl : 0) | (m.shift ? modifier::Shift : 0) | (m.alt ? modifier::Alt : 0);
  for (const Shortcut& s : mainShortcuts())
    if (s.key == name && s.modifiers == mods) return s.command;
  return Command::None;
}

bool dispatchCanvasCommand(Editor& editor, Command c) {
  using C = Command;
  ZoneState& zone = editor.zone;
  const bool zoneOpen = zone.openZoneNode != nullptr;
  switch (c) {
    case C::Delete: {
      recordUndo(editor, undo::Deleted);
      const int n = deleteSelectedObjects(editor);
      if (n > 1) editor.port.setStatus(0, "Deleted " + std::to_string(n) + " objects.");
      if (n > 0) markModified(editor);
      refreshPanel(editor);
      editor.port.redrawCanvas();
      return true;
    }
    case C::SelectAll: selectAllShown(editor); return true;
    case C::FindBlock: findBlockCommand(editor); return true;
    case C::FocusSelectionForward: focusOnSelection(editor, 1); return true;
    case C::FocusSelectionBackward: focusOnSelection(editor, -1); return true;
    case C::NextOfKind: selectNextOfKind(editor, 1); return true;
    case C::PreviousOfKind: selectNextOfKind(editor, -1); return true;
    case C::Copy: copySelection(editor); return true;
    case C::Cut:
      if (!zoneOpen || zone.view.mode != 0 || zone.selectionCount == 0) return true;
      if (copySelection(editor).empty()) return true;  // kept when not on the clipboard
      recordUndo(editor, undo::Deleted);
      if (deleteSelectedObjects(editor) > 0) markModified(editor);
      refreshPanel(editor);
      editor.port.redrawCanvas();
      return true;
    case C::Paste: pasteFromClipboard(editor); return true;
    case C::Duplicate:
      if (duplicateSelection(editor) > 0) markModified(editor);
      return true;
    case C::InsertBlock:
    case C::InsertArea:
    case C::InsertEntrance:
      if (!zoneOpen) return true;
      endPointerGesture(editor);
      insertObject(editor, c == C::InsertBlock ? kind::Block : c == C::InsertArea ? kind::Area : kind::Entrance);
      return true;
    case C::InsertLevel: insertLevel(editor); return true;
    case C::RangeSelect: rangeSelect(editor); return true;
    case C::CleanMotionAttributes: cleanMotionAttributes(editor); return true;
    case C::FocusPanel: focusPanel(editor); return true;
    case C::EditObjectXml: editObjectXml(editor); return true;
    case C::DeleteClass: deleteClass(editor); return true;
    case C::RestoreDeletedScript: restoreDeletedScript(editor); return true;
    case C::SecMarker: secMarker(editor); return true;
    case C::ZoneStartScript:
      editScript(editor, "Zone Start Script", "Edit zone's Start script:", "start", nullptr);
      return true;
    case C::ZoneDeathScript:
      editScript(editor, "Zone Death Script", "Edit zone's Death script:", "death", nullptr);
      return true;
    case C::ChangeZone:
      chooseAndOpenZone(editor);
      updateWindowTitle(editor, true);
      editor.port.redrawCanvas();
      return true;
    case C::Apply: applyFocusedField(editor); return true;
    case C::Cancel:
      if (!zoneOpen) return true;
      endPointerGesture(editor);
      if (zone.view.mode == 3) {
        cancelPlacing(editor, nullptr);
      } else if (editor.port.focusedPanelField() >= 0) {
        // From a panel field: the keys go back to the canvas; the field's text and the selection stay.
        editor.port.focusCanvas();
        editor.port.redrawCanvas();
      } else {
        deselectAll(editor);
        refreshPanel(editor);
        editor.port.focusCanvas();
        editor.port.redrawCanvas();
        zone.view.mode = 0;
      }
      return true;
    default: return false;
  }
}

}  // namespace zor::editor
