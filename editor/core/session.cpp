#include "editor/core/session.h"

#include "editor/core/selection.h"
#include "editor/core/zone_dialogs.h"
#include "platform/files.h"
#include "platform/folder_list.h"
#include "platform/text.h"

namespace zor::editor {

namespace {

// "castle.zorlan" -> "castle (2).zorlan"
std::string numberedName(const std::string& name, int n) {
  const std::size_t dot = name.rfind('.');
  const std::string suffix = " (" + text::formatInt(n) + ")";
  if (dot == std::string::npos || dot == 0) return name + suffix;
  return name.substr(0, dot) + suffix + name.substr(dot);
}

void saveBackupsForLater(Editor& editor, const std::vector<std::string>& backups) {
  const std::string& folder = editor.folders.preference;
  std::string renamedNote;
  for (const std::string& backup : backups) {
    const std::string from = folder + backup;
    const std::string base = backup.substr(0, backup.size() - 4);
    if (base.empty()) continue;
    std::string target = base;
    bool saved = false;
    for (int n = 2; n < 1000 && !saved; ++n) {
      if (files::renameNoReplace(from, folder + target)) {
        saved = true;
        break;
      }
      if (files::fileSize(from) == -1) break;  // gone meanwhile
      target = numberedName(base, n);
    }
    if (saved && target != base) renamedNote += "\n" + backup + " -> " + target;
  }
  std::string message = "Backup files will be saved.\n\nYou can find them in the folder:\n" + folder;
  if (!renamedNote.empty()) {
    message += "\n\nThese were saved under a new name, because a file of their name exists:" + renamedNote;
  }
  editor.port.messageBox(kEditorName, message, MessageIcon::Information);
}

// The backup path this editor holds for `usual`: the one it used before while
// the file there is still as it left it (or gone, then taken again), otherwise
// the first of `usual`, "NAME (2).EXT.tmp", ... that nobody holds, created empty
// at once so that no other editor takes it. Empty when none can be created.
std::string claimBackupPath(Editor& editor, const std::string& usual) {
  SessionState& session = editor.session;
  const auto held = session.backupNames.find(usual);
  if (held != session.backupNames.end()) {
    const auto written = session.backupsWritten.find(held->second);
    if (written != session.backupsWritten.end() && files::fileStamp(held->second) == written->second) {
      return held->second;
    }
    session.backupNames.erase(held);
  }
  const std::string folder = files::folderPart(usual);
  const std::string name = files::fileName(usual);
  const std::string base = name.substr(0, name.size() - std::string(kBackupExtension).size());
  for (int n = 1; n < 1000; ++n) {
    const std::string path = n == 1 ? usual : folder + numberedName(base, n) + kBackupExtension;
    bool taken = false;
    if (files::createNewFile(path, &taken)) {
      session.backupNames[usual] = path;
      session.backupsWritten[path] = files::fileStamp(path);
      return path;
    }
    if (!taken) break;
  }
  return std::string();
}

}  // namespace

void readCommandLine(Editor& editor, const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    const std::string path = files::absolutePath(arg, editor.folders.start);
    if (!arg.empty() && files::fileSize(path) > 0) {
      editor.prefs.lastFile = path;
      editor.prefs.lastZone.clear();
    } else if (text::toLower(arg) == "--notemp") {
      editor.session.backupCheck = false;
    }
  }
}

void reopenLastGame(Editor& editor) {
  if (editor.prefs.lastFile.empty()) return;
  const std::string zoneId = editor.prefs.lastZone;
  if (!loadGameFileForEditing(editor, editor.prefs.lastFile)) return;
  if (!zoneId.empty() && openZone(editor, editor.game.document->findById(zoneId))) {
    const std::string& notes = editor.zone.view.notes;
    editor.port.setStatus(0, notes.empty() ? "" : "Zone notes: " + notes);
    refreshPanel(editor);
  }
}

std::vector<std::string> listBackupFiles(const std::string& preferenceFolder) {
  return files::listFilesWithSuffix(preferenceFolder, kBackupExtension);
}

bool runBackupCheck(Editor& editor) {
  if (!editor.session.backupCheck) return true;
  const std::vector<std::string> backups = listBackupFiles(editor.folders.preference);
  if (backups.empty()) return true;
  ChooserRequest request;
  request.title = "ZorlED - Backup Files";
  request.prompt = "Some backup game files were found:";
  request.items = {"Browse and open...", "Save them for later.", "Delete them all."};
  request.preselect = 0;
  request.centreOnDesktop = true;
  request.keepOnTop = true;
  switch (editor.port.runChooser(request)) {
    case 0: {
      closeGame(editor);
      const std::string lastPath = editor.prefs.lastPath;
      editor.prefs.lastPath = editor.folders.preference;
      const bool opened = openGameCommand(editor, "", kBackupPattern);
      const std::string openedPath = editor.game.path;
      editor.prefs.lastPath = lastPath;
      if (opened) {
        // Save must ask for a real place; the backup is deleted at quit only
        // after the question to save it has been answered.
        editor.session.backupsWritten[openedPath] = files::fileStamp(openedPath);
        editor.game.path.clear();
        editor.game.fileName.clear();
        editor.prefs.lastFile.clear();
        markModified(editor);
        editor.port.setStatus(0, "This is a temporary file. You should save it as soon as possible.");
      }
      break;
    }
    case 1: saveBackupsForLater(editor, backups); break;
    case 2:
      for (const std::string& backup : backups) files::deleteFile(editor.folders.preference + backup);
      break;
    default: quitEditor(editor, true); return false;
  }
  return true;
}

std::string backupPathFor(const Editor& editor) {
  const std::string name = editor.game.fileName.empty() ? std::string("zorled.xml") : editor.game.fileName;
  return editor.folders.preference + name + kBackupExtension;
}

bool afterEvent(Editor& editor) {
  if (editor.session.ended) return true;
  if (gameOpen(editor)) {
    const int64_t now = editor.port.now();
    if (now - editor.session.lastBackupTime > kBackupIntervalSeconds) {
      const std::string usual = backupPathFor(editor);
      const std::string path = files::createPath(editor.folders.preference) ? claimBackupPath(editor, usual) : "";
      if (!path.empty() && writeGameFile(editor, path, false)) {
        editor.session.backupsWritten[path] = files::fileStamp(path);
      } else {
        // A name claimed for nothing is given back.
        if (!path.empty() && files::fileSize(path) == 0 &&
            files::fileStamp(path) == editor.session.backupsWritten[path]) {
          files::deleteFile(path);
          editor.session.backupsWritten.erase(path);
          editor.session.backupNames.erase(usual);
        }
        editor.port.setStatus(0, "Failed to save automatic backup: " + (path.empty() ? usual : path));
      }
      editor.session.lastBackupTime = now;
    }
  }
  if (editor.session.quitRequested) {
    quitEditor(editor, false);
    return true;
  }
  return false;
}

void requestClose(Editor& editor) {
  if (confirmDiscardChanges(editor)) editor.session.quitRequested = true;
}

void quitEditor(Editor& editor, bool skip) {
  if (editor.session.ended) return;
  editor.port.showMainWindow(false);
  if (!skip) {
    savePreferences(editor.prefs, editor.folders.preference);
    // A backup that changed since this process left it is another's now.
    for (const auto& [backup, stamp] : editor.session.backupsWritten) {
      if (files::fileStamp(backup) == stamp) files::deleteFile(backup);
    }
  }
  editor.session.ended = true;
  editor.port.endProgram(0);
}

void fatalError(Editor& editor, const std::string& message) {
  editor.port.messageBox(std::string(kEditorName) + " - Error", message, MessageIcon::Error);
  if (editor.session.ended) return;
  editor.port.showMainWindow(false);
  // The preferences are kept; no backup is deleted, since the work may live only there.
  savePreferences(editor.prefs, editor.folders.preference);
  editor.session.ended = true;
  editor.port.endProgram(1);
}

void openNewEditorWindow(Editor& editor, const std::string& executable) {
  if (gameOpen(editor) && editor.game.modified) {
    const Answer answer =
        editor.port.ask(kEditorName, "Save changes before opening new window?", QuestionButtons::YesNoCancel);
    if (answer == Answer::Cancel) return;
    if (answer == Answer::Yes && !saveCurrentGame(editor)) return;
  }
  EditorPreferences& p = editor.prefs;
  const int winMax = p.winMax;
  p.winMax = 0;
  p.winX += 30;
  p.winY += 30;
  savePreferences(p, editor.folders.preference);
  editor.port.startProcess({executable, "--notemp"}, files::currentFolder(), false);
  p.winX -= 30;
  p.winY -= 30;
  p.winMax = winMax;
}

bool openDroppedFiles(Editor& editor, const std::string& droppedPaths) {
  std::string first = text::field(droppedPaths, '\n', 0);
  if (!first.empty() && first.back() == '\r') first.pop_back();
  if (first.empty() || files::fileSize(first) <= 0) return false;
  return openGameThenChooseZone(editor, first);
}

}  // namespace zor::editor
