#include "editor/core/preferences.h"

#include <algorithm>
#include <cstdlib>

#include "editor/core/number_text.h"
#include "platform/files.h"
#include "platform/prefs_file.h"
#include "platform/text.h"

namespace zor::editor {

namespace {

std::string withSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

int clampInt(int64_t v, int64_t lo, int64_t hi) { return static_cast<int>(std::clamp(v, lo, hi)); }

// Window positions and sizes beyond any desktop are cut here; fitGeometryToScreens
// then brings the window onto a real screen.
constexpr int64_t kMaxCoordinate = 100000;

int32_t readColour(const prefs::PrefsReader& reader, const char* key, int32_t defaultColour) {
  const std::string* value = reader.find(key);
  if (!value) return defaultColour;
  return readColourText(*value);
}

}  // namespace

EditorFolders findFolders(const std::string& programFolder, const std::string& startFolder,
                          const std::string& xdgConfigHome, const std::string& home) {
  EditorFolders f;
  f.program = withSlash(programFolder);
  f.start = withSlash(startFolder);
  f.data = f.program;
  if (files::isFolder(f.program + "zordata")) f.data = f.program + "zordata/";
  const std::string local = f.program + "zorled/";
  if (!files::isFolder(local)) files::createPath(local);
  if (files::isFolder(local) && files::folderWritable(local)) {
    f.preference = local;
  } else if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/') {
    f.preference = withSlash(xdgConfigHome) + "ZorlED/";
  } else {
    f.preference = withSlash(home.empty() ? std::string("/tmp") : home) + ".config/ZorlED/";
  }
  return f;
}

EditorPreferences parsePreferences(const std::string& text, bool found) {
  prefs::PrefsReader reader;
  reader.parse(text);
  EditorPreferences p;
  p.fileFound = found;
  p.winX = clampInt(reader.readInt("WinX", 0), -kMaxCoordinate, kMaxCoordinate);
  p.winY = clampInt(reader.readInt("WinY", 0), -kMaxCoordinate, kMaxCoordinate);
  p.winW = clampInt(reader.readInt("WinW", 880), 1, kMaxCoordinate);
  p.winH = clampInt(reader.readInt("WinH", 660), 1, kMaxCoordinate);
  p.winMax = reader.readInt("WinMax", 0) != 0 ? 1 : 0;
  p.lastPath = reader.readString("LastPath", "");
  p.lastFile = reader.readString("LastFile", "");
  p.lastZone = reader.readString("LastZone", "");
  p.executable = reader.readString("Executable", "");
  const int64_t wheel = reader.readInt("MouseWheelZoom", 1);
  p.mouseWheelZoom = clampInt(wheel < 0 ? -wheel : wheel, 0, 1000);
  p.scriptFont = reader.readString("ScriptFont", "Courier New");
  p.scriptFontSize = clampInt(reader.readInt("ScriptFontSize", 10), 1, 400);
  p.scriptBackground = readColour(reader, "ScriptBackground", p.scriptBackground);
  p.scriptNormal = readColour(reader, "ScriptNormal", p.scriptNormal);
  p.scriptNode = readColour(reader, "ScriptNode", p.scriptNode);
  p.scriptAttrib = readColour(reader, "ScriptAttrib", p.scriptAttrib);
  p.scriptValue = readColour(reader, "ScriptValue", p.scriptValue);
  p.scriptComment = readColour(reader, "ScriptComment", p.scriptComment);
  p.scriptInactive = readColour(reader, "ScriptInactive", p.scriptInactive);
  p.scriptSpecial = readColour(reader, "ScriptSpecial", p.scriptSpecial);
  p.scriptLineNumber = readColour(reader, "ScriptLineNumber", p.scriptLineNumber);
  p.scriptLineBack = readColour(reader, "ScriptLineBack", p.scriptLineBack);
  int64_t recentSize = reader.readInt("RecentSize", kDefaultRecentSize);
  if (recentSize < 1) recentSize = kDefaultRecentSize;
  recentSize = std::min<int64_t>(recentSize, kMaxRecentSize);
  p.recentFiles.assign(static_cast<std::size_t>(recentSize), std::string());
  for (std::size_t i = 0; i < p.recentFiles.size(); ++i) {
    p.recentFiles[i] = reader.readString("RecentFile" + text::formatInt(static_cast<int64_t>(i) + 1), "");
  }
  return p;
}

EditorPreferences readPreferences(const std::string& path) {
  std::string text;
  const bool found = files::readFile(path, text, prefs::kMaxFileBytes);
  if (!found) text.clear();
  return parsePreferences(text, found);
}

std::string requesterFolder(const EditorPreferences& prefs, const EditorFolders& folders) {
  return prefs.lastPath.empty() ? folders.start : prefs.lastPath;
}

std::string preferencesText(const EditorPreferences& p) {
  prefs::PrefsWriter w;
  w.comment(std::string(kEditorName) + " " + kEditorVersion);
  w.key("WinX", p.winX);
  w.key("WinY", p.winY);
  w.key("WinW", p.winW);
  w.key("WinH", p.winH);
  w.key("WinMax", p.winMax);
  w.key("MouseWheelZoom", p.mouseWheelZoom);
  w.key("LastPath", p.lastPath);
  w.key("LastFile", p.lastFile);
  w.key("LastZone", p.lastZone);
  w.key("Executable", p.executable);
  w.key("RecentSize", static_cast<int64_t>(p.recentFiles.size()));
  for (std::size_t i = 0; i < p.recentFiles.size(); ++i) {
    w.key("RecentFile" + text::formatInt(static_cast<int64_t>(i) + 1), p.recentFiles[i]);
  }
  w.key("ScriptFont", p.scriptFont);
  w.key("ScriptFontSize", p.scriptFontSize);
  w.key("ScriptBackground", colourText(p.scriptBackground));
  w.key("ScriptNormal", colourText(p.scriptNormal));
  w.key("ScriptNode", colourText(p.scriptNode));
  w.key("ScriptAttrib", colourText(p.scriptAttrib));
  w.key("ScriptValue", colourText(p.scriptValue));
  w.key("ScriptComment", colourText(p.scriptComment));
  w.key("ScriptLineNumber", colourText(p.scriptLineNumber));
  w.key("ScriptLineBack", colourText(p.scriptLineBack));
  w.key("ScriptInactive", colourText(p.scriptInactive));
  w.key("ScriptSpecial", colourText(p.scriptSpecial));
  return w.text();
}

bool savePreferences(const EditorPreferences& prefs, const std::string& preferenceFolder) {
  if (!files::createPath(preferenceFolder)) return false;
  return files::writeFileAtomic(files::joinPath(preferenceFolder, kPreferenceFileName), preferencesText(prefs));
}

void addRecentFile(EditorPreferences& prefs, const std::string& path) {
  if (path.empty() || prefs.recentFiles.empty()) return;
  auto& list = prefs.recentFiles;
  std::size_t k = list.size() - 1;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == path) {
      k = i;
      break;
    }
  }
  for (std::size_t i = k; i > 0; --i) list[i] = list[i - 1];
  list[0] = path;
}

void recordWindowGeometry(EditorPreferences& prefs, WindowState state, int x, int y, int w, int h) {
  switch (state) {
    case WindowState::Maximised: prefs.winMax = 1; break;
    case WindowState::Minimised: break;
    case WindowState::Normal:
      prefs.winMax = 0;
      prefs.winX = x;
      prefs.winY = y;
      prefs.winW = w;
      prefs.winH = h;
      break;
  }
}

void fitGeometryToScreens(EditorPreferences& prefs, const std::vector<ScreenRect>& screens) {
  if (screens.empty()) return;
  int maxW = 0;
  int maxH = 0;
  for (const ScreenRect& s : screens) {
    maxW = std::max(maxW, s.w);
    maxH = std::max(maxH, s.h);
  }
  prefs.winW = std::max(530, std::min(prefs.winW, maxW));
  prefs.winH = std::max(265, std::min(prefs.winH, maxH));
  // The title bar's middle must lie on a screen, so that the window can be grabbed.
  const int64_t cx = static_cast<int64_t>(prefs.winX) + prefs.winW / 2;
  const int64_t cy = static_cast<int64_t>(prefs.winY) + 10;
  for (const ScreenRect& s : screens) {
    if (cx >= s.x && cx < static_cast<int64_t>(s.x) + s.w && cy >= s.y && cy < static_cast<int64_t>(s.y) + s.h) return;
  }
  prefs.winX = screens.front().x + std::max(0, (screens.front().w - prefs.winW) / 2);
  prefs.winY = screens.front().y + std::max(0, (screens.front().h - prefs.winH) / 2);
}

}  // namespace zor::editor
