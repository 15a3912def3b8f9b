#include <gtest/gtest.h>

#include "game/persist/save_file.h"
#include "platform/files.h"
#include "tests/game/app/temp_folder.h"
#include "tests/game/script/script_test_support.h"

namespace zor {
namespace {

using testing::ScriptHarness;
using testing::TempFolder;
using testing::zoneText;

const std::string kSubs =
    "<sub id=\"end\"><sound num=\"1\"/><endspeedrun/><sound num=\"2\"/></sub>"
    "<sub id=\"end2\"><endspeedrun level=\"+2\"/><sound num=\"3\"/></sub>"
    "<sub id=\"save\"><savegame/></sub>"
    "<sub id=\"unlock\"><unlockspeedrun name=\"cave run\"/></sub>"
    "<sub id=\"pause\"><pause color=\"00FF80\"/></sub>";

TEST(RunStatements, EndSpeedrunEndsTheRunAndTheScriptOnlyWhenTheLevelMatches) {
  ScriptHarness h(zoneText("", kSubs));
  Game& g = *h.game;
  SpeedrunRecord r;
  r.name = "CAVE RUN";
  r.bestTime = -1;
  g.data.speedruns = {r};
  g.menu.currentSpeedrun = 0;

  h.run("end");  // no run: nothing
  EXPECT_NE(g.app.menuScreen, menu_screen::Results);
  EXPECT_EQ(h.trace(), (std::vector<std::string>{"1", "2"}));

  testing::traceLog().clear();
  g.app.runNumber = 2;
  h.run("end");  // run 2 without level: no match
  EXPECT_NE(g.app.menuScreen, menu_screen::Results);
  EXPECT_EQ(h.trace(), (std::vector<std::string>{"1", "2"}));

  testing::traceLog().clear();
  g.app.runNumber = 3;
  g.session.frameCounter = 400;
  h.run("end2");  // +2 matches run 3
  EXPECT_EQ(g.app.menuScreen, menu_screen::Results);  // the results are shown
  EXPECT_EQ(g.menu.title, "FINISH");
  EXPECT_TRUE(h.trace().empty());
  EXPECT_EQ(g.run.runFinished, 1);
  ASSERT_FALSE(g.run.events.empty());
  EXPECT_EQ(g.run.events.back(), (RunEvent{401, 0, run_event::EndOfRun}));
}

TEST(RunStatements, SaveGameWritesOnlyOutsideARun) {
  ScriptHarness h(zoneText("", kSubs));
  TempFolder folder;
  Game& g = *h.game;
  g.data.saveFilePath = folder / "save.ini";
  g.app.runNumber = 1;
  h.run("save");
  EXPECT_FALSE(files::fileExists(g.data.saveFilePath));
  g.app.runNumber = 0;
  h.run("save");
  EXPECT_TRUE(files::fileExists(g.data.saveFilePath));
}

TEST(RunStatements, UnlockAndPause) {
  ScriptHarness h(zoneText("", kSubs));
  Game& g = *h.game;
  SpeedrunRecord r;
  r.name = "CAVE RUN";
  g.data.speedruns = {r};
  h.run("unlock");
  h.run("unlock");
  EXPECT_EQ(g.data.speedruns[0].bestTime, -1);
  EXPECT_EQ(g.session.unlockedSpeedruns, 1);
  h.run("pause");
  EXPECT_EQ(g.world.pauseColour, 0x80FF00);
}

}  // namespace
}  // namespace zor
