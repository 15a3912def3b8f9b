// Delete Zone: the question asked, what goes with the zone, the open zone
// closed first, and a game without zones.
#include "editor/core/zone_delete.h"

#include <gtest/gtest.h>

#include "tests/editor/core/editor_fixture.h"

namespace zor::editor::test {
namespace {

class ZoneDeleteTest : public EditorTest {
 protected:
  void load(const char* zones = "<zone id=\"B\"><levels><level z=\"0\"/></levels></zone><zone id=\"d\"/>") {
    const std::string path = writeFile("g.zorlan", std::string("<zorlan version=\"1\">") + zones +
                                                       "<zorled><zone_b zflags=\"1|x\"/><zone_d/></zorled></zorlan>");
    ASSERT_TRUE(loadGameFileForEditing(editor, path));
    editor.game.modified = false;
  }
  std::string rootXml() { return xml::Document::serializeNode(editor.game.root); }
};

TEST_F(ZoneDeleteTest, DeletesTheChosenZoneWithItsFlagNames) {
  const struct {
    const char* name;
    bool saved;       // the game has a file path
    bool openFirst;   // the chosen zone is open
    Answer answer;
    const char* question;
  } cases[] = {
      {"saved", true, false, Answer::Yes,
       "Are you sure you want to delete zone 'B'?\r\nThis cannot be undone without reopening the file."},
      {"never saved, open", false, true, Answer::Yes, "Are you sure you want to delete zone 'B'?\r\nThis cannot be undone."},
      {"refused", true, true, Answer::No,
       "Are you sure you want to delete zone 'B'?\r\nThis cannot be undone without reopening the file."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    load();
    if (!c.saved) editor.game.path.clear();
    if (c.openFirst) {
      ASSERT_TRUE(openZone(editor, editor.game.zones[0].node));
    }
    port.questions.clear();
    port.choosers.clear();
    port.chooserAnswers = {0};
    port.answers = {c.answer};
    const std::string before = rootXml();
    EXPECT_EQ(deleteZoneCommand(editor), c.answer == Answer::Yes);
    ASSERT_EQ(port.choosers.size(), 1u);
    EXPECT_EQ(port.choosers[0].title, "Delete Zone");
    EXPECT_EQ(port.choosers[0].prompt, "Choose a zone to delete:");
    ASSERT_EQ(port.questions.size(), 1u);
    EXPECT_EQ(port.questions[0], c.question);
    if (c.answer != Answer::Yes) {
      EXPECT_EQ(rootXml(), before);
      EXPECT_FALSE(editor.game.modified);
      EXPECT_NE(editor.zone.openZoneNode, nullptr);
      continue;
    }
    EXPECT_EQ(rootXml(), "<zorlan version=\"1\"><zone id=\"d\"/><zorled><zone_d/></zorled></zorlan>");
    ASSERT_EQ(editor.game.zones.size(), 1u);
    EXPECT_EQ(editor.game.zones[0].id, "d");
    EXPECT_EQ(editor.zone.openZoneNode, nullptr);
    EXPECT_EQ(port.status[0], "Deleted zone: B");
    EXPECT_TRUE(editor.game.modified);
  }
}

TEST_F(ZoneDeleteTest, WithoutZonesOffersANewOne) {
  load("");
  port.answers = {Answer::No};
  EXPECT_FALSE(deleteZoneCommand(editor));
  ASSERT_EQ(port.questions.size(), 1u);
  EXPECT_EQ(port.questions[0], "No zones exist. Would you like to create one now?");
  EXPECT_TRUE(port.choosers.empty());
  EXPECT_FALSE(editor.game.modified);
}

}  // namespace
}  // namespace zor::editor::test
