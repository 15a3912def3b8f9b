// `explode`: bursts small blinking particle blocks out of an object. Each
// particle is a nameless, dynamic, scenic block read from the statement
// element itself, flying off at a random angle from the runtime's seeded
// generator (so a replayed run draws the same angles).
//
// One statement makes at most kMaxExplodeParticles particles, so a huge `num`
// cannot exhaust memory or stall the frame.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>

#include "format/values.h"
#include "format/vocabulary.h"
// Up: an explosion draws from the game's random generator.
#include "game/game.h"
#include "game/load/object_params.h"
#include "game/script/interpreter.h"
#include "game/script/object_statements.h"
#include "game/world/objects.h"
#include "game/world/world_math.h"

namespace zor {
namespace {

namespace flag = format::flag;

constexpr uint32_t kBlinking = 1;

StatementResult runExplode(StatementContext& ctx) {
  Game& game = ctx.game;
  World& world = game.world;
  const xml::Node& st = ctx.statement;

  int32_t count = format::readInt(st.attr("num"));
  if (count <= 0) count = 8;
  if (count > kMaxExplodeParticles) count = kMaxExplodeParticles;
  // The ceilings on particles (see object_statements.h).
  ScriptState& s = game.script;
  const auto objects = static_cast<int64_t>(world.objects.size());
  count = static_cast<int32_t>(std::min<int64_t>(
      {count, kMaxObjectsForParticles - objects, int64_t{kMaxParticlesPerFrame} - s.particlesThisFrame}));
  if (count <= 0 || s.explosionsThisFrame >= kMaxExplosionsPerFrame) return StatementResult::Continue;
  s.particlesThisFrame += count;
  s.explosionsThisFrame += 1;

  const ObjectRecord* centre = findObject(world, st.attr("at"));
  if (centre == nullptr) centre = ctx.object;
  // Copied now: the centre's place does not change while particles are added.
  const bool hasCentre = centre != nullptr;
  const float cx = hasCentre ? centre->x : 0.0f;
  const float cy = hasCentre ? centre->y : 0.0f;
  const float cz = hasCentre ? centre->z : 0.0f;
  const float cw = hasCentre ? centre->w : 0.0f;
  const float ch = hasCentre ? centre->h : 0.0f;

  const float speed = format::readFloat(st.attr("vel"));
  if (!world.objects.empty()) world.objects.setCurrent(std::prev(world.objects.end()));

  for (int32_t i = 0; i < count; ++i) {
    ObjectRecord& p = addObject(world, "");
    readObjectParams(game, &st, 0);
    world.objectCount += 1;
    p.flags = flag::Dynamic | flag::Airborne | flag::Scenic;
    p.effectBits = kBlinking;
    p.effectTimer = -1;
    p.name.clear();
    // -1 is all levels; any other index outside the table is brought into it.
    if (p.level != -1 && levelAt(world, p.level) == nullptr) {
      const int32_t level = resolveLevelIndex(world, p.level, p.z);
      p.level = static_cast<int8_t>(level);
    }
    if (hasCentre) {
      p.x = cx + (cw - p.w) * 0.5f;
      p.y = cy + (ch - p.h) * 0.5f;
      p.z = cz;
    }
    const int32_t degrees = static_cast<int32_t>(game.random.generator.draw(359));
    const float angle = static_cast<float>(degrees) * 3.1415927f / 180.0f;
    p.vx = worldCos(angle) * speed;
    p.vy = worldSin(angle) * speed;
    if (p.vy < 0.0f && game.random.generator.draw(1) == 1) p.vy = -p.vy;
  }
  sortObjects(world);
  return StatementResult::Continue;
}

}  // namespace

void registerExplodeStatement(StatementTable& table) { table.define("explode", runExplode); }

}  // namespace zor
