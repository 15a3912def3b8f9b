#include <gtest/gtest.h>

#include <clocale>
#include <locale>

#include "editor/core/number_text.h"
#include "editor/core/preferences.h"
#include "tests/game/app/temp_folder.h"

namespace zor::editor {
namespace {

TEST(EditorPreferences, MissingOrBrokenFileGivesTheDefaults) {
  zor::testing::TempFolder temp;
  const EditorPreferences missing = readPreferences(temp / "none.ini");
  EXPECT_FALSE(missing.fileFound);
  const EditorPreferences broken = parsePreferences("\x01\xff garbage\n[[[\n=\nWinW\n", true);
  for (const EditorPreferences& p : {missing, broken}) {
    EXPECT_EQ(p.winX, 0);
    EXPECT_EQ(p.winY, 0);
    EXPECT_EQ(p.winW, 880);
    EXPECT_EQ(p.winH, 660);
    EXPECT_EQ(p.winMax, 0);
    EXPECT_EQ(p.lastPath, "");  // no folder used yet
    EXPECT_EQ(p.lastFile, "");
    EXPECT_EQ(p.mouseWheelZoom, 1);
    EXPECT_EQ(p.scriptFont, "Courier New");
    EXPECT_EQ(p.scriptFontSize, 10);
    EXPECT_EQ(p.recentFiles.size(), 5u);
    EXPECT_EQ(colourText(p.scriptValue), "8000FF");
    EXPECT_EQ(colourText(p.scriptLineNumber), "FF6000");
    EXPECT_EQ(colourText(p.scriptInactive), "FFE0E0");
  }
}

TEST(EditorPreferences, FileIsWrittenWithItsKeysInOrder) {
  EditorPreferences p;
  p.winX = -5;
  p.lastPath = "/home/u/games/";
  p.lastFile = "/home/u/games/castle.zorlan";
  p.lastZone = "tower";
  p.recentFiles = {"/a", "", "/c"};
  p.scriptNode = readColourText("0000FF");
  EXPECT_EQ(preferencesText(p),
            "; ZorlED 1.3\n"
            "WinX = -5\nWinY = 0\nWinW = 880\nWinH = 660\nWinMax = 0\nMouseWheelZoom = 1\n"
            "LastPath = /home/u/games/\nLastFile = /home/u/games/castle.zorlan\nLastZone = tower\n"
            "Executable = \nRecentSize = 3\nRecentFile1 = /a\nRecentFile2 = \nRecentFile3 = /c\n"
            "ScriptFont = Courier New\nScriptFontSize = 10\nScriptBackground = FFFFFF\nScriptNormal = 000000\n"
            "ScriptNode = 0000FF\nScriptAttrib = FF0000\nScriptValue = 8000FF\nScriptComment = 008000\n"
            "ScriptLineNumber = FF6000\nScriptLineBack = 401800\nScriptInactive = FFE0E0\n"
            "ScriptSpecial = D0FFD0\n");
}

TEST(EditorPreferences, ValuesAreBoundedOnReading) {
  const EditorPreferences p = parsePreferences(
      "; ZorlED 1.3\nWinX = 99999999999\nWinW = -3\nMouseWheelZoom = -4\nRecentSize = 0\nRecentFile1 = /x\n"
      "ScriptBackground = 102030\nScriptFontSize = 100000\n",
      true);
  EXPECT_EQ(p.winX, 100000);
  EXPECT_EQ(p.winW, 1);
  EXPECT_EQ(p.mouseWheelZoom, 4);
  ASSERT_EQ(p.recentFiles.size(), 5u);
  EXPECT_EQ(p.recentFiles[0], "/x");
  EXPECT_EQ(p.scriptBackground, 0x302010);
  EXPECT_EQ(p.scriptFontSize, 400);
  EXPECT_EQ(parsePreferences("RecentSize = -2\n", true).recentFiles.size(), 5u);
  EXPECT_EQ(parsePreferences("RecentSize = 2000000000\n", true).recentFiles.size(),
            static_cast<std::size_t>(kMaxRecentSize));
  EXPECT_EQ(parsePreferences("RecentSize = 7\n", true).recentFiles.size(), 7u);
}

TEST(EditorPreferences, SavedFileReadsBack) {
  zor::testing::TempFolder temp;
  EditorPreferences p;
  p.winMax = 1;
  p.mouseWheelZoom = 3;
  p.recentFiles = {"/one", "/two"};
  p.scriptComment = 0x123456;
  ASSERT_TRUE(savePreferences(p, temp / "deep/er/"));
  const EditorPreferences q = readPreferences(temp / "deep/er/zorled.ini");
  EXPECT_TRUE(q.fileFound);
  EXPECT_EQ(q.winMax, 1);
  EXPECT_EQ(q.mouseWheelZoom, 3);
  EXPECT_EQ(q.recentFiles, p.recentFiles);
  EXPECT_EQ(q.scriptComment, 0x123456);
}

TEST(EditorPreferences, RecentFilesMoveToTheTop) {
  EditorPreferences p;
  p.recentFiles = {"a", "b", "c", "d", "e"};
  addRecentFile(p, "c");
  EXPECT_EQ(p.recentFiles, (std::vector<std::string>{"c", "a", "b", "d", "e"}));
  addRecentFile(p, "f");
  EXPECT_EQ(p.recentFiles, (std::vector<std::string>{"f", "c", "a", "b", "d"}));
  addRecentFile(p, "f");
  EXPECT_EQ(p.recentFiles, (std::vector<std::string>{"f", "c", "a", "b", "d"}));
  addRecentFile(p, "");
  EXPECT_EQ(p.recentFiles[0], "f");
  p.recentFiles = {"", "", ""};
  addRecentFile(p, "x");
  EXPECT_EQ(p.recentFiles, (std::vector<std::string>{"x", "", ""}));
}

TEST(EditorPreferences, WindowGeometryFollowsTheWindowStateAndStaysOnAScreen) {
  EditorPreferences p;
  recordWindowGeometry(p, WindowState::Normal, 10, 20, 900, 700);
  EXPECT_EQ(p.winX, 10);
  EXPECT_EQ(p.winW, 900);
  recordWindowGeometry(p, WindowState::Maximised, 0, 0, 1, 1);
  EXPECT_EQ(p.winMax, 1);
  EXPECT_EQ(p.winX, 10);
  recordWindowGeometry(p, WindowState::Minimised, 0, 0, 1, 1);
  EXPECT_EQ(p.winMax, 1);
  EXPECT_EQ(p.winW, 900);

  const std::vector<ScreenRect> screens = {{0, 0, 1280, 1024}, {1280, 0, 1920, 1080}};
  p.winX = 1500;
  p.winY = 100;
  fitGeometryToScreens(p, screens);
  EXPECT_EQ(p.winX, 1500);  // on the second screen
  p.winX = -5000;
  p.winY = 9000;
  p.winW = 5000;
  p.winH = 100;
  fitGeometryToScreens(p, screens);
  EXPECT_EQ(p.winW, 1920);
  EXPECT_EQ(p.winH, 265);
  EXPECT_EQ(p.winX, 0);
  EXPECT_EQ(p.winY, (1024 - 265) / 2);
}

TEST(EditorNumbers, TrimmedDecimals) {
  const std::pair<double, const char*> cases[] = {
      {12.5, "12.5"}, {12.0, "12"}, {100.0, "100"}, {12.54, "12.5"}, {-0.04, "0"},
      {-10.25, "-10.2"}, {0.96, "1"}, {-3.0, "-3"}, {1e9, "1000000000"},
  };
  for (const auto& [value, expected] : cases) EXPECT_EQ(trimmedDecimal(value), expected) << value;
}

// The desktop's locale may use a decimal comma; the files never do.
struct CommaPoint : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST(EditorNumbers, WritersIgnoreACommaLocale) {
  const std::locale before = std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
  const std::string cLocale = std::setlocale(LC_ALL, nullptr);
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
    if (std::setlocale(LC_ALL, name)) break;
  }
  EXPECT_EQ(trimmedDecimal(12.5), "12.5");
  EditorPreferences p;
  p.winX = 1234567;
  const std::string text = preferencesText(p);
  std::setlocale(LC_ALL, cLocale.c_str());
  std::locale::global(before);
  EXPECT_NE(text.find("WinX = 1234567\n"), std::string::npos);
}

}  // namespace
}  // namespace zor::editor
