// Setting and clearing game flags and zone flags from scripts.
//
// A flag list is split at every comma; items are not trimmed, but reading an
// item as an integer skips leading blanks, and an empty item is flag 0. Game
// flags refuse negative numbers and numbers at or above GameFlags::kMaxFlag
// (the item is skipped); zone flags take 0 to 31 and skip other numbers.
#include <string>

// Up: flag statements set the game flags, which live beside the world.
#include "game/game.h"
#include "format/values.h"
#include "game/script/interpreter.h"
#include "platform/text.h"

namespace zor {
namespace {

void setGameFlags(StatementContext& ctx, bool on) {
  for (const std::string& item : text::split(ctx.statement.attr("gflags"), ',')) {
    ctx.game.gameFlags.set(format::readInt(item), on);
  }
}

void setZoneFlags(StatementContext& ctx, bool on) {
  uint32_t& flags = ctx.game.world.zoneFlags;
  for (const std::string& item : text::split(ctx.statement.attr("zflags"), ',')) {
    const int32_t n = format::readInt(item);
    if (n < 0 || n > 31) continue;
    if (on) {
      flags |= 1u << n;
    } else {
      flags &= ~(1u << n);
    }
  }
}

StatementResult runSetGFlags(StatementContext& ctx) {
  setGameFlags(ctx, true);
  return StatementResult::Continue;
}
StatementResult runUnsetGFlags(StatementContext& ctx) {
  setGameFlags(ctx, false);
  return StatementResult::Continue;
}
StatementResult runSetZFlags(StatementContext& ctx) {
  setZoneFlags(ctx, true);
  return StatementResult::Continue;
}
StatementResult runUnsetZFlags(StatementContext& ctx) {
  setZoneFlags(ctx, false);
  return StatementResult::Continue;
}

}  // namespace

void registerFlagStatements(StatementTable& table) {
  table.define("setgflags", runSetGFlags);
  table.define("unsetgflags", runUnsetGFlags);
  table.define("setzflags", runSetZFlags);
  table.define("unsetzflags", runUnsetZFlags);
}

}  // namespace zor
