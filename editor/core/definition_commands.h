// Edit Class, Edit Speedrun and Delete Speedrun: a definition chosen from the
// game, edited as XML in the script window or deleted after a confirmation;
// Reorder Speedruns: a speedrun moved before another or after the last.
#pragma once

#include "editor/core/commands.h"

namespace zor::editor {

struct Editor;

// Each returns true when the game was changed.
bool editClassCommand(Editor& editor);
bool editSpeedrunCommand(Editor& editor);
bool deleteSpeedrunCommand(Editor& editor);
bool reorderSpeedrunsCommand(Editor& editor);

// The commands above from the menus; true when the command was one of them.
bool dispatchDefinitionEditCommand(Editor& editor, Command command);

}  // namespace zor::editor
