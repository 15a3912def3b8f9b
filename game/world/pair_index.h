// The candidates of the pair pass, found by place instead of by walking every
// later object: the solid objects of one pass, hashed into a grid of cells
// over x and y by the boxes they had when the pass began. A query answers the
// first position after a given one (in the pass's order) whose object passes
// the pass's own test, so that contacts happen in exactly the order a walk
// over every later object would find them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/world/records.h"

namespace zor {

class PairIndex {
 public:
  // Indexes `order[k]` for every k with index(k) true, by its box now. The
  // indexed objects must keep their boxes while the index is queried.
  template <typename Indexed>
  void build(const std::vector<ObjectRecord*>& order, Indexed indexed) {
    candidates_.clear();
    for (std::size_t k = 0; k < order.size(); ++k) {
      if (indexed(k)) candidates_.push_back(static_cast<uint32_t>(k));
    }
    build(order);
  }

  // The first position p > after, p < order.size(), with levels[p] == level
  // and test(p) true; order.size() when there is none. test(p) must be true
  // only for objects whose box overlaps the query box (x0, y0)-(x1, y1), which
  // counts as overlapping what it touches; it may be called several times for
  // one position and for positions whose boxes are far away.
  template <typename Test>
  std::size_t firstAfter(std::size_t after, int8_t level, const std::vector<int8_t>& levels, float x0, float y0,
                         float x1, float y1, Test test) const {
    const std::size_t n = levels.size();
    std::size_t best = n;
    CellRange r;
    if (!cellRange(x0, y0, x1, y1, r) || r.cells() > kMaxQueryCells) {
      for (uint32_t p : candidates_) {
        if (p > after && levels[p] == level && test(p)) return p;
      }
      return n;
    }
    scanAscending(large_, after, best, level, levels, test);
    for (int64_t cy = r.y0; cy <= r.y1; ++cy) {
      for (int64_t cx = r.x0; cx <= r.x1; ++cx) {
        const std::size_t b = bucketOf(cx, cy, level);
        scanAscending(entries_.data() + bucketStart_[b], entries_.data() + bucketStart_[b + 1], after, best, level,
                      levels, test);
      }
    }
    return best;
  }

 private:
  struct CellRange {
    int64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int64_t cells() const { return (x1 - x0 + 1) * (y1 - y0 + 1); }
  };
  // An object over more cells than this is kept in the list of large objects,
  // which every query walks; a query box over more cells walks every candidate.
  static constexpr int64_t kMaxObjectCells = 16;
  static constexpr int64_t kMaxQueryCells = 64;

  void build(const std::vector<ObjectRecord*>& order);
  bool cellRange(float x0, float y0, float x1, float y1, CellRange& out) const;
  std::size_t bucketOf(int64_t cx, int64_t cy, int8_t level) const;

  // Positions in ascending order: lowers `best` to the first one after `after`
  // that passes.
  template <typename Test>
  static void scanAscending(const uint32_t* from, const uint32_t* to, std::size_t after, std::size_t& best,
                            int8_t level, const std::vector<int8_t>& levels, Test& test) {
    for (const uint32_t* it = from; it != to && *it < best; ++it) {
      const uint32_t p = *it;
      if (p <= after || levels[p] != level) continue;
      if (test(p)) {
        best = p;
        return;
      }
    }
  }
  template <typename Test>
  static void scanAscending(const std::vector<uint32_t>& list, std::size_t after, std::size_t& best, int8_t level,
                            const std::vector<int8_t>& levels, Test& test) {
    scanAscending(list.data(), list.data() + list.size(), after, best, level, levels, test);
  }

  double inverseCell_ = 1.0 / 64.0;
  std::size_t bucketMask_ = 0;
  std::vector<uint32_t> candidates_;   // positions indexed, ascending
  std::vector<uint32_t> large_;        // positions of large objects, ascending
  std::vector<uint32_t> bucketStart_;  // entries_ of bucket b: [bucketStart_[b], bucketStart_[b + 1])
  std::vector<uint32_t> entries_;      // positions, ascending within each bucket
  std::vector<CellRange> ranges_;      // scratch: each candidate's cells
  std::vector<uint32_t> fill_;         // scratch: the next free entry of each bucket
};

}  // namespace zor
