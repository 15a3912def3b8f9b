// The tail of the world step: trigger areas (their enter, exit and action
// scripts, deadly areas, background colours and camera distances), the camera's
// move toward what it follows, and the background colour fade.
#pragma once

namespace zor {

struct Game;

// Runs once per world step, after the bodies and collisions (stepBodies). It
// takes the Game because a deadly area's player death runs the zone's death
// script at once.
void stepAreasAndCamera(Game& game);

}  // namespace zor
