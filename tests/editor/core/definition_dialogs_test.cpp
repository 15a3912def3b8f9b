// New Class and New Speedrun: the checks a new definition passes, where it
// goes, and the script window reopened on a refused text.
#include "editor/core/definition_dialogs.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "editor/core/game_document.h"
#include "editor/core/script_edit.h"
#include "tests/editor/core/editor_fixture.h"

namespace zor::editor::test {
namespace {

// A desktop whose script window answers OK with queued texts, then cancels.
class DefinitionPort : public FakePort {
 public:
  std::deque<std::string> okTexts;
  std::vector<std::string> shownTexts;
  int runScriptWindow(ScriptSession& session) override {
    shownTexts.push_back(session.initialText());
    if (okTexts.empty()) return 0;
    const std::string text = okTexts.front();
    okTexts.pop_front();
    return session.accept(text, nullptr) ? 1 : 0;
  }
};

class DefinitionDialogsTest : public ::testing::Test {
 protected:
  DefinitionDialogsTest() : editor(port) {
    editor.folders.data = temp.path();
    editor.folders.preference = temp.path() + "prefs/";
    files::createPath(editor.folders.preference);
    const std::string path = temp / "g.zorlan";
    files::writeFileAtomic(path,
                           "<zorlan version=\"1\"><class name=\"wall\"/><class name=\"Rock\"/><zone id=\"first\"/>"
                           "<speedrun name=\"Dash\"/><zone id=\"two\"/></zorlan>");
    loadGameFileForEditing(editor, path);
  }
  std::string rootXml() { return xml::Document::serializeNode(editor.game.root); }

  zor::testing::TempFolder temp;
  DefinitionPort port;
  Editor editor;
};

TEST_F(DefinitionDialogsTest, NewClassChecks) {
  const struct {
    std::string text, message;
  } cases[] = {
      {"<class name='Wall'/>", "Class 'wall' already exists."},   // the existing name is lower case
      {"<class name='rock'/>", ""},                                // the existing one has capitals
      {"<class flg='solid'/>", "You must specify a 'name' attribute."},
      {"<block name='x'/>", "Invalid XML node name."},
      {"<speedrun name='x'/>", "Invalid XML node name."},
  };
  for (const auto& c : cases) {
    xml::Document doc;
    ASSERT_TRUE(doc.parse(c.text, nullptr));
    EXPECT_EQ(checkNewClass(editor, doc.root()), c.message) << c.text;
  }
}

TEST_F(DefinitionDialogsTest, NewSpeedrunChecks) {
  const struct {
    std::string text, message;
  } cases[] = {
      {"<SpeedRun name='Run'/>", ""},
      {"<speedrun name='DASH'/>", "Speedrun 'dash' already exists."},
      {"<speedrun zone='a'/>", "Node must be in the format '<speedrun name='...' zone='...' ... />'."},
      {"<class name='x'/>", "Node must be in the format '<speedrun name='...' zone='...' ... />'."},
  };
  for (const auto& c : cases) {
    xml::Document doc;
    ASSERT_TRUE(doc.parse(c.text, nullptr));
    EXPECT_EQ(checkNewSpeedrun(editor, doc.root()), c.message) << c.text;
  }
}

TEST_F(DefinitionDialogsTest, RefusedClassReopensOnTheTextThenJoinsAfterTheLastClass) {
  port.okTexts = {"<block name='x'/>", "<class name='Ice' flg='solid'/>"};
  EXPECT_EQ(createClass(editor), 1);
  ASSERT_EQ(port.shownTexts.size(), 2u);
  EXPECT_EQ(port.shownTexts[0], "<class name='name' flg='' eflags='' />");
  EXPECT_EQ(port.shownTexts[1], "<block name='x'/>");
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "Invalid XML node name.");
  EXPECT_EQ(rootXml(),
            "<zorlan version=\"1\"><class name=\"wall\"/><class name=\"Rock\"/><class name=\"Ice\" flg=\"solid\"/>"
            "<zone id=\"first\"/><speedrun name=\"Dash\"/><zone id=\"two\"/></zorlan>");
  EXPECT_EQ(port.status[0], "Created class: Ice");
  EXPECT_TRUE(editor.game.modified);
}

TEST_F(DefinitionDialogsTest, SpeedrunJoinsAfterTheLastSpeedrunAndCancelChangesNothing) {
  const std::string before = rootXml();
  EXPECT_EQ(createSpeedrun(editor), 0);
  EXPECT_EQ(rootXml(), before);
  EXPECT_FALSE(editor.game.modified);
  port.okTexts = {"<speedrun name='Long' zone='two'/>"};
  EXPECT_EQ(createSpeedrun(editor), 1);
  EXPECT_EQ(rootXml(),
            "<zorlan version=\"1\"><class name=\"wall\"/><class name=\"Rock\"/><zone id=\"first\"/>"
            "<speedrun name=\"Dash\"/><speedrun name=\"Long\" zone=\"two\"/><zone id=\"two\"/></zorlan>");
  EXPECT_EQ(port.status[0], "Created speedrun: Long");
}

}  // namespace
}  // namespace zor::editor::test
