#include "game/world/motion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "format/vocabulary.h"

namespace zor {
namespace {

namespace flag = format::flag;
namespace wave = format::wave;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// A world with the player first and room for blocks after it.
struct MotionWorld {
  World world;
  RandomTable table;

  MotionWorld() {
    ObjectRecord you;
    you.name = "you";
    you.level = 0;
    you.w = 10.0f;
    world.player = &world.objects.addLast(you);
    for (int k = 0; k < 1024; ++k) table.values[k] = static_cast<float>(k) / 1000.0f;
    table.resetIndex();
  }

  ObjectRecord& add(ObjectRecord o) { return world.objects.addLast(o); }
  void step(int frames = 1) {
    for (int i = 0; i < frames; ++i) updateObjectMotion(world, table);
  }
};

ObjectRecord block(uint32_t flags, float phase = 0.0f, float freq = 0.0f, int32_t count = -1) {
  ObjectRecord o;
  o.flags = flags;
  o.phase = phase;
  o.freq = freq;
  o.count = count;
  o.level = 0;
  return o;
}

// Path limits: x from 0 to 100, y from 10 to 50.
ObjectRecord pathBlock(uint32_t flags, float phase = 0.0f, float freq = 0.0f, int32_t count = -1) {
  ObjectRecord o = block(flags, phase, freq, count);
  o.xlim1 = 0.0f;
  o.xlim2 = 100.0f;
  o.ylim1 = 10.0f;
  o.ylim2 = 50.0f;
  return o;
}

// The cycle as a literal loop, to check the closed form against.
void referenceCycle(float& phase, int32_t& count, float freq) {
  if (count == 0) return;
  phase = phase + freq;
  while (phase >= 1.0f) {
    phase = phase - 1.0f;
    if (count > 0) {
      if (count == 1) {
        phase = 1.0f;
        count = 0;
        break;
      }
      count = count - 1;
    }
  }
}

// --- The cycle --------------------------------------------------------------

struct CountedEnd {
  uint32_t waveCode;
  float expectedValue;  // at the frozen phase 1.0
  float expectedX;      // on the path 0..100
};

TEST(MotionCycle, CountedCycleStopsAtExactlyOne) {
  const CountedEnd cases[] = {
      {wave::Sine, 0.0f, 0.0f},
      {wave::Square, 0.0f, 0.0f},
      {wave::Tri, 0.0f, 0.0f},
      {wave::Saw, 1.0f, 100.0f},
  };
  for (const CountedEnd& c : cases) {
    SCOPED_TRACE(c.waveCode);
    MotionWorld m;
    ObjectRecord& o = m.add(pathBlock(flag::Cyclic | flag::Motion | c.waveCode, 0.0f, 1.0f / 60.0f, 1));
    // Sixty float steps of 1/60 sum to 0.9999997, so the cycle ends in the 61st frame.
    m.step(60);
    EXPECT_EQ(o.count, 1);
    EXPECT_LT(o.phase, 1.0f);
    m.step();
    EXPECT_EQ(o.phase, 1.0f);
    EXPECT_EQ(o.count, 0);
    EXPECT_FLOAT_EQ(o.waveValue, c.expectedValue);
    EXPECT_FLOAT_EQ(o.x, c.expectedX);
    // Stopped: the phase stays frozen and the value is recomputed from it.
    o.waveValue = 0.3f;
    m.step(5);
    EXPECT_EQ(o.phase, 1.0f);
    EXPECT_EQ(o.count, 0);
    EXPECT_FLOAT_EQ(o.waveValue, c.expectedValue);
  }
}

TEST(MotionCycle, ExactFrequencyEndsOnItsFrame) {
  MotionWorld m;
  ObjectRecord& o = m.add(block(flag::Cyclic | wave::Saw, 0.0f, 1.0f / 64.0f, 2));
  m.step(64);
  EXPECT_EQ(o.phase, 0.0f);
  EXPECT_EQ(o.count, 1);
  m.step(64);
  EXPECT_EQ(o.phase, 1.0f);
  EXPECT_EQ(o.count, 0);
}

struct CycleCase {
  std::string name;
  float phase, freq;
  int32_t count;
  float expectedPhase;
  int32_t expectedCount;
};

TEST(MotionCycle, OneFrameAdvance) {
  const CycleCase cases[] = {
      {"several cycles in one frame", 0.0f, 2.5f, 5, 0.5f, 3},
      {"last of several ends at one", 0.5f, 2.5f, 3, 1.0f, 0},
      {"more cycles than count", 0.0f, 2.5f, 2, 1.0f, 0},
      {"exactly count cycles", 0.0f, 3.0f, 3, 1.0f, 0},
      {"endless keeps its count", 0.0f, 2.5f, -1, 0.5f, -1},
      {"count zero keeps phase", 0.3f, 0.5f, 0, 0.3f, 0},
      {"negative frequency does not wrap", 0.1f, -0.25f, 4, -0.15f, 4},
      {"huge frequency, endless", 0.0f, 1e30f, -1, 0.0f, -1},
      {"huge frequency, counted", 0.0f, 1e30f, 7, 1.0f, 0},
      {"large count survives", 0.0f, 1e9f, 2000000000, 0.0f, 1000000000},
      {"infinite frequency", 0.2f, kInf, -1, 0.0f, -1},
      {"nan frequency", 0.2f, kNaN, 3, 0.0f, 3},
      {"infinite phase", kInf, 0.1f, -1, 0.0f, -1},
      {"nan phase", kNaN, 0.1f, 2, 0.0f, 2},
  };
  for (const CycleCase& c : cases) {
    SCOPED_TRACE(c.name);
    MotionWorld m;
    ObjectRecord& o = m.add(block(flag::Cyclic | wave::Saw, c.phase, c.freq, c.count));
    m.step();
    EXPECT_FLOAT_EQ(o.phase, c.expectedPhase);
    EXPECT_EQ(o.count, c.expectedCount);
    EXPECT_TRUE(std::isfinite(o.waveValue));
  }
}

TEST(MotionCycle, MatchesTheCycleLoopBitForBit) {
  const float freqs[] = {1.0f / 60.0f, 0.1f, 0.37f, 0.999f, 1.0f, 1.3f, 2.75f, 17.1f, 1234.567f};
  const int32_t counts[] = {-1, 1, 2, 3, 50};
  for (float freq : freqs) {
    for (int32_t count0 : counts) {
      MotionWorld m;
      ObjectRecord& o = m.add(block(flag::Cyclic, 0.125f, freq, count0));
      float phase = 0.125f;
      int32_t count = count0;
      for (int frame = 0; frame < 200; ++frame) {
        referenceCycle(phase, count, freq);
        m.step();
        ASSERT_EQ(o.phase, phase) << "freq " << freq << " count " << count0 << " frame " << frame;
        ASSERT_EQ(o.count, count) << "freq " << freq << " count " << count0 << " frame " << frame;
      }
    }
  }
}

// --- Wave values ------------------------------------------------------------

struct WaveCase {
  std::string name;
  uint32_t waveCode;
  float phase, duty, expected;
};

TEST(MotionWave, ValueFromPhaseAndDuty) {
  const WaveCase cases[] = {
      {"sine at 0", wave::Sine, 0.0f, 0.5f, 0.0f},
      {"sine at half", wave::Sine, 0.5f, 0.5f, 1.0f},
      {"square duty 0, phase 0", wave::Square, 0.0f, 0.0f, 0.0f},
      {"square duty 0, phase 0.99", wave::Square, 0.99f, 0.0f, 0.0f},
      {"square duty 1, phase 0", wave::Square, 0.0f, 1.0f, 1.0f},
      {"square duty 1, phase 0.999", wave::Square, 0.999f, 1.0f, 1.0f},
      {"square duty 1, phase 1", wave::Square, 1.0f, 1.0f, 0.0f},
      {"square phase equal to duty", wave::Square, 0.5f, 0.5f, 0.0f},
      {"square below duty", wave::Square, 0.49f, 0.5f, 1.0f},
      {"tri duty 0 falls", wave::Tri, 0.25f, 0.0f, 0.75f},
      {"tri duty 0 at 0", wave::Tri, 0.0f, 0.0f, 1.0f},
      {"tri duty 0 at 1", wave::Tri, 1.0f, 0.0f, 0.0f},
      {"tri duty 0, negative phase", wave::Tri, -0.25f, 0.0f, 1.0f},
      {"tri duty 1 rises", wave::Tri, 0.25f, 1.0f, 0.25f},
      {"tri duty 1 at 0", wave::Tri, 0.0f, 1.0f, 0.0f},
      {"tri duty 1 at the frozen end", wave::Tri, 1.0f, 1.0f, 1.0f},
      {"tri duty 1 past the end", wave::Tri, 1.5f, 1.0f, 1.0f},
      {"tri peak at the duty", wave::Tri, 0.5f, 0.5f, 1.0f},
      {"tri rising half", wave::Tri, 0.25f, 0.5f, 0.5f},
      {"tri falling half", wave::Tri, 0.75f, 0.5f, 0.5f},
      {"saw", wave::Saw, 0.3f, 0.5f, 0.3f},
      {"parabola keeps the value", wave::Parabola, 0.3f, 0.5f, 0.42f},
      {"prox keeps the value", wave::Prox, 0.3f, 0.5f, 0.42f},
      {"two wave words match none", wave::Square | wave::Tri, 0.3f, 0.5f, 0.42f},
  };
  for (const WaveCase& c : cases) {
    SCOPED_TRACE(c.name);
    MotionWorld m;
    ObjectRecord o = block(flag::Cyclic | c.waveCode, c.phase, 0.5f, 0);
    o.duty = c.duty;
    o.waveValue = 0.42f;
    ObjectRecord& b = m.add(o);
    m.step();
    EXPECT_EQ(b.phase, c.phase);
    EXPECT_NEAR(b.waveValue, c.expected, 1e-6f);
  }
}

TEST(MotionWave, RandomDrawsOneEntryPerObjectPerFrame) {
  MotionWorld m;
  ObjectRecord& a = m.add(block(flag::Cyclic | wave::Rand, 0.0f, 0.01f, -1));
  ObjectRecord& sine = m.add(block(flag::Cyclic, 0.0f, 0.01f, -1));
  ObjectRecord& b = m.add(block(flag::Cyclic | wave::Rand, 0.0f, 0.0f, 0));  // stopped, still draws
  ObjectRecord& still = m.add(block(wave::Rand));                           // not cyclic: no draw
  still.waveValue = 0.9f;
  m.step();
  EXPECT_EQ(a.waveValue, m.table.values[0]);
  EXPECT_EQ(b.waveValue, m.table.values[1]);
  m.step();
  EXPECT_EQ(a.waveValue, m.table.values[2]);
  EXPECT_EQ(b.waveValue, m.table.values[3]);
  EXPECT_EQ(m.table.index, 3);
  EXPECT_EQ(still.waveValue, 0.9f);
  EXPECT_GT(sine.waveValue, 0.0f);
}

struct SemiCase {
  float phase;  // on a saw wave, so the value is the phase
  bool solidBefore;
  float expectedTrans;
  bool expectedSolid;
};

TEST(MotionWave, SemitransAndSemisolFollowTheValue) {
  const SemiCase cases[] = {
      {0.5f, false, 0.5f, true},
      {0.75f, false, 0.25f, true},
      {0.49f, true, 0.51f, false},
      {0.0f, true, 1.0f, false},
  };
  for (const SemiCase& c : cases) {
    SCOPED_TRACE(c.phase);
    MotionWorld m;
    ObjectRecord& o = m.add(block(flag::Cyclic | flag::Semitrans | flag::Semisol | wave::Saw |
                                      (c.solidBefore ? flag::Solid : 0u),
                                  c.phase, 0.0f, 0));
    m.step();
    EXPECT_FLOAT_EQ(o.trans, c.expectedTrans);
    EXPECT_EQ(o.has(flag::Solid), c.expectedSolid);
  }
  // Without the words neither changes.
  MotionWorld m;
  ObjectRecord& plain = m.add(block(flag::Cyclic | flag::Solid | wave::Saw, 0.2f, 0.0f, 0));
  m.step();
  EXPECT_EQ(plain.trans, 0.0f);
  EXPECT_TRUE(plain.has(flag::Solid));
}

// --- Paths ------------------------------------------------------------------

struct ProxCase {
  std::string name;
  int8_t playerLevel, blockLevel;
  float centreDistance;
  float duty, value, freq, expected;
};

TEST(MotionPath, ProximityMovesTowardTheNearOrFarEnd) {
  const ProxCase cases[] = {
      {"exactly duty away is far", 0, 0, 30.0f, 30.0f, 0.5f, 0.1f, 0.6f},
      {"within duty is near", 0, 0, 29.5f, 30.0f, 0.5f, 0.1f, 0.4f},
      {"near on the other side", 0, 0, -29.5f, 30.0f, 0.5f, 0.1f, 0.4f},
      {"another level is far", 1, 0, 0.0f, 30.0f, 0.5f, 0.1f, 0.6f},
      {"all-levels block, player on 0, is far", 0, -1, 0.0f, 30.0f, 0.5f, 0.1f, 0.6f},
      {"both on all levels is near", -1, -1, 0.0f, 30.0f, 0.5f, 0.1f, 0.4f},
      {"clamped at 0", 0, 0, 0.0f, 30.0f, 0.05f, 0.1f, 0.0f},
      {"stays at 0 when near", 0, 0, 0.0f, 30.0f, 0.0f, 0.1f, 0.0f},
      {"negative frequency steps by its size, clamped at 1", 0, 0, 50.0f, 30.0f, 0.95f, -0.1f, 1.0f},
      {"stays at 1 when far", 0, 0, 50.0f, 30.0f, 1.0f, 0.1f, 1.0f},
      {"nan frequency holds", 0, 0, 50.0f, 30.0f, 0.5f, kNaN, 0.5f},
      {"infinite frequency clamps", 0, 0, 0.0f, 30.0f, 0.5f, kInf, 0.0f},
  };
  for (const ProxCase& c : cases) {
    SCOPED_TRACE(c.name);
    MotionWorld m;
    m.world.player->level = c.playerLevel;
    m.world.player->w = 10.0f;
    ObjectRecord o = block(flag::Motion | wave::Prox, 0.0f, c.freq);
    o.level = c.blockLevel;
    o.w = 20.0f;
    o.duty = c.duty;
    o.waveValue = c.value;
    o.xlim1 = o.xlim2 = 0.0f;  // the block stays at x 0, centre 10
    o.ylim1 = 0.0f;
    o.ylim2 = 100.0f;
    ObjectRecord& b = m.add(o);
    m.world.player->x = 10.0f + c.centreDistance - 5.0f;
    m.step();
    EXPECT_NEAR(b.waveValue, c.expected, 1e-6f);
    EXPECT_NEAR(b.y, 100.0f * c.expected, 1e-4f);
    EXPECT_EQ(b.x, 0.0f);
  }
}

struct ParabolaCase {
  float phase, duty, x, y;
};

TEST(MotionPath, ParabolaHopsThereAndBack) {
  // x from 0 to 100, rest at y 10, apex at y 50.
  const ParabolaCase cases[] = {
      {0.0f, 0.5f, 0.0f, 10.0f},    {0.125f, 0.5f, 50.0f, 50.0f}, {0.3f, 0.5f, 100.0f, 10.0f},
      {0.5f, 0.5f, 100.0f, 10.0f},  {0.625f, 0.5f, 50.0f, 50.0f}, {0.8f, 0.5f, 0.0f, 10.0f},
      {0.0625f, 0.5f, 25.0f, 40.0f},
      // Duty 0: no hop, it rests at x2 in the first half and at x1 in the second.
      {0.0f, 0.0f, 100.0f, 10.0f},  {0.2f, 0.0f, 100.0f, 10.0f},  {0.5f, 0.0f, 0.0f, 10.0f},
      {0.7f, 0.0f, 0.0f, 10.0f},    {-0.1f, 0.0f, 100.0f, 10.0f},
  };
  for (const ParabolaCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.phase) + " duty " + std::to_string(c.duty));
    MotionWorld m;
    ObjectRecord o = pathBlock(flag::Motion | wave::Parabola, c.phase);
    o.duty = c.duty;
    o.waveValue = 0.9f;  // not used by the parabola
    ObjectRecord& b = m.add(o);
    m.step();
    EXPECT_FLOAT_EQ(b.x, c.x);
    EXPECT_FLOAT_EQ(b.y, c.y);
  }
}

struct CircleCase {
  float phase, x, y;
};

TEST(MotionPath, CircularRunsAroundTheEllipse) {
  const CircleCase cases[] = {
      {0.0f, 0.0f, 30.0f}, {0.25f, 50.0f, 50.0f}, {0.5f, 100.0f, 30.0f}, {0.75f, 50.0f, 10.0f}};
  for (const CircleCase& c : cases) {
    SCOPED_TRACE(c.phase);
    MotionWorld m;
    ObjectRecord& b = m.add(pathBlock(flag::Cyclic | flag::Motion | flag::Circular, c.phase, 0.0f, 0));
    m.step();
    EXPECT_NEAR(b.x, c.x, 1e-4f);
    EXPECT_NEAR(b.y, c.y, 1e-4f);
  }
}

TEST(MotionPath, MotionWithoutCyclicIsPinned) {
  MotionWorld m;
  ObjectRecord o = pathBlock(flag::Motion | flag::Killed | flag::Invisible, 0.3f, 0.5f, 4);
  o.waveValue = 0.25f;
  o.x = 7.0f;
  o.y = 3.0f;
  o.facing = -1;
  ObjectRecord& b = m.add(o);
  m.step();
  EXPECT_EQ(b.x, 25.0f);
  EXPECT_EQ(b.y, 20.0f);
  EXPECT_EQ(b.prevX, 7.0f);
  EXPECT_EQ(b.vx, 18.0f);
  EXPECT_EQ(b.vy, 17.0f);
  EXPECT_EQ(b.facing, 1);
  m.step(3);
  EXPECT_EQ(b.x, 25.0f);
  EXPECT_EQ(b.y, 20.0f);
  EXPECT_EQ(b.vx, 0.0f);
  EXPECT_EQ(b.vy, 0.0f);
  EXPECT_EQ(b.facing, 0);  // standing still faces nowhere
  EXPECT_EQ(b.phase, 0.3f);
  EXPECT_EQ(b.count, 4);
  EXPECT_EQ(b.waveValue, 0.25f);
}

TEST(MotionPath, KilledAndInvisibleBlocksKeepMoving) {
  MotionWorld m;
  ObjectRecord& b =
      m.add(pathBlock(flag::Cyclic | flag::Motion | flag::Killed | flag::Invisible | wave::Saw, 0.0f, 0.25f));
  m.step();
  EXPECT_EQ(b.phase, 0.25f);
  EXPECT_EQ(b.x, 25.0f);
}

TEST(MotionPath, VelocitySupportAndFacing) {
  MotionWorld m;
  ObjectRecord other;
  ObjectRecord& target = m.add(other);
  // Moving left along the saw path from x 100 down to 75.
  ObjectRecord left = pathBlock(flag::Cyclic | flag::Motion | wave::Saw, 1.0f, -0.25f, -1);
  left.x = 100.0f;
  left.support = &target;
  ObjectRecord& l = m.add(left);
  // Same motion, but facing an object: its facing is left alone.
  ObjectRecord faced = left;
  faced.facedObject = &target;
  faced.facing = 1;
  ObjectRecord& f = m.add(faced);
  // Not a motion object: no velocity, support or facing written.
  ObjectRecord plain = block(flag::Cyclic | wave::Saw, 0.0f, 0.25f);
  plain.support = &target;
  plain.vx = 3.0f;
  plain.facing = 1;
  plain.x = 5.0f;
  ObjectRecord& p = m.add(plain);

  m.step();
  EXPECT_EQ(l.x, 75.0f);
  EXPECT_EQ(l.vx, -25.0f);
  EXPECT_EQ(l.support, nullptr);
  EXPECT_EQ(l.facing, -1);
  EXPECT_EQ(f.facing, 1);
  EXPECT_EQ(f.vx, -25.0f);
  EXPECT_EQ(p.support, &target);
  EXPECT_EQ(p.vx, 3.0f);
  EXPECT_EQ(p.facing, 1);
  EXPECT_EQ(p.x, 5.0f);
  EXPECT_EQ(p.prevX, 5.0f);
}

// --- Spatial ----------------------------------------------------------------

struct SpatialCase {
  float playerX, expectedPhase;
};

TEST(MotionSpatial, PhaseFollowsThePlayersX) {
  // 1/16 cycle per unit: one period is 16 units; stored phase 0.25.
  const SpatialCase cases[] = {
      {0.0f, 0.25f},  {4.0f, 0.5f},   {8.0f, 0.75f}, {16.0f, 0.25f}, {20.0f, 0.5f},
      // Negative x continues the same period.
      {-4.0f, 0.0f},  {-6.0f, 0.875f}, {-12.0f, 0.5f}, {-20.0f, 0.0f}, {-1000.0f, 0.75f},
      {-0.5f, 0.21875f},
  };
  for (const SpatialCase& c : cases) {
    SCOPED_TRACE(c.playerX);
    MotionWorld m;
    m.world.player->x = c.playerX;
    ObjectRecord& b =
        m.add(pathBlock(flag::Cyclic | flag::Spatial | flag::Motion | wave::Saw, 0.25f, 1.0f / 16.0f, 3));
    m.step();
    EXPECT_FLOAT_EQ(b.waveValue, c.expectedPhase);
    EXPECT_FLOAT_EQ(b.x, 100.0f * c.expectedPhase);
    EXPECT_EQ(b.phase, 0.25f);  // the stored phase is kept
    EXPECT_EQ(b.count, 3);      // and the count is not touched
  }
}

TEST(MotionSpatial, PathsUseTheSpatialPhase) {
  MotionWorld m;
  m.world.player->x = 4.0f;  // spatial phase 0.25 + 0.25 = 0.5
  ObjectRecord& circle =
      m.add(pathBlock(flag::Cyclic | flag::Spatial | flag::Motion | flag::Circular, 0.25f, 1.0f / 16.0f));
  ObjectRecord hop = pathBlock(flag::Cyclic | flag::Spatial | flag::Motion | wave::Parabola, 0.3125f, 1.0f / 16.0f);
  hop.duty = 0.5f;
  ObjectRecord& parabola = m.add(hop);  // spatial phase 0.5625: a quarter of the way back
  m.step();
  EXPECT_NEAR(circle.x, 100.0f, 1e-4f);
  EXPECT_NEAR(circle.y, 30.0f, 1e-4f);
  EXPECT_FLOAT_EQ(parabola.x, 75.0f);
  EXPECT_FLOAT_EQ(parabola.y, 40.0f);
  EXPECT_EQ(circle.phase, 0.25f);
  EXPECT_EQ(parabola.phase, 0.3125f);
}

TEST(MotionSpatial, DegenerateInputsStayFinite) {
  const float xs[] = {-5.0f, kInf, -kInf, kNaN};
  for (float px : xs) {
    for (float freq : {0.0f, 0.5f, kNaN}) {
      SCOPED_TRACE(std::to_string(px) + " freq " + std::to_string(freq));
      MotionWorld m;
      m.world.player->x = px;
      ObjectRecord& b =
          m.add(pathBlock(flag::Cyclic | flag::Spatial | flag::Motion | flag::Circular, 0.25f, freq));
      m.step();
      EXPECT_TRUE(std::isfinite(b.waveValue));
      EXPECT_TRUE(std::isfinite(b.y));
      EXPECT_EQ(b.phase, 0.25f);
      if (freq == 0.0f && std::isfinite(px)) {
        EXPECT_FLOAT_EQ(b.y, 50.0f);  // frequency 0: the stored phase alone
      }
    }
  }
}

// --- The walk ---------------------------------------------------------------

TEST(MotionWalk, EveryObjectInOrderWithoutMovingTheCursor) {
  MotionWorld m;
  ObjectRecord a;
  a.x = 1.0f;
  a.y = 2.0f;
  m.add(a);
  ObjectRecord& b = m.add(block(flag::Cyclic | wave::Rand));
  ObjectRecord& c = m.add(block(flag::Cyclic | wave::Rand));
  m.world.player->x = 9.0f;
  m.world.player->y = 8.0f;

  auto second = std::next(m.world.objects.begin());
  m.world.objects.setCurrent(second);
  m.step();
  EXPECT_EQ(m.world.objects.current(), &*second);
  EXPECT_EQ(m.world.player->prevX, 9.0f);
  EXPECT_EQ(m.world.player->prevY, 8.0f);
  EXPECT_EQ(second->prevX, 1.0f);
  EXPECT_EQ(second->prevY, 2.0f);
  EXPECT_EQ(second->x, 1.0f);
  EXPECT_EQ(b.waveValue, m.table.values[0]);  // list order
  EXPECT_EQ(c.waveValue, m.table.values[1]);
}

TEST(MotionWalk, ThePlayerRunsItsOwnCycle) {
  MotionWorld m;
  m.world.player->flags = flag::Cyclic | wave::Saw;
  m.world.player->freq = 0.25f;
  m.step(2);
  EXPECT_EQ(m.world.player->phase, 0.5f);
  EXPECT_EQ(m.world.player->waveValue, 0.5f);
}

TEST(MotionWalk, EmptyWorldIsANoOp) {
  World world;
  RandomTable table;
  updateObjectMotion(world, table);
  EXPECT_TRUE(world.objects.empty());
}

}  // namespace
}  // namespace zor
