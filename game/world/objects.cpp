#include "game/world/objects.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <unordered_set>
#include <utility>
#include <vector>

#include "format/vocabulary.h"
#include "game/script/script_state.h"

namespace zor {
namespace {

// 1/60 as the game stores it.
const float kDefaultFreq = std::bit_cast<float>(uint32_t{0x3C888889});

// Clears every reference that the world and the script state hold to an object
// for which isVictim is true.
template <typename IsVictim>
void forgetObjects(World& world, ScriptState& s, IsVictim isVictim) {
  for (ObjectRecord& o : world.objects) {
    if (isVictim(&o)) continue;
    if (o.support && isVictim(o.support)) {
      o.support = nullptr;
      o.flags |= format::flag::Airborne;
    }
    if (o.facedObject && isVictim(o.facedObject)) o.facedObject = nullptr;
  }
  for (WordBox& box : s.wordBoxes) {
    if (box.object && isVictim(box.object)) {
      box.object = nullptr;
      box.flags |= wordbox::Remove;
    }
  }
  for (ScriptQueueEntry& entry : s.queue) {
    if (entry.object && isVictim(entry.object)) entry.object = nullptr;
  }
  if (s.camera.lookAt && isVictim(s.camera.lookAt)) s.camera.lookAt = nullptr;
  if (s.scriptResumeObject && isVictim(s.scriptResumeObject)) s.scriptResumeObject = nullptr;
  if (world.currentCheckpoint && isVictim(world.currentCheckpoint)) world.currentCheckpoint = nullptr;
  if (world.lastBounceObject && isVictim(world.lastBounceObject)) world.lastBounceObject = nullptr;
  if (world.player && isVictim(world.player)) world.player = nullptr;
}

// Changes every reference that the world and the script state hold to an
// object to what newAddress gives for it; the same references as forgetObjects.
template <typename NewAddress>
void moveObjectReferences(World& world, ScriptState& s, NewAddress newAddress) {
  for (ObjectRecord& o : world.objects) {
    newAddress(o.support);
    newAddress(o.facedObject);
  }
  for (WordBox& box : s.wordBoxes) newAddress(box.object);
  for (ScriptQueueEntry& entry : s.queue) newAddress(entry.object);
  newAddress(s.camera.lookAt);
  newAddress(s.scriptResumeObject);
  newAddress(world.currentCheckpoint);
  newAddress(world.lastBounceObject);
  newAddress(world.player);
}

float sortKey(float v) { return std::isnan(v) ? -std::numeric_limits<float>::infinity() : v; }

}  // namespace

ObjectRecord& addObject(World& world, const std::string& name) {
  ObjectRecord o;
  o.name = name;
  o.x = world.respawnPoint.x;
  o.y = world.respawnPoint.y - 40.0f;
  o.gravity = world.zoneGravity;
  o.freq = kDefaultFreq;
  o.facedObject = world.player;
  return world.objects.add(std::move(o));
}

ObjectRecord* findObject(World& world, std::string_view name) {
  if (name.empty() || name == "-") return nullptr;
  if (name == "you") return world.player;  // walked every step
  if (!world.objects.first()) return nullptr;
  do {
    ObjectRecord* o = world.objects.current();
    if (o->name == name) {
      // Whoever looks an object up by name may change it.
      world.stepCache.wake(o);
      return o;
    }
  } while (world.objects.advance());
  return nullptr;
}

void deleteObjectsWhere(World& world, ScriptState& script, const std::function<bool(const ObjectRecord&)>& victim) {
  std::unordered_set<const ObjectRecord*> victims;
  for (const ObjectRecord& o : world.objects) {
    if (victim(o)) victims.insert(&o);
  }
  if (victims.empty()) {
    world.objects.clearCurrent();
    return;
  }
  forgetObjects(world, script, [&victims](const ObjectRecord* o) { return victims.count(o) != 0; });
  ObjectList& list = world.objects;
  list.clearCurrent();
  for (auto it = list.begin(); it != list.end();) {
    it = victims.count(&*it) ? list.erase(it) : std::next(it);
  }
}

void releaseStackedObjects(World& world, ObjectRecord* base) {
  if (!base) return;
  // Depth first, as a recursive walk would go: an object's own stack is released
  // before the next object standing on the same base is looked at, each base's
  // standers in list order. Released objects stand on nothing, so each object
  // is met at most once, as a stander of the one it stood on as the walk began.
  //
  // The standers of every object that carries one, in list order: stander[k]
  // for k in [first[b], first[b + 1]) stand on supports[b].
  std::vector<const ObjectRecord*> supports;
  std::vector<ObjectRecord*> standers;
  bool any = false;
  for (ObjectRecord& o : world.objects) {
    if (o.support == nullptr) continue;
    any = any || o.support == base;
    supports.push_back(o.support);
    standers.push_back(&o);
  }
  if (!any) return;
  std::vector<uint32_t> byStander(standers.size());
  for (uint32_t k = 0; k < byStander.size(); ++k) byStander[k] = k;
  std::stable_sort(byStander.begin(), byStander.end(),
                   [&supports](uint32_t x, uint32_t y) { return std::less<>{}(supports[x], supports[y]); });
  // The standers of `b`, in list order, as positions in byStander.
  auto standersOf = [&](const ObjectRecord* b) {
    auto lo = std::lower_bound(byStander.begin(), byStander.end(), b,
                               [&supports](uint32_t k, const ObjectRecord* v) { return std::less<>{}(supports[k], v); });
    auto hi = std::upper_bound(lo, byStander.end(), b,
                               [&supports](const ObjectRecord* v, uint32_t k) { return std::less<>{}(v, supports[k]); });
    return std::pair<std::size_t, std::size_t>(static_cast<std::size_t>(lo - byStander.begin()),
                                               static_cast<std::size_t>(hi - byStander.begin()));
  };
  struct Frame {
    ObjectRecord* base;
    std::size_t next, end;
  };
  std::vector<Frame> stack;
  const auto [from, to] = standersOf(base);
  stack.push_back({base, from, to});
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.next == f.end) {
      stack.pop_back();
      continue;
    }
    ObjectRecord& o = *standers[byStander[f.next]];
    ++f.next;
    if (o.support != f.base) continue;  // released already
    o.vy = f.base->vy - 0.0005f;
    o.support = nullptr;
    o.flags |= format::flag::Airborne;
    const auto [lo, hi] = standersOf(&o);
    stack.push_back({&o, lo, hi});
  }
}

int32_t findNearestLevel(const World& world, float z) {
  const int count = world.levelCount();
  if (count == 0) return 0;
  int32_t best = 0;
  float bestDistance = std::fabs(z - world.levels[0].z);
  for (int i = 1; i < count; ++i) {
    float d = std::fabs(z - world.levels[static_cast<std::size_t>(i)].z);
    if (d < bestDistance) {
      best = i;
      bestDistance = d;
    } else {
      break;
    }
  }
  return best;
}

const LevelRecord* levelAt(const World& world, int index) {
  if (index < 0 || index >= world.levelCount()) return nullptr;
  return &world.levels[static_cast<std::size_t>(index)];
}

LevelRecord* levelAt(World& world, int index) {
  if (index < 0 || index >= world.levelCount()) return nullptr;
  return &world.levels[static_cast<std::size_t>(index)];
}

int32_t resolveLevelIndex(const World& world, int32_t level, float z) {
  const int count = world.levelCount();
  if (count == 0) return -1;
  if (level < 0) return findNearestLevel(world, z);
  return level % count;
}

namespace {

// The order of sortObjects as one pair of integers that compare as the fields
// do: z descending, then priority descending, then y descending. A NaN counts
// as minus infinity, and the two zeros as one.
struct DepthKey {
  uint64_t high;  // z, then priority
  uint32_t low;   // y

  static uint32_t descending(float v) {
    v = sortKey(v);
    if (v == 0.0f) v = 0.0f;
    const uint32_t bits = std::bit_cast<uint32_t>(v);
    const uint32_t ascending = (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
    return ~ascending;
  }
  static DepthKey of(const ObjectRecord& o) {
    const uint32_t priority = static_cast<uint8_t>(~static_cast<uint8_t>(static_cast<int>(o.priority) + 128));
    return DepthKey{(static_cast<uint64_t>(descending(o.z)) << 8) | priority, descending(o.y)};
  }
  static bool less(const DepthKey& a, const DepthKey& b) {
    return a.high != b.high ? a.high < b.high : a.low < b.low;
  }
  // The key as bytes, least significant first: y, then priority, then z
  // (high holds 40 bits).
  static constexpr std::size_t kBytes = 9;
  unsigned byte(std::size_t i) const {
    return i < 4 ? (low >> (8 * i)) & 0xffu : static_cast<unsigned>((high >> (8 * (i - 4))) & 0xffu);
  }
};

bool staysInPlace(const ObjectRecord& o) { return !o.persistGroup.empty(); }

// An object's region of memory in a lay-out (see ObjectLayout).
struct RegionOfObject {
  ObjectLayout layout;
  std::size_t operator()(const ObjectRecord& o) const {
    if (layout == ObjectLayout::ListOrder) return 0;
    if (o.has(format::flag::Dynamic)) return 0;
    if (o.has(format::flag::Cyclic | format::flag::Motion)) return 1;
    return 2;
  }
};

// Changes every reference to a moved object (pairs of old and new address).
void followMovedObjects(World& world, ScriptState& script, std::vector<std::pair<ObjectRecord*, ObjectRecord*>>& moved) {
  if (moved.empty()) return;
  const auto byOldAddress = [](const auto& a, const auto& b) { return std::less<ObjectRecord*>()(a.first, b.first); };
  if (!std::is_sorted(moved.begin(), moved.end(), byOldAddress)) std::sort(moved.begin(), moved.end(), byOldAddress);
  moveObjectReferences(world, script, [&moved](ObjectRecord*& p) {
    if (p == nullptr) return;
    auto at = std::lower_bound(moved.begin(), moved.end(), p, [](const auto& m, ObjectRecord* q) {
      return std::less<ObjectRecord*>()(m.first, q);
    });
    if (at != moved.end() && at->first == p) p = at->second;
  });
}

}  // namespace

void sortObjects(World& world) {
  if (world.objectCount < 1) return;
  world.objects.sortRangeByKey(
      1, static_cast<std::size_t>(world.objectCount), [](const ObjectRecord& o) { return DepthKey::of(o); },
      [](const DepthKey& a, const DepthKey& b) { return DepthKey::less(a, b); });
}

void layOutObjects(World& world, ScriptState& script, ObjectLayout layout) {
  if (world.objectCount < 1) return;
  std::vector<std::pair<ObjectRecord*, ObjectRecord*>> moved =
      world.objects.layOutRange(1, static_cast<std::size_t>(world.objectCount),
                                [](const ObjectRecord& o) { return staysInPlace(o); }, RegionOfObject{layout});
  followMovedObjects(world, script, moved);
}

void sortAndLayOutObjects(World& world, ScriptState& script, ObjectLayout layout) {
  if (world.objectCount < 1) return;
  std::vector<std::pair<ObjectRecord*, ObjectRecord*>> moved = world.objects.sortAndLayOutRange(
      1, static_cast<std::size_t>(world.objectCount), [](const ObjectRecord& o) { return DepthKey::of(o); },
      [](const DepthKey& a, const DepthKey& b) { return DepthKey::less(a, b); },
      [](const ObjectRecord& o) { return staysInPlace(o); }, RegionOfObject{layout});
  followMovedObjects(world, script, moved);
}

}  // namespace zor
