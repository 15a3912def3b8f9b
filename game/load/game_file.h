// Loading the game file (or the built-in game) at start-up: the document that
// zones are read from later, the game texts, block classes, speedrun
// definitions, custom sounds and the save-file path.
#pragma once

#include <cstddef>
#include <string>

#include "game/model/game_model.h"  // deriveBrake, readGameModel

namespace zor {

struct Game;

// The largest built-in game text we inflate; a block claiming more is refused.
inline constexpr std::size_t kMaxBuiltinGameBytes = 64u * 1024u * 1024u;

// Opens game.data.gameFilePath, or the built-in game when it is empty or when
// the player agrees after the file could not be read. Returns 0. On every
// failure it calls fatalError and returns at once (game.failed is set and no
// document is kept).
int loadGameFile(Game& game);
// The same with `builtin` (length + zlib stream) standing for the built-in game.
int loadGameFile(Game& game, const unsigned char* builtin, std::size_t builtinSize);

// Reads the game-wide part of the parsed game.data.document: the five texts,
// the class map, the speedrun list and the `loadsounds` elements; then fixes
// the save-file path and marks the document loaded.
void readGameData(Game& game);

// dataFolder + "zordata/saves/save.ini" for the built-in game (empty path),
// else dataFolder + "zordata/saves/save-" + file name of the game file + ".ini".
std::string saveFilePathFor(const std::string& dataFolder, const std::string& gameFilePath);


// Applies the `loadsounds` elements in document order: loads each named WAV
// into its slot (loadEffectSlot) and sets the slot's volume.
// Start-up calls it once sound output is running, before the built-in effects.
void applyCustomSounds(Game& game);

}  // namespace zor
