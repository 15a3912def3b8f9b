#include "editor/core/edit_commands.h"

namespace zor::editor {

// The undo step lives in undo.cpp, copy and paste in clipboard.cpp and the other
// editing commands in editing.cpp. Not available in this build of the editor:
// these leave the document alone.
void editScript(Editor&, const std::string&, const std::string&, const std::string&, EditorObject*) {}
bool chooseAndOpenZone(Editor&) { return false; }

}  // namespace zor::editor
