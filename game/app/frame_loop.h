// The frame loop: each pass takes the window's events, reads the controls,
// applies the hot keys, pauses on focus loss, steps the music, and runs either a
// game frame (world step, drawing, end-of-frame requests, pacing) or a menu frame.
#pragma once

#include <cstdint>
#include <string>

#include "game/input/action_release.h"
#include "platform/app_platform.h"
#include "platform/input_source.h"

namespace zor {

struct Game;
struct AppState;
struct RandomGenerator;


// Runs passes until quitRequested is set. Does not quit by itself.
void runFrameLoop(Game& game, AppPlatform& platform);
// One pass of the loop; false when the loop is to end.
bool runFramePass(Game& game, AppPlatform& platform);

// The pause sequence: snapshot the controls, keep ACTION from counting as a new
// press (holdControlsForPause), then open the pause menu.
void runPauseSequence(Game& game);
// Builds the main (or the run's) pause screen, starts the pause music, and lets
// the menu open after this frame.
void openPauseMenu(Game& game);

// Moves the overlays on by a frame: a speedrun's countdown clicks each second,
// and at "GO" sounds the check and starts the zone's track.
void advanceCountdown(Game& game);

// Plays the effects that play asked for (world.requests.effects) and forgets them.
void playRequestedEffects(Game& game);

// Frame pacing at the end of a game frame (before the sleep): counts the frame
// and, once a second, adjusts the full-screen sleep (+1 above 65 frames, -2 down
// to 1 below 59, only when more than one frame was counted and the screen is
// active), renews the noise mask and starts the next window.
void countFrameForPacing(AppState& app, bool screenActive, RandomGenerator& generator);

// Grabs the view and writes it as a PNG into the data folder's "zordata/screens/",
// named by the local date and time ("yyyymmddhhmmss.png", with "-2", "-3"... when
// that name is taken). False when nothing was written; `writtenPath` gets the file.
bool takeScreenshot(Game& game, std::string* writtenPath = nullptr);
// The first free name in `folder` for the date-time text.
std::string freeScreenshotPath(const std::string& folder, const std::string& dateTime);

}  // namespace zor
