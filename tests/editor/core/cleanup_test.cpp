#include "editor/core/cleanup.h"

#include <gtest/gtest.h>

#include "editor/core/zone_records.h"
#include "tests/editor/core/editor_fixture.h"

namespace zor::editor::test {
namespace {

xml::Document parse(const std::string& text) {
  xml::Document doc;
  xml::ParseError error;
  EXPECT_TRUE(doc.parse(text, &error)) << error.message;
  return doc;
}

std::string written(const xml::Node* node) { return xml::Document::serializeNode(node); }

TEST(RedundantAttributes, PairsCollapseOnlyWhereOneValueMeansBoth) {
  struct Case {
    const char* in;
    const char* out;
    int count;
  };
  const Case cases[] = {
      {"<block color='FF0000,FF0000'/>", "<block color=\"FF0000\"/>", 1},
      {"<block COLOR='FF0000,FF0000'/>", "<block color=\"FF0000\"/>", 1},
      {"<block color='FF0000,00FF00'/>", "<block color=\"FF0000,00FF00\"/>", 0},
      {"<block color='FF0000,FF0000,FF0000'/>", "<block color=\"FF0000,FF0000,FF0000\"/>", 0},
      {"<block xlim='5,5' ylim='-3,-3'/>", "<block xlim=\"5\" ylim=\"-3\"/>", 2},
      {"<class name='bat' xlim='7,7'/>", "<class name=\"bat\" xlim=\"7\"/>", 1},
      // A lone zone or area limit reads as that value and 0: the pair stays.
      {"<zone xlim='100,100' ylim='9,9'/>", "<zone xlim=\"100,100\" ylim=\"9,9\"/>", 0},
      {"<area xlim='100,100'/>", "<area xlim=\"100,100\"/>", 0},
      {"<area zoom='300,300,300'/>", "<area zoom=\"300\"/>", 1},
      {"<area zoom='300,300'/>", "<area zoom=\"300\"/>", 1},
      {"<area zoom='300,200,300'/>", "<area zoom=\"300,200,300\"/>", 0},
      {"<enter><setcolor color='FF0000,FF0000'/></enter>",
       "<enter><setcolor color=\"FF0000,FF0000\"/></enter>", 0},
      {"<setcolor color='1,1'><block color='2,2'/></setcolor>", "<setcolor color=\"1,1\"><block color=\"2\"/></setcolor>",
       1},
  };
  for (const Case& c : cases) {
    xml::Document doc = parse(c.in);
    EXPECT_EQ(removeRedundantAttributes(doc.root()), c.count) << c.in;
    EXPECT_EQ(written(doc.root()), c.out) << c.in;
  }
}

TEST(Whitespace, ScriptsKeepTheirTextUnlessIncluded) {
  const char* game =
      "<zorlan>\n  <zone id='a'>\n    <start>\n      <wait frames='1'/>\n    </start>\n"
      "    <block>\n<die>\n <kill/>\n</die></block>\n  </zone>\n</zorlan>";
  xml::Document without = parse(game);
  EXPECT_EQ(removeWhitespace(without.root(), false), 3);  // zorlan, zone, block
  EXPECT_EQ(written(without.root()),
            "<zorlan><zone id=\"a\"><start>\n      <wait frames=\"1\"/>\n    </start>"
            "<block><die>\n <kill/>\n</die></block></zone></zorlan>");

  xml::Document with = parse(game);
  EXPECT_EQ(removeWhitespace(with.root(), true), 5);
  EXPECT_EQ(written(with.root()),
            "<zorlan><zone id=\"a\"><start><wait frames=\"1\"/></start><block><die><kill/></die></block></zone></zorlan>");

  xml::Document tidy = parse("<zorlan><zone/></zorlan>");
  EXPECT_EQ(removeWhitespace(tidy.root(), true), 0);
}

TEST(Comments, EveryCommentBelowTheElementGoes) {
  xml::Document doc = parse("<zorlan><!--a--><!--b--><zone><!--c--><block/><!--d--></zone></zorlan>");
  EXPECT_EQ(removeComments(doc.root()), 4);
  EXPECT_EQ(written(doc.root()), "<zorlan><zone><block/></zone></zorlan>");
  EXPECT_EQ(removeComments(doc.root()), 0);
}

TEST(SecNodes, MarkedElementsGoWithTheirSubtrees) {
  xml::Document doc = parse(
      "<zorlan><zone id='a' sec='1'><block sec='1'/></zone><zone id='b'><block sec='x'><die/></block>"
      "<block sec=''/><block sec='1'/></zone></zorlan>");
  EXPECT_EQ(removeSecNodes(doc.root()), 3);
  EXPECT_EQ(written(doc.root()), "<zorlan><zone id=\"b\"><block sec=\"\"/></zone></zorlan>");
}

TEST(InsertBeforeExtension, SuffixGoesBeforeTheDot) {
  EXPECT_EQ(insertBeforeExtension("/g/castle.xml", "_clean"), "/g/castle_clean.xml");
  EXPECT_EQ(insertBeforeExtension("/g/castle", "_clean"), "/g/castle_clean");
  EXPECT_EQ(insertBeforeExtension("/g.d/castle", "_clean"), "/g.d/castle_clean");
  EXPECT_EQ(insertBeforeExtension("/g/a.b.zorlan", "_clean"), "/g/a.b_clean.zorlan");
  EXPECT_EQ(insertBeforeExtension("", "_clean"), "");
}

class CleanupTest : public EditorTest {
 protected:
  static constexpr const char* kGame =
      "<zorlan version=\"1\">\n"
      "<!-- notes -->\n"
      "<zone id=\"first\" notes=\"\" track=\"\">\n"
      "<levels><level z=\"0\" color=\"\"/></levels>\n"
      "<entrance x=\"0\" y=\"0\" z=\"0\"/>\n"
      "<block color=\"FF0000,FF0000\" w=\"\" xlim=\"1,1\"><die><kill oname=\"\"/></die></block>\n"
      "</zone>\n"
      "<zone id=\"secret\" sec=\"1\"><levels><level z=\"0\"/></levels></zone>\n"
      "</zorlan>\n";
};

TEST_F(CleanupTest, ExternalFileIsCleanedAndSavedUnderTheChosenName) {
  const std::string path = writeFile("castle.xml", kGame);
  CleanupOptions options;
  options.inputPath = "  " + path + " ";
  options.whitespace = true;
  options.comments = true;
  options.sec = true;
  port.fileChoices.push_back({true, temp / "castle_clean.xml", 1});
  std::vector<std::string> log = {"..."};
  cleanUpGameFile(editor, options, log);

  ASSERT_EQ(port.saveRequests.size(), 1u);
  EXPECT_EQ(port.saveRequests[0].startPath, temp / "castle_clean.xml");
  EXPECT_EQ(port.saveRequests[0].patternIndex, 1);
  ASSERT_GE(log.size(), 8u);
  EXPECT_EQ(log[0], "Cleaning castle.xml...");
  EXPECT_EQ(log[1], " + Removed 2 useless attributes.");  // notes and w; the track and script stay
  EXPECT_EQ(log[2], " + Removed 2 redundant attributes.");
  EXPECT_EQ(log[3], " + Removed whitespace from 2 nodes.");
  EXPECT_EQ(log[4], " + Removed 1 comment.");
  EXPECT_EQ(log[5], " + Removed 1 'sec' node.");
  EXPECT_EQ(log[6].rfind("Reduced file size to ", 0), 0u);
  EXPECT_EQ(log[7], "Saved to castle_clean.xml.");
  EXPECT_EQ(readBack(temp / "castle_clean.xml"),
            "<zorlan version=\"1\"><zone id=\"first\" track=\"\"><levels><level z=\"0\" color=\"\"/></levels>"
            "<entrance x=\"0\" y=\"0\" z=\"0\"/><block color=\"FF0000\" xlim=\"1\"><die><kill oname=\"\"/></die>"
            "</block></zone></zorlan>\n");
  EXPECT_EQ(readBack(path), kGame);  // the input stays as it was
  EXPECT_TRUE(port.messages.empty());
}

TEST_F(CleanupTest, PassesThatFindNothingSaySo) {
  const std::string path = writeFile("tidy", "<zorlan><zone id=\"a\"/></zorlan>");
  CleanupOptions options;
  options.inputPath = path;
  options.whitespace = options.comments = options.sec = true;
  std::vector<std::string> log;
  cleanUpGameFile(editor, options, log);  // the save requester is cancelled
  EXPECT_EQ(log, (std::vector<std::string>{"Cleaning tidy...", " - No useless attributes found.",
                                           " - No redundant attributes found.", " - No whitespace found.",
                                           " - No comments found.", " - No 'sec' nodes found.",
                                           "Reduced file size to 100.0%."}));
  ASSERT_EQ(port.saveRequests.size(), 1u);
  EXPECT_EQ(port.saveRequests[0].startPath, temp / "tidy_clean");
  EXPECT_EQ(port.saveRequests[0].patternIndex, 0);
}

TEST_F(CleanupTest, ExistingTargetIsReplacedOnlyAfterYes) {
  const std::string path = writeFile("castle.xml", kGame);
  const std::string target = writeFile("mine.zorlan", "precious");
  CleanupOptions options;
  options.inputPath = path;
  port.fileChoices.push_back({true, target, 0});
  std::vector<std::string> log;
  cleanUpGameFile(editor, options, log);
  ASSERT_EQ(port.questions.size(), 1u);
  EXPECT_EQ(readBack(target), "precious");

  port.fileChoices.push_back({true, temp / "mine", 0});  // gets ".zorlan", which exists
  port.answers.push_back(Answer::Yes);
  cleanUpGameFile(editor, options, log);
  EXPECT_EQ(port.questions.size(), 2u);
  EXPECT_NE(readBack(target).find("<zorlan"), std::string::npos);
  EXPECT_EQ(log.back(), "Saved to mine.zorlan.");
}

TEST_F(CleanupTest, BadInputFilesAreRefusedWithTheirMessage) {
  struct Case {
    const char* name;
    const char* content;  // null: no file
    const char* message;
  };
  const Case cases[] = {
      {"missing.xml", nullptr, "Cannot load file:\n"},
      {"broken.xml", "<zorlan><zone></zorlan>", "Invalid XML file:\n"},
      {"other.xml", "<Zorlan/>", "Invalid game file:\n"},
  };
  for (const Case& c : cases) {
    if (c.content) writeFile(c.name, c.content);
    CleanupOptions options;
    options.inputPath = temp / c.name;
    std::vector<std::string> log = {"..."};
    port.messages.clear();
    cleanUpGameFile(editor, options, log);
    ASSERT_EQ(port.messages.size(), 1u) << c.name;
    EXPECT_EQ(port.messages[0].text, c.message + temp / c.name);
    EXPECT_EQ(port.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(log, std::vector<std::string>{"..."});
    EXPECT_TRUE(port.saveRequests.empty());
  }
}

TEST_F(CleanupTest, NothingSelectedIsRefused) {
  CleanupOptions options;
  options.useless = options.redundant = false;
  options.inputPath = writeFile("castle.xml", kGame);
  std::vector<std::string> log = {"..."};
  cleanUpGameFile(editor, options, log);
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "No cleanup action is selected.");
  EXPECT_EQ(log, std::vector<std::string>{"..."});
}

TEST_F(CleanupTest, OpenGameIsCleanedInMemoryAndMarkedModified) {
  const std::string path = writeFile("castle.zorlan", kGame);
  ASSERT_TRUE(loadGameFileForEditing(editor, path));
  CleanupOptions options;
  options.openGame = true;
  options.useless = options.redundant = false;
  options.comments = true;
  std::vector<std::string> log;
  cleanUpGameFile(editor, options, log);
  EXPECT_EQ(log.front(), "Cleaning open game file...");
  EXPECT_EQ(log[1], " + Removed 1 comment.");
  EXPECT_TRUE(editor.game.modified);
  EXPECT_EQ(readBack(path), kGame);  // nothing saved
  EXPECT_TRUE(port.saveRequests.empty());
}

TEST_F(CleanupTest, RemovingTheOpenZoneLeavesNoZoneOpen) {
  ASSERT_TRUE(loadGameFileForEditing(editor, writeFile("castle.zorlan", kGame)));
  ASSERT_EQ(editor.game.zones.size(), 2u);
  ASSERT_TRUE(openZone(editor, editor.game.zones[1].node));  // "secret"
  CleanupOptions options;
  options.openGame = true;
  options.useless = options.redundant = false;
  options.sec = true;
  std::vector<std::string> log;
  cleanUpGameFile(editor, options, log);
  EXPECT_EQ(log[1], " + Removed 1 'sec' node.");
  EXPECT_EQ(editor.zone.openZoneNode, nullptr);
  ASSERT_EQ(editor.game.zones.size(), 1u);
  EXPECT_EQ(editor.game.zones[0].id, "first");
}

TEST_F(CleanupTest, AnotherOpenZoneIsOpenedAgain) {
  ASSERT_TRUE(loadGameFileForEditing(editor, writeFile("castle.zorlan", kGame)));
  xml::Node* first = editor.game.zones[0].node;
  ASSERT_TRUE(openZone(editor, first));
  CleanupOptions options;
  options.openGame = true;
  options.sec = true;
  std::vector<std::string> log;
  cleanUpGameFile(editor, options, log);
  EXPECT_EQ(editor.zone.openZoneNode, first);
  EXPECT_FALSE(editor.zone.objects.empty());
}

}  // namespace
}  // namespace zor::editor::test

namespace zor::editor::test {
namespace {

TEST_F(CleanupTest, OpenGameIsPreselectedOnlyTheFirstTime) {
  CleanupDialogState state;
  prepareCleanupDialog(editor, state);  // no game: the external file
  EXPECT_FALSE(state.options.openGame);
  ASSERT_TRUE(loadGameFileForEditing(editor, writeFile("castle.zorlan", kGame)));
  state.options.sec = true;
  prepareCleanupDialog(editor, state);
  EXPECT_TRUE(state.options.openGame);
  EXPECT_FALSE(state.options.sec);
  state.options.openGame = false;  // the user's choice stays
  prepareCleanupDialog(editor, state);
  EXPECT_FALSE(state.options.openGame);
  closeGame(editor);
  state.options.openGame = true;
  prepareCleanupDialog(editor, state);
  EXPECT_FALSE(state.options.openGame);
}

}  // namespace
}  // namespace zor::editor::test
