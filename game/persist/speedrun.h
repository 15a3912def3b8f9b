// Speedruns: starting a timed run of a speedrun definition, its end, and the
// two records each definition keeps. A run never changes the saved game: the
// save is written and put aside before the run and put back when it ends;
// only the records (and speedruns unlocked meanwhile) survive the run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zor {

struct Game;
struct SpeedrunRecord;

// One change of a control in a recorded run (also its 6-byte form in run files).
struct RunEvent {
  int32_t frame = 0;    // the run's frame counter at which it applies
  uint8_t control = 0;  // 0..12; 0 for the markers
  uint8_t kind = 0;     // run_event kinds
  bool operator==(const RunEvent&) const = default;
};

namespace run_event {
inline constexpr uint8_t Up = 0;
inline constexpr uint8_t Down = 1;
inline constexpr uint8_t EndOfRun = 0x10;
inline constexpr uint8_t Stop = 0x20;
}  // namespace run_event

// The countdown before a run: the world stands still until the frame counter passes it.
inline constexpr int32_t kRunCountdownFrames = 180;

// The speedrun state besides the program shell's runNumber, the random state's
// replaying flag and seeds, and the menu's current speedrun.
struct SpeedrunState {
  bool recording = false;     // a live run records its input
  int32_t runFinished = 0;    // 1 when `endspeedrun` ended the run
  std::vector<RunEvent> events;
  int32_t replayCursor = -1;  // index of the next event to replay; -1 for none
  std::string replayFilePath; // the run file being replayed
  // The save file's text as it was put aside before the run; restored from
  // when the ".tmp" copy cannot be read back.
  std::string backupText;
  bool haveBackup = false;
};

// Game flags cleared, attempts 1, deaths and frames 0.
void resetRunCounters(Game& game);
// Writes the save file and copies it to the save path + ".tmp"; the run state
// becomes "backed up" (runNumber 1, neither recording nor replaying).
void backupSaveForRun(Game& game);
// Starts a run of the menu's current speedrun: replay 1 plays the loaded run
// events, 0 records. Nothing without a current speedrun.
void startSpeedrun(Game& game, bool replay);
// Ends any run and puts the saved game back; keepZone 0 also reloads the
// saved zone.
void endSpeedrun(Game& game, bool keepZone);
// The end of a run: marks it, opens the menu from play and shows RESULTS.
void finishRun(Game& game, int finished);

enum class RecordOutcome { None, Complete, NewRecord };
struct RecordUpdate {
  RecordOutcome outcome = RecordOutcome::None;
  bool timeMarked = false;
  bool deathsMarked = false;
};
// Applies a completed run of `time` frames with `deaths` deaths to the records.
RecordUpdate updateSpeedrunRecords(SpeedrunRecord& run, int32_t time, int32_t deaths);

// The `endspeedrun` test of a `level` value against the running run number
// (false while no run is active).
bool runLevelMatches(std::string_view level, int32_t runNumber);
// Unlocks the first speedrun whose name is `name` upper-cased, when locked.
void unlockSpeedrun(Game& game, std::string_view name);
// The menu's current speedrun; null for none.
SpeedrunRecord* currentSpeedrunRecord(Game& game);

}  // namespace zor
