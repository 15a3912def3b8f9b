#include "editor/core/selection.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "editor/core/address_table.h"
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

int removeObjects(Editor& editor, const std::vector<EditorObject*>& records, bool deleteElement) {
  ZoneState& zone = editor.zone;
  auto isPreview = [](const EditorObject* o) { return o->kind == kind::PathLine || o->kind == kind::PathEllipse; };
  // A block's element backs its own record and its path previews: they go together.
  // The chosen records carry the Marked flag for this pass (and leave with it); the
  // elements of the chosen moving blocks (only those have previews) are kept aside.
  AddressSet movingBlocks;
  std::vector<xml::Node*> elements;
  int n = 0;
  constexpr std::size_t kAhead = 16;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (i + kAhead < records.size() && records[i + kAhead] != nullptr) __builtin_prefetch(records[i + kAhead], 1);
    EditorObject* record = records[i];
    if (record == nullptr || (record->flags & objflag::Marked)) continue;
    if (record->node && isPreview(record) && movingBlocks.contains(record->node)) continue;
    ++n;
    record->flags |= objflag::Marked;
    if (record->node == nullptr) continue;
    if (record->kind == kind::Block && (record->flags & objflag::Motion)) movingBlocks.emplace(record->node);
    elements.push_back(record->node);
  }
  if (n == 0) return 0;
  auto doomed = [&](const EditorObject* o) {
    return (o->flags & objflag::Marked) ||
           (o->node != nullptr && isPreview(o) && movingBlocks.size() != 0 && movingBlocks.contains(o->node));
  };
  // Only the records still in the list are looked into; the references elsewhere are
  // compared by address (a set of the records taken out is made only when there are
  // such references). The records that stay move up in their order, the others to
  // the end, where they are freed once nothing can still look at them.
  bool referenced = !zone.hiddenObjects.empty();
  for (const UndoEntry& e : zone.undoEntries) referenced |= e.record != nullptr;
  AddressSet gone(referenced ? 2 * records.size() : 0);
  auto& list = zone.objects;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (i + kAhead < list.size()) __builtin_prefetch(list[i + kAhead].get());
    EditorObject* p = list[i].get();
    if (!doomed(p)) {
      if (kept != i) std::swap(list[kept], list[i]);
      ++kept;
      continue;
    }
    if (referenced) gone.emplace(p);
    if (p->flags & objflag::Selected) --zone.selectionCount;
    if (editor.canvas.lastClickedObject == p) editor.canvas.lastClickedObject = nullptr;
    if (editor.canvas.pendingDrag == p) editor.canvas.pendingDrag = nullptr;
  }
  if (referenced) {
    auto isGone = [&gone](const EditorObject* p) { return gone.contains(p); };
    zone.hiddenObjects.erase(std::remove_if(zone.hiddenObjects.begin(), zone.hiddenObjects.end(), isGone),
                             zone.hiddenObjects.end());
    for (UndoEntry& e : zone.undoEntries)
      if (e.record != nullptr && isGone(e.record)) e.record = nullptr;
  }
  list.resize(kept);
  if (deleteElement) {
    // Taking elements out commutes: they go in the order they lie in memory.
    sortByAddress(elements, [](const xml::Node* node) { return node; });
    for (std::size_t k = 0; k < elements.size(); ++k) {
      if (k + kAhead < elements.size()) __builtin_prefetch(elements[k + kAhead]);
      if (k + kAhead / 2 < elements.size()) {
        const xml::Node* ahead = elements[k + kAhead / 2];
        if (ahead->prev != nullptr) __builtin_prefetch(ahead->prev, 1);
        if (ahead->next != nullptr) __builtin_prefetch(ahead->next, 1);
      }
      xml::Node* node = elements[k];
      if (zone.insertedBlockNode == node) zone.insertedBlockNode = nullptr;
      xml::Document::unlink(node);
    }
  }
  if (zone.selectionCount < 0) zone.selectionCount = 0;
  return n;
}

void removeObject(Editor& editor, EditorObject* record, bool deleteElement) {
  removeObjects(editor, {record}, deleteElement);
}

namespace {

// The blocks, areas and entrances with `flag`, in list order.
std::vector<EditorObject*> objectsFlagged(const ZoneState& zone, int32_t flag) {
  std::vector<EditorObject*> out;
  for (const auto& o : zone.objects)
    if ((o->flags & flag) && o->kind <= kind::Entrance) out.push_back(o.get());
  return out;
}

}  // namespace

int discardPlacedObjects(Editor& editor) {
  return removeObjects(editor, objectsFlagged(editor.zone, objflag::BeingPlaced), true);
}

int deleteSelectedObjects(Editor& editor) {
  if (editor.zone.selectionCount <= 0) return 0;
  flushBlockTemplate(editor);
  const int n = removeObjects(editor, objectsFlagged(editor.zone, objflag::Selected), true);
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
