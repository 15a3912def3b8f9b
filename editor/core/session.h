// The program's life: the start-up sequence after the windows exist (command
// line, reopening the last game and zone, the backup-file check), the steps
// after each event (automatic backup, quitting), quitting, the fatal error and
// starting a second instance.
#pragma once

#include <string>
#include <vector>

#include "editor/core/editor.h"

namespace zor::editor {

inline constexpr int64_t kBackupIntervalSeconds = 60;
inline constexpr const char* kBackupExtension = ".tmp";

// Reads the command line (arguments without the program name). Every argument
// naming a file larger than 0 bytes (relative to the start folder) becomes
// LastFile and clears LastZone; "--notemp" in any case turns the backup check off.
void readCommandLine(Editor& editor, const std::vector<std::string>& args);

// Reopens LastFile and LastZone, silently.
void reopenLastGame(Editor& editor);

// The backup files in the preference folder, sorted by name.
std::vector<std::string> listBackupFiles(const std::string& preferenceFolder);
// Offers the backups left by an earlier run. Returns false when the user
// cancelled: the program then ends without writing or deleting anything.
bool runBackupCheck(Editor& editor);

// The usual path of the automatic backup of the open game. When another editor
// holds that name, the backup goes to a numbered one beside it ("NAME (2).tmp").
std::string backupPathFor(const Editor& editor);
// After every event of the main loop: the automatic backup when due, then the
// quit when requested. Returns true when the program is ending.
bool afterEvent(Editor& editor);

// A close request for the main window.
void requestClose(Editor& editor);
// Hides the window, writes the preferences and deletes this process's backups
// (skip: nothing is written or deleted), then ends the program.
void quitEditor(Editor& editor, bool skip);
// The error box, then the quit path without deleting any backup.
void fatalError(Editor& editor, const std::string& message);
// Starts another editor process (New Window).
void openNewEditorWindow(Editor& editor, const std::string& executable);

// Files dropped on the canvas: the first path, when it names a non-empty file,
// opened as Open does (the zone chooser follows). Returns true when a game was opened.
bool openDroppedFiles(Editor& editor, const std::string& droppedPaths);

}  // namespace zor::editor
