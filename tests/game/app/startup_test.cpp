#include "game/app/startup.h"

#include <gtest/gtest.h>

#include "game/app/quit.h"
#include "game/game.h"
#include "platform/files.h"
#include "tests/game/app/fake_app_platform.h"
#include "tests/game/audio/fake_sound_output.h"

#include <algorithm>
#include "tests/game/app/temp_folder.h"

namespace zor {
namespace {

using testing::FakePlatform;
using testing::TempFolder;

constexpr const char* kDefaultPrefs =
    "; Zorlan 1.3 Pref File\n; \n[Audio]\nSound = 1\nMusic = 1\nDisableAudio = 0\nDisableMusic = 0\n; \n"
    "[Video]\nScreenWidth = 640\nScreenHeight = 480\nScreenDepth = 32\nWindowed = 1\nPauseOnUnfocus = 1\n; \n"
    "[Input]\nJoystickLeap = 1\nButtonMap06 = 2\nButtonMap07 = 1\nButtonMap08 = 5\nButtonMap09 = 6\n"
    "ButtonMap10 = 8\nButtonMap11 = 4\nButtonMap12 = 10\nKeyCode00 = 28\nKeyCode01 = 29\nKeyCode02 = 102\n"
    "KeyCode03 = 115\nKeyCode04 = 109\nKeyCode05 = 136\nKeyCode06 = 32\nKeyCode07 = 13\nKeyCode08 = 30\n"
    "KeyCode09 = 31\nKeyCode10 = 145\nKeyCode11 = 114\nKeyCode12 = 27\n; \n";

constexpr const char* kTwoZones = R"(<zorlan version="1" gtitle="Two">
  <zone id="first">
    <levels><level z="0"/></levels>
    <entrance x="0" y="0" level="0"/>
  </zone>
  <zone id="cave">
    <levels><level z="0"/></levels>
    <entrance x="0" y="0" level="0"/>
    <entrance_door x="50" y="0" level="0"/>
  </zone>
</zorlan>)";

struct StartupTest : ::testing::Test {
  Game game;
  FakePlatform platform;
  TempFolder folder;  // the program's folder, holding "zordata"
  TempFolder start;   // where the program was started
  ProgramArgs args;
  testing::FakeSoundOutput sound;
  int passes = 0;

  void SetUp() override {
    args.programFolder = folder.path();
    args.startFolder = start.path();
    // Quit from outside once play has run a few passes.
    platform.beforeKeyboard = [this](FakePlatform& p, int) {
      if (game.world.currentZoneNode != nullptr && ++passes >= 3) p.quit = true;
    };
    sound.canStart = false;
    game.sounds.attach(sound, folder.path());
  }

  int run(std::vector<std::string> a = {}) {
    args.args = std::move(a);
    return runProgram(game, platform, args);
  }
  // The splash was shown: the screen went black and was shown before the logo was drawn.
  int splashes() const {
    const std::vector<std::string> opening = {"clear 0", "flip", "clear 0", "startDrawing"};
    return std::search(platform.log.begin(), platform.log.end(), opening.begin(), opening.end()) != platform.log.end() ? 1 : 0;
  }
  std::string read(const std::string& relative) {
    std::string s;
    files::readFile(folder / relative, s, 1 << 16);
    return s;
  }
  void write(const std::string& path, const std::string& text) {
    files::createPath(files::folderPart(path));
    ASSERT_TRUE(files::writeFileAtomic(path, text));
  }
};

TEST_F(StartupTest, TheBuiltInGameStartsAndQuitsWithTheDefaultFiles) {
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(read("zordata/saves/pref-mac.ini"), kDefaultPrefs);
  const std::string save = read("zordata/saves/save.ini");
  EXPECT_EQ(save.substr(0, save.find("Frames")),
            "; Zorlan 1.3 Save File\n; \n[Gamestate]\nLevelID = first\nEntrance = \nAttempts = 1\nDeaths = 0\n");
  EXPECT_NE(save.find("\nGFlags = \nSpeedruns = \n; \n"), std::string::npos);
  EXPECT_FALSE(files::fileExists(folder / "zordata/test.tmp"));
  EXPECT_EQ(splashes(), 1);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(platform.fakeScreen.title, "ZORLAN");  // the built-in game's title
  EXPECT_EQ(game.sounds.soundVolumes[5], 20);       // the warp's built-in volume
  EXPECT_EQ(game.sounds.soundVolumes[22], 10);
}

TEST_F(StartupTest, WritesAKilledProgramLeftUnfinishedAreRemoved) {
  const std::string leftovers[] = {"zordata/saves/.save.ini.0badf00d.part", "zordata/runs/.RUN1.zorrun.12345678.part",
                                   "zordata/screens/.shot.png.abcdef01.part"};
  const std::string kept[] = {"zordata/saves/save.ini.tmp", "zordata/saves/.notes.part",
                              "zordata/runs/.RUN1.zorrun.1234567X.part"};
  for (const std::string& f : leftovers) write(folder / f, "half");
  for (const std::string& f : kept) write(folder / f, "mine");
  EXPECT_EQ(run(), 0);
  for (const std::string& f : leftovers) EXPECT_FALSE(files::fileExists(folder / f)) << f;
  for (const std::string& f : kept) EXPECT_EQ(read(f), "mine") << f;
}

TEST_F(StartupTest, AStartZoneEntranceAndFlagsFromTheCommandLine) {
  write(start / "two.zorlan", kTwoZones);
  EXPECT_EQ(run({"-g", "two.zorlan", "-z", "cave:door", "-f", "3,17"}), 0);
  const std::string save = read("zordata/saves/save-two.zorlan.ini");
  EXPECT_NE(save.find("LevelID = cave\nEntrance = door\n"), std::string::npos) << save;
  EXPECT_NE(save.find("GFlags = 3,17,\n"), std::string::npos) << save;
  EXPECT_EQ(splashes(), 0);  // a start zone skips the splash
  EXPECT_EQ(platform.fakeScreen.title, "Two");
}

// A game whose zone "hollow" has no levels.
constexpr const char* kHollowZone = R"(<zorlan version="1" gtitle="Hollow">
  <zone id="first"><levels><level z="0"/></levels><entrance x="0" y="0" level="0"/></zone>
  <zone id="hollow"><entrance x="0" y="0" level="0"/></zone>
</zorlan>)";

// Asked for on the command line (as the editor's test run does), such a zone is
// a fatal error rather than a silent start elsewhere.
TEST_F(StartupTest, AStartZoneWithoutLevelsIsFatal) {
  write(start / "hollow.zorlan", kHollowZone);
  EXPECT_EQ(run({"-g", "hollow.zorlan", "-z", "Hollow:door"}), 1);
  EXPECT_EQ(platform.messages, std::vector<std::string>{"Zorlan - Error|Zone 'hollow' contains no levels!"});
}

// A saved position naming it (a save of an older version of the game) starts at "first".
TEST_F(StartupTest, ASavedZoneWithoutLevelsStartsAtFirst) {
  write(start / "hollow.zorlan", kHollowZone);
  write(folder / "zordata/saves/save-hollow.zorlan.ini", "[Gamestate]\nLevelID = hollow\nEntrance = door\n");
  EXPECT_EQ(run({"-g", "hollow.zorlan"}), 0);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_NE(read("zordata/saves/save-hollow.zorlan.ini").find("LevelID = first\nEntrance = \n"), std::string::npos);
}

TEST_F(StartupTest, FlagsXClearsTheSavedFlagsAndTheGameFileIsTakenByItsExtension) {
  write(start / "two.zorlan", kTwoZones);
  write(folder / "zordata/saves/save-two.zorlan.ini",
        "[Gamestate]\nLevelID = cave\nEntrance = door\nGFlags = 1,2,\n");
  EXPECT_EQ(run({"two.zorlan", "-f", "x"}), 0);
  const std::string save = read("zordata/saves/save-two.zorlan.ini");
  EXPECT_NE(save.find("LevelID = cave\nEntrance = door\n"), std::string::npos) << save;
  EXPECT_NE(save.find("GFlags = \n"), std::string::npos) << save;
  EXPECT_EQ(splashes(), 1);
}

TEST_F(StartupTest, MinusXEndsTheOptions) {
  write(start / "two.zorlan", kTwoZones);
  EXPECT_EQ(run({"-x", "-g", "two.zorlan", "-z", "cave"}), 0);
  EXPECT_TRUE(files::fileExists(folder / "zordata/saves/save.ini"));
  EXPECT_FALSE(files::fileExists(folder / "zordata/saves/save-two.zorlan.ini"));
}

TEST_F(StartupTest, AGameFileWithASyntaxErrorEndsTheProgramAndWritesNothing) {
  write(start / "broken.zorlan", "<zorlan version=\"1\">\n<zone id=\"first\">\n<levels>\n</zone>\n</zorlan>\n");
  EXPECT_EQ(run({"-g", "broken.zorlan"}), 1);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0], "Zorlan - Error|Game file error on line 4!");
  EXPECT_FALSE(files::isFolder(folder / "zordata/saves"));
}

TEST_F(StartupTest, AFailedScreenOrKeyboardLayerEndsTheProgramAndWritesNothing) {
  struct Case {
    bool screen, keyboard, fast;
    const char* message;
  };
  const Case cases[] = {
      {false, true, true, "Screen could not be initialized!"},
      {true, false, true, "Keyboard could not be initialized!"},
      {true, true, false, "Fast drawing could not be initialized!"},
  };
  for (const Case& c : cases) {
    Game fresh;
    FakePlatform p;
    p.screenInit = c.screen;
    p.keyboardInit = c.keyboard;
    p.fastDrawingInit = c.fast;
    attachPlatform(fresh, p);
    EXPECT_EQ(runProgram(fresh, p, args), 1);
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.messages[0], std::string("Zorlan - Error|") + c.message);
    EXPECT_FALSE(files::isFolder(folder / "zordata"));
  }
}

TEST_F(StartupTest, AScreenThatCannotOpenIsFatalButTheNextStartCanOpen) {
  write(folder / "zordata/saves/pref-mac.ini", "[Video]\nScreenWidth = 1024\nScreenHeight = 768\n");
  platform.fakeScreen.failWindowed = true;
  EXPECT_EQ(run(), 1);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0], "Zorlan - Error|A 1024x768 screen could not be opened!");
  const std::string prefs = read("zordata/saves/pref-mac.ini");
  EXPECT_NE(prefs.find("ScreenWidth = 640\nScreenHeight = 480\nScreenDepth = 32\nWindowed = 1\n"),
            std::string::npos)
      << prefs;
  EXPECT_TRUE(files::fileExists(folder / "zordata/saves/save.ini"));
}

// A size in the preference file that the display cannot show would make a huge
// picture scaled into the window at a few frames a second.
TEST_F(StartupTest, AScreenSizeLargerThanTheDisplayCanShowOpensTheLargestItCan) {
  platform.fakeScreen.modes = {{1280, 720, 32, 60}, {1920, 1080, 32, 60}, {1920, 1200, 32, 60}, {800, 600, 32, 60}};
  struct Case {
    int32_t width, height;
    int32_t openedWidth, openedHeight;
  };
  const Case cases[] = {
      {16384, 16384, 1920, 1200}, {16384, 720, 1920, 1200}, {1024, 1600, 1920, 1200}, {1920, 1200, 1920, 1200},
      {1600, 900, 1600, 900},  // within the display: as asked, though not one of its modes
  };
  for (const Case& c : cases) {
    Game fresh;
    FakePlatform p;
    p.fakeScreen.modes = platform.fakeScreen.modes;
    p.beforeKeyboard = [&fresh](FakePlatform& fp, int) {
      if (fresh.world.currentZoneNode != nullptr) fp.quit = true;
    };
    fresh.sounds.attach(sound, folder.path());
    write(folder / "zordata/saves/pref-mac.ini", "[Video]\nScreenWidth = " + std::to_string(c.width) +
                                                      "\nScreenHeight = " + std::to_string(c.height) + "\n");
    EXPECT_EQ(runProgram(fresh, p, args), 0);
    EXPECT_EQ(fresh.screen.info.width, c.openedWidth) << c.width << "x" << c.height;
    EXPECT_EQ(fresh.screen.info.height, c.openedHeight) << c.width << "x" << c.height;
    const std::string prefs = read("zordata/saves/pref-mac.ini");
    EXPECT_NE(prefs.find("ScreenWidth = " + std::to_string(c.openedWidth) + "\nScreenHeight = " +
                         std::to_string(c.openedHeight) + "\n"),
              std::string::npos)
        << prefs;
  }
  EXPECT_EQ(boundScreenSize({16384, 16384}, {}).width, 16384);  // nothing known of the display
}

TEST_F(StartupTest, AnAudioDeviceThatFailsIsNotWrittenBackIntoThePreferences) {
  write(folder / "zordata/saves/pref-mac.ini", "[Audio]\nSound = 1\nMusic = 0\n");
  sound.canStart = false;
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(game.prefs.sound, 0);  // this run is silent
  EXPECT_EQ(game.prefs.disableMusic, 1);
  const std::string prefs = read("zordata/saves/pref-mac.ini");
  EXPECT_NE(prefs.find("Sound = 1\nMusic = 0\nDisableAudio = 0\nDisableMusic = 0\n"), std::string::npos) << prefs;
}

TEST_F(StartupTest, WorkingSoundLoadsTheEmptyEffectSlotsAndThePauseMusic) {
  // "zordata" beside the program is a plain file: the data folder is the per-user one.
  TempFolder user;
  args.userFolders.xdgDataHome = user.path();
  write(folder / "zordata", "not a folder");
  const std::string dataFolder = user / "Zorlan/";

  sound.canStart = true;
  sound.sounds[4] = {"custom die", false, 100};  // a custom "die"
  // Every effect loads from the program's folder, except "jump", only under the data folder.
  for (int slot = 1; slot < 24; ++slot) {
    sound.loadable.insert(folder.path() + "zordata/sounds/" + format::kEffectNames[slot] + ".wav");
  }
  sound.loadable.insert(dataFolder + "zordata/sounds/jump.wav");
  const std::string stream = folder.path() + "zordata/music/pause.ogg";
  sound.loadable.insert(stream);
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(game.app.soundWorks);
  std::vector<std::string> loads;
  for (const auto& [slot, path] : sound.slotLoads) loads.push_back(std::to_string(slot) + " " + path);
  ASSERT_EQ(loads.size(), 24u);
  EXPECT_EQ(loads[0], "0 " + folder.path() + "zordata/sounds/jump.wav");
  EXPECT_EQ(loads[1], "0 " + dataFolder + "zordata/sounds/jump.wav");
  EXPECT_EQ(loads[5], "5 " + folder.path() + "zordata/sounds/warp.wav");
  EXPECT_EQ(loads[23], "23 " + folder.path() + "zordata/sounds/splout.wav");
  EXPECT_NE(game.app.pauseMusic, 0);
  EXPECT_EQ(game.app.pauseMusic, sound.soundOf(stream));
  EXPECT_TRUE(files::fileExists(dataFolder + "zordata/saves/save.ini"));
  EXPECT_TRUE(files::fileExists(dataFolder + "zordata/saves/pref-mac.ini"));
}

TEST_F(StartupTest, DisableMusicSilencesMusicForTheRunOnly) {
  write(folder / "zordata/saves/pref-mac.ini", "[Audio]\nMusic = 1\nDisableMusic = 1\n");
  sound.canStart = true;
  sound.loadable.insert(folder.path() + "zordata/music/pause.ogg");
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(game.app.pauseMusic, 0);  // not even loaded
  EXPECT_EQ(game.prefs.music, 0);
  EXPECT_NE(read("zordata/saves/pref-mac.ini").find("Music = 1\n"), std::string::npos);
}

TEST_F(StartupTest, MinusSKeepsSoundOffForThisRunWithoutChangingThePreferenceFile) {
  sound.canStart = true;
  EXPECT_EQ(run({"-s"}), 0);
  EXPECT_EQ(sound.starts, 0);
  EXPECT_FALSE(game.app.soundWorks);
  EXPECT_NE(read("zordata/saves/pref-mac.ini").find("Sound = 1\nMusic = 1\nDisableAudio = 0\n"), std::string::npos);
}

TEST_F(StartupTest, AnUnreadableRunFileIsIgnoredAndPlayStartsFromTheSave) {
  // Present as given and under the runs folder, and unreadable both times.
  write(start / "best.zorrun", "not a run file");
  write(folder / "zordata/runs/best.zorrun", "not one either");
  EXPECT_EQ(run({"best.zorrun"}), 0);
  EXPECT_EQ(game.app.runNumber, 0);
  EXPECT_FALSE(game.random.replaying);
  EXPECT_EQ(splashes(), 1);  // a run file alone does not skip the splash
  EXPECT_NE(read("zordata/saves/save.ini").find("LevelID = first\n"), std::string::npos);
}

TEST_F(StartupTest, TheKeyboardSetupStartOpensTheKeyboardScreen) {
  EXPECT_EQ(run({"-k"}), 0);
  EXPECT_EQ(game.app.menuScreen, menu_screen::Keyboard);
  EXPECT_NE(game.app.menuState, menu_state::Playing);
}

TEST(ScreenSizes, ListsEachSizeOnceByWidthThenHeight) {
  const std::vector<DisplayMode> modes = {
      {800, 600, 32, 60}, {640, 480, 32, 60}, {800, 480, 32, 60}, {1024, 768, 32, 60}, {1024, 768, 32, 75},
  };
  const std::vector<ScreenSize> sizes = listScreenSizes(modes);
  ASSERT_EQ(sizes.size(), 4u);
  const int32_t expected[4][2] = {{640, 480}, {800, 480}, {800, 600}, {1024, 768}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(sizes[i].width, expected[i][0]);
    EXPECT_EQ(sizes[i].height, expected[i][1]);
  }
  EXPECT_TRUE(listScreenSizes({}).empty());
}

}  // namespace
}  // namespace zor
