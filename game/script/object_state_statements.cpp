// Object state statements: colours, dropping, killing, flag words and
// visibility of the objects a statement names.
//
// The player object is never killed like a block: `kill` or `slay` naming the
// player is the player's death (what stood on it falls free, then the zone's
// death script or the normal death runs; the death script itself naming the
// player adds no further death). A killed player would lose its
// `dynamic` bit for good, since a respawn does not give it back.
#include <string>

#include "format/values.h"
#include "format/vocabulary.h"
#include "game/script/interpreter.h"
#include "game/script/object_statements.h"
#include "game/script/script_state.h"
#include "game/world/bodies.h"
#include "game/world/objects.h"
#include "game/world/world.h"
#include "platform/text.h"

namespace zor {
namespace {

namespace flag = format::flag;

StatementResult runFlipColour(StatementContext& ctx) {
  for (ObjectRecord* o : statementObjects(ctx)) {
    const int32_t c = o->colour1;
    o->colour1 = o->colour2;
    o->colour2 = c;
  }
  return StatementResult::Continue;
}

StatementResult runDrop(StatementContext& ctx) {
  for (ObjectRecord* o : statementObjects(ctx)) {
    o->flags |= flag::Dynamic | flag::Airborne;
    o->flags &= ~flag::Motion;
    releaseStackedObjects(ctx.world, o);
  }
  return StatementResult::Continue;
}

// `kill` and `slay`; only "slay" plays the die effect and queues the die script.
StatementResult runKill(StatementContext& ctx) {
  const int withSound = ctx.statement.name == "slay" ? 1 : 0;
  World& world = ctx.world;
  for (ObjectRecord* o : statementObjects(ctx)) {
    if (o == world.player) {
      releaseStackedObjects(world, o);
      // One death at a time: nothing more while a death waits for the
      // player-control step, or from the zone's death script itself (which
      // would otherwise queue itself again and again within one frame).
      const bool inDeathScript = world.zoneDeathScript != nullptr && ctx.script == world.zoneDeathScript;
      if (!world.playerDead && !inDeathScript) playerDeath(ctx.game);
      continue;
    }
    killObject(ctx.world, ctx.scriptState, ctx.soundOn, o, withSound);
  }
  return StatementResult::Continue;
}

// The bits of the `flg` words: lower-cased, split at commas, items trimmed;
// words that are no flag word add nothing.
uint32_t flagMask(const StatementContext& ctx) {
  uint32_t mask = 0;
  for (const std::string& item : text::split(text::toLower(ctx.statement.attr("flg")), ',')) {
    mask |= format::blockFlagBit(text::trim(item));
  }
  return mask;
}

StatementResult runSetFlags(StatementContext& ctx) {
  const uint32_t mask = flagMask(ctx);
  if (mask == 0) return StatementResult::Continue;
  // Objects named in `oname` that become dynamic are lifted clear of what they
  // rest on; the script's own object (empty `oname`) is not.
  const bool named = !ctx.statement.attr(format::attr::ObjectName).empty();
  for (ObjectRecord* o : statementObjects(ctx)) {
    o->flags |= mask;
    if (named && (mask & flag::Dynamic) != 0) o->y += 0.0005f;
  }
  return StatementResult::Continue;
}

StatementResult runUnsetFlags(StatementContext& ctx) {
  const uint32_t mask = flagMask(ctx);
  if (mask == 0) return StatementResult::Continue;
  for (ObjectRecord* o : statementObjects(ctx)) o->flags &= ~mask;
  return StatementResult::Continue;
}

// `hide` and `unhide` act only on objects named in `oname`.
void setInvisible(StatementContext& ctx, bool invisible) {
  if (ctx.statement.attr(format::attr::ObjectName).empty()) return;
  for (ObjectRecord* o : statementObjects(ctx)) {
    if (invisible) {
      o->flags |= flag::Invisible;
    } else {
      o->flags &= ~flag::Invisible;
    }
  }
}

StatementResult runHide(StatementContext& ctx) {
  setInvisible(ctx, true);
  return StatementResult::Continue;
}

StatementResult runUnhide(StatementContext& ctx) {
  setInvisible(ctx, false);
  return StatementResult::Continue;
}

}  // namespace

void registerObjectStateStatements(StatementTable& table) {
  table.define("flipcolor", runFlipColour);
  table.define("drop", runDrop);
  table.define("kill", runKill);
  table.define("slay", runKill);
  table.define("setflags", runSetFlags);
  table.define("unsetflags", runUnsetFlags);
  table.define("hide", runHide);
  table.define("unhide", runUnhide);
}

}  // namespace zor
