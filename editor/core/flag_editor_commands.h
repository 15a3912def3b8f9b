// The GFlag, ZFlag and Sound Editor commands: the lists are filled from the
// game, shown in their windows through the port and written back on OK. The
// windows' row actions (double-click, Del and the sound buttons) are here too,
// asking through the port.
#pragma once

#include <string>
#include <vector>

#include "editor/core/commands.h"
#include "editor/core/flag_name_editors.h"

namespace zor::editor {

struct Editor;
class EditorPort;

// Each returns 1 when the window was confirmed, else 0.
int editGFlags(Editor& editor);
int editZFlags(Editor& editor);
int editSounds(Editor& editor);

// Runs the three editors' commands; false for any other command.
bool dispatchFlagEditorCommand(Editor& editor, Command command);

// GFlag Editor: a double-click on row `row` (the row past the flags adds rows)
// and Del. The list shows one row more than it has flags.
void activateGFlagRow(EditorPort& port, GFlagList& list, int row);
void clearGFlagRow(GFlagList& list, int row);
// ZFlag Editor: a double-click and Del.
void activateZFlagRow(EditorPort& port, ZFlagNames& names, int row);
void clearZFlagRow(ZFlagNames& names, int row);

// Sound Editor: `selected` holds the selected rows, `current` the focused one.
void renameSelectedSounds(EditorPort& port, SoundRows& rows, const std::vector<int>& selected, int current);
void selectSoundWav(EditorPort& port, SoundRows& rows, const std::vector<int>& selected, int current);
void clearSelectedWavs(SoundRows& rows, const std::vector<int>& selected);
void setSelectedVolumes(EditorPort& port, SoundRows& rows, const std::vector<int>& selected, int current);
void clearSoundRow(SoundRows& rows, int row);
// The built-in name of sound slot `slot`.
std::string builtInSoundName(int slot);

}  // namespace zor::editor
