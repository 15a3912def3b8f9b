// The golden run: a run file of the built-in game, recorded through the game's
// own run recording and checked in with the checksum of the world after every
// frame of its replay. Replaying it must reach the same end frame with the same
// world, bit for bit; a failure names the first frame that differs.
//
// Re-recording (after the built-in game or the world's rules change on purpose):
//   ZOR_GOLDEN_RECORD=1 build/dbg/tests/zor_tests --gtest_filter='GoldenRun.*'
// plays kGoldenInput below, writes tests/fixtures/golden/builtin.zorrun and
// builtin.frames, and prints the end frame and the final checksum. Adapt
// kGoldenInput to a new built-in game first (ZOR_GOLDEN_TRACE=1 prints where the
// player is every 10 frames), then commit both files.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "game/app/frame_loop.h"
#include "game/app/startup.h"
#include "game/game.h"
#include "game/input/controls.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "game/menu/menu_state.h"
#include "game/persist/run_file.h"
#include "game/persist/speedrun.h"
#include "platform/files.h"
#include "tests/game/app/fake_app_platform.h"
#include "tests/game/app/temp_folder.h"
#include "tests/game/world/world_state_dump.h"

namespace zor {
namespace {

using testing::FakePlatform;
using testing::TempFolder;

const std::string kRunFile = std::string(ZOR_FIXTURES) + "/golden/builtin.zorrun";
const std::string kFramesFile = std::string(ZOR_FIXTURES) + "/golden/builtin.frames";

// The recorded input: a control held over a range of run frames [from, to).
struct HeldControl {
  int32_t from, to;
  int control;
};

// Through the built-in game's first speedrun, the whole game: every zone from
// "first" to the summit, the credits roll and the run's end. The ranges are those
// of tests/data/runs/whole_game.zorrun (`zor_play_runs events` prints them).
const HeldControl kGoldenInput[] = {
    {180, 713, control::Right}, {228, 253, control::Jump}, {302, 335, control::Jump},
    {357, 364, control::Jump}, {363, 364, control::LeapOut}, {391, 398, control::Jump},
    {397, 398, control::LeapIn}, {535, 542, control::Jump}, {541, 542, control::LeapOut},
    {645, 652, control::Jump}, {651, 652, control::LeapOut}, {785, 1076, control::Right},
    {798, 828, control::Jump}, {829, 859, control::Jump}, {860, 890, control::Jump}, {919, 926, control::Jump},
    {925, 926, control::LeapOut}, {1314, 1336, control::Right}, {1463, 1505, control::Right},
    {1573, 1625, control::Right}, {1925, 1937, control::Right}, {2074, 2144, control::Right},
    {2228, 2236, control::Right}, {2505, 2572, control::Right}, {2590, 2788, control::Right},
    {2765, 2788, control::Jump}, {2789, 2812, control::Right}, {2789, 2812, control::Jump},
    {2813, 2836, control::Left}, {2813, 2836, control::Jump}, {2837, 2860, control::Right},
    {2837, 2860, control::Jump}, {2861, 2884, control::Left}, {2861, 2884, control::Jump},
    {3044, 3067, control::Right}, {3044, 3067, control::Jump}, {3189, 3213, control::Right},
    {3213, 3275, control::Left}, {3275, 3360, control::Right}, {3638, 3782, control::Right},
    {3662, 3700, control::Jump}, {3872, 3939, control::Right}, {3892, 3923, control::Jump},
    {4167, 4530, control::Right}, {4183, 4221, control::Jump}, {4273, 4296, control::Jump},
    {4390, 4397, control::Jump}, {4396, 4397, control::LeapOut}, {4470, 4477, control::Jump},
    {4476, 4477, control::LeapOut}, {4550, 4559, control::Jump}, {4556, 4557, control::LeapIn},
    {4558, 4559, control::LeapIn}, {4559, 4902, control::Right}, {4958, 4992, control::Right},
    {5033, 5278, control::Right}, {5186, 5211, control::Jump}, {5212, 5237, control::Jump},
    {5238, 5263, control::Jump}, {5278, 5554, control::Jump},
};

constexpr int kMaxPasses = 20000;

// The world after one frame pass of a replay.
struct FrameSum {
  int32_t frame;
  uint64_t checksum;
};

// The built-in game over the window-free platform, ready to start its speedrun.
struct BuiltinGame {
  Game game;
  FakePlatform platform;
  TempFolder data;

  BuiltinGame() {
    attachPlatform(game, platform);
    EXPECT_TRUE(loadControlDefaults(game.controls));
    game.session.dataFolder = data.path();
    loadGameFile(game);
    EXPECT_FALSE(game.failed);
    EXPECT_TRUE(loadZone(game, "first", true));
    EXPECT_EQ(openGameScreen(game, 1), 1);
    EXPECT_FALSE(game.data.speedruns.empty());
    game.menu.currentSpeedrun = 0;
  }

  bool resultsShown() const {
    return game.app.menuScreen == menu_screen::Results && game.app.menuState == menu_state::Shown;
  }

  void trace() {
    const ObjectRecord* p = game.world.player;
    if (p == nullptr) return;
    std::printf("frame %6d zone %-8s level %d x %9.3f y %9.3f vx %7.3f vy %7.3f\n", game.session.frameCounter,
                game.world.currentZoneId.c_str(), p->level, static_cast<double>(p->x), static_cast<double>(p->y),
                static_cast<double>(p->vx), static_cast<double>(p->vy));
  }
};

bool envSet(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0' && std::string(v) != "0";
}

// Replays the run file in a fresh game until RESULTS, with live input that must
// not count; the checksum after every pass.
std::vector<FrameSum> replay(const std::string& path, bool trace) {
  BuiltinGame b;
  const int left = b.game.controls.keyCodes[control::Left];
  b.platform.beforeKeyboard = [left](FakePlatform& p, int) { p.fakeInput.keys = {left}; };
  EXPECT_TRUE(readSpeedrunFile(b.game, path)) << path;
  backupSaveForRun(b.game);
  startSpeedrun(b.game, true);
  std::vector<FrameSum> sums;
  for (int i = 0; i < kMaxPasses && !b.resultsShown(); ++i) {
    if (!runFramePass(b.game, b.platform)) break;
    sums.push_back(FrameSum{b.game.session.frameCounter, testing::worldChecksum(b.game)});
    if (trace && i % 10 == 0) b.trace();
  }
  EXPECT_TRUE(b.resultsShown()) << "the replay never reached its end";
  EXPECT_FALSE(b.game.failed);
  return sums;
}

std::string formatSums(const std::vector<FrameSum>& sums) {
  std::string out;
  char line[64];
  for (const FrameSum& s : sums) {
    std::snprintf(line, sizeof line, "%d %016" PRIx64 "\n", s.frame, s.checksum);
    out += line;
  }
  return out;
}

std::vector<FrameSum> parseSums(const std::string& text) {
  std::vector<FrameSum> sums;
  std::istringstream in(text);
  int32_t frame = 0;
  std::string hex;
  while (in >> frame >> hex) sums.push_back(FrameSum{frame, std::stoull(hex, nullptr, 16)});
  return sums;
}

// Plays kGoldenInput through the speedrun's recording and writes the run file
// and the frame checksums of its replay.
void recordGoldenRun(bool trace) {
  BuiltinGame b;
  int32_t last = 0;
  for (const HeldControl& h : kGoldenInput) last = std::max(last, h.to);
  Game& g = b.game;
  b.platform.beforeKeyboard = [&g](FakePlatform& p, int) {
    p.fakeInput.keys.clear();
    const int32_t frame = g.session.frameCounter;
    for (const HeldControl& h : kGoldenInput) {
      if (frame >= h.from && frame < h.to) p.fakeInput.keys.insert(g.controls.keyCodes[h.control]);
    }
  };
  startSpeedrun(g, false);
  for (int i = 0; i < kMaxPasses && !b.resultsShown() && g.session.frameCounter <= last; ++i) {
    ASSERT_TRUE(runFramePass(g, b.platform));
    if (trace && i % 10 == 0) b.trace();
  }
  const std::string written = saveRunFile(g, !b.resultsShown());
  ASSERT_FALSE(written.empty());
  std::string bytes;
  ASSERT_TRUE(files::readFile(written, bytes, kMaxRunFileBytes));
  ASSERT_TRUE(files::writeFileAtomic(kRunFile, bytes));

  const std::vector<FrameSum> sums = replay(kRunFile, false);
  ASSERT_FALSE(sums.empty());
  ASSERT_TRUE(files::writeFileAtomic(kFramesFile, formatSums(sums)));
  std::printf("golden run: %s\nend frame %d, checksum %016" PRIx64 " (%zu passes)\n", kRunFile.c_str(),
              sums.back().frame, sums.back().checksum, sums.size());
}

TEST(GoldenRun, ReplayLandsOnTheRecordedWorldEveryFrame) {
  if (envSet("ZOR_GOLDEN_RECORD")) {
    recordGoldenRun(envSet("ZOR_GOLDEN_TRACE"));
    if (HasFatalFailure()) return;
  }
  std::string text;
  ASSERT_TRUE(files::readFile(kFramesFile, text, 16u << 20)) << kFramesFile;
  const std::vector<FrameSum> want = parseSums(text);
  ASSERT_FALSE(want.empty());
  const std::vector<FrameSum> got = replay(kRunFile, envSet("ZOR_GOLDEN_TRACE"));
  const std::size_t n = std::min(want.size(), got.size());
  for (std::size_t i = 0; i < n; ++i) {
    ASSERT_EQ(got[i].frame, want[i].frame) << "pass " << i << " ran a different frame";
    ASSERT_EQ(got[i].checksum, want[i].checksum) << "the world first differs after frame " << got[i].frame;
  }
  ASSERT_EQ(got.size(), want.size()) << "the replay ended after " << got.size() << " passes instead of "
                                     << want.size();
  EXPECT_EQ(got.back().frame, want.back().frame);
}

}  // namespace
}  // namespace zor
