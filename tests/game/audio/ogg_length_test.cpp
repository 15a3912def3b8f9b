#include "game/audio/ogg_length.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>

#include "tests/game/app/temp_folder.h"
#include "tests/game/audio/ogg_bytes.h"

namespace zor {
namespace {

using testing::filler;
using testing::oggFile;
using testing::oggPage;
using testing::TempFolder;
using testing::vorbisIdentification;
using testing::writeBytes;

TEST(OggDuration, CommittedTracksMeasureTheirWholeBars) {
  const std::string music = std::string(ZOR_FIXTURES) + "/../../zordata/music/";
  EXPECT_EQ(readOggDuration(music + "pause.ogg"), 24000);
  EXPECT_EQ(readOggDuration(music + "first.ogg"), 48000);
  EXPECT_EQ(readOggDuration(music + "second.ogg"), 38400);
}

TEST(OggDuration, GeneratedFiles) {
  const int64_t big = int64_t{1} << 33;
  const std::string good = oggFile(44100, 441000);
  // Filler that makes the backward scan's last window start at 0.
  const std::size_t toZero = 8192 + 4096 * 5 - good.size();
  const struct {
    const char* what;
    std::string bytes;
    int32_t ms;
  } cases[] = {
      {"10 s at 44100 Hz, shorter than one window", oggFile(44100, 441000), 10000},
      {"48000 Hz, truncated toward zero", oggFile(48000, 48001), 1000},
      {"22050 Hz, a third of a second", oggFile(22050, 7350), 333},
      {"a granule below a millisecond", oggFile(44100, 44), 0},
      {"many windows: header at the start, last page at the end",
       oggPage(0, vorbisIdentification(44100)) + filler(50000) + oggPage(4410000, filler(100)), 100000},
      {"the header found only in a later window",
       filler(20000) + oggPage(0, vorbisIdentification(32000)) + filler(100) + oggPage(64000, filler(10)), 2000},
      {"the last page has no granule (-1): the one before counts",
       oggFile(44100, 441000) + oggPage(-1, filler(30)), 10000},
      {"the last positive granule before a run of zero granules",
       oggFile(44100, 88200) + oggPage(0, filler(30)) + oggPage(0, filler(30)), 2000},
      {"a positive granule far from the end, behind many windows of filler",
       good + filler(toZero), 10000},
      {"a large but sane granule", oggPage(0, vorbisIdentification(44100)) + oggPage(big, filler(10)),
       static_cast<int32_t>(static_cast<double>(big) * 1000.0 / 44100.0)},
  };
  TempFolder folder;
  for (const auto& c : cases) {
    const std::string path = folder / "t.ogg";
    writeBytes(path, c.bytes);
    EXPECT_EQ(readOggDuration(path), c.ms) << c.what;
  }
}

TEST(OggDuration, TruncatedAndCorruptBytesGiveZeroOrTheLastWholePage) {
  const std::string good = oggFile(44100, 441000);
  const std::string header = oggPage(0, vorbisIdentification(44100));
  const struct {
    const char* what;
    std::string bytes;
    int32_t ms;
  } cases[] = {
      {"empty file", "", 0},
      {"not Ogg at all (a WAV header)", std::string("RIFF\x24\0\0\0WAVEfmt ", 16) + filler(4000), 0},
      {"no identification header", oggPage(0, filler(40)) + oggPage(441000, filler(40)), 0},
      {"identification header cut before its rate", header.substr(0, 28 + 12), 0},
      {"identification header cut inside its rate", header.substr(0, 28 + 13), 0},
      {"rate 0", oggPage(0, vorbisIdentification(0)) + oggPage(441000, filler(40)), 0},
      {"rate negative as a signed number", oggPage(0, vorbisIdentification(0x80000000u)) + oggPage(441000, filler(40)),
       0},
      {"no page with a positive granule", oggFile(44100, 0), 0},
      {"only negative granules", header + oggPage(-5, filler(40)) + oggPage(-1, filler(40)), 0},
      {"largest granule: no overflow, too long to be a track",
       header + oggPage(std::numeric_limits<int64_t>::max(), filler(10)), 0},
      {"a length just past 32 bits of milliseconds",
       oggPage(0, vorbisIdentification(1000)) + oggPage(int64_t{2147483648}, filler(10)), 0},
      {"a length just inside 32 bits of milliseconds",
       oggPage(0, vorbisIdentification(1000)) + oggPage(int64_t{2147483647}, filler(10)), 2147483647},
      {"the file ends inside the last page's granule field", good + std::string("OggS\0\0\x10\x27", 8), 10000},
      {"the file ends right after a capture pattern", good + "OggS", 10000},
      {"the file ends inside the last page's granule, many windows in",
       good + filler(20000) + std::string("OggS\0\0\xFF\xFF\xFF", 9), 10000},
      // The backward scan steps 4096 bytes and stops before a negative start, so
      // when the first window starts between 1 and 4095 the bytes before it are
      // never looked at.
      {"a page only in the bytes before the first window",
       header + oggPage(441000, filler(10)) + filler(8192), 0},
  };
  TempFolder folder;
  for (const auto& c : cases) {
    const std::string path = folder / "t.ogg";
    writeBytes(path, c.bytes);
    EXPECT_EQ(readOggDuration(path), c.ms) << c.what;
  }
}

TEST(OggDuration, PathsThatAreNotReadableFiles) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "dir.ogg");
  EXPECT_EQ(readOggDuration(""), 0);
  EXPECT_EQ(readOggDuration(folder / "missing.ogg"), 0);
  EXPECT_EQ(readOggDuration(folder / "dir.ogg"), 0);
}

}  // namespace
}  // namespace zor
