// The help pages and the About box. The pages are local files in the `zorled`
// folder beside the program, opened with the desktop's default handler; the
// editor opens no web address.
#pragma once

#include <string>

namespace zor::editor {

struct Editor;

// Opens a page. Returns false, after a box naming the page, when it is missing,
// empty or could not be opened.
bool showHelp(Editor& editor, const std::string& page);
// The page for the main window (Documentation, F1).
inline constexpr const char* kMainHelpPage = "index.htm";
inline constexpr const char* kShortcutsHelpPage = "shortcuts.htm";

// The About box's text; `buildDate` as the compiler writes __DATE__ ("Mmm dd yyyy").
std::string aboutText(const std::string& buildDate);
void showAbout(Editor& editor);

}  // namespace zor::editor
