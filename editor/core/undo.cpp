#include "editor/core/undo.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>
#include <string>

#include "editor/core/address_table.h"
#include "editor/core/edit_commands.h"
#include "editor/core/editor.h"
#include "editor/core/selection.h"
#include "platform/text.h"

namespace zor::editor {

namespace {

void showKind(ZoneState& zone, int32_t k) {
  if (k == kind::Block) zone.showBlocks = true;
  else if (k == kind::Area) zone.showAreas = true;
  else if (k == kind::Entrance) zone.showEntrances = true;
}

// Parses one element's text; null when it does not parse.
xml::Node* parseElement(xml::Document& scratch, const std::string& text) {
  if (!scratch.parse(text, nullptr)) return nullptr;
  return scratch.root();
}

// Takes the created elements that are still in the zone out again, with their records,
// in one pass over the list. Returns the number taken out.
int undoCreated(Editor& editor) {
  ZoneState& zone = editor.zone;
  // The entries in the order their elements lie in memory (the first entry of an
  // element first): a big step's elements are then read in turn, not all over.
  std::vector<std::pair<xml::Node*, std::size_t>> order;
  order.reserve(zone.undoEntries.size());
  for (std::size_t i = 0; i < zone.undoEntries.size(); ++i) order.emplace_back(zone.undoEntries[i].element, i);
  sortByAddress(order, [](const auto& item) { return item.first; });
  // Each element's first record: the one the entry kept while it is still there (a
  // record that goes is taken off its entry), else found in the list.
  std::optional<AddressTable<EditorObject*>> recordOf;
  auto recordFor = [&](const UndoEntry& entry) -> EditorObject* {
    EditorObject* kept = entry.record;
    if (kept != nullptr && kept->node == entry.element && kept->kind >= kind::Block && kept->kind <= kind::Entrance)
      return kept;
    if (!recordOf) {
      recordOf.emplace(zone.objects.size());
      for (const auto& o : zone.objects)
        if (o->kind >= kind::Block && o->kind <= kind::Entrance && o->node) recordOf->emplace(o->node, o.get());
    }
    EditorObject* const* found = recordOf->find(entry.element);
    return found ? *found : nullptr;
  };
  std::vector<EditorObject*> records;
  std::vector<xml::Node*> bare;
  int n = 0;
  const xml::Node* previous = nullptr;
  for (const auto& [element, i] : order) {
    UndoEntry& entry = zone.undoEntries[i];
    // Only an element that is still in the zone can be taken out again, once.
    if (element == nullptr || element->parent == nullptr || element->parent != entry.parent) continue;
    if (element == previous) continue;
    previous = element;
    entry.savedXml = nodeToXmlString(element, "", false);
    if (EditorObject* record = recordFor(entry)) records.push_back(record);
    else bare.push_back(element);
    entry.record = nullptr;
    ++n;
  }
  removeObjects(editor, records, true);
  for (xml::Node* element : bare) {
    if (zone.insertedBlockNode == element) zone.insertedBlockNode = nullptr;
    xml::Document::unlink(element);
  }
  return n;
}

bool undoDeleted(Editor& editor, UndoEntry& entry) {
  if (entry.parent == nullptr) return false;
  xml::Document scratch;
  const xml::Node* saved = parseElement(scratch, entry.savedXml);
  if (saved == nullptr) return false;
  xml::Node* copy = editor.game.document->copyNode(saved);
  if (copy == nullptr) return false;
  xml::Document::appendChild(entry.parent, copy);
  entry.element = copy;
  entry.record = parseNewObject(editor, copy, 0);
  if (entry.record != nullptr) {
    showKind(editor.zone, entry.record->kind);
    selectObject(editor, entry.record);
  }
  return true;
}

// Puts the saved attributes back on the element and keeps the present ones in their
// place; the records are read again afterwards, all in one pass.
bool restoreAttributes(UndoEntry& entry) {
  xml::Node* element = entry.element;
  if (element == nullptr || element->parent == nullptr || element->parent != entry.parent) return false;
  xml::Document scratch;
  const xml::Node* saved = parseElement(scratch, entry.savedXml);
  if (saved == nullptr) return false;
  const std::string present = nodeToXmlString(element, "", true);
  std::vector<std::string> names;
  for (const xml::Attribute& a : element->attributes) names.emplace_back(a.name);
  for (const std::string& name : names) element->removeAttr(name);
  for (const xml::Attribute& a : saved->attributes) element->setAttr(a.name, a.value);
  entry.savedXml = present;
  return true;
}

int undoAttributes(Editor& editor) {
  std::vector<UndoEntry*> restored;
  std::vector<xml::Node*> elements;
  for (UndoEntry& entry : editor.zone.undoEntries) {
    if (!restoreAttributes(entry)) continue;
    restored.push_back(&entry);
    elements.push_back(entry.element);
  }
  const std::vector<EditorObject*> records = rereadObjects(editor, elements);
  for (std::size_t i = 0; i < restored.size(); ++i) {
    restored[i]->record = records[i];
    if (records[i] != nullptr) selectObject(editor, records[i]);
  }
  return static_cast<int>(restored.size());
}

}  // namespace

std::vector<EditorObject*> selectedEditableObjects(const Editor& editor) {
  std::vector<EditorObject*> out;
  for (const auto& o : editor.zone.objects)
    if ((o->flags & objflag::Selected) && o->kind >= kind::Block && o->kind <= kind::Entrance && o->node)
      out.push_back(o.get());
  return out;
}

void recordUndo(Editor& editor, int undoKind) {
  ZoneState& zone = editor.zone;
  if (zone.openZoneNode == nullptr) return;
  const std::vector<EditorObject*> selection = selectedEditableObjects(editor);
  if (undoKind == undo::Moved || undoKind == undo::Sized) {
    // A run of moves or size changes stays one step while the selection stays the same set.
    std::vector<const EditorObject*> now(selection.begin(), selection.end());
    std::sort(now.begin(), now.end());
    if (now != zone.undoSelection) zone.undoKind = 0;
    zone.undoSelection = std::move(now);
  } else {
    zone.undoSelection.clear();
  }
  if (undoKind == 0 || zone.view.mode == 3) return;
  if (undoKind == zone.undoKind && undoKind >= undo::Moved) return;
  if (selection.empty()) return;
  // One entry for each object in list order, filled in the order the elements lie in
  // memory (the order they were read or made in): a big zone's drawing order would
  // jump all over it.
  zone.undoEntries.assign(selection.size(), UndoEntry{});
  std::vector<std::pair<xml::Node*, std::size_t>> order;
  order.reserve(selection.size());
  for (std::size_t i = 0; i < selection.size(); ++i) order.emplace_back(selection[i]->node, i);
  sortByAddress(order, [](const auto& item) { return item.first; });
  constexpr std::size_t kAhead = 8;
  for (std::size_t k = 0; k < order.size(); ++k) {
    if (k + kAhead < order.size()) __builtin_prefetch(&zone.undoEntries[order[k + kAhead].second], 1);
    const auto& [node, i] = order[k];
    UndoEntry& entry = zone.undoEntries[i];
    entry.element = node;
    entry.parent = node->parent;
    if (undoKind == undo::Created) entry.record = selection[i];
    else entry.savedXml = nodeToXmlString(node, "", undoKind != undo::Deleted);
  }
  zone.undoKind = undoKind;
}

void clampUndoKind(Editor& editor) {
  int& k = editor.zone.undoKind;
  if (k == undo::Moved || k == undo::Sized) k = undo::Attributes;
}

int undoLastStep(Editor& editor) {
  ZoneState& zone = editor.zone;
  if (zone.openZoneNode == nullptr) return 0;
  if (zone.view.mode == 3) {
    discardPlacedObjects(editor);
    zone.view.mode = 0;
    refreshPanel(editor);
    editor.port.redrawCanvas();
    return 0;
  }
  const int before = zone.undoKind;
  if (before == 0) return 0;
  deselectAll(editor);
  int n = 0;
  if (before == undo::Created) {
    n = undoCreated(editor);
  } else if (before == undo::Deleted) {
    for (UndoEntry& entry : zone.undoEntries)
      if (undoDeleted(editor, entry)) ++n;
  } else {
    n = undoAttributes(editor);
  }
  if (before == undo::Created) zone.undoKind = undo::Deleted;
  else if (before == undo::Deleted) zone.undoKind = undo::Created;
  else zone.undoKind = undo::Attributes;
  zone.undoSelection.clear();
  if (n > 0) {
    const char* word = before == undo::Created   ? "Uncreated "
                       : before == undo::Deleted ? "Undeleted "
                       : before == undo::Moved   ? "Unmoved "
                       : before == undo::Sized   ? "Unsized "
                                                 : "Unmodified ";
    editor.port.setStatus(0, word + text::formatInt(n) + " object" + getPluralSuffix(n) + ".");
    markModified(editor);
  }
  syncAreasToNamedBlocks(editor);
  sortObjects(zone);
  editor.port.redrawCanvas();
  updateWindowTitle(editor, false);
  refreshPanel(editor);
  return n;
}

}  // namespace zor::editor
