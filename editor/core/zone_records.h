// The open zone beside the document: its depth levels, the object records the
// canvas draws and hits (blocks, areas, entrances and the path previews of
// moving blocks), the view, and the reading of zone elements into records.
// Records are views: every edit writes the element first and reads it again.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "editor/core/object_names.h"
#include "platform/xml.h"

namespace zor::editor {

struct Editor;

namespace kind {
inline constexpr int32_t Block = 1;
inline constexpr int32_t Area = 2;
inline constexpr int32_t Entrance = 3;
inline constexpr int32_t PathLine = 4;
inline constexpr int32_t PathEllipse = 5;
}  // namespace kind

namespace objflag {
inline constexpr int32_t Checkpoint = 0x1;
inline constexpr int32_t Invisible = 0x2;
inline constexpr int32_t Selected = 0x4;
inline constexpr int32_t Motion = 0x8;
inline constexpr int32_t HasFace = 0x10;
inline constexpr int32_t Horizon = 0x20;
inline constexpr int32_t BeingPlaced = 0x40;
inline constexpr int32_t Marked = 0x80;  // for the length of one pass (the records a removal takes out)
inline constexpr int32_t Hidden = 0x100;
}  // namespace objflag

inline constexpr int32_t kSelectionNone = 6;  // selection kind when nothing is selected

struct EditorObject {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float w = 0.0f;
  float h = 0.0f;
  int32_t colour = 0;  // 0x00BBGGRR
  int32_t priority = 0;
  int32_t flags = 0;
  float trans = 0.0f;
  int32_t kind = 0;
  xml::Node* node = nullptr;
};

struct EditorLevel {
  std::string zText;
  float z = 0.0f;
  std::string colourText;
  int32_t colour = 0;
  int32_t unlocked = 0;
  xml::Node* node = nullptr;
};

struct ZoneView {
  std::string zoneId;  // lower case
  float camx = 0.0f;
  float camy = 0.0f;
  float camz = 0.0f;
  int32_t mode = 0;  // 0 idle, 1 panning, 2 moving the selection, 3 placing
  std::string name;
  std::string persist;
  std::string notes;
  std::array<std::string, 32> zflagNames;
  std::string xlimText;
  std::string ylimText;
  float xmin = -1100.0f;
  float xmax = 1100.0f;
  float ymin = -100.0f;
  float ymax = 1100.0f;
};

// One object's part of the single undo step: its saved XML text is kept in the
// step's text store (UndoTexts).
struct UndoEntry {
  xml::Node* element = nullptr;
  xml::Node* parent = nullptr;
  EditorObject* record = nullptr;
  std::string_view savedXml;
};

// The saved texts of the undo step, in the order they were kept, each with the
// entry it belongs to. They lie side by side in pieces of a moderate size (so a big
// step reuses memory the process has rather than asking for fresh memory), and
// stay where they are while the store lives.
class UndoTexts {
 public:
  // Keeps a copy of `text` for entry `entry`.
  std::string_view add(std::string_view text, uint32_t entry);
  void reserve(std::size_t texts) { owners_.reserve(texts); }
  void clear();
  std::size_t size() const { return owners_.size(); }
  // The entry of the k-th text kept.
  uint32_t owner(std::size_t k) const { return owners_[k]; }

 private:
  static constexpr std::size_t kPiece = std::size_t{32} << 10;
  std::vector<std::unique_ptr<char[]>> pieces_;
  char* cursor_ = nullptr;
  std::size_t left_ = 0;
  std::vector<uint32_t> owners_;
};

inline constexpr const char* kDefaultBlockTemplate =
    "<block color='F0F0F0' x='-10' y='-10' w='20' h='20' flg='solid' />";

struct ZoneState {
  xml::Node* openZoneNode = nullptr;
  ZoneView view;
  // Records live at fixed addresses; the list order is the drawing order.
  std::vector<std::unique_ptr<EditorObject>> objects;
  std::vector<EditorLevel> levels;  // sorted by z ascending
  std::vector<EditorObject*> hiddenObjects;
  ObjectNameList names;  // scratch name list
  int currentLevel = 0;
  int selectionCount = 0;
  int32_t selectionKind = 0;
  bool showBlocks = true;
  bool showAreas = true;
  bool showEntrances = true;
  bool showPaths = true;
  bool invertBackground = false;
  std::string blockTemplate = kDefaultBlockTemplate;
  xml::Node* insertedBlockNode = nullptr;
  std::string lastScriptTitle;
  std::string deletedScript;
  int undoKind = 0;
  std::vector<UndoEntry> undoEntries;
  UndoTexts undoTexts;  // the entries' saved texts
  // The selection a run of moves or size changes was recorded for.
  std::vector<const EditorObject*> undoSelection;
  int levelCount() const { return static_cast<int>(levels.size()); }
};

bool openZone(Editor& editor, xml::Node* zone);
void closeZone(Editor& editor);
EditorObject* parseBlock(Editor& editor, xml::Node* element, bool resort, int32_t extraFlags);
EditorObject* parseArea(Editor& editor, xml::Node* element, bool resort, int32_t extraFlags);
EditorObject* parseEntrance(Editor& editor, xml::Node* element, bool resort, int32_t extraFlags);
EditorObject* parseObjectByKind(Editor& editor, xml::Node* element, bool resort, int32_t extraFlags);
// Reads an element that no record is backed by yet (one just made or put back) into
// new records at the end of the list, as parseObjectByKind would without sorting.
EditorObject* parseNewObject(Editor& editor, xml::Node* element, int32_t extraFlags);
// Reads a block element that no record is backed by yet into `record`, a record made
// for it but not in the list yet, as parseNewObject(editor, element, 0) reads it, and its
// path previews into `previews` (they follow the record in the list). False, with
// nothing read, when the element is not a block.
bool readNewBlock(Editor& editor, xml::Node* element, EditorObject& record, std::vector<EditorObject>& previews);
void reparseAllBlocks(Editor& editor);
// Reads the elements again as parseObjectByKind(editor, element, false, 0) on each in
// turn does, in one pass over the list: the same records in the same order, those of an
// element without any appended in the order given. The areas that follow a named block
// are read last, so they take its box as read anew. Returns each element's record (null
// for an element that is not a block, an area or an entrance).
std::vector<EditorObject*> rereadObjects(Editor& editor, const std::vector<xml::Node*>& elements);
// Recomputes the area priorities and sorts: z descending, then priority
// descending, then y descending, remaining ties in the earlier order.
void sortObjects(ZoneState& zone);
// The z of level (n modulo the level count); a negative n gives the current level's z.
float getLevelDepth(const ZoneState& zone, int n);
void moveObject(Editor& editor, EditorObject* record, float dx, float dy);
// Moves every number of a limits text by d ("10" by 2.5 gives "12.5"), as moving writes it.
std::string shiftLimits(const std::string& limits, float d);
void syncAreasToNamedBlocks(Editor& editor);
// mode 0: a level was inserted at a; 1: level a was deleted; 2: a level moved from b to a.
void renumberLevelRefs(xml::Node* element, int mode, int a, int b);
void clearUndoList(ZoneState& zone);

std::string getPluralSuffix(int n);
bool isBetween(float a, float v, float b);

}  // namespace zor::editor
