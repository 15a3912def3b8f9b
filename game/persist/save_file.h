// The save file: where the player resumes, the play counters, the game flags
// and the speedrun records, in the preference-file form, group "Gamestate".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zor {

struct Game;

// Save files are small; a larger file is not read (every key takes its default).
inline constexpr std::size_t kMaxSaveFileBytes = 1u << 20;

// Reads game.data.saveFilePath (set by the game-file loader, saveFilePathFor): resume zone and entrance (into the world's
// currentZoneId and entranceName), counters, game flags (or the command line's
// override, once) and, unless skipRecords, the speedrun records. A missing,
// unreadable or too large file gives every default.
void readSaveFile(Game& game, int skipRecords);
// The same from a file's text.
void readSaveText(Game& game, std::string_view text, int skipRecords);

// The save file's text from the game's state.
std::string buildSaveText(const Game& game);
// Writes the save file atomically, creating its folder; false on failure (the
// old file is then left as it was).
bool writeSaveFile(const Game& game);

}  // namespace zor
