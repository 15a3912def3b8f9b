// The editor's whole state, passed explicitly to everything that works on it.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "editor/core/canvas_state.h"
#include "editor/core/dialogs.h"
#include "editor/core/game_document.h"
#include "editor/core/port.h"
#include "editor/core/preferences.h"
#include "editor/core/property_panels.h"
#include "editor/core/script_edit.h"
#include "editor/core/zone_records.h"
#include "platform/files.h"

namespace zor::editor {

// State of the running program beside the document and the zone.
struct SessionState {
  bool quitRequested = false;
  int64_t lastBackupTime = 0;  // local seconds since 1970
  bool backupCheck = true;     // off after "--notemp"
  int openPatternIndex = 0;    // the pattern chosen last in the open requester
  // Backups this process wrote (or opened), each with the stamp of the file as
  // this process left it; at quit only those still so are deleted.
  std::map<std::string, files::FileStamp> backupsWritten;
  // The backup name this process holds for each usual backup name, when another
  // editor held the usual one.
  std::map<std::string, std::string> backupNames;
  bool ended = false;  // the program has been asked to end
};

struct Editor {
  explicit Editor(EditorPort& p) : port(p) {}
  EditorPort& port;
  EditorFolders folders;
  EditorPreferences prefs;
  GameFileState game;
  ZoneState zone;
  SessionState session;
  DialogResults dialogs;
  CanvasState canvas;
  // What the shown side panel holds, typed texts included; the panel view fills it.
  PanelState panel;
  ScriptEditorState script;
};

}  // namespace zor::editor
