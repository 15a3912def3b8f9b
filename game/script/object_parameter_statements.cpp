// Object parameter statements: colours, motion frequency, gravity, cycle
// count and limits of the objects a statement names, and `setcheck`, which
// makes a block the current checkpoint.
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "format/vocabulary.h"
#include "format/values.h"
#include "game/script/interpreter.h"
#include "game/script/object_statements.h"
#include "game/world/bodies.h"
#include "game/world/objects.h"
#include "game/world/world.h"
#include "platform/text.h"

namespace zor {
namespace {

constexpr int kCheckEffect = format::effect::Check;

StatementResult runSetColour(StatementContext& ctx) {
  const std::string colour = text::toLower(ctx.statement.attr("color"));
  const bool pair = colour.find(',') != std::string::npos;
  int32_t first = 0, second = 0;
  if (pair) {
    const std::vector<std::string> items = text::split(colour, ',');
    first = format::readColour(items[0]);
    second = format::readColour(items[1]);
  } else {
    first = format::readColour(colour);
  }
  for (ObjectRecord* o : statementObjects(ctx)) {
    o->colour1 = first;
    if (pair) o->colour2 = second;
  }
  return StatementResult::Continue;
}

StatementResult runSetFreq(StatementContext& ctx) {
  const std::string& fall = ctx.statement.attr("fall");
  const float freq = !fall.empty() ? std::fabs(format::readFloat(fall))
                                   : format::readFloat(ctx.statement.attr("freq")) / 60.0f;
  for (ObjectRecord* o : statementObjects(ctx)) o->freq = freq;
  return StatementResult::Continue;
}

// With `oname` the named objects; without, the zone and every object.
StatementResult runSetGrav(StatementContext& ctx) {
  World& world = ctx.world;
  const float gravity = format::readFloat(ctx.statement.attr("grav")) * 0.7f;
  if (!ctx.statement.attr(format::attr::ObjectName).empty()) {
    for (ObjectRecord* o : statementObjects(ctx)) o->gravity = gravity;
  } else {
    world.zoneGravity = gravity;
    for (ObjectRecord& o : world.objects) o.gravity = gravity;
  }
  if (const ObjectRecord* p = world.player) world.playerDepthEase = std::fabs(p->gravity + 0.0005f) * 0.2f;
  return StatementResult::Continue;
}

// `setcount` compares its names as written (only lower-case names match).
StatementResult runSetCount(StatementContext& ctx) {
  const int32_t count = format::readInt(ctx.statement.attr("count"));
  const std::string& names = ctx.statement.attr(format::attr::ObjectName);
  std::vector<ObjectRecord*> targets;
  if (names.empty()) {
    if (ctx.object) targets.push_back(ctx.object);
  } else {
    for (const std::string& item : text::split(names, ',')) {
      if (ObjectRecord* o = findObject(ctx.world, text::trim(item))) targets.push_back(o);
    }
  }
  for (ObjectRecord* o : targets) {
    o->count = count;
    o->phase = 0.0f;
  }
  return StatementResult::Continue;
}

// A new cycle from where each object is now; acts only on named objects.
StatementResult runCycle(StatementContext& ctx) {
  const xml::Node& st = ctx.statement;
  if (st.attr(format::attr::ObjectName).empty()) return StatementResult::Continue;
  const std::string& count = st.attr("count");
  const std::string& freq = st.attr("freq");
  const std::string& x = st.attr("x");
  const std::string& y = st.attr("y");
  for (ObjectRecord* o : statementObjects(ctx)) {
    if (!count.empty()) {
      o->count = format::readInt(count);
      o->phase = 0.0f;
    }
    if (!freq.empty()) o->freq = format::readFloat(freq) / 60.0f;
    if (!x.empty()) {
      o->xlim1 = o->x;
      o->xlim2 = format::readFloat(x);
    }
    if (!y.empty()) {
      o->ylim1 = o->y;
      o->ylim2 = format::readFloat(y);
    }
  }
  return StatementResult::Continue;
}

StatementResult runSwapLimits(StatementContext& ctx) {
  for (ObjectRecord* o : statementObjects(ctx)) {
    std::swap(o->xlim1, o->xlim2);
    std::swap(o->ylim1, o->ylim2);
  }
  return StatementResult::Continue;
}

StatementResult runMinPos(StatementContext& ctx) {
  const bool x = !ctx.statement.attr("x").empty();
  const bool y = !ctx.statement.attr("y").empty();
  for (ObjectRecord* o : statementObjects(ctx)) {
    if (x) o->xlim1 = o->x;
    if (y) o->ylim1 = o->y;
  }
  return StatementResult::Continue;
}

// One object, named exactly as written; the steps of touching a checkpoint,
// less its stand-on script. The respawn point moves only with `restart`.
StatementResult runSetCheck(StatementContext& ctx) {
  World& world = ctx.world;
  const std::string& name = ctx.statement.attr(format::attr::ObjectName);
  if (name.empty()) return StatementResult::Continue;
  ObjectRecord* o = findObject(world, name);
  if (o == nullptr) return StatementResult::Continue;
  const std::string restartText = text::toLower(ctx.statement.attr("restart"));
  const bool restart = restartText == "1" || restartText == "true" || restartText == "yes" || restartText == "on";
  world.currentCheckpoint = o;
  if (restart) {
    if (const ObjectRecord* p = world.player) {
      world.fadeFromColour = p->colour1;
      world.fadeAmount = 1.0f;
      world.respawnPoint.x = o->x + o->w / 2.0f - p->w / 2.0f;
      world.respawnPoint.y = o->y + o->w / 2.0f - p->h / 2.0f;
    }
    world.respawnPoint.level = o->level;
    playSoundEffect(ctx.world, ctx.soundOn, kCheckEffect);
  }
  if (o->litColour >= 0) {
    o->colour1 = o->litColour;
    o->colour2 = 0xFFFFFF;
  } else {
    o->colour1 = 0;
    o->colour2 = 1;
  }
  o->phase = 0.0f;
  return StatementResult::Continue;
}

}  // namespace

void registerObjectParameterStatements(StatementTable& table) {
  table.define("setcolor", runSetColour);
  table.define("setfreq", runSetFreq);
  table.define("setgrav", runSetGrav);
  table.define("setcount", runSetCount);
  table.define("cycle", runCycle);
  table.define("swaplims", runSwapLimits);
  table.define("minpos", runMinPos);
  table.define("setcheck", runSetCheck);
}

}  // namespace zor
