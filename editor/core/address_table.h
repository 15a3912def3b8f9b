// A table from addresses (records, elements) to small values, for the passes
// over a whole zone: open addressing in one array, so a look-up touches one
// place in memory and adding allocates nothing but an occasional regrowth.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace zor::editor {

template <typename Value>
class AddressTable {
 public:
  explicit AddressTable(std::size_t expected = 0) { reserve(expected); }

  // Adds `key` (never null) with `value` unless it is there already; true when added.
  bool emplace(const void* key, Value value = Value{}) {
    if (2 * (count_ + 1) > slots_.size()) reserve(2 * slots_.size() + 16);
    Slot& s = slotOf(key);
    if (s.key == key) return false;
    s.key = key;
    s.value = std::move(value);
    ++count_;
    return true;
  }
  // The value of `key`, null when it was never added.
  Value* find(const void* key) {
    if (slots_.empty()) return nullptr;
    Slot& s = slotOf(key);
    return s.key == key ? &s.value : nullptr;
  }
  bool contains(const void* key) const { return const_cast<AddressTable*>(this)->find(key) != nullptr; }
  std::size_t size() const { return count_; }

 private:
  struct Slot {
    const void* key = nullptr;
    Value value{};
  };
  // Room for `expected` keys at most half full.
  void reserve(std::size_t expected) {
    std::size_t capacity = 16;
    while (capacity < 2 * expected) capacity *= 2;
    if (capacity <= slots_.size()) return;
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(capacity, Slot{});
    mask_ = capacity - 1;
    shift_ = 64;
    for (std::size_t c = capacity; c > 1; c >>= 1) --shift_;
    for (Slot& s : old)
      if (s.key != nullptr) slotOf(s.key) = std::move(s);
  }
  Slot& slotOf(const void* key) {
    // The high bits of the product: every bit of the address counts in them.
    std::size_t i = static_cast<std::size_t>((static_cast<uint64_t>(reinterpret_cast<std::uintptr_t>(key)) *
                                              0x9E3779B97F4A7C15ull) >> shift_);
    while (slots_[i].key != nullptr && slots_[i].key != key) i = (i + 1) & mask_;
    return slots_[i];
  }
  std::vector<Slot> slots_;
  std::size_t mask_ = 0;
  int shift_ = 64;
  std::size_t count_ = 0;
};

// A set of addresses.
using AddressSet = AddressTable<bool>;

}  // namespace zor::editor
