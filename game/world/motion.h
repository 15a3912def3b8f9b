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

}  // namespace zor
