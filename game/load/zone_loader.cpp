#include "game/load/zone_loader.h"

#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "format/vocabulary.h"
#include "game/load/element_ids.h"
#include "game/load/object_params.h"
#include "game/model/zone_model.h"
#include "platform/app_platform.h"
#include "platform/text.h"
// Up: the read half is the model's; this is the apply half. It builds the
// running world (objects, levels, areas, the player's placement and motion),
// clears the script state of the zone left, starts the zone's music, moves the
// run clock and runs the start script, so it calls those parts directly.
#include "game/audio/music.h"
#include "game/game.h"
#include "game/input/action_release.h"
#include "game/render/game_screen.h"
#include "game/script/interpreter.h"
#include "game/script/queue_runner.h"
#include "game/world/bodies.h"
#include "game/world/motion.h"
#include "game/world/objects.h"

namespace zor {
namespace {

// Name lookups of the load with findObject's results and cursor moves, without
// walking the list for every name: the first object of each name in list order.
// Valid while objects are only added after a failed lookup, as the load does.
class NameIndex {
 public:
  explicit NameIndex(ObjectList& list) {
    for (auto it = list.begin(); it != list.end(); ++it) first_.try_emplace(it->name, it);
  }
  ObjectRecord* find(World& world, const std::string& name) {
    if (name.empty() || name == "-") return nullptr;
    if (name == "you") return world.player;
    if (world.objects.empty()) return nullptr;
    auto f = first_.find(name);
    if (f == first_.end()) {
      world.objects.setCurrent(std::prev(world.objects.end()));  // a walk ends on the last object
      return nullptr;
    }
    world.objects.setCurrent(f->second);
    return &*f->second;
  }
  // Records the current object, just added under a name that no object had.
  void addedCurrent(ObjectList& list) {
    auto it = list.currentIterator();
    first_.try_emplace(it->name, it);
  }

 private:
  std::unordered_map<std::string, ObjectList::iterator> first_;
};

// One block element of the zone, built straight onto a new object (see
// applyBlockElement).
void addBlock(World& world, NameIndex& names, const xml::Node& element, const ClassMap& classes,
              const ElementLookup& findById, ClassParamsCache& classCache) {
  std::string oname;
  if (const std::string_view written = element.attr(format::attr::ObjectName); !written.empty()) {
    oname = xml::toLowerAscii(text::trim(written));
  }
  // A surviving persistent object, an earlier block of the same name or the
  // player stands for a named block. The lookup also leaves the list's cursor
  // where the new block goes.
  if (!oname.empty() && names.find(world, oname)) return;
  ObjectRecord& o = addObject(world, "");
  o.name = std::move(oname);
  names.addedCurrent(world.objects);
  applyBlockElement(world, o, element, classes, findById, classCache);
  world.objectCount += 1;
}

void addArea(World& world, const ZoneArea& from) {
  AreaRecord a;
  a.node = from.node;
  a.oname = from.oname;
  a.x1 = from.xlim ? from.xlim->min : world.zoneXlim1;
  a.x2 = from.xlim ? from.xlim->max : world.zoneXlim2;
  a.y1 = from.ylim ? from.ylim->min : world.zoneYlim1;
  a.y2 = from.ylim ? from.ylim->max : world.zoneYlim2;
  switch (from.levelFrom) {
    case ZoneArea::LevelFrom::All:
      break;
    case ZoneArea::LevelFrom::NearestToZ:
      a.level = findNearestLevel(world, from.z);
      break;
    case ZoneArea::LevelFrom::Index:
      if (from.level > 0) {
        a.level = from.level % world.levelCount();
      } else if (from.level < -1) {
        a.level = -1;
      } else {
        a.level = from.level;
      }
      break;
  }
  a.flags = from.flags;
  a.enterScript = from.enterScript;
  a.enterTimes = from.enterTimes;
  a.exitScript = from.exitScript;
  a.exitTimes = from.exitTimes;
  a.actionScript = from.actionScript;
  a.actionTimes = from.actionTimes;
  a.colour = from.colour;
  a.zoomCount = from.zoomCount;
  a.zoom1 = from.zoom[0];
  a.zoom2 = from.zoom[1];
  a.zoom3 = from.zoom[2];
  world.areas.addLast(std::move(a));
}

void applyLevels(World& world, const std::vector<ZoneLevel>& levels) {
  world.levels.assign(levels.size(), LevelRecord{});
  for (std::size_t i = 0; i < levels.size(); ++i) {
    LevelRecord& l = world.levels[i];
    l.z = levels[i].z;
    l.colour = levels[i].colour;
    if (levels[i].unlocked) l.loadedFlags |= 1u;
  }
}

void applyEntrance(World& world, const ZoneEntrance& entrance) {
  if (entrance.nameDropped) world.entranceName.clear();
  world.respawnPoint = RespawnPoint{};
  if (!entrance.node) return;
  world.respawnPoint.x = entrance.x;
  world.respawnPoint.y = entrance.y;
  switch (entrance.levelFrom) {
    case ZoneEntrance::LevelFrom::Index:
      // Past the table: modulo the level count; negative: the level nearest to z.
      world.respawnPoint.level = resolveLevelIndex(world, entrance.level, entrance.z);
      break;
    case ZoneEntrance::LevelFrom::NearestToZ:
      world.respawnPoint.level = findNearestLevel(world, entrance.z);
      break;
    case ZoneEntrance::LevelFrom::First:
      world.respawnPoint.level = 0;
      break;
  }
}

ObjectRecord makePlayer(const World& world) {
  ObjectRecord p;
  p.name = "you";
  p.z = 0.0f;
  p.level = -1;
  p.w = 20.0f;
  p.h = 20.0f;
  p.gravity = world.zoneGravity;
  p.colour1 = world.playerColour;
  p.colour2 = world.playerColour;
  p.flags = format::flag::Dynamic | format::flag::Solid | format::flag::Airborne |
            format::flag::HasFace;
  // Everything else is zero.
  p.freq = 0.0f;
  p.duty = 0.0f;
  p.count = 0;
  p.litColour = 0;
  p.facedObject = nullptr;
  p.standOnTimes = 0;
  return p;
}

// The zone's records applied to the running world: everything of the load
// after the zone was found and read.
// The blocks are read here, one at a time as they are built (readZone left them).
void applyZone(Game& game, const std::string& id, const ZoneModel& zone, const ElementLookup& findById,
               bool closeMenu) {
  World& world = game.world;
  ScriptState& script = game.script;

  // 3. From here on the load cannot fail.
  world.currentZoneNode = zone.node;
  world.currentZoneId = id;
  world.quitZone.clear();
  world.quitEntrance.clear();

  // 4. Carry-over of a zone change: the camera becomes relative to the player.
  bool freshStart = true;
  float savedVx = 0.0f, savedVy = 0.0f, depthOffset = 0.0f;
  int8_t savedFacing = 0;
  if (ObjectRecord* p = world.player) {
    world.cameraPosition.x -= p->x;
    world.cameraPosition.y -= p->y;
    world.cameraPosition.z -= p->z;
    if (p->support) p->vy = p->support->vy;
    savedVx = p->vx;
    savedVy = p->vy;
    savedFacing = p->facing;
    const LevelRecord* l = levelAt(world, p->level);
    depthOffset = l ? p->z - l->z : 0.0f;
    freshStart = false;
  }

  // 5. Persist group: its objects stay; everything else goes.
  ObjectRecord* oldPlayer = world.player;
  if (!oldPlayer && !world.objects.empty() && world.objects.front()->name == "you") {
    oldPlayer = world.objects.front();
  }
  const std::string& persist = zone.persist;
  std::vector<ObjectRecord*> facingPlayer;  // survivors that turn toward the player
  if (!persist.empty() && oldPlayer) {
    for (ObjectRecord& o : world.objects) {
      if (o.persistGroup == persist && o.facedObject == oldPlayer) facingPlayer.push_back(&o);
    }
  }
  deleteObjectsWhere(world, script, [&persist](const ObjectRecord& o) {
    return persist.empty() || o.persistGroup != persist;
  });

  // 6, 7. The zone's lists and per-zone state.
  resetZoneState(game);

  // 8. The player, at the head of the list.
  ObjectRecord& player = world.objects.addFirst(makePlayer(world));
  world.player = &player;
  for (ObjectRecord* o : facingPlayer) o->facedObject = &player;

  // 9. Zone attributes.
  if (zone.gravity) {
    world.zoneGravity = *zone.gravity;
    player.gravity = world.zoneGravity;
  }
  if (zone.zoom) world.zoneZoom = *zone.zoom;
  if (zone.xlim) {
    world.zoneXlim1 = zone.xlim->min;
    world.zoneXlim2 = zone.xlim->max;
  }
  if (zone.ylim) {
    world.zoneYlim1 = zone.ylim->min;
    world.zoneYlim2 = zone.ylim->max;
  }
  for (const std::string& track : zone.tracks) {
    game.sounds.musicVolume = zone.musicVolume;
    playMusic(game, track, 1);
  }
  world.playerDepthEase = 0.2f * std::fabs(player.gravity + 0.0005f);

  // 10. Levels, ascending by depth.
  applyLevels(world, zone.levels);

  // 11. Entrance.
  applyEntrance(world, zone.entrance);

  // 12. Scripts, blocks and areas.
  world.zoneStartScript = zone.startScript;
  world.zoneDeathScript = zone.deathScript;
  world.afterDeathScript = zone.afterDeathScript;
  NameIndex names(world.objects);
  {
    ClassParamsCache classCache;  // the game goes on past faults without a word
    for (const xml::Node* element : zone.blockElements) {
      addBlock(world, names, *element, game.data.classes, findById, classCache);
    }
  }
  for (const ZoneArea& area : zone.areas) addArea(world, area);

  // 13. Areas that take an object's box.
  for (AreaRecord& a : world.areas) {
    if (a.oname.empty()) continue;
    if (const ObjectRecord* o = names.find(world, a.oname)) {
      a.x1 = o->x;
      a.y1 = o->y;
      a.x2 = o->x + o->w;
      a.y2 = o->y + o->h;
    } else {
      a.oname.clear();
    }
  }

  // 14. Object order, in memory too.
  sortAndLayOutObjects(world, script, world.objectLayout);

  // 15. The load does not count as a slow second.
  if (game.platform) game.app.resetFrameRateWindow(game.platform->elapsedMs());

  // 16. The player's level.
  world.enteringZone = false;
  {
    int32_t level = resolveLevelIndex(world, world.respawnPoint.level, 0.0f);
    world.respawnPoint.level = level;
    LevelRecord& l = world.levels[static_cast<std::size_t>(level)];
    player.level = static_cast<int8_t>(level);
    player.z = l.z;
    l.loadedFlags |= 1u;
  }
  world.currentCheckpoint = nullptr;

  // 17.
  updateObjectMotion(world, game.random.table);

  // 18.
  for (LevelRecord& l : world.levels) l.flags = l.loadedFlags;

  // 19. Placement.
  const LevelRecord& startLevel = world.levels[static_cast<std::size_t>(world.respawnPoint.level)];
  if (freshStart) {
    world.fadeFromColour = startLevel.colour;
    world.fadeTargetColour = startLevel.colour;
    world.fadeAmount = 1.0f;
    world.backgroundColour = world.fadeFromColour;
    respawnPlayer(game.world, game.script, game.session, 0, 1);
    if (ObjectRecord* p = world.player) {
      world.cameraPosition.x = world.respawnPoint.x + p->w / 2.0f;
      world.cameraPosition.y = world.respawnPoint.y + p->h / 2.0f;
      world.cameraPosition.z = startLevel.z - world.zoneZoom;
    }
  } else {
    world.fadeFromColour = world.fadeTargetColour;
    world.fadeTargetColour = startLevel.colour;
    world.fadeAmount = 1.0f;
    world.backgroundColour = world.fadeFromColour;
    respawnPlayer(game.world, game.script, game.session, 0, 1);
    if (ObjectRecord* p = world.player) {
      if (world.smoothWarp) {
        p->x += world.warpOffsetX;
        p->y += world.warpOffsetY;
        p->z += depthOffset;
      }
      world.cameraPosition.x += p->x;
      world.cameraPosition.y += p->y;
      world.cameraPosition.z += p->z;
      p->vx = savedVx;
      p->vy = savedVy;
      p->facing = savedFacing;
    }
  }

  // 20. Script and camera state.
  script.camera.scriptDistance = 0.0f;
  script.camera.slowDivisor = 0.0f;
  script.camera.locked = false;
  world.requests.zoneChange.clear();
  script.camera.lookAt = nullptr;
  script.runningScript = nullptr;
  script.resumeStatement = nullptr;
  script.scriptResumeObject = nullptr;
  script.killQueueRequested = false;
  script.zoneEntryQuiet = true;
  world.enteringZone = false;
  script.jumpsAllowed = true;

  // 21. The start script runs at once.
  const int32_t menuStateBefore = game.app.menuState;
  const int32_t menuScreenBefore = game.app.menuScreen;
  if (world.zoneStartScript) runScript(game, world.zoneStartScript, nullptr);

  // 22. Back to play, unless the start script opened a menu (an `endspeedrun`
  // there shows the run's results, which must stay up).
  const bool scriptOpenedMenu =
      game.app.menuState != menuStateBefore || game.app.menuScreen != menuScreenBefore;
  if (closeMenu && !scriptOpenedMenu) game.app.closeMenu(false);
}

}  // namespace

void resetZoneState(Game& game) {
  World& world = game.world;
  ScriptState& script = game.script;
  // The zone's lists.
  world.areas.clear();
  script.wordBoxes.clear();
  clearScriptQueue(script);
  script.titles.clear();
  script.beats.clear();

  // Per-zone state.
  world.zoneFlags = 0;
  world.zoneInt = 0;
  world.zoneStartScript = nullptr;
  world.zoneDeathScript = nullptr;
  world.afterDeathScript = nullptr;
  script.camera.lookAt = nullptr;
  script.camera.scriptDistance = 0.0f;
  script.camera.slowDivisor = 0.0f;
  script.credits.remaining = 0.0f;
  script.credits.running = false;
  world.objectCount = static_cast<int32_t>(world.objects.size());
  world.zoneGravity = 0.7f;
  world.levels.assign(1, LevelRecord{});
  world.respawnPoint = RespawnPoint{};
  world.zoneXlim1 = -1100.0f;
  world.zoneXlim2 = 1100.0f;
  world.zoneYlim1 = -100.0f;
  world.zoneYlim2 = 1100.0f;
  world.zoneZoom = 100.0f;
  world.pauseColour = 0xFFFFFF;
  script.screenEffects.homActive = 0;
  script.screenEffects.haltActive = false;
  script.screenEffects.shakeAmount = 0.0f;
  script.screenEffects.swishTarget = 0.0f;
  script.scriptFreeze = false;
  script.frameCounting = true;
  script.runClockPosition = 0.8f;
  updateRunClockTarget(game);
}

bool loadZone(Game& game, const std::string& idArg, bool closeMenu) {
  World& world = game.world;

  // 1. Random state: the zone draws the same numbers for the same seed.
  game.random.table.resetIndex();
  const int32_t seed = game.random.replaying
                           ? game.random.runFileSeed
                           : static_cast<int32_t>(game.platform ? game.platform->elapsedMs() : 0u);
  game.random.speedrunSeed = seed;
  game.random.generator.seed(static_cast<uint32_t>(seed));

  // 2. Find the zone, and make sure it can be built before anything changes.
  std::string id = xml::toLowerAscii(text::trim(idArg));
  const xml::Node* zone = id.empty() ? nullptr : findElementById(game.data, id);
  if (!zone && (!game.data.gameFilePath.empty() || world.enteringZone)) {
    zone = findElementById(game.data, "first");
    id = "first";
    world.entranceName.clear();
  }
  if (!zone) {
    fatalError(game, "Game zone could not be found: " + id);
    return false;
  }
  if (!zoneHasLevels(*zone)) {
    fatalError(game, "Zone '" + id + "' contains no levels!");
    return false;
  }

  // Read, then apply. The game goes on past faults of the zone without a word.
  const ElementLookup findById = [&data = game.data](std::string_view elementId) {
    return findElementById(data, elementId);
  };
  const ZoneModel model = readZone(*zone, world.entranceName, game.data.classes, findById, ZoneBlocks::Leave);
  applyZone(game, id, model, findById, closeMenu);
  return true;
}

void enterZone(Game& game, const std::string& id, const std::string& entrance, ZoneRequest request) {
  World& world = game.world;
  // A saved position naming an element that is no zone (a script, or a zone of an
  // older version of the game) starts at "first", rather than failing at every start.
  std::string target = id;
  std::string targetEntrance = entrance;
  if (request == ZoneRequest::SavedPosition) {
    const std::string wanted = xml::toLowerAscii(text::trim(id));
    const xml::Node* zone = wanted.empty() ? nullptr : findElementById(game.data, wanted);
    if (zone && wanted != "first" && !zoneHasLevels(*zone) && findElementById(game.data, "first")) {
      target = "first";
      targetEntrance.clear();
    }
  }
  // Kept to put back when the zone cannot be loaded, so that the running zone stays whole.
  ObjectRecord* const oldPlayer = world.player;
  const int32_t oldColour = world.playerColour;
  const std::string oldEntrance = world.entranceName;
  world.playerColour = 0x000060FF;
  world.player = nullptr;  // a fresh start: nothing is carried over
  world.enteringZone = true;
  world.entranceName = targetEntrance;
  if (!loadZone(game, target, true)) {
    world.player = oldPlayer;
    world.playerColour = oldColour;
    world.entranceName = oldEntrance;
    world.enteringZone = false;
    return;
  }
  if (game.platform) waitForActionRelease(game, *game.platform);
  // A menu still up was opened by the zone's start script: it stays.
  if (game.app.menuState == menu_state::Playing) game.app.closeMenu(true);
  restoreMusic(game);
  latchInputStates(game.controls);
}

}  // namespace zor
