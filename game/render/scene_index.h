// Where the objects of the scene lie along x, so that the scene walk goes only
// through the parts of a large zone that can reach the view.
//
// The index is brought up to date once per game frame, in the far-to-near walk
// that advances the drawing state, for the camera of that frame. It holds every
// object but the player in draw order, and sorts their positions into buckets
// by x. A bucket that lies wholly beside the view at the depth of its farthest
// member, with no member at or behind the near limit, can reach no pixel of the
// view at any of its members' depths, so the scene walk passes it over without
// looking at its objects. Because objects that draw nothing change nothing else
// in the walk (signs and the player go between the objects by depth), the
// picture is the one the whole walk makes.
//
// The index is kept from frame to frame while the list holds the same objects
// in the same order: an object whose x extent or depth is the same as at the
// last frame costs only that comparison, and one that moved is put into the
// bucket of its new place. A bucket's extents only ever grow while it is kept,
// so they always hold every member. A list that changed is indexed anew.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/render/projection.h"
#include "game/world/records.h"

namespace zor {

class SceneIndex {
 public:
  // Starts this frame's walk for this projection. An index is used only without
  // the swish (which moves every object sideways) and for a sensible projection.
  void begin(const Projection& projection, const ObjectRecord* player, std::size_t objectCount, bool swishActive);
  // The next object of the walk (never the player), in draw order; every one.
  void add(const ObjectRecord& o);
  // Brings the buckets up to date; the index is usable from now on unless an
  // object broke the far-to-near order.
  void finish();
  // Forgets the index (the scene walk then visits every object).
  void clear() {
    usable_ = false;
    kept_ = false;
  }

  // Whether the index was made for this projection, player and list size.
  bool fits(const Projection& projection, const ObjectRecord* player, std::size_t objectCount) const;
  // Calls visit(object) for every object that can reach the view, in draw order.
  template <typename Visit>
  void forEachCandidate(const Projection& projection, Visit&& visit) const {
    markCandidates(projection);
    for (std::size_t word = 0; word < marks_.size(); ++word) {
      for (uint64_t bits = marks_[word]; bits != 0; bits &= bits - 1) {
        const std::size_t position = word * 64 + static_cast<std::size_t>(__builtin_ctzll(bits));
        if (!visit(*order_[position])) return;
      }
    }
  }
  std::size_t size() const { return order_.size(); }
  // How many times the buckets were made anew, and how many moves the kept
  // ones took in all (for tests).
  std::size_t rebuilds() const { return rebuilds_; }
  std::size_t moves() const { return moves_; }

 private:
  struct Bucket {
    std::vector<uint32_t> members;  // positions in order_, in no order
    double left = 0.0, right = 0.0;  // at most the members' smallest x, at least their largest
    double farthest = 0.0;           // at least the largest z of a member
    double widest = 0.0;             // at least the largest |w| of a member
    float nearest = 0.0f;            // at most the smallest z of a member
  };
  void markCandidates(const Projection& projection) const;
  bool bucketCanReachView(const Bucket& b, const Projection& p) const;
  void rebuildBuckets();
  std::size_t bucketFor(std::size_t i) const;
  void putInBucket(std::size_t i, std::size_t k);

  bool usable_ = false;
  bool building_ = false;
  bool ordered_ = true;
  // Whether order_ and the buckets are kept from the last frame, and whether
  // this frame's walk has so far found the same objects in the same places.
  bool kept_ = false;
  bool same_ = false;
  float lastZ_ = 0.0f;
  std::size_t walked_ = 0;
  Projection projection_;
  const ObjectRecord* player_ = nullptr;
  std::size_t objectCount_ = 0;
  // The indexed objects in draw order, their x extents and depths as last seen.
  std::vector<const ObjectRecord*> order_;
  std::vector<double> left_, right_;
  std::vector<float> z_;
  std::vector<uint8_t> always_;  // 1: visited wherever the view is (horizons, odd values)
  std::vector<uint32_t> moved_;  // positions whose extent or depth changed in this frame's walk
  double minX_ = 0.0, maxX_ = 0.0;  // the smallest and largest left x, when the buckets were made
  double perBucket_ = 1.0;
  std::vector<Bucket> buckets_;     // buckets_[0] holds the objects visited always
  std::vector<uint8_t> bucketOf_;   // each position's bucket
  std::vector<uint32_t> slotOf_;    // each position's place among its bucket's members
  std::size_t rebuilds_ = 0, moves_ = 0;
  mutable std::vector<uint64_t> marks_;  // one bit per position: visit it
};

}  // namespace zor
