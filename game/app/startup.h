// Start-up: brings up the platform's services, reads the command line, loads the
// game file, the save game and the preferences, starts sound, lists the screen
// sizes, opens the game screen and starts play; then the frame loop runs until a
// quit is asked for, and the quit path ends the program.
#pragma once

#include <string>
#include <vector>

#include "platform/app_platform.h"
#include "game/app/app_state.h"
#include "game/persist/preferences.h"

namespace zor {

struct Game;
struct SoundTable;

struct ProgramArgs {
  std::vector<std::string> args;  // the command line without the program's name
  std::string startFolder;        // the folder the program was started in
  // The folder that holds the program and its "zordata": "" for the current
  // folder (the program makes its own folder current), else ending in "/".
  std::string programFolder;
  UserFolderEnv userFolders;  // where the per-user data folder lies
};

// Start-up, frame loop and quit. Returns the process's exit status: 0 after a
// normal quit, 1 after a fatal error.
int runProgram(Game& game, AppPlatform& platform, const ProgramArgs& args);

// The start-up steps up to the frame loop. Leaves by throwing ProgramExit when a
// fatal error ends the program.
void startGame(Game& game, AppPlatform& platform, const ProgramArgs& args);

// Makes the platform the game's machine (clock, requesters, the fatal-error
// path) and hands its screen to the game screen.
void attachPlatform(Game& game, AppPlatform& platform);

// Closes the game screen, shows the message (when not empty) in a box titled
// "Zorlan - Error", and quits with status 1. Never returns.
[[noreturn]] void programFatalError(Game& game, AppPlatform& platform, const std::string& message);

// The built-in volume of each sound-effect slot, clamped to 0..100.
void setBuiltInSoundVolumes(SoundTable& sounds);

// One entry per distinct width and height of the display modes, ordered by
// width and, for equal widths, by height.
std::vector<ScreenSize> listScreenSizes(const std::vector<DisplayMode>& modes);

// The screen size to open for the one wanted (from the preference file): itself
// when the display can show it, else the largest of the display's sizes (the
// last of listScreenSizes). Without known sizes, the one wanted.
ScreenSize boundScreenSize(ScreenSize wanted, const std::vector<ScreenSize>& sizes);

}  // namespace zor
