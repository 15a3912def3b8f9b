// What the world step keeps from one step to the next only to go faster; none
// of it changes a result. The index of the objects that stand still is kept
// while their boxes, levels and places in the list stay the same, and the list
// order of the last step lets the walks over the list load records ahead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "game/world/pair_index.h"
#include "game/world/records.h"
#include "platform/current_list.h"

namespace zor {

struct FixedPairCache {
  bool valid = false;
  // What the index was built from: positions, and their boxes, levels and
  // kinds (what they can be met as).
  std::vector<uint32_t> positions;
  std::vector<PairBox> boxes;
  std::vector<int8_t> levels;
  std::vector<uint8_t> kinds;
  PairIndex index;
  // What the index holds near each dynamic object, by its place among the
  // dynamic objects of the pass: the objects it can meet.
  NearLists near;
};

// The pair pass's working storage, lent to each step so that it keeps its size.
struct PairPassBuffers {
  std::vector<ObjectList::iterator> places;
  std::vector<int8_t> levels;
  std::vector<PairBox> boxes;
  std::vector<uint8_t> kinds;
  std::vector<uint32_t> dynamicPositions;
  std::vector<uint32_t> movingPositions;
  std::vector<uint32_t> fixedPositions;
  std::vector<uint32_t> scratch;
  std::vector<std::pair<ObjectList::iterator, uint32_t>> deferred;
  std::vector<uint32_t> restingMoving;
  PairIndex movingIndex;
};

// The objects at rest, which the world step passes over. An object is at rest
// when a step's walk over it would change nothing: it is not the player, not
// dynamic, not cyclic and not on a motion path, runs no effect, has no contact
// bits, and stands where it stood a step before. Such an object keeps its
// place in the pass's order, its box and level and what it can be met as,
// until something changes it: every change to an object from outside the
// step's own walk (a script, a kill, the player's death) wakes it (see
// WorldStepCache::wake), and any change to the list's make-up (an object
// added, removed, sorted or laid out) drops the whole set.
struct RestingSet {
  static constexpr uint32_t kNone = UINT32_MAX;
  bool valid = false;
  uint64_t listChanges = 0;                 // the list's change count when the set was taken
  const ObjectRecord* player = nullptr;     // the player when the set was taken
  uint32_t playerIndex = 0;                 // the player's index in `nodes`
  std::vector<ObjectList::iterator> nodes;  // every object in list order, the player too
  std::vector<uint32_t> awake;              // list indexes of the objects not at rest, ascending
  // By place in the pass's order: the place's index in fixedPairs.positions,
  // or kNone for an object that is not among them.
  std::vector<uint32_t> fixedAt;
  // Objects changed since the last walk, to be walked in the next step.
  std::vector<ObjectRecord*> woken;
  // Scratch of the walk.
  std::vector<uint32_t> nextAwake;
  std::vector<uint32_t> fixedChanges;
};

struct WorldStepCache {
  FixedPairCache fixedPairs;
  PairPassBuffers buffers;
  RestingSet resting;
  // Whether the step passes over the objects at rest; off, every step walks
  // every object (the plain reference the skipping must agree with).
  bool skipResting = true;

  // Something other than the step's walk changed the object (its flags, box,
  // level, effects, contacts or position): the next step walks it again.
  void wake(ObjectRecord* object) {
    if (!resting.valid || object == nullptr) return;
    // Many changes at once: walking everything once is as cheap.
    if (resting.woken.size() >= resting.nodes.size() / 8 + 64) {
      wakeAll();
      return;
    }
    resting.woken.push_back(object);
  }
  // Something may have changed any object: the next step walks every object.
  void wakeAll() {
    resting.valid = false;
    resting.woken.clear();
  }
};

// Asks the processor to load one line of memory; a hint only, never a fault.
inline void prefetchLine(std::uintptr_t address) {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  // GCC drops __builtin_prefetch from some loops; the instruction itself stays.
  asm volatile("prefetcht0 %0" : : "m"(*reinterpret_cast<const char*>(address)));
#else
  __builtin_prefetch(reinterpret_cast<const void*>(address));
#endif
}

// Asks the processor to load a record (and its list links) up to the fields
// the step reads only for some objects (from `gravity` on; see ObjectRecord).
inline void prefetchRecord(const ObjectRecord* record) {
  const auto at = reinterpret_cast<std::uintptr_t>(record) - 16;
  const auto end = reinterpret_cast<std::uintptr_t>(&record->gravity);
  for (std::uintptr_t line = at; line < end; line += 64) prefetchLine(line);
}

// How many objects ahead a walk over the list asks for their nodes.
constexpr std::size_t kListAhead = 20;

// Asks the processor to load the first line of the node at `place`: the
// node's links and what a walk reads of an object at rest. The place may be
// stale (of an object removed since) or empty: it is not followed, only
// handed to the processor as an address.
inline void prefetchNode(const ObjectList::iterator& place) {
  static_assert(sizeof place == sizeof(std::uintptr_t), "a list place is its node's address");
  std::uintptr_t node;
  std::memcpy(&node, &place, sizeof node);
  if (node != 0) prefetchLine(node);
}

}  // namespace zor
