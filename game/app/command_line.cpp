#include "game/app/command_line.h"

#include "game/game.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zor {
namespace {

// Takes a parameter by the kind of file it names; anything else is passed over.
void takeFile(StartParameters& p, const std::string& path, const std::string& startFolder) {
  switch (fileKindOf(path)) {
    case FileKind::Game:
      p.gameFilePath = files::absolutePath(path, startFolder);
      break;
    case FileKind::Run:
      p.runFilePath = files::absolutePath(path, startFolder);
      p.runFileAsGiven = path;
      break;
    case FileKind::None:
      break;
  }
}

}  // namespace

FileKind fileKindOf(std::string_view path) {
  const std::string ext = text::toLower(files::extension(path));
  if (ext == "xml" || ext == "zorlan") return FileKind::Game;
  if (ext == "zorrun") return FileKind::Run;
  return FileKind::None;
}

void readCommandLine(StartParameters& p, const std::vector<std::string>& rawArgs, const std::string& startFolder) {
  // The argument that identifies the process to the desktop is never a parameter.
  std::vector<std::string> args;
  for (const std::string& a : rawArgs) {
    if (a.rfind("-psn_", 0) != 0) args.push_back(a);
  }
  std::size_t i = 0;
  auto nextValue = [&]() -> std::string { return i < args.size() ? args[i++] : std::string(); };
  while (i < args.size()) {
    const std::string param = args[i++];
    if (param.empty()) break;
    const std::string q = text::toLower(param);
    if (q == "-x") {
      p.gameFilePath.clear();
      p.startZone.clear();
      p.startEntrance.clear();
      break;
    } else if (q == "-k") {
      p.keyboardSetup = true;
    } else if (q == "-s") {
      p.disableAudio = true;
    } else if (q == "-r") {
      const std::string v = nextValue();
      p.runFilePath = files::absolutePath(v, startFolder);
      p.runFileAsGiven = v;
    } else if (q == "-g") {
      p.gameFilePath = files::absolutePath(nextValue(), startFolder);
    } else if (q == "-z") {
      const std::string v = nextValue();
      p.startZone = text::field(v, ':', 0);
      p.startEntrance = text::field(v, ':', 1);
    } else if (q == "-f") {
      p.gameFlagOverride = nextValue();
    } else {
      takeFile(p, param, startFolder);
    }
  }
}

void applyStartParameters(Game& game, const StartParameters& params) {
  game.start = params;
  game.data.gameFilePath = params.gameFilePath;
  game.session.gameFlagOverride = params.gameFlagOverride;
}

}  // namespace zor
