// The open game: one XML document edited in place, its header, the editor's
// own settings kept in the game's `zorled` element, loading with its checks
// and messages, saving, Save As, closing and the main window's title.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "format/vocabulary.h"
#include "platform/files.h"
#include "platform/xml.h"

namespace zor::editor {

struct Editor;

// Game-flag numbers the editor accepts from `gnames` (larger ones are skipped).
inline constexpr int kMaxGameFlagNumber = 9999;

struct SoundSlot {
  std::string customName;
  std::string file;
  std::string volume;
};

struct GameFlagName {
  std::string name;
  int number = 0;
};

struct ZoneEntry {
  std::string id;  // as written
  xml::Node* node = nullptr;
};

struct GameFileState {
  std::string gtitle;
  std::string gversion;
  std::string gauthor;
  std::string gurl;
  std::string gdesc;
  std::unique_ptr<xml::Document> document;
  xml::Node* root = nullptr;  // a game is open exactly when this is set
  std::string path;           // empty for a game never saved and for an opened backup
  std::string fileName;
  // The game file as this editor loaded or last saved it: a save over a file
  // changed since (by another editor, say) asks first.
  files::FileStamp diskStamp;
  int gflagTestMode = 0;      // 0 saved flags, 1 "clear", 2 "checked"
  std::string setflags;
  std::vector<GameFlagName> gflagNames;
  int maxGFlags = 32;
  int nearest = 1;
  bool modified = false;
  std::vector<ZoneEntry> zones;  // sorted by id
  std::array<SoundSlot, format::kSoundSlotCount> sounds;
  // Messages of the last failed load.
  std::string loadStatusText;
  std::string loadBoxText;
};

// Patterns of the file requesters.
inline constexpr const char* kOpenPattern = "Zorlan Game Files|*.zorlan;*.xml|All Files (*.*)|*";
inline constexpr const char* kBackupPattern = "Backup Game Files (*.tmp)|*.tmp";
inline constexpr const char* kSavePattern =
    "Zorlan Game File (.zorlan)|*.zorlan|Zorlan Game File (.xml)|*.xml|All Files (*.*)|*";

bool gameOpen(const Editor& editor);

// Loads and checks a game file and makes it the open game. On failure sets the
// two load messages and leaves no game open. The caller has closed any earlier game.
bool loadGameFileForEditing(Editor& editor, const std::string& path);
// Open, recent files, dropped files and the backup chooser. An empty path asks.
bool openGameCommand(Editor& editor, const std::string& path, const std::string& pattern);

// Writes the whole open document (without XML declaration) atomically. A game
// larger than the editor and the game can read is not written; `why`, when
// given, receives the reason of a refusal.
bool writeGameFile(Editor& editor, const std::string& path, bool showStatus, std::string* why = nullptr);
bool saveGameAs(Editor& editor, const std::string& defaultPath);
bool saveCurrentGame(Editor& editor);
// The Save As command: Save As, then the recent files and the modified flag.
bool saveAsCommand(Editor& editor);
bool confirmDiscardChanges(Editor& editor);
bool confirmCloseGame(Editor& editor);
bool closeGame(Editor& editor);
// Makes the document the game being edited (path empty for a new game), with
// the game-wide editor state of a fresh game and nothing modified. The caller
// closes any zone of the game before and reads the game's records after.
void adoptGameDocument(Editor& editor, std::unique_ptr<xml::Document> doc, xml::Node* root,
                       const std::string& path);
void markModified(Editor& editor);
void clearModified(Editor& editor);

std::string windowTitle(const Editor& editor);
void updateWindowTitle(Editor& editor, bool refreshPanel);

xml::Node* getEditorNode(Editor& editor);
xml::Node* findClassNode(const Editor& editor, const std::string& className);
// One element as XML text (see the clipboard, undo and script editor).
std::string nodeToXmlString(const xml::Node* element, const std::string& replacement, bool stripChildren);
// Removes the empty attributes of the game's data elements; returns the count.
int removeUselessAttributes(xml::Node* element);

// The Save As extension rule for the chosen pattern (0 .zorlan, 1 .xml, 2 as typed).
std::string applySaveExtension(const std::string& path, int patternIndex);
// The first Save As pattern for a default path's extension.
int saveAsPatternFor(const std::string& defaultPath);

}  // namespace zor::editor
