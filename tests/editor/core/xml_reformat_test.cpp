// Reformat XML: the indentation asked for, refused sizes, and the document
// indented again without touching text content.
#include "editor/core/xml_reformat.h"

#include <gtest/gtest.h>

#include "editor/core/commands.h"
#include "tests/editor/core/editor_fixture.h"

namespace zor::editor::test {
namespace {

struct NoHost : CommandHost {
  void toggleMaximised() override {}
  std::string ownExecutable() override { return ""; }
};

TEST(ReindentDocument, IndentsElementChildrenAndKeepsText) {
  const struct {
    const char* name;
    int spaces;
    const char* in;
    const char* out;
  } cases[] = {
      {"nested", 2, "<a><b><c/></b>\n\n    <d x='1'/></a>", "<a>\n  <b>\n    <c/>\n  </b>\n  <d x=\"1\"/>\n</a>"},
      {"wider", 3, "<a>\r\n<b/><!--n--></a>", "<a>\n   <b/>\n   <!--n-->\n</a>"},
      {"text kept", 2, "<a><s> say <b/> hi </s><e/></a>", "<a>\n  <s> say <b/> hi </s>\n  <e/>\n</a>"},
      {"empty", 2, "<a>  </a>", "<a>  </a>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    xml::Document doc;
    ASSERT_TRUE(doc.parse(c.in, nullptr));
    reindentDocument(doc, c.spaces);
    EXPECT_EQ(xml::Document::serializeNode(doc.root()), c.out);
  }
}

class ReformatXmlTest : public EditorTest {};

TEST_F(ReformatXmlTest, AsksUntilTheSizeIsUsable) {
  const std::string path = writeFile("g.zorlan", "<zorlan version=\"1\"><zone id=\"z\"><block/></zone></zorlan>");
  ASSERT_TRUE(loadGameFileForEditing(editor, path));
  NoHost host;
  port.typedTexts = {"0", "", "1000000000000", "4"};
  dispatchCommand(editor, host, Command::ReformatXml);
  ASSERT_EQ(port.prompts.size(), 4u);
  EXPECT_EQ(port.prompts[0].title, "Reformat XML");
  EXPECT_EQ(port.prompts[0].prompt, "Enter new indentation size (number of spaces):");
  EXPECT_EQ(port.prompts[0].defaultText, "2");
  ASSERT_EQ(port.messages.size(), 4u);
  EXPECT_EQ(port.messages[0].text, "Indentation must be greater than zero.");
  EXPECT_EQ(port.messages[1].text, "Indentation must be greater than zero.");
  EXPECT_EQ(port.messages[2].text, "Indentation must be at most 100.");
  EXPECT_EQ(port.messages[3].text, "The entire XML has been reformatted.");
  EXPECT_EQ(xml::Document::serializeNode(editor.game.root),
            "<zorlan version=\"1\">\n    <zone id=\"z\">\n        <block/>\n    </zone>\n</zorlan>");
  EXPECT_TRUE(editor.game.modified);
}

TEST_F(ReformatXmlTest, CancelLeavesTheGameAlone) {
  const std::string path = writeFile("g.zorlan", "<zorlan version=\"1\"><zone id=\"z\"/></zorlan>");
  ASSERT_TRUE(loadGameFileForEditing(editor, path));
  NoHost host;
  port.typedTexts = {"0"};  // then cancelled
  dispatchCommand(editor, host, Command::ReformatXml);
  EXPECT_EQ(port.prompts.size(), 2u);
  EXPECT_EQ(xml::Document::serializeNode(editor.game.root), "<zorlan version=\"1\"><zone id=\"z\"/></zorlan>");
  EXPECT_FALSE(editor.game.modified);
}

}  // namespace
}  // namespace zor::editor::test
