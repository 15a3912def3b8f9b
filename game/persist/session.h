// The player's session on disk: where the game keeps its files, and the play
// counters that the save file stores.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zor {

struct Session {
  // Put before every "zordata/..." path the game writes: empty for the
  // program's own folder, else an absolute folder ending in "/". The game-file
  // loader reads the same value from GameData::dataFolder; chooseDataFolder sets both.
  std::string dataFolder;
  std::string prefsPath;  // dataFolder + "zordata/saves/pref-mac.ini"

  // Play counters kept in the save file.
  int32_t attempts = 1;
  int32_t deaths = 0;
  int32_t frameCounter = 0;
  // Speedrun definitions whose best time is not 0.
  int32_t unlockedSpeedruns = 0;

  // Game flags given on the command line ("-f"); replaces the saved flags at the
  // first reading of the save file only, "x" meaning none.
  std::string gameFlagOverride;

  std::string dataPath(std::string_view relative) const { return dataFolder + std::string(relative); }
};

}  // namespace zor
