// Everything of the world's state that a replay must reproduce, as bytes, and a
// checksum over them: replays and the golden run compare these bit for bit.
#pragma once

#include <bit>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "game/game.h"

namespace zor::testing {

// Everything of the world's state that a replay must reproduce, as bytes.
class StateDump {
 public:
  void add(float v) { add(std::bit_cast<uint32_t>(v)); }
  void add(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void add(int32_t v) { add(static_cast<uint32_t>(v)); }
  void add(bool v) { add(static_cast<uint32_t>(v)); }
  // An object reference as its position in the list (-1 for none).
  void addRef(const World& w, const ObjectRecord* o) {
    if (positions_.empty()) {
      int32_t i = 0;
      for (const ObjectRecord& x : w.objects) positions_[&x] = i++;
    }
    auto it = o == nullptr ? positions_.end() : positions_.find(o);
    add(it == positions_.end() ? -1 : it->second);
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  std::unordered_map<const ObjectRecord*, int32_t> positions_;
};

inline std::vector<uint8_t> dumpState(const Game& g) {
  StateDump d;
  const World& w = g.world;
  for (const ObjectRecord& o : w.objects) {
    for (float v : {o.x, o.y, o.z, o.prevX, o.prevY, o.w, o.h, o.gravity, o.slideTarget, o.vx, o.vy, o.phase,
                    o.freq, o.duty, o.waveValue, o.trans}) {
      d.add(v);
    }
    d.add(static_cast<int32_t>(o.level));
    d.add(static_cast<int32_t>(o.facing));
    d.add(static_cast<uint32_t>(o.contacts));
    d.add(o.count);
    d.add(o.flags);
    d.add(o.colour1);
    d.add(o.colour2);
    d.add(static_cast<int32_t>(o.standOnTimes));
    d.add(static_cast<int32_t>(o.effectTimer));
    d.add(o.effectBits);
    d.addRef(w, o.support);
  }
  for (const LevelRecord& l : w.levels) d.add(l.flags);
  d.add(w.respawnPoint.x);
  d.add(w.respawnPoint.y);
  d.add(w.respawnPoint.level);
  d.addRef(w, w.currentCheckpoint);
  d.addRef(w, w.lastBounceObject);
  d.add(w.bounceFrames);
  d.add(w.playerDead);
  d.add(w.jumpHoldFrames);
  d.add(w.leapLatch);
  d.add(w.deathControlLatch);
  d.add(w.leapOutLevel);
  d.add(w.leapInLevel);
  d.add(w.areaCameraDistance);
  d.add(w.cameraPosition.x);
  d.add(w.cameraPosition.y);
  d.add(w.cameraPosition.z);
  d.add(w.backgroundColour);
  d.add(w.fadeAmount);
  d.add(g.script.screenEffects.shakeAmount);
  d.add(static_cast<int32_t>(g.random.table.index));
  d.add(g.session.deaths);
  d.add(g.session.attempts);
  d.add(static_cast<int32_t>(g.script.queue.size()));
  return d.bytes();
}

// FNV-1a over the bytes of dumpState.
inline uint64_t worldChecksum(const Game& g) {
  uint64_t h = 14695981039346656037ull;
  for (uint8_t b : dumpState(g)) {
    h ^= b;
    h *= 1099511628211ull;
  }
  return h;
}

}  // namespace zor::testing
