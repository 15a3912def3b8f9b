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
//   - sorts are stable merge sorts over an index range.
// Elements live in list nodes that never move, so pointers to elements stay
// valid until the element itself is removed.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <iterator>
#include <list>
#include <memory>
#include <utility>
#include <vector>

namespace zor {

template <typename T, typename Alloc = std::allocator<T>>
class CurrentList {
 public:
  using iterator = typename std::list<T, Alloc>::iterator;
  using const_iterator = typename std::list<T, Alloc>::const_iterator;

  bool empty() const { return items_.empty(); }
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
    iterator pos = hasCurrent_ ? std::next(cursor_) : items_.begin();
    cursor_ = items_.insert(pos, std::move(value));
    hasCurrent_ = true;
    return *cursor_;
  }
  T& addFirst(T value) {
    cursor_ = items_.insert(items_.begin(), std::move(value));
    hasCurrent_ = true;
    return *cursor_;
  }
  T& addLast(T value) {
    cursor_ = items_.insert(items_.end(), std::move(value));
    hasCurrent_ = true;
    return *cursor_;
  }

  // Removes the current element; the previous one becomes current (none after removing the first).
  void removeCurrent() {
    if (!hasCurrent_) return;
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
    return items_.erase(it);
  }

  void clear() {
    items_.clear();
    hasCurrent_ = false;
  }

  // Stable sort of positions [from, to] inclusive (0-based). less(a, b) true puts a before b;
  // of two equal elements the earlier stays first. The cursor keeps its element.
  template <typename Less>
  void sortRange(std::size_t from, std::size_t to, Less less) {
    if (items_.empty() || from >= items_.size() || to <= from) return;
    if (to >= items_.size()) to = items_.size() - 1;
    auto a = std::next(items_.begin(), static_cast<std::ptrdiff_t>(from));
    auto b = std::next(a, static_cast<std::ptrdiff_t>(to - from + 1));
    std::list<T, Alloc> part(items_.get_allocator());
    part.splice(part.begin(), items_, a, b);
    part.sort(less);  // std::list::sort is a stable merge sort
    auto insertAt = std::next(items_.begin(), static_cast<std::ptrdiff_t>(from));
    items_.splice(insertAt, part);
  }
  template <typename Less>
  void sort(Less less) {
    if (!items_.empty()) sortRange(0, items_.size() - 1, less);
  }

  // Lays the elements of positions [from, to] inclusive (0-based) out in
  // memory in list order: the values move among the nodes of the range so that
  // the earlier of two elements lives at the lower address, and the nodes are
  // relinked in that order. Elements for which stays(element) is true keep
  // their nodes (the others go round them). The list order and the cursor's
  // element stay; elements outside the range keep their places. Returns, for
  // each element that moved, its old and its new address: pointers to it must
  // be changed.
  template <typename Stays>
  std::vector<std::pair<T*, T*>> layOutRange(std::size_t from, std::size_t to, Stays stays) {
    std::vector<std::pair<T*, T*>> moved;
    if (items_.empty() || from >= items_.size() || to <= from) return moved;
    if (to >= items_.size()) to = items_.size() - 1;
    auto a = std::next(items_.begin(), static_cast<std::ptrdiff_t>(from));
    std::vector<iterator> nodes;  // in list order
    nodes.reserve(to - from + 1);
    for (auto it = a; nodes.size() < to - from + 1; ++it) nodes.push_back(it);
    const auto lower = [](iterator x, iterator y) { return std::less<const T*>()(&*x, &*y); };
    std::vector<bool> staying(nodes.size());
    std::vector<iterator> free;  // the nodes of the elements that may move, by address
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      staying[i] = stays(*nodes[i]);
      if (!staying[i]) free.push_back(nodes[i]);
    }
    std::sort(free.begin(), free.end(), lower);
    std::vector<iterator> target(nodes.size());  // the node of the element at from + i
    for (std::size_t i = 0, f = 0; i < nodes.size(); ++i) target[i] = staying[i] ? nodes[i] : free[f++];
    if (target == nodes) return moved;

    std::vector<T> values;
    values.reserve(free.size());
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      if (!staying[i]) values.push_back(std::move(*nodes[i]));
    }
    for (std::size_t i = 0, v = 0; i < nodes.size(); ++i) {
      if (staying[i]) continue;
      *target[i] = std::move(values[v++]);
      if (nodes[i] != target[i]) moved.emplace_back(&*nodes[i], &*target[i]);
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
    auto after = std::next(nodes.back());
    std::list<T, Alloc> part(items_.get_allocator());
    for (iterator it : target) part.splice(part.end(), items_, it);
    items_.splice(after, part);
    return moved;
  }

 private:
  std::list<T, Alloc> items_;
  iterator cursor_{};
  bool hasCurrent_ = false;
};

}  // namespace zor
