// The names taken by a zone's objects (block onames and entrance element
// names, each kind apart) and the making of a free name from a taken one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zor::editor {

class ObjectNameList {
 public:
  // Forgets every name (the memory stays for the next list).
  void clear();
  // Takes `name` for objects of `nameKind`.
  void add(std::string_view name, int nameKind);
  // True when a name of this kind matches `name`, ignoring letter case.
  bool taken(std::string_view name, int nameKind) const;
  // `name` when it is free, else the first free name made from it by counting
  // up its trailing number ("door" -> "door2", "a9" -> "a10", "entrance" of an
  // entrance -> "entrance_e2", "7" -> "8"). The result is taken.
  std::string makeUnique(const std::string& name, int nameKind);

 private:
  // The lower-cased names of all kinds, each with its kind: open addressing in one
  // array of small slots, the names side by side in one text, so that a look-up in
  // a zone of many names touches few places in memory and adding allocates nothing
  // but an occasional regrowth.
  class NameSet {
   public:
    void clear();
    bool contains(std::string_view lower, int nameKind) const;
    // Adds the name unless it is there.
    void insert(std::string_view lower, int nameKind);

   private:
    // A name's slot holds part of its hash and where it lies in text_: its kind and
    // size (four bytes each), then its letters.
    struct Slot {
      uint32_t tag = 0;
      uint32_t at = 0;  // plus one; 0 for a free slot
    };
    struct Entry {
      int32_t kind;
      std::string_view lower;
    };
    Entry entryAt(const Slot& s) const;
    std::size_t slotOf(std::string_view lower, int nameKind, uint64_t hash) const;
    void grow();
    std::vector<Slot> slots_;
    std::string text_;
    std::size_t count_ = 0;
    int shift_ = 64;
  };
  // Runs of taken numbers after a stem: all numbers from `from` up to (not including)
  // `to` are taken. Names are only ever added, so a run once known stays true until
  // the list is cleared. Open addressing as above, by stem and first number.
  class RunTable {
   public:
    void clear();
    // The end of the run known to start at `from`, 0 when none is.
    uint64_t runFrom(uint32_t stem, uint64_t from) const;
    void setRun(uint32_t stem, uint64_t from, uint64_t to);

   private:
    struct Slot {
      uint64_t from = 0;
      uint64_t to = 0;  // 0 for a free slot (a run always ends past its start)
      uint32_t stem = 0;
    };
    std::size_t slotOf(uint32_t stem, uint64_t from) const;
    void grow();
    std::vector<Slot> slots_;
    std::size_t count_ = 0;
    int shift_ = 64;
  };
  NameSet names_;
  RunTable runs_;
  // Each lower-cased stem of each kind that numbers were counted after, to its number
  // in runs_.
  std::unordered_map<std::string, uint32_t> stems_;
  // `name` lower-cased into the scratch buffer lower_.
  const std::string& lowered(std::string_view name);
  std::string lower_;
};

}  // namespace zor::editor
