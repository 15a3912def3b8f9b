// The GFlag, ZFlag and Sound Editor windows (6 to 8): a list of rows, laid
// out in their fixed dialog each time they are shown, with the row actions of
// the editor core.
#pragma once

#include "editor/core/flag_name_editors.h"
#include "editor/core/port.h"

class wxDialog;

namespace zor::editor::ui {

// Each runs modally and returns true on OK with the rows as edited.
bool runGFlagEditorWindow(wxDialog* dialog, EditorPort& port, GFlagList& list);
bool runZFlagEditorWindow(wxDialog* dialog, EditorPort& port, ZFlagNames& names);
bool runSoundEditorWindow(wxDialog* dialog, EditorPort& port, SoundRows& rows);

}  // namespace zor::editor::ui
