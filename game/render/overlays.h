// The flat overlays laid over the scene in screen pixels, in the frame loop's
// order: titles, the speedrun countdown and clock, the letterbox bars and the
// debug overlay; and the menu frame (title, up to five lines with scroll marks,
// the help text and the bars). All text is pixel-font text.
//
// Drawing and state are apart. In a game frame the loop calls drawOverlays
// (when drawing could start) and then, every game frame and before the frame
// counter moves on, advanceOverlays, which fades the titles, moves the credits
// roll and the run clock and tells which countdown sounds are due. Nothing a
// replay depends on therefore changes with whether a frame was drawn.
#pragma once

#include <cstdint>
#include <string>

#include "game/load/game_data.h"
#include "game/menu/menu_state.h"
#include "game/render/game_screen.h"
#include "platform/framebuffer.h"

namespace zor {

struct Game;

// What the run countdown and clock show of the running speedrun besides the
// counters of the session.
struct RunDisplay {
  bool replaying = false;   // the run is a replay of a run file
  bool replayLost = false;  // the replay has lost its events
  const SpeedrunRecord* speedrun = nullptr;  // the running speedrun; null: no best time
};

// Sounds and music the countdown asks for in this frame. The caller plays them:
// click is effect 9 ("click"); go is effect 7 ("check") and the start of the
// current music track (once when its length is known, else looped), the music
// starting whether or not sound effects are on.
struct CountdownCues {
  bool click = false;
  bool go = false;
};

// Black bars over whatever lies outside the view: above and below it when the
// top bar is not 0, else left and right of it when the left bar is not 0. Each
// bar reaches from the view's edge to the screen's edge.
void drawLetterboxBars(ShapeFill& fill, const ScreenInfo& info);

// The countdown word of a run frame ("3", "2", "1", then "GO", or "WATCH" in a
// replay); empty outside the countdown's four seconds.
std::string countdownText(int32_t frameCounter, bool replaying);

struct RunClockLook {
  std::string text;
  int32_t boxColour = 0;
};
// The run clock's text and box colour: " m:ss " and, with deaths, the count, the
// multiplication sign and "D "; grey in a replay (" DESYNC " on a red box once the
// replay lost its events); green while ahead of the best time or the fewest
// deaths, or without a best time; else red.
RunClockLook runClockLook(int32_t frameCounter, int32_t deaths, const RunDisplay& run);

// The countdown and the clock of a running speedrun (from frame 180 on).
void drawRunCountdownAndClock(ShapeFill& fill, const ScreenInfo& info, const TextSizes& sizes,
                              int32_t backgroundColour, float runClockY, int32_t frameCounter,
                              int32_t deaths, const RunDisplay& run, int32_t noiseMask);
// One frame of the run clock's state: the countdown's sounds due in this frame,
// and the clock's glide 5% of the way to its rest row once it is shown.
CountdownCues advanceRunClock(float& runClockY, float runClockTargetY, int32_t frameCounter);

// Four lines at the top left: play time, deaths, version and frames shown in the
// last second, in the inverse of the background colour.
void drawDebugOverlay(ShapeFill& fill, const ScreenInfo& info, int32_t backgroundColour,
                      const std::string& timeText, int32_t deaths, int32_t framesLastSecond,
                      int32_t noiseMask);

// The line shown in menu row 0..4: headings (rows before firstSelectable) show
// their own line, the other rows line scroll + row. -1 when the row shows no
// line (past the last line, or a negative index).
int32_t menuRowLine(const MenuState& menu, int32_t row);

// The menu frame over a screen already cleared to the menu background.
void drawMenuFrame(ShapeFill& fill, const ScreenInfo& info, const TextSizes& sizes, const MenuState& menu,
                   int32_t noiseMask);

// The game's overlays of one frame, drawing only.
void drawOverlays(Game& game, ShapeFill& fill, const RunDisplay& run);
// The overlays' state for one game frame (see above).
CountdownCues advanceOverlays(Game& game);
// The menu frame on the game's screen.
void drawMenuFrame(Game& game, ShapeFill& fill, const MenuState& menu);

// The text sizes of the open game screen.
TextSizes textSizesOf(const Game& game);

}  // namespace zor
