#include "game/app/startup.h"

#include "game/app/splash.h"
#include "game/audio/effects.h"
#include "game/menu/menu_engine.h"
#include "game/menu/menu_screens.h"
#include "game/persist/run_file.h"
#include "game/persist/speedrun.h"
#include "game/render/pixel_font.h"
#include "platform/sound.h"

#include <algorithm>

#include "game/app/frame_loop.h"
#include "game/app/quit.h"
#include "game/game.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "game/persist/save_file.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zor {

namespace {

constexpr const char* kErrorTitle = "Zorlan - Error";
constexpr int32_t kSplashShowMs = 1250;
constexpr int32_t kSplashBlankMs = 600;

constexpr int32_t kBuiltInVolumes[24] = {
    35, 35, 40, 40, 40, 20, 40, 40, 60, 30, 30, 25, 45, 20, 30, 20, 50, 35, 40, 45, 20, 20, 10, 10,
};

// Ends start-up through the fatal-error path. Without a quit path (a hook that
// returns) start-up stops here all the same.
[[noreturn]] void failStartup(Game& game, const std::string& message) {
  fatalError(game, message);
  quitGame(game, 1);
}

std::string screenFailureMessage(const ScreenInfo& info) {
  return "A " + text::formatInt(info.width) + "x" + text::formatInt(info.height) + " screen could not be opened!";
}

void startSound(Game& game, const ProgramArgs& args) {
  AppState& app = game.app;
  Preferences& prefs = game.prefs;
  SoundOutput* output = game.sounds.output;

  // Sound output. "-s" leaves sound off for this run only; the preference file keeps its own value.
  app.soundWorks = false;
  if (prefs.disableAudio == 0 && !game.start.disableAudio && output) app.soundWorks = output->start();

  // The effects and the pause music, or the silent fallback.
  if (!app.soundWorks) {
    applyAudioFallback(prefs);
    return;
  }
  applyCustomSounds(game);
  for (int slot = 0; slot < format::kSoundSlotCount; ++slot) {
    if (effectSlotInUse(game, slot)) continue;
    const std::string name = std::string("zordata/sounds/") + format::kEffectNames[slot] + ".wav";
    if (!loadEffectSlot(game, slot, args.programFolder + name)) loadEffectSlot(game, slot, game.session.dataPath(name));
  }
  if (prefs.disableMusic != 0) {
    applyMusicDisabled(prefs);
  } else {
    app.pauseMusic = output->loadStreamedSound(findPathIgnoringCase(args.programFolder + "zordata/music/pause.ogg"));
  }
}

void openFirstScreen(Game& game, AppPlatform& platform) {
  Preferences& prefs = game.prefs;
  ScreenInfo& info = game.screen.info;

  // The sizes the display offers.
  game.app.screenSizes = listScreenSizes(platform.screen().displayModes());

  // The first screen is a window, no larger than the display can show.
  const ScreenSize size = boundScreenSize(ScreenSize{prefs.screenWidth, prefs.screenHeight}, game.app.screenSizes);
  info.width = size.width;
  info.height = size.height;
  info.depth = prefs.screenDepth;
  if (!openGameScreen(game, prefs.windowed)) {
    prefs.windowed = 1;
    noteScreenFailed(prefs, info.width, info.height);
    failStartup(game, screenFailureMessage(info));
  }
  noteScreenOpened(prefs, info.width, info.height, info.depth);
}

void startPlay(Game& game) {
  const StartParameters& start = game.start;

  // A run file is looked for as given, then under the data folder's runs.
  std::string runPath = start.runFilePath;
  if (!runPath.empty()) {
    const std::string asGiven = start.runFileAsGiven.empty() ? runPath : start.runFileAsGiven;
    const bool read = readSpeedrunFile(game, runPath) ||
                      readSpeedrunFile(game, game.session.dataPath("zordata/runs/") + asGiven);
    if (!read) runPath.clear();
  }

  // Play starts from the run file, the start zone, or the saved zone and entrance.
  if (!runPath.empty()) {
    backupSaveForRun(game);
    startSpeedrun(game, true);
  } else if (!start.startZone.empty()) {
    const std::string zone = start.startZone;
    const std::string entrance = start.startEntrance;
    enterZone(game, zone, entrance);
  } else {
    const std::string zone = game.world.currentZoneId;
    const std::string entrance = game.world.entranceName;
    enterZone(game, zone, entrance, ZoneRequest::SavedPosition);
  }
  if (game.failed) quitGame(game, 1);

  // The keyboard-setup start opens the keyboard screen over the pause menu.
  if (start.keyboardSetup) {
    runPauseSequence(game);
    showKeyboardMenu(game);
  }
}

}  // namespace

void setBuiltInSoundVolumes(SoundTable& sounds) {
  for (int i = 0; i < format::kSoundSlotCount; ++i) sounds.soundVolumes[i] = std::clamp(kBuiltInVolumes[i], 0, 100);
}

std::vector<ScreenSize> listScreenSizes(const std::vector<DisplayMode>& modes) {
  std::vector<ScreenSize> sizes;
  for (const DisplayMode& m : modes) {
    const bool known = std::any_of(sizes.begin(), sizes.end(), [&](const ScreenSize& s) {
      return s.width == m.width && s.height == m.height;
    });
    if (!known) sizes.push_back(ScreenSize{m.width, m.height});
  }
  std::stable_sort(sizes.begin(), sizes.end(), [](const ScreenSize& a, const ScreenSize& b) { return a.height < b.height; });
  std::stable_sort(sizes.begin(), sizes.end(), [](const ScreenSize& a, const ScreenSize& b) { return a.width < b.width; });
  return sizes;
}

ScreenSize boundScreenSize(ScreenSize wanted, const std::vector<ScreenSize>& sizes) {
  if (sizes.empty()) return wanted;
  int32_t widest = 0, tallest = 0;
  for (const ScreenSize& s : sizes) {
    widest = std::max(widest, s.width);
    tallest = std::max(tallest, s.height);
  }
  if (wanted.width <= widest && wanted.height <= tallest) return wanted;
  return sizes.back();
}

void programFatalError(Game& game, AppPlatform& platform, const std::string& message) {
  closeGameScreen(game);
  if (!message.empty()) platform.messageBox(kErrorTitle, message);
  quitGame(game, 1);
}

void attachPlatform(Game& game, AppPlatform& platform) {
  game.platform = &platform;
  game.screen.output = &platform.screen();
}

void startGame(Game& game, AppPlatform& platform, const ProgramArgs& args) {
  AppState& app = game.app;

  // Initial values.
  app.noiseMask = renewNoiseMask(app.noiseGenerator);
  setBuiltInSoundVolumes(game.sounds);

  // This platform hands over no documents at launch; the software
  // fill's calibration values start at 0.

  // The control table.
  if (!loadControlDefaults(game.controls)) failStartup(game, "Keycodes could not be initialized!");

  // The platform's screen, keyboard and fast drawing.
  if (!platform.initScreen()) failStartup(game, "Screen could not be initialized!");
  if (!platform.initKeyboard()) failStartup(game, "Keyboard could not be initialized!");
  if (!platform.initFastDrawing()) failStartup(game, "Fast drawing could not be initialized!");

  // The program's own folder is current (the program's entry point makes it so).

  // The command line.
  readCommandLine(game.start, args.args, args.startFolder);
  applyStartParameters(game, game.start);

  // Random table, data folder, game file, save game, preferences.
  game.random.table.fill(game.random.generator);
  chooseDataFolder(game, args.programFolder, args.userFolders);
  // Saves, run files and screenshots that a killed program was writing.
  for (const char* folder : {"zordata/saves/", "zordata/runs/", "zordata/screens/"}) {
    files::removeInterruptedWrites(game.session.dataPath(folder));
  }
  loadGameFile(game);
  if (game.failed) quitGame(game, 1);
  readSaveFile(game, 0);
  readPrefsFile(game);

  startSound(game, args);
  game.controls.gamepadCount = platform.countGamepads();

  openFirstScreen(game, platform);

  // The splash, unless play starts in a given zone.
  if (game.start.startZone.empty()) {
    showSplash(game, platform, kSplashShowMs, kSplashBlankMs);
    if (game.app.quitRequested) quitGame(game, 0);
  }

  startPlay(game);
}

int runProgram(Game& game, AppPlatform& platform, const ProgramArgs& args) {
  try {
    attachPlatform(game, platform);
    startGame(game, platform, args);
    runFrameLoop(game, platform);
    quitGame(game, 0);
  } catch (const ProgramExit& exit) {
    return exit.status;
  }
}

}  // namespace zor
