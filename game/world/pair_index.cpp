#include "game/world/pair_index.h"

#include <algorithm>
#include <cmath>

namespace zor {

namespace {

// Cell coordinates stay well inside int64 and their hash; boxes beyond count as large.
constexpr double kMaxCellCoordinate = 1.0e15;

bool cellOf(float v, double inverseCell, int64_t& out) {
  const double c = std::floor(static_cast<double>(v) * inverseCell);
  if (!(c > -kMaxCellCoordinate && c < kMaxCellCoordinate)) return false;  // also NaN
  out = static_cast<int64_t>(c);
  return true;
}

}  // namespace

// Cells are monotonic in x and y, so boxes that overlap or touch share a cell.
bool PairIndex::cellRange(const PairBox& box, CellRange& out) const {
  return cellOf(box.x0, inverseCell_, out.x0) && cellOf(box.y0, inverseCell_, out.y0) &&
         cellOf(box.x1, inverseCell_, out.x1) && cellOf(box.y1, inverseCell_, out.y1) && out.x0 <= out.x1 &&
         out.y0 <= out.y1;
}

// Runs of kRun cells along x share one hash and take neighbouring buckets, so
// that queries going along x read the bucket table and the entries forward.
std::size_t PairIndex::bucketOf(int64_t cx, int64_t cy, int8_t level) const {
  uint64_t h = static_cast<uint64_t>(cx >> kRunBits) * 0x9E3779B97F4A7C15ull;
  h ^= static_cast<uint64_t>(cy) * 0xC2B2AE3D27D4EB4Full;
  h ^= static_cast<uint64_t>(static_cast<uint8_t>(level)) * 0x165667B19E3779F9ull;
  h ^= h >> 29;
  h = (h << kRunBits) | (static_cast<uint64_t>(cx) & ((uint64_t{1} << kRunBits) - 1));
  return static_cast<std::size_t>(h) & bucketMask_;
}

void PairIndex::build(const std::vector<uint32_t>& candidates, const std::vector<PairBox>& boxes,
                      const std::vector<int8_t>& levels) {
  candidates_.clear();
  candidates_.reserve(candidates.size());
  for (uint32_t p : candidates) candidates_.push_back(Entry{boxes[p], p, levels[p]});
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
  inverseCell_ = 1.0 / cell;

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
