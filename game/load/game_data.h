// The game-wide part of the game file as the running game holds it: the
// document, its texts, block classes, speedrun definitions and custom sounds
// (read by the game file's model), and where the save file goes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "game/model/game_model.h"
#include "platform/xml.h"

namespace zor {

// The game document's elements by lower-case ID (see element_ids.h).
struct GameData {
  std::string gameFilePath;  // empty: the built-in game
  xml::Document document;
  bool documentLoaded = false;
  std::string title, author, version, url, description;  // gtitle, gauthor, gversion, gurl, gdesc
  std::map<std::string, ClassRecord> classes;  // by trimmed lower-case name
  std::vector<SpeedrunRecord> speedruns;       // document order
  std::vector<CustomSoundRecord> loadSounds;   // of the `loadsounds` elements, document order
  std::string saveFilePath;
  bool acceptStartupFiles = true;  // cleared first thing by loadGameFile
};

}  // namespace zor
