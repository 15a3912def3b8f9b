#include "game/load/object_params.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "format/values.h"
#include "format/vocabulary.h"
#include "game/game.h"
#include "game/load/element_ids.h"
#include "game/world/objects.h"

namespace zor {
namespace {

using format::flag::Bouncy;
using format::flag::Checkpoint;
using format::flag::Dynamic;
using format::flag::Motion;
using format::flag::Scenic;

// The script a `standon` or `die` child names: the element whose id is its
// `sub`, else the child itself.
const xml::Node* scriptOf(const Game& game, const xml::Node& child) {
  std::string sub = xml::toLowerAscii(child.attr("sub"));
  if (!sub.empty()) {
    if (const xml::Node* named = findElementById(game.data, sub)) return named;
  }
  return &child;
}

void applyAttribute(ObjectRecord& o, const std::string& name, const std::string& v) {
  if (name == "x") {
    o.x = format::readFloat(v);
  } else if (name == "y") {
    o.y = format::readFloat(v);
  } else if (name == "w") {
    o.w = format::readFloat(v);
  } else if (name == "h") {
    o.h = format::readFloat(v);
  } else if (name == "z") {
    o.z = format::readFloat(v);
  } else if (name == "level") {
    o.level = static_cast<int8_t>(format::readInt(v));  // kept in 8 bits
  } else if (name == "color") {
    format::ColourPair c = format::readColourPair(v);
    o.colour1 = c.first;
    o.colour2 = c.second;
    o.litColour = o.colour1;
  } else if (name == "trans") {
    o.trans = format::readFloat(v);
  } else if (name == "flg") {
    o.flags |= format::readBlockFlags(v);
  } else if (name == "wave") {
    o.flags = (o.flags & ~format::flag::WaveMask) | format::readWave(v);
  } else if (name == "freq") {
    o.freq = format::readFloat(v) / 60.0f;
  } else if (name == "fall" || name == "smp") {
    o.freq = std::fabs(format::readFloat(v));
  } else if (name == "grav") {
    o.gravity = std::fabs(format::readFloat(v)) * 0.7f;
  } else if (name == "duty") {
    o.duty = format::readFloat(v);
  } else if (name == "count") {
    o.count = format::readInt(v);
  } else if (name == "phase") {
    o.phase = format::readFloat(v) / 360.0f;
  } else if (name == "xlim") {
    format::Limits l = format::readBlockLimits(v);
    o.xlim1 = l.min;
    o.xlim2 = l.max;
  } else if (name == "ylim") {
    format::Limits l = format::readBlockLimits(v);
    o.ylim1 = l.min;
    o.ylim2 = l.max;
  } else if (name == "priority") {
    o.priority = static_cast<int8_t>(format::readInt(v));  // kept in 8 bits
  } else if (name == "persist") {
    o.persistGroup = xml::toLowerAscii(v);
  }
}

// Attributes, post rules and child scripts of one element.
void applyElement(const Game& game, ObjectRecord& o, const xml::Node& node) {
  for (const xml::Attribute& a : node.attributes) {
    if (a.value.empty()) continue;
    applyAttribute(o, xml::toLowerAscii(a.name), a.value);
  }

  if (o.has(Bouncy) && node.attr("fall").empty()) o.freq = 0.0f;
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

  for (const xml::Node* child = node.firstElement(); child; child = child->nextElement()) {
    std::string name = xml::toLowerAscii(child->name);
    if (name == "standon") {
      o.standOnScript = scriptOf(game, *child);
      const std::string& times = child->attr("times");
      if (!times.empty()) o.standOnTimes = static_cast<int16_t>(format::readIndex(times));
    } else if (name == "die") {
      o.dieScript = scriptOf(game, *child);
    }
  }
}

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

void readObjectParams(Game& game, const xml::Node* node, int topLevel) {
  if (!node) return;
  ObjectRecord* o = game.world.objects.current();
  if (!o) return;
  if (topLevel == 1) {
    const std::string& className = node->attr("class");
    if (!className.empty()) {
      auto it = game.data.classes.find(className);
      if (it != game.data.classes.end()) {
        o->objectClass = &it->second;
        o->flags |= format::flag::Class;
        if (it->second.node) applyElement(game, *o, *it->second.node);
      }
    }
  }
  applyElement(game, *o, *node);
  if (topLevel == 1) place(game.world, *o);
}

}  // namespace zor
