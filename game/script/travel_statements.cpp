// Travel statements: `lock` and `unlock` close and open levels of the running
// zone, `setzone` recolours a level, `warp` and `reloadzone` ask for a zone
// change, and `checkpoint` moves the respawn point.
//
// A zone change is only recorded here (requests.zoneChange, with the entrance,
// the silent and smooth switches and the smooth offset); the frame loop loads
// the zone at the end of the frame, so the rest of the script still acts on
// the zone it started in, and a later `warp` in the same frame replaces the
// request.
//
// Level indexes from scripts never reach outside the level table: indexes past
// its end are taken modulo the level count, and a negative index of `lock`,
// `unlock` or `setzone` names no level (the item is skipped). A negative
// `checkpoint` level gives the level nearest the player's depth.
#include "game/script/travel_statements.h"

#include <cstdint>
#include <string>

#include "format/values.h"
#include "game/script/interpreter.h"
#include "game/script/script_state.h"
#include "game/world/bodies.h"
#include "game/world/objects.h"
#include "game/world/world.h"
#include "platform/text.h"

namespace zor {
namespace {

// A script's level index within the table: modulo the level count; -1 (no
// level) for a negative index or an empty table.
int32_t scriptLevel(const World& world, int32_t index) {
  const int32_t count = world.levelCount();
  if (count <= 0 || index < 0) return -1;
  return index % count;
}

void changeLocks(StatementContext& ctx, bool unlock) {
  World& world = ctx.world;
  const std::string levels = text::toLower(ctx.statement.attr("levels"));
  const std::string depths = text::toLower(ctx.statement.attr("z"));
  if (levels.empty() && depths.empty()) return;

  auto apply = [&world, unlock](int32_t index) {
    LevelRecord* l = levelAt(world, index);
    if (!l) return;
    if (unlock) {
      l->flags |= 1u;
    } else {
      l->flags &= ~1u;
    }
  };
  if (!levels.empty()) {
    for (const std::string& item : text::split(levels, ',')) apply(scriptLevel(world, format::readInt(item)));
  } else if (world.levelCount() > 0) {
    for (const std::string& item : text::split(depths, ',')) {
      apply(findNearestLevel(world, format::readFloat(item)));
    }
  }
  findLeapLevels(ctx.world);
}

StatementResult runLock(StatementContext& ctx) {
  changeLocks(ctx, false);
  return StatementResult::Continue;
}

StatementResult runUnlock(StatementContext& ctx) {
  changeLocks(ctx, true);
  return StatementResult::Continue;
}

StatementResult runSetZone(StatementContext& ctx) {
  World& world = ctx.world;
  const std::string& colourText = ctx.statement.attr("color");
  if (colourText.empty()) return StatementResult::Continue;
  const std::string& levelText = ctx.statement.attr("level");
  const int32_t index = levelText.empty() ? playerLevelIndex(world) : scriptLevel(world, format::readInt(levelText));
  LevelRecord* level = levelAt(world, index);
  if (!level) return StatementResult::Continue;
  const int32_t colour = format::readColour(colourText);
  level->colour = colour;
  world.fadeFromColour = world.fadeTargetColour;
  world.fadeTargetColour = colour;
  world.fadeAmount = 1.0f;
  return StatementResult::Continue;
}

// A switch of `warp`: trimmed, then read as a boolean.
bool warpSwitch(const xml::Node& st, std::string_view name) { return format::readBool(text::trim(st.attr(name))); }

StatementResult runWarp(StatementContext& ctx) {
  World& world = ctx.world;
  const xml::Node& st = ctx.statement;
  world.requests.zoneChange = text::toLower(text::trim(st.attr("zone")));
  world.entranceName = text::toLower(text::trim(st.attr("entrance")));
  world.silentWarp = warpSwitch(st, "silent");
  world.smoothWarp = world.silentWarp || warpSwitch(st, "smooth");

  // The player's offset from the corner of the area whose script holds the warp.
  world.warpOffsetX = 0.0f;
  world.warpOffsetY = 0.0f;
  for (const xml::Node* n = st.parent; n && n->isElement(); n = n->parent) {
    if (n->name != "area") continue;
    for (const AreaRecord& a : world.areas) {
      if (a.node != n) continue;
      if (const ObjectRecord* p = world.player) {
        world.warpOffsetX = p->x - a.x1;
        world.warpOffsetY = p->y - a.y1;
      }
      break;
    }
    break;
  }
  return StatementResult::Continue;
}

StatementResult runReloadZone(StatementContext& ctx) {
  World& world = ctx.world;
  world.requests.zoneChange = world.currentZoneId;
  world.silentWarp = false;
  world.smoothWarp = false;
  if (const xml::Attribute* entrance = ctx.statement.findAttr("entrance")) {
    world.entranceName = text::toLower(text::trim(entrance->value));
  }
  return StatementResult::Continue;
}

StatementResult runCheckpoint(StatementContext& ctx) {
  World& world = ctx.world;
  const xml::Node& st = ctx.statement;
  const ObjectRecord* p = world.player;
  RespawnPoint& r = world.respawnPoint;

  const std::string& x = st.attr("x");
  const std::string& y = st.attr("y");
  if (!x.empty()) {
    r.x = format::readFloat(x);
  } else if (p) {
    r.x = p->x;
  }
  if (!y.empty()) {
    r.y = format::readFloat(y);
  } else if (p) {
    r.y = p->y;
  }

  int32_t level = -1;
  const std::string& levelText = st.attr("level");
  if (!levelText.empty()) {
    level = resolveLevelIndex(world, format::readInt(levelText), p ? p->z : 0.0f);
  } else {
    level = playerLevelIndex(world);
    const std::string z = text::trim(st.attr("z"));
    if (!z.empty()) {
      const float depth = format::readFloat(z);
      for (int32_t i = 0; i < world.levelCount(); ++i) {
        if (world.levels[static_cast<std::size_t>(i)].z == depth) {
          level = i;
          break;
        }
      }
    }
  }
  if (level >= 0) r.level = level;
  return StatementResult::Continue;
}

}  // namespace

int32_t playerLevelIndex(const World& world) {
  const ObjectRecord* p = world.player;
  if (!p) return resolveLevelIndex(world, world.respawnPoint.level, 0.0f);
  if (levelAt(world, p->level)) return p->level;
  return resolveLevelIndex(world, p->level, p->z);
}

void registerTravelStatements(StatementTable& table) {
  table.define("lock", runLock);
  table.define("unlock", runUnlock);
  table.define("setzone", runSetZone);
  table.define("warp", runWarp);
  table.define("reloadzone", runReloadZone);
  table.define("checkpoint", runCheckpoint);
}

}  // namespace zor
