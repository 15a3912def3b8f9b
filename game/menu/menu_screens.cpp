#include "game/menu/menu_screens.h"

#include <algorithm>

#include "game/audio/effects.h"
#include "game/game.h"
#include "platform/text.h"

namespace zor {

namespace {

constexpr int kWarpEffect = format::effect::Warp;

const char* const kOnOff[2] = {"OFF", "ON"};
const char* const kNoYes[2] = {"NO", "YES"};
const char* const kLeapModes[3] = {"OFF", "ON", "INVERT"};

// The multiplication sign of the pixel font.
constexpr const char* kTimes = "\xD7";

constexpr int32_t kCreditsPages = 5;
constexpr int32_t kCreditsColours[kCreditsPages] = {0xD0E0FF, 0xD0FFFF, 0xD0FFD0, 0xFFD0D0, 0xFFFFD0};


// Leading and trailing spaces removed.
std::string trimSpaces(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  const size_t last = s.find_last_not_of(' ');
  return s.substr(first, last - first + 1);
}

bool anyUnlockedSpeedrun(const Game& game) { return game.session.unlockedSpeedruns > 0; }

}  // namespace

MenuState& beginScreen(Game& game, int32_t screen, const std::string& title, int32_t count) {
  MenuState& menu = game.menu;
  game.app.menuScreen = screen;
  menu.title = title;
  menu.lines.assign(static_cast<size_t>(std::max(count, 0)), MenuLine{});
  menu.selected = 0;
  menu.scroll = 0;
  menu.firstSelectable = 0;
  menu.captureMode = 0;
  return menu;
}

void setLine(MenuState& menu, int32_t n, const std::string& text, int32_t action, const std::string& help) {
  if (n < 0 || n >= menu.lineCount()) return;
  MenuLine& line = menu.lines[static_cast<size_t>(n)];
  line.text = text;
  line.action = action;
  line.help = help;
}

std::string onOffWord(int32_t value) { return (value == 0 || value == 1) ? kOnOff[value] : kOnOff[1]; }
std::string noYesWord(int32_t value) { return (value == 0 || value == 1) ? kNoYes[value] : kNoYes[0]; }
std::string leapModeWord(int32_t value) { return (value >= 0 && value <= 2) ? kLeapModes[value] : kLeapModes[1]; }

std::string musicLineText(int32_t music) { return "MUSIC: " + onOffWord(music); }
std::string soundLineText(int32_t sound) { return "SOUNDS: " + onOffWord(sound); }
std::string screenLineText(int32_t width, int32_t height) {
  return "SCREEN: " + text::formatInt(width) + kTimes + text::formatInt(height);
}
std::string depthLineText(int32_t depth) { return "DEPTH: " + text::formatInt(depth) + "-BIT"; }
std::string fullScreenLineText(bool fullScreen) { return "FULL: " + noYesWord(fullScreen ? 1 : 0); }
std::string leapLineText(int32_t joystickLeap) { return "USE ^\\ TO LEAP: " + leapModeWord(joystickLeap); }

void playMenuEffect(Game& game, int slot) {
  if (game.prefs.sound != 0) playEffect(game, slot);
}

void showMainMenu(Game& game) {
  // The SPEEDRUNS line leads to the speedrun screens, so it is offered only
  // when a speedrun is unlocked.
  const bool speedruns = anyUnlockedSpeedrun(game);
  MenuState& menu = beginScreen(game, menu_screen::Main, "ZORLAN", speedruns ? 5 : 4);
  int32_t n = 0;
  setLine(menu, n++, "CONTINUE", menu_action::Continue);
  setLine(menu, n++, "NEW GAME", menu_action::NewGame);
  if (speedruns) setLine(menu, n++, "SPEEDRUNS", menu_action::Speedruns);
  setLine(menu, n++, "SETTINGS", menu_action::Settings);
  setLine(menu, n++, "EXIT", menu_action::Exit);
}

void showNewGameMenu(Game& game) {
  MenuState& menu = beginScreen(game, menu_screen::NewGame, "NEW GAME", 3);
  const std::string help = anyUnlockedSpeedrun(game) ? "SPEEDRUN RECORDS WILL REMAIN." : "";
  setLine(menu, 0, "ARE YOU SURE?", menu_action::None);
  setLine(menu, 1, "NO", menu_action::Back, help);
  setLine(menu, 2, "YES", menu_action::ConfirmNewGame, help);
  menu.selected = 1;
  menu.firstSelectable = 1;
}

void showSettingsMenu(Game& game) {
  MenuState& menu = beginScreen(game, menu_screen::Settings, "SETTINGS", 5);
  setLine(menu, 0, "AUDIO", menu_action::Audio, game.app.soundWorks ? "" : "AUDIO IS DISABLED");
  setLine(menu, 1, "VIDEO", menu_action::Video);
  setLine(menu, 2, game.controls.gamepadCount > 0 ? "GAMEPAD SETUP" : "DETECT GAMEPAD", menu_action::Gamepad);
  setLine(menu, 3, "CREDITS", menu_action::Credits);
  setLine(menu, 4, "BACK", menu_action::Back);
}

void showAudioMenu(Game& game) {
  MenuState& menu = beginScreen(game, menu_screen::Audio, "AUDIO", 3);
  const Preferences& prefs = game.prefs;
  setLine(menu, 0, musicLineText(prefs.music), menu_action::ToggleMusic,
          prefs.disableMusic != 0 ? "MUSIC IS DISABLED" : "M KEY TOGGLES MUSIC");
  setLine(menu, 1, soundLineText(prefs.sound), menu_action::ToggleSound, "S KEY TOGGLES SOUND");
  setLine(menu, 2, "BACK", menu_action::Back);
}

void showVideoMenu(Game& game) {
  MenuState& menu = beginScreen(game, menu_screen::Video, "VIDEO", 4);
  const ScreenInfo& info = game.screen.info;
  setLine(menu, 0, screenLineText(info.width, info.height), menu_action::ScreenSizes,
          game.app.screenSizes.empty() ? "NO OTHER SIZES FOUND" : "");
  setLine(menu, 1, depthLineText(info.depth), menu_action::ToggleDepth, "DEPTH ONLY AFFECTS FULLSCREEN");
  setLine(menu, 2, fullScreenLineText(game.screen.inWindow == 0), menu_action::ToggleFullScreen,
          "CTRL+F TOGGLES FULLSCREEN");
  setLine(menu, 3, "BACK", menu_action::Back);
}

void showScreenSizeMenu(Game& game) {
  const std::vector<ScreenSize>& sizes = game.app.screenSizes;
  const int32_t n = static_cast<int32_t>(sizes.size());
  MenuState& menu = beginScreen(game, menu_screen::ScreenSizes, "SCREEN", n + 2);
  const std::string help = "HEIGHT ONLY AFFECTS FULLSCREEN";
  const ScreenInfo& info = game.screen.info;
  setLine(menu, 0, "SELECT SIZE:", menu_action::None, help);
  int32_t current = 0;  // the line of the size in use; 0 while none matched
  for (int32_t i = 0; i < n; ++i) {
    const ScreenSize& s = sizes[static_cast<size_t>(i)];
    setLine(menu, i + 1, text::formatInt(s.width) + kTimes + text::formatInt(s.height), menu_action::PickSize, help);
    if (current == 0 && s.width == info.width && s.height == info.height) current = i + 1;
  }
  menu.selected = current != 0 ? current : 1;
  setLine(menu, n + 1, "BACK", menu_action::Back, help);
  menu.firstSelectable = 1;
  if (menu.selected >= 5) menu.scroll = menu.selected - 4;
}

void showKeyboardMenu(Game& game) {
  MenuState& menu = beginScreen(game, menu_screen::Keyboard, "KEYBOARD", 2);
  setLine(menu, 0, "PRESS KEY FOR", menu_action::None);
  setLine(menu, 1, game.controls.actionNames[0], menu_action::None);
  menu.selected = 1;
  menu.captureMode = 1;
  menu.captureIndex = 0;
  menu.padCaptureArmed = 0;
  // Keys held when the screen opens count only after they were let go.
  game.controls.keyCaptureStates.fill(3);
}

void showGamepadMenu(Game& game) {
  MenuState& menu = beginScreen(game, menu_screen::Gamepad, "GAMEPAD", 3);
  setLine(menu, 0, "CONFIGURATION", menu_action::Configure);
  setLine(menu, 1, leapLineText(game.controls.joystickLeap), menu_action::CycleLeap);
  setLine(menu, 2, "BACK", menu_action::Back);
}

void showButtonSetupMenu(Game& game) {
  MenuState& menu = beginScreen(game, menu_screen::Configure, "CONFIGURE", 3);
  setLine(menu, 0, "PRESS BUTTON FOR", menu_action::None);
  setLine(menu, 1, game.controls.keyNames[control::Jump], menu_action::None);
  setLine(menu, 2, "OR R KEY TO SKIP", menu_action::None);
  menu.selected = 1;
  menu.captureMode = 1;
  menu.captureIndex = control::Jump;  // the movement and hot-key controls get no button
  menu.padCaptureArmed = 0;
  // Buttons held when the screen opens count only after they were let go.
  for (auto& columns : game.controls.padButtonStates) {
    columns[0] = 1;
    columns[1] = 1;
  }
}

void showCreditsMenu(Game& game, int32_t page) {
  const GameData& data = game.data;
  if (page == 1 && text::removeAll(text::removeAll(data.description, "|"), " ").empty()) page = 2;
  if (page < 0) page = 0;
  if (page >= kCreditsPages) {
    game.app.menuBackground = game.world.pauseColour;
    showSettingsMenu(game);
    playMenuEffect(game, kWarpEffect);
    return;
  }

  MenuState& menu = beginScreen(game, menu_screen::Credits, "CREDITS", 5);
  setLine(menu, 4, "NEXT", menu_action::Credits);
  menu.selected = 4;
  menu.firstSelectable = 4;
  menu.captureIndex = page;
  game.app.menuBackground = kCreditsColours[page];

  switch (page) {
    case 0: {
      int32_t n = 0;
      for (const std::string* s : {&data.title, &data.author, &data.url, &data.version}) {
        if (!s->empty()) setLine(menu, n++, text::toUpper(*s), menu_action::None);
      }
      break;
    }
    case 1:
      for (int32_t i = 0; i < 4; ++i) {
        setLine(menu, i, text::toUpper(trimSpaces(text::field(data.description, '|', static_cast<size_t>(i)))),
                menu_action::None);
      }
      break;
    case 2:
      setLine(menu, 0, "GAME ENGINE BY", menu_action::None);
      setLine(menu, 1, kEngineAuthor, menu_action::None);
      break;
    case 3:
      setLine(menu, 0, "INCLUDES", menu_action::None);
      setLine(menu, 1, "EXPAT XML PARSER", menu_action::None);
      break;
    default:
      setLine(menu, 0, "AND", menu_action::None);
      setLine(menu, 1, "SFXR SOUND GENERATION", menu_action::None);
      setLine(menu, 4, "OK", menu_action::Credits);
      break;
  }
}

}  // namespace zor
