// Editing operations that the canvas keys and the menus reach but that live with the
// editing commands (editing.cpp, clipboard.cpp), the undo step (undo.cpp), the script
// editor and the zone dialogs. Those not built yet do nothing, say nothing and report
// that nothing changed; the canvas and the dispatch call them at the right moments.
#pragma once

#include <string>

namespace zor::editor {

struct Editor;
struct EditorObject;

namespace undo {
inline constexpr int Created = 1;
inline constexpr int Deleted = 2;
inline constexpr int Attributes = 4;
inline constexpr int Moved = 5;
inline constexpr int Sized = 6;
}  // namespace undo

void recordUndo(Editor& editor, int kind);
void clampUndoKind(Editor& editor);
// Returns the number of objects the undo touched.
int undoLastStep(Editor& editor);

// Returns the clipboard text, "" when nothing was copied.
std::string copySelection(Editor& editor);
// Returns the number of objects pasted (they are then being placed).
int pasteFromClipboard(Editor& editor);
// Returns the number of objects duplicated.
int duplicateSelection(Editor& editor);
// kind 0: the kind of the current selection. Returns true when an object is being placed.
bool insertObject(Editor& editor, int kind);
void fitObjects(Editor& editor);
void resizeSelection(Editor& editor, EditorObject* record, float dw, float dh);
void rotateSelection(Editor& editor);
void squareSelection(Editor& editor, int direction);

// The script editor on a script child of an element (the zone's when element is null).
void editScript(Editor& editor, const std::string& title, const std::string& prompt, const std::string& child,
                EditorObject* record);
// The zone chooser; returns true when a zone was opened.
bool chooseAndOpenZone(Editor& editor);

}  // namespace zor::editor
