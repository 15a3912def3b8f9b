#include "game/load/object_params.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "format/vocabulary.h"
#include "game/load/element_ids.h"
// Up: the parameters go onto an object of the running world, placed on the
// world's levels; readObjectParams works on the game's current object.
#include "game/game.h"
#include "game/world/objects.h"

namespace zor {
namespace {

using format::flag::Bouncy;
using format::flag::Checkpoint;
using format::flag::Dynamic;
using format::flag::Motion;
using format::flag::Scenic;

// Puts a block on its level: scenic blocks on all levels, others at their level's depth.
void place(const World& world, ObjectRecord& o) {
  if (o.has(Scenic)) {
    o.level = -1;
    return;
  }
  // -1 asks for the level nearest to z; other indexes outside the table are
  // brought into it (past the end modulo the count, below -1 the nearest level).
  const int32_t level = resolveLevelIndex(world, o.level, o.z);
  if (o.objectClass) {
    o.priority = 5;
  } else if (o.has(Dynamic)) {
    o.priority = 3;
  }
  if (const LevelRecord* l = levelAt(world, level)) {
    o.level = static_cast<int8_t>(level);
    o.z = l->z;
  }
}

}  // namespace

float foldPhase(float phase) {
  if (!std::isfinite(phase)) return 0.0f;
  // The same as adding 1 while the phase is negative: every step but the last
  // is exact, so the result is the one rounding of phase + n.
  if (phase < 0.0f) phase = phase - std::floor(phase);
  return phase;
}

void applyBlockParams(ObjectRecord& o, const BlockParams& p) {
  if (p.x) o.x = *p.x;
  if (p.y) o.y = *p.y;
  if (p.w) o.w = *p.w;
  if (p.h) o.h = *p.h;
  if (p.z) o.z = *p.z;
  if (p.level) o.level = *p.level;
  if (p.colour) {
    o.colour1 = p.colour->first;
    o.colour2 = p.colour->second;
    o.litColour = o.colour1;
  }
  if (p.trans) o.trans = *p.trans;
  // `flg` words never touch the wave code, so their order with `wave` does not matter.
  o.flags |= p.flags;
  if (p.wave) o.flags = (o.flags & ~format::flag::WaveMask) | *p.wave;
  if (p.freq) o.freq = *p.freq;
  if (p.gravity) o.gravity = *p.gravity;
  if (p.duty) o.duty = *p.duty;
  if (p.count) o.count = *p.count;
  if (p.phase) o.phase = *p.phase;
  if (p.xlim) {
    o.xlim1 = p.xlim->min;
    o.xlim2 = p.xlim->max;
  }
  if (p.ylim) {
    o.ylim1 = p.ylim->min;
    o.ylim2 = p.ylim->max;
  }
  if (p.priority) o.priority = *p.priority;
  if (p.persistGroup) o.persistGroup = *p.persistGroup;

  if (o.has(Bouncy) && !p.keepsFall) o.freq = 0.0f;
  o.phase = foldPhase(o.phase);
  if (o.has(Motion)) {
    o.x = o.xlim1;
    o.y = std::min(o.ylim1, o.ylim2);
  }
  if (o.has(Checkpoint)) {
    o.h = o.w;
    o.x = o.x - o.w / 2.0f;
  }
  if (o.has(Dynamic)) o.y = o.y + 0.0005f;

  if (p.standOnScript) o.standOnScript = p.standOnScript;
  if (p.standOnTimes) o.standOnTimes = *p.standOnTimes;
  if (p.dieScript) o.dieScript = p.dieScript;
}

void applyBlock(const World& world, ObjectRecord& o, const BlockRecord& block) {
  if (block.objectClass) {
    o.objectClass = block.objectClass;
    o.flags |= format::flag::Class;
    if (block.classParams) applyBlockParams(o, *block.classParams);
  }
  applyBlockParams(o, block.params);
  place(world, o);
}

void readObjectParams(Game& game, const xml::Node* node, int topLevel) {
  if (!node) return;
  ObjectRecord* o = game.world.objects.current();
  if (!o) return;
  const ElementLookup findById = [&data = game.data](std::string_view id) {
    return findElementById(data, id);
  };
  std::vector<ModelError> errors;  // the game reads on past faults without a word
  if (topLevel == 1) {
    applyBlock(game.world, *o, readBlockRecord(*node, game.data.classes, findById, errors));
  } else {
    applyBlockParams(*o, readBlockParams(*node, findById, errors));
  }
}

}  // namespace zor
