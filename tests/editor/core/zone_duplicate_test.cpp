// Duplicate Zone: the copy's place, ID and zone-list entry, and the answers
// that end it early.
#include "editor/core/zone_duplicate.h"

#include <gtest/gtest.h>

#include "tests/editor/core/editor_fixture.h"

namespace zor::editor::test {
namespace {

class ZoneDuplicateTest : public EditorTest {
 protected:
  void load() {
    const std::string path = writeFile(
        "g.zorlan", "<zorlan version=\"1\"><zone id=\"b\" notes=\"hi\"><levels><level z=\"0\"/></levels></zone>"
                    "<zone id=\"d\"/><zorled><zone_b zflags=\"1|x\"/></zorled></zorlan>");
    ASSERT_TRUE(loadGameFileForEditing(editor, path));
    editor.game.modified = false;
  }
  std::string zoneOrder() {
    std::string ids;
    for (const xml::Node* c = editor.game.root->firstElement(); c; c = c->nextElement()) {
      if (c->name == "zone") ids += c->attr("id") + ",";
    }
    return ids;
  }
  std::string zoneList() {
    std::string ids;
    for (const ZoneEntry& z : editor.game.zones) ids += z.id + ",";
    return ids;
  }
};

TEST_F(ZoneDuplicateTest, CopiesTheChosenZoneAfterItUnderANewId) {
  const struct {
    const char* name;
    int chosen;                        // chooser answer
    std::vector<std::string> typed;   // New Zone ID answers (then Cancel)
    Answer switchTo;
    bool made;
    const char* order;
    const char* list;
    std::size_t warnings;
    const char* status;
  } cases[] = {
      {"copy, stay", 0, {"C"}, Answer::No, true, "b,c,d,", "b,c,d,", 0, ""},
      {"copy, switch", 0, {"a"}, Answer::Yes, true, "b,a,d,", "a,b,d,", 0, "Zone notes: hi"},
      {"taken id asked again", 0, {"D", "e"}, Answer::No, true, "b,e,d,", "b,d,e,", 1, ""},
      {"taken id then cancel", 0, {"b"}, Answer::No, false, "b,d,", "b,d,", 1, ""},
      {"empty id", 0, {""}, Answer::No, false, "b,d,", "b,d,", 0, ""},
      {"chooser cancelled", -1, {}, Answer::No, false, "b,d,", "b,d,", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    load();
    port.messages.clear();
    port.status[0].clear();
    port.chooserAnswers = {c.chosen};
    port.typedTexts.assign(c.typed.begin(), c.typed.end());
    port.answers = {c.switchTo};
    EXPECT_EQ(duplicateZoneCommand(editor), c.made);
    EXPECT_EQ(zoneOrder(), c.order);
    EXPECT_EQ(zoneList(), c.list);
    EXPECT_EQ(port.messages.size(), c.warnings);
    EXPECT_EQ(editor.game.modified, c.made);
    EXPECT_EQ(port.status[0], c.status);
    if (c.switchTo == Answer::Yes && c.made) {
      EXPECT_EQ(editor.zone.view.zoneId, "a");
    }
  }
}

TEST_F(ZoneDuplicateTest, CopyHoldsTheZoneButNotItsZFlagNames) {
  load();
  port.chooserAnswers = {0};
  port.typedTexts = {"c"};
  ASSERT_TRUE(duplicateZoneCommand(editor));
  const xml::Node* copy = editor.game.zones[1].node;
  EXPECT_EQ(xml::Document::serializeNode(copy),
            "<zone id=\"c\" notes=\"hi\"><levels><level z=\"0\"/></levels></zone>");
  EXPECT_EQ(xml::Document::serializeNode(editor.game.root->childByPath("zorled")),
            "<zorled><zone_b zflags=\"1|x\"/></zorled>");
}

}  // namespace
}  // namespace zor::editor::test
