#include "editor/core/help_pages.h"

#include "editor/core/editor.h"
#include "platform/files.h"

namespace zor::editor {

std::string helpPagePath(const EditorFolders& folders, const std::string& page) {
  return folders.data + "zorled/" + page;
}

bool showHelp(Editor& editor, const std::string& page, const std::string& section) {
  const std::string path = helpPagePath(editor.folders, page);
  if (files::fileSize(path) > 0 && editor.port.openWithDesktop(path, section)) return true;
  editor.port.messageBox("ZorlED", "The help page " + page + " could not be opened:\n" + path, MessageIcon::Warning);
  return false;
}

HelpPage helpPageFor(HelpWindow window, const std::string& scriptTitle) {
  switch (window) {
    case HelpWindow::GameProperties: return {"game.htm", ""};
    case HelpWindow::ZoneProperties: return {"zone.htm", ""};
    case HelpWindow::GFlagEditor: return {"game.htm", "#gflags"};
    case HelpWindow::ZFlagEditor: return {"zone.htm", "#zflags"};
    case HelpWindow::SoundEditor: return {"game.htm", "#sounds"};
    case HelpWindow::Cleanup: return {"tools.htm", ""};
    case HelpWindow::Script:
      if (scriptTitle == "Edit Speedrun") return {"game.htm", "#speedruns"};
      if (scriptTitle == "Edit Class") return {"game.htm", "#classes"};
      return {"scripts.htm", ""};
    case HelpWindow::Main: break;
  }
  return {kMainHelpPage, ""};
}

bool showWindowHelp(Editor& editor, HelpWindow window, const std::string& scriptTitle) {
  const HelpPage help = helpPageFor(window, scriptTitle);
  return showHelp(editor, help.page, help.section);
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
