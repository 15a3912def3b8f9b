// The game-wide part of the game file: the document, its texts, block classes,
// speedrun definitions and custom sounds.
#pragma once

#include <cstdint>
#include <map>
#include <unordered_map>
#include <string>
#include <vector>

#include "platform/xml.h"

namespace zor {

struct ClassRecord {
  const xml::Node* node = nullptr;  // the `class` element: its block attributes are block defaults
  float acc1 = 0.1f;
  float acc2 = 0.1f;
  float brake = 0.0f;
  float speed = 3.0f;
  int32_t eflags = 0;
  int32_t asound = -1;
  int32_t hops = 50;
  float cover = 1e9f;
};

struct SpeedrunRecord {
  std::string name;      // upper-cased
  std::string zone;      // lower-cased
  std::string entrance;  // lower-cased
  std::string gflags;    // blanks removed
  int32_t colour = 0xFFFFFF;
  int32_t runNumber = 1;
  const xml::Node* startScript = nullptr;
  int32_t bestTime = 0;  // 0 while locked
  int32_t bestTimeDeaths = 0;
  int32_t fewestDeathsTime = 0;
  int32_t fewestDeaths = 0;
};

// The game document's elements by lower-case ID (see element_ids.h).
struct ElementIndex {
  const xml::Node* document = nullptr;  // the document node it was built for; null: not built
  std::unordered_map<std::string, const xml::Node*> byId;
};

struct GameData {
  std::string gameFilePath;  // empty: the built-in game
  xml::Document document;
  bool documentLoaded = false;
  mutable ElementIndex elementIds;  // a cache over the document, built at the first look-up
  std::string title, author, version, url, description;  // gtitle, gauthor, gversion, gurl, gdesc
  std::map<std::string, ClassRecord> classes;  // by trimmed lower-case name
  std::vector<SpeedrunRecord> speedruns;       // document order
  std::vector<const xml::Node*> loadSounds;    // `loadsounds` elements, document order
  std::string saveFilePath;
  bool acceptStartupFiles = true;  // cleared first thing by loadGameFile
};

}  // namespace zor
