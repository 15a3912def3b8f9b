// A list with a current element.
//
// The game keeps its objects, script queue, word boxes and other lists in this
// container, and their order carries meaning:
//   - add() inserts after the current element (at the head when there is no
//     current element) and makes the new element current;
//   - removeCurrent() deletes the current element and makes the previous one
//     current (none when the first element was removed);
//   - a walk from the first element (first()/advance()) moves the cursor;
//     advancing past the last element leaves the last one current and returns false;
//   - sorts over an index range are stable: equal elements keep their order.
// Elements live in list nodes that never move, so pointers to elements stay
// valid until the element itself is removed.
#pragma once

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <list>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace zor {

// A sort key that can also be read as bytes: key.byte(0) is the least
// significant of Key::kBytes bytes, and comparing the bytes from the most
// significant down orders two keys as their less-than does. Long ranges are
// then sorted by their bytes.
template <typename Key>
concept ByteKey = requires(const Key& k, std::size_t i) {
  { Key::kBytes } -> std::convertible_to<std::size_t>;
  { k.byte(i) } -> std::convertible_to<unsigned>;
};

template <typename T, typename Alloc = std::allocator<T>>
class CurrentList {
 public:
  using iterator = typename std::list<T, Alloc>::iterator;
  using const_iterator = typename std::list<T, Alloc>::const_iterator;

  // The region of every element for a lay-out by list order alone (see layOutRange).
  struct AllInOneRegion {
    std::size_t operator()(const T&) const { return 0; }
  };

  bool empty() const { return items_.empty(); }
  // Counts the changes to the list's make-up: every insertion, removal, sort
  // and lay-out (asked for, whether or not it changed anything). Two equal
  // counts of one list mean the same elements in the same nodes and order.
  uint64_t changeCount() const { return changes_; }
  std::size_t size() const { return items_.size(); }

  iterator begin() { return items_.begin(); }
  iterator end() { return items_.end(); }
  const_iterator begin() const { return items_.begin(); }
  const_iterator end() const { return items_.end(); }

  T* front() { return items_.empty() ? nullptr : &items_.front(); }
  T* back() { return items_.empty() ? nullptr : &items_.back(); }

  // The current element, or null.
  T* current() { return hasCurrent_ ? &*cursor_ : nullptr; }
  bool hasCurrent() const { return hasCurrent_; }
  iterator currentIterator() { return hasCurrent_ ? cursor_ : items_.end(); }

  // Makes the first element current; false when the list is empty.
  bool first() {
    if (items_.empty()) return false;
    cursor_ = items_.begin();
    hasCurrent_ = true;
    return true;
  }
  // Moves to the next element. At the end the last element stays current and false is returned.
  bool advance() {
    if (!hasCurrent_) return first();
    auto n = std::next(cursor_);
    if (n == items_.end()) return false;
    cursor_ = n;
    return true;
  }
  // Makes the given element current (it must belong to this list).
  void setCurrent(iterator it) {
    if (it == items_.end()) {
      hasCurrent_ = false;
    } else {
      cursor_ = it;
      hasCurrent_ = true;
    }
  }
  bool setCurrent(const T* element) {
    for (auto it = items_.begin(); it != items_.end(); ++it) {
      if (&*it == element) {
        setCurrent(it);
        return true;
      }
    }
    return false;
  }
  void clearCurrent() { hasCurrent_ = false; }

  // Inserts after the current element (at the head without one); the new element becomes current.
  T& add(T value) {
    ++changes_;
    iterator pos = hasCurrent_ ? std::next(cursor_) : items_.begin();
    cursor_ = items_.insert(pos, std::move(value));
    hasCurrent_ = true;
    return *cursor_;
  }
  T& addFirst(T value) {
    ++changes_;
    cursor_ = items_.insert(items_.begin(), std::move(value));
    hasCurrent_ = true;
    return *cursor_;
  }
  T& addLast(T value) {
    ++changes_;
    cursor_ = items_.insert(items_.end(), std::move(value));
    hasCurrent_ = true;
    return *cursor_;
  }

  // Removes the current element; the previous one becomes current (none after removing the first).
  void removeCurrent() {
    if (!hasCurrent_) return;
    ++changes_;
    if (cursor_ == items_.begin()) {
      items_.erase(cursor_);
      hasCurrent_ = false;
    } else {
      auto prev = std::prev(cursor_);
      items_.erase(cursor_);
      cursor_ = prev;
    }
  }
  // Removes one element by iterator, keeping the cursor's rule when it was current.
  iterator erase(iterator it) {
    if (hasCurrent_ && it == cursor_) {
      auto after = std::next(it);
      removeCurrent();
      return after;
    }
    ++changes_;
    return items_.erase(it);
  }

  void clear() {
    ++changes_;
    items_.clear();
    hasCurrent_ = false;
  }

  // Stable sort of positions [from, to] inclusive (0-based). less(a, b) true puts a before b;
  // of two equal elements the earlier stays first. The cursor keeps its element.
  template <typename Less>
  void sortRange(std::size_t from, std::size_t to, Less less) {
    sortRangeByKey(from, to, [](const T& e) -> const T* { return &e; },
                   [&less](const T* a, const T* b) { return less(*a, *b); });
  }
  template <typename Less>
  void sort(Less less) {
    if (!items_.empty()) sortRange(0, items_.size() - 1, less);
  }

  // The same stable sort by a key taken once from each element: keyOf(element)
  // gives it, and lessKey(keyOf(a), keyOf(b)) must order as less(a, b) would.
  // The keys are sorted side by side in one array (equal keys by their
  // position) and the nodes then relinked in their order, so that the sort
  // does not go through the nodes again.
  template <typename KeyOf, typename LessKey>
  void sortRangeByKey(std::size_t from, std::size_t to, KeyOf keyOf, LessKey lessKey) {
    ++changes_;
    Range range = rangeOf(from, to);
    if (range.nodes.empty()) return;
    relink(sortedOrder(range.nodes, keyOf, lessKey), range.after);
  }

  // sortRangeByKey, then layOutRange over the same positions, in one pass
  // over the nodes.
  template <typename KeyOf, typename LessKey, typename Stays, typename RegionOf = AllInOneRegion>
  std::vector<std::pair<T*, T*>> sortAndLayOutRange(std::size_t from, std::size_t to, KeyOf keyOf, LessKey lessKey,
                                                    Stays stays, RegionOf regionOf = RegionOf{}) {
    ++changes_;
    Range range = rangeOf(from, to);
    if (range.nodes.empty()) return {};
    return layOut(range.nodes, sortedPositions(range.nodes, keyOf, lessKey), range.after, stays, regionOf);
  }

  // Lays the elements of positions [from, to] inclusive (0-based) out in
  // memory in list order: the values move among the nodes of the range so that
  // the earlier of two elements lives at the lower address, and the nodes are
  // relinked in that order. Elements for which stays(element) is true keep
  // their nodes (the others go round them). The list order and the cursor's
  // element stay; elements outside the range keep their places. Returns, for
  // each element that moved, its old and its new address: pointers to it must
  // be changed.
  //
  // With regionOf (a small number for each element that moves), the elements
  // that move are laid out by region first and list order second: every
  // element of a lower region lives below every element of a higher one, and
  // within a region the earlier element lives lower. Elements that the same
  // walks read then lie together.
  template <typename Stays, typename RegionOf = AllInOneRegion>
  std::vector<std::pair<T*, T*>> layOutRange(std::size_t from, std::size_t to, Stays stays,
                                             RegionOf regionOf = RegionOf{}) {
    ++changes_;
    Range range = rangeOf(from, to);
    if (range.nodes.empty()) return {};
    std::vector<std::size_t> same(range.nodes.size());
    for (std::size_t i = 0; i < same.size(); ++i) same[i] = i;
    return layOut(range.nodes, same, range.after, stays, regionOf);
  }

 private:
  // The nodes of positions [from, to] inclusive in list order (none when the
  // range is empty or a single element), and the node after them.
  struct Range {
    std::vector<iterator> nodes;
    iterator after;
  };
  Range rangeOf(std::size_t from, std::size_t to) {
    Range r;
    r.after = items_.end();
    if (items_.empty() || from >= items_.size() || to <= from) return r;
    if (to >= items_.size()) to = items_.size() - 1;
    auto it = std::next(items_.begin(), static_cast<std::ptrdiff_t>(from));
    r.nodes.reserve(to - from + 1);
    for (std::size_t n = to - from + 1; n > 0; --n, ++it) r.nodes.push_back(it);
    r.after = it;
    return r;
  }
  // The indexes of the nodes in the order of their elements' keys, equal keys
  // in their order.
  template <typename KeyOf, typename LessKey>
  static std::vector<std::size_t> sortedIndexes(const std::vector<iterator>& nodes, KeyOf keyOf, LessKey lessKey) {
    using Key = std::decay_t<decltype(keyOf(*nodes.front()))>;
    struct Keyed {
      Key key;
      std::size_t at;  // index among the nodes
    };
    std::vector<Keyed> keyed;
    keyed.reserve(nodes.size());
    for (std::size_t i = 0; i < nodes.size(); ++i) keyed.push_back(Keyed{keyOf(*nodes[i]), i});
    bool sorted = false;
    if constexpr (ByteKey<Key>) {
      constexpr std::size_t kFewKeys = 256;
      if (keyed.size() >= kFewKeys) {
        // Least significant byte first; each pass keeps the order of equal
        // bytes, so equal keys stay in index order: the stable order.
        std::vector<Keyed> other(keyed.size());
        std::vector<std::size_t> start(256);
        for (std::size_t b = 0; b < Key::kBytes; ++b) {
          std::fill(start.begin(), start.end(), 0);
          for (const Keyed& k : keyed) ++start[k.key.byte(b) & 0xffu];
          if (start[keyed.front().key.byte(b) & 0xffu] == keyed.size()) continue;  // all alike
          std::size_t at = 0;
          for (std::size_t& n : start) {
            const std::size_t count = n;
            n = at;
            at += count;
          }
          for (const Keyed& k : keyed) other[start[k.key.byte(b) & 0xffu]++] = k;
          keyed.swap(other);
        }
        sorted = true;
      }
    }
    // The index decides between equal keys, so the order is the stable one.
    if (!sorted) {
      std::sort(keyed.begin(), keyed.end(), [&lessKey](const Keyed& a, const Keyed& b) {
        if (lessKey(a.key, b.key)) return true;
        if (lessKey(b.key, a.key)) return false;
        return a.at < b.at;
      });
    }
    std::vector<std::size_t> indexes;
    indexes.reserve(keyed.size());
    for (const Keyed& k : keyed) indexes.push_back(k.at);
    return indexes;
  }
  template <typename KeyOf, typename LessKey>
  static std::vector<iterator> sortedOrder(const std::vector<iterator>& nodes, KeyOf keyOf, LessKey lessKey) {
    std::vector<iterator> order;
    order.reserve(nodes.size());
    for (std::size_t i : sortedIndexes(nodes, keyOf, lessKey)) order.push_back(nodes[i]);
    return order;
  }
  // The same order as the place of each node in it.
  template <typename KeyOf, typename LessKey>
  static std::vector<std::size_t> sortedPositions(const std::vector<iterator>& nodes, KeyOf keyOf, LessKey lessKey) {
    const std::vector<std::size_t> indexes = sortedIndexes(nodes, keyOf, lessKey);
    std::vector<std::size_t> position(nodes.size());
    for (std::size_t p = 0; p < indexes.size(); ++p) position[indexes[p]] = p;
    return position;
  }

  // Lays out the elements the nodes hold as layOutRange describes, and links
  // the range so before `after`. The element of holders[j] takes place
  // position[j] of the range: the list need not run in that order yet. When
  // it does and nothing moves, the list is left alone.
  template <typename Stays, typename RegionOf>
  std::vector<std::pair<T*, T*>> layOut(const std::vector<iterator>& holders, const std::vector<std::size_t>& position,
                                        iterator after, Stays stays, RegionOf regionOf) {
    std::vector<std::pair<T*, T*>> moved;
    std::vector<iterator> nodes(holders.size());  // the range in its (new) order
    for (std::size_t j = 0; j < holders.size(); ++j) nodes[position[j]] = holders[j];
    // The nodes of the elements that may move, by address, each with the rank
    // (among those elements, by region and then list order) of the element it
    // holds. The element of rank r goes to the r-th of these nodes.
    struct Slot {
      iterator node;
      std::size_t rank;
    };
    std::vector<bool> staying(nodes.size());
    std::vector<std::size_t> rankAt(nodes.size());  // the region first, then the rank
    std::vector<std::size_t> regionStart;            // elements in each region, then the first rank of each
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      staying[i] = stays(*nodes[i]);
      if (staying[i]) continue;
      const std::size_t region = regionOf(*nodes[i]);
      if (region >= regionStart.size()) regionStart.resize(region + 1, 0);
      ++regionStart[region];
      rankAt[i] = region;
    }
    for (std::size_t region = 0, at = 0; region < regionStart.size(); ++region) {
      const std::size_t count = regionStart[region];
      regionStart[region] = at;
      at += count;
    }
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      if (!staying[i]) rankAt[i] = regionStart[rankAt[i]]++;
    }
    std::vector<Slot> slots;
    slots.reserve(nodes.size());
    for (std::size_t j = 0; j < holders.size(); ++j) {
      if (!staying[position[j]]) slots.push_back(Slot{holders[j], rankAt[position[j]]});
    }
    sortByAddress(slots);
    std::vector<std::size_t> from(slots.size());  // the slot holding the element of each rank
    bool inPlace = true;
    for (std::size_t k = 0; k < slots.size(); ++k) {
      from[slots[k].rank] = k;
      inPlace = inPlace && slots[k].rank == k;
    }
    std::vector<iterator> target(nodes.size());  // the node of the element at from + i
    for (std::size_t i = 0; i < nodes.size(); ++i) target[i] = staying[i] ? nodes[i] : slots[rankAt[i]].node;
    const bool inOrder = nodes == holders;  // the list runs so already
    if (inPlace) {
      if (!inOrder) relink(nodes, after);
      return moved;
    }

    // Each cycle of the permutation in turn: a slot takes the element of its
    // rank from the slot that holds it, that slot the next one, and the last
    // the first slot's element, held aside.
    for (std::size_t k = 0; k < slots.size(); ++k) {
      if (slots[k].rank != k) moved.emplace_back(&*slots[k].node, &*slots[slots[k].rank].node);
    }
    std::vector<bool> done(slots.size());
    for (std::size_t start = 0; start < slots.size(); ++start) {
      if (done[start] || from[start] == start) continue;
      T held = std::move(*slots[start].node);
      std::size_t k = start;
      for (;;) {
        done[k] = true;
        const std::size_t source = from[k];
        if (source == start) {
          *slots[k].node = std::move(held);
          break;
        }
        *slots[k].node = std::move(*slots[source].node);
        k = source;
      }
    }
    if (hasCurrent_) {
      for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (cursor_ == nodes[i]) {
          cursor_ = target[i];
          break;
        }
      }
    }

    // Relinked in the new order where the range was.
    relink(target, after);
    return moved;
  }

  // Sorts slots (each with a `node`) by the address of the element the node
  // holds. The addresses are distinct, so there is one order; many slots are
  // put in it by a radix sort over the bits in which their addresses differ.
  template <typename Slot>
  static void sortByAddress(std::vector<Slot>& slots) {
    const auto addressOf = [](const Slot& s) { return reinterpret_cast<std::uintptr_t>(&*s.node); };
    const auto byAddress = [&addressOf](const Slot& a, const Slot& b) { return addressOf(a) < addressOf(b); };
    // Nodes made one after another are often in address order already.
    if (std::is_sorted(slots.begin(), slots.end(), byAddress)) return;
    constexpr std::size_t kFewSlots = 256;
    if (slots.size() < kFewSlots) {
      std::sort(slots.begin(), slots.end(), byAddress);
      return;
    }
    struct Keyed {
      std::uintptr_t offset;  // from the lowest address
      Slot slot;
    };
    std::uintptr_t lowest = addressOf(slots.front());
    std::uintptr_t highest = lowest;
    for (const Slot& s : slots) {
      lowest = std::min(lowest, addressOf(s));
      highest = std::max(highest, addressOf(s));
    }
    std::vector<Keyed> keyed;
    keyed.reserve(slots.size());
    for (const Slot& s : slots) keyed.push_back(Keyed{addressOf(s) - lowest, s});
    std::vector<Keyed> other(keyed.size());
    constexpr unsigned kDigitBits = 11;
    constexpr std::uintptr_t kDigitMask = (std::uintptr_t{1} << kDigitBits) - 1;
    const std::uintptr_t span = highest - lowest;
    std::vector<std::size_t> start(kDigitMask + 1);
    // Least significant digit first; each pass keeps the order of equal digits.
    for (unsigned shift = 0; shift < 64 && (span >> shift) != 0; shift += kDigitBits) {
      std::fill(start.begin(), start.end(), 0);
      for (const Keyed& k : keyed) ++start[(k.offset >> shift) & kDigitMask];
      std::size_t at = 0;
      for (std::size_t& n : start) {
        const std::size_t count = n;
        n = at;
        at += count;
      }
      for (const Keyed& k : keyed) other[start[(k.offset >> shift) & kDigitMask]++] = k;
      keyed.swap(other);
    }
    for (std::size_t i = 0; i < slots.size(); ++i) slots[i] = keyed[i].slot;
  }

  // Puts the nodes (those of a range, in any order) in this order before `after`.
  void relink(const std::vector<iterator>& order, iterator after) {
    for (iterator it : order) items_.splice(after, items_, it);
  }

  std::list<T, Alloc> items_;
  iterator cursor_{};
  bool hasCurrent_ = false;
  uint64_t changes_ = 0;
};

}  // namespace zor
