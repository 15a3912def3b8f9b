// Music: one track at a time, cross-faded between two slots one volume step a
// frame, restarted at its exact length so that beat timers stay on the beat;
// and the pause track that loops under the menus.
//
// Every audible volume is a level 0..100 times the Music setting (0 or 1), so
// switching music off silences it without stopping it.
#pragma once

#include <cstdint>
#include <string>

namespace zor {

struct Game;

// The volume of the pause track: 35 times the Music setting.
inline constexpr int32_t kPauseMusicVolume = 35;

// Trims nothing; replaces every "\" by "/" and lower-cases.
std::string normaliseTrackName(const std::string& name);

// Switches the music to track `name` (a path relative to the game file's
// folder, or to "zordata/" for the built-in game; "-" or "" for silence).
// The name of the current track changes nothing; the name of the track still
// fading out brings it back; a new track starts at level 0 (startSilent) or at
// the music volume and the old one fades out. Returns 1 when the name matched
// a slot or the track started; 0 when music is disabled, for silence, and when
// the file cannot be loaded.
int32_t playMusic(Game& game, const std::string& name, int32_t startSilent);

// One fade step, once a frame while no menu is open: restarts the current track
// when its length has passed (and re-aligns the beat timers), moves its level
// one step toward the music volume, and lowers the previous track's level by
// one, stopping and freeing the slot at 0.
void updateMusicFade(Game& game);

// Reads the current track's length into game.trackLength (0 without a track or
// when it cannot be told) and reschedules every beat timer. Returns the length.
int32_t measureCurrentTrack(Game& game);

// Opening a menu from play: the pause track loops at 35 x Music and both
// music slots are muted (the tracks keep playing). Nothing when music is disabled.
void startPauseMusic(Game& game);
// Closing the menu: the pause track stops and both slots get their level x
// Music again. Nothing when music is disabled.
void restoreMusic(Game& game);
// After the Music setting changed: in play both slots get their level x Music;
// with a menu open or opening only the pause track changes (35 x Music).
void applyMusicSwitch(Game& game);

// A speedrun's countdown reaching "GO": starts the current slot's track, once
// when its length is known (and the music start time becomes now), else looped.
void startCurrentTrack(Game& game);
// Stops the current slot's track when it plays (it stays in its slot).
void stopCurrentTrack(Game& game);

// Quit: stops every channel and frees every cached track; the slots are emptied.
void freeMusicCache(Game& game);

}  // namespace zor
