// The single undo step of the open zone: the state of the objects the last
// recorded command touched, kept as XML text. Undoing applies it and keeps the
// state it replaced in its place, so undoing again redoes.
#pragma once

#include <vector>

namespace zor::editor {

struct Editor;
struct EditorObject;

// The selected blocks, areas and entrances in list order.
std::vector<EditorObject*> selectedEditableObjects(const Editor& editor);

// recordUndo, clampUndoKind and undoLastStep are declared in edit_commands.h.

}  // namespace zor::editor
