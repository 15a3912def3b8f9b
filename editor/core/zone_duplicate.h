// Duplicate Zone: a deep copy of a chosen zone under a new ID, placed right
// after the original.
#pragma once

namespace zor::editor {

struct Editor;

// Returns true when a copy was made.
bool duplicateZoneCommand(Editor& editor);

}  // namespace zor::editor
