#include "game/audio/jingle.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace zor {
namespace {

uint32_t readLittleEndian(const std::string& s, std::size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
  return v;
}

TEST(SplashJingle, IsAMonoSixteenBitWaveOfHalfASecond) {
  const std::string wav = makeSplashJingle();
  ASSERT_EQ(wav.size(), 44 + kJingleDataBytes);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(readLittleEndian(wav, 4, 4), wav.size() - 8);
  EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(readLittleEndian(wav, 16, 4), 16u);
  EXPECT_EQ(readLittleEndian(wav, 20, 2), 1u);  // PCM
  EXPECT_EQ(readLittleEndian(wav, 22, 2), 1u);  // one channel
  EXPECT_EQ(readLittleEndian(wav, 24, 4), 44100u);
  EXPECT_EQ(readLittleEndian(wav, 28, 4), 88200u);
  EXPECT_EQ(readLittleEndian(wav, 32, 2), 2u);
  EXPECT_EQ(readLittleEndian(wav, 34, 2), 16u);
  EXPECT_EQ(wav.substr(36, 4), "data");
  EXPECT_EQ(readLittleEndian(wav, 40, 4), 44204u);

  // It is heard, and it does not clip.
  int32_t peak = 0;
  for (std::size_t at = 44; at < wav.size(); at += 2) {
    const auto sample = static_cast<int16_t>(readLittleEndian(wav, at, 2));
    peak = std::max(peak, std::abs(static_cast<int32_t>(sample)));
  }
  EXPECT_GT(peak, 4000);
  EXPECT_LT(peak, 32000);
  EXPECT_EQ(makeSplashJingle(), wav);
}

}  // namespace
}  // namespace zor
