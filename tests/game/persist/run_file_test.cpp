#include "game/persist/run_file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>

#include "game/game.h"
#include "platform/files.h"
#include "tests/game/app/temp_folder.h"

namespace zor {
namespace {

using testing::TempFolder;

const std::vector<RunEvent> kEvents = {{0, 6, 1}, {181, 1, 1}, {190, 1, 0}, {300, 0, 0x10}, {299, 0, 0}};

void putInt(std::string& s, int32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF));
}

std::string header(const std::string& magic = "ZORLANRUN\n", int32_t version = 1, const std::string& name = "DASH RUN\n") {
  std::string s = magic;
  putInt(s, version);
  s += name;
  putInt(s, 77);  // seed
  putInt(s, 0);   // date
  return s;
}

std::string packed(const std::string& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::string out(size, '\0');
  compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
           static_cast<uLong>(raw.size()));
  out.resize(size);
  return out;
}

TEST(RunFileFormat, TheWrittenLayoutReadsBackExactly) {
  const std::string bytes = encodeRunFile("DASH RUN", 77, 1234, kEvents);
  ASSERT_EQ(bytes.compare(0, 10, "ZORLANRUN\n"), 0);
  EXPECT_EQ(bytes[10], 1);
  EXPECT_EQ(bytes.compare(14, 9, "DASH RUN\n"), 0);
  const size_t L = 8;
  int32_t raw = 0;
  std::memcpy(&raw, bytes.data() + 23 + L, 4);
  EXPECT_EQ(raw, 6 * static_cast<int32_t>(kEvents.size()));
  RunFileContents c;
  ASSERT_TRUE(decodeRunFile(bytes, c));
  EXPECT_EQ(c.name, "DASH RUN");
  EXPECT_EQ(c.seed, 77);
  EXPECT_TRUE(c.eventsRead);
  EXPECT_EQ(c.events, kEvents);
}

TEST(RunFileFormat, NoEventsEndTheFileAfterTheDateAndAreStillAccepted) {
  const std::string bytes = encodeRunFile("X", 1, 2, {});
  EXPECT_EQ(bytes.size(), 10u + 4u + 2u + 8u);
  RunFileContents c;
  EXPECT_TRUE(decodeRunFile(bytes, c));
  EXPECT_TRUE(c.events.empty());
}

TEST(RunFileFormat, CrLfLinesAndALowerCaseNameAreRead) {
  std::string raw;
  putInt(raw, 5);
  raw += std::string("\x06\x01", 2);
  std::string s = header("ZORLANRUN\r\n", 1, "dash run\r");
  putInt(s, 6);
  const std::string p = packed(raw);
  putInt(s, static_cast<int32_t>(p.size()));
  s += p;
  RunFileContents c;
  ASSERT_TRUE(decodeRunFile(s, c));
  EXPECT_EQ(c.name, "DASH RUN");
  ASSERT_EQ(c.events.size(), 1u);
  EXPECT_EQ(c.events[0], (RunEvent{5, 6, 1}));
}

TEST(RunFileFormat, ATailShorterThanAnEventIsIgnored) {
  std::string raw;
  for (int i = 0; i < 3; ++i) {
    putInt(raw, i);
    raw += std::string("\x01\x01", 2);
  }
  raw += "abcd";
  std::string s = header();
  putInt(s, static_cast<int32_t>(raw.size()));
  const std::string p = packed(raw);
  putInt(s, static_cast<int32_t>(p.size()));
  s += p;
  RunFileContents c;
  ASSERT_TRUE(decodeRunFile(s, c));
  EXPECT_EQ(c.events.size(), 3u);
}

struct BrokenCase {
  const char* name;
  std::string bytes;
  bool accepted;  // the header passes; the events are left empty
};

std::vector<BrokenCase> brokenCases() {
  const std::string good = encodeRunFile("DASH RUN", 77, 0, kEvents);
  const size_t sizesAt = 10 + 4 + 9 + 8;
  auto withSizes = [&](int32_t raw, int32_t pack, const std::string& data) {
    std::string s = good.substr(0, sizesAt);
    putInt(s, raw);
    putInt(s, pack);
    return s + data;
  };
  const std::string p = good.substr(sizesAt + 8);
  return {
      {"Empty", "", false},
      {"LowerCaseMagic", "zorlanrun\n" + good.substr(10), false},
      {"MagicWithoutLineEnd", "ZORLANRUN", false},
      {"LongFirstLine", std::string(100000, 'Z'), false},
      {"Version2", header("ZORLANRUN\n", 2), false},
      {"CutInVersion", good.substr(0, 12), false},
      {"NameWithoutLineEnd", good.substr(0, 18), false},
      {"CutInSeed", good.substr(0, 25), false},
      {"CutInSizes", good.substr(0, sizesAt + 3), true},
      {"CutInData", good.substr(0, good.size() - 5), true},
      {"HugeRawSize", withSizes(0x7FFFFFFF, static_cast<int32_t>(p.size()), p), true},
      {"NegativeRawSize", withSizes(-6, static_cast<int32_t>(p.size()), p), true},
      {"NegativePackedSize", withSizes(30, -1, p), true},
      {"PackedSizeBeyondTheFile", withSizes(30, 0x7FFFFFF0, p), true},
      {"RawSizeTooSmallForTheData", withSizes(6, static_cast<int32_t>(p.size()), p), true},
      {"BadZlib", withSizes(30, 8, "garbage!"), true},
  };
}

class BrokenRunFile : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenRunFile, IsRefusedOrReadWithoutEventsAndNeverCrashes) {
  RunFileContents c;
  EXPECT_EQ(decodeRunFile(GetParam().bytes, c), GetParam().accepted);
  EXPECT_TRUE(c.events.empty());
  EXPECT_FALSE(c.eventsRead);
}

INSTANTIATE_TEST_SUITE_P(Cases, BrokenRunFile, ::testing::ValuesIn(brokenCases()),
                         [](const auto& info) { return std::string(info.param.name); });

struct RunFileGame : ::testing::Test {
  Game game;
  TempFolder data;
  void SetUp() override {
    game.session.dataFolder = data.path();
    SpeedrunRecord a;
    a.name = "CAVE RUN";
    SpeedrunRecord b;
    b.name = "OTHER";
    game.data.speedruns = {b, a};
    game.menu.currentSpeedrun = 1;
    game.random.speedrunSeed = 4242;
    game.run.events = kEvents;
  }
};

TEST_F(RunFileGame, SavesTakeTheNextFreeNumberAndReuseAnEmptyFile) {
  const std::string runs = data / "zordata/runs/";
  EXPECT_EQ(writeSpeedrunFile(game), runs + "caverun1.zorrun");
  EXPECT_EQ(writeSpeedrunFile(game), runs + "caverun2.zorrun");
  ASSERT_TRUE(files::writeFileAtomic(runs + "caverun1.zorrun", ""));
  EXPECT_EQ(writeSpeedrunFile(game), runs + "caverun1.zorrun");
  // Written atomically: nothing but the run files is left in the folder.
  int count = 0;
  for (const auto& e : std::filesystem::directory_iterator(runs)) {
    EXPECT_EQ(e.path().extension(), ".zorrun");
    ++count;
  }
  EXPECT_EQ(count, 2);
}

TEST(RunFileNames, StayInsideTheRunsFolder) {
  EXPECT_EQ(nextRunFilePath("/r", "CAVE RUN"), "/r/caverun1.zorrun");
  EXPECT_EQ(nextRunFilePath("/r", "../../ETC/X"), "/r/....etcx1.zorrun");
  EXPECT_EQ(nextRunFilePath("/r", "A\\B\tC"), "/r/abc1.zorrun");
}

TEST_F(RunFileGame, ASaveThatCannotBeWrittenReturnsNothing) {
  ASSERT_TRUE(files::writeFileAtomic(data / "zordata", "a file where the folder should be"));
  EXPECT_EQ(saveRunFile(game, false), "");
}

TEST_F(RunFileGame, AStopMarkerGoesIntoTheFileButNotTheList) {
  game.session.frameCounter = 500;
  const std::string path = saveRunFile(game, true);
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(game.run.events, kEvents);
  game.run.events.clear();
  game.menu.currentSpeedrun = -1;
  ASSERT_TRUE(readSpeedrunFile(game, path));
  EXPECT_EQ(game.menu.currentSpeedrun, 1);
  EXPECT_EQ(game.random.runFileSeed, 4242);
  ASSERT_EQ(game.run.events.size(), kEvents.size() + 1);
  EXPECT_EQ(game.run.events.back(), (RunEvent{501, 0, run_event::Stop}));
  EXPECT_EQ(game.run.replayFilePath, path);
}

TEST_F(RunFileGame, AFileOfAnUnknownSpeedrunOrAMissingFileIsRefused) {
  const std::string path = data / "x.zorrun";
  ASSERT_TRUE(files::writeFileAtomic(path, encodeRunFile("NOPE", 1, 1, kEvents)));
  EXPECT_FALSE(readSpeedrunFile(game, path));
  EXPECT_EQ(game.menu.currentSpeedrun, -1);
  EXPECT_FALSE(readSpeedrunFile(game, data / "missing.zorrun"));
  EXPECT_TRUE(game.run.events.empty());
}

// --- Recording and replay ------------------------------------------------------

void setControl(Game& g, int c, int now, int before) {
  g.controls.table[c][g.controls.currentColumn] = now;
  g.controls.table[c][g.controls.previousColumn] = before;
}

TEST(RunRecording, AControlHeldAtTheStartIsRecordedAtFrameZero) {
  Game g;
  g.run.recording = true;
  setControl(g, control::Jump, 1, 1);
  setControl(g, control::Pause, 1, 0);  // never recorded
  recordRunInput(g);
  EXPECT_EQ(g.run.events, (std::vector<RunEvent>{{0, 6, 1}}));
}

TEST(RunRecording, ChangesOfRecordedControlsOnlyAreKept) {
  Game g;
  g.run.recording = true;
  g.session.frameCounter = 200;
  setControl(g, control::Right, 1, 0);
  setControl(g, control::Left, 0, 1);
  setControl(g, control::Jump, 1, 1);        // held: no change
  setControl(g, control::Screenshot, 1, 0);  // not recorded
  recordRunInput(g);
  EXPECT_EQ(g.run.events, (std::vector<RunEvent>{{200, 0, 0}, {200, 1, 1}}));
}

TEST(RunReplay, EventsApplyAtTheirFrameAndLiveInputIsIgnored) {
  Game g;
  g.random.replaying = true;
  g.run.events = {{5, 1, 1}, {5, 6, 1}, {7, 1, 0}, {7, 200, 1}, {9, 0, run_event::EndOfRun}};
  g.run.replayCursor = 0;
  g.session.frameCounter = 4;
  setControl(g, control::Left, 1, 0);  // live input
  replayRunInput(g);
  EXPECT_FALSE(g.controls.held(control::Left));
  EXPECT_EQ(g.run.replayCursor, 0);

  g.session.frameCounter = 5;
  replayRunInput(g);
  EXPECT_TRUE(g.controls.held(control::Right));
  EXPECT_TRUE(g.controls.held(control::Jump));
  EXPECT_EQ(g.run.replayCursor, 2);

  // Carried over to the next frame (the columns swap).
  std::swap(g.controls.currentColumn, g.controls.previousColumn);
  g.session.frameCounter = 7;
  replayRunInput(g);
  EXPECT_FALSE(g.controls.held(control::Right));
  EXPECT_TRUE(g.controls.held(control::Jump));
  EXPECT_EQ(g.run.replayCursor, 4);  // the bad control index was skipped

  g.session.frameCounter = 9;
  replayRunInput(g);
  EXPECT_EQ(g.run.replayCursor, -1);  // past the end: desync
}

TEST(RunReplay, NothingIsAppliedWhileAMenuIsShown) {
  Game g;
  g.random.replaying = true;
  g.run.events = {{3, 1, 1}};
  g.run.replayCursor = 0;
  g.session.frameCounter = 3;
  g.app.menuState = menu_state::Shown;
  replayRunInput(g);
  EXPECT_EQ(g.run.replayCursor, 0);
  EXPECT_FALSE(g.controls.held(control::Right));
}

TEST(RunReplay, AStopMarkerEndsTheRunAsStopped) {
  Game g;
  g.random.replaying = true;
  g.app.runNumber = 1;
  g.run.events = {{3, 0, run_event::Stop}};
  g.run.replayCursor = 0;
  g.session.frameCounter = 3;
  replayRunInput(g);
  EXPECT_EQ(g.app.menuScreen, menu_screen::Results);
  EXPECT_EQ(g.menu.title, "STOPPED");
  EXPECT_EQ(g.run.runFinished, 0);
  EXPECT_EQ(g.run.replayCursor, 0);
}

}  // namespace
}  // namespace zor
