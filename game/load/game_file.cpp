#include "game/load/game_file.h"

#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "format/values.h"
#include "format/vocabulary.h"
#include "game/game.h"
#include "game/load/builtin_game.h"
#include "game/load/element_ids.h"
#include "platform/text.h"
#include "platform/xml.h"

namespace zor {

namespace {

std::string removeBlanks(std::string_view s) {
  return text::removeAll(text::removeAll(s, " "), "\t");
}

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

void readClass(GameData& data, const xml::Node& el) {
  const std::string name = text::toLower(text::trim(el.attr("name")));
  if (name.empty()) return;
  ClassRecord& c = data.classes[name];
  c = ClassRecord{};
  c.node = &el;

  if (const std::string& v = el.attr("eflags"); !v.empty()) {
    c.eflags = static_cast<int32_t>(format::readClassFlags(v));
  }
  if (const std::string& v = el.attr("acc"); !v.empty()) {
    c.acc1 = text::parseFloat(text::trim(text::field(v, ',', 0)));
    if (v.find(',') != std::string::npos) {
      c.acc2 = std::fabs(text::parseFloat(text::trim(text::field(v, ',', 1))));
    }
  }
  float brake = 0.0f;
  if (const std::string& v = el.attr("brake"); !v.empty()) brake = text::parseFloat(text::trim(v));
  if (const std::string& v = el.attr("speed"); !v.empty()) c.speed = text::parseFloat(text::trim(v));
  if (const std::string& v = el.attr("asound"); !v.empty()) c.asound = text::parseInt(text::trim(v));
  if (const std::string& v = el.attr("hops"); !v.empty()) {
    const int32_t hops = text::parseInt(text::trim(v));
    c.hops = hops < 0 ? 0 : (hops > 100 ? 100 : hops);
  }
  if (const std::string& v = el.attr("cover"); !v.empty()) {
    c.cover = std::fabs(text::parseFloat(text::trim(v)));
  }
  c.brake = deriveBrake(brake, c.acc1);
}

void readSpeedrun(GameData& data, const xml::Node& el) {
  SpeedrunRecord r;
  r.name = text::toUpper(el.attr("name"));
  r.zone = text::toLower(el.attr("zone"));
  r.entrance = text::toLower(el.attr("entrance"));
  r.gflags = removeBlanks(el.attr("gflags"));
  if (const std::string& v = el.attr("color"); !v.empty()) r.colour = format::readColour(v);
  if (const std::string& v = el.attr("level"); !v.empty()) {
    const int64_t level = std::llabs(static_cast<int64_t>(text::parseInt(v)));
    r.runNumber = level > INT32_MAX ? INT32_MAX : static_cast<int32_t>(level);
  }
  r.startScript = el.childByPath("start");
  data.speedruns.push_back(std::move(r));
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

float deriveBrake(float brake, float acc1) {
  float derived = 1.0f / std::sqrt(std::fabs(acc1) + 1.0f);
  // A non-number acceleration derives nothing usable: take the default one's.
  if (!std::isfinite(derived)) derived = 1.0f / std::sqrt(0.1f + 1.0f);
  if (brake == 0.0f || std::isnan(brake)) return derived;
  float raised = brake;
  if (raised <= 1.0f) {
    // The value raised in whole steps of 1 until it is greater than 1.
    const float steps = std::floor(1.0f - raised);
    raised = raised + steps;
    raised = raised + 1.0f;
  }
  // -Infinity cannot be raised at all (it comes out as NaN): take the derived
  // factor rather than a non-number. +Infinity stays and gives 0.
  if (std::isnan(raised) || raised <= 0.0f) return derived;
  const float result = 1.0f / raised;
  if (!std::isfinite(result)) return derived;
  return result;
}

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
  forgetElementIds(data);
  const xml::Node* root = data.document.root();
  if (root == nullptr) return;

  data.title = root->attr("gtitle");
  data.author = root->attr("gauthor");
  data.version = root->attr("gversion");
  data.url = root->attr("gurl");
  data.description = root->attr("gdesc");

  for (const xml::Node* el = root->firstChild; el != nullptr; el = el->next) {
    if (!el->isElement()) continue;
    const std::string name = xml::toLowerAscii(el->name);
    if (name == "class") {
      readClass(data, *el);
    } else if (name == "speedrun") {
      readSpeedrun(data, *el);
    } else if (name == "loadsounds") {
      data.loadSounds.push_back(el);
    }
  }

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
      const bool yes =
          game.hooks.askYesNo &&
          game.hooks.askYesNo(game, "Zorlan",
                              "Game file could not be loaded:\n" + path +
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

  for (const xml::Node* el : data.loadSounds) {
    const std::string& nums = el->attr("nums");
    if (nums.empty()) continue;
    const std::vector<std::string> slots = text::split(nums, ',');
    const std::vector<std::string> files =
        text::split(text::replaceAll(el->attr("files"), "\\", "/"), '|');
    const std::vector<std::string> vols = text::split(el->attr("vols"), ',');
    for (std::size_t i = 0; i < slots.size(); ++i) {
      const int32_t slot = text::parseInt(slots[i]) % format::kSoundSlotCount;
      if (slot < 0) continue;  // no such slot: nothing to load or set
      if (i < files.size() && !files[i].empty() && game.hooks.loadSoundSlot) {
        game.hooks.loadSoundSlot(game, slot, folder + files[i]);
      }
      int32_t volume = 50;
      if (i < vols.size()) {
        const std::string v = text::trim(vols[i]);
        if (!v.empty()) {
          const int32_t n = text::parseInt(v);
          volume = n < 0 ? 0 : (n > 100 ? 100 : n);
        }
      }
      game.sounds.soundVolumes[slot] = volume;
    }
  }
}

}  // namespace zor
