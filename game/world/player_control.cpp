#include "game/world/player_control.h"

#include <cstdint>

#include "format/vocabulary.h"
#include "game/game.h"
#include "game/script/queue_runner.h"
#include "game/world/bodies.h"
#include "game/world/objects.h"

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

// The control gate: whether the player may be steered in this frame. After a
// death, a direction key held through it blocks control until it is let go
// or a direction is pressed anew.
bool controlGate(Game& game, const ObjectRecord& p) {
  const ScriptState& s = game.script;
  const Controls& c = game.controls;
  World& world = game.world;
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

void jump(Game& game, ObjectRecord& p, bool allowed) {
  const Controls& c = game.controls;
  World& world = game.world;
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
    playSoundEffect(game, kEffectJump);
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
void leapOne(Game& game, ObjectRecord& p, int ctl, bool out, int32_t latchBit, int effect) {
  World& world = game.world;
  if (!game.controls.held(ctl)) {
    world.leapLatch &= ~latchBit;
    return;
  }
  const int32_t target = out ? world.leapOutLevel : world.leapInLevel;
  if (airborne(p) && leapTargetValid(world, target) && (world.leapLatch & latchBit) == 0 &&
      objectOverlapsLevel(world, p, target) == 0) {
    p.level = static_cast<int8_t>(target);
    findLeapLevels(game);
    playSoundEffect(game, effect);
    world.leapLatch |= latchBit;
  }
}

void leap(Game& game, ObjectRecord& p, bool allowed) {
  const Controls& c = game.controls;
  if (!allowed) {
    game.world.leapLatch = 0;
    return;
  }
  const bool newPress = c.pressed(control::LeapOut) || c.pressed(control::LeapIn);
  leapOne(game, p, control::LeapOut, true, kLatchLeapOut, kEffectUp);
  leapOne(game, p, control::LeapIn, false, kLatchLeapIn, kEffectDown);
  // A leap press while standing hops; the leap follows once airborne.
  if (newPress && !airborne(p)) {
    p.flags |= format::flag::Airborne;
    p.support = nullptr;
    p.vy = kHopSpeed;
  }
}

void reset(Game& game, const ObjectRecord& p, bool active) {
  if (!active || !game.controls.pressed(control::Reset)) return;
  if (airborne(p)) {
    playSoundEffect(game, kEffectClick);  // no reset in the air
    return;
  }
  respawnPlayer(game, 1, 0);
  game.world.fadeFromColour = kWhite;
  game.world.fadeAmount = 1.0f;
  playSoundEffect(game, kEffectReset);
}

}  // namespace

void stepPlayerControls(Game& game) {
  // 1. The pause key asks for the pause menu; the rest of the frame still runs,
  // with the controls already held for the menu.
  if (game.controls.pressed(control::Pause)) {
    holdControlsForPause(game.controls);
    game.world.requests.pause = true;
  }
  // 2. Screenshot.
  game.world.requests.screenshot = game.controls.pressed(control::Screenshot);
  // 3. Script waits, the queue and beat timers.
  serviceScriptQueue(game);
  // 4. A pending death takes the whole frame; controlsActive keeps its value.
  if (game.world.playerDead) {
    handlePlayerDeath(game);
    return;
  }
  ObjectRecord* p = game.world.player;
  if (!p) {
    game.app.controlsActive = 0;
    return;
  }
  // 5. to 9.
  const bool active = controlGate(game, *p);
  game.app.controlsActive = active ? 1 : 0;
  const bool steerable = active && game.script.jumpsAllowed;
  walk(game.controls, *p, active);
  jump(game, *p, steerable);
  leap(game, *p, steerable);
  reset(game, *p, active);
}

}  // namespace zor
