// Run files: a speedrun's name, the seed of the last zone load and the changes
// of the recorded controls, compressed with zlib; and the recording and replay
// of those changes in the input step of every frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/persist/speedrun.h"

namespace zor {

struct Game;

// Limits on what a run file may make the reader take on.
inline constexpr std::size_t kMaxRunFileBytes = 16u << 20;
inline constexpr int64_t kMaxRunEventBytes = 64 << 20;

// The bytes of a run file. Without events, or when compression fails, the
// file ends after the date.
std::string encodeRunFile(std::string_view name, int32_t seed, int32_t date, const std::vector<RunEvent>& events);

struct RunFileContents {
  std::string name;  // upper-cased
  int32_t seed = 0;
  std::vector<RunEvent> events;
  bool eventsRead = false;  // false when the events could not be read (the list is empty)
};
// Reads a run file's bytes; false when the header is refused (magic line,
// version, a missing name line or seed). Events that cannot be read leave the
// list empty but the file accepted.
bool decodeRunFile(std::string_view bytes, RunFileContents& out);

// The path the next run file of the speedrun gets: the first number whose
// file is missing or empty. Empty when no number is free.
std::string nextRunFilePath(const std::string& folder, std::string_view speedrunName);
// Writes the event list as a run file of the current speedrun, atomically;
// returns its path, or empty when it could not be written.
std::string writeSpeedrunFile(Game& game);
// SAVE RUN: with stopMarker the file ends in a stop marker one frame on, which
// the event list does not keep.
std::string saveRunFile(Game& game, bool stopMarker);
// Reads a run file into the event list and makes its speedrun current; false
// when the file is refused or names no speedrun of the game.
bool readSpeedrunFile(Game& game, const std::string& path);

// The input step of a run, once a frame right after the controls are read:
// records the recorded controls' changes while recording, and applies the
// replay's events while replaying (and no menu is shown).
void recordRunInput(Game& game);
void replayRunInput(Game& game);
void stepRunInput(Game& game);

}  // namespace zor
