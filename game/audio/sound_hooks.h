// Connects the game's sound hooks to the sound code over a sound layer.
#pragma once

#include <string>

namespace zor {

struct Game;
class SoundOutput;

// Makes `output` the game's sound layer (it must outlive the game's quit path,
// which frees the music through it) and points every sound hook at the sound
// code: starting the output, the effect slots, the streamed pause track,
// effects, music, its fades, the pause music and the music cache.
// `programFolder` ("" for the current folder, else ending in "/") holds the
// built-in game's "zordata".
void installSoundHooks(Game& game, SoundOutput& output, const std::string& programFolder = std::string());

}  // namespace zor
