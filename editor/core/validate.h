// The check of the open zone before a test run: default and duplicate
// entrance names, conflicting block names and the reserved name "you".
#pragma once

#include <string>

namespace zor::editor {

struct Editor;

// True when the open zone has no warning. Otherwise (also when no zone is
// open) false, with the warning lines, joined by line feeds, in `warnings`.
bool validateZone(const Editor& editor, std::string* warnings);

}  // namespace zor::editor
