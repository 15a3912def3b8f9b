// The `set` statement: game state that belongs to no single block. Its
// attribute groups run in a fixed order, each only when its attribute has a
// value: entrance, restart, frozen, nojumps, oname with trans, zint, quit,
// timer, credits. `credits` starts the credits roll and suspends the script
// until the roll has run out.
//
// Every level index this statement stores in the respawn point is one of the
// running zone's levels: an entrance's `level` past the table is taken modulo
// the level count and a negative one gives the level nearest the entrance's
// depth, as zone loading does.
#include <cmath>
#include <cstdint>
#include <string>

#include "format/vocabulary.h"
#include "format/values.h"
#include "game/script/interpreter.h"
#include "game/script/script_state.h"
#include "game/script/travel_statements.h"
#include "game/world/objects.h"
#include "game/world/world.h"
#include "platform/text.h"

namespace zor {
namespace {

// Stores a wrapped 64-bit sum in 32 bits.
int32_t wrap32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

// A number of the credits roll; not-a-number reads as 0 so that the roll ends.
float rollNumber(const std::string& s) {
  const float v = format::readFloat(s);
  return std::isnan(v) ? 0.0f : v;
}

void setEntrance(World& world, const std::string& value) {
  const std::string name = text::toLower(value);
  const xml::Node* zone = world.currentZoneNode;
  if (!zone) return;
  const xml::Node* entrance =
      childElementNamed(*zone, name == "-" ? std::string("entrance") : "entrance_" + name);
  if (!entrance) return;
  world.entranceName = name;
  world.respawnPoint.x = format::readFloat(entrance->attr("x"));
  world.respawnPoint.y = format::readFloat(entrance->attr("y"));
  const float z = format::readFloat(entrance->attr("z"));
  const std::string& level = entrance->attr("level");
  const int32_t index = level.empty() ? findNearestLevel(world, z)
                                      : resolveLevelIndex(world, format::readInt(level), z);
  if (levelAt(world, index)) world.respawnPoint.level = index;
}

void setRestart(World& world, const std::string& value) {
  const int commas = text::countChar(value, ',');
  if (commas < 1) return;
  world.respawnPoint.x = format::readFloat(text::field(value, ',', 0));
  world.respawnPoint.y = format::readFloat(text::field(value, ',', 1));
  const int32_t level = commas >= 2 ? findNearestLevel(world, format::readFloat(text::field(value, ',', 2)))
                                    : playerLevelIndex(world);
  if (levelAt(world, level)) world.respawnPoint.level = level;
}

void setTransparency(World& world, const std::string& onames, const std::string& trans) {
  const std::string names = text::removeAll(text::removeAll(onames, " "), "\t");
  for (const std::string& name : text::split(names, ',')) {
    ObjectRecord* o = findObject(world, name);
    if (o && !trans.empty()) o->trans = format::readFloat(trans);
  }
}

void setZoneInt(int32_t& zoneInt, const std::string& value) {
  const char sign = value[0];
  if (sign != '+' && sign != '-') {
    zoneInt = format::readInt(value);
    return;
  }
  const std::string rest = value.substr(1);
  const bool limited = rest.find(',') != std::string::npos;
  const int64_t amount = format::readInt(limited ? text::field(rest, ',', 0) : rest);
  const int64_t sum = sign == '+' ? int64_t{zoneInt} + amount : int64_t{zoneInt} - amount;
  zoneInt = wrap32(sum);
  if (!limited) return;
  const int32_t limit = format::readInt(text::field(rest, ',', 1));
  if (sign == '+' ? zoneInt > limit : zoneInt < limit) zoneInt = limit;
}

void setQuit(World& world, const std::string& value) {
  world.quitZone = text::toLower(text::field(value, ':', 0));
  const std::string entrance = text::field(value, ':', 1);
  world.quitEntrance = entrance.empty() ? std::string("-") : text::toLower(entrance);
}

void startCredits(ScriptState& script, const std::string& value) {
  const std::string a = text::field(value, ',', 0);
  const std::string b = text::field(value, ',', 1);
  const std::string c = text::field(value, ',', 2);
  const std::string d = text::field(value, ',', 3);
  script.credits.remaining = rollNumber(a);
  script.credits.limit = d.empty() ? script.credits.remaining : script.credits.remaining + rollNumber(d);
  script.credits.speed = b.empty() ? 1.0f / 600.0f : rollNumber(b) / 60.0f;
  script.credits.fastSpeed = c.empty() ? 20.0f * script.credits.speed : rollNumber(c) / 60.0f;
  script.credits.running = true;
}

StatementResult runSet(StatementContext& ctx) {
  World& world = ctx.world;
  ScriptState& script = ctx.scriptState;
  const xml::Node& st = ctx.statement;

  if (const std::string& v = st.attr("entrance"); !v.empty()) setEntrance(world, v);
  if (const std::string& v = st.attr("restart"); !v.empty()) setRestart(world, v);
  if (const std::string& v = st.attr("frozen"); !v.empty()) script.playerFrozen = format::readBool(v);
  if (const std::string& v = st.attr("nojumps"); !v.empty()) script.jumpsAllowed = !format::readBool(v);
  if (const std::string& v = st.attr(format::attr::ObjectName); !v.empty()) setTransparency(world, v, st.attr("trans"));
  if (const std::string& v = st.attr("zint"); !v.empty()) setZoneInt(world.zoneInt, v);
  if (const std::string& v = st.attr("quit"); !v.empty()) setQuit(world, v);
  if (const std::string& v = st.attr("timer"); !v.empty()) script.frameCounting = format::readBool(v);
  if (const std::string& v = st.attr("credits"); !v.empty()) {
    startCredits(script, v);
    return StatementResult::Suspend;
  }
  return StatementResult::Continue;
}

}  // namespace

void registerSetStatement(StatementTable& table) { table.define("set", runSet); }

}  // namespace zor
