#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "editor/core/commands.h"
#include "editor/core/edit_commands.h"
#include "editor/core/editor.h"
#include "editor/core/help_pages.h"
#include "editor/core/script_edit.h"
#include "platform/files.h"
#include "tests/editor/core/fake_port.h"
#include "tests/game/app/temp_folder.h"

namespace zor::editor::test {
namespace {

// A desktop whose script window is played by the test.
class ScriptPort : public FakePort {
 public:
  std::function<int(ScriptSession&)> window;  // unset: the window is cancelled
  std::vector<std::string> shownTexts;
  std::vector<std::string> shownTitles;
  std::vector<std::string> opened;
  bool openSucceeds = true;
  int runScriptWindow(ScriptSession& session) override {
    shownTexts.push_back(session.initialText());
    shownTitles.push_back(session.title());
    return window ? window(session) : 0;
  }
  bool openWithDesktop(const std::string& path, const std::string& section) override {
    opened.push_back(path + section);
    return openSucceeds;
  }
};

class NoHost : public CommandHost {
 public:
  void toggleMaximised() override {}
  std::string ownExecutable() override { return ""; }
};

class ScriptEditTest : public ::testing::Test {
 protected:
  ScriptEditTest() : editor(port) {
    editor.folders.program = temp.path();
    editor.folders.data = temp.path();
    editor.folders.start = temp.path();
    editor.folders.preference = temp.path() + "prefs/";
    files::createPath(editor.folders.preference);
  }

  void openZoneWith(const std::string& content) {
    closeGame(editor);  // a game is loaded only after the earlier one (and its zone) closed
    const std::string path = temp / "g.zorlan";
    ASSERT_TRUE(files::writeFileAtomic(path, "<zorlan version=\"1\"><zone id=\"z\">" + content + "</zone></zorlan>"));
    ASSERT_TRUE(loadGameFileForEditing(editor, path));
    ASSERT_TRUE(openZone(editor, editor.game.zones.at(0).node));
  }
  // The window answers OK with this text.
  void answerOk(const std::string& text) {
    port.window = [text](ScriptSession& s) { return s.accept(text, nullptr) ? 1 : 0; };
  }
  // The zone's XML without the levels that opening the zone added.
  std::string zoneXml() {
    std::string out = xml::Document::serializeNode(editor.zone.openZoneNode);
    const std::string levels = "<levels><level z=\"0\" color=\"FFFFFF\" unlocked=\"1\"/></levels>";
    if (const std::size_t at = out.find(levels); at != std::string::npos) out.erase(at, levels.size());
    return out;
  }
  xml::Node* block(const std::string& name) {
    for (xml::Node* c = editor.zone.openZoneNode->firstElement(); c; c = c->nextElement())
      if (c->attr("oname") == name) return c;
    return nullptr;
  }

  zor::testing::TempFolder temp;
  ScriptPort port;
  Editor editor;
};

TEST(ScriptCheck, ReportsTheErrorLineAsTheWindowShowsIt) {
  struct Case {
    const char* name;
    std::string text;
    bool accepted;
    int line;
  };
  const Case cases[] = {
      {"no leading lines", "<die>\n<warp zone='a'>\n</die>", false, 3},
      {"two blank lines before", "\n\n<die>\n<warp zone='a'>\n</die>", false, 5},
      {"CR LF and blanks before", "  \r\n\t\r\n<die>\r\n<warp zone='a'>\r\n</die>", false, 5},
      {"lone CR lines before", "\r\r<die>\r<warp>\r</die>", false, 5},
      {"error on the first line after blanks", "\n   <die", false, 2},
      {"well formed", "\n<die><warp zone='a'/></die>\n", true, 0},
      {"only blanks", " \r\n\t\n ", true, 0},
  };
  for (const Case& c : cases) {
    const ScriptCheck check = checkScriptText(c.text);
    EXPECT_EQ(check.accepted, c.accepted) << c.name;
    EXPECT_EQ(check.errorLine, c.line) << c.name;
    if (!c.accepted) {
      EXPECT_EQ(check.message.rfind("Invalid XML on line " + std::to_string(c.line) + "!\r\n\r\n", 0), 0u)
          << c.name << ": " << check.message;
      EXPECT_EQ(check.document, nullptr) << c.name;
    }
  }
  const ScriptCheck upper = checkScriptText("<die>\n<warp>\n</die>");
  EXPECT_EQ(upper.message, "Invalid XML on line 3!\r\n\r\nMISMATCHED TAG");
}

TEST(ScriptCheck, TrimsTheTextAndEmptiesAMainElementWithoutChildren) {
  ScriptCheck check = checkScriptText("\n  <die>\n\n</die>  \n");
  ASSERT_TRUE(check.accepted);
  EXPECT_EQ(check.text, "<die>\n\n</die>");
  ASSERT_NE(check.document, nullptr);
  EXPECT_EQ(check.document->root()->firstChild, nullptr);

  check = checkScriptText("<die>\n  <kill oname='a'/>\n</die>");
  ASSERT_NE(check.document, nullptr);
  EXPECT_NE(check.document->root()->firstElement(), nullptr);

  check = checkScriptText("  \n ");
  EXPECT_TRUE(check.accepted);
  EXPECT_TRUE(check.text.empty());
  EXPECT_EQ(check.document, nullptr);
}

TEST_F(ScriptEditTest, AcceptedScriptReplacesTheOldOneInItsPlace) {
  openZoneWith("<start><kill oname='a'/></start><block oname='b'/><death/>");
  answerOk("<start>\n<hide oname='b'/>\n</start>");
  EXPECT_TRUE(editScriptOf(editor, "Zone Start Script", "Edit zone's Start script:", "start", nullptr));
  EXPECT_EQ(port.shownTexts.at(0), "<start><kill oname=\"a\"/></start>");
  EXPECT_EQ(zoneXml().rfind("<zone id=\"z\"><start>", 0), 0u) << zoneXml();
  EXPECT_NE(zoneXml().find("<hide oname=\"b\"/>"), std::string::npos);
  EXPECT_EQ(zoneXml().find("kill"), std::string::npos);
  EXPECT_TRUE(editor.game.modified);
  EXPECT_EQ(port.status[0], "");
}

TEST_F(ScriptEditTest, WriteBackRules) {
  struct Case {
    const char* name;
    std::string zone;
    std::string answer;  // empty: Delete Script; "cancel": Cancel
    std::string shown;
    std::string expectedZone;
    bool modified;
  };
  const Case cases[] = {
      {"a new script is appended", "<block oname='b'/>", "<death><kill oname='b'/></death>", "<death>\n\n</death>",
       "<zone id=\"z\"><block oname=\"b\"/><death><kill oname=\"b\"/></death></zone>", true},
      {"an empty element is shown with blank lines", "<death/><block oname='b'/>", "<death/>",
       "<death>\n\n</death>", "<zone id=\"z\"><death/><block oname=\"b\"/></zone>", true},
      {"a renamed main element keeps the child's name", "<death><kill/></death>", "<other><kill/></other>",
       "<death><kill/></death>", "<zone id=\"z\"><death><kill/></death></zone>", true},
      {"an empty text deletes the script", "<death><kill/></death><block/>", " \n ", "<death><kill/></death>",
       "<zone id=\"z\"><block/></zone>", true},
      {"Delete Script deletes the script", "<block/><death><kill/></death>", "", "<death><kill/></death>",
       "<zone id=\"z\"><block/></zone>", true},
      {"Cancel changes nothing", "<death><kill/></death>", "cancel", "<death><kill/></death>",
       "<zone id=\"z\"><death><kill/></death></zone>", false},
      {"broken XML is never written", "<death><kill/></death>", "<death><kill></death>",
       "<death><kill/></death>", "<zone id=\"z\"><death><kill/></death></zone>", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    closeGame(editor);
    port.shownTexts.clear();
    openZoneWith(c.zone);
    if (c.answer == "cancel") {
      port.window = nullptr;
    } else if (c.answer.empty()) {
      port.window = [](ScriptSession& s) {
        s.deleteScript("<death><kill/></death>");
        return 1;
      };
    } else {
      answerOk(c.answer);
    }
    editScriptOf(editor, "Zone Death Script", "Edit zone's Death script:", "death", nullptr);
    ASSERT_EQ(port.shownTexts.size(), 1u);
    EXPECT_EQ(port.shownTexts[0], c.shown);
    std::string got = zoneXml();
    EXPECT_EQ(got, c.expectedZone);
    EXPECT_EQ(editor.game.modified, c.modified);
    if (c.answer.empty()) {
      EXPECT_EQ(editor.zone.deletedScript, "<death><kill/></death>");
    }
  }
}

TEST_F(ScriptEditTest, ScriptOfABlockAndReopeningTheLastScript) {
  openZoneWith("<block oname='b'><die><kill/></die></block><block oname='c'/>");
  answerOk("<die><hide oname='c'/></die>");
  editScriptOf(editor, "Die", "Edit block's Die script:", "die", block("b"));
  EXPECT_NE(xml::Document::serializeNode(block("b")).find("<hide oname=\"c\"/>"), std::string::npos);

  NoHost host;
  port.shownTexts.clear();
  port.window = nullptr;
  dispatchCommand(editor, host, Command::ReopenLastScript);
  ASSERT_EQ(port.shownTexts.size(), 1u);
  EXPECT_EQ(port.shownTexts[0], "<die><hide oname=\"c\"/></die>");

  // Once its block is gone the last script is not reopened.
  xml::Document::unlink(block("b"));
  port.shownTexts.clear();
  dispatchCommand(editor, host, Command::ReopenLastScript);
  EXPECT_TRUE(port.shownTexts.empty());
}

TEST_F(ScriptEditTest, ZoneScriptCommandsOpenTheEditor) {
  openZoneWith("");
  NoHost host;
  answerOk("<start><on/></start>");
  dispatchCommand(editor, host, Command::ZoneStartScript);
  answerOk("<death><on/></death>");
  dispatchCommand(editor, host, Command::ZoneDeathScript);
  EXPECT_EQ(zoneXml(), "<zone id=\"z\"><start><on/></start><death><on/></death></zone>");
}

TEST_F(ScriptEditTest, WindowTitleNamesTheScriptOnce) {
  openZoneWith("<block oname='b'/>");
  NoHost host;
  dispatchCommand(editor, host, Command::ZoneStartScript);
  dispatchCommand(editor, host, Command::ZoneDeathScript);
  editScriptOf(editor, "Die", "Edit block's Die script:", "die", block("b"));
  EXPECT_EQ(port.shownTitles,
            (std::vector<std::string>{"Zone Start Script", "Zone Death Script", "Die Script"}));
}

TEST(ScriptPaths, MakeRelativePath) {
  struct Case {
    std::string game, path, prefix, expected;
  };
  const Case cases[] = {
      {"/games/a/game.zorlan", "/games/a/music/x.ogg", "music/", "music/x.ogg"},
      {"/games/a/game.zorlan", "/GAMES/A/Music/X.ogg", "music/", "music/X.ogg"},  // another folder
      {"C:\\games\\a\\game.xml", "C:\\games\\a\\tunes\\x.ogg", "music/", "tunes/x.ogg"},
      {"/games/a/game.zorlan", "/elsewhere/y.ogg", "music/", "music/y.ogg"},
      {"/games/a/game.zorlan", "/games/ab/y.ogg", "music/", "music/y.ogg"},
      {"", "/games/a/music/x.ogg", "music/", "music/x.ogg"},
      {"game.zorlan", "/games/x.ogg", "music/", "music/x.ogg"},
      {"/games/a/game.zorlan", "", "music/", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(makeRelativePath(c.game, c.path, c.prefix), c.expected) << c.path;
}

TEST(ScriptPaths, EntranceNameIsEverythingAfterTheFirstUnderscore) {
  EXPECT_EQ(entranceNameOf("entrance"), "");
  EXPECT_EQ(entranceNameOf("entrance_"), "");
  EXPECT_EQ(entranceNameOf("entrance_north"), "north");
  EXPECT_EQ(entranceNameOf("entrance_north_gate"), "north_gate");
}

TEST_F(ScriptEditTest, ReferencePickers) {
  openZoneWith("<entrance x='0'/><entrance_b_gate x='0'/><entrance_A x='0'/>"
               "<block oname='zed'/><block oname='alpha'/><block/>"
               "<start><sub id='Two'/><if><sub id='one'/></if><sub id=''/></start>");
  ScriptSession session(editor, "Zone Start Script", "", "", ScriptContext::Zone);
  std::string text;

  port.chooserAnswers = {2};
  ASSERT_TRUE(session.reference(ScriptReference::Entrance, &text));
  ASSERT_FALSE(port.choosers.empty());
  EXPECT_EQ(port.choosers.back().items, (std::vector<std::string>{"(Default)", "A", "b_gate"}));
  EXPECT_EQ(port.choosers.back().title, "Entrance Reference");
  EXPECT_EQ(text, "b_gate");

  port.chooserAnswers = {0};
  ASSERT_TRUE(session.reference(ScriptReference::SubScript, &text));
  EXPECT_EQ(port.choosers.back().items, (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(text, "one");

  port.chooserAnswers = {5};
  ASSERT_TRUE(session.reference(ScriptReference::GFlag, &text));
  EXPECT_EQ(port.choosers.back().items.size(), 32u);
  EXPECT_EQ(text, "5");

  port.chooserAnswers = {23};
  ASSERT_TRUE(session.reference(ScriptReference::Sound, &text));
  EXPECT_EQ(port.choosers.back().items.at(0), "0: Jump");
  EXPECT_EQ(port.choosers.back().items.at(23), "23: Splash Out");
  EXPECT_EQ(text, "23");

  port.chooserAnswers = {0};
  ASSERT_TRUE(session.reference(ScriptReference::Zone, &text));
  EXPECT_EQ(text, "z");

  // A cancelled chooser inserts nothing.
  text = "unchanged";
  EXPECT_FALSE(session.reference(ScriptReference::ZFlag, &text));
  EXPECT_EQ(text, "unchanged");

  port.fileChoices = {FileChoice{true, temp / "music/theme.ogg", 0}};
  ASSERT_TRUE(session.reference(ScriptReference::Music, &text));
  EXPECT_EQ(text, "music/theme.ogg");
  EXPECT_EQ(port.openRequests.back().title, "Choose Music");

  EXPECT_EQ(session.namedBlocks(), (std::vector<std::string>{"alpha", "zed"}));
  EXPECT_EQ(ScriptSession::joinBlockNames({"alpha", "zed"}), "alpha,zed");
  EXPECT_EQ(ScriptSession::colourText(255, 8, 160), "FF08A0");
}

TEST_F(ScriptEditTest, NoNamedBlocksIsSaidAndNoEntranceInsertsNothing) {
  openZoneWith("<block/>");
  ScriptSession session(editor, "Zone Start Script", "", "", ScriptContext::Zone);
  const std::size_t before = port.messages.size();
  EXPECT_TRUE(session.namedBlocks().empty());
  EXPECT_EQ(port.messages.size(), before + 1);
  ASSERT_FALSE(port.messages.empty());
  EXPECT_EQ(port.messages.back().text, "This zone contains no named blocks.");
  std::string text;
  EXPECT_FALSE(session.reference(ScriptReference::Entrance, &text));
  EXPECT_FALSE(session.reference(ScriptReference::SubScript, &text));
  EXPECT_TRUE(port.choosers.empty());
}

TEST_F(ScriptEditTest, HelpPagesOpenFromTheProgramFolderOrNameTheMissingPage) {
  ScriptSession speedrun(editor, "Edit Speedrun", "", "", ScriptContext::Game);
  ScriptSession script(editor, "Die Script", "", "", ScriptContext::Zone);
  EXPECT_EQ(speedrun.helpPage(), "game.htm");
  EXPECT_EQ(script.helpPage(), "scripts.htm");

  files::createPath(temp / "zorled");
  ASSERT_TRUE(files::writeFileAtomic(temp / "zorled/scripts.htm", "<html/>"));
  ASSERT_TRUE(files::writeFileAtomic(temp / "zorled/index.htm", ""));
  EXPECT_TRUE(showHelp(editor, "scripts.htm"));
  EXPECT_EQ(port.opened, (std::vector<std::string>{temp / "zorled/scripts.htm"}));
  EXPECT_TRUE(port.messages.empty());

  for (const char* page : {"index.htm", "game.htm"}) {  // empty, missing
    EXPECT_FALSE(showHelp(editor, page));
    ASSERT_FALSE(port.messages.empty());
    EXPECT_NE(port.messages.back().text.find(page), std::string::npos);
  }
  EXPECT_EQ(port.opened.size(), 1u);
  EXPECT_EQ(aboutText("Dec 10 2026"), "ZorlED 1.3 (December 2026)\n\nThis software uses:\nExpat XML Parser\n"
                                      "Scintilla Text Editor");
}

// F1 in each window opens the page the window stands for; the section names a part
// of the page and is not part of what is opened.
TEST_F(ScriptEditTest, EachWindowOpensItsOwnHelpPage) {
  struct Case {
    HelpWindow window;
    const char* scriptTitle;
    const char* page;
    const char* section;
  };
  const Case cases[] = {
      {HelpWindow::Main, "", "index.htm", ""},
      {HelpWindow::GameProperties, "", "game.htm", ""},
      {HelpWindow::ZoneProperties, "", "zone.htm", ""},
      {HelpWindow::GFlagEditor, "", "game.htm", "#gflags"},
      {HelpWindow::ZFlagEditor, "", "zone.htm", "#zflags"},
      {HelpWindow::SoundEditor, "", "game.htm", "#sounds"},
      {HelpWindow::Cleanup, "", "tools.htm", ""},
      {HelpWindow::Script, "Edit Speedrun", "game.htm", "#speedruns"},
      {HelpWindow::Script, "Edit Class", "game.htm", "#classes"},
      {HelpWindow::Script, "New Class", "scripts.htm", ""},
      {HelpWindow::Script, "Zone Start Script", "scripts.htm", ""},
  };
  files::createPath(temp / "zorled");
  for (const char* page : {"index.htm", "game.htm", "zone.htm", "tools.htm", "scripts.htm"}) {
    ASSERT_TRUE(files::writeFileAtomic(temp / (std::string("zorled/") + page), std::string("<html>") + page + "</html>"));
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.page) + c.section + " for " + c.scriptTitle);
    const HelpPage chosen = helpPageFor(c.window, c.scriptTitle);
    EXPECT_EQ(chosen.page, c.page);
    EXPECT_EQ(chosen.section, c.section);
    port.opened.clear();
    EXPECT_TRUE(showWindowHelp(editor, c.window, c.scriptTitle));
    EXPECT_EQ(port.opened, (std::vector<std::string>{temp / (std::string("zorled/") + c.page) + c.section}));
  }
  EXPECT_TRUE(port.messages.empty());
  // The script window's own page follows the same choice.
  EXPECT_EQ(ScriptSession(editor, "Edit Class", "", "", ScriptContext::Game).helpPage(), "game.htm");
}

}  // namespace
}  // namespace zor::editor::test
