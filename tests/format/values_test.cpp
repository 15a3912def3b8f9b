#include "format/values.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "format/vocabulary.h"

namespace zor::format {
namespace {

TEST(ValuesNumbers, IntAndFloatFollowTheTextReaders) {
  EXPECT_EQ(readInt(" -12abc"), -12);
  EXPECT_EQ(readInt("$1F"), 31);
  EXPECT_EQ(readInt("%101"), 5);
  EXPECT_EQ(readInt(""), 0);
  EXPECT_EQ(readFloat("1e-3"), 1e-3f);
  EXPECT_EQ(readFloat("-Infinity"), -std::numeric_limits<float>::infinity());
  EXPECT_TRUE(std::isnan(readFloat("nan")));
  EXPECT_EQ(readFloat("abc"), 0.0f);
}

constexpr int32_t kMax32 = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin32 = std::numeric_limits<int32_t>::min();
constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin64 = std::numeric_limits<int64_t>::min();

struct IntCase {
  const char* text;
  int32_t expected;
};

TEST(ValuesInt, ReadsTheIntegerForms) {
  const IntCase cases[] = {
      {"", 0},
      {"abc", 0},
      {"12", 12},
      {" -12abc", -12},
      {"\t \t+7", 7},
      {"$1F", 31},
      {"$ff", 255},
      {"%101", 5},
      {"-$10", -16},
      {"-%11", -3},
      {"12 34", 12},
      {"1.5", 1},
      {"1e3", 1},
      {"--5", 0},
      {"- 5", 0},
      {"$", 0},
      {"$g1", 0},
      {"%2", 0},
      {"%1012", 5},
      {"\n5", 0},  // only blanks and tabs are skipped
      {"2147483647", kMax32},
      {"-2147483648", kMin32},
      {"2147483648", kMax32},
      {"-2147483649", kMin32},
      {"99999999999999999999999", kMax32},
      {"-99999999999999999999999", kMin32},
      {"$FFFFFFFF", kMax32},
      {"$7FFFFFFF", kMax32},
      {"-$80000000", kMin32},
  };
  for (const IntCase& c : cases) {
    EXPECT_EQ(readInt(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(ValuesInt, SixtyFourBitFormSaturatesAtItsOwnRange) {
  struct Case {
    const char* text;
    int64_t expected;
  };
  const Case cases[] = {
      {"$FFFFFFFF", 4294967295LL},
      {"-2147483649", -2147483649LL},
      {"9223372036854775807", kMax64},
      {"9223372036854775808", kMax64},
      {"-9223372036854775808", kMin64},
      {"-9223372036854775809", kMin64},
      {"99999999999999999999999999", kMax64},
      {"-$FFFFFFFFFFFFFFFFFFFF", kMin64},
      {" 42x", 42},
      {"", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(readInt64(c.text), c.expected) << '"' << c.text << '"';
  }
  EXPECT_EQ(readInt64("%" + std::string(70, '1')), kMax64);
  EXPECT_EQ(readInt("%" + std::string(70, '1')), kMax32);
}

TEST(ValuesFloat, ReadsNumbersAndTheLongestValidPrefix) {
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
    EXPECT_EQ(readFloat(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(ValuesFloat, RoundsStraightToFloat) {
  // Just above the midpoint between 1 and the next float: a detour through
  // double lands on the midpoint and rounds to even (1.0), which is wrong.
  EXPECT_EQ(readFloat("1.00000005960464477539062501"), 1.00000011920928955078125f);
  EXPECT_EQ(readFloat("1.00000005960464477539062499"), 1.0f);
  float sub = readFloat("1e-40");
  EXPECT_GT(sub, 0.0f);
  EXPECT_LT(sub, std::numeric_limits<float>::min());
}

// Short plain numbers take a quicker road than the general reader: they must
// land on the very same float (bit for bit, the sign of zero included), at the
// edges of that road as well (2^24, ten digits after the point, an exponent).
TEST(ValuesFloat, ShortFormsReadAsTheGeneralReaderReadsThem) {
  const auto general = [](const std::string& text) {
    std::string_view s = text;
    const bool negative = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) s.remove_prefix(1);
    float value = 0.0f;
    std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
    return negative ? -value : value;
  };
  std::vector<std::string> texts = {"0",          "-0",           "+0",          "0.0",        "-0.0",
                                    "16777215",   "16777216",     "16777217",    "-16777217",  "1677721.7",
                                    "0.1677721",  "0.16777217",   "0.0000000001", "0.00000000001", "1.0000000000",
                                    "1.00000000000", "7.5e1",     "75e-1",       "5.",         ".5",
                                    "00000000000000000000012", "0.30000001", "123.456x",  "9.999999",  "1.5.5"};
  uint32_t seed = 7;
  const auto next = [&seed](uint32_t range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % range;
  };
  for (int i = -3000; i <= 3000; ++i) texts.push_back(std::to_string(i));
  for (int i = 0; i < 20000; ++i) {
    std::string t = next(4) == 0 ? "-" : "";
    t += std::to_string(next(100000));
    t += '.';
    const uint32_t digits = 1 + next(11);
    for (uint32_t d = 0; d < digits; ++d) t += static_cast<char>('0' + next(10));
    texts.push_back(t);
  }
  for (const std::string& t : texts) {
    EXPECT_EQ(std::bit_cast<uint32_t>(readFloat(t)), std::bit_cast<uint32_t>(general(t))) << '"' << t << '"';
  }
}

TEST(ValuesFloat, InfinityAndNaNInAnyCase) {
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
    EXPECT_EQ(readFloat(c.text), c.expected) << '"' << c.text << '"';
  }
  for (const char* t : {"nan", "NaN", "-NAN", "+nan", " nan(1)"}) {
    EXPECT_TRUE(std::isnan(readFloat(t))) << '"' << t << '"';
  }
  EXPECT_EQ(readFloat("in"), 0.0f);
  EXPECT_EQ(readFloat("na"), 0.0f);
}

TEST(ValuesBool, OnlyTheFourWordsWithoutBlanksAreTrue) {
  for (const char* t : {"1", "true", "TRUE", "Yes", "on", "ON"}) EXPECT_TRUE(readBool(t)) << '"' << t << '"';
  for (const char* t : {"", "0", "false", "no", "off", " 1", "1 ", "true ", "2", "y", "onn", "01"}) {
    EXPECT_FALSE(readBool(t)) << '"' << t << '"';
  }
}

TEST(ValuesColour, SwapRedBlueExchangesTheLowAndThirdBytes) {
  EXPECT_EQ(swapRedBlue(0x00FF8000), 0x000080FF);
  EXPECT_EQ(swapRedBlue(0x000080FF), 0x00FF8000);
  EXPECT_EQ(swapRedBlue(0x12345678), 0x12785634);
  EXPECT_EQ(swapRedBlue(-1), -1);
  EXPECT_EQ(swapRedBlue(static_cast<int32_t>(0xAB0000CDu)), static_cast<int32_t>(0xABCD0000u));
}

TEST(ValuesColour, ReadsRrggbbWithRedInTheLowByte) {
  struct Case {
    const char* text;
    int32_t expected;
  };
  const Case cases[] = {
      {"FF8000", 0x000080FF}, {"ff8000", 0x000080FF}, {"Ff8000", 0x000080FF}, {"-1", -1},
      {"FFFFFF", 0x00FFFFFF}, {"000000", 0},          {"0000FF", 0x00FF0000}, {"", 0},
      {"zz", 0},              {"12", 0x00120000},
  };
  for (const Case& c : cases) EXPECT_EQ(readColour(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ValuesColour, PairOfOneOrTwoColours) {
  ColourPair two = readColourPair("FF0000,0000FF");
  EXPECT_EQ(two.first, 0x0000FF);
  EXPECT_EQ(two.second, 0xFF0000);
  ColourPair one = readColourPair("00ff00");
  EXPECT_EQ(one.first, 0x00FF00);
  EXPECT_EQ(one.second, 0x00FF00);
  ColourPair none = readColourPair("-1");
  EXPECT_EQ(none.first, -1);
  EXPECT_EQ(none.second, -1);
  ColourPair emptySecond = readColourPair("FF0000,");
  EXPECT_EQ(emptySecond.first, 0x0000FF);
  EXPECT_EQ(emptySecond.second, 0);
}

TEST(ValuesLimits, ZoneAndBlockReadLoneValuesAndOrderDifferently) {
  struct Case {
    const char* text;
    float zoneMin, zoneMax, blockMin, blockMax;
  };
  const Case cases[] = {
      {"500", 0.0f, 500.0f, 500.0f, 500.0f},
      {"5", 0.0f, 5.0f, 5.0f, 5.0f},
      {"-5", -5.0f, 0.0f, -5.0f, -5.0f},
      {"50,-50", -50.0f, 50.0f, 50.0f, -50.0f},
      {"-1100,1100", -1100.0f, 1100.0f, -1100.0f, 1100.0f},
      {" 1.5 , 2.5", 1.5f, 2.5f, 1.5f, 2.5f},
      {"", 0.0f, 0.0f, 0.0f, 0.0f},
      {"3,", 0.0f, 3.0f, 3.0f, 0.0f},
      {"1,2,3", 1.0f, 2.0f, 1.0f, 2.0f},
  };
  for (const Case& c : cases) {
    Limits z = readZoneLimits(c.text);
    Limits b = readBlockLimits(c.text);
    EXPECT_EQ(z.min, c.zoneMin) << '"' << c.text << '"';
    EXPECT_EQ(z.max, c.zoneMax) << '"' << c.text << '"';
    EXPECT_EQ(b.min, c.blockMin) << '"' << c.text << '"';
    EXPECT_EQ(b.max, c.blockMax) << '"' << c.text << '"';
  }
}

TEST(ValuesIndex, DashMeansNoLimit) {
  EXPECT_EQ(readIndex("-"), -1);
  EXPECT_EQ(readIndex("3"), 3);
  EXPECT_EQ(readIndex(""), 0);
  EXPECT_EQ(readIndex("0"), 0);
  EXPECT_EQ(readIndex(" 7"), 7);
  EXPECT_EQ(readIndex("-2"), -2);
  EXPECT_EQ(readIndex("x"), 0);
}

TEST(ValuesLists, CommaItemsTrimmed) {
  EXPECT_EQ(readCommaList(" 2 , 5,,\t7 "), (std::vector<std::string>{"2", "5", "", "7"}));
  EXPECT_EQ(readCommaList(""), (std::vector<std::string>{""}));
}

TEST(ValuesFlags, BlockFlagWordsIgnoreCaseAndBlanksAroundWords) {
  struct Case {
    const char* text;
    uint32_t expected;
  };
  const Case cases[] = {
      {"solid,deadly", flag::Solid | flag::Deadly},
      {" Solid , DEADLY ", flag::Solid | flag::Deadly},
      {"\tdynamic,\tCyclic\r\n", flag::Dynamic | flag::Cyclic},
      {"sollid", 0},
      {"solid,sollid", flag::Solid},
      {"so lid", 0},
      {"", 0},
      {",,", 0},
      {"airborne", 0},  // game-set bits have no word
      {"spatial,horizon,class,killed", flag::Spatial | flag::Horizon | flag::Class | flag::Killed},
  };
  for (const Case& c : cases) EXPECT_EQ(readBlockFlags(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ValuesFlags, EveryBlockWordHasItsBit) {
  for (const FlagWord& w : kBlockFlagWords) {
    EXPECT_EQ(blockFlagBit(w.word), w.bit) << w.word;
    EXPECT_EQ(readBlockFlags(w.word), w.bit) << w.word;
  }
  // Single words are compared exactly.
  EXPECT_EQ(blockFlagBit("Solid"), 0u);
  EXPECT_EQ(blockFlagBit(" solid"), 0u);
  EXPECT_EQ(blockFlagBit("semisol"), flag::Semisol);
}

TEST(ValuesFlags, ClassWordsLoseEveryBlank) {
  struct Case {
    const char* text;
    uint32_t expected;
  };
  const Case cases[] = {
      {"jumping,smart", eflag::Jumping | eflag::Smart},
      {" Jumping , SMART ", eflag::Jumping | eflag::Smart},
      {"jum ping", eflag::Jumping},
      {"heavy,unknown", eflag::Heavy},
      {"all levels,approach", eflag::AllLevels | eflag::Approach},
      {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(readClassFlags(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ValuesWave, LowerCasedButNotTrimmed) {
  struct Case {
    const char* text;
    uint32_t expected;
  };
  const Case cases[] = {
      {"square", wave::Square}, {"SQUARE", wave::Square}, {"tri", wave::Tri},
      {"saw", wave::Saw},       {"Parabola", wave::Parabola}, {"prox", wave::Prox},
      {"rand", wave::Rand},     {" square", wave::Sine},   {"square ", wave::Sine},
      {"sine", wave::Sine},     {"", wave::Sine},          {"triangle", wave::Sine},
  };
  for (const Case& c : cases) EXPECT_EQ(readWave(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ValuesDuration, PlainOrRandomWithOrderedBounds) {
  DurationValue plain = readDurationValue("2.5");
  EXPECT_FALSE(plain.random);
  EXPECT_EQ(plain.value, 2.5f);

  DurationValue empty = readDurationValue("");
  EXPECT_FALSE(empty.random);
  EXPECT_EQ(empty.value, 0.0f);

  DurationValue swapped = readDurationValue("r10,4");
  EXPECT_TRUE(swapped.random);
  EXPECT_EQ(swapped.a, 4.0f);
  EXPECT_EQ(swapped.b, 10.0f);

  DurationValue upper = readDurationValue("R0.5,1.5");
  EXPECT_TRUE(upper.random);
  EXPECT_EQ(upper.a, 0.5f);
  EXPECT_EQ(upper.b, 1.5f);

  DurationValue lone = readDurationValue("r5");
  EXPECT_TRUE(lone.random);
  EXPECT_EQ(lone.a, 0.0f);
  EXPECT_EQ(lone.b, 5.0f);

  DurationValue blank = readDurationValue(" r1,2");  // the letter must come first
  EXPECT_FALSE(blank.random);
  EXPECT_EQ(blank.value, 0.0f);
}

}  // namespace
}  // namespace zor::format
