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

// The rules that follow the fields an element sets (see applyBlockParams).
void applyRules(ObjectRecord& o, bool keepsFall) {
  if (o.has(Bouncy) && !keepsFall) o.freq = 0.0f;
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
}

// One attribute (name lower-cased, value not empty) straight onto the object:
// what readBlockParams reads into the parameters and applyBlockParams then
// sets. Each attribute sets fields of its own, so setting them in document
// order gives what the parameters' fixed order gives; where two names set one
// field the last in document order wins in both. `flg` words never touch the
// wave code, so `flg` and `wave` may come in either order.
void setAttribute(ObjectRecord& o, std::string_view name, std::string_view v) {
  switch (name.empty() ? '\0' : name[0]) {
    case 'x':
      if (name == "x") {
        o.x = format::readFloat(v);
      } else if (name == "xlim") {
        const format::Limits l = format::readBlockLimits(v);
        o.xlim1 = l.min;
        o.xlim2 = l.max;
      }
      break;
    case 'y':
      if (name == "y") {
        o.y = format::readFloat(v);
      } else if (name == "ylim") {
        const format::Limits l = format::readBlockLimits(v);
        o.ylim1 = l.min;
        o.ylim2 = l.max;
      }
      break;
    case 'w':
      if (name == "w") {
        o.w = format::readFloat(v);
      } else if (name == "wave") {
        o.flags = (o.flags & ~format::flag::WaveMask) | format::readWave(v);
      }
      break;
    case 'h':
      if (name == "h") o.h = format::readFloat(v);
      break;
    case 'z':
      if (name == "z") o.z = format::readFloat(v);
      break;
    case 'l':
      if (name == "level") o.level = static_cast<int8_t>(format::readInt(v));
      break;
    case 'c':
      if (name == "color") {
        const format::ColourPair c = format::readColourPair(v);
        o.colour1 = c.first;
        o.colour2 = c.second;
        o.litColour = c.first;
      } else if (name == "count") {
        o.count = format::readInt(v);
      }
      break;
    case 't':
      if (name == "trans") o.trans = format::readFloat(v);
      break;
    case 'f':
      if (name == "flg") {
        o.flags |= format::readBlockFlags(v);
      } else if (name == "freq") {
        o.freq = format::readFloat(v) / 60.0f;
      } else if (name == "fall") {
        o.freq = std::fabs(format::readFloat(v));
      }
      break;
    case 's':
      if (name == "smp") o.freq = std::fabs(format::readFloat(v));
      break;
    case 'g':
      if (name == "grav") o.gravity = std::fabs(format::readFloat(v)) * 0.7f;
      break;
    case 'd':
      if (name == "duty") o.duty = format::readFloat(v);
      break;
    case 'p':
      if (name == "phase") {
        o.phase = format::readFloat(v) / 360.0f;
      } else if (name == "priority") {
        o.priority = static_cast<int8_t>(format::readInt(v));
      } else if (name == "persist") {
        o.persistGroup = xml::toLowerAscii(v);
      }
      break;
    default:
      break;
  }
}

// The script a `standon` or `die` child names: the element whose id is its
// `sub`, else the child itself.
const xml::Node* scriptOf(const xml::Node& child, const ElementLookup& findById) {
  const std::string sub = xml::toLowerAscii(child.attr("sub"));
  if (sub.empty()) return &child;
  if (const xml::Node* named = findById(sub)) return named;
  return &child;
}

// applyBlockParams(o, readBlockParams(element, findById, ...)) without the parameters.
void applyElementParams(ObjectRecord& o, const xml::Node& element, const ElementLookup& findById) {
  bool keepsFall = false;
  for (const xml::Attribute& a : element.attributes) {
    if (a.value.empty()) continue;
    const std::string_view name = a.name;
    // Lower-cased into a small buffer: a longer name is none of the known ones.
    char lower[16];
    if (name.size() > sizeof lower) continue;
    for (std::size_t i = 0; i < name.size(); ++i) {
      const char c = name[i];
      lower[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    if (name == "fall") keepsFall = true;
    setAttribute(o, std::string_view(lower, name.size()), a.value);
  }
  applyRules(o, keepsFall);
  for (const xml::Node* child = element.firstElement(); child; child = child->nextElement()) {
    if (xml::equalsIgnoreCase(child->name, "standon")) {
      o.standOnScript = scriptOf(*child, findById);
      const std::string_view times = child->attr("times");
      if (!times.empty()) o.standOnTimes = static_cast<int16_t>(format::readIndex(times));
    } else if (xml::equalsIgnoreCase(child->name, "die")) {
      o.dieScript = scriptOf(*child, findById);
    }
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

  applyRules(o, p.keepsFall);

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

void applyBlockElement(const World& world, ObjectRecord& o, const xml::Node& element, const ClassMap& classes,
                       const ElementLookup& findById, ClassParamsCache& classCache) {
  if (const std::string_view className = element.attr("class"); !className.empty()) {
    auto it = classes.find(std::string(className));
    if (it != classes.end()) {
      o.objectClass = &it->second;
      o.flags |= format::flag::Class;
      if (const xml::Node* classNode = it->second.node) {
        auto cached = classCache.find(o.objectClass);
        if (cached == classCache.end()) {
          std::vector<ModelError> errors;  // passed over, as the load passes them
          cached = classCache.emplace(o.objectClass, readBlockParams(*classNode, findById, errors)).first;
        }
        applyBlockParams(o, cached->second);
      }
    }
  }
  applyElementParams(o, element, findById);
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
