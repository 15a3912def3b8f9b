#include "game/persist/speedrun.h"

#include "format/values.h"
#include "game/audio/effects.h"
#include "game/audio/music.h"
#include "game/game.h"
#include "game/load/zone_loader.h"
#include "game/script/interpreter.h"
// Up: a run starts and ends play itself; its end opens the pause menu on the
// run's results, and the run clock's rest position belongs to the screen.
#include "game/app/frame_loop.h"
#include "game/menu/speedrun_screens.h"
#include "game/render/game_screen.h"
#include "game/persist/save_file.h"
#include "platform/files.h"
#include "platform/sound.h"
#include "platform/text.h"

namespace zor {

namespace {

constexpr int kWarpEffect = format::effect::Warp;
constexpr float kRunClockRest = 0.8f;

void playEffectIfOn(Game& game, int slot) {
  if (game.prefs.sound != 0) playEffect(game, slot);
}

std::string backupPath(const Game& game) { return game.data.saveFilePath + ".tmp"; }

}  // namespace

SpeedrunRecord* currentSpeedrunRecord(Game& game) {
  const int32_t i = game.menu.currentSpeedrun;
  if (i < 0 || static_cast<size_t>(i) >= game.data.speedruns.size()) return nullptr;
  return &game.data.speedruns[static_cast<size_t>(i)];
}

void resetRunCounters(Game& game) {
  game.gameFlags.clear();
  game.session.attempts = 1;
  game.session.deaths = 0;
  game.session.frameCounter = 0;
}

void backupSaveForRun(Game& game) {
  SpeedrunState& run = game.run;
  // The text goes to the save file, to the copy beside it and into memory: a
  // copy that cannot be written or read back later still leaves the run
  // unable to change the saved game.
  run.backupText = buildSaveText(game);
  run.haveBackup = true;
  if (!game.data.saveFilePath.empty()) {
    writeSaveFile(game);
    files::writeFileAtomic(backupPath(game), run.backupText);
  }
  game.script.camera.snap = false;
  game.app.runNumber = 1;
  run.recording = false;
  game.random.replaying = false;
}

void startSpeedrun(Game& game, bool replay) {
  SpeedrunRecord* def = currentSpeedrunRecord(game);
  if (def == nullptr) return;
  // Copies: the zone load below must not see a definition change under it.
  const std::string zone = def->zone;
  const std::string entrance = def->entrance;
  const std::string gflags = def->gflags;
  const int32_t number = def->runNumber;
  const xml::Node* startScript = def->startScript;

  SpeedrunState& run = game.run;
  if (game.app.runNumber == 0) backupSaveForRun(game);  // a restart keeps the first backup

  game.app.controlsActive = 0;
  game.random.replaying = replay;
  run.runFinished = 0;
  if (replay) {
    run.replayCursor = run.events.empty() ? -1 : 0;
    run.recording = false;
  } else {
    run.events.clear();
    run.replayCursor = -1;
    run.recording = true;
  }

  resetRunCounters(game);
  setAllControls(game.controls, 0);

  if (!gflags.empty()) {
    size_t start = 0;
    while (start <= gflags.size()) {
      size_t comma = gflags.find(',', start);
      if (comma == std::string::npos) comma = gflags.size();
      game.gameFlags.set(format::readInt(std::string_view(gflags).substr(start, comma - start)), true);
      start = comma + 1;
    }
  }

  game.app.runNumber = number;

  game.script.runClockPosition = kRunClockRest;
  updateRunClockTarget(game);
  game.screen.runClockY = game.screen.runClockTargetY;

  SoundTable& sounds = game.sounds;
  if (sounds.output && game.app.pauseMusic != 0 && sounds.output->isPlaying(game.app.pauseMusic)) {
    sounds.output->stop(game.app.pauseMusic);
  }
  playMusic(game, "-", 1);
  sounds.current().volume = 1;

  // A replay's recorded controls come from its events alone: entering the zone
  // must not bring back states a menu saw held before the replay began.
  if (replay) {
    for (int c = 0; c < kControlCount; ++c) {
      if (isRecordedControl(c)) game.controls.snapshot[static_cast<size_t>(c)] = 0;
    }
  }
  enterZone(game, zone, entrance);
  playEffectIfOn(game, kWarpEffect);
  if (startScript) runScript(game, startScript, nullptr);

  // The zone's music waits for the end of the countdown.
  stopCurrentTrack(game);
}

void endSpeedrun(Game& game, bool keepZone) {
  SpeedrunState& run = game.run;
  if (game.app.runNumber != 0) {
    const std::string& savePath = game.data.saveFilePath;
    std::string saved;
    bool haveSaved = false;
    if (!savePath.empty() && files::readFile(backupPath(game), saved, saveFileByteLimit(game.data))) {
      haveSaved = true;
    } else if (run.haveBackup) {
      saved = run.backupText;
      haveSaved = true;
    }
    if (haveSaved) {
      // The state comes back from the text put aside, whether or not the file
      // could be written, so that a later save never writes the run's state.
      if (!savePath.empty() && files::writeFileAtomic(savePath, saved)) files::deleteFile(backupPath(game));
      readSaveText(game, saved, 1);
    }
    if (!keepZone) {
      game.sounds.current().volume = 1;
      game.world.player = nullptr;
      const std::string zone = game.world.currentZoneId;
      loadZone(game, zone, false);
    }
    game.app.runNumber = 0;
  }
  run.recording = false;
  game.random.replaying = false;
  run.haveBackup = false;
  run.backupText.clear();
  game.menu.currentSpeedrun = -1;
}

void finishRun(Game& game, int finished) {
  SpeedrunState& run = game.run;
  run.runFinished = finished;
  if (finished == 1) {
    run.events.push_back(RunEvent{static_cast<int32_t>(static_cast<uint32_t>(game.session.frameCounter) + 1u), 0,
                                  run_event::EndOfRun});
  }
  runPauseSequence(game);
  showRunResultsMenu(game);
}

RecordUpdate updateSpeedrunRecords(SpeedrunRecord& run, int32_t time, int32_t deaths) {
  RecordUpdate update;
  if (run.bestTime == -1) {
    run.bestTime = time;
    run.bestTimeDeaths = deaths;
    run.fewestDeathsTime = time;
    run.fewestDeaths = deaths;
    update.outcome = RecordOutcome::Complete;
    return update;
  }
  if (time < run.bestTime || (time == run.bestTime && deaths < run.bestTimeDeaths)) {
    run.bestTime = time;
    run.bestTimeDeaths = deaths;
    update.timeMarked = true;
  }
  if (deaths < run.fewestDeaths || (deaths == run.fewestDeaths && time < run.fewestDeathsTime)) {
    run.fewestDeaths = deaths;
    run.fewestDeathsTime = time;
    update.deathsMarked = true;
  }
  if (update.timeMarked || update.deathsMarked) update.outcome = RecordOutcome::NewRecord;
  return update;
}

bool runLevelMatches(std::string_view level, int32_t runNumber) {
  if (runNumber == 0) return false;
  if (level.empty()) return runNumber == 1;
  if (level[0] == '+') return runNumber > format::readInt(level.substr(1));
  if (level[0] == '-') return runNumber < format::readInt(level.substr(1));
  return runNumber == format::readInt(level);
}

void unlockSpeedrun(Game& game, std::string_view name) {
  const std::string wanted = text::toUpper(name);
  for (SpeedrunRecord& run : game.data.speedruns) {
    if (run.name != wanted) continue;
    if (run.bestTime == 0) {
      run.bestTime = -1;
      game.session.unlockedSpeedruns += 1;
    }
    return;
  }
}

}  // namespace zor
