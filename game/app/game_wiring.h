// Connects the game's parts to one another through the hooks of GameHooks:
// the interpreter, the drawing passes and the overlays. The shell's own hooks
// (fatal error, clock, requesters) are wired by the start-up.
#pragma once

namespace zor {

struct Game;

void wireGameHooks(Game& game);

}  // namespace zor
