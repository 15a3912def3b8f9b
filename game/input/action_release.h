// Waiting at the machine for the player to let go of ACTION, keeping the
// window alive meanwhile.
#pragma once

namespace zor {

struct Game;
class AppPlatform;
class ScreenOutput;

// Takes every pending window event; the close box asks to quit.
void takeWindowEvents(Game& game, ScreenOutput& screen);

// Waits while ACTION (or, with a gamepad, its ACTION or JUMP button) is held,
// keeping the window alive; returns early when a quit is asked for.
void waitForActionRelease(Game& game, AppPlatform& platform);

}  // namespace zor
