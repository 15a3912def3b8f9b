#include "game/world/bodies.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

#include "format/vocabulary.h"
// Up: a player death in the pass runs the zone's death script at once through
// the interpreter, which takes the whole Game; when it runs is part of play.
#include "game/game.h"
#include "game/script/interpreter.h"
#include "game/script/queue_runner.h"
#include "game/world/motion.h"
#include "game/world/objects.h"
#include "game/world/pair_index.h"
#include "game/world/stand_index.h"

namespace zor {

namespace {

namespace flag = format::flag;
namespace eflag = format::eflag;

// Effect slots.
constexpr int kJumpEffect = format::effect::Jump;
constexpr int kLandEffect = format::effect::Bounce;
constexpr int kDieEffect = format::effect::Die;
constexpr int kCheckEffect = format::effect::Check;
constexpr int kRubberEffect = format::effect::Rubber;

// A seat that still compares below its base's top is raised in steps of this
// size, at most kMaxRaiseSteps times (the step vanishes at large coordinates).
constexpr float kRaiseStep = 0.0005f;
constexpr int kMaxRaiseSteps = 64;

constexpr float kSpeedLimit = 14.5f;

// Float to int32 toward zero; NaN gives 0 and values beyond the range the bound.
int32_t truncateToInt(float v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483648.0f) return INT32_MAX;
  if (v < -2147483648.0f) return INT32_MIN;
  return static_cast<int32_t>(v);
}

int32_t wrappingAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

// Boxes overlap by more than a touch.
bool overlaps(const ObjectRecord& a, const ObjectRecord& b) {
  return a.x + a.w > b.x && a.x < b.x + b.w && a.y + a.h > b.y && a.y < b.y + b.h;
}

// o stands on top of base: y := base top, raised while it still compares below it.
void seatOn(ObjectRecord& o, const ObjectRecord& base) {
  o.y = base.y + base.h;
  for (int i = 0; i < kMaxRaiseSteps && o.y < base.y + base.h; ++i) o.y += kRaiseStep;
}

// The object's class when it has the class flag; null otherwise.
const ClassRecord* classOf(const ObjectRecord& o) {
  return o.has(flag::Class) ? o.objectClass : nullptr;
}

bool hasClassFlag(const ObjectRecord& o, uint32_t eflag) {
  const ClassRecord* k = classOf(o);
  return k != nullptr && (static_cast<uint32_t>(k->eflags) & eflag) != 0;
}

float clampSpeed(float v) {
  if (v < -kSpeedLimit) return -kSpeedLimit;
  if (v > kSpeedLimit) return kSpeedLimit;
  return v;
}

// An effect asked for by the step, when the game's sound effects are on.
void askEffect(Game& game, int slot) { playSoundEffect(game.world, game.prefs.sound != 0, slot); }

// Leaves the support with its motion: the support's vx is added, and its vy
// when it rises; the object then has no support.
void leaveSupport(ObjectRecord& o) {
  if (ObjectRecord* s = o.support) {
    o.vx += s->vx;
    if (s->vy > 0.0f) o.vy += s->vy;
    o.support = nullptr;
  }
}

// State of one world step that the bodies phase and the pair pass need besides the world.
struct StepContext {
  StepContext(Game& g, ObjectRecord& p) : game(g), world(g.world), player(p) {}
  Game& game;
  World& world;
  ObjectRecord& player;
  PairSearch search = PairSearch::Indexed;
  std::vector<PairContact>* contacts = nullptr;  // when given, every solid contact in order
  // A death script ran during the pair pass while the zone was settling; the
  // objects it killed are deleted once the pass is over.
  bool deleteKilledAfterPass = false;
  // A death in the pass may have run a script, which may have changed the list.
  bool listMayHaveChanged = false;
  // The pass's order was taken anew from the list after the walk took it.
  bool orderRetaken = false;
  // Every object that is neither dynamic nor on a motion path stands where it
  // stood before this step's motion (x == prevX and y == prevY, bit for bit):
  // true from the motion walk, which sets them so, until a script runs.
  bool fixedStill = false;

  // The objects other than the player in list order (their places in the
  // list), and their levels, as the pass found them; the player's own position.
  std::vector<ObjectList::iterator> places;
  std::vector<int8_t> levels;
  uint32_t playerPosition = 0;
  // The list position of the object whose pairs are being resolved.
  uint32_t pairPosition = 0;

  // For the indexed search, taken with the order: each object's box; the
  // positions of the dynamic objects, of those that may move (dynamic or on a
  // motion path) and of the others that can be met (solid, deadly or
  // checkpoints). Objects that are not dynamic never move in the pass (only
  // the object whose pairs are resolved is pushed), and nothing in the pass
  // makes an object dynamic, solid, deadly or a checkpoint.
  bool orderTaken = false;
  // Whether the walk that took the order has already compared the objects that
  // stand still with those the kept index was built from, and what it found.
  bool fixedCompared = false;
  bool fixedSame = false;
  // The boxes of the objects that stand still are not in `boxes` yet.
  bool fixedBoxesMissing = false;
  std::vector<PairBox> boxes;
  // What each object can be met as (see kindsOf) when the order was taken:
  // nothing in the pass adds a kind, so the indexes of the moving objects are
  // built from these and the boxes without their records, and the index of
  // the objects that stand still keeps them beside their boxes. The boxes of
  // the moving objects follow them through the pass.
  std::vector<uint8_t> kinds;
  std::vector<uint32_t> dynamicPositions;
  std::vector<uint32_t> movingPositions;
  std::vector<uint32_t> fixedPositions;
  const PairIndex* fixedIndex = nullptr;
  NearLists* fixedNear = nullptr;  // the kept lists of fixedIndex near each dynamic object
  // The moving objects that are solid, deadly or checkpoints: as the pass
  // begins for the pairs of the dynamic objects (which meet only those that
  // are solid and not checkpoints), then as they are before the player's.
  PairIndex movingIndex;
  std::vector<uint32_t> scratch;

  // For the step whose one walk runs the motion and the bodies of objects that
  // stand still: the objects whose bodies step waits for the walk's end (with
  // their positions in the order), and the positions of the objects on motion
  // paths that are not dynamic.
  std::vector<std::pair<ObjectList::iterator, uint32_t>> deferred;
  std::vector<uint32_t> restingMoving;

  StandIndex stands;
};

// Lends the step cache's working storage to the step, or takes it back.
void swapPassBuffers(StepContext& ctx, PairPassBuffers& b) {
  ctx.places.swap(b.places);
  ctx.levels.swap(b.levels);
  ctx.boxes.swap(b.boxes);
  ctx.kinds.swap(b.kinds);
  ctx.dynamicPositions.swap(b.dynamicPositions);
  ctx.movingPositions.swap(b.movingPositions);
  ctx.fixedPositions.swap(b.fixedPositions);
  ctx.scratch.swap(b.scratch);
  ctx.deferred.swap(b.deferred);
  ctx.restingMoving.swap(b.restingMoving);
  std::swap(ctx.movingIndex, b.movingIndex);
}

// The end of killObject: the flags of a killed object, its sound and die script.
void markKilled(World& world, ScriptState& script, bool soundOn, ObjectRecord* object, int withSound) {
  const bool wasKilled = object->has(flag::Killed);
  world.stepCache.wake(object);
  object->flags = flag::Killed | flag::NoBorder | flag::Invisible | (object->flags & flag::HasFace);
  if (withSound != 0 && !wasKilled) {
    playSoundEffect(world, soundOn, kDieEffect);
    queueScript(script, object->dieScript, object);
  }
}

// killObject within the step, releasing the stack through the step's index.
void killInStep(StepContext& ctx, ObjectRecord* object, int withSound) {
  if (object == nullptr) return;
  if (ctx.search == PairSearch::Indexed) {
    ctx.stands.release(ctx.world.objects, object);
  } else {
    releaseStackedObjects(ctx.world, object);
  }
  markKilled(ctx.world, ctx.game.script, ctx.game.prefs.sound != 0, object, withSound);
}

// The player death of the pair pass. A death script that runs at once while
// the zone is settling would delete the objects it killed when it stops, under
// the feet of the pass; those deletions wait until the pass is over.
void playerDeathInPass(StepContext& ctx) {
  Game& game = ctx.game;
  ScriptState& s = game.script;
  const xml::Node* script = ctx.world.zoneDeathScript;
  if (script == nullptr) {
    playerDeath(game);
    return;
  }
  // The script runs now (rather than being queued) unless another one is in progress.
  const bool runsNow = !(s.walkingScript || (s.runningScript != nullptr && s.runningScript != script));
  const bool holdDeletions = runsNow && s.zoneEntryQuiet;
  if (holdDeletions) s.zoneEntryQuiet = false;
  playerDeath(game);
  // The script may have changed the list, and moved any object.
  ctx.stands.invalidate();
  ctx.listMayHaveChanged = true;
  ctx.fixedStill = false;
  if (holdDeletions) {
    s.zoneEntryQuiet = true;
    ctx.deleteKilledAfterPass = true;
  }
}

// Deletes the objects flagged `killed` (never the player), as the end of a
// script does while the zone is settling.
void deleteKilledObjects(Game& game) {
  World& world = game.world;
  const ObjectRecord* player = world.player;
  auto isVictim = [player](const ObjectRecord& o) { return o.has(flag::Killed) && &o != player; };
  int32_t victims = 0;
  for (const ObjectRecord& o : world.objects) {
    if (isVictim(o)) ++victims;
  }
  if (victims == 0) return;
  deleteObjectsWhere(world, game.script, isVictim);
  world.objectCount = world.objectCount > victims ? world.objectCount - victims : 0;
}

// A class object's jump (stomp or leap): up at its class's jump speed, taking
// its support's motion along.
void classJump(Game& game, ObjectRecord& o, const ClassRecord& k, int effect) {
  o.flags |= flag::Airborne;
  o.vy = k.acc2;
  if (&o == game.world.player) game.world.jumpHoldFrames = 5;
  leaveSupport(o);
  if (effect >= 0) askEffect(game, effect);
}

// Class behaviour: chase or brake, stomp, leap or keep to the platform, move.
void stepClassObject(Game& game, ObjectRecord& o, const ClassRecord& k, const ObjectRecord& player) {
  const uint32_t ef = static_cast<uint32_t>(k.eflags);
  ObjectRecord* const s = o.support;

  // 1. Chase decision.
  const float d = std::fabs(player.x - o.x + (player.w - o.w) * 0.5f);
  const bool near = d < k.cover;
  bool chase = (ef & eflag::Approach) != 0 ? !near : near;
  if (chase) {
    if ((ef & eflag::Greedy) != 0) {
      chase = o.support == player.support;
    } else {
      chase = o.level == player.level || (ef & eflag::AllLevels) != 0;
    }
  }

  // 2. Accelerate toward the player, or brake.
  if (chase) {
    if (player.x <= o.x + (o.w - player.w) * 0.5f) {
      o.vx -= k.acc1;
      if (o.vx < -k.speed) o.vx = -k.speed;
    } else {
      o.vx += k.acc1;
      if (o.vx > k.speed) o.vx = k.speed;
    }
  } else {
    o.vx *= k.brake;
  }

  // 3. Stomping: jump at a player on the same support.
  if ((ef & eflag::Stomping) != 0 && s != nullptr && s == player.support) {
    bool jump;
    if (o.x + o.w * 0.5f < player.x + player.w * 0.5f) {
      jump = player.x - (o.x + o.w) < o.vx * k.acc2;
    } else {
      jump = (player.x + player.w) - o.x > o.vx * k.acc2;
    }
    if (jump) classJump(game, o, k, k.asound);
  }

  // 4. Leap off the support's edge, or keep away from it.
  if ((ef & eflag::Leaping) != 0) {
    if (s != nullptr) {
      const float right = s->x + s->w - kRaiseStep;
      const float left = s->x + kRaiseStep;
      const bool offRight = o.vx > 0.0f && o.x + o.w <= right && o.x + o.w + o.vx > right;
      const bool offLeft = o.vx < 0.0f && o.x >= left && o.x + o.vx < left;
      if (offRight || offLeft) classJump(game, o, k, kJumpEffect);
    }
  } else if ((ef & eflag::Smart) != 0 && s != nullptr) {
    for (int i = 0; i < 20; ++i) {
      const bool overRight = o.vx > 0.0f && o.x + o.w > s->x + s->w - kRaiseStep;
      const bool overLeft = o.vx < 0.0f && o.x < s->x + kRaiseStep;
      if (!overRight && !overLeft) break;
      o.vx *= 0.5f;
    }
  }

  // 5. Move; no damping and no speed limit for class objects.
  o.x += o.vx;
}

// The effect timer of every object.
void stepEffectTimer(ObjectRecord& o) {
  if (o.effectBits == 0) return;
  if (o.effectTimer > 0) o.effectTimer = static_cast<int16_t>(o.effectTimer - 1);
  if (o.effectTimer == 0) {
    if (o.has(flag::Killed)) {
      o.flags |= flag::Invisible;
    } else if (o.effectBits == 1) {
      o.flags &= ~flag::Invisible;
    }
    o.effectBits = 0;
  }
}

// The bodies phase for one object.
void stepBody(StepContext& ctx, ObjectRecord& o) {
  Game& game = ctx.game;
  World& world = game.world;
  ObjectRecord& player = *world.player;
  const bool isPlayer = &o == &player;

  if (o.has(flag::Dynamic)) {
    // 1. Support.
    if (ObjectRecord* s = o.support) {
      if (s->x + s->w < o.x || s->x > o.x + o.w || !s->has(flag::Solid) || s->level != o.level) {
        o.support = nullptr;
        o.flags |= flag::Airborne;
        o.vy = s->vy;
      } else {
        seatOn(o, *s);
        // Carried by the whole chain of supports below. A chain never holds
        // more objects than the list; one that comes back round is cut there.
        std::size_t links = world.objects.size();
        for (const ObjectRecord* c = s; c != nullptr && c != &o && links > 0; c = c->support, --links) {
          o.x += c->vx;
        }
      }
    } else {
      o.flags |= flag::Airborne;
    }

    // 2 and 3. Horizontal motion.
    if (const ClassRecord* k = classOf(o)) {
      stepClassObject(game, o, *k, player);
    } else if (o.has(flag::Sliding)) {
      const float target = o.slideTarget;
      if (o.vx < target - o.x) {
        o.x += o.vx;
      } else if (o.vx < o.x - target) {
        o.x -= o.vx;
      } else {
        o.x = target;
        o.vx = 0.0f;
        o.flags &= ~flag::Sliding;
      }
    } else {
      if (!isPlayer) o.vx *= 0.9f;
      o.vx = clampSpeed(o.vx);
      o.x += o.vx;
    }

    // 4. Vertical motion.
    o.vy = clampSpeed(o.vy);
    if (o.has(flag::Airborne)) {
      o.vy -= o.gravity;
      o.y += o.vy;
    } else {
      o.vy = 0.0f;
    }

    // 5. Depth toward the level.
    if (!isPlayer && o.level >= 0) {
      if (const LevelRecord* l = levelAt(world, o.level)) o.z += (l->z - o.z) * 0.2f;
    }

    // 6. The player stands on it.
    if (player.support == &o) seatOn(player, o);

    // 7. Fallen out of the zone.
    if (!isPlayer && o.y + o.h < world.zoneYlim1) killInStep(ctx, &o, 0);
  }

  // 8. Effect timer.
  stepEffectTimer(o);
}

// A checkpoint touched by the player.
void touchCheckpoint(Game& game, ObjectRecord& player, ObjectRecord& b) {
  World& world = game.world;
  world.currentCheckpoint = &b;
  world.fadeFromColour = player.colour1;
  world.fadeAmount = 1.0f;
  world.respawnPoint.x = b.x + b.w / 2.0f - player.w / 2.0f;
  world.respawnPoint.y = b.y + b.w / 2.0f - player.h / 2.0f;
  world.respawnPoint.level = b.level;
  askEffect(game, kCheckEffect);
  if (b.litColour >= 0) {
    b.colour1 = b.litColour;
    b.colour2 = 0xFFFFFF;
  } else {
    b.colour1 = 0;
    b.colour2 = 1;
  }
  b.phase = 0.0f;
  if (b.standOnScript != nullptr && b.standOnTimes != 0) {
    if (b.standOnTimes > 0) b.standOnTimes = static_cast<int16_t>(b.standOnTimes - 1);
    queueScript(game.script, b.standOnScript, &b);
  }
}

// A hits the solid B (their boxes overlap): push A out by the side it came from.
void solidContact(StepContext& ctx, ObjectRecord& a, ObjectRecord& b) {
  Game& game = ctx.game;
  World& world = ctx.world;
  const bool isPlayer = &a == &ctx.player;
  if (ctx.contacts != nullptr) ctx.contacts->push_back(PairContact{&a, &b});

  // Relative motion and the sides that did not overlap before this frame's motion.
  const float rdx = (a.x - a.prevX) - (b.x - b.prevX);
  const float rdy = (a.y - a.prevY) - (b.y - b.prevY);
  int side = 0;
  if (!(a.prevX + a.w > b.prevX && a.prevX < b.prevX + b.w)) side += 5;
  if (!(a.prevY + a.h > b.prevY && a.prevY < b.prevY + b.h)) side += 10;
  // Corner: the player at its previous x would already be inside something, so
  // the contact is taken from above or below.
  if (isPlayer && side == 15) {
    const float x = a.x;
    a.x = a.prevX;
    if (objectOverlapsLevel(world, a, a.level) != 0) side = 10;
    a.x = x;
  }

  if ((side & 5) == 5) {
    // Horizontal contact.
    const float x0 = a.x;
    if (rdx > 0.0f) {
      a.contacts |= 1;
      a.x = b.x - a.w - kRaiseStep;
    } else {
      a.contacts |= 4;
      a.x = b.x + b.w + kRaiseStep;
    }
    if (a.has(flag::Sliding)) {
      if (!a.has(flag::Airborne)) a.flags &= ~flag::Sliding;
    } else {
      const ClassRecord* k = classOf(a);
      if (k != nullptr && !a.has(flag::Airborne)) {
        // The draw is taken whether or not the class jumps.
        const float r = game.random.table.next();
        if (r * 1000.0f - 0.0005f < static_cast<float>(k->hops) &&
            (static_cast<uint32_t>(k->eflags) & eflag::Jumping) != 0) {
          a.flags |= flag::Airborne;
          const float r2 = game.random.table.next();
          a.vy = k->acc2 * (static_cast<float>(k->hops) + r2 * static_cast<float>(100 - k->hops)) * 0.01f;
          if (isPlayer) world.jumpHoldFrames = 5;
          leaveSupport(a);
        }
      }
      a.vx += a.x - x0;
    }
  } else if (side == 10) {
    if (rdy >= 0.0f) {
      // Head hit.
      a.contacts |= 2;
      a.y = b.y - a.h - kRaiseStep;
      a.vy = b.vy - world.zoneGravity;
      if (!isPlayer && hasClassFlag(b, eflag::Heavy)) killInStep(ctx, &a, 1);
    } else {
      // Landing.
      a.contacts |= 8;
      if (b.has(flag::Dynamic) && hasClassFlag(a, eflag::Heavy)) killInStep(ctx, &b, 1);
      if (b.has(flag::Bouncy) && isPlayer && &b != world.lastBounceObject) {
        askEffect(game, kRubberEffect);
        a.vy = b.freq != 0.0f ? b.freq : std::fabs(rdy);
        world.lastBounceObject = &b;
        world.bounceFrames = truncateToInt(a.vy) / 2 + 1;
        world.leapLatch = 3;
      } else if (rdy < -13.5f && b.vy < 14.5f) {
        if (!a.has(flag::Invisible)) {
          askEffect(game, kLandEffect);
          if (a.w * a.h > 32000.0f && game.script.screenEffects.shakeAmount < 0.2f) {
            game.script.screenEffects.shakeAmount = 0.2f;
            game.script.screenEffects.shakeDecay = 0.9f;
          }
        }
        a.vy *= -0.3f;
      } else {
        if (a.w * a.h > 500.0f && rdy < -1.0f && !game.script.zoneEntryQuiet && !a.has(flag::Invisible)) {
          askEffect(game, kLandEffect);
        }
        a.support = &b;
        ctx.stands.noteSupport(a, ctx.pairPosition, b);
        a.flags &= ~flag::Airborne;
      }
      seatOn(a, b);
    }
  } else if (side == 0) {
    // Inside already before this frame's motion.
    if (isPlayer) playerDeathInPass(ctx);
  }

  // Faces meet deadly objects.
  if (a.has(flag::Deadly) && b.has(flag::HasFace)) {
    killInStep(ctx, &b, 1);
  } else if (a.has(flag::HasFace) && b.has(flag::Deadly)) {
    killInStep(ctx, &a, 1);
  }
}

// After all pairs of A: seated on its support, and squeezed from both sides.
void finishPairs(StepContext& ctx, ObjectRecord& a, uint8_t before) {
  if (a.support != nullptr) {
    a.contacts |= 8;
    seatOn(a, *a.support);
  }
  if ((a.contacts & 10) == 10 || (a.contacts & 5) == 5) {
    if (&a == &ctx.player) {
      playerDeathInPass(ctx);
      a.contacts = before;
    } else {
      killInStep(ctx, &a, 1);
    }
  }
}

// How far ahead the walks over positions load records.
constexpr std::size_t kPrefetchAhead = 8;

// How far ahead the walks over positions load the records their objects
// stand on (which the records loaded kPrefetchAhead ahead name by then).
constexpr std::size_t kSupportAhead = kPrefetchAhead / 2;

// How far ahead the pair pass loads the bucket table lines of the queries,
// and then the first entries of their buckets.
constexpr std::size_t kBucketsAhead = 16;
constexpr std::size_t kEntriesAhead = 8;

// Asks the processor to load the first line of the record `o` stands on.
void prefetchSupport(const ObjectRecord& o) {
  if (o.support != nullptr) prefetchLine(reinterpret_cast<std::uintptr_t>(o.support));
}

PairBox boxOf(const ObjectRecord& o) { return PairBox{o.x, o.y, o.x + o.w, o.y + o.h}; }

// What an object can be met as in the pass: kSolidKind by the objects other
// than the player (solid and not a checkpoint), kPlayerKind by the player
// (solid, deadly or a checkpoint); and what a contact with it asks of its
// flags: kDeadlyKind (deadly) and kFaceKind (has a face). Within a pass an
// object's kinds can only be lost, by a kill, and only an object with a face
// is killed in a contact with another.
constexpr uint8_t kSolidKind = 1;
constexpr uint8_t kPlayerKind = 2;
constexpr uint8_t kDeadlyKind = 4;
constexpr uint8_t kFaceKind = 8;
uint8_t kindsOf(const ObjectRecord& o) {
  uint8_t k = 0;
  if (o.has(flag::Solid) && !o.has(flag::Checkpoint)) k |= kSolidKind;
  if (o.has(flag::Solid | flag::Deadly | flag::Checkpoint)) k |= kPlayerKind;
  if (o.has(flag::Deadly)) k |= kDeadlyKind;
  if (o.has(flag::HasFace)) k |= kFaceKind;
  return k;
}

// A non-player object A meets B (position j of the pass's order), an object
// that stands still and has no face, as the fixed index found it (its box,
// and its kinds as the pass began),
// while every such object stands where it stood before this step's motion
// (StepContext::fixedStill). B's box is then also where it was before the
// motion, so that A's sides need nothing of B's record; when A was already
// inside B, all that can happen is A's death on a deadly B, and neither B's
// record nor its place in the list is read. Any other contact is solidContact's.
void fixedContact(StepContext& ctx, ObjectRecord& a, std::size_t j, const PairIndex::Near& b) {
  const PairBox& was = b.box;
  if (!(a.prevX + a.w > was.x0 && a.prevX < was.x1) || !(a.prevY + a.h > was.y0 && a.prevY < was.y1)) {
    solidContact(ctx, a, *ctx.places[j]);
    return;
  }
  if (ctx.contacts != nullptr) ctx.contacts->push_back(PairContact{&a, &*ctx.places[j]});
  if (a.has(flag::HasFace) && (b.bits & kDeadlyKind) != 0) killInStep(ctx, &a, 1);
}

// A non-player object A (position i of the pass's order) against the objects
// after it. Nothing run from here adds, removes, reorders or moves objects to
// another level (no script runs for a non-player object), so the order and
// levels taken at the start of the pass hold throughout.
//
// The indexed search finds, each time, the first later object (in order) that
// A, where it now is, meets; so the contacts come in the order of a walk over
// every later object.
//
// `d` is A's place among the dynamic objects (ctx.dynamicPositions), whose
// list of the objects that stand still near it the indexed search asks while
// A stays inside it.
void pairFollowing(StepContext& ctx, std::size_t i, std::size_t d, uint8_t before) {
  ObjectRecord& a = *ctx.places[i];
  a.contacts = 0;
  if (!a.has(flag::Dynamic)) return;
  ctx.pairPosition = static_cast<uint32_t>(i < ctx.playerPosition ? i : i + 1);
  const int8_t level = a.level;
  const std::size_t n = ctx.places.size();
  // A checkpoint is never solid in the pass, and only the player touches it.
  auto meets = [&](std::size_t j) {
    const ObjectRecord& b = *ctx.places[j];
    return !b.has(flag::Checkpoint) && b.has(flag::Solid) && overlaps(a, b);
  };
  if (ctx.search == PairSearch::Exhaustive) {
    for (std::size_t j = i + 1; j < n; ++j) {
      if (ctx.levels[j] == level && meets(j)) solidContact(ctx, a, *ctx.places[j]);
    }
  } else {
    std::size_t from = i + 1;
    const NearLists& near = *ctx.fixedNear;
    const auto position = static_cast<uint32_t>(i);
    // The lists hold only objects of kSolidKind as the pass began (see
    // refresh in pairPass): one without a face still is, and it overlaps A
    // when its listed box does.
    auto meetsListed = [&](const PairIndex::Near& e) {
      return (ctx.fixedStill && (e.bits & kFaceKind) == 0) || meets(e.position);
    };
    for (;;) {
      const PairBox box = boxOf(a);
      const PairIndex::Near* listed = nullptr;
      std::size_t fixed = n;
      if (near.covers(d, position, level, box)) {
        listed = near.firstEntryFrom(d, from, box, n, meetsListed);
        if (listed != nullptr) fixed = listed->position;
      } else {
        fixed = ctx.fixedIndex->firstFrom(from, level, box, n, meets);
      }
      const std::size_t j = std::min(fixed, ctx.movingIndex.firstFrom(from, level, box, n, meets));
      if (j >= n) break;
      if (listed != nullptr && j == fixed && ctx.fixedStill && (listed->bits & kFaceKind) == 0) {
        fixedContact(ctx, a, j, *listed);
      } else {
        solidContact(ctx, a, *ctx.places[j]);
      }
      from = j + 1;
    }
  }
  finishPairs(ctx, a, before);
  if (ctx.search == PairSearch::Indexed) ctx.boxes[i] = boxOf(a);
}

// What the player does with one other object B of its level.
void playerMeets(StepContext& ctx, ObjectRecord& a, ObjectRecord& b) {
  if (b.has(flag::Deadly)) {
    if (overlaps(a, b)) playerDeathInPass(ctx);
    return;
  }
  if (b.has(flag::Checkpoint)) {
    if (&b != ctx.world.currentCheckpoint && overlaps(a, b)) touchCheckpoint(ctx.game, a, b);
    return;
  }
  if (b.has(flag::Solid) && overlaps(a, b)) solidContact(ctx, a, b);
}

// The player against every other object, in list order. A death script may
// run here and change the list (deletions wait for the end of the pass), so
// the walk follows the list as it then stands.
//
// The indexed search visits only the objects the player meets, in order, as
// long as no death has happened in the pass; from a death on it walks the
// list from there.
void pairPlayer(StepContext& ctx, uint8_t before) {
  World& world = ctx.world;
  ObjectRecord& a = ctx.player;
  a.contacts = 0;
  if (!a.has(flag::Dynamic)) return;
  ctx.pairPosition = ctx.playerPosition;
  auto it = world.objects.begin();
  if (ctx.search == PairSearch::Indexed && !ctx.listMayHaveChanged) {
    const std::size_t n = ctx.places.size();
    // Only an object that overlaps the player has an effect on it.
    auto meets = [&](std::size_t j) {
      const ObjectRecord& b = *ctx.places[j];
      if (b.level != a.level || !overlaps(a, b)) return false;
      if (b.has(flag::Deadly)) return true;
      if (b.has(flag::Checkpoint)) return &b != world.currentCheckpoint;
      return b.has(flag::Solid);
    };
    std::size_t from = 0;
    for (;;) {
      const PairBox box = boxOf(a);
      const int8_t level = a.level;
      const std::size_t j = std::min(ctx.fixedIndex->firstFrom(from, level, box, n, meets),
                                     ctx.movingIndex.firstFrom(from, level, box, n, meets));
      if (j >= n) {
        finishPairs(ctx, a, before);
        return;
      }
      playerMeets(ctx, a, *ctx.places[j]);
      if (ctx.listMayHaveChanged) {
        it = std::next(ctx.places[j]);
        break;
      }
      from = j + 1;
    }
  }
  for (; it != world.objects.end(); ++it) {
    ObjectRecord& b = *it;
    if (&b == &a || b.level != a.level) continue;
    playerMeets(ctx, a, b);
  }
  finishPairs(ctx, a, before);
}

// The pass's order `count` slots long. The slots keep what they held: a walk
// that writes every slot loads nodes ahead from the last step's places.
void sizeOrder(StepContext& ctx, std::size_t count) {
  ctx.places.resize(count);
  ctx.levels.resize(count);
  ctx.boxes.resize(count);
  ctx.kinds.resize(count);
}

// An order of `count` slots with no positions taken and nothing compared.
void resetOrder(StepContext& ctx, std::size_t count) {
  ctx.fixedCompared = false;
  ctx.fixedBoxesMissing = false;
  sizeOrder(ctx, count);
  ctx.dynamicPositions.clear();
  ctx.movingPositions.clear();
  ctx.fixedPositions.clear();
}

// Adds one object of the list to the pass's order. An object that is not
// dynamic has no pairs of its own in this step: its contacts are cleared here
// once instead of in every pass.
void addToOrder(StepContext& ctx, ObjectList::iterator it) {
  ObjectRecord& o = *it;
  if (&o == &ctx.player) {
    ctx.playerPosition = static_cast<uint32_t>(ctx.places.size());
    return;
  }
  const auto k = static_cast<uint32_t>(ctx.places.size());
  ctx.places.push_back(it);
  ctx.levels.push_back(o.level);
  if (ctx.search == PairSearch::Exhaustive) return;
  ctx.boxes.push_back(boxOf(o));
  ctx.kinds.push_back(kindsOf(o));
  if (o.has(flag::Dynamic)) {
    ctx.dynamicPositions.push_back(k);
    ctx.movingPositions.push_back(k);
    return;
  }
  if (o.contacts != 0) o.contacts = 0;  // records at rest stay clean
  if (o.has(flag::Motion)) {
    ctx.movingPositions.push_back(k);
  } else if (o.has(flag::Solid | flag::Deadly | flag::Checkpoint)) {
    ctx.fixedPositions.push_back(k);
  }
}

// Position k of the pass's order: the object at `it`, as it is now.
void fillOrderSlot(StepContext& ctx, std::size_t k, ObjectList::iterator it) {
  const ObjectRecord& o = *it;
  ctx.places[k] = it;
  ctx.levels[k] = o.level;
  ctx.boxes[k] = boxOf(o);
  ctx.kinds[k] = kindsOf(o);
}

// The pass's order from the list as it stands.
void takeOrder(StepContext& ctx) {
  ctx.orderRetaken = true;
  resetOrder(ctx, 0);
  ObjectList& list = ctx.world.objects;
  for (auto it = list.begin(); it != list.end(); ++it) addToOrder(ctx, it);
}

// Whether the c-th object that stands still is the one the kept index has
// there, with the same box (bit for bit, so that a box of not-a-number
// compares as the same), level and kinds.
bool sameFixedSlot(const FixedPairCache& cache, std::size_t c, uint32_t position, const PairBox& box, int8_t level,
                   uint8_t kinds) {
  return cache.positions[c] == position && std::memcmp(&box, &cache.boxes[c], sizeof box) == 0 &&
         cache.levels[c] == level && cache.kinds[c] == kinds;
}

// The index of the objects that stand still: the one of the last step when
// they are the same objects in the same places with the same boxes, levels
// and kinds.
void indexFixedObjects(StepContext& ctx) {
  FixedPairCache& cache = ctx.world.stepCache.fixedPairs;
  const std::vector<uint32_t>& positions = ctx.fixedPositions;
  bool same = ctx.fixedCompared ? ctx.fixedSame : cache.valid && cache.positions == positions;
  for (std::size_t c = 0; same && !ctx.fixedCompared && c < positions.size(); ++c) {
    const uint32_t p = positions[c];
    same = sameFixedSlot(cache, c, p, ctx.boxes[p], ctx.levels[p], ctx.kinds[p]);
  }
  ctx.fixedCompared = false;
  if (!same && ctx.fixedBoxesMissing) {
    for (uint32_t p : positions) ctx.boxes[p] = boxOf(*ctx.places[p]);
  }
  ctx.fixedBoxesMissing = false;
  if (!same) {
    cache.positions = positions;
    cache.boxes.clear();
    cache.levels.clear();
    cache.kinds.clear();
    for (uint32_t p : positions) {
      cache.boxes.push_back(ctx.boxes[p]);
      cache.levels.push_back(ctx.levels[p]);
      cache.kinds.push_back(ctx.kinds[p]);
    }
    cache.index.build(positions, ctx.boxes, ctx.levels, &ctx.kinds);
    cache.near.clear();
    cache.valid = true;
    // Where each place now is among the positions, for the walk of the next
    // step that passes over the objects at rest.
    RestingSet& rest = ctx.world.stepCache.resting;
    rest.fixedAt.assign(ctx.places.size(), RestingSet::kNone);
    for (std::size_t c = 0; c < positions.size(); ++c) rest.fixedAt[positions[c]] = static_cast<uint32_t>(c);
  }
  ctx.fixedIndex = &cache.index;
  ctx.fixedNear = &cache.near;
}

// The moving objects that the player can meet (the others can meet only some
// of them), by their boxes now.
void indexMovingObjects(StepContext& ctx, PairIndex& index) {
  ctx.scratch.clear();
  for (uint32_t k : ctx.movingPositions) {
    if ((ctx.kinds[k] & kPlayerKind) != 0) ctx.scratch.push_back(k);
  }
  index.rebuild(ctx.scratch, ctx.boxes, ctx.levels);
}

// The pair pass: every object after the player in list order, then the
// player; repeated while it changes the player's contact bits.
void pairPass(StepContext& ctx) {
  ObjectList& list = ctx.world.objects;
  ObjectRecord& player = ctx.player;
  if (list.size() < 2) return;
  const bool indexed = ctx.search == PairSearch::Indexed;
  for (int pass = 0; pass < kMaxPairPasses; ++pass) {
    const uint8_t before = player.contacts;
    // The order holds from pass to pass unless a death script ran; the bodies
    // phase may have taken it already.
    bool newOrder = true;
    if (!indexed || (pass == 0 && !ctx.orderTaken) || (pass > 0 && ctx.listMayHaveChanged)) {
      takeOrder(ctx);
    } else if (pass > 0) {
      newOrder = false;
    }
    ctx.listMayHaveChanged = false;
    if (indexed && newOrder) indexFixedObjects(ctx);
    if (indexed) {
      indexMovingObjects(ctx, ctx.movingIndex);
      const std::vector<uint32_t>& dynamic = ctx.dynamicPositions;
      // Each dynamic object's list of the objects that stand still near it,
      // for its box as the pass finds it.
      NearLists& near = *ctx.fixedNear;
      near.prepare(dynamic.size());
      for (std::size_t d = 0; d < dynamic.size(); ++d) {
        const uint32_t k = dynamic[d];
        near.refresh(d, k, ctx.levels[k], ctx.boxes[k], *ctx.fixedIndex, kSolidKind);
      }
      for (std::size_t d = 0; d < dynamic.size(); ++d) {
        // The indexes' lines that the queries of the objects a few places
        // ahead read: their boxes stay as the bodies phase left them until
        // their own turn.
        if (d + kBucketsAhead < dynamic.size()) {
          const uint32_t k = dynamic[d + kBucketsAhead];
          ctx.movingIndex.prefetchBuckets(ctx.levels[k], ctx.boxes[k]);
        }
        if (d + kEntriesAhead < dynamic.size()) {
          const uint32_t k = dynamic[d + kEntriesAhead];
          ctx.movingIndex.prefetchEntries(ctx.levels[k], ctx.boxes[k]);
        }
        if (d + kPrefetchAhead < dynamic.size()) {
          prefetchRecord(&*ctx.places[dynamic[d + kPrefetchAhead]]);
          near.prefetch(d + kPrefetchAhead);
        }
        if (d + kSupportAhead < dynamic.size()) prefetchSupport(*ctx.places[dynamic[d + kSupportAhead]]);
        pairFollowing(ctx, dynamic[d], d, before);
      }
      // The dynamic objects pushed in their pairs have moved.
      indexMovingObjects(ctx, ctx.movingIndex);
    } else {
      for (std::size_t i = 0; i < ctx.places.size(); ++i) pairFollowing(ctx, i, 0, before);
    }
    pairPlayer(ctx, before);
    if (player.contacts == before) break;
  }
}

// The player rules after the pass.
void playerRules(Game& game, ObjectRecord& player, const ObjectRecord* supportAfterBodies) {
  World& world = game.world;

  // 1. Seated on its support.
  if (!world.playerDead && player.support != nullptr) seatOn(player, *player.support);

  // 2. A new support runs its stand-on script.
  if (ObjectRecord* s = player.support) {
    world.lastBounceObject = nullptr;
    if (s != supportAfterBodies && s->standOnScript != nullptr && s->standOnTimes != 0 &&
        !game.script.zoneEntryQuiet) {
      if (s->standOnTimes > 0) s->standOnTimes = static_cast<int16_t>(s->standOnTimes - 1);
      queueScript(game.script, s->standOnScript, s);
    }
  }

  // 3. Outside the zone's box.
  if (player.x < world.zoneXlim1 || player.y < world.zoneYlim1 || player.x + player.w > world.zoneXlim2 ||
      player.y + player.h > world.zoneYlim2) {
    playerDeath(game);
  }

  // 4. Depth toward the player's level.
  if (const LevelRecord* l = levelAt(world, player.level)) {
    const float t = l->z;
    if (std::fabs(static_cast<double>(t - player.z)) < 0.1) {
      player.z = t;
    } else {
      float f;
      if (player.has(flag::Airborne)) {
        f = world.playerDepthEase;
      } else if (player.support != nullptr) {
        f = 0.5f;
      } else {
        f = 0.2f;
      }
      player.z += (t - player.z) * f;
    }
  }
}

}  // namespace

void playSoundEffect(World& world, bool soundOn, int slot) {
  if (slot < 0 || slot >= format::kSoundSlotCount) return;
  if (!soundOn) return;
  world.requests.effects.push_back(slot);
}

void queueScript(ScriptState& state, const xml::Node* script, ObjectRecord* object) {
  if (script == nullptr) return;
  appendScript(state, script, object, 0);
}

void playerDeath(Game& game) {
  World& world = game.world;
  if (world.zoneDeathScript != nullptr) {
    runScript(game, world.zoneDeathScript, nullptr);
  } else {
    world.playerDead = true;
  }
  game.app.playerBlinkPending = 1;
}

void killObject(World& world, ScriptState& script, bool soundOn, ObjectRecord* object, int withSound) {
  if (object == nullptr) return;
  releaseStackedObjects(world, object);
  markKilled(world, script, soundOn, object, withSound);
}

int objectOverlapsLevel(const World& world, const ObjectRecord& object, int level) {
  for (const ObjectRecord& o : world.objects) {
    if (&o == &object) continue;
    if (o.level == level && o.has(flag::Solid) && overlaps(object, o)) return 1;
  }
  return 0;
}

void findLeapLevels(World& world) {
  world.leapOutLevel = -1;
  world.leapInLevel = -1;
  ObjectRecord* player = world.player;
  if (player == nullptr) return;
  const int count = world.levelCount();
  const int here = player->level;
  for (int i = here + 1; i < count; ++i) {
    if (i >= 0 && (world.levels[static_cast<std::size_t>(i)].flags & 1u) != 0) {
      world.leapOutLevel = i;
      break;
    }
  }
  for (int i = (here < count ? here : count) - 1; i >= 0; --i) {
    if ((world.levels[static_cast<std::size_t>(i)].flags & 1u) != 0) {
      world.leapInLevel = i;
      break;
    }
  }
  if (const LevelRecord* l = levelAt(world, player->level)) {
    world.fadeFromColour = world.backgroundColour;
    world.fadeTargetColour = l->colour;
    world.fadeAmount = 1.0f;
  }
}

void respawnPlayer(World& world, ScriptState& s, Session& session, int attemptsDelta, int resetAll) {
  if (ObjectRecord* p = world.player) {
    // A respawn level from a file or a script that is not in the table is
    // taken modulo the level count (past the end) or the level nearest the
    // player (negative).
    const int32_t level = resolveLevelIndex(world, world.respawnPoint.level, p->z);
    p->x = world.respawnPoint.x;
    p->y = world.respawnPoint.y + 0.0005f;
    p->level = static_cast<int8_t>(level);
    p->vx = 0.0f;
    p->vy = 0.0f;
    p->support = nullptr;
    p->flags |= flag::Airborne;
    p->flags &= ~flag::Invisible;
    if (LevelRecord* l = levelAt(world, level)) l->flags |= 1u;
    findLeapLevels(world);
  }
  if (resetAll != 0 || s.runningScript != world.zoneDeathScript) {
    s.runningScript = nullptr;
    s.resumeStatement = nullptr;
    s.scriptResumeObject = nullptr;
    s.scriptWaitFrames = 0;
    s.scriptFreeze = false;
    s.promptPending = false;
    s.playerFrozen = false;
    s.credits.running = false;
  }
  world.lastBounceObject = nullptr;
  world.bounceFrames = 0;
  world.leapLatch = 3;
  world.playerDead = false;
  world.areaCameraDistance = 0.0f;
  session.attempts = wrappingAdd(session.attempts, attemptsDelta);
}

void handlePlayerDeath(World& world, ScriptState& script, Session& session, bool soundOn) {
  session.deaths = wrappingAdd(session.deaths, 1);
  respawnPlayer(world, script, session, 1, 0);
  queueScript(script, world.afterDeathScript, nullptr);
  world.deathControlLatch = 1;
  world.fadeFromColour = 0;
  world.fadeAmount = 1.0f;
  playSoundEffect(world, soundOn, kDieEffect);
}

// The end of a step, after the bodies phase: the pair pass, the deletion of
// what it killed and the player's rules.
static void pairAndPlayerRules(Game& game, StepContext& ctx, WorldStepCache& cache, ObjectRecord& player) {
  const ObjectRecord* supportAfterBodies = player.support;
  pairPass(ctx);
  swapPassBuffers(ctx, cache.buffers);
  if (ctx.deleteKilledAfterPass && game.script.zoneEntryQuiet) {
    // Deleted objects are no one's support any more, so a deleted support
    // compares as different, just as its record would have.
    if (supportAfterBodies != nullptr && supportAfterBodies->has(flag::Killed)) supportAfterBodies = nullptr;
    deleteKilledObjects(game);
  }
  playerRules(game, player, supportAfterBodies);
}

void stepBodies(Game& game, PairSearch search, std::vector<PairContact>* contacts) {
  World& world = game.world;
  if (world.player == nullptr) return;
  ObjectRecord& player = *world.player;

  if (world.bounceFrames > 0) world.bounceFrames -= 1;

  // This step keeps no set of objects at rest: the next one walks everything.
  world.stepCache.wakeAll();
  StepContext ctx(game, player);
  ctx.search = search;
  ctx.contacts = contacts;

  // Bodies phase, in list order. A kill never unlinks, so the walk is safe.
  // An object's bodies step changes no other object's box, level or kind, so
  // the indexed search takes the pass's order on the way.
  WorldStepCache& cache = world.stepCache;
  swapPassBuffers(ctx, cache.buffers);
  resetOrder(ctx, 0);
  for (auto it = world.objects.begin(); it != world.objects.end(); ++it) {
    stepBody(ctx, *it);
    if (search == PairSearch::Indexed) addToOrder(ctx, it);
  }
  ctx.orderTaken = search == PairSearch::Indexed;
  pairAndPlayerRules(game, ctx, cache, player);
}

namespace {

constexpr uint32_t kNoFixed = RestingSet::kNone;

// An object's place in the pass's order from its index in the list.
uint32_t slotOf(uint32_t index, uint32_t playerIndex) { return index < playerIndex ? index : index - 1; }

// Whether a walk over the object would change nothing (see RestingSet); the
// player is never at rest.
bool atRest(const ObjectRecord& o) {
  return !o.has(flag::Dynamic | flag::Cyclic | flag::Motion) && o.effectBits == 0 && o.contacts == 0 &&
         std::bit_cast<uint64_t>(std::array<float, 2>{o.prevX, o.prevY}) ==
             std::bit_cast<uint64_t>(std::array<float, 2>{o.x, o.y});
}

// Whether the set of objects at rest still holds for the list as it stands,
// with the objects woken since the last walk added to those walked. False
// when the walk must go over every object.
bool restingSetHolds(const World& world, RestingSet& rest, const PairPassBuffers& buffers) {
  const std::size_t count = world.objects.size();
  if (!rest.valid || !world.stepCache.fixedPairs.valid || rest.listChanges != world.objects.changeCount() || rest.player != world.player ||
      rest.nodes.size() != count || count == 0 || buffers.places.size() != count - 1 ||
      rest.fixedAt.size() != count - 1) {
    return false;
  }
  if (rest.woken.empty()) return true;
  // No object was removed since the woken ones were noted (that changes the
  // list), so each is still in the list, at the index the last walk gave it.
  std::vector<uint32_t>& extra = rest.fixedChanges;  // scratch here
  extra.clear();
  for (const ObjectRecord* o : rest.woken) {
    const uint32_t i = o->stepIndex;
    if (i >= count || &*rest.nodes[i] != o) return false;
    extra.push_back(i);
  }
  rest.woken.clear();
  std::sort(extra.begin(), extra.end());
  extra.erase(std::unique(extra.begin(), extra.end()), extra.end());
  rest.nextAwake.clear();
  std::set_union(rest.awake.begin(), rest.awake.end(), extra.begin(), extra.end(),
                 std::back_inserter(rest.nextAwake));
  rest.awake.swap(rest.nextAwake);
  return true;
}

// The kept index's positions with the places in `changes` (ascending) taken
// out when they are there and put in when they are not.
void toggledPositions(const std::vector<uint32_t>& kept, const std::vector<uint32_t>& changes,
                      std::vector<uint32_t>& out) {
  out.clear();
  std::size_t i = 0, j = 0;
  while (i < kept.size() || j < changes.size()) {
    if (j == changes.size() || (i < kept.size() && kept[i] < changes[j])) {
      out.push_back(kept[i++]);
    } else if (i < kept.size() && kept[i] == changes[j]) {
      ++i;
      ++j;
    } else {
      out.push_back(changes[j++]);
    }
  }
}

}  // namespace

// The motion walk over every object of the list; with `keep`, it takes the
// set of objects at rest on the way.
static void walkEveryObject(StepContext& ctx, RandomTable& table, bool keep) {
  World& world = ctx.world;
  ObjectRecord& player = ctx.player;
  WorldStepCache& cache = world.stepCache;
  RestingSet& rest = cache.resting;
  const std::size_t count = world.objects.size();
  resetOrder(ctx, count);  // every slot is written below
  rest.valid = false;
  rest.woken.clear();
  rest.awake.clear();
  if (keep) {
    rest.nodes.resize(count);
    rest.fixedAt.resize(count);
  }
  bool playerFound = false;

  // The motion of every object in list order. The bodies step of an object
  // that is not dynamic is its effect timer, and the bodies steps of the others
  // change neither that nor the box, level or kind of such an object: it takes
  // its bodies step and its place in the pass's order at once. The player and
  // the dynamic objects wait for the end of the motion.
  //
  // The slots not yet written still hold the last step's order: the nodes a
  // few objects ahead are loaded from there.
  //
  // The objects that stand still are compared on the way with those the kept
  // index of the last step was built from.
  const FixedPairCache& fixed = cache.fixedPairs;
  bool fixedSame = fixed.valid;
  uint32_t position = 0;
  uint32_t index = 0;
  for (auto it = world.objects.begin(); it != world.objects.end(); ++it, ++index) {
    if (position + kListAhead < count) prefetchNode(ctx.places[position + kListAhead]);
    ObjectRecord& o = *it;
    updateMotionOf(o, player, table);
    if (keep) {
      rest.nodes[index] = it;
      if (o.stepIndex != index) o.stepIndex = index;
    }
    if (&o == &player) {
      ctx.playerPosition = position;
      ctx.deferred.emplace_back(it, position);
      if (keep) rest.awake.push_back(index);
      playerFound = true;
      continue;
    }
    if (o.has(flag::Dynamic)) {
      if (keep) {
        rest.awake.push_back(index);
        rest.fixedAt[position] = kNoFixed;
      }
      ctx.deferred.emplace_back(it, position++);
      continue;
    }
    stepEffectTimer(o);
    ctx.places[position] = it;
    ctx.levels[position] = o.level;
    if (o.contacts != 0) o.contacts = 0;  // records at rest stay clean
    const PairBox box = boxOf(o);
    ctx.boxes[position] = box;
    const uint8_t kinds = kindsOf(o);
    ctx.kinds[position] = kinds;
    if (keep) rest.fixedAt[position] = kNoFixed;
    if (o.has(flag::Motion)) {
      ctx.restingMoving.push_back(position);
    } else if (o.has(flag::Solid | flag::Deadly | flag::Checkpoint)) {
      const std::size_t c = ctx.fixedPositions.size();
      ctx.fixedPositions.push_back(position);
      if (keep) rest.fixedAt[position] = static_cast<uint32_t>(c);
      fixedSame =
          fixedSame && c < fixed.positions.size() && sameFixedSlot(fixed, c, position, box, o.level, kinds);
    }
    if (keep && !atRest(o)) rest.awake.push_back(index);
    ++position;
  }
  ctx.fixedCompared = true;
  ctx.fixedBoxesMissing = false;
  ctx.fixedSame = fixedSame && ctx.fixedPositions.size() == fixed.positions.size();
  sizeOrder(ctx, position);
  if (keep && playerFound && position + 1 == count) {
    rest.fixedAt.resize(position);
    rest.valid = true;
    rest.listChanges = world.objects.changeCount();
    rest.player = &player;
    rest.playerIndex = ctx.playerPosition;
  }
}

// The motion walk over the objects that are not at rest (the set holds, see
// restingSetHolds): what walkEveryObject does for each of them, while the
// others keep their places, boxes and levels in the pass's order. Objects that
// come to rest leave the set.
static void walkAwakeObjects(StepContext& ctx, RandomTable& table) {
  World& world = ctx.world;
  ObjectRecord& player = ctx.player;
  WorldStepCache& cache = world.stepCache;
  RestingSet& rest = cache.resting;
  const FixedPairCache& fixed = cache.fixedPairs;
  resetOrder(ctx, ctx.places.size());  // the slots keep what they hold
  const uint32_t playerIndex = rest.playerIndex;
  const std::vector<uint32_t>& awake = rest.awake;
  std::vector<uint32_t>& nextAwake = rest.nextAwake;
  std::vector<uint32_t>& fixedChanges = rest.fixedChanges;
  nextAwake.clear();
  fixedChanges.clear();
  bool fixedSame = fixed.valid;
  ctx.playerPosition = playerIndex;
  for (std::size_t k = 0; k < awake.size(); ++k) {
    if (k + kPrefetchAhead < awake.size()) prefetchRecord(&*rest.nodes[awake[k + kPrefetchAhead]]);
    const uint32_t index = awake[k];
    const ObjectList::iterator it = rest.nodes[index];
    ObjectRecord& o = *it;
    updateMotionOf(o, player, table);
    if (index == playerIndex) {
      ctx.deferred.emplace_back(it, playerIndex);
      nextAwake.push_back(index);
      continue;
    }
    const uint32_t position = slotOf(index, playerIndex);
    const bool wasFixed = rest.fixedAt[position] != kNoFixed;
    if (o.has(flag::Dynamic)) {
      if (wasFixed) fixedChanges.push_back(position);
      nextAwake.push_back(index);
      ctx.deferred.emplace_back(it, position);
      continue;
    }
    stepEffectTimer(o);
    ctx.levels[position] = o.level;
    if (o.contacts != 0) o.contacts = 0;  // records at rest stay clean
    const PairBox box = boxOf(o);
    ctx.boxes[position] = box;
    const uint8_t kinds = kindsOf(o);
    ctx.kinds[position] = kinds;
    if (o.has(flag::Motion)) {
      ctx.restingMoving.push_back(position);
      if (wasFixed) fixedChanges.push_back(position);
    } else if (o.has(flag::Solid | flag::Deadly | flag::Checkpoint)) {
      if (!wasFixed) {
        fixedChanges.push_back(position);
      } else {
        fixedSame = fixedSame && sameFixedSlot(fixed, rest.fixedAt[position], position, box, o.level, kinds);
      }
    } else if (wasFixed) {
      fixedChanges.push_back(position);
    }
    if (!atRest(o)) nextAwake.push_back(index);
  }
  rest.awake.swap(nextAwake);
  ctx.fixedCompared = true;
  ctx.fixedBoxesMissing = false;
  ctx.fixedSame = fixedSame && fixedChanges.empty();
  if (!ctx.fixedSame) toggledPositions(fixed.positions, fixedChanges, ctx.fixedPositions);
}

void stepMotionAndBodies(Game& game, std::vector<PairContact>* contacts) {
  World& world = game.world;
  RandomTable& table = game.random.table;
  if (world.player == nullptr) {
    updateObjectMotion(world, table);
    return;
  }
  ObjectRecord& player = *world.player;

  if (world.bounceFrames > 0) world.bounceFrames -= 1;

  StepContext ctx(game, player);
  ctx.contacts = contacts;
  ctx.fixedStill = true;
  WorldStepCache& cache = world.stepCache;
  const bool skip = cache.skipResting && restingSetHolds(world, cache.resting, cache.buffers);
  swapPassBuffers(ctx, cache.buffers);
  ctx.deferred.clear();
  ctx.restingMoving.clear();
  ctx.scratch.clear();
  if (skip) {
    walkAwakeObjects(ctx, table);
  } else {
    walkEveryObject(ctx, table, cache.skipResting);
  }

  // The bodies phase of the player and the dynamic objects, in list order.
  bool kindChanged = false;
  for (std::size_t d = 0; d < ctx.deferred.size(); ++d) {
    if (d + kPrefetchAhead < ctx.deferred.size()) prefetchRecord(&*ctx.deferred[d + kPrefetchAhead].first);
    if (d + kSupportAhead < ctx.deferred.size()) prefetchSupport(*ctx.deferred[d + kSupportAhead].first);
    const auto [it, slot] = ctx.deferred[d];
    ObjectRecord& o = *it;
    stepBody(ctx, o);
    if (&o == &player) continue;
    fillOrderSlot(ctx, slot, it);
    if (o.has(flag::Dynamic)) {
      ctx.dynamicPositions.push_back(slot);
      ctx.scratch.push_back(slot);
      continue;
    }
    if (o.contacts != 0) o.contacts = 0;
    // A kill leaves none of these flags; should one stay, the order is taken anew.
    if (o.has(flag::Motion | flag::Solid | flag::Deadly | flag::Checkpoint)) kindChanged = true;
  }
  ctx.movingPositions.resize(ctx.restingMoving.size() + ctx.scratch.size());
  std::merge(ctx.restingMoving.begin(), ctx.restingMoving.end(), ctx.scratch.begin(), ctx.scratch.end(),
             ctx.movingPositions.begin());
  ctx.scratch.clear();
  if (kindChanged) {
    // An object that was dynamic may now stand where it did not before.
    takeOrder(ctx);
    ctx.fixedStill = false;
  }
  ctx.orderTaken = true;
  pairAndPlayerRules(game, ctx, cache, player);
  // An order taken anew in the step (a kind changed, or a death script ran in
  // the pass) no longer matches the set's places: the next step walks everything.
  if (ctx.orderRetaken) cache.wakeAll();
}

}  // namespace zor
