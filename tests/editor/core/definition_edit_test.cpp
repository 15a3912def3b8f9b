#include <gtest/gtest.h>

#include <string>

#include "editor/core/definition_edit.h"
#include "tests/editor/core/canvas_fixture.h"

namespace zor::editor::test {
namespace {

class DefinitionEditTest : public CanvasTest {
 protected:
  void SetUp() override {
    openZoneWith("<levels><level z=\"0\" color=\"FF0000\"/></levels><block oname=\"a\" class=\"big\" x=\"0\" y=\"0\"/>");
  }
  xml::Node* definition(const std::string& element, const std::string& name) {
    for (xml::Node* n = editor.game.root->firstElement(); n; n = n->nextElement())
      if (n->name == element && n->attr("name") == name) return n;
    return nullptr;
  }
  std::string rootXml() { return xml::Document::serializeNode(editor.game.root); }
};

TEST_F(DefinitionEditTest, OnlyADefinitionOfTheSameKindWithAFreeNameReplacesTheEditedOne) {
  // Two classes and two speedruns before the zone.
  xml::Document& doc = *editor.game.document;
  for (const char* spec : {"class:big", "class:small", "speedrun:Fast", "speedrun:slow"}) {
    std::string s = spec;
    xml::Node* e = doc.createElement(s.substr(0, s.find(':')));
    e->setAttr("name", s.substr(s.find(':') + 1));
    xml::Document::insertBefore(editor.game.root, e, editor.zone.openZoneNode);
  }
  struct Case {
    DefinitionKind kind;
    const char* edited;
    const char* text;
    bool replaced;
    const char* refusal;
  };
  const Case cases[] = {
      {DefinitionKind::Class, "big", "<zone id='x'/>", false, "Invalid XML node name."},
      {DefinitionKind::Class, "big", "<speedrun name='big'/>", false, "Invalid XML node name."},
      {DefinitionKind::Class, "big", "<class flg='solid'/>", false, "You must specify"},
      {DefinitionKind::Class, "big", "<class name='small'/>", false, "Class 'small' already exists."},
      {DefinitionKind::Class, "big", "<class name='big' w='50'", false, "XML error in line 1"},
      {DefinitionKind::Speedrun, "Fast", "<class name='fast'/>", false, "Node must be in the format"},
      {DefinitionKind::Speedrun, "Fast", "<speedrun name='SLOW'/>", false, "Speedrun 'SLOW' already exists."},
  };
  const std::string before = rootXml();
  for (const Case& c : cases) {
    std::string refusal;
    const char* element = c.kind == DefinitionKind::Class ? "class" : "speedrun";
    EXPECT_FALSE(replaceEditedDefinition(editor, definition(element, c.edited), c.text, c.kind, &refusal)) << c.text;
    EXPECT_EQ(refusal.rfind(c.refusal, 0), 0u) << refusal;
  }
  EXPECT_EQ(rootXml(), before);
  EXPECT_FALSE(editor.game.modified);

  // Accepted: the new element takes the old one's place, blocks are read again.
  std::string refusal;
  ASSERT_TRUE(replaceEditedDefinition(editor, definition("class", "big"), "<class name='big' w='50' h='7'/>",
                                      DefinitionKind::Class, &refusal));
  EXPECT_EQ(byName("a")->w, 50.0f);
  EXPECT_TRUE(editor.game.modified);
  EXPECT_LT(rootXml().find("<class name=\"big\""), rootXml().find("<class name=\"small\""));
  ASSERT_TRUE(replaceEditedDefinition(editor, definition("speedrun", "Fast"), "<speedrun name='fast' zone='z'/>",
                                      DefinitionKind::Speedrun, &refusal));
  EXPECT_NE(rootXml().find("<speedrun name=\"fast\" zone=\"z\"/>"), std::string::npos);
  EXPECT_EQ(rootXml().find("Fast"), std::string::npos);
}

}  // namespace
}  // namespace zor::editor::test
