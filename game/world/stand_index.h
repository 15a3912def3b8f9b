// What stands on what, for the kills of one world step: releasing the stack on
// a killed object then visits only the objects that stood on it, instead of
// walking the whole object list for every kill.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "game/world/records.h"
#include "platform/current_list.h"

namespace zor {

class StandIndex {
 public:
  // Forgets everything: the list changed (objects added, removed or moved).
  void invalidate() {
    built_ = false;
    standers_.clear();
  }
  // `object` at list position `position` now stands on `base`. Supports are
  // otherwise only ever cleared, which the index checks when it is used.
  void noteSupport(ObjectRecord& object, uint32_t position, ObjectRecord& base);
  // Exactly as releaseStackedObjects: everything standing on `base`, and on
  // those in turn, depth first and in list order, falls free.
  void release(ObjectList& objects, ObjectRecord* base);

 private:
  struct Stander {
    uint32_t position;  // in the list
    ObjectRecord* object;
  };
  void build(ObjectList& objects);

  bool built_ = false;
  // By support: the objects that stood on it when the index was built or
  // landed on it since, in list order (some may have left it since).
  std::unordered_map<const ObjectRecord*, std::vector<Stander>> standers_;
};

}  // namespace zor
