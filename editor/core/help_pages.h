// The help pages and the About box. The pages are local files in the folder
// `zorled` of the data folder (`zordata/zorled/` beside the program when there is
// a `zordata` folder there, as in a build and in the installed tree; else
// `zorled/` beside the program), opened with the desktop's default handler; the
// editor opens no web address.
#pragma once

#include <string>

namespace zor::editor {

struct Editor;
struct EditorFolders;

// Where a page is looked for.
std::string helpPagePath(const EditorFolders& folders, const std::string& page);
// Opens a page, at a section ("#name") when one is given. Returns false, after a
// box naming the page, when it is missing, empty or could not be opened.
bool showHelp(Editor& editor, const std::string& page, const std::string& section = "");
// The page for the main window (Documentation, F1).
inline constexpr const char* kMainHelpPage = "index.htm";
inline constexpr const char* kShortcutsHelpPage = "shortcuts.htm";

// The windows whose F1 opens a page of their own.
enum class HelpWindow { Main, Script, ZoneProperties, GameProperties, SoundEditor, GFlagEditor, ZFlagEditor, Cleanup };
struct HelpPage {
  std::string page;
  // "#gflags" and the like, or empty.
  std::string section;
};
// The page of a window; the script window's page follows its title.
HelpPage helpPageFor(HelpWindow window, const std::string& scriptTitle = "");
// F1 in a window: opens that window's page (see showHelp).
bool showWindowHelp(Editor& editor, HelpWindow window, const std::string& scriptTitle = "");

// The About box's text; `buildDate` as the compiler writes __DATE__ ("Mmm dd yyyy").
std::string aboutText(const std::string& buildDate);
void showAbout(Editor& editor);

}  // namespace zor::editor
