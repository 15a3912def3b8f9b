#include "editor/core/selection.h"

#include <algorithm>

#include "editor/core/editor.h"

namespace zor::editor {

void flushBlockTemplate(Editor& editor) {
  ZoneState& zone = editor.zone;
  if (zone.insertedBlockNode == nullptr) return;
  zone.blockTemplate = nodeToXmlString(zone.insertedBlockNode, "", false);
  zone.insertedBlockNode = nullptr;
}

void selectObject(Editor& editor, EditorObject* record) {
  flushBlockTemplate(editor);
  if (record == nullptr || (record->flags & objflag::Selected)) return;
  record->flags |= objflag::Selected;
  ++editor.zone.selectionCount;
}

void deselectObject(Editor& editor, EditorObject* record) {
  flushBlockTemplate(editor);
  if (record == nullptr || !(record->flags & objflag::Selected)) return;
  record->flags &= ~objflag::Selected;
  --editor.zone.selectionCount;
}

void deselectAll(Editor& editor) {
  flushBlockTemplate(editor);
  for (auto& o : editor.zone.objects) o->flags &= ~objflag::Selected;
  editor.zone.selectionCount = 0;
}

void recomputeSelectionKind(ZoneState& zone) {
  int32_t k = 0;
  for (const auto& o : zone.objects) {
    if (!(o->flags & objflag::Selected)) continue;
    if (k == 0) {
      k = o->kind;
    } else if (o->kind != k) {
      k = kSelectionNone;
      break;
    }
  }
  zone.selectionKind = k == 0 ? kSelectionNone : k;
}

void refreshPanel(Editor& editor) {
  if (editor.zone.openZoneNode) recomputeSelectionKind(editor.zone);
  editor.port.refreshPanel();
}

void removeObject(Editor& editor, EditorObject* record, bool deleteElement) {
  if (record == nullptr) return;
  ZoneState& zone = editor.zone;
  xml::Node* node = record->node;
  const bool block = record->kind == kind::Block;
  // A block's element backs its own record and its path previews: they go together.
  // (Only values taken before anything is freed are compared.)
  auto doomed = [record, block, node](const EditorObject* o) {
    return o == record || (block && node != nullptr && o->node == node);
  };
  for (const auto& o : zone.objects) {
    if (!doomed(o.get())) continue;
    EditorObject* p = o.get();
    if (p->flags & objflag::Selected) --zone.selectionCount;
    zone.hiddenObjects.erase(std::remove(zone.hiddenObjects.begin(), zone.hiddenObjects.end(), p),
                             zone.hiddenObjects.end());
    if (editor.canvas.lastClickedObject == p) editor.canvas.lastClickedObject = nullptr;
    if (editor.canvas.pendingDrag == p) editor.canvas.pendingDrag = nullptr;
    for (UndoEntry& e : zone.undoEntries)
      if (e.record == p) e.record = nullptr;
  }
  zone.objects.erase(std::remove_if(zone.objects.begin(), zone.objects.end(),
                                    [&](const std::unique_ptr<EditorObject>& o) { return doomed(o.get()); }),
                     zone.objects.end());
  if (deleteElement && node != nullptr) {
    if (zone.insertedBlockNode == node) zone.insertedBlockNode = nullptr;
    xml::Document::unlink(node);
  }
  if (zone.selectionCount < 0) zone.selectionCount = 0;
}

int discardPlacedObjects(Editor& editor) {
  int n = 0;
  for (;;) {
    EditorObject* placed = nullptr;
    for (const auto& o : editor.zone.objects)
      if ((o->flags & objflag::BeingPlaced) && o->kind <= kind::Entrance) {
        placed = o.get();
        break;
      }
    if (placed == nullptr) break;
    removeObject(editor, placed, true);
    ++n;
  }
  return n;
}

int deleteSelectedObjects(Editor& editor) {
  if (editor.zone.selectionCount <= 0) return 0;
  flushBlockTemplate(editor);
  int n = 0;
  for (;;) {
    EditorObject* selected = nullptr;
    for (const auto& o : editor.zone.objects)
      if ((o->flags & objflag::Selected) && o->kind <= kind::Entrance) {
        selected = o.get();
        break;
      }
    if (selected == nullptr) break;
    removeObject(editor, selected, true);
    ++n;
  }
  editor.zone.selectionCount = 0;
  return n;
}

void hideSelection(Editor& editor) {
  ZoneState& zone = editor.zone;
  for (const auto& o : zone.objects) {
    if (!(o->flags & objflag::Selected)) continue;
    o->flags &= ~objflag::Selected;
    o->flags |= objflag::Hidden;
    zone.hiddenObjects.push_back(o.get());
  }
  zone.selectionCount = 0;
}

void restoreHidden(Editor& editor, bool all) {
  ZoneState& zone = editor.zone;
  if (all) {
    for (const auto& o : zone.objects) o->flags &= ~objflag::Hidden;
    zone.hiddenObjects.clear();
  } else if (!zone.hiddenObjects.empty()) {
    zone.hiddenObjects.back()->flags &= ~objflag::Hidden;
    zone.hiddenObjects.pop_back();
  }
}

}  // namespace zor::editor
