#include "game/world/pair_index.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zor {

const PairIndex::Entry* PairIndex::firstAtOrAfter(std::size_t from) const {
  return std::lower_bound(candidates_.data(), candidates_.data() + candidates_.size(), from,
                          [](const Entry& e, std::size_t p) { return e.position < p; });
}

void PairIndex::takeCandidates(const std::vector<uint32_t>& candidates, const std::vector<PairBox>& boxes,
                               const std::vector<int8_t>& levels, const std::vector<uint8_t>* bits) {
  candidates_.clear();
  candidates_.reserve(candidates.size());
  for (uint32_t p : candidates) {
    candidates_.push_back(Entry{boxes[p], p, levels[p], bits != nullptr ? (*bits)[p] : uint8_t{0}});
  }
}

void PairIndex::buildList(const std::vector<uint32_t>& candidates, const std::vector<PairBox>& boxes,
                          const std::vector<int8_t>& levels, const std::vector<uint8_t>* bits) {
  takeCandidates(candidates, boxes, levels, bits);
  listOnly_ = true;
  built_ = true;
}

void PairIndex::build(const std::vector<uint32_t>& candidates, const std::vector<PairBox>& boxes,
                      const std::vector<int8_t>& levels, const std::vector<uint8_t>* bits) {
  takeCandidates(candidates, boxes, levels, bits);
  listOnly_ = false;
  built_ = true;
  large_.clear();

  // Cells twice the mean size of the objects, as a power of two.
  double sum = 0.0;
  std::size_t counted = 0;
  for (const Entry& e : candidates_) {
    const PairBox& b = e.box;
    const double extent = std::max(static_cast<double>(b.x1) - static_cast<double>(b.x0),
                                   static_cast<double>(b.y1) - static_cast<double>(b.y0));
    if (extent > 0.0 && extent < 4096.0) {
      sum += extent;
      ++counted;
    }
  }
  double cell = 64.0;
  if (counted > 0) {
    const double want = 2.0 * sum / static_cast<double>(counted);
    cell = 4.0;
    while (cell < want) cell *= 2.0;
  }
  inverseCell_ = static_cast<float>(1.0 / cell);  // a power of two: exact

  // The cells of every candidate; the large ones aside.
  std::size_t cellCount = 0;
  ranges_.resize(candidates_.size());
  for (std::size_t c = 0; c < candidates_.size(); ++c) {
    CellRange& r = ranges_[c];
    if (!cellRange(candidates_[c].box, r) || r.cells() > kMaxObjectCells) {
      large_.push_back(candidates_[c]);
      r = CellRange{};
      continue;
    }
    cellCount += static_cast<std::size_t>(r.cells());
  }

  std::size_t buckets = 16;
  while (buckets < 2 * cellCount) buckets *= 2;
  bucketMask_ = buckets - 1;
  bucketStart_.assign(buckets + 1, 0);

  // Counting sort into buckets; positions stay ascending within each bucket.
  auto eachCell = [&](auto&& visit) {
    for (std::size_t c = 0; c < candidates_.size(); ++c) {
      const CellRange& r = ranges_[c];
      const Entry& e = candidates_[c];
      for (int64_t cy = r.y0; cy <= r.y1; ++cy) {
        for (int64_t cx = r.x0; cx <= r.x1; ++cx) visit(bucketOf(cx, cy, e.level), e);
      }
    }
  };
  eachCell([&](std::size_t b, const Entry&) { ++bucketStart_[b + 1]; });
  for (std::size_t b = 0; b < buckets; ++b) bucketStart_[b + 1] += bucketStart_[b];
  entries_.resize(cellCount);
  fill_.assign(bucketStart_.begin(), bucketStart_.end() - 1);
  eachCell([&](std::size_t b, const Entry& e) { entries_[fill_[b]++] = e; });
}

void PairIndex::collect(int8_t level, const PairBox& box, std::vector<Near>& out, uint8_t anyOf) const {
  const std::size_t first = out.size();
  auto take = [&](const Entry* it, const Entry* end) {
    for (; it != end; ++it) {
      const PairBox& e = it->box;
      if (it->level == level && (anyOf == 0 || (it->bits & anyOf) != 0) && e.x0 <= box.x1 && e.x1 >= box.x0 &&
          e.y0 <= box.y1 && e.y1 >= box.y0) {
        out.push_back(Near{e, it->position, it->bits});
      }
    }
  };
  CellRange r;
  if (listOnly_ || !cellRange(box, r) || r.cells() > kMaxQueryCells) {
    take(candidates_.data(), candidates_.data() + candidates_.size());
    return;  // each position once, ascending
  }
  take(large_.data(), large_.data() + large_.size());
  for (int64_t cy = r.y0; cy <= r.y1; ++cy) {
    for (int64_t cx = r.x0; cx <= r.x1; ++cx) {
      const std::size_t b = bucketOf(cx, cy, level);
      take(entries_.data() + bucketStart_[b], entries_.data() + bucketStart_[b + 1]);
    }
  }
  auto byPosition = [](const Near& x, const Near& y) { return x.position < y.position; };
  std::sort(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(), byPosition);
  out.erase(std::unique(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(),
                        [](const Near& x, const Near& y) { return x.position == y.position; }),
            out.end());
}

void NearLists::prepare(std::size_t slots) {
  for (std::size_t s = slots; s < slots_.size(); ++s) garbage_ += slots_[s].capacity;
  slots_.resize(slots);
  if (garbage_ <= pool_.size() / 2 + 1024) return;
  // Pack the lists in slot order.
  packed_.clear();
  for (Slot& slot : slots_) {
    const uint32_t begin = static_cast<uint32_t>(packed_.size());
    if (slot.valid) {
      packed_.insert(packed_.end(), pool_.begin() + slot.begin, pool_.begin() + slot.begin + slot.count);
    }
    slot.begin = begin;
    slot.capacity = slot.count = slot.valid ? slot.count : 0;
  }
  pool_.swap(packed_);
  garbage_ = 0;
}

void NearLists::refresh(std::size_t s, uint32_t position, int8_t level, const PairBox& box, const PairIndex& index,
                        uint8_t anyOf) {
  if (covers(s, position, level, box)) return;
  Slot& slot = slots_[s];
  ++refreshes_;
  const PairBox reach{box.x0 - kMargin, box.y0 - kMargin, box.x1 + kMargin, box.y1 + kMargin};
  taken_.clear();
  index.collect(level, reach, taken_, anyOf);
  // A box of not-a-number covers no query: the list is not kept.
  slot.valid = reach.x0 <= reach.x1 && reach.y0 <= reach.y1;
  slot.reach = reach;
  slot.position = position;
  slot.level = level;
  if (taken_.size() > slot.capacity) {
    garbage_ += slot.capacity;
    slot.begin = static_cast<uint32_t>(pool_.size());
    slot.capacity = static_cast<uint32_t>(taken_.size() + taken_.size() / 2 + 2);
    pool_.resize(pool_.size() + slot.capacity);
  }
  std::copy(taken_.begin(), taken_.end(), pool_.begin() + slot.begin);
  slot.count = static_cast<uint32_t>(taken_.size());
}

bool PairIndex::sameCandidates(const std::vector<uint32_t>& candidates, const std::vector<int8_t>& levels,
                               const std::vector<uint8_t>* bits) const {
  if (!built_ || candidates.size() != candidates_.size()) return false;
  for (std::size_t c = 0; c < candidates.size(); ++c) {
    const uint32_t p = candidates[c];
    const Entry& e = candidates_[c];
    if (e.position != p || e.level != levels[p] || e.bits != (bits != nullptr ? (*bits)[p] : uint8_t{0})) return false;
  }
  return true;
}

bool PairIndex::updateInPlace(const std::vector<uint32_t>& candidates, const std::vector<PairBox>& boxes) {
  auto byPosition = [](const Entry& e, uint32_t p) { return e.position < p; };
  for (std::size_t c = 0; c < candidates.size(); ++c) {
    Entry& e = candidates_[c];
    const PairBox& box = boxes[e.position];
    if (std::memcmp(&box, &e.box, sizeof box) == 0) continue;
    if (listOnly_) {
      e.box = box;
      continue;
    }
    const CellRange& was = ranges_[c];
    CellRange r;
    const bool small = cellRange(box, r) && r.cells() <= kMaxObjectCells;
    if (was.x1 < was.x0) {
      // Among the large objects: stays there while it is not small.
      if (small) return false;
      Entry* at = std::lower_bound(large_.data(), large_.data() + large_.size(), e.position, byPosition);
      at->box = box;
    } else {
      if (!small || r.x0 != was.x0 || r.x1 != was.x1 || r.y0 != was.y0 || r.y1 != was.y1) return false;
      for (int64_t cy = r.y0; cy <= r.y1; ++cy) {
        for (int64_t cx = r.x0; cx <= r.x1; ++cx) {
          const std::size_t b = bucketOf(cx, cy, e.level);
          // Two cells of one object may share a bucket: every entry of the object there.
          Entry* const end = entries_.data() + bucketStart_[b + 1];
          for (Entry* at = std::lower_bound(entries_.data() + bucketStart_[b], end, e.position, byPosition);
               at != end && at->position == e.position; ++at) {
            at->box = box;
          }
        }
      }
    }
    e.box = box;
  }
  return true;
}

void PairIndex::rebuild(const std::vector<uint32_t>& candidates, const std::vector<PairBox>& boxes,
                        const std::vector<int8_t>& levels, const std::vector<uint8_t>* bits) {
  if (!listOnly_ && sameCandidates(candidates, levels, bits) && updateInPlace(candidates, boxes)) return;
  build(candidates, boxes, levels, bits);
}

void PairIndex::rebuildList(const std::vector<uint32_t>& candidates, const std::vector<PairBox>& boxes,
                            const std::vector<int8_t>& levels, const std::vector<uint8_t>* bits) {
  if (listOnly_ && sameCandidates(candidates, levels, bits) && updateInPlace(candidates, boxes)) return;
  buildList(candidates, boxes, levels, bits);
}

}  // namespace zor
