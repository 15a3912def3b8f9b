#include "game/world/world_step.h"

#include "game/game.h"
#include "game/world/areas_camera.h"
#include "game/world/bodies.h"
#include "game/world/motion.h"

namespace zor {

void stepWorld(Game& game) {
  updateObjectMotion(game.world, game.random.table);
  stepBodies(game);
  stepAreasAndCamera(game);
}

void installWorldHooks(Game& game) {
  game.hooks.respawnPlayer = [](Game& g, int attemptsDelta, int resetAll) {
    respawnPlayer(g, attemptsDelta, resetAll);
  };
  game.hooks.stepWorld = [](Game& g) { stepWorld(g); };
}

}  // namespace zor
