// The menu engine: one menu frame turns this frame's presses into one action,
// carries it out, moves the selection and runs the two capture modes that give
// controls new keys and gamepad buttons. Closing waits until the select key is
// let go and gives the recorded controls back their state from before the menu.
//
// Keys: PAUSE backs out, ACTION chooses the selected line, LEAP OUT and LEAP IN
// move the selection (wrapping at both ends), RESET skips a control on the
// gamepad-button screen, forward Delete opens the records deletion on the
// speedrun screens.
#pragma once

#include <string>

namespace zor {

struct Game;
class AppPlatform;

// One menu frame; the frame loop calls it while a menu is shown, after the
// controls were read and before the menu is drawn.
void updateMenu(Game& game);

// Leaves the menu for play: waits while the select key (or, with a gamepad, its
// ACTION or JUMP button) is held, closes the menu, stops the pause music and
// restores the zone music (unless music is disabled), and puts the recorded
// controls back as they were when the menu opened.
void closeMenuSequence(Game& game);

// Rewrites the text of one line of the shown screen; a line that does not exist is left alone.
void setMenuLine(Game& game, int line, const std::string& text);

// Draws the menu frame on the game's screen (between the start and stop of drawing).
void drawMenu(Game& game);

}  // namespace zor
