// On-screen titles: their place in pixels (from fractions of the view), their
// drawing with fades toward the background, the per-frame fade step and the
// credits roll that moves them up the screen.
//
// A game frame draws first (drawTitles, pure drawing) and then advances the
// state (stepTitleFades, scrollCredits). The frame loop advances every game
// frame, whether or not drawing could start, so the roll, which resumes a
// waiting script when it ends, keeps the same pace in a replay.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "game/render/game_screen.h"
#include "game/script/script_state.h"
#include "platform/current_list.h"
#include "platform/framebuffer.h"

namespace zor {

struct Controls;
struct Game;

// Pixel x, pixel y and size of a title for the screen: x and y from the view's
// corner plus the bars, size 5 * trunc(h * view height * 0.2), at least 1.
void layoutTitle(TitleRecord& title, const ScreenInfo& info);
// One title, or every title in list order when title is null (the list's cursor
// is then left on the first title).
void layoutTitles(CurrentList<TitleRecord>& titles, const ScreenInfo& info, TitleRecord* title);
// The same for the game's titles and screen (the hook the screen opening calls).
void layoutTitles(Game& game, TitleRecord* title);

// The colour a title is drawn in: its own at alpha 1 or more, else each of red,
// green and blue blended from the fade target's toward its own by alpha.
int32_t titleDrawColour(int32_t colour, int32_t fadeTarget, float alpha);
// True when the title is drawn this frame: alpha above 0 and some part of the
// text on the view vertically.
bool titleShown(const TitleRecord& title, const ScreenInfo& info);

// Draws the titles in list order (a later title over an earlier one).
void drawTitles(ShapeFill& fill, const CurrentList<TitleRecord>& titles, const ScreenInfo& info,
                int32_t fadeTarget, int32_t noiseMask);

// Moves alpha toward the target alpha by the step, never past it.
void stepTitleAlpha(TitleRecord& title);
// Every title's fade step; leaves the list's cursor on the last title.
void stepTitleFades(CurrentList<TitleRecord>& titles);

// One frame of the credits roll: while the distance left (credits.remaining) is
// above 0 the titles move up by this frame's step (scrolled back with LEAP OUT,
// faster with ACTION, JUMP or LEAP IN, never back past credits.limit); a distance
// below 0 is set to 0. Returns the step taken (0 when the roll did not move).
float scrollCredits(ScriptState& script, const Controls& controls, const ScreenInfo& info);

// The "alpha" attribute of the title statement: "from,to,step", "to,step" (fades
// from where the title is) or a fixed opacity (any other number of commas).
void applyTitleAlpha(TitleRecord& title, std::string_view value);
// Replaces "%TIME%", "%DEATHS%" and "%FRAMES%" (case-sensitive, every occurrence,
// in that order) with the clock text and counters of the moment.
std::string substituteTitlePlaceholders(std::string_view text, int32_t frameCount, int32_t deathCount,
                                        bool speedrunRunning);

}  // namespace zor
