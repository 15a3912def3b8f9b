// The GFlag, ZFlag and sound editors' lists: filled from the game, edited row
// by row, and written into the editor's element and `loadsounds` on OK.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "editor/core/game_document.h"

namespace zor::editor {

struct Editor;

struct GFlagRow {
  std::string name;
  bool checked = false;
};
struct GFlagList {
  std::vector<GFlagRow> rows;  // numbers 0 to n - 1
  int testMode = 0;            // 0 saved flags, 1 clear, 2 checked
  bool nearest = true;
};
GFlagList fillGFlagList(const Editor& editor);
// A GFlag's name as typed, without "|".
void renameGFlag(GFlagList& list, int number, const std::string& typed);
// "Max GFlags": rows up to number m; never beyond the highest number the editor reads.
void raiseGFlagCount(GFlagList& list, const std::string& typed);
void applyGFlagList(Editor& editor, const GFlagList& list);

inline constexpr int kZoneFlagCount = 32;
std::array<std::string, kZoneFlagCount> fillZFlagList(const Editor& editor);
void applyZFlagList(Editor& editor, const std::array<std::string, kZoneFlagCount>& names);

using SoundList = std::array<SoundSlot, format::kSoundSlotCount>;
// The rows of the ZFlag and Sound Editor windows.
struct ZFlagNames {
  std::array<std::string, kZoneFlagCount> names;
};
struct SoundRows {
  SoundList slots;
  std::string gamePath;  // where "Select WAV..." starts and what its file is relative to
};

// "Custom Volume": the normalised text, or false when out of 0 to 100.
bool readSoundVolume(const std::string& typed, std::string* volume);
void applySoundList(Editor& editor, const SoundList& sounds);

}  // namespace zor::editor
