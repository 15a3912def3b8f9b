#include "platform/line_pool.h"

#include <algorithm>
#include <map>
#ifdef __linux__
#include <sys/mman.h>
#endif
#include <mutex>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define ZOR_POOL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZOR_POOL_ASAN 1
#endif
#endif
#ifdef ZOR_POOL_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace zor::line_pool {

namespace {

// Blocks grow from 64 KiB to 2 MiB, the size of a large page: a large zone's
// nodes then lie in large pages, and a walk over them misses the address
// cache rarely.
constexpr std::size_t kFirstBlockBytes = std::size_t{1} << 16;
constexpr std::size_t kLargePage = std::size_t{1} << 21;

struct FreeSlot {
  FreeSlot* next;
};

// The slots of one size: a list of freed ones, and the rest of the newest block.
struct SizePool {
  FreeSlot* freed = nullptr;
  char* next = nullptr;
  char* end = nullptr;
  std::size_t blockBytes = kFirstBlockBytes;
};

// Never destroyed: nodes of lists that outlive the pools (statics destroyed
// later) may still be given back.
struct Pools {
  std::mutex lock;
  std::map<std::size_t, SizePool> bySize;
  std::vector<void*> blocks;  // every block, never given back
};

Pools& pools() {
  static Pools* p = new Pools;
  return *p;
}

// Under the address checker a slot that is not in use may not be touched, so
// that a record used after its removal is still caught.
void closeSlot([[maybe_unused]] void* at, [[maybe_unused]] std::size_t size) {
#ifdef ZOR_POOL_ASAN
  ASAN_POISON_MEMORY_REGION(at, size);
#endif
}
void openSlot([[maybe_unused]] void* at, [[maybe_unused]] std::size_t size) {
#ifdef ZOR_POOL_ASAN
  ASAN_UNPOISON_MEMORY_REGION(at, size);
#endif
}

}  // namespace

void* take(std::size_t size) {
  Pools& p = pools();
  std::lock_guard<std::mutex> guard(p.lock);
  SizePool& pool = p.bySize[size];
  if (pool.freed != nullptr) {
    FreeSlot* slot = pool.freed;
    openSlot(slot, size);
    pool.freed = slot->next;
    return slot;
  }
  if (pool.next == nullptr || static_cast<std::size_t>(pool.end - pool.next) < size) {
    const std::size_t bytes = std::max(size, pool.blockBytes / size * size);
    const bool large = pool.blockBytes == kLargePage && bytes <= kLargePage;
    const std::size_t made = large ? kLargePage : bytes;
    char* block = static_cast<char*>(::operator new(made, std::align_val_t{large ? kLargePage : kLine}));
#ifdef __linux__
    if (large) madvise(block, made, MADV_HUGEPAGE);  // a hint; refused is fine
#endif
    if (pool.blockBytes < kLargePage) pool.blockBytes *= 2;
    p.blocks.push_back(block);
    closeSlot(block, made);
    pool.next = block;
    pool.end = block + bytes;
  }
  void* slot = pool.next;
  pool.next += size;
  openSlot(slot, size);
  return slot;
}

void give(void* slot, std::size_t size) noexcept {
  if (slot == nullptr) return;
  Pools& p = pools();
  std::lock_guard<std::mutex> guard(p.lock);
  auto* s = static_cast<FreeSlot*>(slot);
  SizePool& pool = p.bySize[size];
  s->next = pool.freed;
  pool.freed = s;
  closeSlot(s, size);
}

}  // namespace zor::line_pool
