// Object movement statements: `look` turns objects, `shift` moves them by or
// to a position (and to another depth), `move` gives one object a velocity, a
// slide, a jump or a leap to another level.
//
// Level indexes stay inside the level table: a leap whose computed level is
// past the table's end (a "-" leap by a negative amount) is taken modulo the
// level count, and leap amounts (32-bit) are worked out in 64 bits so that no
// sum or absolute value overflows.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "format/values.h"
#include "format/vocabulary.h"
#include "game/script/interpreter.h"
#include "game/script/object_statements.h"
#include "game/world/bodies.h"
#include "game/world/objects.h"
#include "game/world/world.h"
#include "platform/text.h"

namespace zor {
namespace {

namespace flag = format::flag;

constexpr int kJumpEffect = format::effect::Jump;
constexpr int kUpEffect = format::effect::Up;
constexpr int kDownEffect = format::effect::Down;

// `look` and `shift` split the lower-cased `oname` at commas without trimming
// the items.
std::vector<std::string> untrimmedItems(const StatementContext& ctx) {
  return text::split(text::toLower(ctx.statement.attr(format::attr::ObjectName)), ',');
}

StatementResult runLook(StatementContext& ctx) {
  World& world = ctx.world;
  const std::string& dir = ctx.statement.attr("dir");
  const std::string& at = ctx.statement.attr("at");
  auto turn = [&](ObjectRecord* o) {
    if (o == nullptr) return;
    if (!dir.empty()) {
      o->facing = static_cast<int8_t>(static_cast<uint8_t>(format::readInt(dir) & 0xFF));
    }
    if (!at.empty()) {
      o->facedObject = findObject(world, at);
    } else if (!dir.empty()) {
      o->facedObject = nullptr;
    }
  };
  if (ctx.statement.attr(format::attr::ObjectName).empty()) {
    turn(ctx.object ? ctx.object : world.player);
    return StatementResult::Continue;
  }
  for (const std::string& item : untrimmedItems(ctx)) turn(findObject(world, item));
  return StatementResult::Continue;
}

// Named objects only; an empty `oname` moves nothing.
StatementResult runShift(StatementContext& ctx) {
  World& world = ctx.world;
  const xml::Node& st = ctx.statement;
  if (st.attr(format::attr::ObjectName).empty()) return StatementResult::Continue;
  const std::string absText = text::toLower(st.attr("abs"));
  const bool absolute = absText == "1" || absText == "true" || absText == "yes" || absText == "on";
  const std::string& zText = st.attr("z");
  for (const std::string& item : untrimmedItems(ctx)) {
    ObjectRecord* o = findObject(world, item);
    if (o == nullptr) continue;
    if (!absolute) {
      o->x += format::readFloat(st.attr("x"));
      o->y += format::readFloat(st.attr("y"));
      continue;
    }
    o->x = format::readFloat(st.attr("x"));
    o->y = format::readFloat(st.attr("y"));
    if (zText.empty()) continue;
    o->z = format::readFloat(zText);
    if (!o->has(flag::Scenic)) {
      const int32_t level = findNearestLevel(world, o->z);
      if (const LevelRecord* l = levelAt(world, level)) {
        o->level = static_cast<int8_t>(level);
        o->z = l->z;
      }
    }
    if (o == world.player) {
      if (LevelRecord* l = levelAt(world, o->level)) l->flags |= 1u;
      findLeapLevels(ctx.world);
    }
  }
  return StatementResult::Continue;
}

bool readSwitch(const std::string& value) {
  const std::string v = text::toLower(value);
  return v == "1" || v == "true" || v == "yes" || v == "on";
}

// The level a `leap` text asks for from `level`, or -1 for no leap.
int32_t leapTarget(const std::string& leap, int32_t level, int32_t count) {
  if (count <= 0 || level < 0) return -1;
  int64_t t = -1;
  if (leap[0] == '+') {
    t = (static_cast<int64_t>(level) + format::readInt(leap.substr(1))) % count;
  } else if (leap[0] == '-') {
    t = static_cast<int64_t>(level) - format::readInt(leap.substr(1));
    t %= count;  // adding the count until t is 0 or more comes to the same
    if (t < 0) t += count;
  } else {
    int64_t n = format::readInt(leap);
    if (n < 0) n = -n;
    t = n % count;
    if (t == level) t = -1;
  }
  return t < 0 ? -1 : static_cast<int32_t>(t);
}

void leap(World& world, bool soundOn, ObjectRecord& o, const std::string& leapText) {
  const int32_t t = leapTarget(leapText, o.level, world.levelCount());
  const LevelRecord* target = levelAt(world, t);
  if (target == nullptr || objectOverlapsLevel(world, o, t) != 0) return;
  playSoundEffect(world, soundOn, t > o.level ? kUpEffect : kDownEffect);
  o.level = static_cast<int8_t>(t);
  if (!o.has(flag::Airborne)) {
    o.flags |= flag::Airborne;
    o.support = nullptr;
    o.vy = 5.0f;
  }
  o.flags |= flag::Sliding | flag::Dynamic;
  // Take the drawing place of the new depth at once; z itself eases there.
  const float z = o.z;
  o.z = target->z;
  sortObjects(world);
  o.z = z;
}

// One object, named by the whole `oname`; an empty `oname` moves nothing.
StatementResult runMove(StatementContext& ctx) {
  World& world = ctx.world;
  const xml::Node& st = ctx.statement;
  ObjectRecord* o = findObject(world, text::toLower(st.attr(format::attr::ObjectName)));
  if (o == nullptr) return StatementResult::Continue;
  const std::string& xv = st.attr("xv");

  if (readSwitch(st.attr("impulse"))) {
    if (!xv.empty()) o->vx = format::readFloat(xv);
    const std::string& yv = st.attr("yv");
    if (!yv.empty()) {
      o->support = nullptr;
      o->flags |= flag::Airborne;
      if (yv[0] == 'x') {
        o->vy *= format::readFloat(std::string_view(yv).substr(1));
      } else {
        o->vy = format::readFloat(yv);
      }
    }
  } else {
    bool slide = false;
    const std::string& x = st.attr("x");
    if (!x.empty()) {
      o->slideTarget = format::readFloat(x);
      slide = true;
    } else if (const ObjectRecord* to = findObject(world, st.attr("to"))) {
      o->slideTarget = to->x + (to->w - o->w) * 0.5f;
      slide = true;
    }
    if (slide) {
      o->vx = !xv.empty() ? std::fabs(format::readFloat(xv)) : 5.0f;
      o->flags |= flag::Sliding | flag::Dynamic;
    }
  }

  const std::string& jump = st.attr("jump");
  if (!jump.empty()) {
    o->vy = format::readFloat(jump);
    o->flags |= flag::Dynamic | flag::Airborne;
    o->support = nullptr;
    playSoundEffect(ctx.world, ctx.soundOn, kJumpEffect);
  }

  const std::string& leapText = st.attr("leap");
  if (!leapText.empty() && o->level >= 0) leap(ctx.world, ctx.soundOn, *o, leapText);
  return StatementResult::Continue;
}

}  // namespace

void registerObjectMovementStatements(StatementTable& table) {
  table.define("look", runLook);
  table.define("shift", runShift);
  table.define("move", runMove);
}

}  // namespace zor
