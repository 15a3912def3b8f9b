// The Game File Cleanup window (window 9): input choice, the clean-up passes
// to run, Run and Close, and the log of the last run.
#pragma once

namespace zor::editor {
struct Editor;
}

namespace zor::editor::ui {

class WxPort;

// Fills window 9 with its gadgets the first time and runs it modally.
void runCleanUpDialog(Editor& editor, WxPort& port);

}  // namespace zor::editor::ui
