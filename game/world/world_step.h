// One frame of play: the player-control step (the frame's pause and
// screenshot requests, the script queue service, a pending death, steering),
// then the world simulation (object motion, bodies and collisions, then areas,
// camera and the background fade).
#pragma once

#include "game/world/world.h"

namespace zor {

struct Game;

// Once per game frame, before the world step, in this order: the pause key
// holds the controls and asks for the pause menu; the screenshot request; the
// script queue service; a pending death is handled (and nothing else happens
// this frame); otherwise steerPlayer (player_control.h): the control gate,
// walking, jumping with the held-jump boost, leaping between levels with the
// small hop, and reset to the last checkpoint.
void stepPlayerControls(Game& game);

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
