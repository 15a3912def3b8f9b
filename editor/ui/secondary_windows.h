// Windows 1 to 9 of the editor, made hidden in their order at start-up.
#pragma once

#include <string>

#include "editor/core/preferences.h"

namespace zor::editor::ui {

class MainFrame;
class WxPort;
struct UiFonts;

// Makes the windows and hands them to the port; returns the failure message of
// the first window that could not be made, or "" when all were made.
std::string createSecondaryWindows(WxPort& port, MainFrame* frame, const UiFonts& fonts,
                                   const EditorPreferences& prefs);

}  // namespace zor::editor::ui
