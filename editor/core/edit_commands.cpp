#include "editor/core/edit_commands.h"

namespace zor::editor {

// Not available in this build of the editor: every operation leaves the document alone.
void recordUndo(Editor&, int) {}
void clampUndoKind(Editor&) {}
int undoLastStep(Editor&) { return 0; }
std::string copySelection(Editor&) { return ""; }
int pasteFromClipboard(Editor&) { return 0; }
int duplicateSelection(Editor&) { return 0; }
bool insertObject(Editor&, int) { return false; }
void fitObjects(Editor&) {}
void resizeSelection(Editor&, EditorObject*, float, float) {}
void rotateSelection(Editor&) {}
void squareSelection(Editor&, int) {}
bool chooseAndOpenZone(Editor&) { return false; }

}  // namespace zor::editor
