// Elements of the game document by their ID, as `call`, `loop`, `beat`,
// `killqueue`, script attributes and warps name them. The document keeps the
// index it made while parsing, so that a script calling a sub does not search
// the whole document each time.
#pragma once

#include <string_view>

#include "platform/xml.h"

namespace zor {

struct GameData;

// The first element, depth-first in document order, whose first attribute named
// "id" in any letter case equals `id` ignoring letter case (as
// xml::Document::findById finds it); null when none.
const xml::Node* findElementById(const GameData& data, std::string_view id);

}  // namespace zor
