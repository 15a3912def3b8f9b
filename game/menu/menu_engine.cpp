#include "game/menu/menu_engine.h"

#include "platform/app_platform.h"
#include "game/audio/music.h"
#include "game/game.h"
#include "game/input/action_release.h"
#include "game/load/zone_loader.h"
#include "game/menu/menu_screens.h"
#include "game/menu/speedrun_screens.h"
#include "game/persist/run_file.h"
#include "game/persist/speedrun.h"
#include "game/render/overlays.h"
#include "platform/input_source.h"
#include "platform/text.h"

namespace zor {

namespace {

constexpr int kDieEffect = format::effect::Die;
constexpr int kWarpEffect = format::effect::Warp;
constexpr int kCheckEffect = format::effect::Check;
constexpr int kClickEffect = format::effect::Click;
constexpr int kOkEffect = format::effect::Ok;
constexpr int kNoEffect = format::effect::No;
constexpr int kSinkEffect = format::effect::Sdown;

// Rows a menu shows; the last row index.
constexpr int32_t kLastRow = 4;
constexpr int kGamepadButtons = 20;

MenuLine* selectedLine(MenuState& menu) {
  if (menu.selected < 0 || menu.selected >= menu.lineCount()) return nullptr;
  return &menu.lines[static_cast<size_t>(menu.selected)];
}

// This frame's action: nothing while input is held off, else BACK for PAUSE,
// the selected line's action for ACTION, or the skip on the button screen for RESET.
int32_t chooseAction(Game& game) {
  MenuState& menu = game.menu;
  const Controls& c = game.controls;
  if (game.app.frameTime < menu.inputDelay) return menu_action::None;
  if (c.pressed(control::Pause)) return menu_action::Back;
  if (c.pressed(control::Action)) {
    const MenuLine* line = selectedLine(menu);
    return line ? line->action : menu_action::None;
  }
  if (c.pressed(control::Reset) && game.app.menuScreen == menu_screen::Configure) return menu_action::SkipButton;
  return menu_action::None;
}

// --- Speedruns ---------------------------------------------------------------

SpeedrunRecord* currentSpeedrun(Game& game) {
  const int32_t i = game.menu.currentSpeedrun;
  if (i < 0 || static_cast<size_t>(i) >= game.data.speedruns.size()) return nullptr;
  return &game.data.speedruns[static_cast<size_t>(i)];
}

// The first unlocked speedrun of that name, in list order; -1 when there is none.
int32_t findUnlockedSpeedrun(const Game& game, const std::string& name) {
  const auto& runs = game.data.speedruns;
  for (size_t i = 0; i < runs.size(); ++i) {
    if (runs[i].bestTime != 0 && runs[i].name == name) return static_cast<int32_t>(i);
  }
  return -1;
}

// The speedrun the selected line of the SPEEDRUNS screen names; -1 on other lines.
int32_t selectedSpeedrun(Game& game) {
  const MenuLine* line = selectedLine(game.menu);
  if (!line || line->action != menu_action::PickSpeedrun) return -1;
  return findUnlockedSpeedrun(game, line->text);
}

void clearRecords(SpeedrunRecord& run) {
  run.bestTime = -1;
  run.bestTimeDeaths = 0;
  run.fewestDeathsTime = 0;
  run.fewestDeaths = 0;
}

void showSpeedruns(Game& game, const std::string& note) { showSpeedrunsMenu(game, note); }

void pickSpeedrun(Game& game) {
  game.menu.currentSpeedrun = selectedSpeedrun(game);
  if (game.menu.currentSpeedrun >= 0) {
    showZoneRecordsMenu(game);
    playMenuEffect(game, kOkEffect);
  } else {
    playMenuEffect(game, kNoEffect);
  }
}

void deleteRecords(Game& game) {
  std::string name;
  if (SpeedrunRecord* run = currentSpeedrun(game)) {
    name = run->name;
    if (run->bestTime != 0) {
      clearRecords(*run);
      playMenuEffect(game, kDieEffect);
      playMenuEffect(game, kSinkEffect);
    }
  }
  showSpeedruns(game, name + " RECORDS DELETED");
}

void deleteAllRecords(Game& game) {
  for (SpeedrunRecord& run : game.data.speedruns) {
    if (run.bestTime != 0) clearRecords(run);
  }
  playMenuEffect(game, kDieEffect);
  playMenuEffect(game, kSinkEffect);
  showSpeedruns(game, "ALL RECORDS DELETED");
}

void saveRun(Game& game) {
  MenuState& menu = game.menu;
  const bool stopMarker = game.app.menuScreen == menu_screen::RunPause;
  const std::string path = saveRunFile(game, stopMarker);
  menu.lastRunFilePath = path;
  MenuLine* line = selectedLine(menu);
  if (line) {
    line->text = path.empty() ? "(FAILED)" : "SAVED " + text::toUpper(path.substr(path.rfind('/') + 1));
    line->action = menu_action::None;  // a run is saved once per screen
  }
  playMenuEffect(game, path.empty() ? kNoEffect : kCheckEffect);
}

// --- Screen ------------------------------------------------------------------

void refreshVideoLines(Game& game) {
  if (game.app.menuScreen != menu_screen::Video) return;
  const ScreenInfo& info = game.screen.info;
  setMenuLine(game, 0, screenLineText(info.width, info.height));
  setMenuLine(game, 1, depthLineText(info.depth));
  setMenuLine(game, 2, fullScreenLineText(game.screen.inWindow == 0));
}

void refreshAudioLines(Game& game) {
  if (game.app.menuScreen != menu_screen::Audio) return;
  setMenuLine(game, 0, musicLineText(game.prefs.music));
  setMenuLine(game, 1, soundLineText(game.prefs.sound));
}

// No screen could be opened: the preference file asks for a window next time,
// and the game ends with the size now set.
void screenFailed(Game& game) {
  const ScreenInfo& info = game.screen.info;
  game.prefs.windowed = 1;
  noteScreenFailed(game.prefs, info.width, info.height);
  fatalError(game, "A " + text::formatInt(info.width) + "x" + text::formatInt(info.height) +
                       " screen could not be opened!");
  game.app.quitRequested = 1;
}

// Reopens the screen in the mode now chosen, in the same kind (window or full
// screen); when that fails, once more with the old mode.
void reopenScreen(Game& game, int32_t oldWidth, int32_t oldHeight, int32_t oldDepth) {
  GameScreen& screen = game.screen;
  ScreenInfo& info = screen.info;
  const int32_t windowed = screen.inWindow;
  game.app.menuState = menu_state::Opening;
  if (openGameScreen(game, windowed)) {
    noteScreenOpened(game.prefs, info.width, info.height, info.depth);
    playMenuEffect(game, kOkEffect);
    return;
  }
  info.width = oldWidth;
  info.height = oldHeight;
  info.depth = oldDepth;
  if (openGameScreen(game, windowed)) {
    noteScreenOpened(game.prefs, info.width, info.height, info.depth);
    playMenuEffect(game, kNoEffect);
    return;
  }
  screenFailed(game);
}

void toggleDepth(Game& game) {
  ScreenInfo& info = game.screen.info;
  const int32_t oldDepth = info.depth;
  info.depth = oldDepth == 32 ? 16 : 32;
  if (game.screen.inWindow == 0) {
    reopenScreen(game, info.width, info.height, oldDepth);
    if (game.app.quitRequested) return;
  } else {
    // A window ignores the depth; it is kept for full screen.
    noteScreenOpened(game.prefs, info.width, info.height, info.depth);
  }
  refreshVideoLines(game);
}

void toggleFullScreen(Game& game) {
  GameScreen& screen = game.screen;
  if (!openGameScreen(game, 1 - screen.inWindow)) {
    screenFailed(game);
    return;
  }
  noteScreenOpened(game.prefs, screen.info.width, screen.info.height, screen.info.depth);
  if (game.app.menuState != menu_state::Playing) game.app.menuState = menu_state::Opening;
  refreshVideoLines(game);
  playMenuEffect(game, kOkEffect);
}

void pickScreenSize(Game& game) {
  const MenuState& menu = game.menu;
  const auto& sizes = game.app.screenSizes;
  const int64_t i = int64_t{menu.selected} - menu.firstSelectable;
  if (i < 0 || i >= static_cast<int64_t>(sizes.size())) return;
  const ScreenSize size = sizes[static_cast<size_t>(i)];
  ScreenInfo& info = game.screen.info;
  const int32_t oldWidth = info.width;
  const int32_t oldHeight = info.height;
  info.width = size.width;
  info.height = size.height;
  if (game.screen.inWindow == 0 || size.width != oldWidth) {
    reopenScreen(game, oldWidth, oldHeight, info.depth);
  } else {
    // A window of the same width: the height only matters in full screen.
    noteScreenOpened(game.prefs, info.width, info.height, info.depth);
    playMenuEffect(game, kOkEffect);
  }
}

// --- Settings ----------------------------------------------------------------

void toggleMusic(Game& game) {
  Preferences& prefs = game.prefs;
  if (prefs.disableMusic != 0) {
    playMenuEffect(game, kNoEffect);
    return;
  }
  prefs.music = prefs.music != 0 ? 0 : 1;
  // With a menu open this sets the pause music's volume.
  applyMusicSwitch(game);
  refreshAudioLines(game);
  playMenuEffect(game, kOkEffect);
}

void toggleSound(Game& game) {
  if (!game.app.soundWorks) return;
  game.prefs.sound = game.prefs.sound != 0 ? 0 : 1;
  refreshAudioLines(game);
  playMenuEffect(game, kOkEffect);  // heard only when sound is now on
}

void gamepadSetup(Game& game) {
  Controls& c = game.controls;
  if (c.gamepadCount > 0) {
    showGamepadMenu(game);
    playMenuEffect(game, kOkEffect);
    return;
  }
  const int32_t count = game.platform ? game.platform->countGamepads() : 0;
  c.gamepadCount = count > 0 ? count : 0;
  const bool onSettings = game.app.menuScreen == menu_screen::Settings;
  if (c.gamepadCount > 0) {
    if (onSettings) setMenuLine(game, 2, "GAMEPAD SETUP");
    playMenuEffect(game, kOkEffect);
    playMenuEffect(game, kWarpEffect);
  } else {
    if (onSettings) setMenuLine(game, 2, "TRY AGAIN");
    playMenuEffect(game, kNoEffect);
  }
}

void credits(Game& game) {
  if (game.app.menuScreen == menu_screen::Credits) {
    showCreditsMenu(game, game.menu.captureIndex + 1);
    playMenuEffect(game, kClickEffect);
  } else {
    showCreditsMenu(game, 0);
    playMenuEffect(game, kOkEffect);
    playMenuEffect(game, kWarpEffect);
  }
}

void cycleLeap(Game& game) {
  int32_t& leap = game.controls.joystickLeap;
  const int32_t from = (leap >= 0 && leap <= 2) ? leap : 1;
  leap = (from + 1) % 3;
  if (game.app.menuScreen == menu_screen::Gamepad) setMenuLine(game, 1, leapLineText(leap));
  playMenuEffect(game, kOkEffect);
}

// The button screen moves on to the next control; after PAUSE the new buttons
// are written to the preference file and the GAMEPAD screen returns.
void nextButtonControl(Game& game) {
  MenuState& menu = game.menu;
  Controls& c = game.controls;
  if (menu.captureIndex < control::Pause) {
    menu.captureIndex += 1;
    setMenuLine(game, 1, c.keyNames[static_cast<size_t>(menu.captureIndex)]);
    return;
  }
  // The PAUSE button may still be held: it must not back out of GAMEPAD next frame.
  c.table[control::Pause][c.currentColumn] = 1;
  writePrefsFile(game);
  showGamepadMenu(game);
}

bool captureIndexValid(const MenuState& menu) { return menu.captureIndex >= 0 && menu.captureIndex < kControlCount; }

void skipButton(Game& game) {
  if (!captureIndexValid(game.menu)) return;
  game.controls.buttons[static_cast<size_t>(game.menu.captureIndex)] = 0;
  nextButtonControl(game);
  playMenuEffect(game, kClickEffect);
}

void startNewGame(Game& game) {
  game.gameFlags.clear();
  game.session.attempts = 1;
  game.session.deaths = 0;
  game.session.frameCounter = 0;
  enterZone(game, "first", "");
}

// --- BACK --------------------------------------------------------------------

void back(Game& game) {
  AppState& app = game.app;
  switch (app.menuScreen) {
    case menu_screen::Main:
    case menu_screen::RunPause:
      closeMenuSequence(game);
      return;
    case menu_screen::Speedruns:
      endSpeedrun(game, false);
      app.menuBackground = game.world.pauseColour;
      showMainMenu(game);
      break;
    case menu_screen::ConfirmDelete:
    case menu_screen::ZoneRecords:
      showSpeedruns(game, "");
      break;
    case menu_screen::Results:
      showZoneRecordsMenu(game);
      break;
    case menu_screen::Audio:
    case menu_screen::Video:
    case menu_screen::Gamepad:
    case menu_screen::Credits:
      showSettingsMenu(game);
      break;
    case menu_screen::ScreenSizes:
      showVideoMenu(game);
      break;
    case menu_screen::Keyboard:
      break;  // every control must get its key
    case menu_screen::Configure:
      showGamepadMenu(game);
      break;
    default:
      showMainMenu(game);
      break;
  }
  playMenuEffect(game, kNoEffect);
}

void runAction(Game& game, int32_t action) {
  switch (action) {
    case menu_action::NewGame:
      showNewGameMenu(game);
      playMenuEffect(game, kOkEffect);
      break;
    case menu_action::Continue:
      closeMenuSequence(game);
      break;
    case menu_action::Speedruns:
      showSpeedruns(game, "");
      playMenuEffect(game, kOkEffect);
      break;
    case menu_action::Settings:
      showSettingsMenu(game);
      playMenuEffect(game, kOkEffect);
      break;
    case menu_action::Exit:
      game.app.quitRequested = 1;
      break;
    case menu_action::PickSpeedrun:
      pickSpeedrun(game);
      break;
    case menu_action::DeleteRecords:
      deleteRecords(game);
      break;
    case menu_action::DeleteAllRecords:
      deleteAllRecords(game);
      break;
    case menu_action::StartRun:
      startSpeedrun(game, false);
      break;
    case menu_action::EndRun:
      showZoneRecordsMenu(game);
      playMenuEffect(game, kNoEffect);
      break;
    case menu_action::SaveRun:
      saveRun(game);
      break;
    case menu_action::Audio:
      if (game.app.soundWorks) {
        showAudioMenu(game);
        playMenuEffect(game, kOkEffect);
      }
      break;
    case menu_action::Video:
      showVideoMenu(game);
      playMenuEffect(game, kOkEffect);
      break;
    case menu_action::Gamepad:
      gamepadSetup(game);
      break;
    case menu_action::Credits:
      credits(game);
      break;
    case menu_action::ToggleMusic:
      toggleMusic(game);
      break;
    case menu_action::ToggleSound:
      toggleSound(game);
      break;
    case menu_action::ScreenSizes:
      if (!game.app.screenSizes.empty()) {
        showScreenSizeMenu(game);
        playMenuEffect(game, kOkEffect);
      } else {
        playMenuEffect(game, kNoEffect);
      }
      break;
    case menu_action::ToggleDepth:
      toggleDepth(game);
      break;
    case menu_action::ToggleFullScreen:
      toggleFullScreen(game);
      break;
    case menu_action::PickSize:
      pickScreenSize(game);
      break;
    case menu_action::Configure:
      showButtonSetupMenu(game);
      playMenuEffect(game, kOkEffect);
      break;
    case menu_action::CycleLeap:
      cycleLeap(game);
      break;
    case menu_action::SkipButton:
      skipButton(game);
      break;
    case menu_action::ConfirmNewGame:
      startNewGame(game);
      break;
    case menu_action::Back:
      back(game);
      break;
    default:
      break;
  }
}

// --- Selection and capture ---------------------------------------------------

void moveSelection(Game& game) {
  MenuState& m = game.menu;
  const Controls& c = game.controls;
  const int32_t count = m.lineCount();
  if (c.pressed(control::LeapIn)) {
    m.selected += 1;
    if (m.selected >= count) {
      m.selected = m.firstSelectable;
      m.scroll = 0;
    } else if (m.selected > m.scroll + kLastRow) {
      m.scroll += 1;
    }
    playMenuEffect(game, kClickEffect);
  } else if (c.pressed(control::LeapOut)) {
    m.selected -= 1;
    if (m.selected < m.firstSelectable) {
      m.selected = count - 1;
      m.scroll = count < kLastRow + 1 ? 0 : m.selected - kLastRow;
    } else if (m.selected < m.scroll + m.firstSelectable) {
      m.scroll -= 1;
    }
    playMenuEffect(game, kClickEffect);
  }
}

void deleteKey(Game& game) {
  const int32_t screen = game.app.menuScreen;
  if (screen != menu_screen::Speedruns && screen != menu_screen::ZoneRecords) return;
  if (!game.platform || !game.platform->input().keyDown(key::Delete)) return;
  if (screen == menu_screen::Speedruns) game.menu.currentSpeedrun = selectedSpeedrun(game);
  showDeleteRecordsMenu(game);
}

// One key a frame goes to the control being assigned; after PAUSE the main menu returns.
void captureKey(Game& game) {
  MenuState& menu = game.menu;
  Controls& c = game.controls;
  if (!captureIndexValid(menu)) return;
  for (int k = 0; k < key::Count; ++k) {
    if (c.keyCaptureStates[static_cast<size_t>(k)] != 2) continue;
    c.keyCodes[static_cast<size_t>(menu.captureIndex)] = k;
    if (menu.captureIndex < control::Pause) {
      menu.captureIndex += 1;
      setMenuLine(game, 1, c.actionNames[static_cast<size_t>(menu.captureIndex)]);
    } else {
      setAllControls(c, 1);  // nothing counts as newly pressed next frame
      c.keyCaptureStates.fill(0);
      showMainMenu(game);
    }
    playMenuEffect(game, kOkEffect);
    return;
  }
}

// Newly pressed buttons go to the controls in turn, once a frame without any
// button held has been seen.
void captureButtons(Game& game) {
  MenuState& menu = game.menu;
  Controls& c = game.controls;
  const int now = c.currentColumn;
  const int before = c.previousColumn;
  if (menu.padCaptureArmed == 0) {
    menu.padCaptureArmed = 1;
    for (int b = 1; b <= kGamepadButtons; ++b) {
      if (c.padButtonStates[b][now] != 0) {
        menu.padCaptureArmed = 0;
        break;
      }
    }
    return;
  }
  for (int b = 1; b <= kGamepadButtons; ++b) {
    if (c.padButtonStates[b][now] == 0 || c.padButtonStates[b][before] != 0) continue;
    if (!captureIndexValid(menu)) return;
    c.buttons[static_cast<size_t>(menu.captureIndex)] = b;
    nextButtonControl(game);
    playMenuEffect(game, kOkEffect);
    // After the last control the screen has changed: a further button pressed
    // in the same frame must not overwrite PAUSE's button.
    if (game.app.menuScreen != menu_screen::Configure) return;
  }
}

}  // namespace

void updateMenu(Game& game) {
  const int32_t action = chooseAction(game);
  if (action != menu_action::None) runAction(game, action);
  if (game.app.quitRequested) return;

  const MenuState& menu = game.menu;
  if (action == menu_action::None && menu.captureMode == 0) {
    if (menu.lineCount() - menu.firstSelectable > 1) moveSelection(game);
    deleteKey(game);
  }

  if (game.app.menuScreen == menu_screen::Keyboard) {
    captureKey(game);
  } else if (game.app.menuScreen == menu_screen::Configure) {
    captureButtons(game);
  }
}

void closeMenuSequence(Game& game) {
  if (game.platform) waitForActionRelease(game, *game.platform);
  game.app.menuState = menu_state::Playing;
  game.app.menuScreen = menu_screen::Main;
  if (game.prefs.disableMusic == 0) restoreMusic(game);
  latchInputStates(game.controls);
}

void setMenuLine(Game& game, int line, const std::string& text) {
  MenuState& menu = game.menu;
  if (line < 0 || line >= menu.lineCount()) return;
  menu.lines[static_cast<size_t>(line)].text = text;
}

void drawMenu(Game& game) {
  if (ShapeFill* fill = game.screen.shapeFill()) drawMenuFrame(game, *fill, game.menu);
}

}  // namespace zor
