#include "format/values.h"

#include <iterator>
#include <limits>

#include "format/text_scan.h"
#include "format/vocabulary.h"

namespace zor::format {
namespace {

// The i-th item of a comma-separated text, empty when there is none.
std::string_view item(std::string_view s, std::size_t index) {
  std::size_t start = 0;
  for (std::size_t k = 0; k < index; ++k) {
    std::size_t p = s.find(',', start);
    if (p == std::string_view::npos) return {};
    start = p + 1;
  }
  std::size_t end = s.find(',', start);
  if (end == std::string_view::npos) end = s.size();
  return s.substr(start, end - start);
}

uint32_t wordBit(std::string_view word, const FlagWord* table, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (table[i].word == word) return table[i].bit;
  }
  return 0;
}

constexpr int64_t kMin32 = std::numeric_limits<int32_t>::min();
constexpr int64_t kMax32 = std::numeric_limits<int32_t>::max();

}  // namespace

int32_t readInt(std::string_view s) { return static_cast<int32_t>(scan::readSigned(s, false, kMin32, kMax32)); }

int64_t readInt64(std::string_view s) {
  return scan::readSigned(s, false, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
}

float readFloat(std::string_view s) { return scan::parseFloat(s); }

bool readBool(std::string_view s) {
  std::string v = scan::toLower(s);
  return v == "1" || v == "true" || v == "yes" || v == "on";
}

int32_t swapRedBlue(int32_t c) {
  uint32_t u = static_cast<uint32_t>(c);
  u = ((u & 0xFFu) << 16) | (u & 0xFF00FF00u) | ((u & 0xFF0000u) >> 16);
  return static_cast<int32_t>(u);
}

int32_t readColour(std::string_view s) { return swapRedBlue(scan::parseHex(s)); }

ColourPair readColourPair(std::string_view s) {
  if (s.find(',') == std::string_view::npos) {
    int32_t c = readColour(s);
    return {c, c};
  }
  return {readColour(item(s, 0)), readColour(item(s, 1))};
}

Limits readZoneLimits(std::string_view s) {
  Limits l{};
  l.min = scan::parseFloat(item(s, 0));
  l.max = s.find(',') == std::string_view::npos ? 0.0f : scan::parseFloat(item(s, 1));
  if (l.min > l.max) {
    float t = l.min;
    l.min = l.max;
    l.max = t;
  }
  return l;
}

Limits readBlockLimits(std::string_view s) {
  Limits l{};
  l.min = scan::parseFloat(item(s, 0));
  l.max = s.find(',') == std::string_view::npos ? l.min : scan::parseFloat(item(s, 1));
  return l;
}

int32_t readIndex(std::string_view s) {
  if (s == "-") return -1;
  return static_cast<int32_t>(scan::readSigned(s, true, kMin32, kMax32));
}

std::vector<std::string> readCommaList(std::string_view s) {
  std::vector<std::string> items = scan::split(s, ',');
  for (std::string& i : items) i = scan::trim(i);
  return items;
}


uint32_t blockFlagBit(std::string_view word) {
  return wordBit(word, kBlockFlagWords, std::size(kBlockFlagWords));
}

uint32_t readBlockFlags(std::string_view s) {
  // Item by item in place: each trimmed and compared in any letter case with
  // the (lower-case) words.
  const auto edge = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  uint32_t bits = 0;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = s.find(',', start);
    const std::size_t stop = end == std::string_view::npos ? s.size() : end;
    std::size_t b = start, e = stop;
    while (b < e && edge(s[b])) ++b;
    while (e > b && edge(s[e - 1])) --e;
    const std::string_view word = s.substr(b, e - b);
    for (const FlagWord& f : kBlockFlagWords) {
      if (f.word.size() != word.size()) continue;
      std::size_t k = 0;
      while (k < word.size() && lower(word[k]) == f.word[k]) ++k;
      if (k == word.size()) {
        bits |= f.bit;
        break;
      }
    }
    if (end == std::string_view::npos) return bits;
    start = end + 1;
  }
}

uint32_t readClassFlags(std::string_view s) {
  std::string v = scan::toLower(scan::removeAll(scan::removeAll(s, " "), "\t"));
  uint32_t bits = 0;
  for (const std::string& w : scan::split(v, ',')) {
    bits |= wordBit(w, kClassFlagWords, std::size(kClassFlagWords));
  }
  return bits;
}

uint32_t readWave(std::string_view s) {
  return wordBit(scan::toLower(s), kWaveWords, std::size(kWaveWords));
}

DurationValue readDurationValue(std::string_view s) {
  DurationValue d;
  if (!s.empty() && (s[0] == 'r' || s[0] == 'R')) {
    std::string_view rest = s.substr(1);
    d.random = true;
    d.a = scan::parseFloat(item(rest, 0));
    d.b = scan::parseFloat(item(rest, 1));
    if (d.a > d.b) {
      float t = d.a;
      d.a = d.b;
      d.b = t;
    }
    return d;
  }
  d.value = scan::parseFloat(s);
  return d;
}

}  // namespace zor::format
