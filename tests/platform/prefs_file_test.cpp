#include "platform/prefs_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/files.h"

namespace zor::prefs {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  std::string path;  // ends in "/"
  TempDir() {
    std::string t = (fs::temp_directory_path() / "zorprefsXXXXXX").string();
    std::vector<char> buf(t.begin(), t.end());
    buf.push_back('\0');
    path = std::string(mkdtemp(buf.data())) + "/";
  }
  ~TempDir() { fs::remove_all(path); }
};

TEST(PrefsReader, AcceptsWhatEditorsAndOtherSystemsWrite) {
  PrefsReader r;
  r.parse(
      "\xEF\xBB\xBF; comment = not a key\r\n"
      "\t [ Audio ]\r\n"
      "  Sound\t=\t 0\r\n"
      "music=1 \r\n"
      "just some words\n"
      "[video]\n"
      "ScreenWidth = 800\n"
      "ScreenWidth = 1024\n"  // the first one counts
      "Empty =\n");
  ASSERT_TRUE(r.isOpen());
  EXPECT_TRUE(r.selectGroup("AUDIO"));
  EXPECT_EQ(r.readInt("sound", 7), 0);
  EXPECT_EQ(r.readString("Music", ""), "1 ");  // blanks after a value are part of it
  EXPECT_EQ(r.find("comment"), nullptr);
  EXPECT_EQ(r.find("just some words"), nullptr);
  EXPECT_EQ(r.find("ScreenWidth"), nullptr);  // another group
  EXPECT_TRUE(r.selectGroup("Video"));
  EXPECT_EQ(r.readInt("SCREENWIDTH", 0), 800);
  EXPECT_EQ(r.readString("Empty", "default"), "");
  EXPECT_EQ(r.readInt("Empty", 5), 0);  // present but not a number
}

TEST(PrefsReader, MissingGroupsKeysAndFilesGiveDefaults) {
  TempDir dir;
  PrefsReader r;
  EXPECT_FALSE(r.open(dir.path + "none.ini"));
  EXPECT_FALSE(r.selectGroup("Audio"));
  EXPECT_EQ(r.readInt("Sound", 1), 1);
  EXPECT_EQ(r.readString("LevelID", "first"), "first");

  r.parse("[Audio]\nSound = 0\n");
  EXPECT_FALSE(r.selectGroup("Input"));
  EXPECT_EQ(r.readInt("Sound", 1), 1);
}

TEST(PrefsReader, KeysBeforeAnyHeaderAndGroupWalks) {
  PrefsReader r;
  r.parse("Top = 1\n[Input]\nButtonMap07 = 3\nKeyCode00 = 20\nbuttonmap08 = 4\n");
  EXPECT_EQ(r.readInt("Top", 0), 1);  // no group selected yet
  r.selectGroup("Input");
  std::vector<std::string> keys;
  for (const Entry* e : r.groupEntries()) keys.push_back(e->key + "=" + e->value);
  EXPECT_EQ(keys, (std::vector<std::string>{"ButtonMap07=3", "KeyCode00=20", "buttonmap08=4"}));
}

TEST(PrefsReader, ATooLargeFileIsNotRead) {
  TempDir dir;
  ASSERT_TRUE(files::writeFileAtomic(dir.path + "big.ini", "[A]\nK = 1\n" + std::string(2000, ';')));
  PrefsReader r;
  EXPECT_FALSE(r.open(dir.path + "big.ini", 1000));
  r.selectGroup("A");
  EXPECT_EQ(r.readInt("K", 9), 9);
  EXPECT_TRUE(r.open(dir.path + "big.ini", 5000));
  r.selectGroup("A");
  EXPECT_EQ(r.readInt("K", 9), 1);
}

TEST(PrefsWriter, WritesLinesInOrder) {
  PrefsWriter w;
  w.comment("Zorlan 1.3 Save File");
  w.comment("");
  w.group("Gamestate");
  w.key("LevelID", "first");
  w.key("Entrance", "");
  w.key("Deaths", -12);
  w.key("Big", int64_t{1} << 40);
  EXPECT_EQ(w.text(),
            "; Zorlan 1.3 Save File\n"
            "; \n"
            "[Gamestate]\n"
            "LevelID = first\n"
            "Entrance = \n"
            "Deaths = -12\n"
            "Big = 1099511627776\n");
}

TEST(PrefsWriter, ALineBreakInAValueCannotStartANewLine) {
  PrefsWriter w;
  w.group("Gamestate");
  w.key("LevelID", "cave\n[Other]\r\nGFlags = 1");
  EXPECT_EQ(w.text(), "[Gamestate]\nLevelID = cave [Other]  GFlags = 1\n");
  PrefsReader r;
  r.parse(w.text());
  r.selectGroup("Other");
  EXPECT_EQ(r.find("GFlags"), nullptr);
}

TEST(PrefsWriter, SaveCreatesTheFolderAndReadsBack) {
  TempDir dir;
  PrefsWriter w;
  w.group("Audio");
  w.key("Sound", 0);
  const std::string path = dir.path + "zordata/saves/pref-mac.ini";
  ASSERT_TRUE(w.save(path));
  PrefsReader r;
  ASSERT_TRUE(r.open(path));
  r.selectGroup("Audio");
  EXPECT_EQ(r.readInt("Sound", 1), 0);
  // A folder where the file should be: failure is reported.
  fs::create_directories(dir.path + "blocked.ini");
  EXPECT_FALSE(w.save(dir.path + "blocked.ini"));
}

}  // namespace
}  // namespace zor::prefs
