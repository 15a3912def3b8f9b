#include "game/app/quit.h"

#include "game/audio/music.h"
#include "game/game.h"
#include "game/persist/speedrun.h"
#include "game/script/queue_runner.h"
#include "game/persist/preferences.h"
#include "game/persist/save_file.h"

namespace zor {

void shutDownGame(Game& game) {
  // The screen first.
  closeGameScreen(game);

  // The world and the script state that points into it.
  World& world = game.world;
  ScriptState& script = game.script;
  world.player = nullptr;
  world.objects.clear();
  world.objectCount = 0;
  world.currentCheckpoint = nullptr;
  world.areas.clear();
  script.wordBoxes.clear();
  clearScriptQueue(script);
  script.titles.clear();
  script.beats.clear();
  script.screenEffects.haltActive = false;
  world.zoneFlags = 0;
  world.zoneInt = 0;
  world.currentZoneNode = nullptr;
  world.zoneStartScript = nullptr;
  world.zoneDeathScript = nullptr;
  world.afterDeathScript = nullptr;
  script.camera.lookAt = nullptr;
  script.camera.scriptDistance = 0.0f;
  script.camera.slowDivisor = 0.0f;
  script.credits.remaining = 0.0f;
  script.runningScript = nullptr;
  script.resumeStatement = nullptr;
  script.scriptResumeObject = nullptr;
  script.killQueueSub = nullptr;

  game.data.classes.clear();

  // A speedrun never reaches the save file: the game saved before it comes back.
  if (game.app.runNumber != 0) endSpeedrun(game, true);

  // Only a loaded game has a save to write.
  if (game.data.documentLoaded) {
    writeSaveFile(game);
    writePrefsFile(game);
    game.data.document = xml::Document();
    game.data.documentLoaded = false;
    game.data.loadSounds.clear();
  }

  // The run lists and the music.
  game.data.speedruns.clear();
  freeMusicCache(game);
}

void quitGame(Game& game, int status) {
  if (!game.app.quitting) {
    game.app.quitting = true;
    shutDownGame(game);
  }
  game.app.exitStatus = status;
  throw ProgramExit{status};
}

}  // namespace zor
