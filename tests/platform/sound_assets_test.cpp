// The shipped sound effects and music: every effect slot has a playable file of the
// format the mixer expects, and the music files are Ogg Vorbis at 44100 Hz.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zor {
namespace {

const std::filesystem::path kData = std::filesystem::path(ZOR_FIXTURES "/../..") / "zordata";

// The effect slots in order.
const char* const kEffects[24] = {"jump", "bounce", "up",   "down",   "die",  "warp",  "reset", "check",
                                  "rubber", "click", "ok",  "no",     "mech", "tele",  "bull",  "smoke",
                                  "warb",  "friend", "sdown", "bull2", "ret",  "blip",  "splin", "splout"};

std::vector<unsigned char> readAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t le(const std::vector<unsigned char>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

bool tagAt(const std::vector<unsigned char>& b, size_t at, const char* tag) {
  return at + 4 <= b.size() && std::string(b.begin() + at, b.begin() + at + 4) == tag;
}

// Fatal failures end only this file's check, so every file is looked at.
void checkEffect(const std::string& name) {
  const auto path = kData / "sounds" / (name + ".wav");
  ASSERT_TRUE(std::filesystem::is_regular_file(path)) << path;
  const auto b = readAll(path);
  ASSERT_GE(b.size(), 12u);
  ASSERT_TRUE(tagAt(b, 0, "RIFF") && tagAt(b, 8, "WAVE"));
  EXPECT_EQ(le(b, 4, 4), b.size() - 8) << "RIFF size";
  // Walk the chunks: "fmt " must come before "data".
  bool haveFormat = false;
  int channels = 0;
  size_t at = 12;
  for (;;) {
    ASSERT_LE(at + 8, b.size()) << "no data chunk";
    const uint32_t size = le(b, at + 4, 4);
    ASSERT_LE(size, b.size() - at - 8) << "chunk runs past the end";
    if (tagAt(b, at, "fmt ")) {
      ASSERT_GE(size, 16u);
      EXPECT_EQ(le(b, at + 8, 2), 1u) << "PCM";
      channels = static_cast<int>(le(b, at + 10, 2));
      ASSERT_TRUE(channels == 1 || channels == 2) << channels << " channels";
      EXPECT_EQ(le(b, at + 12, 4), 44100u);
      EXPECT_EQ(le(b, at + 16, 4), 44100u * 2 * channels) << "bytes per second";
      EXPECT_EQ(le(b, at + 20, 2), 2u * channels) << "block align";
      EXPECT_EQ(le(b, at + 22, 2), 16u);
      haveFormat = true;
    } else if (tagAt(b, at, "data")) {
      ASSERT_TRUE(haveFormat) << "data before fmt";
      ASSERT_GT(size, 0u);
      EXPECT_EQ(size % (2u * channels), 0u);
      int peak = 0;
      for (size_t i = 0; i + 1 < size; i += 2)
        peak = std::max(peak, std::abs(static_cast<int>(static_cast<int16_t>(le(b, at + 8 + i, 2)))));
      EXPECT_GT(peak, 3000) << "silent or nearly so";
      // A short effect: at most a few seconds.
      EXPECT_LE(size / (2u * channels), 44100u * 3);
      break;
    }
    at += 8 + size + (size & 1);
  }
}

TEST(SoundAssets, EveryEffectIsAudible16BitPcmAt44100Hz) {
  for (const char* name : kEffects) {
    SCOPED_TRACE(name);
    checkEffect(name);
  }
}

TEST(SoundAssets, MusicIsOggVorbisAt44100Hz) {
  const auto dir = kData / "music";
  ASSERT_TRUE(std::filesystem::is_regular_file(dir / "pause.ogg"));
  int tracks = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".ogg") continue;
    SCOPED_TRACE(entry.path().filename().string());
    ++tracks;
    const auto b = readAll(entry.path());
    ASSERT_GE(b.size(), 58u);
    EXPECT_TRUE(tagAt(b, 0, "OggS"));
    // The first page holds just the identification header (one lacing value), so it
    // starts at byte 28: packet type 1, "vorbis", version, channels, rate.
    EXPECT_EQ(b[26], 1);
    EXPECT_EQ(std::string(b.begin() + 28, b.begin() + 35), "\x01vorbis");
    EXPECT_EQ(le(b, 40, 4), 44100u);
  }
  EXPECT_GE(tracks, 2) << "the pause track and at least one game track";
}

}  // namespace
}  // namespace zor
