// The builders of the menu screens around play and the settings: the main
// (pause) menu, NEW GAME, SETTINGS, AUDIO, VIDEO, the screen sizes, the keyboard
// and gamepad configuration and the credits. Each replaces the shown screen:
// screen id, title, lines, selection, scroll, first selectable line and capture
// mode; what the lines do is the menu engine's action table.
#pragma once

#include <cstdint>
#include <string>

#include "game/menu/menu_state.h"

namespace zor {

struct Game;

// Action codes carried by menu lines (0: a heading or information line).
namespace menu_action {
inline constexpr int32_t None = 0;
inline constexpr int32_t NewGame = 1;
inline constexpr int32_t Continue = 2;
inline constexpr int32_t Speedruns = 3;
inline constexpr int32_t Settings = 4;
inline constexpr int32_t Exit = 5;
inline constexpr int32_t PickSpeedrun = 6;
inline constexpr int32_t DeleteRecords = 7;
inline constexpr int32_t DeleteAllRecords = 8;
inline constexpr int32_t StartRun = 9;
inline constexpr int32_t EndRun = 10;
inline constexpr int32_t SaveRun = 11;
inline constexpr int32_t Audio = 12;
inline constexpr int32_t Video = 13;
inline constexpr int32_t Gamepad = 14;
inline constexpr int32_t Credits = 15;
inline constexpr int32_t ToggleMusic = 16;
inline constexpr int32_t ToggleSound = 17;
inline constexpr int32_t ScreenSizes = 18;
inline constexpr int32_t ToggleDepth = 19;
inline constexpr int32_t ToggleFullScreen = 20;
inline constexpr int32_t PickSize = 21;
inline constexpr int32_t Configure = 22;
inline constexpr int32_t CycleLeap = 23;
inline constexpr int32_t SkipButton = 24;
inline constexpr int32_t ConfirmNewGame = 25;
inline constexpr int32_t Back = 26;
}  // namespace menu_action

// Starts a screen: its id and title, `count` empty lines, selection, scroll and
// first selectable line 0, capture off. Every screen builder begins with it.
MenuState& beginScreen(Game& game, int32_t screen, const std::string& title, int32_t count);
// Sets line n (nothing when n is not a line of the screen).
void setLine(MenuState& menu, int32_t n, const std::string& text, int32_t action, const std::string& help = {});

// The words a setting is shown with. A value outside its table (a preference
// file may hold anything) is shown as the setting's default.
std::string onOffWord(int32_t value);      // 0 "OFF", 1 "ON"; default ON
std::string noYesWord(int32_t value);      // 0 "NO", 1 "YES"; default NO
std::string leapModeWord(int32_t value);   // 0 "OFF", 1 "ON", 2 "INVERT"; default ON

// The texts of lines that actions rewrite in place.
std::string musicLineText(int32_t music);
std::string soundLineText(int32_t sound);
std::string screenLineText(int32_t width, int32_t height);  // "SCREEN: " + w + "\xD7" + h
std::string depthLineText(int32_t depth);                   // "DEPTH: " + depth + "-BIT"
std::string fullScreenLineText(bool fullScreen);            // "FULL: YES" / "FULL: NO"
std::string leapLineText(int32_t joystickLeap);             // "USE ^\ TO LEAP: " + mode

// The engine's own credit on the third credits page.
inline constexpr const char* kEngineAuthor = "THE ZORLAN TEAM";

void showMainMenu(Game& game);
void showNewGameMenu(Game& game);
void showSettingsMenu(Game& game);
void showAudioMenu(Game& game);
void showVideoMenu(Game& game);
void showScreenSizeMenu(Game& game);
void showKeyboardMenu(Game& game);
void showGamepadMenu(Game& game);
void showButtonSetupMenu(Game& game);
// Pages 0..4; page 5 (after the last) returns to SETTINGS with the pause
// colour and the warp effect.
void showCreditsMenu(Game& game, int32_t page);

// Plays a sound-effect slot at its volume when sound effects are on.
void playMenuEffect(Game& game, int slot);

}  // namespace zor
