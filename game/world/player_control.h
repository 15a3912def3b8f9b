// The player-control step: this frame's controls become the player's motion
// and the reactions that belong to play.
#pragma once

namespace zor {

struct Game;

// Once per game frame, before the world step, in this order: the pause key
// holds the controls and asks for the pause menu; the screenshot request; the script queue service; a
// pending death is handled (and nothing else happens this frame); otherwise
// the control gate, walking, jumping with the held-jump boost, leaping between
// levels with the small hop, and reset to the last checkpoint.
void stepPlayerControls(Game& game);


}  // namespace zor
