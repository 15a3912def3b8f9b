// One frame of world simulation: object motion, bodies and collisions, then
// areas, camera and the background fade.
#pragma once

#include "game/world/world.h"

namespace zor {

struct Game;

// Advances the running zone by one frame. The frame loop calls it once per game
// frame, right after the player-control step.
void stepWorld(Game& game);

// The play step of one game frame: the frame's control states (game.controls,
// as read or as a replay fed them back) go in; the player-control step and the
// world step run; what they ask of the program comes out (the pause menu, a
// screenshot, the effects to play, in order). A zone change stays in
// world.requests until the frame loop loads the zone at the frame's end.
PlayRequests stepPlay(Game& game);

}  // namespace zor
