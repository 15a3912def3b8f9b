// Memory for list nodes in slots of one size, aligned to the cache line and
// cut from large blocks, so that nodes made one after another lie one after
// another at an even stride and a node's first line always holds its links and
// the first bytes of its element. The world's objects live in such nodes: the
// walks over the object list read only that first line of most records.
//
// Freed slots are kept for the next nodes of their size; the blocks stay with
// the program, as most of malloc's own arenas do.
#pragma once

#include <cstddef>
#include <new>

namespace zor {

namespace line_pool {

constexpr std::size_t kLine = 64;

// A slot of `size` bytes (a multiple of kLine), from the pool of that size.
void* take(std::size_t size);
// Gives back a slot that take(size) returned.
void give(void* slot, std::size_t size) noexcept;

}  // namespace line_pool

template <typename T>
class LinePoolAllocator {
 public:
  using value_type = T;

  LinePoolAllocator() noexcept = default;
  template <typename U>
  LinePoolAllocator(const LinePoolAllocator<U>&) noexcept {}  // NOLINT: converting, as allocators are

  T* allocate(std::size_t n) {
    if (n == 1) return static_cast<T*>(line_pool::take(kSlot));
    return static_cast<T*>(::operator new(n * sizeof(T), std::align_val_t{alignof(T)}));
  }
  void deallocate(T* p, std::size_t n) noexcept {
    if (n == 1) {
      line_pool::give(p, kSlot);
    } else {
      ::operator delete(p, std::align_val_t{alignof(T)});
    }
  }

  template <typename U>
  bool operator==(const LinePoolAllocator<U>&) const noexcept {
    return true;
  }

 private:
  static_assert(alignof(T) <= line_pool::kLine, "a slot is aligned to the cache line only");
  static constexpr std::size_t kSlot = (sizeof(T) + line_pool::kLine - 1) / line_pool::kLine * line_pool::kLine;
};

}  // namespace zor
