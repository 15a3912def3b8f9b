#include "game/world/player_control.h"

#include <cstdint>

#include "format/vocabulary.h"
#include "game/input/controls.h"
#include "game/script/script_state.h"
#include "game/world/bodies.h"
#include "game/world/objects.h"
#include "game/world/world.h"

namespace zor {
namespace {

// Walking: speed added per frame while a direction is held, and the speed at
// which no more is added (tested before adding).
constexpr float kWalkAcceleration = 1.0f;
constexpr float kWalkSpeedCap = 5.0f;
// Slowing down with no direction held, on the ground and in the air.
constexpr float kGroundFriction = 1.0f / 3.0f;   // 0.33333334
constexpr float kAirFriction = 10.0f / 11.0f;    // 0.90909094
constexpr float kJumpSpeed = 7.5f;
constexpr float kHopSpeed = 5.0f;
constexpr int32_t kJumpBoostFrames = 5;

// leapLatch bits: the control must be let go before it leaps again.
constexpr int32_t kLatchLeapOut = 2;
constexpr int32_t kLatchLeapIn = 1;

// Effect slots.
constexpr int kEffectJump = format::effect::Jump;
constexpr int kEffectUp = format::effect::Up;
constexpr int kEffectDown = format::effect::Down;
constexpr int kEffectReset = format::effect::Reset;
constexpr int kEffectClick = format::effect::Click;

// Colour of the flash a reset starts.
constexpr int32_t kWhite = 0xFFFFFF;

bool airborne(const ObjectRecord& p) { return p.has(format::flag::Airborne); }

// What steering reads and changes besides the player.
struct Steering {
  World& world;
  ScriptState& script;
  Session& session;
  const Controls& controls;
  bool soundOn;

  void effect(int slot) const { playSoundEffect(world, soundOn, slot); }
};

// The control gate: whether the player may be steered in this frame. After a
// death, a direction key held through it blocks control until it is let go
// or a direction is pressed anew.
bool controlGate(const Steering& st, const ObjectRecord& p) {
  const ScriptState& s = st.script;
  const Controls& c = st.controls;
  World& world = st.world;
  if (s.scriptFreeze || s.playerFrozen || p.has(format::flag::Sliding)) return false;
  if (world.deathControlLatch == 0) return true;
  if ((!c.held(control::Left) && !c.held(control::Right)) || c.pressed(control::Left) ||
      c.pressed(control::Right)) {
    world.deathControlLatch = 0;
    return true;
  }
  return false;
}

void walk(const Controls& c, ObjectRecord& p, bool active) {
  if (!active) {
    if (!p.has(format::flag::Sliding)) p.vx = 0.0f;
    return;
  }
  if (c.held(control::Right)) {
    if (p.vx < kWalkSpeedCap) p.vx = p.vx + kWalkAcceleration;
    p.facing = 1;
  } else if (c.held(control::Left)) {
    if (p.vx > -kWalkSpeedCap) p.vx = p.vx - kWalkAcceleration;
    p.facing = -1;
  } else {
    p.vx = p.vx * (airborne(p) ? kAirFriction : kGroundFriction);
  }
}

void jump(const Steering& st, ObjectRecord& p, bool allowed) {
  const Controls& c = st.controls;
  World& world = st.world;
  if (!allowed) {
    world.jumpHoldFrames = 0;
    return;
  }
  if (c.pressed(control::Jump) && !airborne(p)) {
    p.flags |= format::flag::Airborne;
    p.vy = kJumpSpeed;
    world.jumpHoldFrames = kJumpBoostFrames;
    if (ObjectRecord* support = p.support) {
      p.vx = p.vx + support->vx;
      if (support->vy > 0.0f) p.vy = p.vy + support->vy;
      p.support = nullptr;
    }
    st.effect(kEffectJump);
  } else if (c.held(control::Jump) && airborne(p)) {
    // Holding the key cancels the world step's gravity for a few frames.
    if (world.jumpHoldFrames > 0) {
      p.vy = p.vy + p.gravity;
      world.jumpHoldFrames -= 1;
    }
  } else {
    world.jumpHoldFrames = 0;
  }
}

// A level index the player can be put on: inside the level table and within
// the range of the player's level field.
bool leapTargetValid(const World& world, int32_t level) {
  return level >= 0 && level <= INT8_MAX && levelAt(world, level) != nullptr;
}

// One leap control: while held, an airborne player leaps to `target` once per
// press unless a solid object on that level is in the way.
void leapOne(const Steering& st, ObjectRecord& p, int ctl, bool out, int32_t latchBit, int effect) {
  World& world = st.world;
  if (!st.controls.held(ctl)) {
    world.leapLatch &= ~latchBit;
    return;
  }
  const int32_t target = out ? world.leapOutLevel : world.leapInLevel;
  if (airborne(p) && leapTargetValid(world, target) && (world.leapLatch & latchBit) == 0 &&
      objectOverlapsLevel(world, p, target) == 0) {
    p.level = static_cast<int8_t>(target);
    findLeapLevels(world);
    st.effect(effect);
    world.leapLatch |= latchBit;
  }
}

void leap(const Steering& st, ObjectRecord& p, bool allowed) {
  const Controls& c = st.controls;
  if (!allowed) {
    st.world.leapLatch = 0;
    return;
  }
  const bool newPress = c.pressed(control::LeapOut) || c.pressed(control::LeapIn);
  leapOne(st, p, control::LeapOut, true, kLatchLeapOut, kEffectUp);
  leapOne(st, p, control::LeapIn, false, kLatchLeapIn, kEffectDown);
  // A leap press while standing hops; the leap follows once airborne.
  if (newPress && !airborne(p)) {
    p.flags |= format::flag::Airborne;
    p.support = nullptr;
    p.vy = kHopSpeed;
  }
}

void reset(const Steering& st, const ObjectRecord& p, bool active) {
  if (!active || !st.controls.pressed(control::Reset)) return;
  if (airborne(p)) {
    st.effect(kEffectClick);  // no reset in the air
    return;
  }
  respawnPlayer(st.world, st.script, st.session, 1, 0);
  st.world.fadeFromColour = kWhite;
  st.world.fadeAmount = 1.0f;
  st.effect(kEffectReset);
}

}  // namespace

bool steerPlayer(World& world, ScriptState& script, Session& session, const Controls& controls, bool soundOn) {
  ObjectRecord* p = world.player;
  if (!p) return false;
  const Steering st{world, script, session, controls, soundOn};
  const bool active = controlGate(st, *p);
  const bool steerable = active && script.jumpsAllowed;
  walk(controls, *p, active);
  jump(st, *p, steerable);
  leap(st, *p, steerable);
  reset(st, *p, active);
  return active;
}

}  // namespace zor
