#include "game/world/pair_index.h"

#include <algorithm>
#include <cmath>

namespace zor {

const PairIndex::Entry* PairIndex::firstAtOrAfter(std::size_t from) const {
  return std::lower_bound(candidates_.data(), candidates_.data() + candidates_.size(), from,
                          [](const Entry& e, std::size_t p) { return e.position < p; });
}

void PairIndex::takeCandidates(const std::vector<uint32_t>& candidates, const std::vector<PairBox>& boxes,
                               const std::vector<int8_t>& levels) {
  candidates_.clear();
  candidates_.reserve(candidates.size());
  for (uint32_t p : candidates) candidates_.push_back(Entry{boxes[p], p, levels[p]});
}

void PairIndex::buildList(const std::vector<uint32_t>& candidates, const std::vector<PairBox>& boxes,
                          const std::vector<int8_t>& levels) {
  takeCandidates(candidates, boxes, levels);
  listOnly_ = true;
}

void PairIndex::build(const std::vector<uint32_t>& candidates, const std::vector<PairBox>& boxes,
                      const std::vector<int8_t>& levels) {
  takeCandidates(candidates, boxes, levels);
  listOnly_ = false;
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

}  // namespace zor
