#include "game/app/frame_loop.h"

#include <vector>

#include "format/vocabulary.h"
#include "game/audio/effects.h"
#include "game/audio/music.h"
#include "game/game.h"
#include "game/load/zone_loader.h"
#include "game/menu/menu_engine.h"
#include "game/menu/menu_screens.h"
#include "game/menu/speedrun_screens.h"
#include "game/persist/run_file.h"
#include "game/persist/speedrun.h"
#include "game/render/overlays.h"
#include "game/render/pixel_font.h"
#include "game/render/scene.h"
#include "game/world/world_step.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/png_writer.h"
#include "platform/text.h"

namespace zor {

namespace {

constexpr uint32_t kNoScreenSleepMs = 50;
constexpr uint32_t kMenuFrameSleepMs = 20;
constexpr uint32_t kWindowedSleepMs = 1;
constexpr int kWarpEffect = format::effect::Warp;
constexpr int32_t kBlinkFrames = 61;
constexpr uint32_t kBlinkEffect = 1;
constexpr int kMaxScreenshotsPerSecond = 1000;

const char* const kOnOff[2] = {"OFF", "ON"};
const char* const kNoYes[2] = {"NO", "YES"};

bool controlKeyDown(const ControlInput& in) { return in.keyDown(key::Control) || in.keyDown(key::Control2); }
bool optionKeyDown(const ControlInput& in) { return in.keyDown(key::Option) || in.keyDown(key::Option2); }

// A fatal error ends the program through the hook; without one (tests) the loop ends.
void fail(Game& game, const std::string& message) {
  fatalError(game, message);
  game.app.quitRequested = 1;
}

void refreshAudioMenuLines(Game& game) {
  if (game.app.menuScreen != menu_screen::Audio) return;
  setMenuLine(game, 0, std::string("MUSIC: ") + kOnOff[game.prefs.music != 0]);
  setMenuLine(game, 1, std::string("SOUNDS: ") + kOnOff[game.prefs.sound != 0]);
}

void toggleFullScreen(Game& game) {
  GameScreen& screen = game.screen;
  if (!openGameScreen(game, 1 - screen.inWindow)) {
    game.prefs.windowed = 1;
    noteScreenFailed(game.prefs, screen.info.width, screen.info.height);
    fail(game, "A " + text::formatInt(screen.info.width) + "x" + text::formatInt(screen.info.height) +
                   " screen could not be opened!");
    return;
  }
  noteScreenOpened(game.prefs, screen.info.width, screen.info.height, screen.info.depth);
  AppState& app = game.app;
  if (app.menuState != menu_state::Playing) {
    app.menuState = menu_state::Opening;
    if (app.menuScreen == menu_screen::Video) {
      const ScreenInfo& i = screen.info;
      setMenuLine(game, 0, "SCREEN: " + text::formatInt(i.width) + "\xD7" + text::formatInt(i.height));
      setMenuLine(game, 1, "DEPTH: " + text::formatInt(i.depth) + "-BIT");
      setMenuLine(game, 2, std::string("FULL: ") + kNoYes[screen.inWindow == 0]);
    }
  }
}

void soundAndMusicKeys(Game& game) {
  AppState& app = game.app;
  Preferences& prefs = game.prefs;
  const Controls& c = game.controls;
  if (app.menuScreen == menu_screen::Keyboard) return;  // the keys are being captured
  if (c.pressed(control::Sound) && app.soundWorks) {
    prefs.sound = 1 - prefs.sound;
    refreshAudioMenuLines(game);
  }
  if (c.pressed(control::Music) && prefs.disableMusic == 0) {
    prefs.music = 1 - prefs.music;
    applyMusicSwitch(game);
    if (app.menuState != menu_state::Playing) refreshAudioMenuLines(game);
  }
}

// Copies the grabbed picture into packed top-down rows when it is stored otherwise.
const uint32_t* packedRows(const FrameBuffer& shot, std::vector<uint32_t>& scratch, int32_t& pitch) {
  pitch = shot.pitch();
  if ((shot.format() & pixel_format::BottomUp) == 0) return shot.pixels();
  const size_t w = static_cast<size_t>(shot.width());
  scratch.resize(w * static_cast<size_t>(shot.height()));
  for (int32_t y = 0; y < shot.height(); ++y) {
    const uint32_t* row = shot.row(y);
    std::copy(row, row + w, scratch.begin() + static_cast<std::ptrdiff_t>(w * static_cast<size_t>(y)));
  }
  pitch = shot.width();
  return scratch.data();
}

// The overlays over the scene, with the run's state: replay, lost replay, the running speedrun.
void drawFrameOverlays(Game& game) {
  ShapeFill* fill = game.screen.shapeFill();
  if (!fill) return;
  RunDisplay run;
  run.replaying = game.random.replaying;
  run.replayLost = game.random.replaying && game.run.replayCursor < 0;
  run.speedrun = currentSpeedrunRecord(game);
  drawOverlays(game, *fill, run);
}

void applyEndOfFrameRequests(Game& game) {
  AppState& app = game.app;
  World& world = game.world;

  // Landings are quiet after a zone load until the player first has control.
  if (app.controlsActive) game.script.zoneEntryQuiet = false;

  // A zone change asked for during the frame.
  if (!world.requests.zoneChange.empty()) {
    const std::string id = world.requests.zoneChange;
    if (!loadZone(game, id, true)) {
      app.quitRequested = 1;
      return;
    }
    // After the effects the new zone's start script asked for, as they were asked.
    playRequestedEffects(game);
    if (!world.silentWarp && game.prefs.sound != 0) playEffect(game, kWarpEffect);
  }

  // A death makes the player blink.
  if (app.playerBlinkPending) {
    if (ObjectRecord* p = world.player) {
      p->effectBits = kBlinkEffect;
      p->effectTimer = kBlinkFrames;
      p->flags |= format::flag::Invisible;
    }
    app.playerBlinkPending = 0;
  }

  // A flash restarts the background fade from its colour.
  if (game.script.screenEffects.pendingFlash != -1) {
    world.fadeFromColour = game.script.screenEffects.pendingFlash;
    world.fadeAmount = 1.0f;
    game.script.screenEffects.pendingFlash = -1;
  }

  // Frames of play; the counter wraps rather than overflowing.
  if (game.script.frameCounting) {
    game.session.frameCounter =
        static_cast<int32_t>(static_cast<uint32_t>(game.session.frameCounter) + 1u);
  }
}

bool runGameFrame(Game& game, AppPlatform& platform) {
  AppState& app = game.app;
  ScreenOutput& out = platform.screen();

  // A quit asked for earlier in this pass.
  if (app.quitRequested) return false;

  // Play steps, except in a speedrun's countdown.
  app.runningThisFrame = (app.runNumber == 0 || game.session.frameCounter > kRunCountdownFrames) ? 1 : 0;
  if (app.runningThisFrame) {
    const PlayRequests requests = stepPlay(game);
    // A pause that something else in the step already opened is not opened twice.
    if (requests.pause && app.menuState == menu_state::Playing) openPauseMenu(game);
    app.screenshotRequested = requests.screenshot ? 1 : 0;
    for (const int32_t slot : requests.effects) playEffect(game, slot);
  }

  // A clear, unless the scene leaves its trails.
  if (game.script.screenEffects.homActive == 0) out.clear(game.world.backgroundColour);

  // What drawing shows moves on in every game frame, drawn or not, so that a
  // replay does not depend on which frames could be drawn.
  if (!game.script.screenEffects.haltActive) updateDrawingState(game);

  // The scene and the overlays.
  if (out.startDrawing()) {
    if (!game.script.screenEffects.haltActive) drawScene(game);
    drawFrameOverlays(game);
    out.stopDrawing();
  }
  // The overlays move on in every game frame, drawn or not, so that a replay
  // does not depend on which frames could be drawn.
  advanceCountdown(game);

  // Tab toggles the debug overlay when it is let go.
  const bool tab = platform.input().keyDown(key::Tab);
  if (app.tabDown && !tab) app.debugOverlay = 1 - app.debugOverlay;
  app.tabDown = tab;

  // The requests the frame left for its end.
  applyEndOfFrameRequests(game);
  if (app.quitRequested) return false;

  // The screenshot. The request is used up, so a frame without player control (a run's
  // countdown) does not repeat it.
  if (app.screenshotRequested) {
    takeScreenshot(game);
    app.screenshotRequested = 0;
  }

  // An opening menu's frame is drawn but not shown.
  if (app.menuState == menu_state::Opening) {
    app.menuState = menu_state::Shown;
  } else {
    out.flip();
  }

  // Pacing.
  countFrameForPacing(app, out.isActive(), app.noiseGenerator);
  platform.sleepMs(game.screen.windowedPacing ? kWindowedSleepMs : static_cast<uint32_t>(app.frameSleep));
  return true;
}

void runMenuFrame(Game& game, AppPlatform& platform) {
  AppState& app = game.app;
  ScreenOutput& out = platform.screen();
  updateMenu(game);
  out.clear(app.menuBackground);
  if (out.startDrawing()) {
    drawMenu(game);
    out.stopDrawing();
  }
  out.flip();
  app.endSecondWindow();
  platform.sleepMs(kMenuFrameSleepMs);
}

}  // namespace

void advanceCountdown(Game& game) {
  const CountdownCues cues = advanceOverlays(game);
  if (cues.click) playEffect(game, format::effect::Click);
  if (cues.go) playEffect(game, format::effect::Check);
  // "GO": the zone's track, held since the run started, begins now.
  if (cues.go) startCurrentTrack(game);
}

void countFrameForPacing(AppState& app, bool screenActive, RandomGenerator& generator) {
  app.framesThisSecond += 1;
  // Signed: a window restarted later in this pass (a zone load) is not yet over.
  if (static_cast<int32_t>(app.frameTime - app.secondStart) > 1000) {
    if (app.framesThisSecond > 1 && screenActive) {
      if (app.framesThisSecond > 65) {
        app.frameSleep += 1;
      } else if (app.framesThisSecond < 59) {
        app.frameSleep -= 2;
        if (app.frameSleep < 1) app.frameSleep = 1;
      }
    }
    app.noiseMask = renewNoiseMask(generator);
    app.endSecondWindow();
  }
}


void openPauseMenu(Game& game) {
  if (game.app.runNumber != 0) {
    showRunPauseMenu(game);
  } else {
    showMainMenu(game);
  }
  if (game.prefs.disableMusic == 0) startPauseMusic(game);
  game.app.menuBackground = game.world.pauseColour;
  game.app.menuState = menu_state::Opening;
}

void runPauseSequence(Game& game) {
  holdControlsForPause(game.controls);
  openPauseMenu(game);
}

void playRequestedEffects(Game& game) {
  std::vector<int32_t> effects;
  effects.swap(game.world.requests.effects);
  for (const int32_t slot : effects) playEffect(game, slot);
}

bool runFramePass(Game& game, AppPlatform& platform) {
  AppState& app = game.app;
  GameScreen& screen = game.screen;
  ScreenOutput& out = platform.screen();
  Controls& controls = game.controls;
  ControlInput& in = platform.input();

  // The clock of this pass.
  app.frameTime = platform.elapsedMs();
  // Effects asked for outside play (a script run by a menu or at start-up).
  playRequestedEffects(game);
  // Window events (none are taken in full screen) and a quit from outside.
  if (screen.inWindow) takeWindowEvents(game, out);
  if (platform.quitAsked()) app.quitRequested = 1;
  if (app.quitRequested) return false;

  // The controls.
  platform.examineKeyboard();
  readControls(controls, in, app.menuState, app.menuScreen);
  // A speedrun records or replays its input.
  stepRunInput(game);

  // Full-screen toggle: Ctrl with FULL SCREEN, or Option with ACTION.
  bool toggle = false;
  if (controls.pressed(control::FullScreen)) {
    toggle = controlKeyDown(in);
  } else if (controls.pressed(control::Action) && optionKeyDown(in)) {
    toggle = true;
  }
  if (toggle) {
    toggleFullScreen(game);
    if (app.quitRequested) return false;
  }

  // Quit hot key.
  if (quitKeysDown(in)) {
    app.quitRequested = 1;
    return false;
  }

  // Without a screen the pass only waits.
  if (!screen.gameScreenOpen) {
    platform.sleepMs(kNoScreenSleepMs);
    app.endSecondWindow();
    return true;
  }

  // Losing the focus pauses the game.
  if (game.prefs.pauseOnUnfocus != 0 && app.menuState == menu_state::Playing && !out.isActive() &&
      (app.runNumber == 0 || game.session.frameCounter > kRunCountdownFrames)) {
    runPauseSequence(game);
  }

  // Sound and music switches.
  soundAndMusicKeys(game);

  // Music fades while playing.
  if (app.menuState == menu_state::Playing && game.prefs.disableMusic == 0) updateMusicFade(game);

  // A game frame (also while a menu is opening) or a menu frame.
  if (app.menuState == menu_state::Playing || app.menuState == menu_state::Opening) {
    if (!runGameFrame(game, platform)) return false;
  } else {
    runMenuFrame(game, platform);
  }

  return app.quitRequested == 0;
}

void runFrameLoop(Game& game, AppPlatform& platform) {
  while (runFramePass(game, platform)) {
  }
}

std::string freeScreenshotPath(const std::string& folder, const std::string& dateTime) {
  std::string path = folder + dateTime + ".png";
  for (int n = 2; files::fileSize(path) != -1; ++n) {
    if (n > kMaxScreenshotsPerSecond) return std::string();
    path = folder + dateTime + "-" + text::formatInt(n) + ".png";
  }
  return path;
}

bool takeScreenshot(Game& game, std::string* writtenPath) {
  const GameScreen& screen = game.screen;
  const ScreenInfo& info = screen.info;
  ScreenOutput* out = screen.output;
  if (out == nullptr || !screen.gameScreenOpen || info.pixelDepth > 32) return false;

  FrameBuffer shot;
  if (!out->grab(info.leftBar, info.topBar, info.viewWidth, info.viewHeight, shot) || !shot.hasPixels()) {
    return false;
  }
  const std::string folder = game.session.dataPath("zordata/screens/");
  files::createPath(folder);
  const std::string path = freeScreenshotPath(folder, dates::localDateTimeText());
  if (path.empty()) return false;

  std::vector<uint32_t> scratch;
  int32_t pitch = 0;
  const uint32_t* pixels = packedRows(shot, scratch, pitch);
  png::PixelShifts shifts;
  shifts.red = pixel_format::redShift(shot.format());
  shifts.green = pixel_format::greenShift(shot.format());
  shifts.blue = pixel_format::blueShift(shot.format());
  if (!png::writePng(path, pixels, shot.width(), shot.height(), pitch, shifts)) return false;
  if (writtenPath) *writtenPath = path;
  return true;
}

}  // namespace zor
