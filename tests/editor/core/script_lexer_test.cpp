#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/core/script_lexer.h"

namespace zor::editor {
namespace {

// The style of every byte, one digit a byte, after checking that the runs are in
// order, adjacent runs differ and together cover the bytes exactly.
std::string stylesOf(const std::string& bytes) {
  const std::vector<StyleRun> runs = styleScriptText(bytes);
  std::string out;
  std::size_t at = 0;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    EXPECT_EQ(runs[i].start, at) << "run " << i << " of \"" << bytes << "\"";
    EXPECT_GT(runs[i].length, 0u);
    if (i > 0) {
      EXPECT_NE(runs[i].style, runs[i - 1].style);
    }
    out.append(runs[i].length, static_cast<char>('0' + runs[i].style));
    at += runs[i].length;
  }
  EXPECT_EQ(at, bytes.size()) << "\"" << bytes << "\"";
  return out;
}

TEST(ScriptLexer, StylesEachByteOfATableOfInputs) {
  struct Case {
    const char* name;
    std::string input;
    std::string expected;
  };
  const Case cases[] = {
      {"element, attributes and values", "<warp zone='a' entrance=\"b\"/>",
       "1" "2222" "1" "3333" "1" "444" "1" "33333333" "1" "444" "11"},
      {"attribute the element does not take", "<hide x='1'>", "1" "2222" "1" "1" "1" "444" "1"},
      {"element outside the vocabulary", "<foo oname='1'>", std::string(15, '1')},
      {"closing tag", "</warp>", "11" "2222" "1"},
      {"text between tags", "<on>ab</on>", "1" "22" "1" "11" "11" "22" "1"},
      {"element without attributes followed by blank", "<else />", "1" "2222" "111"},
      {"comment", "a<!-- x -->b", "1" "5555555555" "1"},
      {"comment inside a tag resumes the tag", "<hide <!--c--> oname='a'>",
       "1" "2222" "1" "55555555" "1" "33333" "1" "444" "1"},
      {"unclosed comment to the end", "<!-- <warp>", std::string(11, '5')},
      {"comment start cut off", "<!-", "111"},
      {"value you in any case", "<setcolor oname='You'/>", "1" "22222222" "1" "33333" "1" "77777" "11"},
      {"value you in double quotes", "<look at=\"you\">", "1" "2222" "1" "33" "1" "77777" "1"},
      {"value dash", "<hide oname='-'/>", "1" "2222" "1" "33333" "1" "666" "11"},
      {"value double dash", "<hide oname='--'/>", "1" "2222" "1" "33333" "1" "4444" "11"},
      {"other quote inside a value", "<hide oname=\"a'b\">", "1" "2222" "1" "33333" "1" "44444" "1"},
      {"entrance element with a name", "<entrance_north x='1' y='2'>",
       "1" "22222222222222" "1" "3" "1" "444" "1" "3" "1" "444" "1"},
      {"entrance element without a name", "<entrance_ z='1'>", "1" "222222222" "1" "3" "1" "444" "1"},
      {"names in any case", "<SetColor ONAME='a'>", "1" "22222222" "1" "33333" "1" "444" "1"},
      {"line break in a tag ends the tag", "<warp\nzone='a'>", "1" "2222" "1" "11111111" "1"},
      {"line break after attributes", "<warp zone='a'\nzone='b'>", "1" "2222" "1" "3333" "1" "444" "1" "111111111"},
      {"line break in a value ends it", "<hide oname='a\nb'>", "1" "2222" "1" "33333" "1" "444" "111"},
      {"multi-byte text", "\xC3\xA9<on/>", "11" "1" "22" "11"},
      {"multi-byte value", "<title text='\xC3\xA9'>", "1" "22222" "1" "3333" "1" "4444" "1"},
      {"multi-byte byte ends an element name", "<hide\xC3\xA9>", "1" "2222" "11" "1"},
      {"multi-byte attribute name", "<hide \xC3\xA9='a'>", "1" "2222" "1" "11" "1" "444" "1"},
      {"unterminated tag at the end", "<warp zone", "1" "2222" "1" "3333"},
      {"unterminated element name at the end", "<warp", "1" "2222"},
      {"unknown name at the end", "<wa", "111"},
      {"unterminated value at the end", "<hide oname='you", "1" "2222" "1" "33333" "1" "4444"},
      {"processing instruction", "<?xml version='1.0'?>", std::string(21, '1')},
      {"empty", "", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(stylesOf(c.input), c.expected) << c.name;
}

TEST(ScriptLexer, ReadsNothingBeyondTheRange) {
  // The closing quote lies beyond the range: the value there must not count as "you".
  const std::string whole = "<hide oname='you'>";
  const std::string inRange = whole.substr(0, 16);
  auto* copy = new char[inRange.size()];  // exactly the range, so that reading on is caught
  inRange.copy(copy, inRange.size());
  const std::vector<StyleRun> runs = styleScriptText(std::string_view(copy, inRange.size()));
  delete[] copy;
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(runs.back().style, scriptstyle::Value);
  EXPECT_EQ(runs.back().start + runs.back().length, inRange.size());
}

TEST(ScriptLexer, StylingInPiecesAtLineStartsMatchesStylingAtOnce) {
  const std::string text =
      "<start>\n  <warp zone='a' entrance='b'/>\n  <!-- one -->\n  <setcolor oname='you' color='FF0000'/>\n</start>\n";
  const std::string whole = stylesOf(text);
  std::string pieces;
  std::size_t lineStart = 0;
  while (lineStart < text.size()) {
    const std::size_t end = text.find('\n', lineStart) + 1;
    pieces += stylesOf(text.substr(lineStart, end - lineStart));
    lineStart = end;
  }
  EXPECT_EQ(pieces, whole);
}

TEST(ScriptLexer, VocabularyListsAttributesBetweenBlanks) {
  ASSERT_NE(scriptAttributesOf("warp"), nullptr);
  EXPECT_EQ(*scriptAttributesOf("warp"), " zone entrance silent smooth ");
  ASSERT_NE(scriptAttributesOf("else"), nullptr);
  EXPECT_EQ(*scriptAttributesOf("else"), " ");
  for (const char* absent : {"zone", "levels", "level", "loadsounds", "zorled", "Warp"})
    EXPECT_EQ(scriptAttributesOf(absent), nullptr) << absent;
  for (char c : std::string("azAZ09_")) EXPECT_TRUE(isIdentifierChar(c)) << c;
  for (char c : std::string("-.: <>'\"\xC3")) EXPECT_FALSE(isIdentifierChar(c)) << c;
}

}  // namespace
}  // namespace zor::editor
