// The one way out of the program: quitGame shuts the game down in a fixed order,
// writes the save and preference files when a game document is loaded, and ends
// the program.
#pragma once

#include <string>

namespace zor {

struct Game;

// Thrown by quitGame to leave the program: the program's entry point catches it
// and returns the status, so every platform service is shut down on the way out.
struct ProgramExit {
  int status = 0;
};

// Closes the game screen, empties the world, ends a running speedrun (restoring
// the saved game), writes the save file and then the preference file while a
// game document is loaded, frees the document, the run lists and the music, and
// ends the program with the status (0 for a normal quit). Never returns.
[[noreturn]] void quitGame(Game& game, int status = 0);

// Everything quitGame does short of ending the program.
void shutDownGame(Game& game);

}  // namespace zor
