#include "game/audio/jingle.h"

#include <cmath>
#include <cstdint>

namespace zor {

namespace {

void putLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFFu));
}

}  // namespace

std::string makeSplashJingle() {
  constexpr uint32_t kChannels = 1;
  constexpr uint32_t kBitsPerSample = 16;
  constexpr uint32_t kBlockAlign = kChannels * kBitsPerSample / 8;
  constexpr std::size_t kSamples = kJingleDataBytes / kBlockAlign;
  // C, E and G an octave above middle C, each a third of the time.
  constexpr double kNotes[3] = {523.25, 659.26, 783.99};
  constexpr double kPi = 3.14159265358979323846;

  std::string wav;
  wav.reserve(44 + kJingleDataBytes);
  wav += "RIFF";
  putLittleEndian(wav, static_cast<uint32_t>(36 + kJingleDataBytes), 4);
  wav += "WAVEfmt ";
  putLittleEndian(wav, 16, 4);  // the format chunk's size
  putLittleEndian(wav, 1, 2);   // PCM
  putLittleEndian(wav, kChannels, 2);
  putLittleEndian(wav, kJingleRate, 4);
  putLittleEndian(wav, kJingleRate * kBlockAlign, 4);
  putLittleEndian(wav, kBlockAlign, 2);
  putLittleEndian(wav, kBitsPerSample, 2);
  wav += "data";
  putLittleEndian(wav, static_cast<uint32_t>(kJingleDataBytes), 4);

  const std::size_t noteSamples = kSamples / 3 + 1;
  for (std::size_t i = 0; i < kSamples; ++i) {
    const std::size_t note = i / noteSamples;
    const double t = static_cast<double>(i - note * noteSamples) / kJingleRate;
    const double noteLength = static_cast<double>(noteSamples) / kJingleRate;
    // A quick attack, then a decay to silence at the note's end.
    const double envelope = std::min(1.0, t / 0.005) * (1.0 - t / noteLength) * (1.0 - t / noteLength);
    const double f = kNotes[note];
    const double v = 0.6 * std::sin(2 * kPi * f * t) + 0.2 * std::sin(4 * kPi * f * t);
    const auto sample = static_cast<int32_t>(std::lround(v * envelope * 0.5 * 32767.0));
    putLittleEndian(wav, static_cast<uint32_t>(sample) & 0xFFFFu, 2);
  }
  return wav;
}

}  // namespace zor
