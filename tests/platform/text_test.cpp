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

TEST(TextParseFloat, ReadsNumbersAndTheLongestValidPrefix) {
  struct Case {
    const char* text;
    float expected;
  };
  const Case cases[] = {
      {"", 0.0f},
      {"abc", 0.0f},
      {".", 0.0f},
      {"-", 0.0f},
      {"--1", 0.0f},
      {"+-1", 0.0f},
      {"e5", 0.0f},
      {"12abc", 12.0f},
      {"1e", 1.0f},
      {"1e+", 1.0f},
      {"1E3", 1000.0f},
      {"1e-3", 1e-3f},
      {" \t0.5", 0.5f},
      {"+2.5", 2.5f},
      {"-2.5", -2.5f},
      {".5", 0.5f},
      {"5.", 5.0f},
      {"0.1", 0.1f},
      {"0x10", 0.0f},
      {"0e999999", 0.0f},
      {"3.4028235e38", std::numeric_limits<float>::max()},
      {"1e-50", 0.0f},
      {"-1e-50", -0.0f},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseFloat(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(TextParseFloat, RoundsStraightToFloat) {
  // Just above the midpoint between 1 and the next float: a detour through
  // double lands on the midpoint and rounds to even (1.0), which is wrong.
  EXPECT_EQ(parseFloat("1.00000005960464477539062501"), 1.00000011920928955078125f);
  EXPECT_EQ(parseFloat("1.00000005960464477539062499"), 1.0f);
  float sub = parseFloat("1e-40");
  EXPECT_GT(sub, 0.0f);
  EXPECT_LT(sub, std::numeric_limits<float>::min());
}

TEST(TextParseFloat, InfinityAndNaNInAnyCase) {
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    const char* text;
    float expected;
  };
  const Case infinities[] = {
      {"Infinity", inf},  {"+Infinity", inf},  {"-Infinity", -inf}, {"INF", inf},
      {"-inf", -inf},     {"infinityX", inf},  {"3.4e39", inf},     {"-3.4e39", -inf},
      {"3.5e38", inf},    {"1e99999999999999999999", inf},          {" iNfInItY", inf},
  };
  for (const Case& c : infinities) {
    EXPECT_EQ(parseFloat(c.text), c.expected) << '"' << c.text << '"';
  }
  for (const char* t : {"nan", "NaN", "-NAN", "+nan", " nan(1)"}) {
    EXPECT_TRUE(std::isnan(parseFloat(t))) << '"' << t << '"';
  }
  EXPECT_EQ(parseFloat("in"), 0.0f);
  EXPECT_EQ(parseFloat("na"), 0.0f);
}

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
