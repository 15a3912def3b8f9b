// The editor's whole state, passed explicitly to everything that works on it.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "editor/core/canvas_state.h"
#include "editor/core/dialogs.h"
#include "editor/core/game_document.h"
#include "editor/core/port.h"
#include "editor/core/preferences.h"
#include "editor/core/property_panels.h"
#include "editor/core/script_edit.h"
#include "editor/core/zone_records.h"

namespace zor::editor {

// State of the running program beside the document and the zone.
struct SessionState {
  bool quitRequested = false;
  int64_t lastBackupTime = 0;  // local seconds since 1970
  bool backupCheck = true;     // off after "--notemp"
  int openPatternIndex = 0;    // the pattern chosen last in the open requester
  // Backups this process wrote; only these are deleted at quit.
  std::set<std::string> backupsWritten;
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
