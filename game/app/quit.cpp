#include "game/app/quit.h"

#include "game/audio/music.h"
#include "game/game.h"
#include "game/load/zone_loader.h"
#include "game/persist/speedrun.h"
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
  world.currentCheckpoint = nullptr;
  world.currentZoneNode = nullptr;
  resetZoneState(game);
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
