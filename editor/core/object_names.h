// The names taken by a zone's objects (block onames and entrance element
// names, each kind apart) and the making of a free name from a taken one.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace zor::editor {

class ObjectNameList {
 public:
  void clear();
  // Takes `name` for objects of `nameKind`.
  void add(const std::string& name, int nameKind);
  // True when a name of this kind matches `name`, ignoring letter case.
  bool taken(const std::string& name, int nameKind) const;
  // `name` when it is free, else the first free name made from it by counting
  // up its trailing number ("door" -> "door2", "a9" -> "a10", "entrance" of an
  // entrance -> "entrance_e2", "7" -> "8"). The result is taken.
  std::string makeUnique(const std::string& name, int nameKind);

 private:
  struct KindNames {
    std::unordered_set<std::string> lowerNames;
    // For each lower-cased stem, runs of taken numbers: all numbers from a key
    // up to (not including) its value are taken. Names are only ever added, so
    // a run once known stays true until the list is cleared.
    std::unordered_map<std::string, std::unordered_map<uint64_t, uint64_t>> takenRuns;
  };
  KindNames& names(int nameKind) { return kinds_[nameKind]; }
  std::map<int, KindNames> kinds_;
};

}  // namespace zor::editor
