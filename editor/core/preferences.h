// The editor's folders, its preference file zorled.ini and the recent files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zor::editor {

inline constexpr const char* kEditorName = "ZorlED";
inline constexpr const char* kEditorVersion = "1.3";
inline constexpr const char* kPreferenceFileName = "zorled.ini";
inline constexpr int kDefaultRecentSize = 5;
inline constexpr int kMaxRecentSize = 30;

// Folders, each ending in "/" and absolute.
struct EditorFolders {
  std::string program;     // holds the running executable
  std::string data;        // program + "zordata/" when that folder exists, else program
  std::string preference;  // zorled.ini and the backups
  std::string start;       // the current folder when the program started
};

// Where the preference folder is looked for: `zorled/` beside the program when
// it exists or can be made and a probe file can be written in it; else
// $XDG_CONFIG_HOME/ZorlED/, else $HOME/.config/ZorlED/.
EditorFolders findFolders(const std::string& programFolder, const std::string& startFolder,
                          const std::string& xdgConfigHome, const std::string& home);

struct EditorPreferences {
  int winX = 0;
  int winY = 0;
  int winW = 880;
  int winH = 660;
  int winMax = 0;
  std::string lastPath;  // the folder of the last open or save requester; empty until one is used
  std::string lastFile;
  std::string lastZone;
  std::string executable;
  int mouseWheelZoom = 1;
  std::string scriptFont = "Courier New";
  int scriptFontSize = 10;
  int32_t scriptBackground = 0xFFFFFF;  // 0x00BBGGRR
  int32_t scriptNormal = 0x000000;
  int32_t scriptNode = 0xFF0000;
  int32_t scriptAttrib = 0x0000FF;
  int32_t scriptValue = 0xFF0080;
  int32_t scriptComment = 0x008000;
  int32_t scriptInactive = 0xE0E0FF;
  int32_t scriptSpecial = 0xD0FFD0;
  int32_t scriptLineNumber = 0x0060FF;
  int32_t scriptLineBack = 0x001840;
  std::vector<std::string> recentFiles = std::vector<std::string>(kDefaultRecentSize);
  int canvasStep = 20;
  bool fileFound = false;  // a preference file was read at start-up
};

// Reads zorled.ini text (missing keys give the defaults; a missing or broken
// file gives every default).
EditorPreferences readPreferences(const std::string& path);
EditorPreferences parsePreferences(const std::string& text, bool found);
// Where the open and save requesters start: the folder used last, else the
// folder the editor was started from.
std::string requesterFolder(const EditorPreferences& prefs, const EditorFolders& folders);
// The text of zorled.ini, keys in their fixed order.
std::string preferencesText(const EditorPreferences& prefs);
// Creates the folder and writes zorled.ini atomically; false when that fails.
bool savePreferences(const EditorPreferences& prefs, const std::string& preferenceFolder);

// Moves `path` to the top of the recent files (the oldest falls off when it is
// new); an empty path changes nothing.
void addRecentFile(EditorPreferences& prefs, const std::string& path);

// Window geometry. Maximised: only WinMax is set. Normal: position and inner size. Minimised: nothing.
enum class WindowState { Normal, Maximised, Minimised };
void recordWindowGeometry(EditorPreferences& prefs, WindowState state, int x, int y, int w, int h);

struct ScreenRect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
};
// Keeps the saved window on a screen: a size larger than the largest screen
// shrinks to it (never below the minimum 530 x 265), and a window whose title
// bar would lie on no screen goes back to the first screen.
void fitGeometryToScreens(EditorPreferences& prefs, const std::vector<ScreenRect>& screens);

}  // namespace zor::editor
