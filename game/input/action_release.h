// Waiting at the machine for the player to let go of ACTION, keeping the
// window alive and the quit requests honoured meanwhile.
#pragma once

namespace zor {

struct Game;
class AppPlatform;
class InputSource;
class ScreenOutput;

// The "q" key: with Ctrl (which takes the Command key's role here) it quits.
inline constexpr int kQuitKey = 113;

// The quit hot key, Ctrl+Q, is down.
bool quitKeysDown(const InputSource& in);

// Takes every pending window event; the close box asks to quit.
void takeWindowEvents(Game& game, ScreenOutput& screen);

// For a wait outside the frame loop (after the keyboard was examined): takes the
// window's events, a quit asked for from outside and the quit hot key. True when
// a quit is asked for.
bool takeQuitRequests(Game& game, AppPlatform& platform);

// Waits while ACTION (or, with a gamepad, its ACTION or JUMP button) is held,
// keeping the window alive; returns early when a quit is asked for.
void waitForActionRelease(Game& game, AppPlatform& platform);

}  // namespace zor
