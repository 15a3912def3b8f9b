// One `zone` element of the game file read into records, with no game, window
// or sound: its attributes, levels, entrance, scripts, blocks and areas. Zone
// loading applies the records to the running world; the names of objects and
// level indexes are resolved there, against the world as it then is.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "format/values.h"
#include "game/model/block_params.h"
#include "game/model/game_model.h"
#include "platform/xml.h"

namespace zor {

// The most levels a zone may have: level indexes are signed bytes. Levels past
// this many are ignored.
inline constexpr int kMaxLevels = 127;

struct ZoneLevel {
  float z = 0.0f;  // a non-number reads as 0, which keeps the depth order total
  int32_t colour = 0xFFFFFF;
  bool unlocked = false;  // unlocked as loaded
};

// The entrance the player starts at.
struct ZoneEntrance {
  // The chosen element: `entrance_` + the requested name, else `entrance`;
  // null when the zone has neither (the start is then 0, 0 on level 0).
  const xml::Node* node = nullptr;
  // The requested name was "-" or named no entrance: the default was taken
  // and the game forgets the name.
  bool nameDropped = false;
  float x = 0.0f, y = 0.0f;
  enum class LevelFrom { First, Index, NearestToZ };
  LevelFrom levelFrom = LevelFrom::First;  // `level` given; else `z` given; else level 0
  int32_t level = 0;  // as written (LevelFrom::Index)
  float z = 0.0f;     // `z` as a float, also with an index (a negative one asks for the nearest level)
};

// One `area` element. The box, level and colour the area's attributes give;
// the rest comes from the zone when the area is applied.
struct ZoneArea {
  const xml::Node* node = nullptr;
  std::string oname;  // as written; an area with an object's name takes its box
  std::optional<format::Limits> xlim, ylim;  // ordered; absent: the zone's limits
  enum class LevelFrom { All, Index, NearestToZ };
  LevelFrom levelFrom = LevelFrom::All;  // the last of `level` and `z` counts
  int32_t level = -1;  // `level` as written (LevelFrom::Index)
  float z = 0.0f;      // `z` (LevelFrom::NearestToZ)
  uint32_t flags = 0;  // 0x1000 deadly
  const xml::Node* enterScript = nullptr;
  int32_t enterTimes = -1;
  const xml::Node* exitScript = nullptr;
  int32_t exitTimes = -1;
  const xml::Node* actionScript = nullptr;
  int32_t actionTimes = -1;
  int32_t colour = -1;
  int32_t zoomCount = 0;  // at most 3
  float zoom[3] = {0.0f, 0.0f, 0.0f};
};

struct ZoneModel {
  const xml::Node* node = nullptr;
  std::string persist;  // `persist`, lower case: the group of objects that stays
  // Attributes (names in any letter case; present ones count even when empty).
  std::optional<float> gravity;  // 0.7 x `gravity`
  std::optional<float> zoom;     // |`zoom`|
  std::optional<format::Limits> xlim, ylim;
  // Every `track` attribute in document order (one, in any sensible file):
  // each starts its music. "" and "-" are silence.
  std::vector<std::string> tracks;
  int32_t musicVolume = 100;  // `volume`; 100 when 0 or absent
  std::vector<ZoneLevel> levels;  // ascending by z (equal depths in no set order)
  ZoneEntrance entrance;
  const xml::Node* startScript = nullptr;       // the last `start` child
  const xml::Node* deathScript = nullptr;       // see readZone
  const xml::Node* afterDeathScript = nullptr;
  std::vector<BlockRecord> blocks;  // document order
  std::vector<const xml::Node*> blockElements;  // document order; only with ZoneBlocks::Leave
  std::vector<ZoneArea> areas;      // document order
  std::vector<ModelError> errors;
};

// True when the zone has a `levels` child with at least one `level`: a zone
// without levels cannot be built.
bool zoneHasLevels(const xml::Node& zone);

// Whether readZone reads the zone's blocks into `blocks`, or only lists their
// elements in `blockElements` for the caller to read one at a time (with
// readBlockRecord and one ClassParamsCache for the zone), without a record
// held for every block.
enum class ZoneBlocks { Read, Leave };

// Reads a zone. entranceName is the entrance asked for ("" or "-": the
// default). Death scripts: a `death` child's `sub` names the death script (none
// when it names nothing); without one, a `death` child with content is the
// death script itself; its `after` names the after-death script. Element names
// and attribute names are compared in any letter case, except `levels`,
// `entrance` and `entrance_`+name, which must be written so. The records point
// into the document and the class map, which must outlive them.
ZoneModel readZone(const xml::Node& zone, std::string_view entranceName, const ClassMap& classes,
                   const ElementLookup& findById, ZoneBlocks blocks = ZoneBlocks::Read);

}  // namespace zor
