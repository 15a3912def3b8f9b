// Per-frame motion of the world's objects: each object's cycle (phase and wave
// value) and the point of its motion path that the wave value or phase selects.
#pragma once

#include "game/world/world.h"
#include "platform/random.h"

namespace zor {

// Advances every object's cycle and places motion objects on their paths, in
// list order (the player first). Sets each object's previous position, and for
// motion objects the velocity, support and facing. `rand` waves draw from the
// table. The list's cursor is not moved.
void updateObjectMotion(World& world, RandomTable& table);

// What updateObjectMotion does for one object; `player` is the object it
// takes for the player.
void updateMotionOf(ObjectRecord& o, const ObjectRecord& player, RandomTable& table);

}  // namespace zor
