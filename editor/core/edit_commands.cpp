#include "editor/core/edit_commands.h"

namespace zor::editor {

// The undo step lives in undo.cpp, copy and paste in clipboard.cpp, the other
// editing commands in editing.cpp, the script editor in script_edit.cpp and the
// zone chooser in zone_dialogs.cpp.

}  // namespace zor::editor
