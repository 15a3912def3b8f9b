#include "editor/core/definition_dialogs.h"

#include "editor/core/editor.h"
#include "editor/core/script_edit.h"

namespace zor::editor {
namespace {

struct NewDefinition {
  const char* word;  // the element name
  const char* title;
  const char* prompt;
  const char* templateText;
  const char* created;  // status text before the name
  std::string (*check)(const Editor&, const xml::Node*);
};

// The last root child named `word` (any letter case); null when none.
xml::Node* lastOfKind(const xml::Node* root, const char* word) {
  xml::Node* last = nullptr;
  for (xml::Node* n = root->firstElement(); n; n = n->nextElement()) {
    if (xml::toLowerAscii(n->name) == word) last = n;
  }
  return last;
}

int createDefinition(Editor& editor, const NewDefinition& d) {
  if (!gameOpen(editor)) return 0;
  std::string text = d.templateText;
  for (;;) {
    ScriptSession session(editor, d.title, d.prompt, text, ScriptContext::Game);
    if (runScriptEditor(editor, session) != 1 || session.resultText.empty() || !session.resultDocument ||
        !session.resultDocument->root()) {
      return 0;
    }
    const xml::Node* main = session.resultDocument->root();
    const std::string refusal = d.check(editor, main);
    if (!refusal.empty()) {
      editor.port.messageBox("ZorlED", refusal, MessageIcon::Warning);
      text = session.resultText;
      continue;
    }
    xml::Node* root = editor.game.root;
    xml::Node* copy = editor.game.document->copyNode(main);
    xml::Node* last = lastOfKind(root, d.word);
    xml::Document::insertBefore(root, copy, last ? last->next : nullptr);
    editor.port.setStatus(0, std::string(d.created) + std::string(main->attr("name")));
    markModified(editor);
    updateWindowTitle(editor, false);
    return 1;
  }
}

}  // namespace

std::string checkNewClass(const Editor& editor, const xml::Node* element) {
  // Only a class may join the classes: anything else would be copied into
  // the game as a stray element.
  if (!element || xml::toLowerAscii(element->name) != "class") return "Invalid XML node name.";
  const std::string name = xml::toLowerAscii(element->attr("name"));
  if (name.empty()) return "You must specify a 'name' attribute.";
  for (const xml::Node* n = editor.game.root->firstElement(); n; n = n->nextElement()) {
    if (n->name == "class" && n->attr("name") == name) return "Class '" + name + "' already exists.";
  }
  return "";
}

std::string checkNewSpeedrun(const Editor& editor, const xml::Node* element) {
  const std::string name = element ? xml::toLowerAscii(element->attr("name")) : "";
  if (!element || xml::toLowerAscii(element->name) != "speedrun" || name.empty()) {
    return "Node must be in the format '<speedrun name='...' zone='...' ... />'.";
  }
  for (const xml::Node* n = editor.game.root->firstElement(); n; n = n->nextElement()) {
    if (xml::toLowerAscii(n->name) == "speedrun" && xml::toLowerAscii(n->attr("name")) == name) {
      return "Speedrun '" + name + "' already exists.";
    }
  }
  return "";
}

int createClass(Editor& editor) {
  return createDefinition(editor, {"class", "New Class", "Edit block class definition:",
                                   "<class name='name' flg='' eflags='' />", "Created class: ", checkNewClass});
}

int createSpeedrun(Editor& editor) {
  return createDefinition(editor, {"speedrun", "New Speedrun", "Edit speedrun definition:",
                                   "<speedrun name='' zone='' entrance='' gflags='' color='' />",
                                   "Created speedrun: ", checkNewSpeedrun});
}

bool dispatchDefinitionCommand(Editor& editor, Command command) {
  switch (command) {
    case Command::NewClass: createClass(editor); return true;
    case Command::NewSpeedrun: createSpeedrun(editor); return true;
    default: return false;
  }
}

}  // namespace zor::editor
