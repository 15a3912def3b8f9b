// What a block element (or its class, or an `explode` statement) gives an
// object: its attributes read into values, and its `standon` and `die` scripts.
// Reading needs no game; the game applies the values to an object (with the
// rules that follow them) when it builds the zone.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "format/values.h"
#include "game/model/game_model.h"
#include "platform/xml.h"

namespace zor {

// The element of the game document with this id (any letter case); null when none.
using ElementLookup = std::function<const xml::Node*(std::string_view id)>;

// Block classes by trimmed lower-case name, as GameModel::classes holds them.
using ClassMap = std::map<std::string, ClassRecord>;

// The attributes of one element that set an object's fields (present and not
// empty, names in any letter case), each already in the form the object keeps;
// an absent one leaves the field alone. Where two attribute names set one field
// (`freq`, `fall`, `smp`) the last in document order is kept.
struct BlockParams {
  std::optional<float> x, y, w, h, z;
  std::optional<int8_t> level;  // kept in 8 bits; -1 asks for the level nearest to z
  std::optional<format::ColourPair> colour;
  std::optional<float> trans;
  uint32_t flags = 0;            // `flg` words, added to the object's flags
  std::optional<uint32_t> wave;  // replaces the wave code
  std::optional<float> freq;     // cycles per frame (`freq` / 60), or |`fall`|, |`smp`|
  std::optional<float> gravity;  // |`grav`| x 0.7
  std::optional<float> duty;
  std::optional<int32_t> count;
  std::optional<float> phase;  // in cycles (`phase` / 360)
  std::optional<format::Limits> xlim, ylim;
  std::optional<int8_t> priority;  // kept in 8 bits
  std::optional<std::string> persistGroup;  // lower case
  // A `fall` attribute (exactly so named) with a value: a bouncy object keeps
  // its fall speed rather than starting still.
  bool keepsFall = false;
  // The last `standon` child's script (the element its `sub` names, else the
  // child) and the last `times` given on one; the last `die` child's script.
  const xml::Node* standOnScript = nullptr;
  std::optional<int16_t> standOnTimes;
  const xml::Node* dieScript = nullptr;
};

// One `block` element of a zone.
struct BlockRecord {
  const xml::Node* node = nullptr;
  std::string oname;  // trimmed, lower case; empty for an anonymous block
  // The class `class` names (exact name, as the class map holds it); null when
  // none. With a class element, that element's own values come first.
  const ClassRecord* objectClass = nullptr;
  std::optional<BlockParams> classParams;
  BlockParams params;
};

// Reads the element's attributes and child scripts. `sub` names are looked up
// with findById; one that names nothing leaves the child itself as the script
// and is reported.
BlockParams readBlockParams(const xml::Node& element, const ElementLookup& findById,
                            std::vector<ModelError>& errors);

// The values of class elements already read, for the blocks of one read.
using ClassParamsCache = std::map<const ClassRecord*, BlockParams>;
// Reads a `block` element with its class (looked up in classes). A `class`
// that names no class is reported; the block is read without one. With a
// cache, each class element is read once (and its faults reported once).
BlockRecord readBlockRecord(const xml::Node& element, const ClassMap& classes,
                            const ElementLookup& findById, std::vector<ModelError>& errors,
                            ClassParamsCache* classCache = nullptr);

}  // namespace zor
