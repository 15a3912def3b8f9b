#include "editor/core/definition_commands.h"

#include <string>
#include <vector>

#include "editor/core/definition_edit.h"
#include "editor/core/dialogs.h"
#include "editor/core/editor.h"
#include "editor/core/property_panels.h"
#include "editor/core/script_edit.h"
#include "editor/core/speedrun_chooser.h"
#include "platform/text.h"

namespace zor::editor {
namespace {

const char* kindWord(DefinitionKind kind) { return kind == DefinitionKind::Class ? "class" : "speedrun"; }

// Asks before `element` goes; on Yes deletes it, re-reading the blocks when a
// class went. True when deleted.
bool confirmAndDelete(Editor& editor, xml::Node* element, DefinitionKind kind) {
  const std::string word = kindWord(kind);
  const std::string name = element->attr("name");
  if (editor.port.ask("ZorlED", "Are you sure you want to delete " + word + " '" + name + "'?",
                      QuestionButtons::YesNo) != Answer::Yes) {
    return false;
  }
  editor.port.setStatus(0, "Deleted " + word + ": " + name);
  if (xml::Node* blanks = xml::Document::leadingBlanks(element)) xml::Document::unlink(blanks);
  xml::Document::unlink(element);
  if (kind == DefinitionKind::Class && editor.zone.openZoneNode) {
    reparseAllBlocks(editor);
    editor.port.redrawCanvas();
  }
  markModified(editor);
  return true;
}

// The script window on the serialised `element`. An accepted text replaces the
// element when it passes the checks of a definition of that kind; a refused
// one is shown and the window opens again on it. An empty text deletes the
// element after a confirmation.
bool editDefinition(Editor& editor, xml::Node* element, DefinitionKind kind, const std::string& title,
                    const std::string& prompt) {
  bool changed = false;
  std::string text = xml::Document::serializeNode(element);
  for (;;) {
    ScriptSession session(editor, title, prompt, text, ScriptContext::Game);
    if (runScriptEditor(editor, session) != 1) break;
    if (session.resultText.empty()) {
      changed = confirmAndDelete(editor, element, kind);
      break;
    }
    std::string refusal;
    if (replaceEditedDefinition(editor, element, session.resultText, kind, &refusal)) {
      changed = true;
      break;
    }
    if (refusal.empty()) break;  // the element is no longer the game's
    editor.port.messageBox("ZorlED", refusal, MessageIcon::Warning);
    text = session.resultText;
  }
  editor.port.focusCanvas();
  return changed;
}

}  // namespace

bool editClassCommand(Editor& editor) {
  if (!gameOpen(editor)) return false;
  std::string defaultName;
  if (editor.zone.openZoneNode && editor.zone.selectionCount == 1) {
    const PanelState panel = fillPanel(editor);
    if (panel.kind == PanelKind::Block) defaultName = panel.fields[blockfield::Class];
  }
  if (!chooseClass(editor, "Edit Class", "Select a class to edit:", defaultName)) return false;
  xml::Node* element = editor.dialogs.chosenDatum;
  if (element == nullptr) return false;
  return editDefinition(editor, element, DefinitionKind::Class, "Edit Class", "Edit block class definition:");
}

bool editSpeedrunCommand(Editor& editor) {
  if (chooseSpeedrun(editor, "Edit Speedrun", "Select a speedrun:", "") != 1) return false;
  xml::Node* element = editor.dialogs.chosenDatum;
  if (element == nullptr) return false;
  return editDefinition(editor, element, DefinitionKind::Speedrun, "Edit Speedrun", "Edit speedrun definition:");
}

bool deleteSpeedrunCommand(Editor& editor) {
  if (chooseSpeedrun(editor, "Delete Speedrun", "Select a speedrun:", "") != 1) return false;
  xml::Node* element = editor.dialogs.chosenDatum;
  if (element == nullptr) return false;
  return confirmAndDelete(editor, element, DefinitionKind::Speedrun);
}

bool reorderSpeedrunsCommand(Editor& editor) {
  if (chooseSpeedrun(editor, "Reorder Speedruns", "Select a speedrun to move:", "") != 1) return false;
  xml::Node* moved = editor.dialogs.chosenDatum;
  if (moved == nullptr) return false;
  std::vector<ChooserItem>& list = editor.dialogs.chooserList;
  list.clear();
  xml::Node* root = editor.game.root;
  xml::Node* last = nullptr;
  for (xml::Node* c = root->firstElement(); c; c = c->nextElement()) {
    if (c == moved || text::toLower(c->name) != "speedrun" || c->attr("name").empty()) continue;
    list.push_back({"Before: " + std::string(c->attr("name")), c});
    last = c;
  }
  if (last == nullptr) {
    editor.port.messageBox("ZorlED", "There is only one speedrun (nothing to reorder).", MessageIcon::Warning);
    return false;
  }
  list.push_back({"After: " + std::string(last->attr("name")), last});
  const std::size_t afterIndex = list.size() - 1;
  if (!runChooser(editor, "Move Speedrun", "Select a new position:", -1, false)) return false;
  const int chosen = editor.dialogs.chosenIndex;
  if (chosen < 0 || static_cast<std::size_t>(chosen) > afterIndex) return false;
  xml::Node* target = list[static_cast<std::size_t>(chosen)].datum;
  // The speedrun moves with the indentation of its line, to the start of a line.
  xml::Node* blanks = xml::Document::leadingBlanks(moved);
  if (blanks) xml::Document::unlink(blanks);
  xml::Document::unlink(moved);
  xml::Node* before = target->next;
  if (static_cast<std::size_t>(chosen) != afterIndex) {
    xml::Node* targetBlanks = xml::Document::leadingBlanks(target);
    before = targetBlanks ? targetBlanks : target;
  }
  if (blanks) xml::Document::insertBefore(root, blanks, before);
  xml::Document::insertBefore(root, moved, before);
  markModified(editor);
  const std::string report = "Moved speedrun: " + text::trim(moved->attr("name"));
  editor.port.messageBox("ZorlED", report, MessageIcon::Information);
  editor.port.setStatus(0, report);
  editor.port.focusCanvas();
  return true;
}

bool dispatchDefinitionEditCommand(Editor& editor, Command command) {
  switch (command) {
    case Command::EditClass: editClassCommand(editor); return true;
    case Command::EditSpeedrun: editSpeedrunCommand(editor); return true;
    case Command::DeleteSpeedrun: deleteSpeedrunCommand(editor); return true;
    case Command::ReorderSpeedruns: reorderSpeedrunsCommand(editor); return true;
    default: return false;
  }
}

}  // namespace zor::editor
