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
  // What the index was built from: positions, and their boxes and levels.
  std::vector<uint32_t> positions;
  std::vector<PairBox> boxes;
  std::vector<int8_t> levels;
  PairIndex index;
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
  PairIndex movingPlayerIndex;
};

struct WorldStepCache {
  FixedPairCache fixedPairs;
  PairPassBuffers buffers;
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

// Asks the processor to load a whole record (and its list links).
inline void prefetchRecord(const ObjectRecord* record) {
  const auto at = reinterpret_cast<std::uintptr_t>(record) - 16;
  for (std::uintptr_t line = 0; line <= sizeof(ObjectRecord) + 16; line += 64) prefetchLine(at + line);
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
