// The running zone: world containers and per-zone state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/world/records.h"
#include "game/world/step_cache.h"
#include "platform/current_list.h"

namespace zor {

struct RespawnPoint {
  float x = 0.0f;
  float y = 0.0f;
  int32_t level = 0;
};

struct Vec3 {
  float x = 0.0f, y = 0.0f, z = 0.0f;
};

// What play asks of the program around it during a frame: the frame loop acts
// on these after the play step (and, for the zone change, at the frame's end).
struct PlayRequests {
  bool pause = false;            // the pause key: open the pause menu (the controls were held for it)
  bool screenshot = false;       // SCREENSHOT newly pressed in this step
  std::vector<int32_t> effects;  // effect slots to play, in the order asked for
  std::string zoneChange;        // a zone to load at the end of the frame; "" for none
};

// How layOutObjects places the records in memory.
enum class ObjectLayout {
  // In list order.
  ListOrder,
  // In list order within three regions, one after another: the dynamic
  // objects, then the cyclic objects and those on motion paths, then the
  // rest. The world step walks the first two every step and passes over the
  // others while they stand still (most of a zone's objects): what it walks
  // then lies together, and its walks over the dynamic objects alone read
  // one region.
  MovingApart,
};

struct World {
  ObjectList objects;
  ObjectRecord* player = nullptr;  // the first object once a zone is loaded
  int32_t objectCount = 0;         // objects after the player
  std::vector<LevelRecord> levels; // ascending by z
  CurrentList<AreaRecord> areas;   // document order

  // Zone state.
  const xml::Node* currentZoneNode = nullptr;
  std::string currentZoneId;
  std::string entranceName;
  const xml::Node* zoneStartScript = nullptr;
  const xml::Node* zoneDeathScript = nullptr;
  const xml::Node* afterDeathScript = nullptr;
  RespawnPoint respawnPoint;
  float zoneXlim1 = -1100.0f, zoneXlim2 = 1100.0f;
  float zoneYlim1 = -100.0f, zoneYlim2 = 1100.0f;
  float zoneZoom = 100.0f;
  float zoneGravity = 0.7f;
  int32_t playerColour = 0x000060FF;
  bool enteringZone = false;
  PlayRequests requests;
  bool silentWarp = false;
  bool smoothWarp = false;
  float warpOffsetX = 0.0f, warpOffsetY = 0.0f;
  std::string quitZone, quitEntrance;
  uint32_t zoneFlags = 0;
  int32_t zoneInt = 0;
  float playerDepthEase = 0.0f;
  // A player death waits for the player-control step.
  bool playerDead = false;
  ObjectRecord* currentCheckpoint = nullptr;
  // The bouncy object the player last bounced on, and the frames left in which
  // it shows its second colour.
  ObjectRecord* lastBounceObject = nullptr;
  int32_t bounceFrames = 0;

  // Player control state shared by the player-control step and the world step.
  int32_t jumpHoldFrames = 0;     // frames the held jump still cancels gravity
  int32_t leapLatch = 0;          // leap controls to release first: 1 in, 2 out (3 both)
  int32_t deathControlLatch = 0;  // direction keys must be released after a death
  int32_t leapOutLevel = -1;      // nearest unlocked level above the player's; -1 none
  int32_t leapInLevel = -1;       // nearest unlocked level below the player's; -1 none
  // Camera distance that the areas the player is in ask for; 0 for none.
  float areaCameraDistance = 0.0f;

  // Camera and background fade.
  Vec3 cameraPosition;
  Vec3 cameraTarget;  // where the camera eases to this frame
  int32_t backgroundColour = 0xFFFFFF;
  int32_t fadeFromColour = 0xFFFFFF;
  int32_t fadeTargetColour = 0xFFFFFF;
  float fadeAmount = 0.0f;
  int32_t pauseColour = 0xFFFFFF;

  // Kept by the world step between steps; changes no result.
  WorldStepCache stepCache;
  // How the zone load lays the records out in memory; changes no result.
  ObjectLayout objectLayout = ObjectLayout::MovingApart;

  int levelCount() const { return static_cast<int>(levels.size()); }
};

}  // namespace zor
