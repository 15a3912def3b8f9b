#include <gtest/gtest.h>

#include <functional>

#include "editor/core/commands.h"
#include "editor/core/session.h"
#include "platform/folder_list.h"
#include "tests/editor/core/editor_fixture.h"

namespace zor::editor::test {
namespace {

class FakeHost : public CommandHost {
 public:
  void toggleMaximised() override {}
  std::string ownExecutable() override { return "/opt/zorled"; }
};

class SessionTest : public EditorTest {
 protected:
  std::string game(const std::string& name = "castle.zorlan") {
    return writeFile(name, "<zorlan version=\"1\" gtitle=\"Castle\"><zone id=\"hall\" notes=\"Mind the gap\">"
                           "<levels><level z=\"0\"/></levels></zone><zone id=\"attic\"/></zorlan>");
  }
  std::vector<std::string> backups() { return listBackupFiles(editor.folders.preference); }
  std::string pref(const std::string& name) { return editor.folders.preference + name; }
};

TEST_F(SessionTest, AutomaticBackupComesAtTheFirstEventAfterSixtySeconds) {
  afterEvent(editor);  // no game: never a backup
  port.clock += 1000;
  afterEvent(editor);
  EXPECT_TRUE(backups().empty());

  ASSERT_TRUE(loadGameFileForEditing(editor, game()));
  port.clock += 60;
  afterEvent(editor);
  EXPECT_TRUE(backups().empty());
  port.clock += 1;
  afterEvent(editor);
  EXPECT_EQ(backups(), std::vector<std::string>{"castle.zorlan.tmp"});
  EXPECT_EQ(readBack(pref("castle.zorlan.tmp")), readBack(temp / "castle.zorlan"));
  // The next one 60 seconds after this one, whether or not the game changed.
  ASSERT_TRUE(files::deleteFile(pref("castle.zorlan.tmp")));
  port.clock += 60;
  afterEvent(editor);
  EXPECT_TRUE(backups().empty());
  port.clock += 1;
  afterEvent(editor);
  EXPECT_EQ(backups().size(), 1u);
  EXPECT_FALSE(editor.session.ended);
}

TEST_F(SessionTest, UnsavedGameIsBackedUpUnderTheEditorsName) {
  ASSERT_TRUE(loadGameFileForEditing(editor, game()));
  editor.game.fileName.clear();
  port.clock += 61;
  afterEvent(editor);
  EXPECT_EQ(backups(), std::vector<std::string>{"zorled.xml.tmp"});
}

TEST_F(SessionTest, UnwritableBackupFolderGivesTheStatusMessage) {
  ASSERT_TRUE(loadGameFileForEditing(editor, game()));
  editor.folders.preference = writeFile("plainfile", "x") + "/";
  port.clock += 61;
  afterEvent(editor);
  EXPECT_EQ(port.status[0], "Failed to save automatic backup: " + editor.folders.preference + "castle.zorlan.tmp");
  EXPECT_EQ(editor.session.lastBackupTime, port.clock);
}

TEST_F(SessionTest, QuitWritesPreferencesAndDeletesOnlyItsOwnBackups) {
  writeFile("prefs/other.zorlan.tmp", "theirs");
  ASSERT_TRUE(loadGameFileForEditing(editor, game()));
  port.clock += 61;
  afterEvent(editor);
  ASSERT_EQ(backups().size(), 2u);
  FakeHost host;
  dispatchCommand(editor, host, Command::Quit);
  EXPECT_TRUE(editor.session.quitRequested);
  EXPECT_TRUE(afterEvent(editor));
  EXPECT_EQ(port.endedWith, 0);
  EXPECT_FALSE(port.windowShown);
  EXPECT_EQ(backups(), std::vector<std::string>{"other.zorlan.tmp"});
  const EditorPreferences saved = readPreferences(pref("zorled.ini"));
  EXPECT_EQ(saved.lastFile, temp / "castle.zorlan");
}

// Two editors on one game file (New Window reopening it): each keeps its own
// backup, and after a crash of the first its work is offered at the next start.
TEST_F(SessionTest, TwoEditorsOnOneGameKeepTheirOwnBackups) {
  const std::string path = game();
  ASSERT_TRUE(loadGameFileForEditing(editor, path));
  editor.game.document->root()->setAttr("gtitle", "Unsaved work of the first");
  markModified(editor);
  FakePort secondPort;
  secondPort.clock = port.clock;
  Editor secondEditor(secondPort);
  Editor* second = &secondEditor;
  second->folders = editor.folders;
  second->session.backupCheck = false;  // started with "--notemp"
  ASSERT_TRUE(loadGameFileForEditing(*second, path));

  port.clock += 61;
  afterEvent(editor);
  ASSERT_EQ(backups(), std::vector<std::string>{"castle.zorlan.tmp"});
  const std::string firstBackup = readBack(pref("castle.zorlan.tmp"));
  EXPECT_NE(firstBackup.find("Unsaved work of the first"), std::string::npos);
  secondPort.clock += 61;
  afterEvent(*second);
  EXPECT_EQ(backups(), (std::vector<std::string>{"castle (2).zorlan.tmp", "castle.zorlan.tmp"}));
  EXPECT_EQ(readBack(pref("castle.zorlan.tmp")), firstBackup);
  // Each goes on writing its own.
  port.clock += 61;
  afterEvent(editor);
  secondPort.clock += 61;
  afterEvent(*second);
  EXPECT_EQ(readBack(pref("castle.zorlan.tmp")), firstBackup);
  EXPECT_EQ(backups().size(), 2u);

  // The first is killed (it never quits); the second quits normally.
  second->session.quitRequested = true;
  EXPECT_TRUE(afterEvent(*second));
  EXPECT_EQ(backups(), std::vector<std::string>{"castle.zorlan.tmp"});

  // The next start offers the first one's work.
  FakePort nextPort;
  Editor next(nextPort);
  next.folders = editor.folders;
  nextPort.chooserAnswers.push_back(0);
  nextPort.fileChoices.push_back({true, pref("castle.zorlan.tmp"), 0});
  EXPECT_TRUE(runBackupCheck(next));
  ASSERT_EQ(nextPort.choosers.size(), 1u);
  EXPECT_EQ(nextPort.choosers[0].prompt, "Some backup game files were found:");
  ASSERT_TRUE(gameOpen(next));
  EXPECT_EQ(next.game.document->root()->attr("gtitle"), "Unsaved work of the first");
}

// A backup that someone else wrote since this editor's last one is theirs: the
// editor writes its next backup beside it and leaves it at quit.
TEST_F(SessionTest, BackupRewrittenByAnotherIsNeitherOverwrittenNorDeleted) {
  ASSERT_TRUE(loadGameFileForEditing(editor, game()));
  port.clock += 61;
  afterEvent(editor);
  ASSERT_EQ(backups(), std::vector<std::string>{"castle.zorlan.tmp"});
  writeFile("prefs/castle.zorlan.tmp", "theirs");
  port.clock += 61;
  afterEvent(editor);
  EXPECT_EQ(backups(), (std::vector<std::string>{"castle (2).zorlan.tmp", "castle.zorlan.tmp"}));
  EXPECT_EQ(readBack(pref("castle.zorlan.tmp")), "theirs");
  requestClose(editor);
  EXPECT_TRUE(afterEvent(editor));
  EXPECT_EQ(backups(), std::vector<std::string>{"castle.zorlan.tmp"});
  EXPECT_EQ(readBack(pref("castle.zorlan.tmp")), "theirs");
}

TEST_F(SessionTest, FatalErrorDeletesNoBackup) {
  ASSERT_TRUE(loadGameFileForEditing(editor, game()));
  port.clock += 61;
  afterEvent(editor);
  fatalError(editor, "Main window could not be created!");
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].title, "ZorlED - Error");
  EXPECT_EQ(port.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(backups().size(), 1u);
  EXPECT_TRUE(files::fileExists(pref("zorled.ini")));
  EXPECT_EQ(port.endedWith, 1);
}

TEST_F(SessionTest, CommandLineAndReopen) {
  const std::string path = game();
  writeFile("empty.zorlan", "");
  editor.prefs.lastZone = "old";
  readCommandLine(editor, {"missing", "castle.zorlan", "empty.zorlan", "--NoTemp"});
  EXPECT_EQ(editor.prefs.lastFile, path);
  EXPECT_EQ(editor.prefs.lastZone, "");
  EXPECT_FALSE(editor.session.backupCheck);

  editor.prefs.lastZone = "HALL";
  reopenLastGame(editor);
  ASSERT_TRUE(gameOpen(editor));
  ASSERT_NE(editor.zone.openZoneNode, nullptr);
  EXPECT_EQ(editor.prefs.lastZone, "hall");
  EXPECT_EQ(port.status[0], "Zone notes: Mind the gap");
  EXPECT_TRUE(port.messages.empty());
  // The side panel shows the reopened zone's level at once.
  EXPECT_GT(port.panelRefreshes, 0);

  // A file that fails at start-up shows nothing.
  Editor other(port);
  other.prefs.lastFile = temp / "gone.zorlan";
  reopenLastGame(other);
  EXPECT_FALSE(gameOpen(other));
  EXPECT_TRUE(port.messages.empty());
}

TEST_F(SessionTest, BackupCheckIsSkippedWithoutBackupsOrAfterNoTemp) {
  EXPECT_TRUE(runBackupCheck(editor));
  EXPECT_TRUE(port.choosers.empty());
  writeFile("prefs/a.zorlan.tmp", "x");
  editor.session.backupCheck = false;
  EXPECT_TRUE(runBackupCheck(editor));
  EXPECT_TRUE(port.choosers.empty());
}

TEST_F(SessionTest, CancelInTheBackupCheckEndsWithoutTouchingAnything) {
  writeFile("prefs/a.zorlan.tmp", "x");
  EXPECT_FALSE(runBackupCheck(editor));
  ASSERT_EQ(port.choosers.size(), 1u);
  const ChooserRequest& c = port.choosers[0];
  EXPECT_EQ(c.title, "ZorlED - Backup Files");
  EXPECT_EQ(c.prompt, "Some backup game files were found:");
  EXPECT_EQ(c.items, (std::vector<std::string>{"Browse and open...", "Save them for later.", "Delete them all."}));
  EXPECT_TRUE(c.centreOnDesktop);
  EXPECT_EQ(port.endedWith, 0);
  EXPECT_EQ(backups().size(), 1u);
  EXPECT_FALSE(files::fileExists(pref("zorled.ini")));
}

TEST_F(SessionTest, SaveForLaterNeverOverwrites) {
  writeFile("prefs/a.zorlan.tmp", "backup a");
  writeFile("prefs/b.xml.tmp", "backup b");
  writeFile("prefs/b.xml", "older b");
  writeFile("prefs/b (2).xml", "older b 2");
  port.chooserAnswers.push_back(1);
  EXPECT_TRUE(runBackupCheck(editor));
  EXPECT_TRUE(backups().empty());
  EXPECT_EQ(readBack(pref("a.zorlan")), "backup a");
  EXPECT_EQ(readBack(pref("b.xml")), "older b");
  EXPECT_EQ(readBack(pref("b (2).xml")), "older b 2");
  EXPECT_EQ(readBack(pref("b (3).xml")), "backup b");
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text.rfind("Backup files will be saved.\n\nYou can find them in the folder:\n" +
                                            editor.folders.preference,
                                        0),
            0u);
  EXPECT_NE(port.messages[0].text.find("b.xml.tmp -> b (3).xml"), std::string::npos);
}

TEST_F(SessionTest, DeleteThemAll) {
  writeFile("prefs/a.zorlan.tmp", "x");
  writeFile("prefs/B.TMP", "x");
  port.chooserAnswers.push_back(2);
  EXPECT_TRUE(runBackupCheck(editor));
  EXPECT_TRUE(backups().empty());
}

TEST_F(SessionTest, OpenedBackupIsModifiedAndNeedsANewPath) {
  const std::string backup = writeFile("prefs/castle.zorlan.tmp", readBack(game()));
  editor.prefs.lastPath = "/somewhere/";
  port.chooserAnswers.push_back(0);
  port.fileChoices.push_back({true, backup, 0});
  EXPECT_TRUE(runBackupCheck(editor));
  ASSERT_EQ(port.openRequests.size(), 1u);
  EXPECT_EQ(port.openRequests[0].startPath, editor.folders.preference);
  EXPECT_EQ(port.openRequests[0].pattern, kBackupPattern);
  EXPECT_EQ(editor.prefs.lastPath, "/somewhere/");
  ASSERT_TRUE(gameOpen(editor));
  EXPECT_EQ(editor.game.path, "");
  EXPECT_TRUE(editor.game.modified);
  EXPECT_EQ(port.status[0], "This is a temporary file. You should save it as soon as possible.");
  EXPECT_EQ(port.title, "ZorlED - Castle*");
  // Quitting asks first; once answered, the opened backup goes.
  port.answers.push_back(Answer::No);
  requestClose(editor);
  EXPECT_EQ(port.questions.size(), 1u);
  EXPECT_TRUE(afterEvent(editor));
  EXPECT_FALSE(files::fileExists(backup));
}

TEST_F(SessionTest, NewWindowStartsTheEditorWithNoTempAndShiftedGeometry) {
  ASSERT_TRUE(loadGameFileForEditing(editor, game()));
  markModified(editor);
  editor.prefs.winX = 100;
  editor.prefs.winMax = 1;
  port.answers.push_back(Answer::Cancel);
  openNewEditorWindow(editor, "/opt/zorled");
  EXPECT_TRUE(port.processes.empty());
  port.answers.push_back(Answer::No);
  openNewEditorWindow(editor, "/opt/zorled");
  EXPECT_EQ(port.questions.back(), "Save changes before opening new window?");
  ASSERT_EQ(port.processes.size(), 1u);
  EXPECT_EQ(port.processes[0], (std::vector<std::string>{"/opt/zorled", "--notemp"}));
  const EditorPreferences saved = readPreferences(pref("zorled.ini"));
  EXPECT_EQ(saved.winX, 130);
  EXPECT_EQ(saved.winMax, 0);
  EXPECT_EQ(editor.prefs.winX, 100);
  EXPECT_EQ(editor.prefs.winMax, 1);
}

TEST_F(SessionTest, OpeningAGameOffersItsZones) {
  FakeHost host;
  const std::string castle = game();
  const std::string empty = writeFile("empty.zorlan", "<zorlan version=\"1\"/>");
  const struct {
    const char* name;
    std::function<void(const std::string&)> open;
  } ways[] = {
      {"Open", [&](const std::string& path) {
         port.fileChoices.push_back({true, path, 0});
         dispatchCommand(editor, host, Command::Open);
       }},
      {"recent file", [&](const std::string& path) {
         editor.prefs.recentFiles = {"", path};
         dispatchCommand(editor, host, Command::RecentFile, 1);
       }},
      {"dropped file", [&](const std::string& path) { openDroppedFiles(editor, path + "\n"); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    closeGame(editor);
    port.choosers.clear();
    port.pauses.clear();
    port.chooserAnswers = {1};  // "hall" (the zones are listed by id)
    way.open(castle);
    ASSERT_TRUE(gameOpen(editor));
    // A short pause for the desktop, then the chooser.
    EXPECT_EQ(port.pauses, (std::vector<std::pair<int, std::size_t>>{{100, 0}}));
    ASSERT_EQ(port.choosers.size(), 1u);
    EXPECT_EQ(port.choosers[0].title, "Open Zone");
    EXPECT_EQ(port.choosers[0].items, (std::vector<std::string>{"attic", "hall"}));
    ASSERT_NE(editor.zone.openZoneNode, nullptr);
    EXPECT_EQ(editor.zone.view.zoneId, "hall");
    EXPECT_EQ(port.status[0], "Zone notes: Mind the gap");

    // A game without zones opens without the chooser.
    closeGame(editor);
    port.choosers.clear();
    port.pauses.clear();
    way.open(empty);
    EXPECT_TRUE(gameOpen(editor));
    EXPECT_TRUE(port.choosers.empty());
    EXPECT_TRUE(port.pauses.empty());
    EXPECT_TRUE(port.questions.empty());
  }
}

TEST_F(SessionTest, DroppedFilesOpenTheFirstNonEmptyFile) {
  const std::string path = game();
  EXPECT_FALSE(openDroppedFiles(editor, temp.path() + "\n" + path));
  EXPECT_FALSE(gameOpen(editor));
  EXPECT_TRUE(openDroppedFiles(editor, path + "\n" + temp.path()));
  EXPECT_TRUE(gameOpen(editor));
}

}  // namespace
}  // namespace zor::editor::test

namespace zor::editor::test {
namespace {

TEST_F(SessionTest, ChooserAndClassChooser) {
  EXPECT_FALSE(runChooser(editor, "T", "P", 0, false));
  EXPECT_TRUE(port.choosers.empty());
  ASSERT_TRUE(loadGameFileForEditing(
      editor, writeFile("c.zorlan", "<zorlan version=\"1\"><class name=\"Walker\"/><class name=\"\"/>"
                                    "<class name=\"ant\"/><class name=\"zed\"/></zorlan>")));
  port.chooserAnswers.push_back(2);
  ASSERT_TRUE(chooseClass(editor, "Edit Class", "Select a class to edit:", "walker"));
  EXPECT_EQ(port.choosers[0].items, (std::vector<std::string>{"ant", "walker", "zed"}));
  EXPECT_EQ(port.choosers[0].preselect, 1);
  EXPECT_FALSE(port.choosers[0].centreOnDesktop);
  EXPECT_EQ(editor.dialogs.chosenText, "zed");
  EXPECT_EQ(editor.dialogs.chosenDatum->attr("name"), "zed");
  EXPECT_FALSE(chooseClass(editor, "Edit Class", "Select a class to edit:", "none"));
  EXPECT_EQ(port.choosers[1].preselect, 0);
}

}  // namespace
}  // namespace zor::editor::test
