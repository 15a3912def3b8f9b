#include "game/world/stand_index.h"

#include <algorithm>

#include "format/vocabulary.h"

namespace zor {

void StandIndex::build(ObjectList& objects) {
  standers_.clear();
  uint32_t position = 0;
  for (ObjectRecord& o : objects) {
    if (o.support != nullptr) standers_[o.support].push_back(Stander{position, &o});
    ++position;
  }
  built_ = true;
}

void StandIndex::noteSupport(ObjectRecord& object, uint32_t position, ObjectRecord& base) {
  if (!built_) return;  // the build will find it
  std::vector<Stander>& list = standers_[&base];
  auto at = std::lower_bound(list.begin(), list.end(), position,
                             [](const Stander& s, uint32_t p) { return s.position < p; });
  if (at != list.end() && at->position == position) return;
  list.insert(at, Stander{position, &object});
}

void StandIndex::release(ObjectList& objects, ObjectRecord* base) {
  if (base == nullptr) return;
  if (!built_) build(objects);
  struct Frame {
    ObjectRecord* base;
    const std::vector<Stander>* standers;
    std::size_t next;
  };
  auto frameOf = [this](ObjectRecord* b) {
    auto it = standers_.find(b);
    return Frame{b, it == standers_.end() ? nullptr : &it->second, 0};
  };
  std::vector<Frame> stack;
  stack.push_back(frameOf(base));
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.standers == nullptr || f.next >= f.standers->size()) {
      stack.pop_back();
      continue;
    }
    ObjectRecord& o = *(*f.standers)[f.next].object;
    ++f.next;
    if (o.support != f.base) continue;
    o.vy = f.base->vy - 0.0005f;
    o.support = nullptr;
    o.flags |= format::flag::Airborne;
    stack.push_back(frameOf(&o));
  }
}

}  // namespace zor
