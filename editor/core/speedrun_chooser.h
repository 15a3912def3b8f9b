// The speedrun chooser of Edit Speedrun and Delete Speedrun.
#pragma once

#include <string>

namespace zor::editor {

struct Editor;

// Lists the root's named `speedrun` elements by lower-cased name in document
// order, preselecting the last one equal to `preselect`. Returns 1 when one was
// chosen (the element in the dialog results' datum), 0 on Cancel or without a
// game, -1 when the game has no named speedrun.
int chooseSpeedrun(Editor& editor, const std::string& title, const std::string& prompt, const std::string& preselect);

}  // namespace zor::editor
