#include "game/load/zone_loader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "format/values.h"
#include "format/vocabulary.h"
#include "game/game.h"
#include "game/script/queue_runner.h"
#include "game/load/element_ids.h"
#include "game/load/object_params.h"
#include "game/world/motion.h"
#include "game/world/objects.h"
#include "platform/app_platform.h"
// Up: applying a zone to the running game starts its music, places the player,
// runs its start script and moves the run clock, so this half of zone loading
// calls those parts directly.
#include "game/audio/music.h"
#include "game/input/action_release.h"
#include "game/render/game_screen.h"
#include "game/script/interpreter.h"
#include "game/world/bodies.h"
#include "platform/text.h"

namespace zor {
namespace {

// The first child element with exactly this name.
const xml::Node* childNamed(const xml::Node& parent, std::string_view name) {
  for (const xml::Node* c = parent.firstElement(); c; c = c->nextElement()) {
    if (c->name == name) return c;
  }
  return nullptr;
}

// The zone's `level` elements in document order, at most kMaxLevels of them.
std::vector<const xml::Node*> levelElements(const xml::Node& zone) {
  std::vector<const xml::Node*> out;
  const xml::Node* levels = childNamed(zone, "levels");
  if (!levels) return out;
  for (const xml::Node* c = levels->firstElement(); c; c = c->nextElement()) {
    if (xml::toLowerAscii(c->name) != "level") continue;
    if (static_cast<int>(out.size()) == kMaxLevels) break;
    out.push_back(c);
  }
  return out;
}

// The script an area's `enter`, `exit` or `action` child names, with its count.
void readAreaScript(const Game& game, const xml::Node& child, const xml::Node*& script,
                    int32_t& times) {
  script = &child;
  const std::string& t = child.attr("times");
  if (!t.empty()) times = format::readIndex(t);
  const std::string& sub = child.attr("sub");
  if (!sub.empty()) {
    if (const xml::Node* named = findElementById(game.data, sub)) script = named;
  }
}

void readArea(Game& game, const xml::Node& el) {
  World& world = game.world;
  AreaRecord a;
  a.node = &el;
  a.x1 = world.zoneXlim1;
  a.x2 = world.zoneXlim2;
  a.y1 = world.zoneYlim1;
  a.y2 = world.zoneYlim2;
  for (const xml::Attribute& at : el.attributes) {
    const std::string& v = at.value;
    if (v.empty()) continue;
    const std::string name = xml::toLowerAscii(at.name);
    if (name == format::attr::ObjectName) {
      a.oname = v;
    } else if (name == "xlim") {
      format::Limits l = format::readZoneLimits(v);
      a.x1 = l.min;
      a.x2 = l.max;
    } else if (name == "ylim") {
      format::Limits l = format::readZoneLimits(v);
      a.y1 = l.min;
      a.y2 = l.max;
    } else if (name == "z") {
      a.level = findNearestLevel(world, format::readFloat(v));
    } else if (name == "level") {
      int32_t n = format::readInt(v);
      if (n > 0) {
        a.level = n % world.levelCount();
      } else if (n < -1) {
        a.level = -1;
      } else {
        a.level = n;
      }
    } else if (name == "flg") {
      for (const std::string& item : format::readCommaList(xml::toLowerAscii(v))) {
        if (item == "deadly") a.flags |= format::flag::Deadly;
      }
    } else if (name == "zoom") {
      std::vector<std::string> items = text::split(v, ',');
      a.zoomCount = static_cast<int32_t>(std::min<std::size_t>(items.size(), 3));
      float* zooms[3] = {&a.zoom1, &a.zoom2, &a.zoom3};
      for (int32_t i = 0; i < a.zoomCount; ++i) {
        *zooms[i] = std::fabs(format::readFloat(items[static_cast<std::size_t>(i)]));
      }
    } else if (name == "color") {
      a.colour = format::readColour(v);
    }
  }
  for (const xml::Node* c = el.firstElement(); c; c = c->nextElement()) {
    const std::string name = xml::toLowerAscii(c->name);
    if (name == "enter") {
      readAreaScript(game, *c, a.enterScript, a.enterTimes);
    } else if (name == "exit") {
      readAreaScript(game, *c, a.exitScript, a.exitTimes);
    } else if (name == "action") {
      readAreaScript(game, *c, a.actionScript, a.actionTimes);
    }
  }
  world.areas.addLast(std::move(a));
}

// Name lookups of the load with findObject's results and cursor moves, without
// walking the list for every name: the first object of each name in list order.
// Valid while objects are only added after a failed lookup, as the load does.
class NameIndex {
 public:
  explicit NameIndex(CurrentList<ObjectRecord>& list) {
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
  void addedCurrent(CurrentList<ObjectRecord>& list) {
    auto it = list.currentIterator();
    first_.try_emplace(it->name, it);
  }

 private:
  std::unordered_map<std::string, CurrentList<ObjectRecord>::iterator> first_;
};

void readBlock(Game& game, NameIndex& names, const xml::Node& el) {
  World& world = game.world;
  std::string oname = xml::toLowerAscii(text::trim(el.attr(format::attr::ObjectName)));
  // A surviving persistent object, an earlier block of the same name or the
  // player stands for a named block. The lookup also leaves the list's cursor
  // where the new block goes.
  if (!oname.empty() && names.find(world, oname)) return;
  ObjectRecord& o = addObject(world, "");
  o.name = oname;
  names.addedCurrent(world.objects);
  readObjectParams(game, &el, 1);
  world.objectCount += 1;
}

void readLevels(World& world, const std::vector<const xml::Node*>& elements) {
  const std::size_t n = elements.size();
  world.levels.assign(n, LevelRecord{});
  for (std::size_t i = 0; i < n; ++i) {
    LevelRecord& l = world.levels[n - 1 - i];  // filled from the last entry backwards
    for (const xml::Attribute& at : elements[i]->attributes) {
      const std::string name = xml::toLowerAscii(at.name);
      if (name == "z") {
        l.z = format::readFloat(at.value);
      } else if (name == "color") {
        l.colour = format::readColour(at.value);
      } else if (name == "unlocked") {
        if (format::readBool(at.value)) l.loadedFlags |= 1u;
      }
    }
    if (std::isnan(l.z)) l.z = 0.0f;  // keeps the depth order total
  }
  std::stable_sort(world.levels.begin(), world.levels.end(),
                   [](const LevelRecord& a, const LevelRecord& b) { return a.z < b.z; });
}

void readEntrance(World& world, const xml::Node& zone) {
  const xml::Node* entrance = nullptr;
  if (world.entranceName.empty()) {
    entrance = childNamed(zone, "entrance");
  } else if (world.entranceName == "-") {
    world.entranceName.clear();
    entrance = childNamed(zone, "entrance");
  } else {
    entrance = childNamed(zone, "entrance_" + world.entranceName);
    if (!entrance) {
      world.entranceName.clear();
      entrance = childNamed(zone, "entrance");
    }
  }
  world.respawnPoint = RespawnPoint{};
  if (!entrance) return;
  world.respawnPoint.x = format::readFloat(entrance->attr("x"));
  world.respawnPoint.y = format::readFloat(entrance->attr("y"));
  const std::string& level = entrance->attr("level");
  const std::string& z = entrance->attr("z");
  if (!level.empty()) {
    // Past the table: modulo the level count; negative: the level nearest to z.
    world.respawnPoint.level = resolveLevelIndex(world, format::readInt(level), format::readFloat(z));
  } else if (!z.empty()) {
    world.respawnPoint.level = findNearestLevel(world, format::readFloat(z));
  } else {
    world.respawnPoint.level = 0;
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

}  // namespace

bool loadZone(Game& game, const std::string& idArg, bool closeMenu) {
  World& world = game.world;
  ScriptState& script = game.script;

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
  // Play starting or restarting at an element that is no zone (a saved position
  // naming a script, say) starts at "first" too, rather than failing at every start.
  if (zone && world.enteringZone && id != "first" && levelElements(*zone).empty()) {
    if (const xml::Node* first = findElementById(game.data, "first")) {
      zone = first;
      id = "first";
      world.entranceName.clear();
    }
  }
  if (!zone) {
    fatalError(game, "Game zone could not be found: " + id);
    return false;
  }
  const std::vector<const xml::Node*> levelNodes = levelElements(*zone);
  if (levelNodes.empty()) {
    fatalError(game, "Zone '" + id + "' contains no levels!");
    return false;
  }

  // 3. From here on the load cannot fail.
  world.currentZoneNode = zone;
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
  const std::string persist = xml::toLowerAscii(zone->attr("persist"));
  std::vector<ObjectRecord*> facingPlayer;  // survivors that turn toward the player
  if (!persist.empty() && oldPlayer) {
    for (ObjectRecord& o : world.objects) {
      if (o.persistGroup == persist && o.facedObject == oldPlayer) facingPlayer.push_back(&o);
    }
  }
  deleteObjectsWhere(world, script, [&persist](const ObjectRecord& o) {
    return persist.empty() || o.persistGroup != persist;
  });

  // 6. The zone's lists.
  world.areas.clear();
  script.wordBoxes.clear();
  clearScriptQueue(script);
  script.titles.clear();
  script.beats.clear();

  // 7. Per-zone state.
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

  // 8. The player, at the head of the list.
  ObjectRecord& player = world.objects.addFirst(makePlayer(world));
  world.player = &player;
  for (ObjectRecord* o : facingPlayer) o->facedObject = &player;

  // 9. Zone attributes; present ones count even when empty.
  for (const xml::Attribute& at : zone->attributes) {
    const std::string name = xml::toLowerAscii(at.name);
    const std::string& v = at.value;
    if (name == "gravity") {
      world.zoneGravity = format::readFloat(v) * 0.7f;
      player.gravity = world.zoneGravity;
    } else if (name == "zoom") {
      world.zoneZoom = std::fabs(format::readFloat(v));
    } else if (name == "xlim") {
      format::Limits l = format::readZoneLimits(v);
      world.zoneXlim1 = l.min;
      world.zoneXlim2 = l.max;
    } else if (name == "ylim") {
      format::Limits l = format::readZoneLimits(v);
      world.zoneYlim1 = l.min;
      world.zoneYlim2 = l.max;
    } else if (name == "track") {
      int volume = format::readInt(zone->attr("volume"));
      if (volume == 0) volume = 100;
      game.sounds.musicVolume = volume;
      playMusic(game, v, 1);
    }
  }
  world.playerDepthEase = 0.2f * std::fabs(player.gravity + 0.0005f);

  // 10. Levels, ascending by depth.
  readLevels(world, levelNodes);

  // 11. Entrance.
  readEntrance(world, *zone);

  // 12. Scripts, blocks and areas.
  NameIndex names(world.objects);
  for (const xml::Node* c = zone->firstElement(); c; c = c->nextElement()) {
    const std::string name = xml::toLowerAscii(c->name);
    if (name == "start") {
      world.zoneStartScript = c;
    } else if (name == "death") {
      const std::string& sub = c->attr("sub");
      if (!sub.empty()) world.zoneDeathScript = findElementById(game.data, xml::toLowerAscii(sub));
      if (!world.zoneDeathScript && c->childCount() > 0) world.zoneDeathScript = c;
      const std::string& after = c->attr("after");
      if (!after.empty()) {
        world.afterDeathScript = findElementById(game.data, xml::toLowerAscii(after));
      }
    } else if (name == "block") {
      readBlock(game, names, *c);
    } else if (name == "area") {
      readArea(game, *c);
    }
  }

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

  // 14. Object order.
  sortObjects(world);

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
  return true;
}

void enterZone(Game& game, const std::string& id, const std::string& entrance) {
  World& world = game.world;
  // Kept to put back when the zone cannot be loaded, so that the running zone stays whole.
  ObjectRecord* const oldPlayer = world.player;
  const int32_t oldColour = world.playerColour;
  const std::string oldEntrance = world.entranceName;
  world.playerColour = 0x000060FF;
  world.player = nullptr;  // a fresh start: nothing is carried over
  world.enteringZone = true;
  world.entranceName = entrance;
  if (!loadZone(game, id, true)) {
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
