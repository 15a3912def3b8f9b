#include "editor/core/xml_reformat.h"

#include <vector>

#include "editor/core/dialogs.h"
#include "editor/core/editor.h"
#include "editor/core/form_request.h"

namespace zor::editor {
namespace {

bool isBlank(const xml::Node* n) {
  if (n->type != xml::NodeType::Text) return false;
  for (char c : std::string_view(n->text)) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
  }
  return true;
}

// A line break and n spaces (built in place: GCC 12 warns falsely on "\n" + string).
std::string lineBreakAndIndent(int n) {
  std::string text(static_cast<std::size_t>(n) + 1, ' ');
  text[0] = '\n';
  return text;
}

void reindent(xml::Document& document, xml::Node* element, int depth, int spaces) {
  bool hasChildren = false;
  for (xml::Node* c = element->firstChild; c; c = c->next) {
    if (c->type == xml::NodeType::Text && !isBlank(c)) return;  // text content stays as written
    if (c->type != xml::NodeType::Text) hasChildren = true;
  }
  if (!hasChildren) return;
  std::vector<xml::Node*> children;
  std::vector<xml::Node*> blanks;
  for (xml::Node* c = element->firstChild; c; c = c->next) (c->type == xml::NodeType::Text ? blanks : children).push_back(c);
  for (xml::Node* c : blanks) document.removeNode(c);
  const std::string inner = lineBreakAndIndent((depth + 1) * spaces);
  for (xml::Node* c : children) {
    xml::Document::insertBefore(element, document.createText(inner), c);
    if (c->isElement()) reindent(document, c, depth + 1, spaces);
  }
  xml::Document::appendChild(element, document.createText(lineBreakAndIndent(depth * spaces)));
}

}  // namespace

void reindentDocument(xml::Document& document, int spaces) {
  if (xml::Node* root = document.root()) reindent(document, root, 0, spaces);
}

bool reformatXmlCommand(Editor& editor) {
  if (!gameOpen(editor)) return false;
  int spaces = 0;
  std::string text = "2";
  for (;;) {
    if (!promptForText(editor, "Reformat XML", "Enter new indentation size (number of spaces):", text,
                       formfield::Digits)) {
      return false;
    }
    text = editor.dialogs.inputResult;
    spaces = 0;
    bool digits = !text.empty();
    for (char c : text) {
      if (c < '0' || c > '9') digits = false;
      if (digits && spaces <= kMaxIndentation) spaces = spaces * 10 + (c - '0');
    }
    if (!digits || spaces <= 0) {
      editor.port.messageBox("ZorlED", "Indentation must be greater than zero.", MessageIcon::Warning);
    } else if (spaces > kMaxIndentation) {
      editor.port.messageBox("ZorlED", "Indentation must be at most " + std::to_string(kMaxIndentation) + ".",
                             MessageIcon::Warning);
    } else {
      break;
    }
  }
  reindentDocument(*editor.game.document, spaces);
  markModified(editor);
  editor.port.messageBox("ZorlED", "The entire XML has been reformatted.", MessageIcon::Information);
  return true;
}

}  // namespace zor::editor
