// Reading hexadecimal digits by table gives what testing each character gives: the
// straightforward reader below is compared with scan::parseHex (and readColour) on
// every character, every pair of characters and many random texts.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "format/text_scan.h"
#include "format/values.h"

namespace zor::format {
namespace {

int referenceHexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

int32_t referenceParseHex(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && s[i] == '-') {
    negative = true;
    ++i;
  }
  uint32_t v = 0;
  for (; i < s.size(); ++i) {
    const int d = referenceHexValue(s[i]);
    if (d < 0) break;
    v = (v << 4) | static_cast<uint32_t>(d);
  }
  if (negative) v = 0u - v;
  return static_cast<int32_t>(v);
}

TEST(HexDigits, EveryCharacterAndPairReadsAsTestingEachCharacterReads) {
  for (int a = 0; a < 256; ++a) {
    const std::string one(1, static_cast<char>(a));
    ASSERT_EQ(scan::parseHex(one), referenceParseHex(one)) << a;
    for (int b = 0; b < 256; ++b) {
      const std::string two{static_cast<char>(a), static_cast<char>(b)};
      ASSERT_EQ(scan::parseHex(two), referenceParseHex(two)) << a << ' ' << b;
    }
  }
}

TEST(HexDigits, RandomTextsReadAsTestingEachCharacterReads) {
  static constexpr std::string_view kPieces[] = {"0", "9", "a", "f", "A", "F", "g", "G", "-", " ", "\t", ",",
                                                 "x", "7", "c", "E", "\xff", "\x80", "/", ":", "@", "`", "B"};
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % range;
  };
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    const uint32_t length = next(14);
    for (uint32_t k = 0; k < length; ++k) text += kPieces[next(std::size(kPieces))];
    ASSERT_EQ(scan::parseHex(text), referenceParseHex(text)) << '"' << text << '"';
    ASSERT_EQ(readColour(text), swapRedBlue(referenceParseHex(text))) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace zor::format
