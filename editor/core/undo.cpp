#include "editor/core/undo.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

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

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Keeps for an entry what nodeToXmlString(element, "", stripChildren) gives, written in
// `scratch` (kept from one element to the next).
std::string_view keepElementText(UndoTexts& texts, uint32_t entry, std::string& scratch, const xml::Node* element,
                                 bool stripChildren) {
  if (element == nullptr) return texts.add({}, entry);
  if (stripChildren && element->firstChild) return texts.add(nodeToXmlString(element, "", true), entry);
  xml::Document::writeNode(element, scratch, nullptr);
  if (!scratch.empty() && (isBlank(scratch.front()) || isBlank(scratch.back())))
    return texts.add(text::trim(scratch), entry);
  return texts.add(scratch, entry);
}

// Calls visit(entry index, element) for each saved text of the step in the order they
// were kept, with the element the text holds (null when it does not parse as a
// document of its own). The texts are parsed some at a time, as the children of one
// element of a scratch document, and each is checked to be exactly one element that
// starts where its text starts; where they are not (or the batch does not parse), the
// texts of the batch are parsed one by one. An element is valid during its visit.
// Before the visits of a batch parsed together, the document readies in one piece the
// memory they take, as measure(entry index, element) tells for each.
template <typename Measure, typename Visit>
void forEachSavedElement(const ZoneState& zone, xml::Document& document, Measure measure, Visit visit) {
  const UndoTexts& texts = zone.undoTexts;
  const std::vector<UndoEntry>& entries = zone.undoEntries;
  constexpr std::size_t kBatchBytes = std::size_t{16} << 10;
  xml::Document batch;
  xml::Document single;
  std::string all;
  std::vector<int> lines;                  // for each text, the line its element must start on (0: no text)
  std::vector<const xml::Node*> elements;  // for each text of the batch
  for (std::size_t first = 0; first < texts.size();) {
    std::size_t last = first;
    std::size_t bytes = 0;
    std::size_t withText = 0;
    all.assign("<undo>");
    lines.clear();
    int line = 1;
    while (last < texts.size() && (last == first || bytes < kBatchBytes)) {
      const std::string_view text = entries[texts.owner(last)].savedXml;
      ++last;
      if (text.empty()) {  // parses to nothing
        lines.push_back(0);
        continue;
      }
      all += '\n';
      ++line;
      lines.push_back(line);
      line += static_cast<int>(std::count(text.begin(), text.end(), '\n'));
      all += text;
      bytes += text.size();
      ++withText;
    }
    all += "\n</undo>";
    elements.assign(last - first, nullptr);
    bool together = withText > 1 && batch.parse(all, nullptr) && batch.root() != nullptr;
    if (together) {
      std::size_t k = 0;
      for (const xml::Node* c = batch.root()->firstChild; c != nullptr && together; c = c->next) {
        if (c->type == xml::NodeType::Text && std::all_of(c->text.begin(), c->text.end(), isBlank)) continue;
        while (k < lines.size() && lines[k] == 0) ++k;
        together = c->isElement() && k < lines.size() && c->line == lines[k];
        if (together) elements[k++] = c;
      }
      while (k < lines.size() && lines[k] == 0) ++k;
      together = together && k == lines.size();
    }
    if (together) {
      std::size_t need = 0;
      for (std::size_t k = first; k < last; ++k)
        if (elements[k - first] != nullptr) need += measure(texts.owner(k), elements[k - first]);
      document.reserveForCopies(need);
    }
    for (std::size_t k = first; k < last; ++k) {
      const uint32_t i = texts.owner(k);
      if (together || lines[k - first] == 0) {
        visit(i, elements[k - first]);
      } else {
        visit(i, single.parse(entries[i].savedXml, nullptr) ? static_cast<const xml::Node*>(single.root()) : nullptr);
      }
    }
    first = last;
  }
}

// Takes the created elements that are still in the zone out again, with their records,
// in one pass over the list. Returns the number taken out.
int undoCreated(Editor& editor) {
  ZoneState& zone = editor.zone;
  std::vector<UndoEntry>& entries = zone.undoEntries;
  // Each element's first record: the one the entry kept while it is still there (a
  // record that goes is taken off its entry), else found in the list. Whether each
  // entry's record is still there is found first, in the entries' order: the records
  // of a big step lie in that order. Each entry's element and parent are taken along
  // with its index, for the walk in the order the elements lie in memory (the first
  // entry of an element first): a big step's elements are then read in turn, not all
  // over, and the entries (in list order) are only written in that walk.
  struct Item {
    xml::Node* element;
    const xml::Node* parent;
    std::size_t index;
  };
  constexpr std::size_t kAhead = 16;
  std::vector<uint8_t> keeps(entries.size(), 0);
  std::vector<Item> order;
  order.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i + kAhead < entries.size() && entries[i + kAhead].record != nullptr)
      __builtin_prefetch(entries[i + kAhead].record);
    const UndoEntry& entry = entries[i];
    const EditorObject* kept = entry.record;
    keeps[i] = kept != nullptr && kept->node == entry.element && kept->kind >= kind::Block &&
               kept->kind <= kind::Entrance;
    order.push_back({entry.element, entry.parent, i});
  }
  sortByAddress(order, [](const Item& item) { return item.element; });
  std::optional<AddressTable<EditorObject*>> recordOf;
  auto recordFor = [&](const UndoEntry& entry, std::size_t i) -> EditorObject* {
    if (keeps[i]) return entry.record;
    if (!recordOf) {
      recordOf.emplace(zone.objects.size());
      for (const auto& o : zone.objects)
        if (o->kind >= kind::Block && o->kind <= kind::Entrance && o->node) recordOf->emplace(o->node, o.get());
    }
    EditorObject* const* found = recordOf->find(entry.element);
    return found ? *found : nullptr;
  };
  // The texts of the elements taken out are written anew; the other entries keep theirs.
  UndoTexts texts;
  texts.reserve(entries.size());
  std::string scratch;
  std::vector<uint8_t> written(entries.size(), 0);
  int n = 0;
  const xml::Node* previous = nullptr;
  for (std::size_t k = 0; k < order.size(); ++k) {
    if (k + kAhead < order.size()) __builtin_prefetch(&entries[order[k + kAhead].index], 1);
    const Item& item = order[k];
    xml::Node* element = item.element;
    // Only an element that is still in the zone can be taken out again, once.
    if (element == nullptr || element->parent == nullptr || element->parent != item.parent) continue;
    if (element == previous) continue;
    previous = element;
    entries[item.index].savedXml = keepElementText(texts, static_cast<uint32_t>(item.index), scratch, element, false);
    written[item.index] = 1;
    ++n;
  }
  // The records go in the entries' order, the order they lie in.
  std::vector<EditorObject*> records;
  records.reserve(static_cast<std::size_t>(n));
  std::vector<xml::Node*> bare;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    UndoEntry& entry = entries[i];
    if (!written[i]) {
      entry.savedXml = texts.add(entry.savedXml, static_cast<uint32_t>(i));
      continue;
    }
    if (EditorObject* record = recordFor(entry, i)) records.push_back(record);
    else bare.push_back(entry.element);
    entry.record = nullptr;
  }
  zone.undoTexts = std::move(texts);
  removeObjects(editor, records, true);
  for (xml::Node* element : bare) {
    if (zone.insertedBlockNode == element) zone.insertedBlockNode = nullptr;
    xml::Document::unlink(element);
  }
  return n;
}

// Puts the deleted elements back at the end of their parents, in the entries' order,
// and reads them into new records. Returns the number put back.
int undoDeleted(Editor& editor) {
  ZoneState& zone = editor.zone;
  std::vector<UndoEntry>& entries = zone.undoEntries;
  xml::Document& document = *editor.game.document;
  // The copies are made as their texts are read (in the order they were written),
  // then linked in the entries' order.
  std::vector<uint8_t> copied(entries.size(), 0);
  auto measure = [&](std::size_t i, const xml::Node* saved) {
    return entries[i].parent == nullptr ? 0 : xml::Document::copyBytes(saved);
  };
  forEachSavedElement(zone, document, measure, [&](std::size_t i, const xml::Node* saved) {
    UndoEntry& entry = entries[i];
    if (entry.parent == nullptr || saved == nullptr || copied[i]) return;
    xml::Node* copy = document.copyNode(saved);
    if (copy == nullptr) return;
    entry.element = copy;
    copied[i] = 1;
  });
  // The copies lie in the order of the texts, not of the entries: each copy (its node,
  // then its attributes and their text, made right after it) is asked for some entries
  // before it is linked and read.
  constexpr std::size_t kAhead = 16;
  int n = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i + kAhead < entries.size() && copied[i + kAhead]) {
      const char* ahead = reinterpret_cast<const char*>(entries[i + kAhead].element);
      for (int line = 0; line < 5; ++line) __builtin_prefetch(ahead + 64 * line);
    }
    if (!copied[i]) continue;
    UndoEntry& entry = entries[i];
    xml::Document::appendChild(entry.parent, entry.element);
    entry.record = parseNewObject(editor, entry.element, 0);
    if (entry.record != nullptr) {
      showKind(zone, entry.record->kind);
      selectObject(editor, entry.record);
    }
    ++n;
  }
  return n;
}

// Puts the saved attributes back on each element and keeps the present ones in their
// place; the records are read again afterwards, all in one pass.
int undoAttributes(Editor& editor) {
  ZoneState& zone = editor.zone;
  std::vector<UndoEntry>& entries = zone.undoEntries;
  UndoTexts texts;
  texts.reserve(entries.size());
  std::string scratch;
  std::vector<uint8_t> done(entries.size(), 0);  // 1: kept its text, 2: restored
  auto restore = [&](std::size_t i, const xml::Node* saved) {
    UndoEntry& entry = entries[i];
    xml::Node* element = entry.element;
    if (done[i] != 0) return;
    if (saved == nullptr || element == nullptr || element->parent == nullptr || element->parent != entry.parent) {
      entry.savedXml = texts.add(entry.savedXml, static_cast<uint32_t>(i));
      done[i] = 1;
      return;
    }
    entry.savedXml = keepElementText(texts, static_cast<uint32_t>(i), scratch, element, true);
    while (!element->attributes.empty()) element->removeAttr(element->attributes[element->attributes.size() - 1].name);
    for (const xml::Attribute& a : saved->attributes) element->setAttr(a.name, a.value);
    done[i] = 2;
  };
  // Restoring commutes between different elements: when the texts were kept in the
  // order their elements lie in memory, one element each, they are restored in that
  // order; else in the entries' order, as the elements of one must be.
  bool inMemoryOrder = zone.undoTexts.size() == entries.size();
  const xml::Node* previous = nullptr;
  for (std::size_t k = 0; k < zone.undoTexts.size() && inMemoryOrder; ++k) {
    const xml::Node* element = entries[zone.undoTexts.owner(k)].element;
    if (element == nullptr) continue;
    inMemoryOrder = std::less<const xml::Node*>()(previous, element);
    previous = element;
  }
  if (inMemoryOrder) {
    // At most what restoring an element takes: an array of its own for the attributes
    // it has (when shared with a copy), the arrays the saved ones grow into, and their text.
    auto measure = [&](std::size_t i, const xml::Node* saved) {
      const xml::Node* element = entries[i].element;
      if (element == nullptr) return std::size_t{0};
      std::size_t bytes = element->attributes.size() * sizeof(xml::Attribute) + alignof(xml::Attribute);
      std::size_t capacity = 0;
      for (std::size_t size = 0; size < saved->attributes.size(); ++size) {
        if (size >= capacity) {
          capacity = std::max<std::size_t>(4, size + size / 4 + 1);
          bytes += capacity * sizeof(xml::Attribute) + alignof(xml::Attribute);
        }
        bytes += saved->attributes[size].name.size() + saved->attributes[size].value.size();
      }
      return bytes;
    };
    forEachSavedElement(zone, *editor.game.document, measure, restore);
  } else {
    xml::Document single;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const xml::Node* element = entries[i].element;
      const bool valid = element != nullptr && element->parent != nullptr && element->parent == entries[i].parent;
      restore(i, valid && single.parse(entries[i].savedXml, nullptr) ? single.root() : nullptr);
    }
  }
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (done[i] == 0) entries[i].savedXml = texts.add(entries[i].savedXml, static_cast<uint32_t>(i));
  zone.undoTexts = std::move(texts);
  std::vector<UndoEntry*> restored;
  std::vector<xml::Node*> elements;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (done[i] != 2) continue;
    restored.push_back(&entries[i]);
    elements.push_back(entries[i].element);
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
  // The records of a big zone lie all over memory in list order: each is asked for
  // some steps before it is read.
  const auto& objects = editor.zone.objects;
  constexpr std::size_t kAhead = 16;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    if (i + kAhead < objects.size()) __builtin_prefetch(objects[i + kAhead].get());
    EditorObject* o = objects[i].get();
    if ((o->flags & objflag::Selected) && o->kind >= kind::Block && o->kind <= kind::Entrance && o->node)
      out.push_back(o);
  }
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
  UndoTexts texts;
  if (undoKind != undo::Created) texts.reserve(selection.size());
  std::string scratch;
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
    if (undoKind == undo::Created)
      entry.record = selection[i];
    else
      entry.savedXml = keepElementText(texts, static_cast<uint32_t>(i), scratch, node, undoKind != undo::Deleted);
  }
  zone.undoTexts = std::move(texts);
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
    n = undoDeleted(editor);
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
