// The test run: the open game written to a temporary game file and played by
// the game program at the zone and entrance being edited, with the chosen
// game flags; the editor waits for the game and cleans up after it.
#pragma once

#include <string>
#include <vector>

namespace zor::editor {

struct Editor;
class CommandHost;

// The game program's name beside the editor.
inline constexpr const char* kGameProgramName = "zorlan";

// A regular file that may be executed.
bool isExecutableFile(const std::string& path);
// The `Executable` preference when it names an executable file; else the game
// program in the editor's own folder (the test run stores it as the
// preference); else empty.
std::string findGameExecutable(const Editor& editor);
// The "Game Executable..." command: a requester that shows all files and takes
// only an executable, stored as the preference. True when one was stored.
bool chooseGameExecutable(Editor& editor);

// What the game is told to start at: everything after the first "_" of an
// entrance's element name (empty for the default entrance).
std::string entranceNamePart(const std::string& elementName);
// The entrance part for the open zone: the one selected entrance, else (with
// `nearest`) the entrance nearest the camera, else "-". False when nearest is
// asked for and the zone has no entrance.
bool startEntrancePart(const Editor& editor, std::string* part);

// The game's command line: the program, "-g" and the game file, "-z" with
// zone and entrance when a zone is given, "-f" with the flags by test mode
// (0: nothing, 1: "x" for none, 2: the list, "x" when it is empty).
std::vector<std::string> testRunArguments(const std::string& executable, const std::string& gameFile,
                                          const std::string& zoneId, const std::string& entrance, bool withZone,
                                          int gflagTestMode, const std::string& setflags);

// Creates a new, empty temporary game file in `folder` under a name no file
// has: "zorled.xml", else "zorled-2.xml", "zorled-3.xml", ... Empty when
// none could be made. Existing files are never touched.
std::string createTemporaryGameFile(const std::string& folder);

// The Test command.
void startTestRun(Editor& editor, CommandHost& host);

}  // namespace zor::editor
