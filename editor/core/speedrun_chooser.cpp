#include "editor/core/speedrun_chooser.h"

#include "editor/core/dialogs.h"
#include "editor/core/editor.h"
#include "platform/text.h"

namespace zor::editor {

int chooseSpeedrun(Editor& editor, const std::string& title, const std::string& prompt, const std::string& preselect) {
  if (!gameOpen(editor)) return 0;
  DialogResults& d = editor.dialogs;
  d.chooserList.clear();
  int chosenAtFirst = -1;
  for (xml::Node* c = editor.game.root->firstElement(); c; c = c->nextElement()) {
    if (text::toLower(c->name) != "speedrun") continue;
    const std::string name = text::toLower(c->attr("name"));
    if (name.empty()) continue;
    if (name == preselect) chosenAtFirst = static_cast<int>(d.chooserList.size());
    d.chooserList.push_back({name, c});
  }
  if (d.chooserList.empty()) return -1;
  return runChooser(editor, title, prompt, chosenAtFirst, false) ? 1 : 0;
}

}  // namespace zor::editor
