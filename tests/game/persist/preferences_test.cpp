#include "game/persist/preferences.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/files.h"

namespace zor {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  std::string path;  // ends in "/"
  TempDir() {
    std::string t = (fs::temp_directory_path() / "zorprefXXXXXX").string();
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

Controls defaultControls() {
  Controls c;
  EXPECT_TRUE(loadControlDefaults(c));
  return c;
}

struct PrefsFixture : ::testing::Test {
  TempDir dir;
  std::string path = dir.path + "zordata/saves/pref-mac.ini";
  Preferences prefs;
  Controls controls = defaultControls();

  void readText(const std::string& text) {
    ASSERT_TRUE(files::createPath(files::folderPart(path)));
    ASSERT_TRUE(files::writeFileAtomic(path, text));
    readPrefsFile(prefs, controls, path);
  }
};

const char* const kDefaultPrefsText =
    "; Zorlan 1.3 Pref File\n"
    "; \n"
    "[Audio]\n"
    "Sound = 1\n"
    "Music = 1\n"
    "DisableAudio = 0\n"
    "DisableMusic = 0\n"
    "; \n"
    "[Video]\n"
    "ScreenWidth = 640\n"
    "ScreenHeight = 480\n"
    "ScreenDepth = 32\n"
    "Windowed = 1\n"
    "PauseOnUnfocus = 1\n"
    "; \n"
    "[Input]\n"
    "JoystickLeap = 1\n"
    "ButtonMap06 = 2\n"
    "ButtonMap07 = 1\n"
    "ButtonMap08 = 5\n"
    "ButtonMap09 = 6\n"
    "ButtonMap10 = 8\n"
    "ButtonMap11 = 4\n"
    "ButtonMap12 = 10\n"
    "KeyCode00 = 28\n"
    "KeyCode01 = 29\n"
    "KeyCode02 = 102\n"
    "KeyCode03 = 115\n"
    "KeyCode04 = 109\n"
    "KeyCode05 = 136\n"
    "KeyCode06 = 32\n"
    "KeyCode07 = 13\n"
    "KeyCode08 = 30\n"
    "KeyCode09 = 31\n"
    "KeyCode10 = 145\n"
    "KeyCode11 = 114\n"
    "KeyCode12 = 27\n"
    "; \n";

TEST_F(PrefsFixture, AMissingFileGivesDefaultsAndIsCreatedWithItsFoldersOnWrite) {
  prefs.windowed = 0;
  readPrefsFile(prefs, controls, path);
  EXPECT_EQ(prefs.sound, 1);
  EXPECT_EQ(prefs.screenWidth, 640);
  EXPECT_EQ(prefs.windowed, 1);
  EXPECT_EQ(controls.keyCodes, defaultControls().keyCodes);
  ASSERT_TRUE(writePrefsFile(prefs, controls, path));
  EXPECT_EQ(slurp(path), kDefaultPrefsText);
}

TEST_F(PrefsFixture, ValuesReadBackAsWritten) {
  prefs.sound = 0;
  prefs.music = 0;
  prefs.disableAudio = 1;
  prefs.disableMusic = 1;
  prefs.screenWidth = 1920;
  prefs.screenHeight = 1080;
  prefs.screenDepth = 16;
  prefs.pauseOnUnfocus = 0;
  controls.joystickLeap = 2;
  controls.keyCodes[4] = 200;
  controls.buttons[12] = 0;
  ASSERT_TRUE(writePrefsFile(prefs, controls, path));

  Preferences back;
  Controls backControls = defaultControls();
  readPrefsFile(back, backControls, path);
  EXPECT_EQ(back.sound, 0);
  EXPECT_EQ(back.music, 0);
  EXPECT_EQ(back.disableAudio, 1);
  EXPECT_EQ(back.disableMusic, 1);
  EXPECT_EQ(back.screenWidth, 1920);
  EXPECT_EQ(back.screenHeight, 1080);
  EXPECT_EQ(back.screenDepth, 16);
  EXPECT_EQ(back.pauseOnUnfocus, 0);
  EXPECT_EQ(backControls.joystickLeap, 2);
  EXPECT_EQ(backControls.keyCodes, controls.keyCodes);
  EXPECT_EQ(backControls.buttons, controls.buttons);
}

TEST_F(PrefsFixture, OutOfRangeValuesTakeTheirDefaults) {
  struct Case {
    const char* group;
    const char* line;
  };
  const Case cases[] = {
      {"Audio", "Sound = 2"},          {"Audio", "Sound = -1"},         {"Audio", "Music = 99999999999"},
      {"Video", "ScreenWidth = 0"},    {"Video", "ScreenWidth = 100000"}, {"Video", "ScreenHeight = -480"},
      {"Video", "ScreenHeight = 199"}, {"Video", "ScreenDepth = 8"},     {"Video", "ScreenDepth = 31"},
      {"Input", "JoystickLeap = 3"},   {"Input", "JoystickLeap = -1"},   {"Input", "KeyCode04 = 0"},
      {"Input", "KeyCode04 = 256"},    {"Input", "ButtonMap07 = 33"},    {"Input", "ButtonMap07 = -2"},
  };
  for (const Case& c : cases) {
    prefs = Preferences();
    controls = defaultControls();
    readText(std::string("[") + c.group + "]\n" + c.line + "\n");
    EXPECT_EQ(prefs.sound, 1) << c.line;
    EXPECT_EQ(prefs.music, 1) << c.line;
    EXPECT_EQ(prefs.screenWidth, 640) << c.line;
    EXPECT_EQ(prefs.screenHeight, 480) << c.line;
    EXPECT_EQ(prefs.screenDepth, 32) << c.line;
    EXPECT_EQ(controls.joystickLeap, 1) << c.line;
    EXPECT_EQ(controls.keyCodes, defaultControls().keyCodes) << c.line;
    EXPECT_EQ(controls.buttons, defaultControls().buttons) << c.line;
  }
}

TEST_F(PrefsFixture, TheScreenSizeIsTakenAsAPair) {
  readText("[Video]\nScreenWidth = 1024\nScreenHeight = 50\n");
  EXPECT_EQ(prefs.screenWidth, 640);
  EXPECT_EQ(prefs.screenHeight, 480);
  readText("[Video]\nScreenWidth = 1024\nScreenHeight = 768\nScreenDepth = 24\n");
  EXPECT_EQ(prefs.screenWidth, 1024);
  EXPECT_EQ(prefs.screenHeight, 768);
  EXPECT_EQ(prefs.screenDepth, 24);
}

TEST_F(PrefsFixture, ButtonMapKeysAreMatchedByExactPrefixAndNumber) {
  readText(
      "[input]\n"
      "ButtonMap05 = 9\n"
      "ButtonMap13 = 9\n"
      "ButtonMap7 = 11\n"
      "buttonmap08 = 12\n"
      "ButtonMap09 = 0\n");
  const Controls d = defaultControls();
  EXPECT_EQ(controls.buttons[5], d.buttons[5]);
  EXPECT_EQ(controls.buttons[7], 11);
  EXPECT_EQ(controls.buttons[8], d.buttons[8]);  // lower-case prefix
  EXPECT_EQ(controls.buttons[9], 0);
  readText("[Input]\nButtonMap07 = 3\n");
  EXPECT_EQ(controls.buttons[7], 3);
}

TEST_F(PrefsFixture, MissingKeyCodesKeepTheirKeysAndWindowedIsNotRead) {
  controls.keyCodes[4] = 77;
  readText("[Input]\nKeyCode00 = 65\nkeycode01 = 66\n[Video]\nWindowed = 0\n");
  EXPECT_EQ(controls.keyCodes[0], 65);
  EXPECT_EQ(controls.keyCodes[1], 66);  // key names ignore letter case
  EXPECT_EQ(controls.keyCodes[4], 77);
  EXPECT_EQ(prefs.windowed, 1);
}

TEST_F(PrefsFixture, SettingsOnlyReadAreNotWritten) {
  readText("[Video]\nDwmEnableComposition = 0\nScreenWrapCheck = 0\n");
  EXPECT_EQ(prefs.dwmEnableComposition, 0);
  EXPECT_EQ(prefs.screenWrapCheck, 0);
  const std::string text = buildPrefsText(prefs, controls);
  EXPECT_EQ(text.find("Dwm"), std::string::npos);
  EXPECT_EQ(text.find("ScreenWrapCheck"), std::string::npos);
}

TEST_F(PrefsFixture, AudioFallbacksOfTheSessionAreNotWrittenBack) {
  readText("[Audio]\nSound = 1\nMusic = 1\nDisableMusic = 0\n");
  applyAudioFallback(prefs);  // the audio device did not start
  EXPECT_EQ(prefs.sound, 0);
  EXPECT_EQ(prefs.music, 0);
  EXPECT_EQ(prefs.disableMusic, 1);
  applyAudioFallback(prefs);  // twice changes nothing more
  ASSERT_TRUE(writePrefsFile(prefs, controls, path));
  Preferences back;
  Controls c = defaultControls();
  readPrefsFile(back, c, path);
  EXPECT_EQ(back.sound, 1);
  EXPECT_EQ(back.music, 1);
  EXPECT_EQ(back.disableMusic, 0);

  // DisableMusic chosen by the player: it stays, only the session's Music is 0.
  readText("[Audio]\nMusic = 1\nDisableMusic = 1\n");
  applyMusicDisabled(prefs);
  EXPECT_EQ(prefs.music, 0);
  prefs.sound = 0;  // the player turns effects off during the run
  const std::string text = buildPrefsText(prefs, controls);
  EXPECT_NE(text.find("Sound = 0\nMusic = 1\nDisableAudio = 0\nDisableMusic = 1\n"), std::string::npos);
}

TEST_F(PrefsFixture, AScreenThatCannotOpenIsNotWrittenBack) {
  readText("[Video]\nScreenWidth = 4000\nScreenHeight = 3000\nScreenDepth = 16\n");
  noteScreenFailed(prefs, 4000, 3000);
  std::string text = buildPrefsText(prefs, controls);
  EXPECT_NE(text.find("ScreenWidth = 640\nScreenHeight = 480\nScreenDepth = 32\n"), std::string::npos);

  // A mode chosen in the menus that fails leaves the one that worked.
  noteScreenOpened(prefs, 1280, 720, 32);
  noteScreenFailed(prefs, 2560, 1440);
  text = buildPrefsText(prefs, controls);
  EXPECT_NE(text.find("ScreenWidth = 1280\nScreenHeight = 720\n"), std::string::npos);
}

TEST_F(PrefsFixture, AFailedWriteIsReportedAndKeepsTheOldFile) {
  ASSERT_TRUE(writePrefsFile(prefs, controls, path));
  EXPECT_FALSE(writePrefsFile(prefs, controls, ""));
  ASSERT_TRUE(files::writeFileAtomic(dir.path + "plainfile", "x"));
  EXPECT_FALSE(writePrefsFile(prefs, controls, dir.path + "plainfile/saves/pref-mac.ini"));
  EXPECT_EQ(slurp(path), kDefaultPrefsText);
}

TEST(DataFolder, AWritableProgramFolderIsUsedAndLeavesNoProbe) {
  TempDir program;
  TempDir user;
  Game game;
  chooseDataFolder(game, program.path, UserFolderEnv{user.path, ""});
  EXPECT_EQ(game.session.dataFolder, program.path);
  EXPECT_EQ(game.session.dataPath("zordata/runs/"), program.path + "zordata/runs/");
  EXPECT_EQ(game.session.prefsPath, program.path + "zordata/saves/pref-mac.ini");
  EXPECT_TRUE(files::isFolder(program.path + "zordata"));
  EXPECT_FALSE(files::fileExists(program.path + "zordata/test.tmp"));
  EXPECT_TRUE(fs::is_empty(user.path));
}

// An installed game (its folder holds the install's mark) writes to the per-user
// folder even where it could write beside itself, as under a prefix like ~/.local.
TEST(DataFolder, AnInstalledGameUsesThePerUserFolderEvenWhenItsOwnIsWritable) {
  TempDir program;
  TempDir user;
  ASSERT_TRUE(files::writeFileAtomic(program.path + kInstalledMark, "installed\n"));
  Game game;
  chooseDataFolder(game, program.path, UserFolderEnv{user.path, ""});
  EXPECT_EQ(game.session.dataFolder, user.path + "Zorlan/");
  EXPECT_EQ(game.session.prefsPath, user.path + "Zorlan/zordata/saves/pref-mac.ini");
  EXPECT_FALSE(files::isFolder(program.path + "zordata"));  // nothing is made beside the program
}

TEST(DataFolder, WithoutAUsableZordataThePerUserFolderIsUsed) {
  TempDir program;
  TempDir user;
  ASSERT_TRUE(files::writeFileAtomic(program.path + "zordata", "a file, not a folder"));
  const std::string folder = chooseDataFolder(program.path, UserFolderEnv{user.path + "share", ""});
  EXPECT_EQ(folder, user.path + "share/Zorlan/");
  EXPECT_TRUE(files::isFolder(folder));
  Preferences prefs;
  Controls controls = defaultControls();
  ASSERT_TRUE(writePrefsFile(prefs, controls, prefsPathFor(folder)));
  EXPECT_TRUE(files::fileExists(user.path + "share/Zorlan/zordata/saves/pref-mac.ini"));
}

TEST(DataFolder, UserFolderFollowsXdgThenHome) {
  struct Case {
    UserFolderEnv env;
    const char* expect;
  };
  const Case cases[] = {
      {{"/data", "/home/u"}, "/data/Zorlan/"},
      {{"/data/", "/home/u"}, "/data/Zorlan/"},
      {{"relative", "/home/u"}, "/home/u/.local/share/Zorlan/"},
      {{"", "/home/u/"}, "/home/u/.local/share/Zorlan/"},
      {{"", ""}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(getUserDataFolder(c.env, "Zorlan", "", false), c.expect);
  EXPECT_EQ(getUserDataFolder({"/data", ""}, "Zorlan", "Game", false), "/data/Game/Zorlan/");
}

TEST(DataFolder, GameLevelCallsUseTheSessionPath) {
  TempDir program;
  Game game;
  chooseDataFolder(game, program.path, UserFolderEnv{});
  ASSERT_TRUE(loadControlDefaults(game.controls));
  game.prefs.sound = 0;
  ASSERT_TRUE(writePrefsFile(game));
  game.prefs = Preferences();
  readPrefsFile(game);
  EXPECT_EQ(game.prefs.sound, 0);
  EXPECT_TRUE(files::fileExists(program.path + "zordata/saves/pref-mac.ini"));
}

}  // namespace
}  // namespace zor
