#include "editor/core/test_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>

#include "editor/core/commands.h"
#include "editor/core/editor.h"
#include "editor/core/validate.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zor::editor {

namespace {

constexpr const char* kTemporaryBaseName = "zorled";
constexpr int kMaxTemporaryNames = 100;

bool ask(Editor& editor, const std::string& text) {
  return editor.port.ask(kEditorName, text, QuestionButtons::YesNo) == Answer::Yes;
}

// The temporary file of one run: written, then deleted when the run is over,
// only by the run that made it.
struct TemporaryGameFile {
  std::string path;
  ~TemporaryGameFile() {
    if (!path.empty()) files::deleteFile(path);
  }
};

// Writes the open game to a new temporary file in the folder; empty when that fails.
std::string writeTemporaryGame(Editor& editor, const std::string& folder) {
  if (folder.empty()) return "";
  const std::string path = createTemporaryGameFile(folder);
  if (path.empty()) return "";
  if (!writeGameFile(editor, path, false)) {
    files::deleteFile(path);
    return "";
  }
  return path;
}

}  // namespace

bool isExecutableFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string findGameExecutable(const Editor& editor) {
  if (isExecutableFile(editor.prefs.executable)) return editor.prefs.executable;
  const std::string beside = editor.folders.program + kGameProgramName;
  if (!editor.folders.program.empty() && isExecutableFile(beside)) return beside;
  return "";
}

bool chooseGameExecutable(Editor& editor) {
  const std::string start = !editor.prefs.executable.empty() ? editor.prefs.executable : editor.folders.program;
  FileRequest request{"Select Game Executable", start, "All Files (*.*)|*", 0};
  const FileChoice choice = editor.port.openFileRequester(request);
  if (!choice.chosen || choice.path.empty()) return false;
  if (!isExecutableFile(choice.path)) {
    editor.port.messageBox(kEditorName, "This file is not a program that can be run:\r\n" + choice.path,
                           MessageIcon::Warning);
    return false;
  }
  editor.prefs.executable = choice.path;
  return true;
}

std::string entranceNamePart(const std::string& elementName) {
  const std::size_t underscore = elementName.find('_');
  return underscore == std::string::npos ? std::string() : elementName.substr(underscore + 1);
}

bool startEntrancePart(const Editor& editor, std::string* part) {
  const ZoneState& zone = editor.zone;
  if (zone.selectionCount == 1) {
    for (const auto& record : zone.objects) {
      if ((record->flags & objflag::Selected) && record->kind == kind::Entrance && record->node) {
        *part = entranceNamePart(record->node->name);
        return true;
      }
    }
  }
  if (editor.game.nearest == 0) {
    part->assign(1, '-');
    return true;
  }
  const EditorObject* nearest = nullptr;
  float best = 0.0f;
  for (const auto& record : zone.objects) {
    if (record->kind != kind::Entrance || !record->node) continue;
    const float dx = record->x - zone.view.camx;
    const float dy = record->y - zone.view.camy;
    const float dz = record->z - zone.view.camz;
    const float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!nearest || d < best) {
      nearest = record.get();
      best = d;
    }
  }
  if (!nearest) return false;
  *part = entranceNamePart(nearest->node->name);
  return true;
}

std::vector<std::string> testRunArguments(const std::string& executable, const std::string& gameFile,
                                          const std::string& zoneId, const std::string& entrance, bool withZone,
                                          int gflagTestMode, const std::string& setflags) {
  std::vector<std::string> argv = {executable, "-g", gameFile};
  if (withZone) {
    argv.push_back("-z");
    argv.push_back(zoneId + ":" + entrance);
  }
  if (gflagTestMode == 1 || gflagTestMode == 2) {
    argv.push_back("-f");
    argv.push_back(gflagTestMode == 2 && !setflags.empty() ? setflags : "x");
  }
  return argv;
}

std::string createTemporaryGameFile(const std::string& folder) {
  for (int i = 1; i <= kMaxTemporaryNames; ++i) {
    std::string name = kTemporaryBaseName;
    if (i > 1) name.append(1, '-').append(text::formatInt(i));
    name.append(".xml");
    const std::string path = files::joinPath(folder, name);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
      ::close(fd);
      return path;
    }
    if (errno != EEXIST) return "";
  }
  return "";
}

void startTestRun(Editor& editor, CommandHost& host) {
  if (!gameOpen(editor)) return;
  EditorPort& port = editor.port;
  std::string executable;
  for (;;) {
    if (editor.game.zones.empty()) {
      if (ask(editor, "You cannot test a game that contains no zones.\r\nWould you like to create one now?")) {
        dispatchCommand(editor, host, Command::NewZone);
      }
      return;
    }
    executable = findGameExecutable(editor);
    if (!executable.empty()) {
      // The game program found beside the editor becomes the setting.
      editor.prefs.executable = executable;
      break;
    }
    if (!ask(editor, "Could not find game executable.\r\nWould you like to browse for it now?")) return;
    if (!chooseGameExecutable(editor)) return;
  }

  // The run's folder: the game's own, or the data folder beside the game program.
  const std::string folder = !editor.game.path.empty() ? files::folderPart(editor.game.path)
                                                       : files::folderPart(executable) + "zordata/";
  TemporaryGameFile temporary;
  temporary.path = writeTemporaryGame(editor, folder);
  if (temporary.path.empty()) temporary.path = writeTemporaryGame(editor, editor.folders.preference);
  if (temporary.path.empty()) {
    port.messageBox(kEditorName,
                    "Could not save temporary game file:\r\n" +
                        files::joinPath(editor.folders.preference, std::string(kTemporaryBaseName) + ".xml"),
                    MessageIcon::Warning);
    return;
  }

  std::string entrance;
  const bool withZone = editor.zone.openZoneNode != nullptr;
  if (withZone && !startEntrancePart(editor, &entrance)) {
    port.messageBox(kEditorName, "This zone needs at least one entrance!", MessageIcon::Warning);
    return;
  }
  const std::vector<std::string> argv =
      testRunArguments(executable, temporary.path, withZone ? editor.zone.openZoneNode->attr("id") : "", entrance,
                       withZone, editor.game.gflagTestMode, editor.game.setflags);

  if (!editor.game.document->findById("first") &&
      !ask(editor, "Every game requires a zone with the ID 'first'.\n\nContinue testing?")) {
    return;
  }
  std::string warnings;
  if (withZone && !validateZone(editor, &warnings) &&
      !ask(editor, "Zone warnings:\n" + warnings + "\n\nContinue testing?")) {
    return;
  }

  port.showMainWindow(false);
  port.setStatus(0, "");
  // A game never saved whose data folder is missing runs where its file went.
  const std::string runFolder = files::isFolder(folder) ? folder : files::folderPart(temporary.path);
  const process::Result run = port.runProgram(argv, runFolder);
  files::deleteFile(temporary.path);
  temporary.path.clear();
  port.showMainWindow(true);
  if (!run.started) {
    port.messageBox(kEditorName, "Could not start the game:\r\n" + executable + "\r\n\r\n" + run.error,
                    MessageIcon::Warning);
  }
  port.focusCanvas();
  port.redrawCanvas();
}

}  // namespace zor::editor
