// Where the objects of the scene lie along x, so that the scene walk goes only
// through the parts of a large zone that can reach the view.
//
// The index is made once per game frame, in the far-to-near walk that advances
// the drawing state, for the camera of that frame. It holds the objects up to the
// walk's near stop in draw order, in memory of its own, and sorts their positions
// into buckets by x. A bucket that lies wholly beside the view at the depth of its
// farthest member can reach no pixel of the view at any of its members' depths, so
// the scene walk passes it over without looking at its objects. Because objects
// that draw nothing change nothing else in the walk (signs and the player go
// between the objects by depth), the picture is the one the whole walk makes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/render/projection.h"
#include "game/world/records.h"

namespace zor {

class SceneIndex {
 public:
  // Starts a new index for this projection. An index is made only without the
  // swish (which moves every object sideways) and for a sensible projection.
  void begin(const Projection& projection, const ObjectRecord* player, std::size_t objectCount, bool swishActive);
  // The next object of the walk (never the player), in draw order.
  void add(const ObjectRecord& o);
  // Sorts the positions into buckets; the index is usable from now on unless an
  // object broke the far-to-near order.
  void finish();
  // Forgets the index (the scene walk then visits every object).
  void clear() { usable_ = false; }

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

 private:
  struct Bucket {
    std::vector<uint32_t> members;  // positions in order_, ascending
    double left = 0.0, right = 0.0;  // the members' smallest and largest x
    double farthest = 0.0;           // the largest z of a member
    double widest = 0.0;             // the largest |w| of a member
    bool near = false;               // a member lies at or behind the near limit
  };
  void markCandidates(const Projection& projection) const;
  bool bucketCanReachView(const Bucket& b, const Projection& p) const;

  bool usable_ = false;
  bool building_ = false;
  bool ordered_ = true;
  float lastZ_ = 0.0f;
  Projection projection_;
  const ObjectRecord* player_ = nullptr;
  std::size_t objectCount_ = 0;
  // The indexed objects in draw order, and their x extents.
  std::vector<const ObjectRecord*> order_;
  std::vector<double> left_, right_;
  std::vector<uint8_t> always_;  // 1: visited wherever the view is (horizons, odd values)
  double minX_ = 0.0, maxX_ = 0.0;
  std::vector<Bucket> buckets_;     // buckets_[0] holds the objects visited always
  mutable std::vector<uint64_t> marks_;  // one bit per position: visit it
};

}  // namespace zor
