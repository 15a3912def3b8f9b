// Where the objects of the scene lie along x, so that the scene walk goes only
// through the parts of a large zone that can reach the view.
//
// The index is brought up to date once per game frame, for the camera of that
// frame. It holds every object but the player in draw order, and sorts their
// positions into buckets by x. A bucket that lies wholly beside the view at the
// depth of its farthest member, with no member at or behind the near limit, can
// reach no pixel of the view at any of its members' depths, so the scene walk
// passes it over without looking at its objects. Because objects that draw
// nothing change nothing else in the walk (signs and the player go between the
// objects by depth), the picture is the one the whole walk makes.
//
// The index is kept from frame to frame while the list holds the same objects
// in the same order: an object whose x extent or depth is the same as at the
// last frame stays in its bucket, and one that moved is put into the bucket of
// its new place. A bucket's extents only ever grow while it is kept, so they
// always hold every member. A list that changed is indexed anew.
//
// Two ways bring it up to date:
//  - the whole walk (begin, add for every object, finish) looks at every object;
//  - followWatched looks only at the watched objects: those that the world step
//    may move or make blink by itself (on a motion path, dynamic, or running an
//    effect). Every other object keeps its place, depth and effects until a
//    script runs (it may change any object) or the list changes; the stamp
//    (the list's change count and the count of scripts run) tells, and
//    noteObjectsChanged says so for changes made by anything else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/render/projection.h"
#include "game/world/records.h"

namespace zor {

class SceneIndex {
 public:
  // What may change any object without the index seeing it.
  struct Stamp {
    uint64_t listChanges = 0;  // the object list's change count
    uint64_t scriptRuns = 0;   // scripts run so far
    bool operator==(const Stamp&) const = default;
  };
  static constexpr std::size_t kNowhere = SIZE_MAX;

  // Starts this frame's whole walk for this projection. An index is used only
  // without the swish (which moves every object sideways) and for a sensible
  // projection.
  void begin(const Projection& projection, const ObjectRecord* player, std::size_t objectCount, bool swishActive);
  // The next object of the walk (never the player), in draw order; every one.
  void add(ObjectRecord& o);
  // The walk met the player, after the objects added so far.
  void notePlayer() { playerAt_ = walked_; }
  // Brings the buckets up to date; the index is usable from now on unless an
  // object broke the far-to-near order.
  void finish(Stamp stamp);
  // Forgets the index (the scene walk then visits every object).
  void clear() {
    usable_ = false;
    kept_ = false;
  }
  // Objects may have changed in ways the stamp does not show: the next frame
  // looks at every object.
  void noteObjectsChanged() { walkAll_ = true; }

  // Brings the index up to date for this frame from the watched objects alone,
  // when nothing else can have changed since the last frame (the same stamp,
  // player and list size, and a usable index). False, with nothing done, when
  // the whole walk is needed; false also when a watched object broke the
  // far-to-near order (the index is then forgotten).
  bool followWatched(const Projection& projection, const ObjectRecord* player, std::size_t objectCount,
                     bool swishActive, Stamp stamp);
  // Positions of the watched objects, ascending.
  const std::vector<uint32_t>& watched() const { return watched_; }
  ObjectRecord& objectAt(std::size_t position) const { return *order_[position]; }
  // How many objects of the index come before the player in the list
  // (kNowhere when the last whole walk did not meet the player).
  std::size_t playerAt() const { return playerAt_; }
  // The first position whose object lies at or behind the near limit for a
  // camera at this depth (size() when none does); the index must be usable.
  std::size_t firstNear(float cameraZ) const;
  // The object's position in the index, or kNowhere; the index must be usable.
  std::size_t positionOf(const ObjectRecord* o) const;

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
  // ones took in all.
  std::size_t rebuilds() const { return rebuilds_; }
  std::size_t moves() const { return moves_; }
  // Whether this index holds the same objects in the same order, at the same
  // places and depths, as `fresh` (made anew from the list as it is now), with
  // every object that fresh visits always visited always here too, and every
  // member within its bucket's extents (for tests).
  bool agreesWith(const SceneIndex& fresh) const;
  // How many frames followWatched brought the index up to date (for tests).
  std::size_t follows() const { return follows_; }

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
  void applyMoves();
  // Compares object i's extent and depth with those kept for position i; when they
  // differ, keeps the new ones, notes i as moved and returns true.
  bool noteExtent(std::size_t i, const ObjectRecord& o);
  bool canReuse(const Projection& projection, const ObjectRecord* player, std::size_t objectCount,
                bool swishActive) const;

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
  std::vector<ObjectRecord*> order_;
  std::vector<double> left_, right_;
  std::vector<float> z_;
  std::vector<uint8_t> always_;  // 1: visited wherever the view is (horizons, odd values)
  std::vector<uint32_t> moved_;  // positions whose extent or depth changed in this frame's walk
  std::vector<uint32_t> watched_;  // positions of the objects that may change by themselves
  Stamp stamp_;
  bool walkAll_ = false;
  std::size_t playerAt_ = kNowhere;
  // The last object positionOf looked for, and where it found it.
  mutable const ObjectRecord* lookedFor_ = nullptr;
  mutable std::size_t lookedAt_ = kNowhere;
  double minX_ = 0.0, maxX_ = 0.0;  // the smallest and largest left x, when the buckets were made
  double perBucket_ = 1.0;
  std::vector<Bucket> buckets_;     // buckets_[0] holds the objects visited always
  std::vector<uint8_t> bucketOf_;   // each position's bucket
  std::vector<uint32_t> slotOf_;    // each position's place among its bucket's members
  std::size_t rebuilds_ = 0, moves_ = 0, follows_ = 0;
  mutable std::vector<uint64_t> marks_;  // one bit per position: visit it
};

}  // namespace zor
