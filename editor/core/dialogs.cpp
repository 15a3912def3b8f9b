#include "editor/core/dialogs.h"

#include <algorithm>

#include "editor/core/editor.h"
#include "platform/text.h"

namespace zor::editor {

bool runChooser(Editor& editor, const std::string& title, const std::string& prompt, int preselect,
                bool centreOnDesktop) {
  DialogResults& d = editor.dialogs;
  if (d.chooserList.empty()) return false;
  ChooserRequest request;
  request.title = title;
  request.prompt = prompt;
  for (const ChooserItem& item : d.chooserList) request.items.push_back(item.text);
  request.preselect = preselect;
  request.centreOnDesktop = centreOnDesktop;
  const int chosen = editor.port.runChooser(request);
  if (chosen < 0 || chosen >= static_cast<int>(d.chooserList.size())) return false;
  d.chosenIndex = chosen;
  d.chosenText = d.chooserList[static_cast<std::size_t>(chosen)].text;
  d.chosenDatum = d.chooserList[static_cast<std::size_t>(chosen)].datum;
  return true;
}

bool chooseClass(Editor& editor, const std::string& title, const std::string& prompt, const std::string& defaultName) {
  if (!gameOpen(editor)) return false;
  std::vector<ChooserItem> items;
  for (xml::Node* c = editor.game.root->firstElement(); c; c = c->nextElement()) {
    if (c->name == "class" && !c->attr("name").empty()) items.push_back({text::toLower(c->attr("name")), c});
  }
  std::stable_sort(items.begin(), items.end(), [](const ChooserItem& a, const ChooserItem& b) { return a.text < b.text; });
  int preselect = 0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].text == defaultName) {
      preselect = static_cast<int>(i);
      break;
    }
  }
  editor.dialogs.chooserList = std::move(items);
  return runChooser(editor, title, prompt, preselect, false);
}

bool promptForText(Editor& editor, const std::string& title, const std::string& prompt, const std::string& defaultText,
                   int fieldFlags) {
  std::string result;
  if (!editor.port.promptForText(title, prompt, defaultText, fieldFlags, &result)) return false;
  editor.dialogs.inputResult = result;
  return true;
}

}  // namespace zor::editor
