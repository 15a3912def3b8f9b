#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "editor/core/game_document.h"
#include "editor/core/zone_dialogs.h"
#include "editor/core/zone_records.h"
#include "platform/folder_list.h"
#include "tests/editor/core/editor_fixture.h"

namespace zor::editor::test {
namespace {

class GameDocumentTest : public EditorTest {};

struct BadFile {
  const char* name;
  const char* content;  // null: no file
  const char* status;   // prefix, followed by the path
  const char* box;      // with "$P" for the path
};

TEST_F(GameDocumentTest, RefusedFilesGiveTheirMessagesAndLeaveNoGameOpen) {
  const BadFile cases[] = {
      {"missing.zorlan", nullptr, "XML load error: ", "Could not load file:\r\n$P\r\n\r\nCheck filename and try again."},
      {"empty.zorlan", "", "XML load error: ", "Could not load file:\r\n$P\r\n\r\nCheck filename and try again."},
      {"syntax.zorlan", "<zorlan version=\"1\">\n<zone id=\"a\">\n</zorlan>\n", "XML syntax error: ",
       "XML Error: mismatched tag\r\n\r\nLine 3 of file: \r\n$P"},
      {"truncated.zorlan", "<zorlan version=\"1\">\n  <zone id=\"a\"", "XML syntax error: ",
       "XML Error: unclosed token\r\n\r\nLine 2 of file: \r\n$P"},
      {"notxml.zorlan", "just some words\n", "XML syntax error: ",
       "XML Error: syntax error\r\n\r\nLine 1 of file: \r\n$P"},
      {"capital.zorlan", "<Zorlan version=\"1\"/>", "Invalid file: ", "Invalid file header \"Zorlan\" in file:\r\n$P"},
      {"noversion.zorlan", "<zorlan/>", "Invalid file version: ", "Invalid file format version (0) in file:\r\n$P"},
      {"zero.zorlan", "<zorlan version=\"0\"/>", "Invalid file version: ",
       "Invalid file format version (0) in file:\r\n$P"},
      {"words.zorlan", "<zorlan version=\"one\"/>", "Invalid file version: ",
       "Invalid file format version (0) in file:\r\n$P"},
      {"two.zorlan", "<zorlan version=\"2\"/>", "Unsupported file version: ",
       "This software cannot read file formats beyond version 1.\r\nTry upgrading to a newer version of ZorlED."},
  };
  for (const BadFile& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = c.content ? writeFile(c.name, c.content) : temp / c.name;
    port.messages.clear();
    port.status[0].clear();
    EXPECT_FALSE(openGameCommand(editor, path, kOpenPattern));
    EXPECT_FALSE(gameOpen(editor));
    EXPECT_EQ(editor.game.document, nullptr);
    EXPECT_EQ(port.status[0], c.status + path);
    std::string box = c.box;
    if (const auto at = box.find("$P"); at != std::string::npos) box.replace(at, 2, path);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].text, box);
    EXPECT_EQ(port.messages[0].title, "ZorlED");
    EXPECT_EQ(port.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(editor.prefs.lastFile, "");
    EXPECT_EQ(port.title, "ZorlED");
  }
}

TEST_F(GameDocumentTest, HugeFileIsRefusedUnread) {
  const std::string path = writeFile("huge.zorlan", "<zorlan version=\"1\">");
  std::filesystem::resize_file(path, xml::kMaxDocumentBytes + 1);  // sparse: nothing is really written
  EXPECT_FALSE(openGameCommand(editor, path, kOpenPattern));
  EXPECT_FALSE(gameOpen(editor));
  EXPECT_EQ(port.status[0], "XML load error: " + path);
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text,
            "Could not load file:\r\n" + path + "\r\n\r\nThe file is larger than 64 MiB, more than ZorlED can open.");
  EXPECT_TRUE(files::listFilesWithSuffix(editor.folders.preference, "").empty());
}

// What the editor writes the editor reads: a game grown past what a load takes is
// not saved, and the message says why.
TEST_F(GameDocumentTest, AGameTooLargeToOpenIsNotSaved) {
  const std::string path = writeFile("g.zorlan", "<zorlan version=\"1\"><zone id=\"a\"/></zorlan>");
  ASSERT_TRUE(loadGameFileForEditing(editor, path));
  editor.game.root->firstElement()->setAttr("notes", std::string(xml::kMaxDocumentBytes, 'n'));
  markModified(editor);
  EXPECT_FALSE(saveCurrentGame(editor));
  EXPECT_TRUE(editor.game.modified);
  EXPECT_EQ(readBack(path), "<zorlan version=\"1\"><zone id=\"a\"/></zorlan>");
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "Could not save file:\r\n" + path +
                                       "\r\n\r\nThe game has grown larger than 64 MiB, more than ZorlED and Zorlan "
                                       "can open. Remove some of it and save again.");
}

TEST_F(GameDocumentTest, EachLoadStartsWithoutTheMessagesOfTheLastOne) {
  EXPECT_FALSE(loadGameFileForEditing(editor, temp / "missing.zorlan"));
  EXPECT_FALSE(editor.game.loadBoxText.empty());
  EXPECT_TRUE(loadGameFileForEditing(editor, writeFile("ok.zorlan", "<zorlan version=\"1\"/>")));
  EXPECT_EQ(editor.game.loadStatusText, "");
  EXPECT_EQ(editor.game.loadBoxText, "");
  closeGame(editor);
  // A document without a main element fails without messages of its own.
  EXPECT_FALSE(loadGameFileForEditing(editor, ""));
  EXPECT_EQ(editor.game.loadBoxText, "");
}

TEST_F(GameDocumentTest, LoadReadsHeaderZonesAndEditorSettings) {
  // 24 slots, then two names beyond them.
  std::string soundNames = " boom ";
  for (int i = 1; i < 23; ++i) soundNames += "|";
  soundNames += "| y |beyond|more";
  const std::string path = writeFile(
      "castle.zorlan",
      "<zorlan version=\"1\" gtitle=\"Castle\" gauthor=\"Me\" gversion=\"2.0\" gurl=\"u\" gdesc=\"d\">\n"
      "  <zone id=\"tower\"/>\n  <zone id=\"\"/>\n  <ZONE id=\"cellar\"/>\n  <zone id=\"B\"/>\n"
      "  <zorled setflags=\" 1, 2 ,3\" nearest=\"0\" gflags=\"CHECKED\"\n"
      "    gnames=\"3|door|40|key|99999999|huge|-2|neg|7||8|after\"\n"
      "    soundnames=\"" + soundNames + "\"/>\n"
      "  <loadsounds nums=\"25,-1,3\" files=\"a.wav|b.wav|c.wav\" vols=\"50,60,70\"/>\n"
      "</zorlan>\n");
  ASSERT_TRUE(openGameCommand(editor, path, kOpenPattern));
  const GameFileState& g = editor.game;
  EXPECT_EQ(g.gtitle, "Castle");
  EXPECT_EQ(g.gauthor, "Me");
  EXPECT_EQ(g.gversion, "2.0");
  EXPECT_EQ(g.fileName, "castle.zorlan");
  ASSERT_EQ(g.zones.size(), 3u);
  EXPECT_EQ(g.zones[0].id, "B");
  EXPECT_EQ(g.zones[1].id, "cellar");
  EXPECT_EQ(g.zones[2].id, "tower");
  EXPECT_EQ(g.setflags, "1,2,3");
  EXPECT_EQ(g.nearest, 0);
  EXPECT_EQ(g.gflagTestMode, 2);
  // Reading stops at the first empty name; numbers out of range are skipped.
  ASSERT_EQ(g.gflagNames.size(), 2u);
  EXPECT_EQ(g.gflagNames[1].name, "key");
  EXPECT_EQ(g.maxGFlags, 41);
  EXPECT_EQ(g.sounds[0].customName, "boom");
  EXPECT_EQ(g.sounds[23].customName, "y");
  // Slot 25 is slot 1; a negative slot is skipped.
  EXPECT_EQ(g.sounds[1].file, "a.wav");
  EXPECT_EQ(g.sounds[1].volume, "50");
  EXPECT_EQ(g.sounds[3].file, "c.wav");
  EXPECT_EQ(g.sounds[3].volume, "70");
  EXPECT_EQ(port.status[0], "Opened: " + path);
  EXPECT_EQ(port.title, "ZorlED - Castle");
  EXPECT_EQ(editor.prefs.lastFile, path);
  EXPECT_EQ(editor.prefs.recentFiles[0], path);
  EXPECT_EQ(editor.session.lastBackupTime, port.clock);

  port.status[0].clear();
  EXPECT_FALSE(openGameCommand(editor, path, kOpenPattern));
  EXPECT_EQ(port.status[0], "Game already open: " + path);
}

TEST_F(GameDocumentTest, TitleShowsTitleFileNameOrNewGameZoneAndModified) {
  ASSERT_TRUE(loadGameFileForEditing(
      editor, writeFile("plain.xml", "<zorlan version=\"1\"><zone id=\"Z1\"><levels><level z=\"0\"/></levels></zone>"
                                     "<zone id=\"z2\" name=\"Hall\"/></zorlan>")));
  EXPECT_EQ(windowTitle(editor), "ZorlED - plain.xml");
  ASSERT_TRUE(openZone(editor, editor.game.zones[0].node));
  EXPECT_EQ(windowTitle(editor), "ZorlED - plain.xml (Z1)");
  markModified(editor);
  EXPECT_EQ(port.status[1], "Unsaved changes.");
  EXPECT_EQ(port.title, "ZorlED - plain.xml (Z1)*");
  editor.game.fileName.clear();
  EXPECT_EQ(windowTitle(editor), "ZorlED - New Game (Z1)*");
}

TEST_F(GameDocumentTest, SaveRemovesOnlyTheListedEmptyAttributesAndSetsVersion) {
  const std::string path = writeFile(
      "g.zorlan",
      "<?xml version=\"1.0\"?>\n<zorlan version=\"01\" gtitle=\"\" gauthor=\"A\">\n"
      "<zone id=\"a\" name=\"\" track=\"\" gravity=\"\" zoom=\"\" notes=\"\">"
      "<levels x=\"\"><level z=\"0\" color=\"\"/></levels>"
      "<block x=\"\" oname=\"b\"><standon><set x=\"\"/></standon></block><area xlim=\"\"/>"
      "<entrance x=\"\"/><entrance_a x=\"\"/><start><title text=\"\"/></start></zone>"
      "<class name=\"c\" flg=\"\"/><speedrun name=\"s\" zone=\"\"/><zorled setflags=\"\"/><other a=\"\"/>"
      "</zorlan>");
  ASSERT_TRUE(loadGameFileForEditing(editor, path));
  ASSERT_TRUE(writeGameFile(editor, path, true));
  EXPECT_EQ(readBack(path),
            "<zorlan version=\"1\" gauthor=\"A\">\n"
            "<zone id=\"a\" track=\"\" gravity=\"\" zoom=\"\">"
            "<levels x=\"\"><level z=\"0\" color=\"\"/></levels>"
            "<block oname=\"b\"><standon><set x=\"\"/></standon></block><area/>"
            "<entrance/><entrance_a x=\"\"/><start><title text=\"\"/></start></zone>"
            "<class name=\"c\"/><speedrun name=\"s\"/><zorled setflags=\"\"/><other a=\"\"/>"
            "</zorlan>");
  EXPECT_EQ(port.status[0], "Saved: " + path);
}

TEST_F(GameDocumentTest, UneditedSaveIsByteIdentical) {
  const std::string content =
      "<!-- Castle game -->\n<zorlan version=\"1\" gtitle=\"Castle &amp; Keep\">\n"
      "\t<!-- the only zone -->\n"
      "  <zone id=\"first\" xlim=\"-100,100\" ylim=\"0,500\">\n"
      "    <levels>\n      <level z=\"0\" color=\"FFFFFF\" unlocked=\"1\"/>\n    </levels>\n"
      "    <block x=\"0\" y=\"0\" w=\"20\" h=\"20\" color=\"808080\" flg=\"solid\"/>\n"
      "    <start>\n      <title text=\"Welcome &lt;here&gt;\" x=\"0.5\"/>\n    </start>\n"
      "  </zone>\n</zorlan>\n";
  const std::string path = writeFile("castle.zorlan", content);
  ASSERT_TRUE(loadGameFileForEditing(editor, path));
  ASSERT_TRUE(openZone(editor, editor.game.zones[0].node));
  ASSERT_TRUE(saveCurrentGame(editor));
  EXPECT_EQ(readBack(path), content);
}

TEST_F(GameDocumentTest, FailedSaveKeepsTheOldFileAndTheModifiedFlag) {
  const std::string folder = temp / "ro/";
  ASSERT_TRUE(files::createPath(folder));
  const std::string path = folder + "g.zorlan";
  ASSERT_TRUE(files::writeFileAtomic(path, "<zorlan version=\"1\" a=\"\"/>"));
  ASSERT_TRUE(loadGameFileForEditing(editor, path));
  markModified(editor);
  // The game's path now names a folder: the write must fail and report it.
  ASSERT_TRUE(files::deleteFile(path));
  ASSERT_TRUE(files::createPath(path));
  EXPECT_FALSE(saveCurrentGame(editor));
  EXPECT_TRUE(editor.game.modified);
  EXPECT_TRUE(files::isFolder(path));
  ASSERT_FALSE(port.messages.empty());
  EXPECT_EQ(port.messages.back().text, "Could not save file:\r\n" + path);
}

// A save goes to the file a link points to and keeps its mode; opening and saving
// a game take away the temporary files that killed saves of it left, and only those.
TEST_F(GameDocumentTest, SaveWritesThroughLinksAndClearsWhatKilledSavesLeft) {
  namespace fs = std::filesystem;
  const std::string real = writeFile("real.zorlan", "<zorlan version=\"1\"><zone id=\"a\"/></zorlan>");
  fs::permissions(real, fs::perms(0600));
  const std::string link = temp / "link.zorlan";
  fs::create_symlink("real.zorlan", link);
  const std::string killed = temp / ".real.zorlan.p2147483646.0000abcd.part";  // no process has that number
  const std::string running = temp / (".real.zorlan.p" + std::to_string(getppid()) + ".0000abcd.part");
  const std::string otherGame = temp / ".other.zorlan.p2147483646.0000abcd.part";
  for (const std::string& p : {killed, running, otherGame}) ASSERT_TRUE(files::writeFileAtomic(p, "half"));
  ASSERT_TRUE(loadGameFileForEditing(editor, link));
  EXPECT_FALSE(files::fileExists(killed));
  EXPECT_TRUE(files::fileExists(running));
  EXPECT_TRUE(files::fileExists(otherGame));

  ASSERT_TRUE(files::writeFileAtomic(killed, "half"));
  editor.game.root->setAttr("gtitle", "Saved");
  ASSERT_TRUE(saveCurrentGame(editor));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_NE(readBack(real).find("gtitle=\"Saved\""), std::string::npos);
  EXPECT_EQ(fs::status(real).permissions(), fs::perms(0600));
  EXPECT_FALSE(files::fileExists(killed));
  EXPECT_TRUE(files::fileExists(running));
}

// Two editors on one file: a save over what the other one saved meanwhile asks first.
TEST_F(GameDocumentTest, SaveOverAFileChangedMeanwhileAsks) {
  const std::string path = writeFile("g.zorlan", "<zorlan version=\"1\"><zone id=\"a\"/></zorlan>");
  ASSERT_TRUE(loadGameFileForEditing(editor, path));
  // Saving what nobody else touched asks nothing, also the second time.
  for (int i = 0; i < 2; ++i) {
    markModified(editor);
    ASSERT_TRUE(saveCurrentGame(editor));
  }
  EXPECT_TRUE(port.questions.empty());

  const std::string theirs = "<zorlan version=\"1\"><zone id=\"theirs\"/></zorlan>";
  ASSERT_TRUE(files::writeFileAtomic(path, theirs));
  editor.game.root->setAttr("gtitle", "Mine");
  markModified(editor);
  port.answers = {Answer::No};
  EXPECT_FALSE(saveCurrentGame(editor));
  ASSERT_EQ(port.questions.size(), 1u);
  EXPECT_NE(port.questions[0].find("changed by another program"), std::string::npos);
  EXPECT_EQ(readBack(path), theirs);
  EXPECT_TRUE(editor.game.modified);
  EXPECT_TRUE(gameOpen(editor));

  port.answers = {Answer::Yes};
  EXPECT_TRUE(saveCurrentGame(editor));
  EXPECT_NE(readBack(path).find("gtitle=\"Mine\""), std::string::npos);
  EXPECT_FALSE(editor.game.modified);
  EXPECT_EQ(port.questions.size(), 2u);
  markModified(editor);
  EXPECT_TRUE(saveCurrentGame(editor));
  EXPECT_EQ(port.questions.size(), 2u);
}

struct ExtensionCase {
  const char* typed;
  int pattern;
  const char* saved;
};

TEST_F(GameDocumentTest, SaveAsAddsTheExtensionOfTheChosenPattern) {
  const ExtensionCase cases[] = {
      {"a", 0, "a.zorlan"},         {"b.xml", 0, "b.xml.zorlan"}, {"c.ZORLAN", 0, "c.ZORLAN"},
      {"d", 1, "d.xml"},            {"e.Xml", 1, "e.Xml"},        {"f.zorlan", 1, "f.zorlan.xml"},
      {"g.txt", 2, "g.txt"},        {"h", 2, "h"},
  };
  for (const ExtensionCase& c : cases) EXPECT_EQ(applySaveExtension(c.typed, c.pattern), c.saved) << c.typed;
  EXPECT_EQ(saveAsPatternFor(""), 0);
  EXPECT_EQ(saveAsPatternFor("/x/a.ZorLan"), 0);
  EXPECT_EQ(saveAsPatternFor("/x/a.XML"), 1);
  EXPECT_EQ(saveAsPatternFor("/x/a.tmp"), 2);

  ASSERT_TRUE(loadGameFileForEditing(editor, writeFile("src.zorlan", "<zorlan version=\"1\"/>")));
  markModified(editor);
  port.fileChoices.push_back({true, temp / "new", 1});
  ASSERT_TRUE(saveAsCommand(editor));
  EXPECT_EQ(port.saveRequests.back().title, "Save Game");
  EXPECT_EQ(port.saveRequests.back().patternIndex, 0);
  EXPECT_EQ(editor.game.path, temp / "new.xml");
  EXPECT_EQ(editor.game.fileName, "new.xml");
  EXPECT_EQ(editor.prefs.lastFile, temp / "new.xml");
  EXPECT_EQ(editor.prefs.recentFiles[0], temp / "new.xml");
  EXPECT_EQ(editor.prefs.lastPath, temp.path());
  EXPECT_FALSE(editor.game.modified);
  EXPECT_EQ(port.status[1], "");
  EXPECT_EQ(readBack(temp / "new.xml"), "<zorlan version=\"1\"/>");
}

TEST_F(GameDocumentTest, RequestersStartWhereTheEditorWasStartedThenWhereTheLastEnded) {
  editor.folders.start = temp / "here/";
  editor.folders.data = temp / "data/";
  files::createPath(temp / "games");
  ASSERT_EQ(editor.prefs.lastPath, "");
  // A new game's first save, and Open, before any folder was used.
  ASSERT_EQ(applyGameFields(editor, {"Tiny", "", "", "", ""}, true), 1);
  EXPECT_FALSE(saveCurrentGame(editor));  // cancelled
  EXPECT_FALSE(openGameCommand(editor, "", kOpenPattern));
  ASSERT_EQ(port.saveRequests.size(), 1u);
  EXPECT_EQ(port.saveRequests[0].startPath, temp / "here/");
  ASSERT_EQ(port.openRequests.size(), 1u);
  EXPECT_EQ(port.openRequests[0].startPath, temp / "here/");
  // Once a folder was used, both start there.
  port.fileChoices.push_back({true, temp / "games/tiny.zorlan", 0});
  ASSERT_TRUE(saveCurrentGame(editor));
  EXPECT_EQ(editor.prefs.lastPath, temp / "games/");
  closeGame(editor);
  ASSERT_EQ(applyGameFields(editor, {"Other", "", "", "", ""}, true), 1);
  EXPECT_FALSE(saveCurrentGame(editor));
  EXPECT_FALSE(openGameCommand(editor, "", kOpenPattern));
  EXPECT_EQ(port.saveRequests.back().startPath, temp / "games/");
  EXPECT_EQ(port.openRequests.back().startPath, temp / "games/");
}

TEST_F(GameDocumentTest, SaveAsAsksBeforeReplacingAFile) {
  ASSERT_TRUE(loadGameFileForEditing(editor, writeFile("src.zorlan", "<zorlan version=\"1\"/>")));
  const std::string taken = writeFile("taken.zorlan", "keep me");
  // The typed name exists: No keeps it.
  port.fileChoices.push_back({true, taken, 0});
  port.answers.push_back(Answer::No);
  EXPECT_FALSE(saveGameAs(editor, ""));
  EXPECT_EQ(readBack(taken), "keep me");
  // The name the extension rule makes exists: asked again.
  port.fileChoices.push_back({true, temp / "taken", 0});
  port.answers.push_back(Answer::No);
  EXPECT_FALSE(saveGameAs(editor, ""));
  EXPECT_EQ(port.questions.size(), 2u);
  EXPECT_EQ(readBack(taken), "keep me");
  port.fileChoices.push_back({true, temp / "taken", 0});
  port.answers.push_back(Answer::Yes);
  EXPECT_TRUE(saveGameAs(editor, ""));
  EXPECT_EQ(readBack(taken), "<zorlan version=\"1\"/>");
}

TEST_F(GameDocumentTest, DiscardQuestionSavesClosesOrKeepsTheGame) {
  const std::string path = writeFile("g.zorlan", "<zorlan version=\"1\"/>");
  ASSERT_TRUE(loadGameFileForEditing(editor, path));
  markModified(editor);
  port.answers.push_back(Answer::Cancel);
  EXPECT_FALSE(confirmDiscardChanges(editor));
  EXPECT_TRUE(gameOpen(editor));
  EXPECT_EQ(port.questions.back(), "This game has been modified.\r\nDo you want to save your changes?");
  port.answers.push_back(Answer::No);
  EXPECT_TRUE(confirmDiscardChanges(editor));
  EXPECT_FALSE(gameOpen(editor));
  // A new game without a path: Yes runs Save As; cancelling it keeps the game.
  ASSERT_TRUE(loadGameFileForEditing(editor, path));
  editor.game.path.clear();
  markModified(editor);
  port.answers.push_back(Answer::Yes);
  EXPECT_FALSE(confirmDiscardChanges(editor));
  EXPECT_TRUE(gameOpen(editor));
  EXPECT_EQ(port.saveRequests.size(), 1u);
}

TEST_F(GameDocumentTest, ElementHelpers) {
  ASSERT_TRUE(loadGameFileForEditing(
      editor, writeFile("g.zorlan", "<zorlan version=\"1\"><class name=\"walker\" w=\"3\"/><class name=\"Walker\"/>"
                                    "<block x=\"1\"><die><kill/></die></block><block x=\"2\"/></zorlan>")));
  EXPECT_EQ(findClassNode(editor, "walker")->attr("w"), "3");
  EXPECT_EQ(findClassNode(editor, "WALKER"), nullptr);
  EXPECT_EQ(findClassNode(editor, ""), nullptr);
  xml::Node* made = getEditorNode(editor);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made, editor.game.root->lastChild);
  EXPECT_EQ(getEditorNode(editor), made);
  xml::Node* block = editor.game.root->childByPath("block");
  EXPECT_EQ(nodeToXmlString(block, "", false), "<block x=\"1\"><die><kill/></die></block>");
  EXPECT_EQ(nodeToXmlString(block, "", true), "<block x=\"1\"/>");
  EXPECT_EQ(nodeToXmlString(block->nextElement(), "say", false), "<block x=\"2\">say</block>");
  EXPECT_EQ(nodeToXmlString(nullptr, "", false), "");
}

}  // namespace
}  // namespace zor::editor::test
