#include "game/render/scene_index.h"

#include <algorithm>
#include <cmath>

#include "format/vocabulary.h"

namespace zor {

namespace {

// Buckets along x, besides the one of the objects visited always.
constexpr std::size_t kBuckets = 64;
// Indexing pays only when there is more to pass over than to look at.
constexpr std::size_t kSmallestIndexedZone = 128;
// Pixels of room beyond the view, for the truncation of projected values.
constexpr double kPixelSlack = 8.0;
// Relative room for the single-precision projection of world values.
constexpr double kRelativeSlack = 1e-6;

bool sameProjection(const Projection& a, const Projection& b) {
  return a.focal == b.focal && a.centreX == b.centreX && a.centreY == b.centreY && a.camera.x == b.camera.x &&
         a.camera.y == b.camera.y && a.camera.z == b.camera.z && a.pixelWidth == b.pixelWidth &&
         a.pixelHeight == b.pixelHeight && a.viewWidth == b.viewWidth && a.leftBar == b.leftBar &&
         a.topBar == b.topBar && a.borderWidth == b.borderWidth;
}

}  // namespace

void SceneIndex::begin(const Projection& projection, const ObjectRecord* player, std::size_t objectCount,
                       bool swishActive) {
  usable_ = false;
  building_ = !swishActive && objectCount >= kSmallestIndexedZone && projection.focal > 0.0f &&
              std::isfinite(projection.focal) && std::isfinite(projection.camera.x) &&
              std::isfinite(projection.camera.z);
  ordered_ = true;
  projection_ = projection;
  player_ = player;
  objectCount_ = objectCount;
  order_.clear();
  left_.clear();
  right_.clear();
  always_.clear();
  minX_ = HUGE_VAL;
  maxX_ = -HUGE_VAL;
}

void SceneIndex::add(const ObjectRecord& o) {
  if (!building_) return;
  // The walk may pass over objects only while depths never grow along the list.
  if (std::isnan(o.z) || (!order_.empty() && o.z > lastZ_)) ordered_ = false;
  lastZ_ = o.z;
  const double x0 = static_cast<double>(o.x), x1 = static_cast<double>(o.x) + static_cast<double>(o.w);
  const bool odd = !std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(o.z) || o.has(format::flag::Horizon);
  order_.push_back(&o);
  left_.push_back(std::min(x0, x1));
  right_.push_back(std::max(x0, x1));
  always_.push_back(odd ? 1 : 0);
  if (!odd) {
    minX_ = std::min(minX_, left_.back());
    maxX_ = std::max(maxX_, left_.back());
  }
}

void SceneIndex::finish() {
  if (!building_) return;
  building_ = false;
  if (!ordered_ || order_.size() > UINT32_MAX) return;
  buckets_.resize(kBuckets + 1);
  for (Bucket& b : buckets_) {
    b.members.clear();
    b.left = HUGE_VAL;
    b.right = -HUGE_VAL;
    b.farthest = -HUGE_VAL;
    b.widest = 0.0;
    b.near = false;
  }
  const double span = maxX_ > minX_ ? maxX_ - minX_ : 1.0;
  const double perBucket = static_cast<double>(kBuckets) / span;
  const float camZ = projection_.camera.z;
  for (std::size_t i = 0; i < order_.size(); ++i) {
    std::size_t k = 0;
    if (!always_[i]) {
      const double slot = (left_[i] - minX_) * perBucket;
      k = 1 + std::min<std::size_t>(kBuckets - 1, static_cast<std::size_t>(std::max(slot, 0.0)));
    }
    Bucket& b = buckets_[k];
    const ObjectRecord& o = *order_[i];
    b.members.push_back(static_cast<uint32_t>(i));
    b.left = std::min(b.left, left_[i]);
    b.right = std::max(b.right, right_[i]);
    b.farthest = std::max(b.farthest, static_cast<double>(o.z));
    b.widest = std::max(b.widest, std::fabs(static_cast<double>(o.w)));
    if (!(o.z - camZ > kNearLimit)) b.near = true;
  }
  usable_ = true;
}

bool SceneIndex::fits(const Projection& projection, const ObjectRecord* player, std::size_t objectCount) const {
  return usable_ && player == player_ && objectCount == objectCount_ && sameProjection(projection, projection_);
}

bool SceneIndex::bucketCanReachView(const Bucket& b, const Projection& p) const {
  if (b.members.empty()) return false;
  if (b.near) return true;
  // Pixels from the projection centre to the view's edges.
  const double toRight = static_cast<double>(p.pixelWidth) - p.leftBar - p.centreX + kPixelSlack;
  const double toLeft = static_cast<double>(p.leftBar) - p.centreX - kPixelSlack;
  if (toRight < 0.0 || toLeft > 0.0) return true;
  // The view is widest at the farthest member: beside it there, beside it nearer too.
  const double depth = b.farthest - static_cast<double>(p.camera.z);
  const double f = static_cast<double>(p.focal);
  const double camX = static_cast<double>(p.camera.x);
  const double slack =
      kRelativeSlack * (std::fabs(b.left) + std::fabs(b.right) + std::fabs(camX) + b.widest) + kRelativeSlack;
  const double rightEdge = camX + toRight * depth / f;
  const double leftEdge = camX + toLeft * depth / f;
  if (b.left - slack > rightEdge) return false;
  if (b.right + slack < leftEdge) return false;
  return true;
}

void SceneIndex::markCandidates(const Projection& projection) const {
  marks_.assign((order_.size() + 63) / 64, 0);
  for (std::size_t k = 0; k < buckets_.size(); ++k) {
    const Bucket& b = buckets_[k];
    if (k != 0 && !bucketCanReachView(b, projection)) continue;
    for (uint32_t position : b.members) marks_[position / 64] |= uint64_t{1} << (position % 64);
  }
}

}  // namespace zor
