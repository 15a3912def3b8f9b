// The data folder and the preference file (audio, video and input settings).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "game/input/controls.h"

namespace zor {

struct Game;

inline constexpr int32_t kDefaultScreenWidth = 640;
inline constexpr int32_t kDefaultScreenHeight = 480;
inline constexpr int32_t kDefaultScreenDepth = 32;
// Screen sizes outside these bounds in the preference file are not believed.
inline constexpr int32_t kMinScreenWidth = 320;
inline constexpr int32_t kMinScreenHeight = 200;
inline constexpr int32_t kMaxScreenSide = 16384;

// The settings of the preference file, as the game runs with them. Key codes,
// gamepad buttons and the stick's leap setting live in the control table.
struct Preferences {
  // Audio
  int32_t sound = 1;         // effects on (1) or off (0)
  int32_t music = 1;         // music on (1) or off (0)
  int32_t disableAudio = 0;  // 1: sound output is never started
  int32_t disableMusic = 0;  // 1: no music is loaded

  // Video. The screen mode here is the one the preference file keeps: the one
  // last opened, or the one read from the file until a screen has opened.
  int32_t screenWidth = kDefaultScreenWidth;
  int32_t screenHeight = kDefaultScreenHeight;
  int32_t screenDepth = kDefaultScreenDepth;
  int32_t windowed = 1;  // the mode last asked for; written, never read back
  int32_t pauseOnUnfocus = 1;
  int32_t dwmEnableComposition = 1;  // read, never written, not used
  int32_t screenWrapCheck = 1;       // read, never written

  // What the player chose for the audio switches that this run had to change
  // (no sound output, music disabled). The file keeps these, not the fallbacks.
  std::optional<int32_t> chosenSound;
  std::optional<int32_t> chosenMusic;
  std::optional<int32_t> chosenDisableMusic;
};

// Where the per-user data folder lies on this machine.
struct UserFolderEnv {
  std::string xdgDataHome;  // $XDG_DATA_HOME; used when absolute
  std::string home;         // the user's home folder
};
UserFolderEnv userFolderEnvFromProcess();

// The per-user folder for the company and product, ending in "/": the user's data
// folder ($XDG_DATA_HOME, else ~/.local/share) followed by the product and the
// company folder when they are not empty. With create, each level is created
// (failures are passed over). Empty when no home folder is known.
std::string getUserDataFolder(const UserFolderEnv& env, const std::string& company, const std::string& product,
                              bool create);

// The file that an install puts beside the program. An installed game keeps what
// it writes in the per-user folder, even where it could write beside itself.
inline constexpr const char* kInstalledMark = "zorlan.installed";

// Chooses the data folder: `programFolder` ("" for the current folder, else a
// folder ending in "/") when it holds no install mark and a "zordata" folder
// there exists or can be made and a file can be created in it; else the
// per-user folder of "Zorlan".
std::string chooseDataFolder(const std::string& programFolder, const UserFolderEnv& env);
// The preference file under a data folder.
std::string prefsPathFor(const std::string& dataFolder);
// Sets the game's data folder (in the session and the game data) and the
// preference-file path.
void chooseDataFolder(Game& game, const std::string& programFolder, const UserFolderEnv& env);

// Reads the preference file (a missing file gives every default). Values out of
// range take their defaults; key codes and buttons out of range keep the
// control's current ones. The window mode is set to 1.
void readPrefsFile(Preferences& prefs, Controls& controls, const std::string& path);
// The preference file's text from the settings and the control table.
std::string buildPrefsText(const Preferences& prefs, const Controls& controls);
// Writes the preference file atomically, creating its folder; false on failure.
bool writePrefsFile(const Preferences& prefs, const Controls& controls, const std::string& path);

// The same for the game's own settings, control table and preference path.
void readPrefsFile(Game& game);
bool writePrefsFile(const Game& game);

// Sound output is not available for this run (DisableAudio, the "-s" option or
// an audio device that did not start): the game runs with Sound 0, Music 0 and
// DisableMusic 1, while the preference file keeps the player's own values.
void applyAudioFallback(Preferences& prefs);
// DisableMusic is set: the game runs with Music 0; the file keeps the player's value.
void applyMusicDisabled(Preferences& prefs);

// A screen opened in this mode: it becomes the mode the file keeps.
void noteScreenOpened(Preferences& prefs, int32_t width, int32_t height, int32_t depth);
// A screen could not be opened in this mode. When it is the mode the file would
// keep, the file gets the default mode instead, so the next start can open.
void noteScreenFailed(Preferences& prefs, int32_t width, int32_t height);

}  // namespace zor
