// Edit Class, Edit Speedrun and Delete Speedrun through the dispatch: what the
// script window is shown, where the edited definition goes, refused texts, and
// deletion with its confirmation.
#include "editor/core/definition_commands.h"

#include <gtest/gtest.h>

#include <deque>

#include "editor/core/script_edit.h"
#include "platform/text.h"
#include "tests/editor/core/editor_fixture.h"

namespace zor::editor::test {
namespace {

// A desktop whose script window answers with queued texts ("<delete>" presses
// Delete Script), then cancels.
class DefinitionPort : public FakePort {
 public:
  std::deque<std::string> scriptAnswers;
  std::vector<std::string> titles, prompts, shownTexts;
  int runScriptWindow(ScriptSession& session) override {
    titles.push_back(session.title());
    prompts.push_back(session.prompt());
    shownTexts.push_back(session.initialText());
    if (scriptAnswers.empty()) return 0;
    const std::string text = scriptAnswers.front();
    scriptAnswers.pop_front();
    if (text == "<delete>") {
      session.deleteScript(session.initialText());
      return 1;
    }
    return session.accept(text, nullptr) ? 1 : 0;
  }
};

struct NoHost : CommandHost {
  void toggleMaximised() override {}
  std::string ownExecutable() override { return ""; }
};

class DefinitionCommandsTest : public ::testing::Test {
 protected:
  DefinitionCommandsTest() : editor(port) {
    editor.folders.data = temp.path();
    editor.folders.preference = temp.path() + "prefs/";
    files::createPath(editor.folders.preference);
  }
  void load() {
    const std::string path = temp / "g.zorlan";
    files::writeFileAtomic(path,
                           "<zorlan version=\"1\"><class name=\"wall\"/><class name=\"rock\"/>"
                           "<speedrun name=\"Dash\" zone=\"first\"/><zone id=\"first\"/>"
                           "<speedrun name=\"slow\"/></zorlan>");
    ASSERT_TRUE(loadGameFileForEditing(editor, path));
  }
  std::string rootXml() { return xml::Document::serializeNode(editor.game.root); }
  void run(Command c) { dispatchCommand(editor, host, c); }

  zor::testing::TempFolder temp;
  DefinitionPort port;
  Editor editor;
  NoHost host;
};

TEST_F(DefinitionCommandsTest, EditSpeedrunReplacesTheChosenOneInPlace) {
  load();
  port.chooserAnswers = {0};
  port.scriptAnswers = {"  <speedrun name='Dash' zone='first' entrance='e'/>\n"};
  run(Command::EditSpeedrun);
  ASSERT_EQ(port.choosers.size(), 1u);
  EXPECT_EQ(port.choosers[0].title, "Edit Speedrun");
  EXPECT_EQ(port.choosers[0].prompt, "Select a speedrun:");
  EXPECT_EQ(port.choosers[0].items, (std::vector<std::string>{"dash", "slow"}));
  ASSERT_EQ(port.titles.size(), 1u);
  EXPECT_EQ(port.titles[0], "Edit Speedrun");
  EXPECT_EQ(port.prompts[0], "Edit speedrun definition:");
  EXPECT_NE(port.shownTexts[0].find("name=\"Dash\""), std::string::npos) << port.shownTexts[0];
  const std::string after = rootXml();
  const auto edited = after.find("entrance=\"e\"");
  ASSERT_NE(edited, std::string::npos) << after;
  EXPECT_LT(edited, after.find("<zone"));  // in the old one's place
  EXPECT_EQ(after.find("name=\"Dash\""), after.rfind("name=\"Dash\""));
  EXPECT_TRUE(editor.game.modified);
}

TEST_F(DefinitionCommandsTest, RefusedEditsReopenTheWindowAndChangeNothing) {
  const struct {
    const char* name;
    Command command;
    int chosen;  // classes are listed by name: rock, wall
    const char* text;
    const char* message;
  } cases[] = {
      {"speedrun taking another's name", Command::EditSpeedrun, 0, "<speedrun name='SLOW'/>",
       "Speedrun 'SLOW' already exists."},
      {"speedrun turned class", Command::EditSpeedrun, 0, "<class name='x'/>",
       "Node must be in the format '<speedrun name='...' zone='...' ... />'."},
      {"class taking another's name", Command::EditClass, 1, "<class name='Rock'/>", "Class 'Rock' already exists."},
      {"class without name", Command::EditClass, 1, "<class flg='solid'/>", "You must specify a 'name' attribute."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    load();
    const std::string before = rootXml();
    port.messages.clear();
    port.shownTexts.clear();
    port.chooserAnswers = {c.chosen};
    port.scriptAnswers = {c.text};  // then the reopened window is cancelled
    run(c.command);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].text, c.message);
    ASSERT_EQ(port.shownTexts.size(), 2u);
    EXPECT_EQ(port.shownTexts[1], c.text);
    EXPECT_EQ(rootXml(), before);
    EXPECT_FALSE(editor.game.modified);
  }
}

TEST_F(DefinitionCommandsTest, EditClassKeepsItsPlaceAndARefusedTextCanBeMended) {
  load();
  port.chooserAnswers = {0};  // classes listed: rock, wall
  port.scriptAnswers = {"<class name='wall'/>", "<class name='stone' flg='solid'/>"};
  run(Command::EditClass);
  ASSERT_EQ(port.choosers.size(), 1u);
  EXPECT_EQ(port.choosers[0].title, "Edit Class");
  EXPECT_EQ(port.choosers[0].prompt, "Select a class to edit:");
  ASSERT_EQ(port.titles.size(), 2u);
  EXPECT_EQ(port.titles[0], "Edit Class");
  EXPECT_EQ(port.prompts[0], "Edit block class definition:");
  const std::string after = rootXml();
  EXPECT_EQ(after.find("name=\"rock\""), std::string::npos) << after;
  const auto stone = after.find("name=\"stone\"");
  ASSERT_NE(stone, std::string::npos);
  EXPECT_LT(after.find("name=\"wall\""), stone);
  EXPECT_LT(stone, after.find("<speedrun"));
  EXPECT_TRUE(editor.game.modified);
}

TEST_F(DefinitionCommandsTest, DeletingAskedFirst) {
  const struct {
    const char* name;
    Command command;
    const char* script;  // the script window's answer; null: no window
    Answer answer;
    const char* question;
    const char* status;  // null: nothing deleted
    const char* gone;
  } cases[] = {
      {"delete speedrun", Command::DeleteSpeedrun, nullptr, Answer::Yes, "Are you sure you want to delete speedrun 'Dash'?",
       "Deleted speedrun: Dash", "Dash"},
      {"delete speedrun refused", Command::DeleteSpeedrun, nullptr, Answer::No,
       "Are you sure you want to delete speedrun 'Dash'?", nullptr, "Dash"},
      {"edit speedrun emptied", Command::EditSpeedrun, "<delete>", Answer::Yes,
       "Are you sure you want to delete speedrun 'Dash'?", "Deleted speedrun: Dash", "Dash"},
      {"edit class emptied", Command::EditClass, "   ", Answer::Yes, "Are you sure you want to delete class 'rock'?",
       "Deleted class: rock", "rock"},
      {"edit class emptied refused", Command::EditClass, "", Answer::No,
       "Are you sure you want to delete class 'rock'?", nullptr, "rock"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    load();
    const std::string before = rootXml();
    port.questions.clear();
    port.statusLog.clear();
    port.shownTexts.clear();
    port.chooserAnswers = {0};
    port.scriptAnswers.clear();
    if (c.script) port.scriptAnswers.push_back(c.script);
    port.answers = {c.answer};
    run(c.command);
    EXPECT_EQ(port.shownTexts.size(), c.script ? 1u : 0u);
    ASSERT_EQ(port.questions.size(), 1u);
    EXPECT_EQ(port.questions[0], c.question);
    const std::string after = rootXml();
    if (!c.status) {
      EXPECT_EQ(after, before);
      EXPECT_FALSE(editor.game.modified);
      continue;
    }
    EXPECT_EQ(port.status[0], c.status);
    EXPECT_EQ(after.find(std::string("name=\"") + c.gone + "\""), std::string::npos) << after;
    EXPECT_TRUE(editor.game.modified);
  }
}

TEST_F(DefinitionCommandsTest, ReorderSpeedrunsMovesBeforeAnotherOrAfterTheLast) {
  // Speedruns in document order: Dash, slow, Late (a zone between the first two).
  const struct {
    const char* name;
    int moved;     // index in the first chooser: dash, slow, late
    int position;  // index in the second chooser
    std::vector<std::string> positions;
    std::vector<std::string> order;  // the speedruns' names afterwards
    const char* report;
  } cases[] = {
      {"last before first", 2, 0, {"Before: Dash", "Before: slow", "After: slow"}, {"Late", "Dash", "slow"},
       "Moved speedrun: Late"},
      {"first after last", 0, 2, {"Before: slow", "Before:  Late ", "After:  Late "}, {"slow", "Late", "Dash"},
       "Moved speedrun: Dash"},
      {"before itself's next", 0, 0, {"Before: slow", "Before:  Late ", "After:  Late "}, {"Dash", "slow", "Late"},
       "Moved speedrun: Dash"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = temp / "r.zorlan";
    files::writeFileAtomic(path,
                           "<zorlan version=\"1\"><speedrun name=\"Dash\"/><zone id=\"first\"/>"
                           "<speedrun name=\"slow\"/><speedrun name=\"\"/><speedrun name=\" Late \"/></zorlan>");
    ASSERT_TRUE(loadGameFileForEditing(editor, path));
    port.choosers.clear();
    port.messages.clear();
    port.chooserAnswers = {c.moved, c.position};
    run(Command::ReorderSpeedruns);
    ASSERT_EQ(port.choosers.size(), 2u);
    EXPECT_EQ(port.choosers[0].title, "Reorder Speedruns");
    EXPECT_EQ(port.choosers[0].prompt, "Select a speedrun to move:");
    EXPECT_EQ(port.choosers[1].title, "Move Speedrun");
    EXPECT_EQ(port.choosers[1].prompt, "Select a new position:");
    EXPECT_EQ(port.choosers[1].items, c.positions);
    EXPECT_EQ(port.choosers[1].preselect, -1);
    std::vector<std::string> order;
    for (xml::Node* n = editor.game.root->firstElement(); n; n = n->nextElement())
      if (n->name == "speedrun" && !n->attr("name").empty()) order.push_back(text::trim(n->attr("name")));
    EXPECT_EQ(order, c.order);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].text, c.report);
    EXPECT_EQ(port.status[0], c.report);
    EXPECT_TRUE(editor.game.modified);
  }
}

TEST_F(DefinitionCommandsTest, ReorderingALoneSpeedrunIsRefused) {
  const std::string path = temp / "r.zorlan";
  files::writeFileAtomic(path, "<zorlan version=\"1\"><speedrun name=\"Dash\"/><speedrun name=\"\"/></zorlan>");
  ASSERT_TRUE(loadGameFileForEditing(editor, path));
  const std::string before = rootXml();
  port.chooserAnswers = {0};
  run(Command::ReorderSpeedruns);
  EXPECT_EQ(port.choosers.size(), 1u);
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "There is only one speedrun (nothing to reorder).");
  EXPECT_EQ(rootXml(), before);
  EXPECT_FALSE(editor.game.modified);
}

TEST_F(DefinitionCommandsTest, NothingWithoutAGameOrOnCancel) {
  const Command commands[] = {Command::EditClass, Command::EditSpeedrun, Command::DeleteSpeedrun,
                              Command::ReorderSpeedruns};
  for (Command c : commands) run(c);
  EXPECT_TRUE(port.choosers.empty());
  load();
  for (Command c : commands) run(c);  // chooser cancelled
  port.chooserAnswers = {0};
  run(Command::EditSpeedrun);  // script window cancelled
  port.chooserAnswers = {0};
  run(Command::ReorderSpeedruns);  // position chooser cancelled
  EXPECT_EQ(port.choosers.size(), 7u);
  EXPECT_TRUE(port.questions.empty());
  EXPECT_FALSE(editor.game.modified);
}

// An indented game keeps its lines: a removed or moved element takes the
// indentation before it along.
TEST_F(DefinitionCommandsTest, RemovedAndMovedElementsTakeTheirIndentation) {
  const std::string path = temp / "g.zorlan";
  ASSERT_TRUE(files::writeFileAtomic(path,
                                     "<zorlan version=\"1\">\n  <class name=\"wall\"/>\n  <class name=\"rock\"/>\n"
                                     "  <speedrun name=\"Dash\"/>\n  <speedrun name=\"slow\"/>\n"
                                     "  <speedrun name=\"mid\"/>\n</zorlan>\n"));
  ASSERT_TRUE(loadGameFileForEditing(editor, path));
  port.chooserAnswers = {1};  // the classes are offered by name: rock, wall
  port.answers = {Answer::Yes};
  run(Command::DeleteClass);
  port.chooserAnswers = {1, 0, 0, 2};  // slow before Dash, then slow after mid
  run(Command::ReorderSpeedruns);
  EXPECT_EQ(rootXml(), "<zorlan version=\"1\">\n  <class name=\"rock\"/>\n  <speedrun name=\"slow\"/>\n"
                       "  <speedrun name=\"Dash\"/>\n  <speedrun name=\"mid\"/>\n</zorlan>");
  run(Command::ReorderSpeedruns);
  EXPECT_EQ(rootXml(), "<zorlan version=\"1\">\n  <class name=\"rock\"/>\n  <speedrun name=\"Dash\"/>\n"
                       "  <speedrun name=\"mid\"/>\n  <speedrun name=\"slow\"/>\n</zorlan>");
  port.chooserAnswers = {0};
  port.answers = {Answer::Yes};
  run(Command::DeleteSpeedrun);
  EXPECT_EQ(rootXml(), "<zorlan version=\"1\">\n  <class name=\"rock\"/>\n"
                       "  <speedrun name=\"mid\"/>\n  <speedrun name=\"slow\"/>\n</zorlan>");
}

}  // namespace
}  // namespace zor::editor::test
