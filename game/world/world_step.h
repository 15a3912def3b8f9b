// One frame of world simulation: object motion, bodies and collisions, then
// areas, camera and the background fade.
#pragma once

namespace zor {

struct Game;

// Advances the running zone by one frame. The frame loop calls it once per game
// frame, right after the player-control step.
void stepWorld(Game& game);

// Points the game's respawnPlayer and stepWorld hooks at the world step.
void installWorldHooks(Game& game);

}  // namespace zor
