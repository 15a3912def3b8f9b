// The GFlag, ZFlag and sound lists: what they show and what OK writes.
#include "editor/core/flag_name_editors.h"

#include <gtest/gtest.h>

#include "tests/editor/core/editor_fixture.h"

namespace zor::editor::test {
namespace {

class FlagNameEditorsTest : public EditorTest {
 protected:
  void load(const std::string& editorData) {
    const std::string path = writeFile("g.zorlan", "<zorlan version=\"1\"><zone id=\"Cave\"><levels><level z=\"0\"/></levels></zone>" +
                                                        editorData + "</zorlan>");
    ASSERT_TRUE(loadGameFileForEditing(editor, path));
    ASSERT_TRUE(openZone(editor, editor.game.zones[0].node));
  }
  std::string dataXml() {
    const xml::Node* n = editor.game.root->childByPath("zorled");
    return n ? xml::Document::serializeNode(n) : "";
  }
};

TEST_F(FlagNameEditorsTest, GFlagsShowNamesAndChecksAndWriteThemBack) {
  load("<zorled setflags=\"1,3\" gnames=\"3|door|40|boss\" gflags=\"clear\"/>");
  GFlagList list = fillGFlagList(editor);
  ASSERT_EQ(list.rows.size(), 41u);
  EXPECT_EQ(list.rows[3].name, "door");
  EXPECT_TRUE(list.rows[1].checked);
  EXPECT_EQ(list.testMode, 1);
  renameGFlag(list, 2, "a|b");
  list.rows[1].checked = false;
  list.rows[40].name.clear();
  list.testMode = 2;
  list.nearest = false;
  applyGFlagList(editor, list);
  EXPECT_EQ(dataXml(), "<zorled setflags=\"3\" gnames=\"2|ab|3|door\" gflags=\"checked\" nearest=\"0\"/>");
  EXPECT_EQ(editor.game.maxGFlags, 4);
  EXPECT_TRUE(editor.game.modified);
}

TEST_F(FlagNameEditorsTest, GFlagCountIsBounded) {
  load("");
  GFlagList list = fillGFlagList(editor);
  EXPECT_EQ(list.rows.size(), 32u);
  raiseGFlagCount(list, "10");  // lower: nothing changes
  EXPECT_EQ(list.rows.size(), 32u);
  raiseGFlagCount(list, "40");
  EXPECT_EQ(list.rows.size(), 41u);
  raiseGFlagCount(list, "99999999999");
  EXPECT_EQ(list.rows.size(), static_cast<std::size_t>(kMaxGameFlagNumber + 1));
  // Nothing checked or named keeps the previous maximum.
  for (GFlagRow& r : list.rows) r = GFlagRow{};
  applyGFlagList(editor, list);
  EXPECT_EQ(editor.game.maxGFlags, 32);
  EXPECT_EQ(dataXml(), "<zorled/>");
}

TEST_F(FlagNameEditorsTest, ZFlagsGoUnderTheLowerCasedZoneId) {
  load("");
  auto names = fillZFlagList(editor);
  names[0] = "lever";
  names[31] = "x|y";
  applyZFlagList(editor, names);
  EXPECT_EQ(dataXml(), "<zorled><zone_cave zflags=\"0|lever|31|xy\"/></zorled>");
  names.fill("");
  applyZFlagList(editor, names);
  EXPECT_EQ(dataXml(), "<zorled/>");
}

TEST_F(FlagNameEditorsTest, SoundsWriteNamesAndLoadsounds) {
  load("");
  SoundList sounds = editor.game.sounds;
  sounds[1].customName = "Boing";
  sounds[3].file = "sfx/a.wav";
  sounds[5].volume = "80";
  applySoundList(editor, sounds);
  EXPECT_EQ(dataXml(), "<zorled soundnames=\"|Boing\"/>");
  const xml::Node* load = editor.game.root->childByPath("loadsounds");
  ASSERT_NE(load, nullptr);
  EXPECT_EQ(xml::Document::serializeNode(load), "<loadsounds nums=\"3,5\" files=\"sfx/a.wav\" vols=\",80\"/>");
  sounds = SoundList{};
  applySoundList(editor, sounds);
  EXPECT_EQ(editor.game.root->childByPath("loadsounds"), nullptr);
  EXPECT_EQ(dataXml(), "<zorled/>");
}

TEST_F(FlagNameEditorsTest, SoundVolumes) {
  const struct {
    std::string typed;
    bool ok;
    std::string volume;
  } cases[] = {{"", true, ""}, {"050", true, "50"}, {"100", true, "100"}, {"101", false, ""}};
  for (const auto& c : cases) {
    std::string v = "unchanged";
    EXPECT_EQ(readSoundVolume(c.typed, &v), c.ok) << c.typed;
    if (c.ok) {
      EXPECT_EQ(v, c.volume) << c.typed;
    }
  }
}

}  // namespace
}  // namespace zor::editor::test
