#include "editor/core/test_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "editor/core/commands.h"
#include "editor/core/zone_records.h"
#include "platform/folder_list.h"
#include "tests/editor/core/editor_fixture.h"

namespace zor::editor::test {
namespace {

TEST(TestRunArguments, FlagModesAndZones) {
  struct Case {
    bool withZone;
    const char* entrance;
    int mode;
    const char* setflags;
    std::vector<std::string> tail;  // after the program, "-g" and the file
  };
  const Case cases[] = {
      {false, "", 0, "3,7", {}},
      {false, "", 1, "3,7", {"-f", "x"}},
      {true, "gate", 2, "3,7", {"-z", "castle:gate", "-f", "3,7"}},
      {true, "", 2, "", {"-z", "castle:", "-f", "x"}},
      {true, "-", 0, "", {"-z", "castle:-"}},
      {true, "a_b", 1, "", {"-z", "castle:a_b", "-f", "x"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> expected = {"/opt/zorlan", "-g", "/g/zorled.xml"};
    expected.insert(expected.end(), c.tail.begin(), c.tail.end());
    EXPECT_EQ(testRunArguments("/opt/zorlan", "/g/zorled.xml", "castle", c.entrance, c.withZone, c.mode, c.setflags),
              expected);
  }
}

TEST(TestRunArguments, EntranceIsEverythingAfterTheFirstUnderscore) {
  EXPECT_EQ(entranceNamePart("entrance"), "");
  EXPECT_EQ(entranceNamePart("entrance_gate"), "gate");
  EXPECT_EQ(entranceNamePart("entrance_north_gate"), "north_gate");
  EXPECT_EQ(entranceNamePart("entrance_"), "");
}

// A desktop whose program runs are scripted; it notes what the game would have seen.
class RunPort : public FakePort {
 public:
  struct Run {
    std::vector<std::string> argv;
    std::string folder;
    bool windowShown;
    std::string gameFile;  // the temporary file's content during the run
  };
  std::vector<Run> runs;
  process::Result result{true, 0, ""};

  process::Result runProgram(const std::vector<std::string>& argv, const std::string& folder) override {
    Run run{argv, folder, windowShown, ""};
    if (argv.size() > 2) files::readFile(argv[2], run.gameFile, 1u << 20);
    runs.push_back(run);
    return result;
  }
};

class NoHost : public CommandHost {
 public:
  void toggleMaximised() override {}
  std::string ownExecutable() override { return ""; }
};

class TestRunTest : public ::testing::Test {
 protected:
  TestRunTest() : editor(port) {
    editor.folders.program = temp / "bin/";
    editor.folders.preference = temp / "prefs/";
    files::createPath(editor.folders.program + "zordata");
    files::createPath(editor.folders.preference);
    files::createPath(temp / "games");
  }
  std::string makeExecutable(const std::string& path) {
    EXPECT_TRUE(files::writeFileAtomic(path, "#!/bin/sh\n"));
    ::chmod(path.c_str(), 0755);
    return path;
  }
  std::string gamePath() const { return temp / "games/castle.zorlan"; }
  void openGame(const std::string& zones) {
    ASSERT_TRUE(files::writeFileAtomic(gamePath(), "<zorlan version=\"1\">" + zones + "</zorlan>"));
    ASSERT_TRUE(loadGameFileForEditing(editor, gamePath()));
  }
  void openZoneById(const std::string& id) {
    for (const ZoneEntry& z : editor.game.zones) {
      if (z.id == id) {
        ASSERT_TRUE(openZone(editor, z.node));
      }
    }
  }
  void select(const std::string& elementName) {
    for (auto& record : editor.zone.objects) {
      if (record->node && record->node->name == elementName) {
        record->flags |= objflag::Selected;
        ++editor.zone.selectionCount;
      }
    }
  }
  std::vector<std::string> gameFolder() { return files::listFilesWithSuffix(temp / "games", ""); }

  zor::testing::TempFolder temp;
  RunPort port;
  Editor editor;
  NoHost host;
};

constexpr const char* kCastle =
    "<zone id=\"First\"><levels><level z=\"0\"/></levels><entrance x=\"0\" y=\"0\" z=\"0\"/>"
    "<entrance_gate x=\"400\" y=\"0\" z=\"0\"/><entrance_far_away x=\"900\" y=\"0\" z=\"0\"/></zone>";

TEST_F(TestRunTest, FindsTheGameProgram) {
  EXPECT_EQ(findGameExecutable(editor), "");
  const std::string beside = makeExecutable(editor.folders.program + "zorlan");
  EXPECT_EQ(findGameExecutable(editor), beside);
  EXPECT_EQ(editor.prefs.executable, "");  // looking does not store it; a run does
  // A preference naming a file that cannot run, or a folder, is passed over.
  ASSERT_TRUE(files::writeFileAtomic(temp / "notes.txt", "x"));
  for (const std::string& p : {temp / "notes.txt", temp.path(), temp / "missing"}) {
    editor.prefs.executable = p;
    EXPECT_EQ(findGameExecutable(editor), beside) << p;
  }
  editor.prefs.executable = makeExecutable(temp / "mygame");
  EXPECT_EQ(findGameExecutable(editor), temp / "mygame");
}

TEST_F(TestRunTest, RequesterTakesOnlyAnExecutable) {
  ASSERT_TRUE(files::writeFileAtomic(temp / "notes.txt", "x"));
  port.fileChoices.push_back({true, temp / "notes.txt", 0});
  EXPECT_FALSE(chooseGameExecutable(editor));
  EXPECT_EQ(editor.prefs.executable, "");
  ASSERT_EQ(port.messages.size(), 1u);
  ASSERT_EQ(port.openRequests.size(), 1u);
  EXPECT_EQ(port.openRequests[0].title, "Select Game Executable");
  EXPECT_EQ(port.openRequests[0].pattern, "All Files (*.*)|*");
  port.fileChoices.push_back({true, makeExecutable(temp / "mygame"), 0});
  EXPECT_TRUE(chooseGameExecutable(editor));
  EXPECT_EQ(editor.prefs.executable, temp / "mygame");
  EXPECT_FALSE(chooseGameExecutable(editor));  // cancelled: kept
  EXPECT_EQ(editor.prefs.executable, temp / "mygame");
}

TEST_F(TestRunTest, StartEntrance) {
  openGame(kCastle);
  openZoneById("First");
  std::string part;
  editor.game.nearest = 0;
  ASSERT_TRUE(startEntrancePart(editor, &part));
  EXPECT_EQ(part, "-");
  editor.game.nearest = 1;
  editor.zone.view.camx = 800;
  ASSERT_TRUE(startEntrancePart(editor, &part));
  EXPECT_EQ(part, "far_away");
  editor.zone.view.camx = 200;  // as near to both: the earlier in the object list
  ASSERT_TRUE(startEntrancePart(editor, &part));
  const EditorObject* firstListed = nullptr;
  for (const auto& r : editor.zone.objects) {
    if (r->kind == kind::Entrance && r->x != 900.0f && !firstListed) firstListed = r.get();
  }
  ASSERT_NE(firstListed, nullptr);
  EXPECT_EQ(part, entranceNamePart(firstListed->node->name));
  select("entrance");  // the selected default entrance wins: an empty part
  ASSERT_TRUE(startEntrancePart(editor, &part));
  EXPECT_EQ(part, "");
}

TEST_F(TestRunTest, RunsTheGameOnATemporaryCopyAndRemovesIt) {
  makeExecutable(editor.folders.program + "zorlan");
  openGame(kCastle);
  openZoneById("First");
  select("entrance_gate");
  editor.game.gflagTestMode = 2;
  editor.game.setflags = "3,7";
  // A game of the user's that happens to carry the temporary name.
  ASSERT_TRUE(files::writeFileAtomic(temp / "games/zorled.xml", "mine"));
  startTestRun(editor, host);

  ASSERT_EQ(port.runs.size(), 1u);
  const RunPort::Run& run = port.runs[0];
  EXPECT_EQ(run.argv, (std::vector<std::string>{editor.folders.program + "zorlan", "-g", temp / "games/zorled-2.xml",
                                                "-z", "First:gate", "-f", "3,7"}));
  EXPECT_EQ(run.folder, temp / "games/");
  EXPECT_FALSE(run.windowShown);
  EXPECT_NE(run.gameFile.find("<entrance_gate"), std::string::npos);
  EXPECT_TRUE(port.windowShown);
  EXPECT_TRUE(port.questions.empty());
  EXPECT_TRUE(port.messages.empty());
  EXPECT_EQ(gameFolder(), (std::vector<std::string>{"castle.zorlan", "zorled.xml"}));
  std::string mine;
  files::readFile(temp / "games/zorled.xml", mine, 100);
  EXPECT_EQ(mine, "mine");
}

TEST_F(TestRunTest, GameProgramFoundBesideTheEditorBecomesTheSetting) {
  const std::string beside = makeExecutable(editor.folders.program + "zorlan");
  openGame(kCastle);
  // An empty setting, and one naming a file that cannot run, are both replaced.
  for (const std::string& setting : {std::string(), temp / "games/castle.zorlan"}) {
    SCOPED_TRACE(setting);
    editor.prefs.executable = setting;
    startTestRun(editor, host);
    EXPECT_EQ(editor.prefs.executable, beside);
    ASSERT_FALSE(port.runs.empty());
    EXPECT_EQ(port.runs.back().argv.front(), beside);
  }
  // A setting that names a program is kept.
  editor.prefs.executable = makeExecutable(temp / "mygame");
  startTestRun(editor, host);
  EXPECT_EQ(editor.prefs.executable, temp / "mygame");
}

TEST_F(TestRunTest, GameNeverSavedRunsFromTheDataFolderBesideTheGame) {
  makeExecutable(editor.folders.program + "zorlan");
  openGame(kCastle);
  editor.game.path.clear();
  startTestRun(editor, host);
  ASSERT_EQ(port.runs.size(), 1u);
  EXPECT_EQ(port.runs[0].argv, (std::vector<std::string>{editor.folders.program + "zorlan", "-g",
                                                         editor.folders.program + "zordata/zorled.xml"}));
  EXPECT_EQ(port.runs[0].folder, editor.folders.program + "zordata/");
  EXPECT_FALSE(files::fileExists(editor.folders.program + "zordata/zorled.xml"));
}

TEST_F(TestRunTest, GameThatFailsToStartIsReported) {
  makeExecutable(editor.folders.program + "zorlan");
  openGame(kCastle);
  port.result = {false, -1, "Permission denied"};
  startTestRun(editor, host);
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text,
            "Could not start the game:\r\n" + editor.folders.program + "zorlan\r\n\r\nPermission denied");
  EXPECT_TRUE(port.windowShown);
  EXPECT_EQ(gameFolder(), std::vector<std::string>{"castle.zorlan"});
}

TEST_F(TestRunTest, QuestionsBeforeTheRun) {
  makeExecutable(editor.folders.program + "zorlan");
  // No zone "first", and a zone with warnings: No to either abandons the run.
  openGame("<zone id=\"yard\"><levels><level z=\"0\"/></levels><entrance_a/><block oname=\"you\"/></zone>");
  openZoneById("yard");
  editor.game.nearest = 0;
  startTestRun(editor, host);
  EXPECT_EQ(port.questions, std::vector<std::string>{"Every game requires a zone with the ID 'first'.\n\nContinue testing?"});
  port.answers = {Answer::Yes, Answer::No};
  startTestRun(editor, host);
  ASSERT_EQ(port.questions.size(), 3u);
  EXPECT_EQ(port.questions[2],
            "Zone warnings:\n - Missing default (unnamed) entrance\n - Block with reserved Oname (you)\n\n"
            "Continue testing?");
  EXPECT_TRUE(port.runs.empty());
  EXPECT_EQ(gameFolder(), std::vector<std::string>{"castle.zorlan"});
  port.answers = {Answer::Yes, Answer::Yes};
  startTestRun(editor, host);
  ASSERT_EQ(port.runs.size(), 1u);
  EXPECT_EQ(port.runs[0].argv.at(4), "yard:-");
}

TEST_F(TestRunTest, NearestWithoutAnyEntranceStops) {
  makeExecutable(editor.folders.program + "zorlan");
  openGame("<zone id=\"first\"><levels><level z=\"0\"/></levels></zone>");
  openZoneById("first");
  startTestRun(editor, host);
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "This zone needs at least one entrance!");
  EXPECT_TRUE(port.runs.empty());
  EXPECT_EQ(gameFolder(), std::vector<std::string>{"castle.zorlan"});
}

TEST_F(TestRunTest, WithoutZonesOrProgramNothingIsWritten) {
  openGame("");
  startTestRun(editor, host);
  EXPECT_EQ(port.questions,
            std::vector<std::string>{"You cannot test a game that contains no zones.\r\nWould you like to create one now?"});
  openGame(kCastle);
  port.questions.clear();
  port.answers = {Answer::Yes};  // browse, then cancel the requester
  startTestRun(editor, host);
  EXPECT_EQ(port.questions,
            std::vector<std::string>{"Could not find game executable.\r\nWould you like to browse for it now?"});
  EXPECT_EQ(port.openRequests.size(), 1u);
  // A program chosen in the requester starts the run over.
  port.answers = {Answer::Yes};
  port.fileChoices.push_back({true, makeExecutable(temp / "mygame"), 0});
  startTestRun(editor, host);
  ASSERT_EQ(port.runs.size(), 1u);
  EXPECT_EQ(port.runs[0].argv[0], temp / "mygame");
  EXPECT_EQ(gameFolder(), std::vector<std::string>{"castle.zorlan"});
}

TEST_F(TestRunTest, TemporaryNamesNeverTakeAnExistingFile) {
  ASSERT_TRUE(files::writeFileAtomic(temp / "games/zorled.xml", "a"));
  ASSERT_TRUE(files::writeFileAtomic(temp / "games/zorled-2.xml", "b"));
  EXPECT_EQ(createTemporaryGameFile(temp / "games/"), temp / "games/zorled-3.xml");
  EXPECT_EQ(createTemporaryGameFile(temp / "games/"), temp / "games/zorled-4.xml");
  EXPECT_EQ(createTemporaryGameFile(temp / "missing/"), "");
}

}  // namespace
}  // namespace zor::editor::test
