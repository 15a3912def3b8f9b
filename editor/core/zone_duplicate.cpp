#include "editor/core/zone_duplicate.h"

#include <algorithm>
#include <string>

#include "editor/core/dialogs.h"
#include "editor/core/editor.h"
#include "editor/core/zone_dialogs.h"
#include "platform/text.h"

namespace zor::editor {
namespace {

constexpr const char* kWarningTitle = "ZorlED";

bool zoneIdTaken(const Editor& editor, const std::string& id) {
  return std::any_of(editor.game.zones.begin(), editor.game.zones.end(),
                     [&id](const ZoneEntry& entry) { return text::toLower(entry.id) == id; });
}

}  // namespace

bool duplicateZoneCommand(Editor& editor) {
  EditorPort& port = editor.port;
  if (chooseZone(editor, "Duplicate Zone", "Choose a zone to duplicate:", false) != 1) {
    port.focusCanvas();
    return false;
  }
  xml::Node* original = editor.dialogs.chosenDatum;
  std::string id;
  for (;;) {
    std::string typed;
    if (!port.promptForText("New Zone ID", "Enter the new zone ID:", "", 0, &typed) || typed.empty()) {
      port.focusCanvas();
      return false;
    }
    id = text::toLower(typed);
    if (!zoneIdTaken(editor, id)) break;
    port.messageBox(kWarningTitle, "A zone with the ID '" + id + "' already exists.", MessageIcon::Warning);
  }
  xml::Node* copy = editor.game.document->copyNode(original);
  copy->setAttr("id", id);
  xml::Document::insertBefore(original->parent, copy, original->next);
  editor.game.zones.push_back({id, copy});
  std::stable_sort(editor.game.zones.begin(), editor.game.zones.end(),
                   [](const ZoneEntry& a, const ZoneEntry& b) { return a.id < b.id; });
  markModified(editor);
  if (port.ask(kWarningTitle, "Switch to new zone now?", QuestionButtons::YesNo) == Answer::Yes) {
    if (openZone(editor, copy)) {
      updateWindowTitle(editor, true);
      port.redrawCanvas();
      const std::string& notes = editor.zone.view.notes;
      port.setStatus(0, notes.empty() ? "" : "Zone notes: " + notes);
    } else {
      port.setStatus(0, "Failed to open zone: " + id);
    }
  }
  port.focusCanvas();
  return true;
}

}  // namespace zor::editor
