// The candidates of the pair pass, found by place instead of by walking every
// later object: chosen positions of the pass's order, hashed into a grid of
// cells over x and y by their boxes, per level. A query answers the first
// position from a given one on (in the pass's order) whose object passes the
// pass's own test, so that contacts come in exactly the order of a walk over
// every later object.
//
// Each entry keeps its object's box and level beside its position, so that the
// objects a query box does not reach are passed over without loading their
// records, and the bits of what the object can be met as (given by the
// caller; the index only keeps them).
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zor {

// Asks the processor to load the line at `p`; a hint only, never a fault.
inline void loadAhead(const void* p) {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  // GCC drops __builtin_prefetch from some loops; the instruction itself stays.
  asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(p)));
#else
  __builtin_prefetch(p);
#endif
}

// A box as the pass compares it: x0 = x, x1 = x + w, y0 = y, y1 = y + h.
struct PairBox {
  float x0, y0, x1, y1;
};

class PairIndex {
 public:
  // Indexes the positions in `candidates` (ascending) by boxes[p] and levels[p],
  // each with the bits (*bits)[p] (0 without `bits`).
  void build(const std::vector<uint32_t>& candidates, const std::vector<PairBox>& boxes,
             const std::vector<int8_t>& levels, const std::vector<uint8_t>* bits = nullptr);
  // The same candidates kept only as a list that every query walks: for a set
  // asked only a few times before it changes (the player's candidates).
  void buildList(const std::vector<uint32_t>& candidates, const std::vector<PairBox>& boxes,
                 const std::vector<int8_t>& levels, const std::vector<uint8_t>* bits = nullptr);
  // As build and buildList, for a set that is mostly as it was: when the
  // candidates, their levels and bits are those the index last took, and no box has
  // left the cells it was indexed in, only the boxes that changed are written
  // over in place; otherwise the index is built anew. Queries answer as after
  // a build either way.
  void rebuild(const std::vector<uint32_t>& candidates, const std::vector<PairBox>& boxes,
               const std::vector<int8_t>& levels, const std::vector<uint8_t>* bits = nullptr);
  void rebuildList(const std::vector<uint32_t>& candidates, const std::vector<PairBox>& boxes,
                   const std::vector<int8_t>& levels, const std::vector<uint8_t>* bits = nullptr);

  // One indexed position with its box and bits, as `collect` gives them.
  struct Near {
    PairBox box;
    uint32_t position;
    uint8_t bits;
  };
  // Appends every indexed position on `level` whose box reaches `box`
  // (overlaps or touches it) and whose bits share one with `anyOf` (any
  // bits, for 0), ascending and each once, with its box and bits. Boxes
  // holding not-a-number reach nothing.
  void collect(int8_t level, const PairBox& box, std::vector<Near>& out, uint8_t anyOf = 0) const;

  // The first indexed position p >= from with levels[p] == level and test(p)
  // true, or `none` when there is none. test(p) must be false for every object
  // whose indexed box does not overlap the query box by more than a touch (as
  // the pass compares an object's box, x + w > x', etc., against its own), and
  // for every object whose level is not levels[p] as indexed; it may be called
  // several times for one position. Objects that only touch the query box (a
  // crate on its floor) are passed over without calling test.
  template <typename Test>
  std::size_t firstFrom(std::size_t from, int8_t level, const PairBox& query, std::size_t none, Test test) const {
    std::size_t best = none;
    CellRange r;
    if (listOnly_) {
      scan(firstAtOrAfter(from), candidates_.data() + candidates_.size(), from, best, level, query, test);
      return best;
    }
    if (!cellRange(query, r) || r.cells() > kMaxQueryCells) {
      scan(candidates_.data(), candidates_.data() + candidates_.size(), from, best, level, query, test);
      return best;
    }
    scan(large_.data(), large_.data() + large_.size(), from, best, level, query, test);
    for (int64_t cy = r.y0; cy <= r.y1; ++cy) {
      for (int64_t cx = r.x0; cx <= r.x1; ++cx) {
        const std::size_t b = bucketOf(cx, cy, level);
        scan(entries_.data() + bucketStart_[b], entries_.data() + bucketStart_[b + 1], from, best, level, query,
             test);
      }
    }
    return best;
  }

  // Asks the processor to load what a later firstFrom for `query` on `level`
  // reads first, in two steps some queries apart: the bucket table's lines of
  // the query's cells, then (with those at hand) the first entries of its
  // buckets. Hints only: no result depends on them.
  void prefetchBuckets(int8_t level, const PairBox& query) const {
    CellRange r;
    if (listOnly_ || !cellRange(query, r) || r.cells() > kMaxPrefetchCells) return;
    for (int64_t cy = r.y0; cy <= r.y1; ++cy) {
      for (int64_t cx = r.x0; cx <= r.x1; ++cx) loadAhead(bucketStart_.data() + bucketOf(cx, cy, level));
    }
  }
  void prefetchEntries(int8_t level, const PairBox& query) const {
    CellRange r;
    if (listOnly_ || !cellRange(query, r) || r.cells() > kMaxPrefetchCells) return;
    for (int64_t cy = r.y0; cy <= r.y1; ++cy) {
      for (int64_t cx = r.x0; cx <= r.x1; ++cx) {
        const std::size_t b = bucketOf(cx, cy, level);
        if (bucketStart_[b] != bucketStart_[b + 1]) loadAhead(entries_.data() + bucketStart_[b]);
      }
    }
  }

 private:
  // A query over more cells than this is not loaded ahead.
  static constexpr int64_t kMaxPrefetchCells = 8;
  struct Entry {
    PairBox box;
    uint32_t position;
    int8_t level;
    uint8_t bits;
  };
  struct CellRange {
    int64_t x0 = 0, y0 = 0, x1 = -1, y1 = -1;
    int64_t cells() const { return (x1 - x0 + 1) * (y1 - y0 + 1); }
  };
  // An object over more cells than this is kept in the list of large objects,
  // which every query walks; a query box over more cells walks every candidate.
  static constexpr int64_t kMaxObjectCells = 16;
  static constexpr int64_t kMaxQueryCells = 64;
  static constexpr int kRunBits = 4;  // buckets are at least 16

  // Cell coordinates stay well inside int64 and their hash; boxes beyond count as large.
  static constexpr float kMaxCellCoordinate = 1.0e15f;

  // The cell of one coordinate: scaling by a power of two and rounding down
  // keep the order, so that boxes that overlap or touch share a cell.
  static bool cellOf(float v, float inverseCell, int64_t& out) {
    const float c = std::floor(v * inverseCell);
    if (!(c > -kMaxCellCoordinate && c < kMaxCellCoordinate)) return false;  // also NaN
    out = static_cast<int64_t>(c);
    return true;
  }

  bool cellRange(const PairBox& box, CellRange& out) const {
    return cellOf(box.x0, inverseCell_, out.x0) && cellOf(box.y0, inverseCell_, out.y0) &&
           cellOf(box.x1, inverseCell_, out.x1) && cellOf(box.y1, inverseCell_, out.y1) && out.x0 <= out.x1 &&
           out.y0 <= out.y1;
  }

  // Runs of 2^kRunBits cells along x share one hash and take neighbouring
  // buckets, so that queries going along x read the bucket table and the
  // entries forward.
  std::size_t bucketOf(int64_t cx, int64_t cy, int8_t level) const {
    uint64_t h = static_cast<uint64_t>(cx >> kRunBits) * 0x9E3779B97F4A7C15ull;
    h ^= static_cast<uint64_t>(cy) * 0xC2B2AE3D27D4EB4Full;
    h ^= static_cast<uint64_t>(static_cast<uint8_t>(level)) * 0x165667B19E3779F9ull;
    h ^= h >> 29;
    h = (h << kRunBits) | (static_cast<uint64_t>(cx) & ((uint64_t{1} << kRunBits) - 1));
    return static_cast<std::size_t>(h) & bucketMask_;
  }
  const Entry* firstAtOrAfter(std::size_t from) const;
  bool sameCandidates(const std::vector<uint32_t>& candidates, const std::vector<int8_t>& levels,
                      const std::vector<uint8_t>* bits) const;
  bool updateInPlace(const std::vector<uint32_t>& candidates, const std::vector<PairBox>& boxes);
  void takeCandidates(const std::vector<uint32_t>& candidates, const std::vector<PairBox>& boxes,
                      const std::vector<int8_t>& levels, const std::vector<uint8_t>* bits);

  // Whether two boxes overlap by more than a touch: the pass's own comparison
  // of two objects (b.x + b.w > a.x && b.x < a.x + a.w and so in y), on the
  // same sums. False when either holds not-a-number.
  static bool overlapsQuery(const PairBox& entry, const PairBox& query) {
    return query.x1 > entry.x0 && query.x0 < entry.x1 && query.y1 > entry.y0 && query.y0 < entry.y1;
  }

  // Entries in ascending order of position: lowers `best` to the first one
  // from `from` on that passes.
  template <typename Test>
  static void scan(const Entry* it, const Entry* end, std::size_t from, std::size_t& best, int8_t level,
                   const PairBox& query, Test& test) {
    for (; it != end && it->position < best; ++it) {
      const uint32_t p = it->position;
      if (p < from || it->level != level || !overlapsQuery(it->box, query)) continue;
      if (test(p)) {
        best = p;
        return;
      }
    }
  }

  bool built_ = false;  // by build or buildList
  bool listOnly_ = false;
  float inverseCell_ = 1.0f / 64.0f;
  std::size_t bucketMask_ = 0;
  std::vector<Entry> candidates_;      // every indexed position, ascending
  std::vector<Entry> large_;           // large objects, ascending
  std::vector<uint32_t> bucketStart_;  // entries_ of bucket b: [bucketStart_[b], bucketStart_[b + 1])
  std::vector<Entry> entries_;         // ascending within each bucket
  std::vector<CellRange> ranges_;      // scratch: each candidate's cells
  std::vector<uint32_t> fill_;         // scratch: the next free entry of each bucket
};

// What one PairIndex holds near each of a row of querying objects, kept from
// step to step: for each slot, the indexed positions on the object's level
// whose boxes reach the object's box grown by a margin on every side, with
// their boxes, ascending. An object that stays within its margin asks its own
// short list instead of the index, and the lists lie in the order of the
// slots, so that a walk over the slots reads them forward through memory.
//
// A list answers exactly as the index for every query box inside the grown
// box: an indexed box that overlaps such a query by more than a touch reaches
// the grown box. The lists hold only while the index stays the same (clear
// them when it changes).
class NearLists {
 public:
  // How far a list reaches past its object's box.
  static constexpr float kMargin = 32.0f;

  // Forgets every list: the index changed.
  void clear() {
    slots_.clear();
    pool_.clear();
    garbage_ = 0;
  }
  // Makes room for `slots` slots (new ones hold no list) and packs the lists
  // in slot order when much of their storage has been given up.
  void prepare(std::size_t slots);
  // Makes slot s hold the list of the object at `position` on `level` for
  // query boxes inside `box` grown by the margin: the one it holds when it
  // already covers `box` for that object, else a new one taken from `index`.
  // With `anyOf`, the list keeps only the positions whose bits share one with
  // it (a test that is false for every other position answers the same);
  // every refresh of the lists between two clears must give the same anyOf.
  void refresh(std::size_t s, uint32_t position, int8_t level, const PairBox& box, const PairIndex& index,
               uint8_t anyOf = 0);

  // Whether slot s holds a list of the object at `position` on `level` that
  // answers for `query`.
  bool covers(std::size_t s, uint32_t position, int8_t level, const PairBox& query) const {
    if (s >= slots_.size()) return false;
    const Slot& slot = slots_[s];
    const PairBox& r = slot.reach;
    return slot.valid && slot.position == position && slot.level == level && query.x0 >= r.x0 &&
           query.x1 <= r.x1 && query.y0 >= r.y0 && query.y1 <= r.y1;
  }

  // As PairIndex::firstFrom for `query` on the slot's level, for a query that
  // slot s covers.
  template <typename Test>
  std::size_t firstFrom(std::size_t s, std::size_t from, const PairBox& query, std::size_t none, Test test) const {
    const PairIndex::Near* e =
        firstEntryFrom(s, from, query, none, [&](const PairIndex::Near& n) { return test(n.position); });
    return e != nullptr ? e->position : none;
  }
  // As firstFrom, with the entry found (its box and bits as indexed), or null
  // for none; test(entry) is asked instead of test(position).
  template <typename Test>
  const PairIndex::Near* firstEntryFrom(std::size_t s, std::size_t from, const PairBox& query, std::size_t none,
                                        Test test) const {
    const Slot& slot = slots_[s];
    const PairIndex::Near* it = pool_.data() + slot.begin;
    const PairIndex::Near* end = it + slot.count;
    for (; it != end && it->position < none; ++it) {
      if (it->position < from || !overlapsQuery(it->box, query)) continue;
      if (test(*it)) return it;
    }
    return nullptr;
  }

  // Asks the processor to load the first entries of slot s's list, which a
  // later firstFrom or firstEntryFrom of the slot reads first. A hint only.
  void prefetch(std::size_t s) const {
    if (s >= slots_.size()) return;
    const Slot& slot = slots_[s];
    if (slot.count == 0) return;
    loadAhead(pool_.data() + slot.begin);
  }

  // Number of lists taken anew since the last clear; for tests.
  std::size_t refreshes() const { return refreshes_; }

 private:
  static bool overlapsQuery(const PairBox& entry, const PairBox& query) {
    return query.x1 > entry.x0 && query.x0 < entry.x1 && query.y1 > entry.y0 && query.y0 < entry.y1;
  }
  struct Slot {
    PairBox reach;  // the object's box grown by the margin when the list was taken
    uint32_t position = 0;
    int8_t level = 0;
    bool valid = false;
    uint32_t begin = 0, count = 0, capacity = 0;  // pool_[begin, begin + count); room for capacity
  };
  std::vector<Slot> slots_;
  std::vector<PairIndex::Near> pool_;
  std::size_t garbage_ = 0;  // entries of pool_ no slot uses
  std::size_t refreshes_ = 0;
  std::vector<PairIndex::Near> taken_;  // scratch
  std::vector<PairIndex::Near> packed_;  // scratch
};

}  // namespace zor
