// The editor's one list picker (the Chooser) and one-line input, as the
// commands use them: the caller fills the list, the results are read right
// after the call.
#pragma once

#include <string>
#include <vector>

#include "platform/xml.h"

namespace zor::editor {

struct Editor;

struct ChooserItem {
  std::string text;
  xml::Node* datum = nullptr;
};

struct DialogResults {
  std::vector<ChooserItem> chooserList;  // filled by the caller before runChooser
  int chosenIndex = -1;
  std::string chosenText;
  xml::Node* chosenDatum = nullptr;
  std::string inputResult;
};

// False at once when the list is empty, and on Cancel or a close request.
bool runChooser(Editor& editor, const std::string& title, const std::string& prompt, int preselect,
                bool centreOnDesktop);
// The game's classes by lower-cased name, the default preselected.
bool chooseClass(Editor& editor, const std::string& title, const std::string& prompt, const std::string& defaultName);
bool promptForText(Editor& editor, const std::string& title, const std::string& prompt, const std::string& defaultText,
                   int fieldFlags);

}  // namespace zor::editor
