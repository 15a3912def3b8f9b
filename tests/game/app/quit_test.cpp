#include "game/app/quit.h"

#include <gtest/gtest.h>

#include "game/app/startup.h"
#include "game/game.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "platform/files.h"
#include "game/persist/speedrun.h"
#include "tests/game/app/fake_app_platform.h"
#include "tests/game/audio/fake_sound_output.h"
#include "tests/game/app/temp_folder.h"

namespace zor {
namespace {

using testing::FakePlatform;
using testing::TempFolder;

constexpr const char* kGame = R"(<zorlan version="1" gtitle="Quit">
  <speedrun name="dash" zone="first"/>
  <zone id="first">
    <levels><level z="0"/></levels>
    <entrance x="0" y="0" level="0"/>
    <block oname="b" x="0" y="-20" w="50" h="20" level="0" flg="solid"/>
  </zone>
</zorlan>)";

struct QuitTest : ::testing::Test {
  Game game;
  FakePlatform platform;
  testing::FakeSoundOutput sound;
  TempFolder data;

  void SetUp() override {
    attachPlatform(game, platform);
    game.sounds.attach(sound);
    ASSERT_TRUE(loadControlDefaults(game.controls));
    chooseDataFolder(game, data.path(), UserFolderEnv{});
    game.data.gameFilePath = "quit.zorlan";
    xml::ParseError error;
    ASSERT_TRUE(game.data.document.parse(kGame, &error)) << error.message;
    readGameData(game);
    ASSERT_TRUE(loadZone(game, "first", true));
    ASSERT_EQ(openGameScreen(game, 1), 1);
  }

  int quit(int status) {
    try {
      quitGame(game, status);
    } catch (const ProgramExit& e) {
      return e.status;
    }
    ADD_FAILURE() << "quitGame returned";
    return -1;
  }
  std::string saveText() {
    std::string s;
    files::readFile(game.data.saveFilePath, s, 1 << 16);
    return s;
  }
};

TEST_F(QuitTest, ClosesTheScreenEmptiesTheWorldAndWritesBothFiles) {
  EXPECT_EQ(quit(0), 0);
  EXPECT_EQ(game.screen.gameScreenOpen, 0);
  EXPECT_FALSE(platform.fakeScreen.open);
  EXPECT_TRUE(game.world.objects.empty());
  EXPECT_EQ(game.world.player, nullptr);
  EXPECT_TRUE(game.data.classes.empty());
  EXPECT_TRUE(game.data.speedruns.empty());
  EXPECT_FALSE(game.data.documentLoaded);
  EXPECT_EQ(game.data.saveFilePath, data / "zordata/saves/save-quit.zorlan.ini");
  EXPECT_NE(saveText().find("LevelID = first\n"), std::string::npos);
  EXPECT_TRUE(files::fileExists(data / "zordata/saves/pref-mac.ini"));
}

TEST_F(QuitTest, NothingPointsIntoTheZoneOnceTheDocumentIsGone) {
  World& w = game.world;
  const xml::Node* zone = w.currentZoneNode;
  ASSERT_NE(zone, nullptr);
  AreaRecord area;
  area.node = zone;
  w.areas.addLast(area);
  w.zoneStartScript = w.zoneDeathScript = w.afterDeathScript = zone;
  game.script.camera.lookAt = w.player;
  EXPECT_EQ(quit(0), 0);
  EXPECT_EQ(w.currentZoneNode, nullptr);
  EXPECT_TRUE(w.areas.empty());
  EXPECT_EQ(w.zoneStartScript, nullptr);
  EXPECT_EQ(w.zoneDeathScript, nullptr);
  EXPECT_EQ(w.afterDeathScript, nullptr);
  EXPECT_EQ(game.script.camera.lookAt, nullptr);
  EXPECT_EQ(w.objectCount, 0);
}

TEST_F(QuitTest, WithoutAGameDocumentNothingIsWritten) {
  game.data.documentLoaded = false;
  EXPECT_EQ(quit(1), 1);
  EXPECT_FALSE(files::isFolder(data / "zordata/saves"));
}

TEST_F(QuitTest, ASpeedrunIsEndedBeforeTheSaveIsWritten) {
  game.session.deaths = 3;
  backupSaveForRun(game);  // the game as it was before the run
  game.app.runNumber = 1;
  game.session.deaths = 99;  // the run's own count
  EXPECT_EQ(quit(0), 0);
  EXPECT_EQ(game.app.runNumber, 0);  // the run was ended, keeping the zone
  EXPECT_NE(saveText().find("Deaths = 3\n"), std::string::npos);
  EXPECT_EQ(sound.log.back(), "stop all");  // the music went last
}

TEST_F(QuitTest, AFatalErrorOnTheWayOutEndsAtOnceWithoutLoopingOrWritingAgain) {
  game.app.quitting = true;  // the quit path is underway
  int status = -1;
  try {
    fatalError(game, "Game zone could not be found: gone");
  } catch (const ProgramExit& e) {
    status = e.status;
  }
  EXPECT_EQ(status, 1);
  EXPECT_FALSE(files::isFolder(data / "zordata/saves"));  // nothing written again
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0], "Zorlan - Error|Game zone could not be found: gone");
}

TEST_F(QuitTest, AFatalErrorShowsItsBoxThenQuitsWritingTheFiles) {
  int status = -1;
  try {
    programFatalError(game, platform, "Something broke!");
  } catch (const ProgramExit& e) {
    status = e.status;
  }
  EXPECT_EQ(status, 1);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0], "Zorlan - Error|Something broke!");
  EXPECT_FALSE(platform.fakeScreen.open);
  EXPECT_TRUE(files::fileExists(game.data.saveFilePath));

  // An empty message shows no box.
  platform.messages.clear();
  game.app.quitting = false;
  try {
    programFatalError(game, platform, "");
  } catch (const ProgramExit&) {
  }
  EXPECT_TRUE(platform.messages.empty());
}

TEST(InputLatch, HeldControlsSurviveAMenuAndHotKeysKeepTheirState) {
  Controls c;
  ASSERT_TRUE(loadControlDefaults(c));
  c.table[control::Jump][c.currentColumn] = 1;
  c.table[control::Sound][c.currentColumn] = 1;
  snapshotControls(c);
  // In the menu: JUMP let go, ACTION pressed to choose CONTINUE, the sound key let go.
  c.table[control::Jump][c.currentColumn] = 0;
  c.table[control::Action][c.currentColumn] = 1;
  c.table[control::Sound][c.currentColumn] = 0;
  latchInputStates(c);
  EXPECT_EQ(c.table[control::Jump][c.currentColumn], 1);
  EXPECT_EQ(c.table[control::Action][c.currentColumn], 0);
  EXPECT_EQ(c.table[control::Sound][c.currentColumn], 0);
}

}  // namespace
}  // namespace zor
