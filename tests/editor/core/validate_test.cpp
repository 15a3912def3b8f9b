#include "editor/core/validate.h"

#include <gtest/gtest.h>

#include "editor/core/zone_records.h"
#include "tests/editor/core/editor_fixture.h"

namespace zor::editor::test {
namespace {

class ValidateTest : public EditorTest {
 protected:
  // Opens a game with one zone holding `content`; returns validateZone's result.
  bool check(const std::string& content, std::string* warnings) {
    closeGame(editor);
    const std::string path =
        writeFile("g.zorlan", "<zorlan version=\"1\"><zone id=\"first\"><levels><level z=\"0\"/></levels>" + content +
                                  "</zone></zorlan>");
    EXPECT_TRUE(loadGameFileForEditing(editor, path));
    EXPECT_TRUE(openZone(editor, editor.game.zones.at(0).node));
    return validateZone(editor, warnings);
  }
};

TEST_F(ValidateTest, WarningsForEntrancesAndBlockNames) {
  struct Case {
    const char* content;
    const char* warnings;
  };
  const Case cases[] = {
      {"<entrance/><block oname='a'/><block oname='b'/><block/><block/>", ""},
      {"<entrance_a/>", " - Missing default (unnamed) entrance"},
      {"<entrance/><ENTRANCE/>", " - Multiple default (unnamed) entrances"},
      // entrance_ alone is a named entrance with an empty name.
      {"<entrance_/>", " - Missing default (unnamed) entrance"},
      {"<entrance/><entrance_A/><entrance_a/><entrance_b/>", " - Conflicting entrance names (a)"},
      {"<entrance/><block oname='You'/>", " - Block with reserved Oname (you)"},
      {"<entrance/><block oname='you'/><block oname='YOU'/>", " - Blocks with reserved Oname (you)"},
      {"<entrance/><block oname='Bat'/><block oname='bat'/><block oname='cat'/><block oname='cat'/>",
       " - Conflicting block Onames (bat)\n - Conflicting block Onames (cat)"},
      {"<block oname='x'/><entrance_q/><block oname='x'/><entrance_q/><entrance/><entrance/>",
       " - Multiple default (unnamed) entrances\n - Conflicting block Onames (x)\n - Conflicting entrance names (q)"},
  };
  for (const Case& c : cases) {
    std::string warnings = "old";
    EXPECT_EQ(check(c.content, &warnings), std::string(c.warnings).empty()) << c.content;
    EXPECT_EQ(warnings, c.warnings) << c.content;
  }
}

TEST_F(ValidateTest, NoZoneOpenIsNotValid) {
  std::string warnings = "old";
  EXPECT_FALSE(validateZone(editor, &warnings));
  EXPECT_EQ(warnings, "");
}

}  // namespace
}  // namespace zor::editor::test
