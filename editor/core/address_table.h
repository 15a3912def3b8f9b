// A table from addresses (records, elements) to small values, for the passes
// over a whole zone: open addressing in one array, so a look-up touches one
// place in memory and adding allocates nothing but an occasional regrowth.
#pragma once

#include <algorithm>
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
  // Asks for the memory where the search for `key` starts (a walk over many keys
  // does this some steps ahead).
  void prefetch(const void* key) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[home(key)]);
  }
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
  // The high bits of the product: every bit of the address counts in them.
  std::size_t home(const void* key) const {
    return static_cast<std::size_t>((static_cast<uint64_t>(reinterpret_cast<std::uintptr_t>(key)) *
                                     0x9E3779B97F4A7C15ull) >> shift_);
  }
  Slot& slotOf(const void* key) {
    std::size_t i = home(key);
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

// Sorts `items` by the address `keyOf` gives for each, items of one address keeping
// their order: as std::stable_sort by address does, but in time linear in the number
// of items (a radix sort over the bits in which the addresses differ), so that a pass
// over a big zone's elements in memory order costs the same for each element however
// many there are.
template <typename T, typename KeyOf>
void sortByAddress(std::vector<T>& items, KeyOf keyOf) {
  const std::size_t n = items.size();
  if (n < 2) return;
  auto bits = [&keyOf](const T& item) {
    return static_cast<uint64_t>(reinterpret_cast<std::uintptr_t>(static_cast<const void*>(keyOf(item))));
  };
  const uint64_t first = bits(items[0]);
  uint64_t differ = 0;
  for (const T& item : items) differ |= bits(item) ^ first;
  if (differ == 0) return;
  constexpr int kDigit = 11;
  constexpr std::size_t kBuckets = std::size_t{1} << kDigit;
  std::vector<T> spare(n);
  std::vector<uint32_t> count(kBuckets);
  for (int shift = 0; shift < 64 && (differ >> shift) != 0; shift += kDigit) {
    if (((differ >> shift) & (kBuckets - 1)) == 0) continue;  // a digit all addresses share
    std::fill(count.begin(), count.end(), 0u);
    for (const T& item : items) ++count[(bits(item) >> shift) & (kBuckets - 1)];
    uint32_t start = 0;
    for (uint32_t& c : count) {
      const uint32_t here = c;
      c = start;
      start += here;
    }
    for (T& item : items) spare[count[(bits(item) >> shift) & (kBuckets - 1)]++] = std::move(item);
    items.swap(spare);
  }
}

}  // namespace zor::editor
