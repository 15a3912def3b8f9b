// The world model of the running zone: objects, levels and areas.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "format/vocabulary.h"
#include "platform/current_list.h"
#include "platform/line_pool.h"
#include "platform/xml.h"

namespace zor {

struct ClassRecord;

// One object of the running zone; the first object is always the player "you".
struct ObjectRecord {
  // The fields every walk over the list reads come first: with the list links
  // before them they fill the first cache line of the object's node (see
  // ObjectList), the only line a walk reads of an object at rest.
  uint32_t flags = 0;  // block flags; top byte holds the wave code
  int8_t level = -1;   // index into the level table; -1 all levels
  int8_t facing = 0;
  uint8_t contacts = 0;  // 1 right, 2 top, 4 left, 8 bottom
  int8_t priority = 0;
  float x = 0.0f;  // left edge
  float y = 0.0f;  // bottom edge
  float w = 20.0f;
  float h = 20.0f;
  float prevX = 0.0f;
  float prevY = 0.0f;
  float vx = 0.0f;
  float vy = 0.0f;
  uint32_t effectBits = 0;  // effects running on the object; 1: blinking
  float z = 0.0f;           // depth
  // The second line: what the step reads of a dynamic, cycling or moving
  // object and the drawing of a block reads, beyond the first line.
  ObjectRecord* support = nullptr;
  ObjectRecord* facedObject = nullptr;
  float phase = 0.0f;  // cycles
  float freq = 0.0f;   // cycles per frame (bounce speed for bouncy, per x unit for spatial)
  float duty = 0.5f;
  float waveValue = 0.0f;
  float trans = 0.0f;
  int32_t count = -1;
  float xlim1 = 0.0f, xlim2 = 0.0f;
  float ylim1 = 0.0f, ylim2 = 0.0f;
  int32_t colour1 = 0xFFFFFF;
  int32_t colour2 = 0xFFFFFF;
  // The rest: read by the step only for some objects or on some steps.
  float gravity = 0.0f;
  // The object's index in the list as the world step last counted it (see
  // RestingSet in step_cache.h); read only while the list has not changed since.
  uint32_t stepIndex = 0;
  int16_t effectTimer = 0;  // world steps left of the effect; negative: endless
  int16_t standOnTimes = -1;
  float slideTarget = 0.0f;
  int32_t litColour = -1;
  const xml::Node* standOnScript = nullptr;
  const ClassRecord* objectClass = nullptr;
  const xml::Node* dieScript = nullptr;
  std::string persistGroup;
  std::string name;  // trimmed, lower case; empty for an anonymous block

  bool has(uint32_t bit) const { return (flags & bit) != 0; }
  uint32_t waveCode() const { return flags & format::flag::WaveMask; }
};

// The world's objects, in list nodes that start on a cache line.
using ObjectList = CurrentList<ObjectRecord, LinePoolAllocator<ObjectRecord>>;

// One depth level.
struct LevelRecord {
  float z = 0.0f;
  int32_t colour = 0xFFFFFF;
  uint32_t loadedFlags = 0;  // bit 0: unlocked as loaded
  uint32_t flags = 0;        // bit 0: unlocked now
};

// One trigger area.
struct AreaRecord {
  const xml::Node* node = nullptr;
  std::string oname;
  float x1 = 0.0f, x2 = 0.0f;
  float y1 = 0.0f, y2 = 0.0f;
  int32_t level = -1;
  uint32_t flags = 0;  // 0x1000 deadly; 0x1 the player is inside
  const xml::Node* enterScript = nullptr;
  int32_t enterTimes = -1;
  const xml::Node* exitScript = nullptr;
  int32_t exitTimes = -1;
  const xml::Node* actionScript = nullptr;
  int32_t actionTimes = -1;
  int32_t colour = -1;
  int32_t zoomCount = 0;
  float zoom1 = 0.0f, zoom2 = 0.0f, zoom3 = 0.0f;
};

}  // namespace zor
