#include "game/world/areas_camera.h"

#include <cmath>
#include <cstdint>

#include "format/vocabulary.h"
// Up: a deadly area's player death runs the zone's death script at once
// (playerDeath), which takes the whole Game; later areas see what it changed.
#include "game/game.h"
#include "game/world/bodies.h"
#include "game/world/objects.h"

namespace zor {
namespace {

// An area's inside bit: the player was inside it at the last step.
constexpr uint32_t kInsideBit = 0x1u;
// An area that kills the player.
constexpr uint32_t kDeadlyArea = 0x1000u;

// Camera distance while ZOOM is held.
constexpr float kZoomDistance = 40.0f;
// Easing of the camera per axis, without a script's speed.
constexpr float kEaseX = 0.125f;
constexpr float kEaseY = 0.2f;
constexpr float kEaseZ = 0.1f;

// The background fade: its weight shrinks by this factor each frame, and below
// the threshold the target colour is taken as it is.
constexpr float kFadeDecay = 0.9f;
constexpr float kFadeDone = 0.01f;

// Truncation toward zero that never leaves the int32 range (NaN gives 0).
int32_t truncateClamped(float v) {
  if (!(v == v)) return 0;
  if (v >= 2147483520.0f) return INT32_MAX;
  if (v <= -2147483648.0f) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// A counted script is due when it exists and its count is not used up; a
// positive count drops by one.
bool takeCountedScript(const xml::Node* script, int32_t& times) {
  if (!script || times == 0) return false;
  if (times > 0) times -= 1;
  return true;
}

// Queues one of an area's scripts with the object its oname names (none when
// it names nothing).
void queueAreaScript(World& world, ScriptState& state, const AreaRecord& area, const xml::Node* script) {
  queueScript(state, script, findObject(world, area.oname));
}

// Starts a background fade from the colour shown now toward `target`.
void startFadeTo(World& world, int32_t target) {
  world.fadeFromColour = world.backgroundColour;
  world.fadeTargetColour = target;
  world.fadeAmount = 1.0f;
}

// The camera distance an area with zoom values asks for at the player's x;
// `current` when the area sets none.
float areaZoomDistance(const AreaRecord& a, float playerX, float current) {
  switch (a.zoomCount) {
    case 1:
      return a.zoom1;
    case 2: {
      float t = (playerX - a.x1) / (a.x2 - a.x1);
      if (!(t >= 0.0f)) t = 0.0f;  // negative (or not a number) counts as 0
      return a.zoom1 + (a.zoom2 - a.zoom1) * t;
    }
    case 3: {
      float t = (playerX - a.x1) / (a.x2 - a.x1);
      if (t > 0.5f) return a.zoom2 + (a.zoom3 - a.zoom2) * (2.0f * t - 1.0f);
      if (!(t >= 0.0f)) t = 0.0f;
      return a.zoom1 + (a.zoom2 - a.zoom1) * (2.0f * t);
    }
    default:
      return current;
  }
}

void stepAreas(Game& game) {
  World& world = game.world;
  world.areaCameraDistance = 0.0f;
  for (AreaRecord& a : world.areas) {
    // A death script run by a deadly area may change the world; the player is
    // looked up afresh for every area.
    const ObjectRecord* p = world.player;
    if (!p) return;
    const bool inside = a.x1 < p->x + p->w && a.x2 > p->x && a.y1 < p->y + p->h && a.y2 > p->y &&
                        (a.level == -1 || a.level == static_cast<int32_t>(p->level));
    if (inside) {
      if ((a.flags & kDeadlyArea) != 0) {
        playerDeath(game);
      } else if ((a.flags & kInsideBit) == 0) {
        if (takeCountedScript(a.enterScript, a.enterTimes)) queueAreaScript(world, game.script, a, a.enterScript);
        a.flags |= kInsideBit;
      } else if (game.controls.pressed(control::Action) && game.script.runningScript == nullptr &&
                 takeCountedScript(a.actionScript, a.actionTimes)) {
        queueAreaScript(world, game.script, a, a.actionScript);
      }
      if (a.colour != -1 && a.colour != world.fadeTargetColour) startFadeTo(world, a.colour);
      const ObjectRecord* q = world.player;
      if (q) world.areaCameraDistance = areaZoomDistance(a, q->x, world.areaCameraDistance);
    } else if ((a.flags & kInsideBit) != 0) {
      if (takeCountedScript(a.exitScript, a.exitTimes)) queueAreaScript(world, game.script, a, a.exitScript);
      a.flags &= ~kInsideBit;
      if (a.colour != -1) {
        // Back to the colour of the player's level; a level outside the table
        // has no colour to go back to.
        if (const LevelRecord* l = levelAt(world, p->level)) startFadeTo(world, l->colour);
      }
    }
  }
}

void stepCamera(World& world, const ScriptState& s, const Controls& controls) {
  const ObjectRecord* focus = s.camera.lookAt ? s.camera.lookAt : world.player;
  if (!focus) return;

  Vec3& target = world.cameraTarget;
  target.x = focus->x + focus->w * 0.5f;
  target.y = focus->y + focus->h * 0.5f;
  float d = world.zoneZoom;
  if (s.camera.scriptDistance != 0.0f) {
    d = s.camera.scriptDistance;
  } else if (world.areaCameraDistance != 0.0f) {
    d = world.areaCameraDistance;
  } else if (controls.held(control::Zoom) && s.runningScript == nullptr) {
    d = kZoomDistance;
  }
  target.z = focus->z - d;

  Vec3& cam = world.cameraPosition;
  if (s.camera.snap) {
    cam = target;
  } else if (s.camera.slowDivisor != 0.0f) {
    cam.x = cam.x + (target.x - cam.x) / s.camera.slowDivisor;
    cam.y = cam.y + (target.y - cam.y) / s.camera.slowDivisor;
    cam.z = cam.z + (target.z - cam.z) / s.camera.slowDivisor;
  } else {
    cam.x = cam.x + (target.x - cam.x) * kEaseX;
    cam.y = cam.y + (target.y - cam.y) * kEaseY;
    cam.z = cam.z + (target.z - cam.z) * kEaseZ;
  }
}

void stepBackgroundFade(World& world) {
  if (world.fadeAmount > kFadeDone) {
    int32_t colour = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const int32_t from = (world.fadeFromColour >> shift) & 0xFF;
      const int32_t to = (world.fadeTargetColour >> shift) & 0xFF;
      int32_t channel = to + truncateClamped(static_cast<float>(from - to) * world.fadeAmount);
      // A weight above 1 (set by no rule of the game) must not spill into the
      // next channel.
      if (channel < 0) channel = 0;
      if (channel > 255) channel = 255;
      colour |= channel << shift;
    }
    world.backgroundColour = colour;
    world.fadeAmount = world.fadeAmount * kFadeDecay;
  } else {
    world.backgroundColour = world.fadeTargetColour;
  }
}

}  // namespace

void stepAreasAndCamera(Game& game) {
  stepAreas(game);
  stepCamera(game.world, game.script, game.controls);
  stepBackgroundFade(game.world);
}

}  // namespace zor
