#include "game/render/scene_index.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

// What the world step may change by itself: the place of an object on a motion
// path or a dynamic one, and the flags and effects of one running an effect.
bool changesByItself(const ObjectRecord& o) {
  return o.has(format::flag::Motion | format::flag::Dynamic) || o.effectBits != 0;
}

bool usableProjection(const Projection& p) {
  return p.focal > 0.0f && std::isfinite(p.focal) && std::isfinite(p.camera.x) && std::isfinite(p.camera.z);
}

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
  building_ = !swishActive && objectCount >= kSmallestIndexedZone && usableProjection(projection);
  if (!building_ || player != player_) kept_ = false;
  walkAll_ = false;
  playerAt_ = kNowhere;
  watched_.clear();
  lookedFor_ = nullptr;
  lookedAt_ = kNowhere;
  same_ = kept_;
  ordered_ = true;
  walked_ = 0;
  projection_ = projection;
  player_ = player;
  objectCount_ = objectCount;
  moved_.clear();
  if (!same_) {
    order_.clear();
    left_.clear();
    right_.clear();
    z_.clear();
    always_.clear();
  }
}

namespace {

// An object's x extent as the index keeps it, and whether it is visited wherever
// the view is (horizons and values that are not finite).
struct Extent {
  double left, right;
  bool odd;
};

Extent extentOf(const ObjectRecord& o) {
  const double x0 = static_cast<double>(o.x), x1 = static_cast<double>(o.x) + static_cast<double>(o.w);
  const bool odd = !std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(o.z) || o.has(format::flag::Horizon);
  return {std::min(x0, x1), std::max(x0, x1), odd};
}

}  // namespace

bool SceneIndex::noteExtent(std::size_t i, const ObjectRecord& o) {
  const Extent e = extentOf(o);
  if (left_[i] == e.left && right_[i] == e.right && always_[i] == static_cast<uint8_t>(e.odd) &&
      std::memcmp(&z_[i], &o.z, sizeof o.z) == 0)
    return false;
  left_[i] = e.left;
  right_[i] = e.right;
  z_[i] = o.z;
  always_[i] = e.odd ? 1 : 0;
  moved_.push_back(static_cast<uint32_t>(i));
  return true;
}

void SceneIndex::add(ObjectRecord& o) {
  if (!building_) return;
  if (changesByItself(o)) watched_.push_back(static_cast<uint32_t>(walked_));
  // The walk may pass over objects only while depths never grow along the list.
  if (std::isnan(o.z) || (walked_ > 0 && o.z > lastZ_)) ordered_ = false;
  lastZ_ = o.z;
  const std::size_t i = walked_++;
  if (same_) {
    if (i < order_.size() && order_[i] == &o) {
      noteExtent(i, o);
      return;
    }
    // Another object here: the list changed, and is indexed anew from this place on.
    same_ = false;
    order_.resize(i);
    left_.resize(i);
    right_.resize(i);
    z_.resize(i);
    always_.resize(i);
  }
  const Extent e = extentOf(o);
  order_.push_back(&o);
  left_.push_back(e.left);
  right_.push_back(e.right);
  z_.push_back(o.z);
  always_.push_back(e.odd ? 1 : 0);
}

std::size_t SceneIndex::bucketFor(std::size_t i) const {
  if (always_[i]) return 0;
  const double slot = std::min((left_[i] - minX_) * perBucket_, static_cast<double>(kBuckets - 1));
  return 1 + static_cast<std::size_t>(std::max(slot, 0.0));
}

void SceneIndex::putInBucket(std::size_t i, std::size_t k) {
  Bucket& b = buckets_[k];
  slotOf_[i] = static_cast<uint32_t>(b.members.size());
  bucketOf_[i] = static_cast<uint8_t>(k);
  b.members.push_back(static_cast<uint32_t>(i));
  b.left = std::min(b.left, left_[i]);
  b.right = std::max(b.right, right_[i]);
  b.farthest = std::max(b.farthest, static_cast<double>(z_[i]));
  b.widest = std::max(b.widest, std::fabs(static_cast<double>(order_[i]->w)));
  b.nearest = std::min(b.nearest, z_[i]);
}

void SceneIndex::rebuildBuckets() {
  minX_ = HUGE_VAL;
  maxX_ = -HUGE_VAL;
  for (std::size_t i = 0; i < order_.size(); ++i) {
    if (always_[i]) continue;
    minX_ = std::min(minX_, left_[i]);
    maxX_ = std::max(maxX_, left_[i]);
  }
  const double span = maxX_ > minX_ ? maxX_ - minX_ : 1.0;
  perBucket_ = static_cast<double>(kBuckets) / span;
  buckets_.resize(kBuckets + 1);
  for (Bucket& b : buckets_) {
    b.members.clear();
    b.left = HUGE_VAL;
    b.right = -HUGE_VAL;
    b.farthest = -HUGE_VAL;
    b.widest = 0.0;
    b.nearest = HUGE_VALF;
  }
  bucketOf_.resize(order_.size());
  slotOf_.resize(order_.size());
  for (std::size_t i = 0; i < order_.size(); ++i) putInBucket(i, bucketFor(i));
  ++rebuilds_;
}

void SceneIndex::applyMoves() {
  for (uint32_t i : moved_) {
    const std::size_t k = bucketFor(i);
    if (k == bucketOf_[i]) {
      // Still in its bucket: the bucket's extents grow to hold it where it is now.
      Bucket& b = buckets_[k];
      b.left = std::min(b.left, left_[i]);
      b.right = std::max(b.right, right_[i]);
      b.farthest = std::max(b.farthest, static_cast<double>(z_[i]));
      b.widest = std::max(b.widest, std::fabs(static_cast<double>(order_[i]->w)));
      b.nearest = std::min(b.nearest, z_[i]);
      continue;
    }
    std::vector<uint32_t>& from = buckets_[bucketOf_[i]].members;
    const uint32_t last = from.back();
    from[slotOf_[i]] = last;
    slotOf_[last] = slotOf_[i];
    from.pop_back();
    putInBucket(i, k);
  }
  moves_ += moved_.size();
}

void SceneIndex::finish(Stamp stamp) {
  if (!building_) return;
  building_ = false;
  stamp_ = stamp;
  if (same_ && walked_ != order_.size()) same_ = false;  // fewer objects than at the last frame
  order_.resize(walked_);
  left_.resize(walked_);
  right_.resize(walked_);
  z_.resize(walked_);
  always_.resize(walked_);
  kept_ = false;
  if (!ordered_ || order_.size() > UINT32_MAX) return;
  if (same_) {
    applyMoves();
  } else {
    rebuildBuckets();
  }
  kept_ = true;
  usable_ = true;
}

bool SceneIndex::canReuse(const Projection& projection, const ObjectRecord* player, std::size_t objectCount,
                          bool swishActive) const {
  return usable_ && kept_ && !walkAll_ && !swishActive && player == player_ && objectCount == objectCount_ &&
         usableProjection(projection);
}

bool SceneIndex::followWatched(const Projection& projection, const ObjectRecord* player, std::size_t objectCount,
                               bool swishActive, Stamp stamp) {
  if (!canReuse(projection, player, objectCount, swishActive) || !(stamp == stamp_)) return false;
  moved_.clear();
  bool ordered = true;
  std::size_t kept = 0;
  constexpr std::size_t kAhead = 8;  // records asked for ahead of the one looked at
  for (std::size_t w = 0; w < watched_.size(); ++w) {
    if (w + kAhead < watched_.size()) {
      const ObjectRecord* ahead = order_[watched_[w + kAhead]];
      __builtin_prefetch(&ahead->x);
      __builtin_prefetch(&ahead->z);
    }
    const uint32_t i = watched_[w];
    const ObjectRecord& o = *order_[i];
    if (noteExtent(i, o)) {
      // Depths never grow along the list: checked against both neighbours as
      // they are now (a neighbour that changes later in this loop checks again).
      if (std::isnan(o.z) || (i > 0 && o.z > z_[i - 1]) || (i + 1 < z_.size() && z_[i + 1] > o.z)) ordered = false;
    }
    // One that no longer moves or runs an effect stays where it is until a
    // script or a change of the list.
    if (changesByItself(o)) watched_[kept++] = i;
  }
  watched_.resize(kept);
  if (!ordered) {
    clear();
    return false;
  }
  applyMoves();
  projection_ = projection;
  ++follows_;
  return true;
}

bool SceneIndex::agreesWith(const SceneIndex& fresh) const {
  if (order_ != fresh.order_ || z_.size() != fresh.z_.size()) return false;
  if (std::memcmp(z_.data(), fresh.z_.data(), z_.size() * sizeof(float)) != 0) return false;
  for (std::size_t i = 0; i < order_.size(); ++i) {
    if (!(left_[i] == fresh.left_[i]) || !(right_[i] == fresh.right_[i]) || always_[i] < fresh.always_[i]) {
      return false;
    }
    const Bucket& b = buckets_[bucketOf_[i]];
    if (b.members[slotOf_[i]] != i) return false;
    if (bucketOf_[i] == 0) continue;
    if (always_[i] || left_[i] < b.left || right_[i] > b.right || static_cast<double>(z_[i]) > b.farthest ||
        z_[i] < b.nearest || std::fabs(static_cast<double>(order_[i]->w)) > b.widest) {
      return false;
    }
  }
  return true;
}

std::size_t SceneIndex::firstNear(float cameraZ) const {
  // Depths never grow along the list, and neither does their distance from the camera.
  const auto at = std::partition_point(z_.begin(), z_.end(), [cameraZ](float z) { return z - cameraZ > kNearLimit; });
  return static_cast<std::size_t>(at - z_.begin());
}

std::size_t SceneIndex::positionOf(const ObjectRecord* o) const {
  if (o == nullptr) return kNowhere;
  if (o == lookedFor_) return lookedAt_;
  lookedFor_ = o;
  lookedAt_ = kNowhere;
  // An object of the list lies among those of its depth.
  const float z = o->z;
  if (std::isnan(z)) return kNowhere;
  auto at = std::partition_point(z_.begin(), z_.end(), [z](float d) { return d > z; });
  for (; at != z_.end() && *at == z; ++at) {
    const std::size_t i = static_cast<std::size_t>(at - z_.begin());
    if (order_[i] == o) {
      lookedAt_ = i;
      break;
    }
  }
  return lookedAt_;
}

bool SceneIndex::fits(const Projection& projection, const ObjectRecord* player, std::size_t objectCount) const {
  return usable_ && player == player_ && objectCount == objectCount_ && sameProjection(projection, projection_);
}

bool SceneIndex::bucketCanReachView(const Bucket& b, const Projection& p) const {
  if (b.members.empty()) return false;
  // A member at or behind the near limit: the walk must reach it to stop there.
  if (!(b.nearest - p.camera.z > kNearLimit)) return true;
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
