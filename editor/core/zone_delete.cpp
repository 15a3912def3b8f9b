#include "editor/core/zone_delete.h"

#include <algorithm>
#include <string>

#include "editor/core/dialogs.h"
#include "editor/core/editor.h"
#include "editor/core/zone_dialogs.h"
#include "platform/text.h"

namespace zor::editor {

bool deleteZoneCommand(Editor& editor) {
  EditorPort& port = editor.port;
  if (!gameOpen(editor)) return false;
  if (editor.game.zones.empty()) {
    if (port.ask("ZorlED", "No zones exist. Would you like to create one now?", QuestionButtons::YesNo) ==
        Answer::Yes) {
      editZoneProperties(editor, true);
    }
    return false;
  }
  if (chooseZone(editor, "Delete Zone", "Choose a zone to delete:", false) != 1) {
    port.focusCanvas();
    return false;
  }
  xml::Node* zone = editor.dialogs.chosenDatum;
  auto entry = std::find_if(editor.game.zones.begin(), editor.game.zones.end(),
                            [zone](const ZoneEntry& e) { return e.node == zone; });
  if (zone == nullptr || entry == editor.game.zones.end()) return false;
  const std::string id = entry->id;
  const std::string question = "Are you sure you want to delete zone '" + id + "'?\r\nThis cannot be undone" +
                               (editor.game.path.empty() ? "." : " without reopening the file.");
  if (port.ask("ZorlED", question, QuestionButtons::YesNo) != Answer::Yes) {
    port.focusCanvas();
    return false;
  }
  if (editor.zone.openZoneNode == zone) {
    closeZone(editor);
    updateWindowTitle(editor, true);
    port.redrawCanvas();
  }
  xml::Document::unlink(zone);
  editor.game.zones.erase(entry);
  xml::Node* editorNode = getEditorNode(editor);
  const std::string flagsName = "zone_" + text::toLower(id);
  for (xml::Node* c = editorNode ? editorNode->firstElement() : nullptr; c; c = c->nextElement()) {
    if (c->name == flagsName) {
      xml::Document::unlink(c);
      break;
    }
  }
  port.setStatus(0, "Deleted zone: " + id);
  markModified(editor);
  port.focusCanvas();
  return true;
}

}  // namespace zor::editor
