#include "game/load/element_ids.h"

#include "game/load/game_data.h"

namespace zor {

const xml::Node* findElementById(const GameData& data, std::string_view id) {
  return data.document.findById(id);
}

}  // namespace zor
