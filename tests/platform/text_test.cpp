#include "platform/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace zor::text {
namespace {

constexpr int32_t kMin32 = std::numeric_limits<int32_t>::min();
constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin64 = std::numeric_limits<int64_t>::min();

TEST(TextParseHex, ReadsColourTexts) {
  struct Case {
    const char* text;
    int32_t expected;
  };
  const Case cases[] = {
      {"FF8000", 0xFF8000},
      {"ff8000", 0xFF8000},
      {"-1", -1},
      {"-", 0},
      {"", 0},
      {"xyz", 0},
      {"+FF", 0},
      {"1G", 1},
      {"FFFFFFFF", -1},
      {"1FFFFFFFF", -1},  // wraps modulo 2^32
      {"80000000", kMin32},
      {"-80000000", kMin32},
      {"--1", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseHex(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(TextFormat, FormatsIntegersWithoutTheLocale) {
  EXPECT_EQ(formatInt(0), "0");
  EXPECT_EQ(formatInt(-5), "-5");
  EXPECT_EQ(formatInt(1234567), "1234567");
  EXPECT_EQ(formatInt(kMin64), "-9223372036854775808");
  EXPECT_EQ(formatInt(kMax64), "9223372036854775807");
}

TEST(TextHelpers, TrimAndCase) {
  EXPECT_EQ(trim(" \t\r\n a b \n\r\t "), "a b");
  EXPECT_EQ(trim("   "), "");
  EXPECT_EQ(trim(""), "");
  EXPECT_EQ(toLower("AbC-\xC4Z"), "abc-\xC4z");  // bytes above ASCII are kept
  EXPECT_EQ(toUpper("aBc-\xE4z"), "ABC-\xE4Z");
  EXPECT_TRUE(equalsIgnoreCase("First", "fIRST"));
  EXPECT_FALSE(equalsIgnoreCase("first", "firs"));
  EXPECT_FALSE(equalsIgnoreCase("a\xC4", "a\xE4"));
}

TEST(TextHelpers, RemoveAndReplace) {
  EXPECT_EQ(removeAll(" a b  c ", " "), "abc");
  EXPECT_EQ(removeAll("abcabc", "bc"), "aa");
  EXPECT_EQ(removeAll("abc", ""), "abc");
  EXPECT_EQ(replaceAll("%TIME% left %TIME%", "%TIME%", "1:05"), "1:05 left 1:05");
  EXPECT_EQ(replaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(replaceAll("x", "x", "xx"), "xx");  // no re-scan of the inserted text
  EXPECT_EQ(replaceAll("abc", "", "z"), "abc");
}

TEST(TextHelpers, SplitGivesOneMoreFieldThanSeparators) {
  struct Case {
    const char* text;
    std::vector<std::string> fields;
  };
  const Case cases[] = {
      {"", {""}},
      {"a", {"a"}},
      {",", {"", ""}},
      {"a,,b", {"a", "", "b"}},
      {" a , b,", {" a ", " b", ""}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(split(c.text, ','), c.fields) << '"' << c.text << '"';
  }
  EXPECT_EQ(field("a,b,c", ',', 0), "a");
  EXPECT_EQ(field("a,b,c", ',', 2), "c");
  EXPECT_EQ(field("a,b,c", ',', 3), "");
  EXPECT_EQ(field("a,,c", ',', 1), "");
  EXPECT_EQ(field("", ',', 0), "");
  EXPECT_EQ(countChar("a,b,,c", ','), 3);
  EXPECT_EQ(countChar("", ','), 0);
}

}  // namespace
}  // namespace zor::text
