// The candidates of the pair pass, found by place instead of by walking every
// later object: chosen positions of the pass's order, hashed into a grid of
// cells over x and y by their boxes, per level. A query answers the first
// position from a given one on (in the pass's order) whose object passes the
// pass's own test, so that contacts come in exactly the order of a walk over
// every later object.
//
// Each entry keeps its object's box and level beside its position, so that the
// objects a query box does not reach are passed over without loading their
// records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zor {

// A box as the pass compares it: x0 = x, x1 = x + w, y0 = y, y1 = y + h.
struct PairBox {
  float x0, y0, x1, y1;
};

class PairIndex {
 public:
  // Indexes the positions in `candidates` (ascending) by boxes[p] and levels[p].
  void build(const std::vector<uint32_t>& candidates, const std::vector<PairBox>& boxes,
             const std::vector<int8_t>& levels);

  // The first indexed position p >= from with levels[p] == level and test(p)
  // true, or `none` when there is none. test(p) must be false for every object
  // whose indexed box does not overlap (or touch) the query box, and for every
  // object whose level is not levels[p] as indexed; it may be called several
  // times for one position.
  template <typename Test>
  std::size_t firstFrom(std::size_t from, int8_t level, const PairBox& query, std::size_t none, Test test) const {
    std::size_t best = none;
    CellRange r;
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

 private:
  struct Entry {
    PairBox box;
    uint32_t position;
    int8_t level;
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

  bool cellRange(const PairBox& box, CellRange& out) const;
  std::size_t bucketOf(int64_t cx, int64_t cy, int8_t level) const;

  // Whether two boxes overlap or touch; false when either holds not-a-number.
  static bool reaches(const PairBox& a, const PairBox& b) {
    return a.x1 >= b.x0 && a.x0 <= b.x1 && a.y1 >= b.y0 && a.y0 <= b.y1;
  }

  // Entries in ascending order of position: lowers `best` to the first one
  // from `from` on that passes.
  template <typename Test>
  static void scan(const Entry* it, const Entry* end, std::size_t from, std::size_t& best, int8_t level,
                   const PairBox& query, Test& test) {
    for (; it != end && it->position < best; ++it) {
      const uint32_t p = it->position;
      if (p < from || it->level != level || !reaches(it->box, query)) continue;
      if (test(p)) {
        best = p;
        return;
      }
    }
  }

  double inverseCell_ = 1.0 / 64.0;
  std::size_t bucketMask_ = 0;
  std::vector<Entry> candidates_;      // every indexed position, ascending
  std::vector<Entry> large_;           // large objects, ascending
  std::vector<uint32_t> bucketStart_;  // entries_ of bucket b: [bucketStart_[b], bucketStart_[b + 1])
  std::vector<Entry> entries_;         // ascending within each bucket
  std::vector<CellRange> ranges_;      // scratch: each candidate's cells
  std::vector<uint32_t> fill_;         // scratch: the next free entry of each bucket
};

}  // namespace zor
