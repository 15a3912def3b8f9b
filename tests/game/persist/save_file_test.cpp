#include "game/persist/save_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/load/game_file.h"
#include "platform/files.h"

namespace zor {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  std::string path;  // ends in "/"
  TempDir() {
    std::string t = (fs::temp_directory_path() / "zorsaveXXXXXX").string();
    std::vector<char> buf(t.begin(), t.end());
    buf.push_back('\0');
    path = std::string(mkdtemp(buf.data())) + "/";
  }
  ~TempDir() { fs::remove_all(path); }
};

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct SaveFixture : ::testing::Test {
  TempDir dir;
  Game game;

  SaveFixture() {
    game.data.saveFilePath = saveFilePathFor(dir.path, "");
    for (const char* name : {"FIRST RUN", "SECOND", "THIRD"}) {
      SpeedrunRecord r;
      r.name = name;
      game.data.speedruns.push_back(r);
    }
  }

  std::vector<int32_t> setFlags() const {
    std::vector<int32_t> out;
    for (int32_t n = 0; n < game.gameFlags.capacity; ++n)
      if (game.gameFlags.isSet(n)) out.push_back(n);
    return out;
  }

  void readGamestate(const std::string& keys, int skipRecords = 0) {
    readSaveText(game, "[Gamestate]\n" + keys, skipRecords);
  }
};

TEST_F(SaveFixture, WritesTheExactLinesInOrder) {
  game.world.currentZoneId = "cave";
  game.world.entranceName = "-";
  game.session.attempts = 3;
  game.session.deaths = -2;
  game.session.frameCounter = 123456;
  game.gameFlags.allocate(128);
  game.gameFlags.set(3, true);
  game.gameFlags.set(17, true);
  game.data.speedruns[0].bestTime = 4000;
  game.data.speedruns[0].bestTimeDeaths = 2;
  game.data.speedruns[0].fewestDeathsTime = 5000;
  game.data.speedruns[0].fewestDeaths = 1;
  game.data.speedruns[1].bestTime = 0;  // locked: not written
  game.data.speedruns[2].bestTime = -1;  // unlocked without a record
  EXPECT_EQ(buildSaveText(game),
            "; Zorlan 1.3 Save File\n"
            "; \n"
            "[Gamestate]\n"
            "LevelID = cave\n"
            "Entrance = -\n"
            "Attempts = 3\n"
            "Deaths = -2\n"
            "Frames = 123456\n"
            "GFlags = 3,17,\n"
            "Speedruns = FIRST RUN,4000,2,5000,1;THIRD,-1,0,0,0;\n"
            "; \n");
}

TEST_F(SaveFixture, NothingSetGivesEmptyValues) {
  game.world.currentZoneId = "first";
  const std::string text = buildSaveText(game);
  EXPECT_NE(text.find("\nEntrance = \n"), std::string::npos);
  EXPECT_NE(text.find("\nGFlags = \n"), std::string::npos);
  EXPECT_NE(text.find("\nSpeedruns = \n"), std::string::npos);
}

TEST_F(SaveFixture, AQuitPositionReplacesTheResumePosition) {
  game.world.currentZoneId = "first";
  game.world.entranceName = "door";
  game.world.quitZone = "cave";
  game.world.quitEntrance = "-";
  std::string text = buildSaveText(game);
  EXPECT_NE(text.find("LevelID = cave\nEntrance = \n"), std::string::npos);
  game.world.quitEntrance = "gate";
  text = buildSaveText(game);
  EXPECT_NE(text.find("LevelID = cave\nEntrance = gate\n"), std::string::npos);
}

TEST_F(SaveFixture, WriteThenReadRestoresTheState) {
  game.world.currentZoneId = "tower";
  game.world.entranceName = "top";
  game.session.attempts = 7;
  game.session.deaths = 40;
  game.session.frameCounter = 9999;
  game.gameFlags.set(2, true);
  game.gameFlags.set(300, true);
  game.data.speedruns[1].bestTime = 600;
  game.data.speedruns[1].bestTimeDeaths = 4;
  ASSERT_TRUE(writeSaveFile(game));  // creates zordata/saves/

  Game back;
  back.data.saveFilePath = game.data.saveFilePath;
  back.data.speedruns = std::vector<SpeedrunRecord>(game.data.speedruns.size());
  for (std::size_t i = 0; i < back.data.speedruns.size(); ++i) back.data.speedruns[i].name = game.data.speedruns[i].name;
  readSaveFile(back, 0);
  EXPECT_EQ(back.world.currentZoneId, "tower");
  EXPECT_EQ(back.world.entranceName, "top");
  EXPECT_EQ(back.session.attempts, 7);
  EXPECT_EQ(back.session.deaths, 40);
  EXPECT_EQ(back.session.frameCounter, 9999);
  EXPECT_TRUE(back.gameFlags.isSet(2));
  EXPECT_TRUE(back.gameFlags.isSet(300));
  EXPECT_EQ(back.data.speedruns[1].bestTime, 600);
  EXPECT_EQ(back.data.speedruns[1].bestTimeDeaths, 4);
  EXPECT_EQ(back.session.unlockedSpeedruns, 1);
}

TEST_F(SaveFixture, AMissingFileGivesDefaults) {
  game.session.attempts = 9;
  game.gameFlags.set(5, true);
  game.data.saveFilePath = dir.path + "none.ini";
  readSaveFile(game, 0);
  EXPECT_EQ(game.world.currentZoneId, "first");
  EXPECT_EQ(game.world.entranceName, "");
  EXPECT_EQ(game.session.attempts, 1);
  EXPECT_EQ(game.session.deaths, 0);
  EXPECT_EQ(game.session.frameCounter, 0);
  EXPECT_TRUE(setFlags().empty());
  EXPECT_EQ(game.gameFlags.capacity, 128);
}

TEST_F(SaveFixture, ATooLargeFileIsReadAsMissing) {
  ASSERT_TRUE(files::createPath(files::folderPart(game.data.saveFilePath)));
  ASSERT_TRUE(files::writeFileAtomic(game.data.saveFilePath,
                                     "[Gamestate]\nLevelID = cave\n; " + std::string(saveFileByteLimit(game.data), 'x') + "\n"));
  readSaveFile(game, 0);
  EXPECT_EQ(game.world.currentZoneId, "first");
}

// Whatever the game can write it reads again: every game flag set, the longest
// position it keeps, the widest counters and records.
TEST_F(SaveFixture, TheLargestSaveTheGameWritesIsReadBack) {
  for (SpeedrunRecord& r : game.data.speedruns) {
    r.name += std::string(300, 'N');
    r.bestTime = r.bestTimeDeaths = r.fewestDeathsTime = r.fewestDeaths = -2147483647 - 1;
  }
  for (int32_t n = 0; n < GameFlags::kMaxFlag; ++n) ASSERT_EQ(game.gameFlags.set(n, true), 1);
  EXPECT_EQ(game.gameFlags.set(GameFlags::kMaxFlag, true), 0);  // the store ends there
  game.world.quitZone = std::string(kMaxSavedNameBytes, 'z');
  game.world.quitEntrance = std::string(kMaxSavedNameBytes, 'e');
  game.session.attempts = game.session.deaths = game.session.frameCounter = -2147483647 - 1;
  ASSERT_TRUE(writeSaveFile(game));
  EXPECT_LE(buildSaveText(game).size(), saveFileByteLimit(game.data));

  Game back;
  back.data.saveFilePath = game.data.saveFilePath;
  back.data.speedruns = game.data.speedruns;
  for (SpeedrunRecord& r : back.data.speedruns) r.bestTime = 0;
  readSaveFile(back, 0);
  EXPECT_EQ(back.world.currentZoneId, game.world.quitZone);
  EXPECT_EQ(back.world.entranceName, game.world.quitEntrance);
  EXPECT_EQ(back.session.attempts, game.session.attempts);
  EXPECT_EQ(back.session.frameCounter, game.session.frameCounter);
  int32_t set = 0;
  for (int32_t n = 0; n < back.gameFlags.capacity; ++n) set += back.gameFlags.isSet(n) ? 1 : 0;
  EXPECT_EQ(set, GameFlags::kMaxFlag);
  EXPECT_EQ(back.data.speedruns[2].bestTime, -1);  // held in range
  EXPECT_EQ(back.session.unlockedSpeedruns, 3);
}

TEST_F(SaveFixture, APositionTooLongForAZoneIsSavedAsTheDefault) {
  game.world.currentZoneId = std::string(kMaxSavedNameBytes + 1, 'z');
  game.world.entranceName = "door";
  const std::string text = buildSaveText(game);
  EXPECT_NE(text.find("\nLevelID = first\nEntrance = \n"), std::string::npos);
}

TEST_F(SaveFixture, GameFlagsAndTheirOverride) {
  struct Case {
    const char* override;
    const char* saved;
    std::vector<int32_t> flags;
    int32_t capacity;
  };
  const Case cases[] = {
      {"", "3,17,", {3, 17}, 128},
      {"", " 4 , ,9", {4, 9}, 128},
      {"x", "3,17,", {}, 128},
      {"2,200", "3,17,", {2, 200}, 256},
      {"", "abc,5", {0, 5}, 128},  // a word reads as 0
      // Negative and huge numbers are refused instead of growing the array without end.
      {"", "-1,2147483647,99999999999,1048576,6", {6}, 128},
  };
  for (const Case& c : cases) {
    game.session.gameFlagOverride = c.override;
    readGamestate(std::string("GFlags = ") + c.saved + "\n");
    EXPECT_EQ(setFlags(), c.flags) << c.override << " / " << c.saved;
    EXPECT_EQ(game.gameFlags.capacity, c.capacity) << c.saved;
    EXPECT_EQ(game.session.gameFlagOverride, "");
  }
}

TEST_F(SaveFixture, TheOverrideAppliesToTheFirstReadingOnly) {
  game.session.gameFlagOverride = "x";
  readGamestate("GFlags = 3,17,\n");
  EXPECT_TRUE(setFlags().empty());
  readGamestate("GFlags = 3,17,\n", 1);  // the end of a speedrun reads the save again
  EXPECT_EQ(setFlags(), (std::vector<int32_t>{3, 17}));
}

TEST_F(SaveFixture, SpeedrunRecordsMatchByUpperCaseName) {
  readGamestate("Speedruns = first run,100,1,200,0;Third,-1,0,0,0;Unknown,5,5,5,5;\n");
  EXPECT_EQ(game.data.speedruns[0].bestTime, 100);
  EXPECT_EQ(game.data.speedruns[0].bestTimeDeaths, 1);
  EXPECT_EQ(game.data.speedruns[0].fewestDeathsTime, 200);
  EXPECT_EQ(game.data.speedruns[0].fewestDeaths, 0);
  EXPECT_EQ(game.data.speedruns[2].bestTime, -1);
  EXPECT_EQ(game.session.unlockedSpeedruns, 2);

  // A best time of 0 locks a run again; missing fields read as 0.
  readGamestate("Speedruns = FIRST RUN,0;SECOND,50;\n");
  EXPECT_EQ(game.data.speedruns[0].bestTime, 0);
  EXPECT_EQ(game.data.speedruns[0].bestTimeDeaths, 0);
  EXPECT_EQ(game.data.speedruns[1].bestTime, 50);
  EXPECT_EQ(game.session.unlockedSpeedruns, 2);  // -1 for FIRST RUN, +1 for SECOND
}

TEST_F(SaveFixture, OddSpeedrunFieldsReadAsZeroOrAreHeldInRange) {
  struct Case {
    const char* record;
    int32_t best, bestDeaths, fewestTime, fewest;
  };
  const Case cases[] = {
      {"SECOND", 0, 0, 0, 0},                              // no best time: locked
      {"SECOND,abc,1,1,1", 0, 1, 1, 1},                    // not a number
      {"SECOND,10x,1,1,1", 10, 1, 1, 1},                   // read up to the rubbish
      {"SECOND,99999999999,1,1,1", 2147483647, 1, 1, 1},   // beyond 32 bits
      {"SECOND,-5,1,1,1", -1, 1, 1, 1},                    // no writer makes this
      {"SECOND,10,-1,-7,-2", 10, 0, 0, 0},                 // negative counts
      {"SECOND,10,1,2,3,4", 10, 1, 2, 3},                  // a field too many
      {"SECOND,,1", 0, 1, 0, 0},
      {"SECOND, 20 ,1", 20, 1, 0, 0},
  };
  for (const Case& c : cases) {
    game.data.speedruns[1] = SpeedrunRecord{};
    game.data.speedruns[1].name = "SECOND";
    game.session.unlockedSpeedruns = 0;
    readGamestate(std::string("Speedruns = ") + c.record + ";\n");
    const SpeedrunRecord& r = game.data.speedruns[1];
    EXPECT_EQ(r.bestTime, c.best) << c.record;
    EXPECT_EQ(r.bestTimeDeaths, c.bestDeaths) << c.record;
    EXPECT_EQ(r.fewestDeathsTime, c.fewestTime) << c.record;
    EXPECT_EQ(r.fewestDeaths, c.fewest) << c.record;
    EXPECT_EQ(game.session.unlockedSpeedruns, c.best != 0 ? 1 : 0) << c.record;
  }
  // A record without a name matches no speedrun; the next one is still read.
  readGamestate("Speedruns = ,10,1,1,1;THIRD,20;\n");
  EXPECT_EQ(game.data.speedruns[2].bestTime, 20);
}

TEST_F(SaveFixture, SkipRecordsKeepsTheRecordsInMemory) {
  game.data.speedruns[0].bestTime = 77;
  game.session.unlockedSpeedruns = 1;
  readGamestate("Speedruns = FIRST RUN,0;\nAttempts = 4\n", 1);
  EXPECT_EQ(game.data.speedruns[0].bestTime, 77);
  EXPECT_EQ(game.session.unlockedSpeedruns, 1);
  EXPECT_EQ(game.session.attempts, 4);
}

TEST_F(SaveFixture, CountersAreCutTo32BitsAndWordsReadAsZero) {
  readGamestate("Attempts = 4294967297\nDeaths = lots\nFrames = -5\nlevelid = Cave \n");
  EXPECT_EQ(game.session.attempts, 1);
  EXPECT_EQ(game.session.deaths, 0);
  EXPECT_EQ(game.session.frameCounter, -5);
  EXPECT_EQ(game.world.currentZoneId, "Cave ");
}

TEST_F(SaveFixture, AFailedWriteIsReportedAndKeepsTheOldSave) {
  game.world.currentZoneId = "first";
  ASSERT_TRUE(writeSaveFile(game));
  const std::string before = slurp(game.data.saveFilePath);
  game.world.currentZoneId = "elsewhere";
  const std::string good = game.data.saveFilePath;
  game.data.saveFilePath = "";
  EXPECT_FALSE(writeSaveFile(game));
  ASSERT_TRUE(files::writeFileAtomic(dir.path + "plain", "x"));
  game.data.saveFilePath = dir.path + "plain/saves/save.ini";
  EXPECT_FALSE(writeSaveFile(game));
  fs::create_directory(dir.path + "zordata/saves/save-x.ini");
  game.data.saveFilePath = dir.path + "zordata/saves/save-x.ini";
  EXPECT_FALSE(writeSaveFile(game));
  EXPECT_EQ(slurp(good), before);
}

TEST_F(SaveFixture, BrokenFilesAreReadWithoutHarm) {
  const std::string inputs[] = {
      std::string("\0\0\0", 3),
      "[Gamestate",
      "[Gamestate]\nGFlags",
      "[Gamestate]\nSpeedruns = ;;;,,,;",
      "[Gamestate]\nGFlags = ,,,,\nSpeedruns = " + std::string(5000, ';'),
      "\xEF\xBB\xBF[GAMESTATE]\r\nLevelID = cave\r\n",
  };
  for (const std::string& in : inputs) {
    readSaveText(game, in, 0);
    EXPECT_TRUE(setFlags().empty());
  }
  EXPECT_EQ(game.world.currentZoneId, "cave");
}

}  // namespace
}  // namespace zor
