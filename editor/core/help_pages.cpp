#include "editor/core/help_pages.h"

#include "editor/core/editor.h"
#include "platform/files.h"

namespace zor::editor {

bool showHelp(Editor& editor, const std::string& page) {
  const std::string path = editor.folders.program + "zorled/" + page;
  if (files::fileSize(path) > 0 && editor.port.openWithDesktop(path)) return true;
  editor.port.messageBox("ZorlED", "The help page " + page + " could not be opened:\n" + path, MessageIcon::Warning);
  return false;
}

std::string aboutText(const std::string& buildDate) {
  static const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                        "July",    "August",   "September", "October", "November", "December"};
  std::string when;
  if (buildDate.size() >= 11) {
    for (const char* m : kMonths) {
      if (buildDate.compare(0, 3, m, 3) == 0) when = std::string(" (") + m + " " + buildDate.substr(7, 4) + ")";
    }
  }
  return "ZorlED 1.3" + when + "\n\nThis software uses:\nExpat XML Parser\nScintilla Text Editor";
}

void showAbout(Editor& editor) {
  editor.port.messageBox("ZorlED", aboutText(__DATE__), MessageIcon::Information);
}

}  // namespace zor::editor
