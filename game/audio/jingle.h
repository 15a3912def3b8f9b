// The splash's jingle, made by the program itself so that the splash needs no
// data files: a WAV file image (RIFF/WAVE, PCM, one channel, 44100 Hz, 16 bits).
#pragma once

#include <cstddef>
#include <string>

namespace zor {

inline constexpr int kJingleRate = 44100;
// About half a second of samples.
inline constexpr std::size_t kJingleDataBytes = 44204;

// The whole file: the 44-byte header and the samples, three rising notes.
std::string makeSplashJingle();

}  // namespace zor
