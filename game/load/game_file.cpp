#include "game/load/game_file.h"

#include <zlib.h>

#include <cstdint>
#include <new>
#include <string>
#include <vector>

// Up: loading a game file fills the game data and the session, and loads custom
// sounds into the game's effect slots.
#include "game/game.h"
#include "game/load/builtin_game.h"
#include "game/model/game_model.h"
#include "game/load/element_ids.h"
#include "platform/app_platform.h"
#include "platform/text.h"
#include "platform/xml.h"
// Up: custom sounds go straight into the effect slots.
#include "game/audio/effects.h"

namespace zor {

namespace {

// Inflates the built-in block into `out`. Returns the fatal message, or the
// empty string on success.
std::string inflateBuiltin(const unsigned char* block, std::size_t size, std::string& out) {
  if (block == nullptr || size < 4) return "Game could not be loaded!";
  const uint32_t n = static_cast<uint32_t>(block[0]) | (static_cast<uint32_t>(block[1]) << 8) |
                     (static_cast<uint32_t>(block[2]) << 16) |
                     (static_cast<uint32_t>(block[3]) << 24);
  if (n > kMaxBuiltinGameBytes) return "Game memory could not be allocated!";
  std::vector<unsigned char> buffer;
  try {
    buffer.resize(static_cast<std::size_t>(n) + 16);
  } catch (const std::bad_alloc&) {
    return "Game memory could not be allocated!";
  }
  uLongf produced = static_cast<uLongf>(n);
  const int result = uncompress(buffer.data(), &produced, block + 4, static_cast<uLong>(size - 4));
  if (result != Z_OK || produced > n) return "Game could not be loaded!";
  out.assign(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(produced));
  return {};
}

// Checks the outcome of parsing into the game document and reports a failure.
// Returns false after a fatal error.
bool takeParsed(Game& game, bool parsed, const xml::ParseError& error) {
  if (!parsed && error.code == -1) {
    // No parser or no room for the document: nothing could be made of the text.
    fatalError(game, "Game file could not be loaded!");
    return false;
  }
  if (!parsed) {
    fatalError(game, "Game file error on line " + text::formatInt(error.line) + "!");
    return false;
  }
  if (game.data.document.root() == nullptr) {
    game.data.document = xml::Document();
    fatalError(game, "Game file could not be loaded!");
    return false;
  }
  return true;
}

bool loadBuiltin(Game& game, const unsigned char* builtin, std::size_t builtinSize) {
  std::string bytes;
  if (std::string message = inflateBuiltin(builtin, builtinSize, bytes); !message.empty()) {
    fatalError(game, message);
    return false;
  }
  xml::ParseError error;
  bool parsed = false;
  try {
    parsed = game.data.document.parse(bytes, &error);
  } catch (const std::bad_alloc&) {
    game.data.document = xml::Document();
    fatalError(game, "Game file could not be loaded!");
    return false;
  }
  return takeParsed(game, parsed, error);
}

}  // namespace

std::string saveFilePathFor(const std::string& dataFolder, const std::string& gameFilePath) {
  if (gameFilePath.empty()) return dataFolder + "zordata/saves/save.ini";
  const std::size_t slash = gameFilePath.rfind('/');
  const std::string fileName =
      slash == std::string::npos ? gameFilePath : gameFilePath.substr(slash + 1);
  return dataFolder + "zordata/saves/save-" + fileName + ".ini";
}

void readGameData(Game& game) {
  GameData& data = game.data;
  data.classes.clear();
  data.speedruns.clear();
  data.loadSounds.clear();
  const xml::Node* root = data.document.root();
  if (root == nullptr) return;
  GameModel model = readGameModel(*root);
  data.title = std::move(model.title);
  data.author = std::move(model.author);
  data.version = std::move(model.version);
  data.url = std::move(model.url);
  data.description = std::move(model.description);
  data.classes = std::move(model.classes);
  data.speedruns = std::move(model.speedruns);
  data.loadSounds = std::move(model.loadSounds);
  data.saveFilePath = saveFilePathFor(game.session.dataFolder, data.gameFilePath);
  data.documentLoaded = true;
}

int loadGameFile(Game& game) { return loadGameFile(game, kBuiltinGame, kBuiltinGameSize); }

int loadGameFile(Game& game, const unsigned char* builtin, std::size_t builtinSize) {
  GameData& data = game.data;
  data.acceptStartupFiles = false;
  data.documentLoaded = false;
  data.document = xml::Document();

  bool useBuiltin = data.gameFilePath.empty();
  if (!useBuiltin) {
    xml::ParseError error;
    bool parsed = false;
    try {
      parsed = data.document.load(data.gameFilePath, &error);
    } catch (const std::bad_alloc&) {
      data.document = xml::Document();
      fatalError(game, "Game file could not be loaded!");
      return 0;
    }
    if (!parsed && error.code == -1) {
      // The file could not be opened or read: offer the built-in game.
      const std::string path = data.gameFilePath;
      data.gameFilePath.clear();
      const bool yes = game.platform &&
                       game.platform->askYesNo("Zorlan", "Game file could not be loaded:\n" + path +
                                                              "\n\nContinue with default game?");
      if (!yes) {
        fatalError(game, "");
        return 0;
      }
      useBuiltin = true;
    } else if (!takeParsed(game, parsed, error)) {
      return 0;
    }
  }
  if (useBuiltin && !loadBuiltin(game, builtin, builtinSize)) return 0;

  readGameData(game);
  return 0;
}

void applyCustomSounds(Game& game) {
  const GameData& data = game.data;
  std::string folder;
  if (data.gameFilePath.empty()) {
    folder = game.session.dataFolder + "zordata/";
  } else {
    const std::size_t slash = data.gameFilePath.rfind('/');
    if (slash != std::string::npos) folder = data.gameFilePath.substr(0, slash + 1);
    folder += "./";
  }

  for (const CustomSoundRecord& sound : data.loadSounds) {
    if (!sound.file.empty()) loadEffectSlot(game, sound.slot, folder + sound.file);
    game.sounds.soundVolumes[sound.slot] = sound.volume;
  }
}

}  // namespace zor
