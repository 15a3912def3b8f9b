// Travel statements (lock, unlock, setzone, warp, reloadzone, checkpoint) and
// what they share with `set`.
#pragma once

#include <cstdint>

#include "game/world/world.h"

namespace zor {

// The level the player stands on, as an index of the level table: the player's
// own level when it is one, else the table's level for it (past the end:
// modulo the level count; negative: the level nearest the player's depth).
// -1 only for an empty table.
int32_t playerLevelIndex(const World& world);

}  // namespace zor
