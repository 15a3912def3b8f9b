#include "format/text_scan.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <limits>
#include <system_error>

namespace zor::format::scan {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

char lowerChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The value of each character as a hexadecimal digit, -1 for a non-digit: looked up
// rather than tested, so that reading the digits of colours (letters and numbers
// mixed at random) does not keep guessing which kind of character comes next.
constexpr std::array<int8_t, 256> kHexValues = [] {
  std::array<int8_t, 256> values{};
  for (int c = 0; c < 256; ++c) {
    values[static_cast<std::size_t>(c)] = c >= '0' && c <= '9'   ? static_cast<int8_t>(c - '0')
                                          : c >= 'a' && c <= 'f' ? static_cast<int8_t>(c - 'a' + 10)
                                          : c >= 'A' && c <= 'F' ? static_cast<int8_t>(c - 'A' + 10)
                                                                 : int8_t{-1};
  }
  return values;
}();

int hexValue(char c) { return kHexValues[static_cast<unsigned char>(c)]; }

std::size_t skipBlanks(std::string_view s, std::size_t i) {
  while (i < s.size() && isBlank(s[i])) ++i;
  return i;
}

// True when s starting at i begins with the lower-case word w, ignoring case.
bool startsWithWord(std::string_view s, std::size_t i, std::string_view w) {
  if (s.size() - i < w.size()) return false;
  for (std::size_t k = 0; k < w.size(); ++k) {
    if (lowerChar(s[i + k]) != w[k]) return false;
  }
  return true;
}

// Reads digits of the given base from s at i into a magnitude that sticks at
// `cap` once it would pass it.
uint64_t readMagnitude(std::string_view s, std::size_t i, int base, uint64_t cap) {
  uint64_t m = 0;
  for (; i < s.size(); ++i) {
    int d = hexValue(s[i]);
    if (d < 0 || d >= base) break;
    if (m > (cap - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base)) {
      m = cap;  // saturated; the remaining digits change nothing
    } else {
      m = m * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    }
  }
  return m;
}

}  // namespace

int64_t readSigned(std::string_view s, bool decimalOnly, int64_t minValue, int64_t maxValue) {
  std::size_t i = skipBlanks(s, 0);
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
    negative = s[i] == '-';
    ++i;
  }
  int base = 10;
  if (!decimalOnly && i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (!decimalOnly && i < s.size() && s[i] == '%') {
    base = 2;
    ++i;
  }
  uint64_t cap = negative ? static_cast<uint64_t>(-(minValue + 1)) + 1u : static_cast<uint64_t>(maxValue);
  uint64_t m = readMagnitude(s, i, base, cap);
  if (!negative) return static_cast<int64_t>(m);
  if (m == 0) return 0;
  return -static_cast<int64_t>(m - 1) - 1;
}

float parseFloat(std::string_view s) {
  std::size_t i = skipBlanks(s, 0);
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
    negative = s[i] == '-';
    ++i;
  }
  // A number must start with a digit or a point; this also refuses a second
  // sign. The words start with a letter, so a number is never one.
  if (i >= s.size() || !(isDigit(s[i]) || s[i] == '.')) {
    if (startsWithWord(s, i, "inf")) {
      float inf = std::numeric_limits<float>::infinity();
      return negative ? -inf : inf;
    }
    if (startsWithWord(s, i, "nan")) {
      float nan = std::numeric_limits<float>::quiet_NaN();
      return negative ? -nan : nan;
    }
    return 0.0f;
  }

  // The common short forms ("12", "-40", "0.25") without the general reader:
  // digits with at most one point and no exponent, whose digits make an
  // integer m of at most 2^24 with k <= 10 of them after the point. m and 10^k
  // are then exact floats, and their quotient is rounded once, to the float
  // nearest the written value, as the general reader rounds it.
  {
    constexpr uint32_t kExact = 1u << 24;
    static constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                             1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    std::size_t k = i;
    uint32_t m = 0;
    bool digits = false, fits = true;
    int fraction = -1;  // digits after the point; -1 before the point
    for (; k < s.size(); ++k) {
      const char c = s[k];
      if (isDigit(c)) {
        digits = true;
        m = m * 10u + static_cast<uint32_t>(c - '0');
        if (m > kExact) {
          fits = false;
          break;
        }
        if (fraction >= 0) ++fraction;
      } else if (c == '.' && fraction < 0) {
        fraction = 0;
      } else {
        break;
      }
    }
    const bool exponent = k < s.size() && (s[k] == 'e' || s[k] == 'E');
    if (fits && digits && !exponent && fraction <= 10) {
      const float value = fraction > 0 ? static_cast<float>(m) / kPowersOfTen[fraction] : static_cast<float>(m);
      return negative ? -value : value;
    }
  }

  const char* first = s.data() + i;
  const char* last = s.data() + s.size();
  float value = 0.0f;
  auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec == std::errc::invalid_argument) return 0.0f;
  if (ec == std::errc::result_out_of_range) {
    // Too large or too small for a float: find the decimal exponent of the
    // leading non-zero digit to tell overflow from underflow.
    std::string_view text(first, static_cast<std::size_t>(ptr - first));
    std::size_t k = 0;
    int64_t intDigits = 0;  // digits before the point, counted from the first non-zero one
    int64_t leadingFractionZeros = 0;
    bool seenNonZero = false;
    while (k < text.size() && isDigit(text[k])) {
      if (text[k] != '0') seenNonZero = true;
      if (seenNonZero) ++intDigits;
      ++k;
    }
    if (k < text.size() && text[k] == '.') {
      ++k;
      while (!seenNonZero && k < text.size() && text[k] == '0') {
        ++leadingFractionZeros;
        ++k;
      }
      while (k < text.size() && isDigit(text[k])) ++k;
    }
    int64_t exponent = 0;
    if (k < text.size() && (text[k] == 'e' || text[k] == 'E')) {
      exponent = readSigned(text.substr(k + 1), true, -1000000000, 1000000000);
    }
    int64_t magnitude = (intDigits > 0 ? intDigits - 1 : -(leadingFractionZeros + 1)) + exponent;
    if (magnitude >= 0) value = std::numeric_limits<float>::infinity();
    else value = 0.0f;
  }
  return negative ? -value : value;
}

int32_t parseHex(std::string_view s) {
  std::size_t i = skipBlanks(s, 0);
  bool negative = false;
  if (i < s.size() && s[i] == '-') {
    negative = true;
    ++i;
  }
  uint32_t v = 0;
  for (; i < s.size(); ++i) {
    int d = hexValue(s[i]);
    if (d < 0) break;
    v = (v << 4) | static_cast<uint32_t>(d);  // wraps modulo 2^32
  }
  if (negative) v = 0u - v;
  return static_cast<int32_t>(v);  // modular since C++20
}

std::string trim(std::string_view s) {
  auto edge = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && edge(s[b])) ++b;
  while (e > b && edge(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

std::string toLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = lowerChar(c);
  return out;
}

std::string removeAll(std::string_view s, std::string_view what) {
  if (what.empty()) return std::string(s);
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    if (s.substr(i, what.size()) == what) {
      i += what.size();
    } else {
      out.push_back(s[i]);
      ++i;
    }
  }
  return out;
}

std::vector<std::string> split(std::string_view s, char separator) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (;;) {
    std::size_t p = s.find(separator, start);
    if (p == std::string_view::npos) {
      out.emplace_back(s.substr(start));
      return out;
    }
    out.emplace_back(s.substr(start, p - start));
    start = p + 1;
  }
}

}  // namespace zor::format::scan
