#include "game/world/world_step.h"

#include "game/game.h"
#include "game/world/areas_camera.h"
#include "game/world/bodies.h"
#include "game/world/player_control.h"

#include <utility>

namespace zor {

void stepWorld(Game& game) {
  stepMotionAndBodies(game);
  stepAreasAndCamera(game);
}

PlayRequests stepPlay(Game& game) {
  stepPlayerControls(game);
  stepWorld(game);
  PlayRequests& r = game.world.requests;
  PlayRequests out;
  out.pause = std::exchange(r.pause, false);
  out.screenshot = std::exchange(r.screenshot, false);
  out.effects.swap(r.effects);
  // The zone change stays with the world until the zone load takes it: scripts
  // that run outside this step may ask for one too.
  return out;
}

}  // namespace zor
