// The tail of the world step: trigger areas (their enter, exit and action
// scripts, deadly areas, background colours and camera distances), the camera's
// move toward what it follows, and the background colour fade.
#pragma once

namespace zor {

struct Game;

// Runs once per world step, after the bodies and collisions (stepBodies).
void stepAreasAndCamera(Game& game);

}  // namespace zor
