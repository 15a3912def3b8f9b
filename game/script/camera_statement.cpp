// The `camera` statement: overrides of the following camera for the rest of
// the script, or for longer while they are locked.
#include <algorithm>
#include <cmath>
#include <string>

#include "format/values.h"
#include "game/script/interpreter.h"
#include "game/script/script_state.h"
#include "game/world/objects.h"
#include "game/world/world.h"
#include "platform/text.h"

namespace zor {

namespace {

// Distances are held to a range that keeps the camera's target finite.
constexpr float kMaxDistance = 1000000.0f;

float distanceOf(const std::string& value) {
  const float d = format::readFloat(value);
  if (std::isnan(d)) return 0.0f;
  return std::clamp(d, -kMaxDistance, kMaxDistance);
}

// "-" is normal easing (0). A divisor below 1 would carry the camera past its
// target, and below 0.5 ever further away until its position overflows, so
// such divisors move the camera onto its target at once, as 1 does.
float slowDivisorOf(const std::string& value) {
  if (value == "-") return 0.0f;
  const float d = format::readFloat(value);
  if (std::isnan(d) || d == 0.0f) return 0.0f;
  return d < 1.0f ? 1.0f : d;
}

StatementResult runCamera(StatementContext& ctx) {
  CameraOverride& cam = ctx.scriptState.camera;
  const xml::Node& node = ctx.statement;

  const std::string& zoom = node.attr("zoom");
  if (!zoom.empty()) cam.scriptDistance = distanceOf(zoom);

  const std::string& slow = node.attr("slow");
  if (!slow.empty()) cam.slowDivisor = slowDivisorOf(slow);

  const std::string& fast = node.attr("fast");
  if (!fast.empty()) cam.snap = format::readBool(text::toLower(fast));

  // Compared exactly as written: object names are stored in lower case.
  const std::string& lookAt = node.attr("lookat");
  if (!lookAt.empty()) {
    cam.lookAt = findObject(ctx.world, lookAt);
    cam.locked = false;
  }

  const std::string& lock = node.attr("lock");
  if (!lock.empty()) cam.locked = format::readInt(lock) != 0;
  return StatementResult::Continue;
}

}  // namespace

void registerCameraStatement(StatementTable& table) { table.define("camera", runCamera); }

}  // namespace zor
