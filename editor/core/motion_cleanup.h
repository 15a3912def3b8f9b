// Clean Motion Attributes: the attributes that a block's flags leave unused,
// or an area's own limits when it follows a named block, removed from the one
// selected object.
#pragma once

namespace zor::editor {

struct Editor;

// Returns true when the game was changed.
bool cleanMotionAttributes(Editor& editor);

}  // namespace zor::editor
