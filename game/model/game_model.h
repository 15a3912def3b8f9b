// The game file's model: the game-wide records read from the root element of
// a game file, with no game, window or sound. The game, the editor's clean-up
// and the tests share these readers.
#pragma once

#include <cstdint>
#include <map>
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

// One sound slot that a `loadsounds` element fills: its `nums`, `files` and
// `vols` are parallel lists.
struct CustomSoundRecord {
  int line = 0;          // of the `loadsounds` element
  int32_t slot = 0;      // the slot number modulo the slot count
  std::string file;      // relative to the game's folder, "/" separators; empty: the slot keeps its sound
  int32_t volume = 50;   // 0 to 100
};

// One problem found while reading; reading goes on past it.
struct ModelError {
  int line = 0;  // of the element, 0 when unknown
  std::string message;
};

// The game-wide part of a game file.
struct GameModel {
  std::string title, author, version, url, description;  // gtitle, gauthor, gversion, gurl, gdesc
  std::map<std::string, ClassRecord> classes;  // by trimmed lower-case name; a later class of a name wins
  std::vector<SpeedrunRecord> speedruns;       // document order
  std::vector<CustomSoundRecord> loadSounds;   // of the `loadsounds` elements, document order
  std::vector<ModelError> errors;
};

// Reads the texts, classes, speedruns and custom sounds under the root
// element (names of elements in any case). The records point into the tree,
// which must outlive them.
GameModel readGameModel(const xml::Node& root);

// Braking factor of a class from its `brake` value and first acceleration:
// 0 or NaN derives 1 / sqrt(|acc1| + 1); otherwise the value raised in whole
// steps until it exceeds 1, inverted. Always finite, between 0 and 1.
float deriveBrake(float brake, float acc1);

}  // namespace zor
