#include "editor/core/definition_edit.h"

#include "editor/core/editor.h"

namespace zor::editor {

bool replaceEditedDefinition(Editor& editor, xml::Node* edited, const std::string& text, DefinitionKind kind,
                             std::string* refusal) {
  const bool isClass = kind == DefinitionKind::Class;
  const char* word = isClass ? "class" : "speedrun";
  xml::Node* root = editor.game.root;
  if (root == nullptr || edited == nullptr || edited->parent != root || !editor.game.document) return false;
  xml::Document parsed;
  xml::ParseError error;
  if (!parsed.parse(text, &error) || parsed.root() == nullptr) {
    *refusal = "XML error in line " + std::to_string(error.line) + ": " + error.message;
    return false;
  }
  const xml::Node* main = parsed.root();
  const std::string name = xml::toLowerAscii(main->attr("name"));
  if (!isClass && (xml::toLowerAscii(main->name) != word || name.empty())) {
    *refusal = "Node must be in the format '<speedrun name='...' zone='...' ... />'.";
    return false;
  }
  if (isClass && xml::toLowerAscii(main->name) != word) {
    *refusal = "Invalid XML node name.";
    return false;
  }
  if (isClass && name.empty()) {
    *refusal = "You must specify a 'name' attribute.";
    return false;
  }
  for (xml::Node* n = root->firstElement(); n; n = n->nextElement()) {
    if (n == edited || xml::toLowerAscii(n->name) != word) continue;
    const bool same = isClass ? n->attr("name") == name : xml::toLowerAscii(n->attr("name")) == name;
    if (same) {
      *refusal = (isClass ? "Class '" : "Speedrun '") + main->attr("name") + "' already exists.";
      return false;
    }
  }
  xml::Node* copy = editor.game.document->copyNode(main);
  xml::Document::insertBefore(root, copy, edited->next);
  xml::Document::unlink(edited);
  if (isClass && editor.zone.openZoneNode) {
    reparseAllBlocks(editor);
    editor.port.redrawCanvas();
  }
  markModified(editor);
  return true;
}

}  // namespace zor::editor
