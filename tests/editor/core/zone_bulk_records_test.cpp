// The zone's records built, read again and removed in bulk give exactly what the
// one-element operations give when applied one by one: on randomized zones, the
// records (in drawing order, every field), the document and every reference to a
// record are compared between the two ways.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <limits>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "editor/core/clipboard.h"
#include "editor/core/edit_commands.h"
#include "editor/core/game_document.h"
#include "editor/core/editing.h"
#include "editor/core/property_panels.h"
#include "editor/core/selection.h"
#include "editor/core/undo.h"
#include "editor/core/zone_records.h"
#include "platform/text.h"
#include "tests/editor/core/editor_fixture.h"

namespace zor::editor::test {
namespace {

struct Lcg {
  uint32_t seed;
  int next(int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
  }
};

// A zone of about `count` objects of every sort the records tell apart: blocks
// plain, of a class, moving on every wave (round ones too), checkpoints, horizons,
// invisible; names shared by several blocks; areas with limits, without, and
// following a name (some names no block has); entrances; three levels.
std::string randomGame(uint32_t seed, int count) {
  Lcg r{seed};
  static const char* const waves[] = {"", "sq", "saw", "tri", "rand", "prox", "parabola", "sine"};
  auto num = [](int v) { return std::to_string(v); };
  std::string s = "<zorlan version=\"1\">"
                  "<class name=\"mover\" w=\"30\" flg=\"motion\" xlim=\"0,50\" ylim=\"0\"/>"
                  "<class name=\"ghost\" h=\"15\" flg=\"invisible,hasface\" color=\"102030\"/>"
                  "<zone id=\"r\" xlim=\"-3000,3000\" ylim=\"-200,1200\"><levels>"
                  "<level z=\"0\" color=\"FFFFFF\"/><level z=\"100\" color=\"808080\"/><level z=\"200\" color=\"404040\"/>"
                  "</levels>";
  for (int i = 0; i < count; ++i) {
    const int pick = r.next(100);
    const std::string name = r.next(4) == 0 ? " oname=\"n" + num(r.next(count / 8 + 1)) + "\"" : "";
    const std::string place = " x=\"" + num(r.next(2000) - 1000) + "\" y=\"" + num(r.next(20) * 10) + "\"" +
                              (r.next(2) ? " level=\"" + num(r.next(4)) + "\"" : " z=\"" + num(r.next(30) * 10) + "\"");
    if (pick < 40) {
      s += "<block" + name + place + " w=\"" + num(5 + r.next(80)) + "\" h=\"" + num(5 + r.next(40)) +
           "\" color=\"" + (r.next(5) ? "A0B0C0" : "") + "\" priority=\"" + num(r.next(3)) + "\"" +
           (r.next(6) == 0 ? " flg=\"checkpoint\"" : r.next(9) == 0 ? " flg=\"horizon\"" : "") + "/>";
    } else if (pick < 60) {
      const std::string lims = " xlim=\"" + num(r.next(300)) + (r.next(3) ? "," + num(300 + r.next(300)) : "") +
                               "\" ylim=\"" + num(r.next(100)) + (r.next(2) ? "," + num(100 + r.next(200)) : "") + "\"";
      s += "<block" + name + place + " w=\"20\" flg=\"motion" + (r.next(3) == 0 ? ",circular" : "") +
           (r.next(8) == 0 ? ",horizon" : "") + "\" wave=\"" + waves[r.next(8)] + "\" phase=\"" + num(r.next(720) - 360) +
           "\" duty=\"0." + num(1 + r.next(9)) + "\"" + lims + "/>";
    } else if (pick < 72) {
      s += "<block" + name + place + " class=\"" + (r.next(2) ? "mover" : "ghost") + "\"/>";
    } else if (pick < 90) {
      if (r.next(3) == 0) {
        s += "<area oname=\"n" + num(r.next(count / 8 + 2)) + "\"" + (r.next(2) ? " level=\"1\"" : "") + "/>";
      } else if (r.next(4) == 0) {
        s += "<area z=\"" + num(r.next(200)) + "\"/>";
      } else {
        s += "<area xlim=\"" + num(r.next(400)) + "," + num(r.next(400)) + "\" ylim=\"" + num(r.next(300)) + "," +
             num(r.next(300)) + "\" level=\"" + num(r.next(3)) + "\"/>";
      }
    } else if (pick < 95) {
      s += "<entrance_e" + num(i) + place + "/>";
    } else {
      s += "<wordbox text=\"t\"/>";
    }
  }
  return s + "</zone></zorlan>";
}

// One record as plain values; its element as the element's place among the zone's
// children (so that two editors of the same file compare).
using RecordValues = std::tuple<int32_t, int, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, int32_t, int32_t,
                                int32_t, uint32_t>;

// Each child of the open zone by its place among the zone's children.
std::unordered_map<const xml::Node*, int> placesInZone(const Editor& editor) {
  std::unordered_map<const xml::Node*, int> places;
  int i = 0;
  for (const xml::Node* c = editor.zone.openZoneNode->firstChild; c; c = c->next) places.emplace(c, i++);
  return places;
}

// The value a map has for `key`, -1 for a key it does not have.
template <typename Map, typename Key>
int valueOr(const Map& map, const Key* key) {
  const auto it = map.find(key);
  return it == map.end() ? -1 : it->second;
}

std::vector<RecordValues> records(const Editor& editor) {
  const auto places = placesInZone(editor);
  std::vector<RecordValues> out;
  for (const auto& o : editor.zone.objects) {
    out.emplace_back(o->kind, valueOr(places, o->node), std::bit_cast<uint32_t>(o->x),
                     std::bit_cast<uint32_t>(o->y), std::bit_cast<uint32_t>(o->z), std::bit_cast<uint32_t>(o->w),
                     std::bit_cast<uint32_t>(o->h), o->colour, o->priority, o->flags, std::bit_cast<uint32_t>(o->trans));
  }
  return out;
}

std::vector<int> indexesIn(const Editor& editor, const std::vector<EditorObject*>& pointers) {
  std::vector<int> out;
  for (const EditorObject* p : pointers) {
    int at = -1;
    for (std::size_t i = 0; i < editor.zone.objects.size(); ++i)
      if (editor.zone.objects[i].get() == p) at = static_cast<int>(i);
    out.push_back(at);
  }
  return out;
}

std::string documentText(const Editor& editor) {
  std::string out;
  editor.game.document->write(out, nullptr);
  return out;
}

// Duplicate the plain way: each chosen object copied, named and read in list order.
void duplicatePlainly(Editor& editor, const std::vector<EditorObject*>& chosen) {
  collectObjectNames(editor);
  for (EditorObject* o : chosen) {
    deselectObject(editor, o);
    xml::Node* copy = editor.game.document->copyNode(o->node);
    xml::Document::insertBefore(o->node->parent, copy, o->node->next);
    if (o->kind == kind::Block) {
      const std::string oname = copy->attr("oname");
      if (!oname.empty()) copy->setAttr("oname", makeUniqueObjectName(editor, oname, kind::Block));
    } else if (o->kind == kind::Entrance) {
      copy->setName(makeUniqueObjectName(editor, copy->name, kind::Entrance));
    }
    selectObject(editor, parseNewObject(editor, copy, 0));
  }
  recordUndo(editor, undo::Created);
  syncAreasToNamedBlocks(editor);
  sortObjects(editor.zone);
}

// The undo entries of two editors of the same file name the same things: each entry's
// element by its place in the zone, whether its parent is the zone, and its record by
// its index in the list (-1 for none).
void expectSameUndoEntries(const Editor& editor, const Editor& other) {
  auto indexesOf = [](const Editor& e) {
    std::unordered_map<const EditorObject*, int> index;
    for (std::size_t k = 0; k < e.zone.objects.size(); ++k) index.emplace(e.zone.objects[k].get(), static_cast<int>(k));
    return index;
  };
  ASSERT_EQ(editor.zone.undoEntries.size(), other.zone.undoEntries.size());
  const auto placeA = placesInZone(editor), placeB = placesInZone(other);
  const auto indexA = indexesOf(editor), indexB = indexesOf(other);
  for (std::size_t k = 0; k < editor.zone.undoEntries.size(); ++k) {
    const UndoEntry& a = editor.zone.undoEntries[k];
    const UndoEntry& b = other.zone.undoEntries[k];
    ASSERT_EQ(valueOr(placeA, a.element), valueOr(placeB, b.element)) << k;
    ASSERT_EQ(a.parent == editor.zone.openZoneNode, b.parent == other.zone.openZoneNode) << k;
    ASSERT_EQ(valueOr(indexA, a.record), valueOr(indexB, b.record)) << k;
  }
}

// Two editors on the same file: one for the bulk way, one for the one-by-one way.
class ZoneBulkRecordsTest : public EditorTest {
 protected:
  FakePort otherPort;
  Editor other{otherPort};

  void openBoth(uint32_t seed, int count) {
    const std::string path = writeFile("r" + std::to_string(seed) + ".zorlan", randomGame(seed, count));
    for (Editor* e : {&editor, &other}) {
      ASSERT_TRUE(loadGameFileForEditing(*e, path));
      ASSERT_TRUE(openZone(*e, e->game.zones.at(0).node));
    }
    ASSERT_EQ(records(editor).size(), records(other).size());
  }

  // The same marks on the records at the same places in both editors.
  void markBoth(uint32_t seed, int32_t flag, int oneIn) {
    for (Editor* e : {&editor, &other}) {
      Lcg r{seed};
      for (auto& o : e->zone.objects) {
        if (r.next(oneIn) != 0) continue;
        // Path previews are never picked, so never hidden: re-reading a block replaces them.
        if (flag == objflag::Hidden && o->kind > kind::Entrance) continue;
        if (flag == objflag::Selected) {
          selectObject(*e, o.get());
        } else {
          o->flags |= flag;
          if (flag == objflag::Hidden) e->zone.hiddenObjects.push_back(o.get());
        }
      }
    }
  }
};

TEST_F(ZoneBulkRecordsTest, OpeningAZoneReadsWhatReadingEachElementReads) {
  for (uint32_t seed : {1u, 2u, 3u, 4u, 5u}) {
    SCOPED_TRACE(seed);
    openBoth(seed, 300);
    // The one-by-one way: every element read by itself, the areas that follow a
    // name read again once all blocks are in, then sorted.
    other.zone.objects.clear();
    for (xml::Node* c = other.zone.openZoneNode->firstElement(); c; c = c->nextElement())
      parseObjectByKind(other, c, false, 0);
    std::vector<xml::Node*> named;
    for (const auto& o : other.zone.objects)
      if (o->kind == kind::Area && !o->node->attr("oname").empty()) named.push_back(o->node);
    for (xml::Node* a : named) parseArea(other, a, false, 0);
    sortObjects(other.zone);
    EXPECT_EQ(records(editor), records(other));
  }
}

TEST_F(ZoneBulkRecordsTest, ReadingAllBlocksAgainKeepsTheOrderOfReadingEachBlock) {
  for (uint32_t seed : {11u, 12u, 13u, 14u}) {
    SCOPED_TRACE(seed);
    openBoth(seed, 300);
    markBoth(seed, objflag::Selected, 5);
    markBoth(seed + 100, objflag::BeingPlaced, 7);
    markBoth(seed + 200, objflag::Hidden, 9);
    // The classes change under the blocks, and some blocks change unread.
    for (Editor* e : {&editor, &other}) {
      xml::Node* mover = e->game.root->firstElement();
      mover->setAttr("xlim", "-40,90");
      mover->setAttr("flg", seed % 2 ? "motion,circular" : "solid");
      e->game.root->firstElement()->nextElement()->setAttr("flg", "checkpoint");
      Lcg r{seed};
      for (xml::Node* c = e->zone.openZoneNode->firstElement(); c; c = c->nextElement()) {
        if (c->name != "block" || r.next(6) != 0) continue;
        c->setAttr("flg", r.next(2) ? "motion" : "invisible");
        c->setAttr("wave", r.next(2) ? "parabola" : "tri");
      }
    }
    reparseAllBlocks(editor);
    std::vector<xml::Node*> blocks;
    for (const auto& o : other.zone.objects)
      if (o->kind == kind::Block) blocks.push_back(o->node);
    for (xml::Node* b : blocks) parseBlock(other, b, false, 0);
    EXPECT_EQ(records(editor), records(other));
    // Twice over, and with a sort, the two ways stay the same.
    reparseAllBlocks(editor);
    for (xml::Node* b : blocks) parseBlock(other, b, false, 0);
    sortObjects(editor.zone);
    sortObjects(other.zone);
    EXPECT_EQ(records(editor), records(other));
  }
}

TEST_F(ZoneBulkRecordsTest, DeletingTheSelectionRemovesWhatRemovingEachObjectRemoves) {
  for (uint32_t seed : {21u, 22u, 23u, 24u}) {
    SCOPED_TRACE(seed);
    openBoth(seed, 300);
    markBoth(seed, objflag::Hidden, 4);
    markBoth(seed + 1, objflag::Selected, 3);
    for (Editor* e : {&editor, &other}) {
      // References into the list that must not be left pointing at removed records.
      recordUndo(*e, undo::Created);
      e->canvas.lastClickedObject = e->zone.objects.at(7).get();
      e->canvas.pendingDrag = e->zone.objects.at(8).get();
      e->zone.insertedBlockNode = e->zone.objects.at(9)->node;
    }
    const int bulk = deleteSelectedObjects(editor);
    // The one-by-one way.
    int single = 0;
    flushBlockTemplate(other);
    for (;;) {
      EditorObject* selected = nullptr;
      for (const auto& o : other.zone.objects)
        if ((o->flags & objflag::Selected) && o->kind <= kind::Entrance) {
          selected = o.get();
          break;
        }
      if (selected == nullptr) break;
      removeObject(other, selected, true);
      ++single;
    }
    other.zone.selectionCount = 0;
    EXPECT_EQ(bulk, single);
    EXPECT_EQ(records(editor), records(other));
    EXPECT_EQ(documentText(editor), documentText(other));
    EXPECT_EQ(indexesIn(editor, editor.zone.hiddenObjects), indexesIn(other, other.zone.hiddenObjects));
    EXPECT_EQ(editor.zone.selectionCount, other.zone.selectionCount);
    EXPECT_EQ(editor.canvas.lastClickedObject == nullptr, other.canvas.lastClickedObject == nullptr);
    EXPECT_EQ(editor.canvas.pendingDrag == nullptr, other.canvas.pendingDrag == nullptr);
    EXPECT_EQ(editor.zone.insertedBlockNode == nullptr, other.zone.insertedBlockNode == nullptr);
    ASSERT_EQ(editor.zone.undoEntries.size(), other.zone.undoEntries.size());
    for (std::size_t i = 0; i < editor.zone.undoEntries.size(); ++i)
      EXPECT_EQ(editor.zone.undoEntries[i].record == nullptr, other.zone.undoEntries[i].record == nullptr) << i;
    // Every reference left points at a record still in the list.
    for (const EditorObject* h : editor.zone.hiddenObjects) EXPECT_NE(indexesIn(editor, {const_cast<EditorObject*>(h)})[0], -1);
  }
}

// Duplicating many objects at once (their copies made together in readied
// memory) writes the document and the records that duplicating each by itself,
// in the order of the selection, gives.
TEST_F(ZoneBulkRecordsTest, DuplicatingTheSelectionCopiesWhatDuplicatingEachCopies) {
  for (uint32_t seed : {41u, 42u, 43u}) {
    SCOPED_TRACE(seed);
    openBoth(seed, 300);
    markBoth(seed, objflag::Selected, 2);
    const std::vector<EditorObject*> chosen = selectedEditableObjects(other);
    const int selected = static_cast<int>(chosen.size());
    ASSERT_GT(selected, 1);
    ASSERT_EQ(duplicateSelection(editor), selected);
    for (EditorObject* o : chosen) {
      deselectAll(other);
      selectObject(other, o);
      ASSERT_EQ(duplicateSelection(other), 1);
    }
    deselectAll(editor);
    deselectAll(other);
    EXPECT_EQ(records(editor), records(other));
    EXPECT_EQ(documentText(editor), documentText(other));
  }
}

// Duplicating reads the copies (in whatever order it likes) into what copying each
// chosen object in list order, naming the copy and reading it as a new element gives:
// the records with their selection, the document and the undo step.
TEST_F(ZoneBulkRecordsTest, DuplicatingGivesWhatCopyingAndReadingEachInListOrderGives) {
  struct Case {
    uint32_t seed;
    int count;
    int oneIn;  // one object in so many chosen
  };
  for (const Case& c : {Case{51, 300, 2}, Case{52, 400, 1}, Case{53, 250, 3}, Case{54, 120, 1}}) {
    SCOPED_TRACE(c.seed);
    openBoth(c.seed, c.count);
    markBoth(c.seed, objflag::Selected, c.oneIn);
    const std::vector<EditorObject*> chosen = selectedEditableObjects(other);
    ASSERT_GT(chosen.size(), 1u);
    ASSERT_EQ(duplicateSelection(editor), static_cast<int>(chosen.size()));
    duplicatePlainly(other, chosen);
    EXPECT_EQ(records(editor), records(other));
    EXPECT_EQ(editor.zone.selectionCount, other.zone.selectionCount);
    EXPECT_EQ(documentText(editor), documentText(other));
    expectSameUndoEntries(editor, other);
  }
}

// The names collected from a zone (read in whatever order) are those of its blocks and
// entrances, each kind apart, as a walk over the list finds them: before and after a
// duplicate has named copies.
TEST_F(ZoneBulkRecordsTest, CollectingNamesTakesWhatAWalkOverTheListFinds) {
  for (uint32_t seed : {61u, 62u, 63u}) {
    SCOPED_TRACE(seed);
    openBoth(seed, 300);
    for (int round = 0; round < 2; ++round) {
      if (round == 1) {
        markBoth(seed, objflag::Selected, 2);
        ASSERT_GT(duplicateSelection(editor), 0);
      }
      ASSERT_TRUE(collectObjectNames(editor));
      std::set<std::pair<std::string, int>> plain;
      for (const auto& o : editor.zone.objects) {
        if (o->kind == kind::Block && !o->node->attr("oname").empty())
          plain.emplace(text::toLower(o->node->attr("oname")), kind::Block);
        else if (o->kind == kind::Entrance)
          plain.emplace(text::toLower(o->node->name), kind::Entrance);
      }
      ASSERT_FALSE(plain.empty());
      std::vector<std::string> probes = {"", "n", "entrance", "block"};
      for (const auto& [name, k] : plain) {
        probes.push_back(name);
        probes.push_back(text::toUpper(name));
        probes.push_back(name + "0");
      }
      for (const std::string& probe : probes)
        for (int k : {kind::Block, kind::Entrance})
          EXPECT_EQ(editor.zone.names.taken(probe, k), plain.count({text::toLower(probe), k}) > 0) << probe << " " << k;
    }
  }
}

// Undoing a duplicate takes the copies out as taking each copy out by itself does;
// the document is then as it was.
TEST_F(ZoneBulkRecordsTest, UndoingADuplicateRemovesWhatRemovingEachCopyRemoves) {
  for (uint32_t seed : {31u, 32u, 33u}) {
    SCOPED_TRACE(seed);
    openBoth(seed, 200);
    const std::string before = documentText(editor);
    markBoth(seed, objflag::Selected, 2);
    markBoth(seed + 1, objflag::Hidden, 5);
    const int selected = static_cast<int>(selectedEditableObjects(editor).size());
    ASSERT_EQ(duplicateSelection(editor), selected);
    ASSERT_EQ(duplicateSelection(other), selected);
    EXPECT_EQ(undoLastStep(editor), selected);
    // The one-by-one way.
    deselectAll(other);
    int single = 0;
    for (UndoEntry& entry : other.zone.undoEntries) {
      xml::Node* element = entry.element;
      if (element == nullptr || element->parent == nullptr || element->parent != entry.parent) continue;
      EditorObject* record = nullptr;
      for (const auto& o : other.zone.objects)
        if (o->node == element && o->kind >= kind::Block && o->kind <= kind::Entrance) {
          record = o.get();
          break;
        }
      if (record != nullptr) removeObject(other, record, true);
      else xml::Document::unlink(element);
      ++single;
    }
    syncAreasToNamedBlocks(other);
    sortObjects(other.zone);
    EXPECT_EQ(single, selected);
    EXPECT_EQ(records(editor), records(other));
    EXPECT_EQ(indexesIn(editor, editor.zone.hiddenObjects), indexesIn(other, other.zone.hiddenObjects));
    EXPECT_EQ(documentText(editor), before);
    EXPECT_EQ(documentText(other), before);
  }
}

// A duplicate of more objects than one batch of copies holds (some elements with
// children, some with text to escape), against copying, naming and reading each chosen
// object in list order: the records in their order with their selection, the document,
// the undo step's elements and records. Its undo then against taking each copy out by
// itself: the texts kept, the records, and the document as it was before.
TEST_F(ZoneBulkRecordsTest, DuplicatingAndUndoingABigSelectionGiveWhatThePlainWayGives) {
  for (uint32_t seed : {91u, 92u}) {
    SCOPED_TRACE(seed);
    openBoth(seed, 11000);
    for (Editor* e : {&editor, &other}) {
      Lcg r{seed};
      for (xml::Node* c = e->zone.openZoneNode->firstElement(); c; c = c->nextElement()) {
        const int pick = r.next(40);
        if (pick == 0) {
          xml::Node* child = e->game.document->createElement("note");
          child->setAttr("a", "1");
          xml::Document::appendChild(child, e->game.document->createText("first line\n  <second>\n"));
          xml::Document::appendChild(c, child);
        } else if (pick == 1) {
          c->setAttr("notes", "a \"quoted\"\nvalue & more");
        }
      }
      reparseAllBlocks(*e);
      sortObjects(e->zone);
    }
    const std::string before = documentText(editor);
    ASSERT_EQ(before, documentText(other));
    ASSERT_EQ(records(editor), records(other));
    markBoth(seed, objflag::Selected, 1 + static_cast<int>(seed % 2));
    const std::vector<EditorObject*> chosen = selectedEditableObjects(other);
    ASSERT_GT(chosen.size(), 4096u);  // more than one batch of copies
    ASSERT_EQ(duplicateSelection(editor), static_cast<int>(chosen.size()));
    duplicatePlainly(other, chosen);
    ASSERT_EQ(records(editor), records(other));
    EXPECT_EQ(editor.zone.selectionCount, other.zone.selectionCount);
    ASSERT_EQ(documentText(editor), documentText(other));
    ASSERT_NO_FATAL_FAILURE(expectSameUndoEntries(editor, other));
    // The undo, and the plain way: each copy taken out by itself.
    EXPECT_EQ(undoLastStep(editor), static_cast<int>(chosen.size()));
    deselectAll(other);
    std::vector<std::string> texts;
    for (UndoEntry& entry : other.zone.undoEntries) {
      xml::Node* element = entry.element;
      if (element == nullptr || element->parent == nullptr || element->parent != entry.parent) continue;
      texts.push_back(nodeToXmlString(element, "", false));
      EditorObject* record = entry.record;
      if (record != nullptr && record->node == element) removeObject(other, record, true);
      else xml::Document::unlink(element);
    }
    syncAreasToNamedBlocks(other);
    sortObjects(other.zone);
    ASSERT_EQ(texts.size(), editor.zone.undoEntries.size());
    for (std::size_t k = 0; k < texts.size(); ++k)
      ASSERT_EQ(std::string(editor.zone.undoEntries[k].savedXml), texts[k]) << k;
    for (const UndoEntry& entry : editor.zone.undoEntries) EXPECT_EQ(entry.record, nullptr);
    EXPECT_EQ(editor.zone.selectionCount, 0);
    EXPECT_EQ(records(editor), records(other));
    EXPECT_EQ(documentText(editor), before);
    EXPECT_EQ(documentText(other), before);
  }
}

// Sorting by keys set side by side orders as the three stable sorts on the records
// do, ties, signed zeros and values that are not numbers included.
TEST_F(ZoneBulkRecordsTest, SortingOrdersAsThreeStableSortsByEachKey) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (uint32_t seed : {41u, 42u, 43u, 44u, 45u, 46u}) {
    SCOPED_TRACE(seed);
    openBoth(seed, 250);
    Lcg r{seed};
    for (std::size_t i = 0; i < editor.zone.objects.size(); ++i) {
      EditorObject* mine = editor.zone.objects[i].get();
      EditorObject* theirs = other.zone.objects[i].get();
      const int pick = r.next(20);
      float z = mine->z;
      if (pick == 0) z = -0.0f;
      else if (pick == 1) z = 0.0f;
      else if (pick == 2 && seed % 2 == 0) z = nan;
      float y = static_cast<float>(r.next(4) * 10);
      if (pick == 3 && seed % 3 == 0) y = nan;
      mine->z = theirs->z = z;
      mine->y = theirs->y = y;
      // An area's priority comes from its size, which stays.
      if (mine->kind != kind::Area) mine->priority = theirs->priority = r.next(3);
    }
    sortObjects(editor.zone);
    auto& list = other.zone.objects;
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a->y > b->y; });
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a->priority > b->priority; });
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a->z > b->z; });
    EXPECT_EQ(records(editor), records(other));
  }
}

// Reading a set of elements again in one pass gives what reading each in turn gives,
// once the areas that follow a name are brought to their blocks (as every edit does).
TEST_F(ZoneBulkRecordsTest, ReadingElementsAgainInOnePassReadsWhatReadingEachReads) {
  for (uint32_t seed : {51u, 52u, 53u, 54u}) {
    SCOPED_TRACE(seed);
    openBoth(seed, 300);
    markBoth(seed, objflag::Selected, 4);
    markBoth(seed + 100, objflag::Hidden, 9);
    std::vector<std::vector<xml::Node*>> chosen(2);
    for (int side = 0; side < 2; ++side) {
      Editor& e = side == 0 ? editor : other;
      Lcg r{seed};
      std::vector<xml::Node*> all;
      for (xml::Node* c = e.zone.openZoneNode->firstElement(); c; c = c->nextElement()) all.push_back(c);
      for (xml::Node* c : all) {
        const int pick = r.next(10);
        if (pick > 4) continue;
        // Changed elements, elements changed into moving blocks, and some no record has yet.
        if (c->name == "block" && pick == 0) c->setAttr("flg", r.next(2) ? "motion,circular" : "checkpoint");
        if (c->name == "block" && pick == 1) c->setAttr("x", std::to_string(r.next(500)));
        if (c->name == "area" && pick == 2) c->setAttr("xlim", "5," + std::to_string(r.next(300)));
        if (pick == 3) {
          xml::Node* copy = e.game.document->copyNode(c);
          xml::Document::appendChild(e.zone.openZoneNode, copy);
          chosen[side].push_back(copy);
        }
        chosen[side].push_back(c);
        if (pick == 4) chosen[side].push_back(c);  // twice over
      }
    }
    const std::vector<EditorObject*> bulk = rereadObjects(editor, chosen[0]);
    std::vector<EditorObject*> single;
    for (xml::Node* c : chosen[1]) single.push_back(parseObjectByKind(other, c, false, 0));
    syncAreasToNamedBlocks(editor);
    syncAreasToNamedBlocks(other);
    EXPECT_EQ(records(editor), records(other));
    EXPECT_EQ(indexesIn(editor, bulk), indexesIn(other, single));
    EXPECT_EQ(indexesIn(editor, editor.zone.hiddenObjects), indexesIn(other, other.zone.hiddenObjects));
    EXPECT_EQ(documentText(editor), documentText(other));
  }
}

// Pasting reads and moves each pasted object as reading it into the whole list and
// moving it there does: moving blocks, areas, entrances and names that are taken.
TEST_F(ZoneBulkRecordsTest, PastingReadsAndMovesWhatReadingAndMovingEachInTheListGives) {
  for (uint32_t seed : {61u, 62u, 63u}) {
    SCOPED_TRACE(seed);
    openBoth(seed, 250);
    markBoth(seed, objflag::Selected, 3);
    const std::string clip = copySelection(editor);
    ASSERT_FALSE(clip.empty());
    for (Editor* e : {&editor, &other}) {
      deselectAll(*e);
      e->zone.view.camx = 35.0f;
    }
    port.clipboard = clip;
    const int pasted = pasteFromClipboard(editor);
    // The one-by-one way, each object read into the whole list and moved there.
    const ClipboardContent content = readClipboardText(clip);
    ASSERT_TRUE(content.document);
    xml::Node* at = other.zone.objects.back()->node;
    collectObjectNames(other);
    int single = 0;
    for (const xml::Node* c = content.document->root()->firstElement(); c; c = c->nextElement()) {
      xml::Node* copy = other.game.document->copyNode(c);
      xml::Document::insertBefore(at->parent, copy, at->next);
      at = copy;
      if (copy->name == "block" && !copy->attr("oname").empty())
        copy->setAttr("oname", makeUniqueObjectName(other, copy->attr("oname"), kind::Block));
      else if (copy->name != "block" && copy->name != "area")
        copy->setName(makeUniqueObjectName(other, std::string(copy->name), kind::Entrance));
      EditorObject* record = parseObjectByKind(other, copy, false, objflag::BeingPlaced);
      ASSERT_NE(record, nullptr);
      moveObject(other, record, content.camx, content.camy);
      selectObject(other, record);
      ++single;
    }
    syncAreasToNamedBlocks(other);
    sortObjects(other.zone);
    EXPECT_EQ(pasted, single);
    EXPECT_EQ(records(editor), records(other));
    EXPECT_EQ(documentText(editor), documentText(other));
    EXPECT_EQ(editor.zone.selectionCount, other.zone.selectionCount);
  }
}

// Undoing a change of attributes over many objects restores and reads them as undoing
// each in turn does.
TEST_F(ZoneBulkRecordsTest, UndoingAttributesOfManyObjectsReadsWhatUndoingEachReads) {
  for (uint32_t seed : {71u, 72u, 73u}) {
    SCOPED_TRACE(seed);
    openBoth(seed, 250);
    markBoth(seed, objflag::Selected, 2);
    for (Editor* e : {&editor, &other}) {
      recordUndo(*e, undo::Attributes);
      Lcg r{seed};
      for (EditorObject* o : selectedEditableObjects(*e)) {
        const int pick = r.next(4);
        if (pick == 0) o->node->setAttr("flg", "motion,circular");
        else if (pick == 1) o->node->setAttr("class", "mover");
        else if (pick == 2) o->node->setAttr("x", std::to_string(r.next(400)));
        else o->node->removeAttr("y");
        parseObjectByKind(*e, o->node, false, 0);
      }
    }
    const int bulk = undoLastStep(editor);
    // The one-by-one way.
    deselectAll(other);
    int single = 0;
    for (UndoEntry& entry : other.zone.undoEntries) {
      xml::Document scratch;
      ASSERT_TRUE(scratch.parse(entry.savedXml, nullptr));
      xml::Node* element = entry.element;
      while (!element->attributes.empty()) element->removeAttr(std::string(element->attributes[0].name));
      for (const xml::Attribute& a : scratch.root()->attributes) element->setAttr(a.name, a.value);
      selectObject(other, parseObjectByKind(other, element, false, 0));
      ++single;
    }
    syncAreasToNamedBlocks(other);
    sortObjects(other.zone);
    EXPECT_EQ(bulk, single);
    EXPECT_EQ(records(editor), records(other));
    EXPECT_EQ(documentText(editor), documentText(other));
    EXPECT_EQ(editor.zone.selectionCount, other.zone.selectionCount);
  }
}

// Typing a field for many blocks (their elements written in the order they lie in
// memory, into memory readied for them) writes and reads what typing it for each
// block by itself does, also on copies that still share their attributes with their
// originals; undoing it gives the document back as it was.
TEST_F(ZoneBulkRecordsTest, ApplyingAFieldToManyBlocksWritesWhatApplyingToEachWrites) {
  struct Case {
    uint32_t seed;
    bool duplicateFirst;
    int field;
    const char* value;
  };
  const Case cases[] = {{81, false, blockfield::Trans, "0.25"}, {82, true, blockfield::Trans, "0.5"},
                        {83, true, blockfield::Trans, ""},      {84, false, blockfield::X, "12"},
                        {85, true, blockfield::Persist, "p"},   {86, true, blockfield::W, "33"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seed);
    openBoth(c.seed, 250);
    for (Editor* e : {&editor, &other}) {
      Lcg r{c.seed};
      for (auto& o : e->zone.objects)
        if (o->kind == kind::Block && r.next(2) == 0) selectObject(*e, o.get());
      // The copies are selected afterwards.
      if (c.duplicateFirst) {
        ASSERT_GT(duplicateSelection(*e), 1);
      }
    }
    const std::string before = documentText(editor);
    editor.panel = fillPanel(editor);
    ASSERT_EQ(editor.panel.kind, PanelKind::Block);
    editor.panel.fields[static_cast<std::size_t>(c.field)] = c.value;
    ASSERT_TRUE(applyFieldToSelection(editor, editor.panel, c.field));
    // The one-by-one way.
    const std::vector<EditorObject*> chosen = selectedEditableObjects(other);
    ASSERT_GT(chosen.size(), 1u);
    for (EditorObject* o : chosen) {
      deselectAll(other);
      selectObject(other, o);
      PanelState panel = fillPanel(other);
      panel.fields[static_cast<std::size_t>(c.field)] = c.value;
      ASSERT_TRUE(applyFieldToSelection(other, panel, c.field));
    }
    for (EditorObject* o : chosen) selectObject(other, o);
    EXPECT_EQ(records(editor), records(other));
    EXPECT_EQ(documentText(editor), documentText(other));
    EXPECT_EQ(undoLastStep(editor), static_cast<int>(chosen.size()));
    EXPECT_EQ(documentText(editor), before);
  }
}

// The undo step as kept and applied one entry at a time, each saved text a string of
// its own parsed as a document by itself: the plain way the step's texts, kept side
// by side and parsed together, must give the same results as.
class PlainUndo {
 public:
  // What recordUndo keeps for each entry it made.
  void recorded(const Editor& e) {
    texts.clear();
    for (const UndoEntry& entry : e.zone.undoEntries)
      texts.push_back(e.zone.undoKind == undo::Created ? ""
                                                        : nodeToXmlString(entry.element, "", e.zone.undoKind != undo::Deleted));
  }

  int undo(Editor& e) {
    ZoneState& zone = e.zone;
    const int before = zone.undoKind;
    deselectAll(e);
    int n = 0;
    if (before == undo::Created) {
      std::vector<xml::Node*> taken;
      for (std::size_t i = 0; i < zone.undoEntries.size(); ++i) {
        UndoEntry& entry = zone.undoEntries[i];
        xml::Node* element = entry.element;
        if (element == nullptr || element->parent == nullptr || element->parent != entry.parent) continue;
        if (std::find(taken.begin(), taken.end(), element) != taken.end()) continue;
        taken.push_back(element);
        texts[i] = nodeToXmlString(element, "", false);
        EditorObject* record = nullptr;
        for (const auto& o : zone.objects)
          if (o->node == element && o->kind >= kind::Block && o->kind <= kind::Entrance) {
            record = o.get();
            break;
          }
        entry.record = nullptr;
        if (record != nullptr) removeObject(e, record, true);
        else xml::Document::unlink(element);
        ++n;
      }
      zone.undoKind = undo::Deleted;
    } else if (before == undo::Deleted) {
      for (std::size_t i = 0; i < zone.undoEntries.size(); ++i) {
        UndoEntry& entry = zone.undoEntries[i];
        if (entry.parent == nullptr) continue;
        xml::Document scratch;
        if (!scratch.parse(texts[i], nullptr)) continue;
        xml::Node* copy = e.game.document->copyNode(scratch.root());
        xml::Document::appendChild(entry.parent, copy);
        entry.element = copy;
        entry.record = parseNewObject(e, copy, 0);
        if (entry.record != nullptr) {
          if (entry.record->kind == kind::Block) zone.showBlocks = true;
          else if (entry.record->kind == kind::Area) zone.showAreas = true;
          else zone.showEntrances = true;
          selectObject(e, entry.record);
        }
        ++n;
      }
      zone.undoKind = undo::Created;
    } else {
      std::vector<UndoEntry*> restored;
      std::vector<xml::Node*> elements;
      for (std::size_t i = 0; i < zone.undoEntries.size(); ++i) {
        UndoEntry& entry = zone.undoEntries[i];
        xml::Node* element = entry.element;
        if (element == nullptr || element->parent == nullptr || element->parent != entry.parent) continue;
        xml::Document scratch;
        if (!scratch.parse(texts[i], nullptr)) continue;
        texts[i] = nodeToXmlString(element, "", true);
        while (!element->attributes.empty()) element->removeAttr(std::string(element->attributes[0].name));
        for (const xml::Attribute& a : scratch.root()->attributes) element->setAttr(a.name, a.value);
        restored.push_back(&entry);
        elements.push_back(element);
      }
      const std::vector<EditorObject*> records = rereadObjects(e, elements);
      for (std::size_t i = 0; i < restored.size(); ++i) {
        restored[i]->record = records[i];
        if (records[i] != nullptr) selectObject(e, records[i]);
      }
      n = static_cast<int>(restored.size());
      zone.undoKind = undo::Attributes;
    }
    zone.undoSelection.clear();
    syncAreasToNamedBlocks(e);
    sortObjects(zone);
    return n;
  }

  std::vector<std::string> texts;
};

// Random runs of selections, duplicates, deletes, changed attributes and undos (redos
// among them) on zones whose objects hold text of several lines: undoing the step
// writes the document, the records and the texts the plain way does, after every step.
TEST_F(ZoneBulkRecordsTest, UndoRunsWriteWhatThePlainUndoWrites) {
  for (uint32_t seed : {81u, 82u, 83u, 84u}) {
    SCOPED_TRACE(seed);
    openBoth(seed, 150 + 50 * static_cast<int>(seed % 3));
    // Some elements hold text over several lines, some attribute values need escaping.
    for (Editor* e : {&editor, &other}) {
      Lcg r{seed};
      for (xml::Node* c = e->zone.openZoneNode->firstElement(); c; c = c->nextElement()) {
        const int pick = r.next(8);
        if (pick == 0) xml::Document::appendChild(c, e->game.document->createText("first line\n  second <line>\n"));
        else if (pick == 1) c->setAttr("notes", "a \"quoted\"\nvalue & more");
      }
    }
    PlainUndo plain;
    Lcg r{seed * 7 + 1};
    for (int step = 0; step < 40; ++step) {
      SCOPED_TRACE(step);
      const int action = r.next(6);
      const uint32_t pickSeed = seed * 1000 + static_cast<uint32_t>(step);
      if (action == 0) {
        deselectAll(editor);
        deselectAll(other);
        markBoth(pickSeed, objflag::Selected, 1 + static_cast<int>(pickSeed % 4));
      } else if (action == 1) {
        const int n = duplicateSelection(editor);
        ASSERT_EQ(n, duplicateSelection(other));
        if (n > 0) plain.recorded(other);
      } else if (action == 2) {
        for (Editor* e : {&editor, &other}) {
          const bool recording = !selectedEditableObjects(*e).empty();
          recordUndo(*e, undo::Deleted);
          if (e == &other && recording) plain.recorded(other);
          deleteSelectedObjects(*e);
        }
      } else if (action == 3) {
        for (Editor* e : {&editor, &other}) {
          const bool recording = !selectedEditableObjects(*e).empty();
          recordUndo(*e, undo::Attributes);
          if (e == &other && recording) plain.recorded(other);
          Lcg change{pickSeed};
          for (EditorObject* o : selectedEditableObjects(*e)) {
            const int pick = change.next(5);
            if (pick == 0) o->node->setAttr("trans", "0.5");
            else if (pick == 1) o->node->setAttr("x", std::to_string(change.next(400)));
            else if (pick == 2) o->node->removeAttr("y");
            else if (pick == 3) o->node->setAttr("flg", "motion,circular");
            else o->node->setAttr("id", "i" + std::to_string(change.next(50)));
            parseObjectByKind(*e, o->node, false, 0);
          }
        }
      } else {
        const int kindBefore = editor.zone.undoKind;
        ASSERT_EQ(kindBefore, other.zone.undoKind);
        const int bulk = undoLastStep(editor);
        const int single = kindBefore == 0 ? 0 : plain.undo(other);
        EXPECT_EQ(bulk, single);
      }
      ASSERT_EQ(editor.zone.undoKind, other.zone.undoKind);
      ASSERT_EQ(editor.zone.undoEntries.size(), other.zone.undoEntries.size());
      if (editor.zone.undoKind != 0) {
        ASSERT_EQ(plain.texts.size(), editor.zone.undoEntries.size());
        for (std::size_t i = 0; i < plain.texts.size(); ++i)
          ASSERT_EQ(std::string(editor.zone.undoEntries[i].savedXml), plain.texts[i]) << i;
      }
      ASSERT_EQ(documentText(editor), documentText(other));
      ASSERT_EQ(records(editor), records(other));
      ASSERT_EQ(editor.zone.selectionCount, other.zone.selectionCount);
      ASSERT_EQ(std::make_tuple(editor.zone.showBlocks, editor.zone.showAreas, editor.zone.showEntrances),
                std::make_tuple(other.zone.showBlocks, other.zone.showAreas, other.zone.showEntrances));
    }
  }
}

}  // namespace
}  // namespace zor::editor::test
