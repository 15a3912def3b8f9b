#include "editor/core/editing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/core/address_table.h"
#include "editor/core/edit_commands.h"
#include "editor/core/editor.h"
#include "editor/core/number_text.h"
#include "editor/core/script_edit.h"
#include "editor/core/selection.h"
#include "editor/core/undo.h"
#include "format/values.h"
#include "platform/text.h"

namespace zor::editor {

namespace {

void finishCommand(Editor& editor, const std::string& status) {
  markModified(editor);
  editor.port.redrawCanvas();
  refreshPanel(editor);
  editor.port.setStatus(0, status);
}

std::string objectsText(int n) { return text::formatInt(n) + " object" + getPluralSuffix(n) + "."; }

// A limits text "a,b" with exactly one comma: its first field as written and both numbers.
struct Limits {
  bool valid = false;
  std::string firstText;
  float a = 0.0f;
  float b = 0.0f;
  float extent() const { return b - a; }
};
Limits readLimits(const std::string& value) {
  Limits l;
  if (text::countChar(value, ',') != 1) return l;
  l.firstText = text::field(value, ',', 0);
  l.a = format::readFloat(l.firstText);
  l.b = format::readFloat(text::field(value, ',', 1));
  l.valid = std::isfinite(l.a) && std::isfinite(l.b);
  return l;
}

std::string limitsText(const Limits& l, float extent) {
  return l.firstText + "," + trimmedDecimal(static_cast<double>(l.a + extent));
}

void reread(Editor& editor, EditorObject* record) { parseObjectByKind(editor, record->node, false, 0); }

}  // namespace

bool collectObjectNames(Editor& editor) {
  ZoneState& zone = editor.zone;
  zone.names.clear();
  if (zone.openZoneNode == nullptr) return false;
  // The names make a set: the elements are read in the order they lie in memory (the
  // drawing order of a big zone jumps all over it), each asked for some steps ahead.
  // An element's address carries in its lowest bit whether it is an entrance's.
  std::vector<uintptr_t> elements;
  elements.reserve(zone.objects.size());
  constexpr std::size_t kAhead = 16;
  const auto& objects = zone.objects;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    if (i + kAhead < objects.size()) __builtin_prefetch(objects[i + kAhead].get());
    const EditorObject& o = *objects[i];
    if (o.node == nullptr || (o.kind != kind::Block && o.kind != kind::Entrance)) continue;
    elements.push_back(reinterpret_cast<uintptr_t>(o.node) | (o.kind == kind::Entrance ? 1u : 0u));
  }
  static_assert(alignof(xml::Node) > 1);
  sortByAddress(elements, [](uintptr_t e) { return reinterpret_cast<const void*>(e); });
  auto nodeOf = [](uintptr_t e) { return reinterpret_cast<const xml::Node*>(e & ~uintptr_t{1}); };
  for (std::size_t k = 0; k < elements.size(); ++k) {
    if (k + kAhead < elements.size()) __builtin_prefetch(nodeOf(elements[k + kAhead]));
    if (k + kAhead / 2 < elements.size()) __builtin_prefetch(nodeOf(elements[k + kAhead / 2])->attributes.begin());
    const xml::Node* node = nodeOf(elements[k]);
    if (elements[k] & 1u) {
      zone.names.add(node->name, kind::Entrance);
    } else {
      const std::string_view oname = node->attr("oname");
      if (!oname.empty()) zone.names.add(oname, kind::Block);
    }
  }
  return true;
}

std::string makeUniqueObjectName(Editor& editor, const std::string& name, int nameKind) {
  return editor.zone.names.makeUnique(name, nameKind);
}

int duplicateSelection(Editor& editor) {
  ZoneState& zone = editor.zone;
  // Copies of objects still being placed would stay behind at the mouse-relative place.
  if (zone.openZoneNode == nullptr || zone.view.mode != 0) return 0;
  const std::vector<EditorObject*> originals = selectedEditableObjects(editor);
  const int n = static_cast<int>(originals.size());
  if (n == 0) return 0;
  collectObjectNames(editor);
  // Each copy goes right after its original, so the copies can be made in any order:
  // they are made in the order the originals lie in memory (the drawing order of a big
  // zone jumps all over it), in one piece of the document's memory, and each copy of a
  // block is read into its record as soon as it is made, while its element is at hand.
  // Names and records follow in the originals' list order. The originals' records are
  // read (and deselected) once, in list order, each asked for some steps ahead.
  constexpr std::size_t kAhead = 16;
  std::vector<std::pair<xml::Node*, std::size_t>> inMemory;
  inMemory.reserve(originals.size());
  std::vector<uint8_t> isBlock(originals.size(), 0);
  for (std::size_t i = 0; i < originals.size(); ++i) {
    if (i + kAhead < originals.size()) __builtin_prefetch(originals[i + kAhead]);
    EditorObject* o = originals[i];
    inMemory.emplace_back(o->node, i);
    isBlock[i] = o->kind == kind::Block;
    deselectObject(editor, o);
  }
  sortByAddress(inMemory, [](const auto& item) { return item.first; });
  // The records of blocks are made in the originals' list order (where the walks over
  // the list find them side by side). (A block's record does not depend on its name.)
  struct Made {
    std::unique_ptr<EditorObject> record;
    xml::Node* copy = nullptr;
    std::string_view oname;  // the copy's name as copied (it shares the original's text)
    uint32_t firstPreview = 0;
    uint32_t previewCount = 0;
  };
  std::vector<Made> made(originals.size());
  for (std::size_t i = 0; i < originals.size(); ++i)
    if (isBlock[i]) made[i].record = std::make_unique<EditorObject>();
  std::vector<EditorObject> previewPool;
  std::vector<EditorObject> previews;
  xml::Document& document = *editor.game.document;
  // The memory a batch of copies takes is readied before the batch is made: the
  // originals it measures are then still at hand when they are copied.
  constexpr std::size_t kBatch = 4096;
  for (std::size_t first = 0; first < inMemory.size(); first += kBatch) {
    const std::size_t last = std::min(inMemory.size(), first + kBatch);
    if (n > 1) {
      std::size_t copyBytes = 0;
      for (std::size_t k = first; k < last; ++k) {
        if (k + kAhead < last) __builtin_prefetch(inMemory[k + kAhead].first);
        copyBytes += document.copyBytesHere(inMemory[k].first);
      }
      document.reserveForCopies(copyBytes);
    }
    for (std::size_t k = first; k < last; ++k) {
      if (k + kAhead < inMemory.size()) __builtin_prefetch(&made[inMemory[k + kAhead].second]);
      if (k + kAhead / 2 < inMemory.size()) {
        const auto& [aheadNode, aheadIndex] = inMemory[k + kAhead / 2];
        if (EditorObject* ahead = made[aheadIndex].record.get()) __builtin_prefetch(ahead, 1);
        if (aheadNode->next != nullptr) __builtin_prefetch(aheadNode->next, 1);
      }
      const auto& [node, i] = inMemory[k];
      Made& m = made[i];
      xml::Node* copy = document.copyNode(node);
      if (copy == nullptr) {
        m.record.reset();
        continue;
      }
      xml::Document::insertBefore(node->parent, copy, node->next);
      m.copy = copy;
      if (m.record == nullptr) continue;
      if (!readNewBlock(editor, copy, *m.record, previews)) {
        m.record.reset();
        continue;
      }
      m.oname = copy->attr("oname");
      m.firstPreview = static_cast<uint32_t>(previewPool.size());
      m.previewCount = static_cast<uint32_t>(previews.size());
      previewPool.insert(previewPool.end(), previews.begin(), previews.end());
    }
  }
  // The walk in list order gives the names, and puts the records in the list with their
  // path previews. A copy that is renamed is asked for some steps ahead, then the
  // attributes it shares.
  for (std::size_t i = 0; i < originals.size(); ++i) {
    if (i + kAhead < made.size()) {
      const Made& ahead = made[i + kAhead];
      __builtin_prefetch(ahead.record.get(), 1);
      if (ahead.previewCount != 0) __builtin_prefetch(&previewPool[ahead.firstPreview]);
      if (!ahead.oname.empty()) __builtin_prefetch(ahead.copy, 1);
    }
    if (i + kAhead / 2 < made.size()) {
      const Made& ahead = made[i + kAhead / 2];
      if (!ahead.oname.empty()) __builtin_prefetch(ahead.copy->attributes.begin());
    }
    xml::Node* copy = made[i].copy;
    if (copy == nullptr) continue;
    Made& m = made[i];
    if (m.record != nullptr) {
      if (!m.oname.empty())
        copy->setAttr("oname", makeUniqueObjectName(editor, std::string(m.oname), kind::Block));
      EditorObject* record = m.record.get();
      zone.objects.push_back(std::move(m.record));
      for (uint32_t p = 0; p < m.previewCount; ++p)
        zone.objects.push_back(std::make_unique<EditorObject>(previewPool[m.firstPreview + p]));
      selectObject(editor, record);
      continue;
    }
    const int32_t k = originals[i]->kind;
    if (k == kind::Block) {
      const std::string oname = copy->attr("oname");
      if (!oname.empty()) copy->setAttr("oname", makeUniqueObjectName(editor, oname, kind::Block));
    } else if (k == kind::Entrance) {
      copy->setName(makeUniqueObjectName(editor, std::string(copy->name), kind::Entrance));
    }
    selectObject(editor, parseNewObject(editor, copy, 0));
  }
  recordUndo(editor, undo::Created);
  syncAreasToNamedBlocks(editor);
  sortObjects(zone);
  refreshPanel(editor);
  std::string status;
  if (n > 1) {
    status = "Duplicated " + text::formatInt(n) + " objects.";
  } else {
    const int32_t k = originals.front()->kind;
    status = std::string("Duplicated ") + (k == kind::Block ? "block" : k == kind::Area ? "area" : "entrance") + ".";
  }
  editor.port.setStatus(0, status);
  markModified(editor);
  editor.port.redrawCanvas();
  return n;
}

bool insertObject(Editor& editor, int wanted) {
  ZoneState& zone = editor.zone;
  if (zone.openZoneNode == nullptr || editor.game.document == nullptr) return false;
  recomputeSelectionKind(zone);
  int k = wanted;
  if (k == 0) k = zone.selectionKind >= kind::Block && zone.selectionKind <= kind::Entrance ? zone.selectionKind : 1;
  if (k < kind::Block || k > kind::Entrance) return false;

  xml::Node* previous = nullptr;
  float depth = getLevelDepth(zone, -1);
  std::string zText;
  std::string levelText;
  if (zone.view.mode != 3) {
    for (EditorObject* o : selectedEditableObjects(editor)) {
      previous = o->node;
      depth = o->z;
      zText = o->node->attr("z");
      levelText = o->node->attr("level");
    }
  }
  if (zone.view.mode == 3) {
    discardPlacedObjects(editor);
    zone.view.mode = 0;
  } else {
    deselectAll(editor);
  }
  if (zText.empty() && levelText.empty()) zText = trimmedDecimal(static_cast<double>(depth));

  xml::Document& doc = *editor.game.document;
  xml::Node* element = nullptr;
  if (k == kind::Block) {
    zone.showBlocks = true;
    xml::Document scratch;
    if (!scratch.parse(zone.blockTemplate, nullptr) || scratch.root() == nullptr) {
      zone.blockTemplate = kDefaultBlockTemplate;
      scratch.parse(zone.blockTemplate, nullptr);
    }
    element = doc.copyNode(scratch.root());
    if (element == nullptr) return false;
    element->setAttr("x", element->hasAttr("w")
                              ? trimmedDecimal(-static_cast<double>(format::readFloat(element->attr("w"))) / 2.0)
                              : "-10");
    element->setAttr("y", element->hasAttr("h")
                              ? trimmedDecimal(-static_cast<double>(format::readFloat(element->attr("h"))) / 2.0)
                              : "-10");
    element->setAttr("z", zText);
    element->setAttr("level", levelText);
    element->removeAttr("oname");
  } else if (k == kind::Area) {
    zone.showAreas = true;
    element = doc.createElement("area");
    element->setAttr("xlim", "-20,20");
    element->setAttr("ylim", "-20,20");
    element->setAttr("z", zText);
    element->setAttr("level", levelText);
  } else {
    zone.showEntrances = true;
    std::string name;
    for (long n = 1;; ++n) {
      name = "entrance_e" + text::formatInt(n);
      bool taken = false;
      for (const xml::Node* c = zone.openZoneNode->firstElement(); c && !taken; c = c->nextElement())
        taken = text::toLower(c->name) == name;
      if (!taken) break;
    }
    element = doc.createElement(name);
    element->setAttr("x", "-10");
    element->setAttr("y", "-10");
    element->setAttr("z", zText);
    element->setAttr("level", levelText);
  }
  xml::Node* parent = previous != nullptr && previous->parent != nullptr ? previous->parent : zone.openZoneNode;
  xml::Document::insertBefore(parent, element, previous != nullptr ? previous->next : nullptr);
  EditorObject* record = parseObjectByKind(editor, element, true, objflag::BeingPlaced);
  selectObject(editor, record);
  zone.view.mode = 3;
  if (k == kind::Block) zone.insertedBlockNode = element;
  refreshPanel(editor);
  editor.port.redrawCanvas();
  return true;
}

void fitObjects(Editor& editor) {
  ZoneState& zone = editor.zone;
  if (zone.openZoneNode == nullptr) return;
  std::string input;
  if (!editor.port.promptForText("Fit Objects", "Enter a size (or width,height) to fit objects to:", "", 0, &input))
    return;
  input = text::trim(input);
  if (input.empty()) return;
  const float W = format::readFloat(text::trim(text::field(input, ',', 0)));
  const float H = input.find(',') != std::string::npos ? format::readFloat(text::trim(text::field(input, ',', 1))) : W;
  if (!(W > 0.0f) || !(H > 0.0f) || !std::isfinite(W) || !std::isfinite(H)) return;
  int n = 0;
  for (EditorObject* o : selectedEditableObjects(editor)) {
    xml::Node* e = o->node;
    if (o->kind == kind::Block) {
      const float w = format::readFloat(e->attr("w")), h = format::readFloat(e->attr("h"));
      if (!(w > 0.0f) || !(h > 0.0f) || !std::isfinite(w) || !std::isfinite(h)) continue;
      const float s = std::min(W / w, H / h);
      e->setAttr("w", trimmedDecimal(static_cast<double>(w * s)));
      e->setAttr("h", trimmedDecimal(static_cast<double>(h * s)));
    } else if (o->kind == kind::Area) {
      const Limits xl = readLimits(e->attr("xlim")), yl = readLimits(e->attr("ylim"));
      if (!xl.valid || !yl.valid || !(xl.extent() > 0.0f) || !(yl.extent() > 0.0f)) continue;
      const float s = std::min(W / xl.extent(), H / yl.extent());
      e->setAttr("xlim", limitsText(xl, xl.extent() * s));
      e->setAttr("ylim", limitsText(yl, yl.extent() * s));
    } else {
      continue;
    }
    reread(editor, o);
    ++n;
  }
  if (n == 0) return;
  syncAreasToNamedBlocks(editor);
  finishCommand(editor, "Fit " + objectsText(n));
}

void resizeSelection(Editor& editor, EditorObject* record, float dw, float dh) {
  if (editor.zone.openZoneNode == nullptr || record == nullptr || record->node == nullptr) return;
  xml::Node* e = record->node;
  bool changed = false;
  if (record->kind == kind::Block) {
    if (!e->attr("w").empty() && dw != 0.0f) {
      e->setAttr("w", trimmedDecimal(static_cast<double>(std::max(format::readFloat(e->attr("w")) + dw, 5.0f))));
      changed = true;
    }
    if (!e->attr("h").empty() && dh != 0.0f) {
      e->setAttr("h", trimmedDecimal(static_cast<double>(std::max(format::readFloat(e->attr("h")) + dh, 5.0f))));
      changed = true;
    }
  } else if (record->kind == kind::Area) {
    const Limits xl = readLimits(e->attr("xlim")), yl = readLimits(e->attr("ylim"));
    if (xl.valid && dw != 0.0f) {
      e->setAttr("xlim", limitsText(xl, std::max(xl.extent() + dw, 5.0f)));
      changed = true;
    }
    if (yl.valid && dh != 0.0f) {
      e->setAttr("ylim", limitsText(yl, std::max(yl.extent() + dh, 5.0f)));
      changed = true;
    }
  }
  if (!changed) return;
  reread(editor, record);
  syncAreasToNamedBlocks(editor);
  if (editor.zone.selectionCount == 1) editor.port.refreshPanel();
  markModified(editor);
}

void rotateSelection(Editor& editor) {
  if (editor.zone.openZoneNode == nullptr) return;
  int n = 0;
  for (EditorObject* o : selectedEditableObjects(editor)) {
    xml::Node* e = o->node;
    if (o->kind == kind::Block) {
      const xml::Attribute* wa = e->findAttr("w");
      const xml::Attribute* ha = e->findAttr("h");
      if (wa == nullptr && ha == nullptr) continue;
      const std::string w = wa ? std::string(wa->value) : std::string();
      const std::string h = ha ? std::string(ha->value) : std::string();
      const bool hadW = wa != nullptr, hadH = ha != nullptr;
      if (hadH) e->setAttr("w", h);
      else e->removeAttr("w");
      if (hadW) e->setAttr("h", w);
      else e->removeAttr("h");
    } else if (o->kind == kind::Area) {
      const Limits xl = readLimits(e->attr("xlim")), yl = readLimits(e->attr("ylim"));
      if (!xl.valid || !yl.valid || !(xl.extent() > 0.0f) || !(yl.extent() > 0.0f)) continue;
      const float w = xl.extent(), h = yl.extent();
      e->setAttr("xlim", limitsText(xl, h));
      e->setAttr("ylim", limitsText(yl, w));
    } else {
      continue;
    }
    reread(editor, o);
    ++n;
  }
  if (n == 0) return;
  syncAreasToNamedBlocks(editor);
  finishCommand(editor, "Rotated " + objectsText(n));
}

void squareSelection(Editor& editor, int direction) {
  if (editor.zone.openZoneNode == nullptr || (direction != 1 && direction != -1)) return;
  auto sideOf = [direction](float w, float h, float* side) {
    const bool wOk = w > 0.0f && std::isfinite(w), hOk = h > 0.0f && std::isfinite(h);
    if (wOk && hOk) *side = direction == 1 ? std::max(w, h) : std::min(w, h);
    else if (wOk) *side = w;
    else if (hOk) *side = h;
    else return false;
    return true;
  };
  int n = 0;
  for (EditorObject* o : selectedEditableObjects(editor)) {
    xml::Node* e = o->node;
    float side = 0.0f;
    if (o->kind == kind::Block) {
      if (!sideOf(format::readFloat(e->attr("w")), format::readFloat(e->attr("h")), &side)) continue;
      e->setAttr("w", trimmedDecimal(static_cast<double>(side)));
      e->setAttr("h", trimmedDecimal(static_cast<double>(side)));
    } else if (o->kind == kind::Area) {
      const Limits xl = readLimits(e->attr("xlim")), yl = readLimits(e->attr("ylim"));
      if (!xl.valid || !yl.valid || !sideOf(xl.extent(), yl.extent(), &side)) continue;
      e->setAttr("xlim", limitsText(xl, side));
      e->setAttr("ylim", limitsText(yl, side));
    } else {
      continue;
    }
    reread(editor, o);
    ++n;
  }
  if (n == 0) return;
  syncAreasToNamedBlocks(editor);
  finishCommand(editor, "Squared " + objectsText(n));
}

bool replaceObjectWithElement(Editor& editor, EditorObject* record, const xml::Node* replacement) {
  ZoneState& zone = editor.zone;
  if (zone.openZoneNode == nullptr || record == nullptr || record->node == nullptr || replacement == nullptr)
    return false;
  const std::string name = text::toLower(replacement->name);
  if (!replacement->isElement() || (name != "block" && name != "area" && name.compare(0, 8, "entrance") != 0)) {
    editor.port.messageBox("ZorlED", "Invalid XML node name.", MessageIcon::Warning);
    editor.port.focusCanvas();
    return false;
  }
  xml::Node* old = record->node;
  xml::Node* copy = editor.game.document->copyNode(replacement);
  if (copy == nullptr) return false;
  xml::Document::insertBefore(old->parent, copy, old->next);
  deselectAll(editor);
  selectObject(editor, record);
  deleteSelectedObjects(editor);
  // The old object is gone and the new one came from outside any step: an undo
  // of the deletion alone would bring the old object back beside the new one.
  clearUndoList(zone);
  zone.undoSelection.clear();
  selectObject(editor, parseObjectByKind(editor, copy, false, 0));
  syncAreasToNamedBlocks(editor);
  sortObjects(zone);
  refreshPanel(editor);
  editor.port.redrawCanvas();
  markModified(editor);
  editor.port.focusCanvas();
  return true;
}

void editObjectXml(Editor& editor) {
  ZoneState& zone = editor.zone;
  if (zone.openZoneNode == nullptr || editor.game.document == nullptr) return;
  const std::vector<EditorObject*> selection = selectedEditableObjects(editor);
  if (selection.size() > 1) {
    editor.port.messageBox("ZorlED", "Select only one object to manually edit.", MessageIcon::Warning);
    editor.port.focusCanvas();
    return;
  }
  if (selection.empty()) return;
  EditorObject* record = selection.front();
  const char* title = record->kind == kind::Block  ? "Edit Block"
                      : record->kind == kind::Area ? "Edit Area"
                                                   : "Edit Entrance";
  const char* prompt = record->kind == kind::Block  ? "Edit block definition:"
                       : record->kind == kind::Area ? "Edit area definition:"
                                                    : "Edit entrance definition:";
  ScriptSession session(editor, title, prompt, nodeToXmlString(record->node, "", false), ScriptContext::Zone);
  if (runScriptEditor(editor, session) != 1) {
    editor.port.focusCanvas();
    return;
  }
  const xml::Node* edited = session.resultDocument ? session.resultDocument->root() : nullptr;
  if (edited == nullptr) {
    editor.port.messageBox("ZorlED", "Invalid XML node name.", MessageIcon::Warning);
    editor.port.focusCanvas();
    return;
  }
  replaceObjectWithElement(editor, record, edited);
}

}  // namespace zor::editor
