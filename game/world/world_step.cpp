#include "game/world/world_step.h"

// Up: the play step takes the whole Game, since the queue service it runs and a
// death in the bodies and areas steps run scripts through the interpreter.
#include "game/game.h"
#include "game/script/queue_runner.h"
#include "game/world/areas_camera.h"
#include "game/world/bodies.h"
#include "game/world/player_control.h"

#include <utility>

namespace zor {

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
    handlePlayerDeath(game.world, game.script, game.session, game.prefs.sound != 0);
    return;
  }
  // 5. to 9.
  const bool soundOn = game.prefs.sound != 0;
  game.app.controlsActive = steerPlayer(game.world, game.script, game.session, game.controls, soundOn) ? 1 : 0;
}

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
