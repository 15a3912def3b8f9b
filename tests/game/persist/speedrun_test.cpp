#include "game/persist/speedrun.h"

#include <gtest/gtest.h>

#include "game/app/frame_loop.h"
#include "game/app/quit.h"
#include "game/app/startup.h"
#include "game/game.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "game/menu/speedrun_screens.h"
#include "game/persist/run_file.h"
#include "game/persist/save_file.h"
#include "platform/files.h"
#include "game/render/time_text.h"
#include "platform/text.h"
#include "tests/game/app/fake_app_platform.h"
#include "tests/game/app/temp_folder.h"

namespace zor {
namespace {

using testing::FakePlatform;
using testing::TempFolder;

// --- Records -------------------------------------------------------------------

struct RecordCase {
  const char* name;
  SpeedrunRecord before;  // only the four record fields matter
  int32_t time, deaths;
  int32_t best, bestDeaths, fewestTime, fewest;
  RecordOutcome outcome;
  bool timeMarked, deathsMarked;
};

SpeedrunRecord records(int32_t best, int32_t bestDeaths, int32_t fewestTime, int32_t fewest) {
  SpeedrunRecord r;
  r.bestTime = best;
  r.bestTimeDeaths = bestDeaths;
  r.fewestDeathsTime = fewestTime;
  r.fewestDeaths = fewest;
  return r;
}

class SpeedrunRecords : public ::testing::TestWithParam<RecordCase> {};

TEST_P(SpeedrunRecords, FollowTheTwoIndependentRules) {
  const RecordCase& c = GetParam();
  SpeedrunRecord r = c.before;
  const RecordUpdate u = updateSpeedrunRecords(r, c.time, c.deaths);
  EXPECT_EQ(r.bestTime, c.best);
  EXPECT_EQ(r.bestTimeDeaths, c.bestDeaths);
  EXPECT_EQ(r.fewestDeathsTime, c.fewestTime);
  EXPECT_EQ(r.fewestDeaths, c.fewest);
  EXPECT_EQ(u.outcome, c.outcome);
  EXPECT_EQ(u.timeMarked, c.timeMarked);
  EXPECT_EQ(u.deathsMarked, c.deathsMarked);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpeedrunRecords,
    ::testing::Values(
        RecordCase{"FirstCompletion", records(-1, 0, 0, 0), 1000, 3, 1000, 3, 1000, 3, RecordOutcome::Complete, false, false},
        RecordCase{"SameTimeFewerDeaths", records(1000, 3, 1000, 3), 1000, 1, 1000, 1, 1000, 1, RecordOutcome::NewRecord, true, true},
        RecordCase{"SlowerButFewestDeaths", records(900, 5, 950, 2), 1200, 1, 900, 5, 1200, 1, RecordOutcome::NewRecord, false, true},
        RecordCase{"FasterWithMoreDeaths", records(900, 5, 950, 2), 800, 9, 800, 9, 950, 2, RecordOutcome::NewRecord, true, false},
        RecordCase{"EqualToBoth", records(900, 2, 900, 2), 900, 2, 900, 2, 900, 2, RecordOutcome::None, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EndSpeedrunLevel, MatchesOnlyDuringARun) {
  struct Case {
    const char* level;
    int32_t run;
    bool match;
  } cases[] = {{"", 1, true}, {"", 2, false}, {"2", 1, false}, {"+2", 3, true}, {"-3", 3, false},
               {"3", 3, true},  {"-4", 3, true}, {"", 0, false}, {"0", 0, false}, {"-5", 0, false}};
  for (const Case& c : cases) EXPECT_EQ(runLevelMatches(c.level, c.run), c.match) << c.level << " " << c.run;
}

TEST(UnlockSpeedrun, UnlocksTheFirstOfTheNameOnce) {
  Game g;
  SpeedrunRecord r;
  r.name = "CAVE";
  g.data.speedruns = {r, r};
  unlockSpeedrun(g, "cave");
  unlockSpeedrun(g, "Cave");
  unlockSpeedrun(g, "nothing");
  EXPECT_EQ(g.data.speedruns[0].bestTime, -1);
  EXPECT_EQ(g.data.speedruns[1].bestTime, 0);
  EXPECT_EQ(g.session.unlockedSpeedruns, 1);
}

// --- A whole run through the real frame loop -------------------------------------

constexpr const char* kRunGame = R"(<zorlan version="1" gtitle="Runs">
  <speedrun name="dash run" zone="first" gflags="7"/>
  <zone id="first">
    <levels><level z="0" color="102030"/></levels>
    <entrance x="0" y="0" level="0"/>
    <block x="-500" y="-20" w="2000" h="20" level="0" flg="solid"/>
    <area xlim="120,140" ylim="-10,200"><enter><endspeedrun/></enter></area>
    <start><savegame/></start>
  </zone>
</zorlan>)";

// A run that ends in the start script of the zone a warp leads to.
constexpr const char* kWarpEndGame = R"(<zorlan version="1" gtitle="Runs">
  <speedrun name="warp run" zone="first"/>
  <zone id="first">
    <levels><level z="0" color="102030"/></levels>
    <entrance x="0" y="0" level="0"/>
    <block x="-500" y="-20" w="2000" h="20" level="0" flg="solid"/>
    <area xlim="120,140" ylim="-10,200"><enter><warp zone="goal"/></enter></area>
  </zone>
  <zone id="goal">
    <levels><level z="0" color="203040"/></levels>
    <entrance x="0" y="0" level="0"/>
    <block x="-500" y="-20" w="2000" h="20" level="0" flg="solid"/>
    <start><endspeedrun/></start>
  </zone>
</zorlan>)";

struct RunGameTest : ::testing::Test {
  virtual const char* gameText() const { return kRunGame; }

  Game game;
  FakePlatform platform;
  TempFolder data;

  void SetUp() override {
    attachPlatform(game, platform);
    ASSERT_TRUE(loadControlDefaults(game.controls));
    game.session.dataFolder = data.path();
    xml::ParseError error;
    ASSERT_TRUE(game.data.document.parse(gameText(), &error)) << error.message;
    readGameData(game);
    game.data.saveFilePath = data / "zordata/saves/runs.ini";
    ASSERT_TRUE(loadZone(game, "first", true));
    ASSERT_EQ(openGameScreen(game, 1), 1);
    ASSERT_EQ(game.data.speedruns.size(), 1u);
    game.data.speedruns[0].bestTime = -1;
    game.session.unlockedSpeedruns = 1;
  }

  // Runs frames until RESULTS is shown; false when it never comes.
  bool runUntilResults(int maxPasses) {
    for (int i = 0; i < maxPasses; ++i) {
      if (!runFramePass(game, platform)) return false;
      if (game.app.menuScreen == menu_screen::Results && game.app.menuState == menu_state::Shown) return true;
    }
    return false;
  }
};

TEST_F(RunGameTest, AReplayReproducesTheRecordedRunAndTheSaveIsUntouched) {
  // The saved game before the run: flag 3, some counters, the zone "first".
  game.gameFlags.set(3, true);
  game.session.attempts = 5;
  game.session.deaths = 9;
  game.session.frameCounter = 12345;
  ASSERT_TRUE(writeSaveFile(game));
  std::string savedBefore;
  ASSERT_TRUE(files::readFile(game.data.saveFilePath, savedBefore, 1 << 20));

  // Recorded run: wait, walk right, stop, jump, walk on.
  const int right = game.controls.keyCodes[control::Right];
  const int jump = game.controls.keyCodes[control::Jump];
  platform.beforeKeyboard = [&](FakePlatform& p, int n) {
    p.fakeInput.keys.clear();
    if (n >= 190 && n < 215) p.fakeInput.keys.insert(right);
    if (n >= 230 && n < 236) p.fakeInput.keys.insert(jump);
    if (n >= 250) p.fakeInput.keys.insert(right);
  };
  game.menu.currentSpeedrun = 0;
  startSpeedrun(game, false);
  EXPECT_TRUE(game.gameFlags.isSet(7));
  EXPECT_FALSE(game.gameFlags.isSet(3));
  ASSERT_TRUE(runUntilResults(5000)) << "the recorded run never finished";
  EXPECT_EQ(game.menu.title, "FINISH");
  // The frame that opened the menu still counted after RESULTS took the time.
  const int32_t frames = game.session.frameCounter;
  const int32_t time = game.data.speedruns[0].bestTime;
  EXPECT_EQ(game.menu.lines[1].text, "TIME: " + formatMinutesSeconds(time));
  const float x = game.world.player->x;
  const float y = game.world.player->y;
  EXPECT_GT(time, 0);
  EXPECT_EQ(game.data.speedruns[0].bestTime, time);
  EXPECT_EQ(game.menu.lines[3].help, "* COMPLETE! *");
  // The zone's savegame ran during the run and wrote nothing.
  std::string during;
  ASSERT_TRUE(files::readFile(game.data.saveFilePath, during, 1 << 20));
  EXPECT_EQ(during, savedBefore);

  const std::string path = saveRunFile(game, false);
  ASSERT_FALSE(path.empty());
  endSpeedrun(game, true);
  EXPECT_EQ(game.app.runNumber, 0);
  EXPECT_TRUE(game.gameFlags.isSet(3));
  EXPECT_FALSE(game.gameFlags.isSet(7));
  EXPECT_EQ(game.session.attempts, 5);
  EXPECT_EQ(game.session.frameCounter, 12345);
  EXPECT_FALSE(files::fileExists(game.data.saveFilePath + ".tmp"));

  // The replay, with live input that must not count.
  const int left = game.controls.keyCodes[control::Left];
  platform.beforeKeyboard = [&](FakePlatform& p, int) { p.fakeInput.keys = {left}; };
  ASSERT_TRUE(readSpeedrunFile(game, path));
  backupSaveForRun(game);
  startSpeedrun(game, true);
  ASSERT_TRUE(runUntilResults(5000)) << "the replay never finished";
  EXPECT_EQ(game.menu.title, "FINISH");
  EXPECT_EQ(game.session.frameCounter, frames);
  EXPECT_EQ(game.world.player->x, x);
  EXPECT_EQ(game.world.player->y, y);
  EXPECT_EQ(game.menu.lines[3].text, text::toUpper(files::fileName(path)));
  EXPECT_EQ(game.menu.lines[3].help, "");  // a replay changes no records
  endSpeedrun(game, false);
  std::string after;
  ASSERT_TRUE(files::readFile(game.data.saveFilePath, after, 1 << 20));
  // Only the record of the first run reached the save.
  std::string expected = savedBefore;
  const std::string locked = "DASH RUN,-1,0,0,0;";
  ASSERT_NE(expected.find(locked), std::string::npos);
  const std::string t = std::to_string(time);
  expected.replace(expected.find(locked), locked.size(), "DASH RUN," + t + ",0," + t + ",0;");
  EXPECT_EQ(after, expected);
  EXPECT_FALSE(game.failed);
}

struct WarpEndRunTest : RunGameTest {
  const char* gameText() const override { return kWarpEndGame; }
};

TEST_F(WarpEndRunTest, ARunEndedByTheNextZonesStartScriptShowsItsResultsAndReplays) {
  const int right = game.controls.keyCodes[control::Right];
  platform.beforeKeyboard = [&](FakePlatform& p, int n) {
    p.fakeInput.keys.clear();
    if (n >= 190) p.fakeInput.keys.insert(right);
  };
  game.menu.currentSpeedrun = 0;
  startSpeedrun(game, false);
  ASSERT_TRUE(runUntilResults(3000)) << "the run's results were never shown";
  EXPECT_EQ(game.world.currentZoneId, "goal");
  EXPECT_EQ(game.menu.title, "FINISH");
  const int32_t frames = game.session.frameCounter;
  // The results stay up.
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(runFramePass(game, platform));
  EXPECT_EQ(game.app.menuScreen, menu_screen::Results);
  EXPECT_EQ(game.app.menuState, menu_state::Shown);

  const std::string path = saveRunFile(game, false);
  ASSERT_FALSE(path.empty());
  endSpeedrun(game, true);
  platform.beforeKeyboard = [&](FakePlatform& p, int) { p.fakeInput.keys.clear(); };
  ASSERT_TRUE(readSpeedrunFile(game, path));
  backupSaveForRun(game);
  startSpeedrun(game, true);
  ASSERT_TRUE(runUntilResults(3000)) << "the replay never finished";
  EXPECT_EQ(game.session.frameCounter, frames);
  EXPECT_EQ(game.menu.title, "FINISH");
  EXPECT_GE(game.run.replayCursor, 0) << "the replay lost its place";
  endSpeedrun(game, false);
  EXPECT_FALSE(game.failed);
}

TEST_F(RunGameTest, RestartingKeepsTheFirstBackupAndALostCopyStillRestores) {
  game.session.deaths = 2;
  ASSERT_TRUE(writeSaveFile(game));
  game.menu.currentSpeedrun = 0;
  startSpeedrun(game, false);
  game.session.deaths = 40;
  ASSERT_TRUE(writeSaveFile(game));  // as if something wrote the run's state
  startSpeedrun(game, false);            // restart: no new backup
  files::deleteFile(game.data.saveFilePath + ".tmp");
  game.session.deaths = 50;
  endSpeedrun(game, true);  // as quitting does
  EXPECT_EQ(game.session.deaths, 2);
  game.session.deaths = 0;
  readSaveFile(game, 1);
  EXPECT_EQ(game.session.deaths, 2);
}

TEST_F(RunGameTest, QuittingDuringARunWritesTheSavedGameBackWithTheRecords) {
  game.gameFlags.set(3, true);
  game.session.deaths = 2;
  ASSERT_TRUE(writeSaveFile(game));
  game.menu.currentSpeedrun = 0;
  startSpeedrun(game, false);
  game.session.deaths = 30;
  game.data.speedruns[0].bestTime = 777;  // a record set in the run
  try {
    quitGame(game, 0);
  } catch (const ProgramExit&) {
  }
  std::string text;
  ASSERT_TRUE(files::readFile(game.data.saveFilePath, text, 1 << 20));
  EXPECT_NE(text.find("Deaths = 2\n"), std::string::npos) << text;
  EXPECT_NE(text.find("GFlags = 3,\n"), std::string::npos) << text;
  EXPECT_NE(text.find("DASH RUN,777,"), std::string::npos) << text;
  EXPECT_FALSE(files::fileExists(game.data.saveFilePath + ".tmp"));
}

TEST_F(RunGameTest, RecordsSetInARunSurviveItsEnd) {
  game.menu.currentSpeedrun = 0;
  startSpeedrun(game, false);
  game.session.frameCounter = 180 + 600;
  game.session.deaths = 1;
  game.run.runFinished = 1;
  showRunResultsMenu(game);
  EXPECT_EQ(game.menu.lines[1].text, "TIME: 0:10");
  EXPECT_EQ(game.menu.lines[2].text, "1 DEATH");
  EXPECT_EQ(game.run.events.back(), (RunEvent{780, 0, run_event::Up}));
  endSpeedrun(game, true);
  EXPECT_EQ(game.data.speedruns[0].bestTime, 600);
  ASSERT_TRUE(writeSaveFile(game));
  game.data.speedruns[0].bestTime = -1;
  readSaveFile(game, 0);
  EXPECT_EQ(game.data.speedruns[0].bestTime, 600);
}

}  // namespace
}  // namespace zor
