// The GFlag, ZFlag and Sound Editor windows (6 to 8): a list of rows, laid
// out in their fixed dialog each time they are shown, with the row actions of
// the editor core.
#pragma once

#include <functional>

#include "editor/core/flag_name_editors.h"
#include "editor/core/port.h"

class wxDialog;

namespace zor::editor::ui {

// Each runs modally and returns true on OK with the rows as edited; F1 runs `help`.
bool runGFlagEditorWindow(wxDialog* dialog, EditorPort& port, GFlagList& list, const std::function<void()>& help);
bool runZFlagEditorWindow(wxDialog* dialog, EditorPort& port, ZFlagNames& names, const std::function<void()>& help);
bool runSoundEditorWindow(wxDialog* dialog, EditorPort& port, SoundRows& rows, const std::function<void()>& help);

}  // namespace zor::editor::ui
