// The save file: where the player resumes, the play counters, the game flags
// and the speedrun records, in the preference-file form, group "Gamestate".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "game/persist/game_flags.h"

namespace zor {

struct Game;
struct GameData;

// The bytes of a GFlags list with every flag below `limit` set: each number and
// its comma.
constexpr std::size_t flagListBytes(int32_t limit) {
  std::size_t bytes = 0;
  int32_t digits = 1;
  for (int64_t from = 0, to = 10; from < limit; from = to, to *= 10, ++digits) {
    const int64_t end = to < limit ? to : limit;
    bytes += static_cast<std::size_t>(end - from) * static_cast<std::size_t>(digits + 1);
  }
  return bytes;
}
inline constexpr std::size_t kMaxFlagListBytes = flagListBytes(GameFlags::kMaxFlag);

// A resume zone or entrance name longer than this is not a zone's: the writer
// writes the default position instead.
inline constexpr std::size_t kMaxSavedNameBytes = 4096;

// The largest save file the writer can make for this game file: the fixed lines,
// the resume position, every game flag set and a record of the longest form for
// every speedrun. The reader takes any file up to this size, so that whatever the
// game wrote it reads again; a larger file is read as missing.
std::size_t saveFileByteLimit(const GameData& data);

// Reads game.data.saveFilePath (set by the game-file loader, saveFilePathFor): resume zone and entrance (into the world's
// currentZoneId and entranceName), counters, game flags (or the command line's
// override, once) and, unless skipRecords, the speedrun records. A missing,
// unreadable or too large file gives every default.
void readSaveFile(Game& game, int skipRecords);
// The same from a file's text.
void readSaveText(Game& game, std::string_view text, int skipRecords);

// The save file's text from the game's state (never longer than saveFileByteLimit).
std::string buildSaveText(const Game& game);
// Writes the save file atomically, creating its folder; false on failure (the
// old file is then left as it was).
bool writeSaveFile(const Game& game);

}  // namespace zor
