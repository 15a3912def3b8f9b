#include "game/world/motion.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "format/vocabulary.h"
#include "game/world/world_math.h"

namespace zor {

namespace {

namespace flag = format::flag;
namespace wave = format::wave;

constexpr float kTwoPi = 6.2831855f;

// A phase that is not a number (or infinite) counts as 0.
float finiteOrZero(float v) { return std::isfinite(v) ? v : 0.0f; }

// Advances a counted or endless cycle by one frame's frequency. Whole cycles
// are taken off the top; each counts down a positive count, and the last one
// leaves the phase at exactly 1 with count 0. A negative phase is not wrapped.
void advanceCycle(ObjectRecord& o) {
  if (o.count == 0) return;
  float phase = o.phase + o.freq;
  if (!std::isfinite(phase)) phase = 0.0f;
  if (phase >= 1.0f) {
    // For phases below 2^24 taking off floor(phase) is exact and equals that
    // many subtractions of 1; above it every float is whole.
    const float whole = std::floor(phase);
    // Cycles that end here; more than any count can hold when 2^31 or above.
    const int64_t cycles = whole < 2147483648.0f ? static_cast<int64_t>(whole) : INT64_MAX;
    if (o.count > 0 && cycles >= o.count) {
      phase = 1.0f;
      o.count = 0;
    } else {
      phase = phase - whole;
      if (o.count > 0) o.count -= static_cast<int32_t>(cycles);
    }
  }
  o.phase = phase;
}

// The phase of a spatial object for this frame: the player's x in cycles plus the
// stored phase, wrapped by the truncating remainder.
float spatialPhase(const ObjectRecord& o, float playerX, float savedPhase) {
  float p = playerX;
  if (p < 0.0f && o.freq != 0.0f) {
    // Adds |trunc(p)| + 2 whole cycles so that the product below is not negative.
    p = p - (std::trunc(p) - 2.0f) / o.freq;
  }
  return finiteOrZero(worldFmod(p * o.freq + savedPhase, 1.0f));
}

float triangleWave(float p, float d) {
  if (d > p) {
    if (d != 0.0f) return p / d;
    // Duty 0 with a negative phase: the falling ramp, held at its top.
    const float v = 1.0f - p;
    return v > 1.0f ? 1.0f : v;
  }
  const float fall = 1.0f - d;
  // Duty 1 at or past the cycle's end: the top of the rising ramp.
  if (fall == 0.0f) return 1.0f;
  return 1.0f - (p - d) / fall;
}

void placeOnProximityPath(ObjectRecord& o, const ObjectRecord& player) {
  const float d = o.duty;
  const bool near = o.level == player.level &&
                    std::fabs((o.x + o.w / 2.0f) - (player.x + player.w / 2.0f)) < d;
  float step = std::fabs(o.freq);
  if (std::isnan(step)) step = 0.0f;
  float v = o.waveValue;
  if (std::isnan(v)) v = 0.0f;
  if (near && v > 0.0f) {
    v = v - step;
    if (v < 0.0f) v = 0.0f;
  } else if (!near && v < 1.0f) {
    v = v + step;
    if (v > 1.0f) v = 1.0f;
  }
  o.waveValue = v;
  o.x = o.xlim1 + (o.xlim2 - o.xlim1) * v;
  o.y = o.ylim1 + (o.ylim2 - o.ylim1) * v;
}

// One hop from x1 to x2 in the first half cycle and back in the second, each
// lasting duty / 2 of the cycle with the apex at y2; at rest at y1 otherwise.
void placeOnParabolaPath(ObjectRecord& o, float p) {
  const float d = o.duty;
  const float x1 = o.xlim1, x2 = o.xlim2, y1 = o.ylim1, y2 = o.ylim2;
  if (p < 0.5f) {
    // Duty 0 leaves no hop: rest at the far end (also for a negative phase).
    if (p < d / 2.0f && d != 0.0f) {
      const float t = (2.0f * p) / d;
      o.x = x1 + (x2 - x1) * t;
      o.y = y1 + (y2 - y1) * (4.0f * t * (1.0f - t));
    } else {
      o.x = x2;
      o.y = y1;
    }
  } else {
    if (p < d / 2.0f + 0.5f) {
      const float t = (2.0f * (p - 0.5f)) / d;
      o.x = x2 + (x1 - x2) * t;
      o.y = y1 + (y2 - y1) * (4.0f * t * (1.0f - t));
    } else {
      o.x = x1;
      o.y = y1;
    }
  }
}

}  // namespace

void updateObjectMotion(World& world, RandomTable& table) {
  const ObjectRecord* player = world.player ? world.player : world.objects.front();
  if (player == nullptr) return;

  world.stepCache.wakeAll();
  for (ObjectRecord& o : world.objects) updateMotionOf(o, *player, table);
}

void updateMotionOf(ObjectRecord& o, const ObjectRecord& player, RandomTable& table) {
  // Written only when they differ (bit for bit), so that the records of
  // objects at rest stay clean.
  if (std::bit_cast<uint64_t>(std::array<float, 2>{o.prevX, o.prevY}) !=
      std::bit_cast<uint64_t>(std::array<float, 2>{o.x, o.y})) {
    o.prevX = o.x;
    o.prevY = o.y;
  }

  const bool spatial = o.has(flag::Spatial);
  const float savedPhase = spatial ? o.phase : 0.0f;  // only a spatial phase is put back

  if (o.has(flag::Cyclic)) {
    if (spatial) {
      o.phase = spatialPhase(o, player.x, savedPhase);
    } else {
      advanceCycle(o);
    }

    const float p = finiteOrZero(o.phase);
    const float d = o.duty;
    switch (o.waveCode()) {
      case wave::Sine:
        o.waveValue = 0.5f - 0.5f * worldCos(kTwoPi * p);
        break;
      case wave::Square:
        o.waveValue = p < d ? 1.0f : 0.0f;
        break;
      case wave::Tri:
        o.waveValue = triangleWave(p, d);
        break;
      case wave::Saw:
        o.waveValue = p;
        break;
      case wave::Rand:
        o.waveValue = table.next();
        break;
      default:  // parabola, proximity and mixed codes keep the value
        break;
    }

    if (o.has(flag::Semitrans)) o.trans = 1.0f - o.waveValue;
    if (o.has(flag::Semisol)) {
      if (o.waveValue >= 0.5f) {
        o.flags |= flag::Solid;
      } else if (o.waveValue < 0.5f) {
        o.flags &= ~flag::Solid;
      }
    }
  }

  if (o.has(flag::Motion)) {
    const float p = finiteOrZero(o.phase);
    const uint32_t code = o.waveCode();
    if (code == wave::Prox) {
      placeOnProximityPath(o, player);
    } else if (code == wave::Parabola) {
      placeOnParabolaPath(o, p);
    } else {
      const float v = o.waveValue;
      o.x = o.xlim1 + (o.xlim2 - o.xlim1) * v;
      if (o.has(flag::Circular)) {
        o.y = o.ylim1 + (o.ylim2 - o.ylim1) * (0.5f + 0.5f * worldSin(kTwoPi * p));
      } else {
        o.y = o.ylim1 + (o.ylim2 - o.ylim1) * v;
      }
    }
    o.vx = o.x - o.prevX;
    o.vy = o.y - o.prevY;
    o.support = nullptr;
    if (o.facedObject == nullptr) {
      o.facing = static_cast<int8_t>((o.vx > 0.0f) - (o.vx < 0.0f));
    }
  }

  if (spatial) o.phase = savedPhase;
}

}  // namespace zor
