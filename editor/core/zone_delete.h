// Delete Zone: a chosen zone taken out of the game after a confirmation, with
// its ZFlag names.
#pragma once

namespace zor::editor {

struct Editor;

// Returns true when a zone was deleted.
bool deleteZoneCommand(Editor& editor);

}  // namespace zor::editor
