// The selection of the open zone and the removal of object records: selecting and
// deselecting with the block-template rule, hiding and showing again, and removing
// records so that nothing that refers to them is left pointing at them.
#pragma once

#include <cstdint>
#include <vector>

namespace zor::editor {

struct Editor;
struct EditorObject;
struct ZoneState;

// When a block was inserted last, its XML becomes the template of the next insert.
void flushBlockTemplate(Editor& editor);
void selectObject(Editor& editor, EditorObject* record);
void deselectObject(Editor& editor, EditorObject* record);
void deselectAll(Editor& editor);
// The kind of the first selected object, kSelectionNone when nothing is selected or the
// selection mixes kinds.
void recomputeSelectionKind(ZoneState& zone);
// Recomputes the selection kind and asks the desktop to refill the properties panel.
void refreshPanel(Editor& editor);

// Removes a record and the other records of its element (a block's path previews), and
// every reference to them: the hidden list, the last clicked object, a pending drag, the
// undo step's records and, when the element is deleted too, the inserted-block and
// last-script references. With deleteElement the element leaves the document.
void removeObject(Editor& editor, EditorObject* record, bool deleteElement);
// removeObject for each record in turn, in one pass over the list; a record whose
// element went with an earlier one is passed over. Returns the number removed so.
int removeObjects(Editor& editor, const std::vector<EditorObject*>& records, bool deleteElement);
// Removes the records being placed (and their elements), exactly those. Returns the count.
int discardPlacedObjects(Editor& editor);
// Deletes the selected objects with their elements; returns the count.
int deleteSelectedObjects(Editor& editor);

void hideSelection(Editor& editor);
// all: every hidden object shows again; else only the one hidden last.
void restoreHidden(Editor& editor, bool all);

}  // namespace zor::editor
