// The player-control step's steering: this frame's controls become the
// player's motion and the reactions that belong to play. stepPlayerControls
// (world_step.h) runs it after the frame's script queue service.
#pragma once

namespace zor {

struct Controls;
struct ScriptState;
struct Session;
struct World;

// Steps 5 to 9 of the player-control step, in this order: the control gate,
// walking, jumping with the held-jump boost, leaping between levels with the
// small hop, and reset to the last checkpoint (which counts an attempt in the
// session). Effects are asked for when soundOn. Returns whether the player
// could be steered this frame (false without a player).
bool steerPlayer(World& world, ScriptState& script, Session& session, const Controls& controls, bool soundOn);

}  // namespace zor
