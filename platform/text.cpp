#include "platform/text.h"

#include <charconv>

#include "format/text_scan.h"

namespace zor::text {
namespace {

char upperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char lowerChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

int32_t parseHex(std::string_view s) { return format::scan::parseHex(s); }

std::string formatInt(int64_t v) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string trim(std::string_view s) { return format::scan::trim(s); }
std::string toLower(std::string_view s) { return format::scan::toLower(s); }

std::string toUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = upperChar(c);
  return out;
}

std::string removeAll(std::string_view s, std::string_view what) { return format::scan::removeAll(s, what); }

std::string replaceAll(std::string_view s, std::string_view what, std::string_view with) {
  if (what.empty()) return std::string(s);
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    if (s.substr(i, what.size()) == what) {
      out.append(with);
      i += what.size();
    } else {
      out.push_back(s[i]);
      ++i;
    }
  }
  return out;
}

std::vector<std::string> split(std::string_view s, char separator) { return format::scan::split(s, separator); }

std::string field(std::string_view s, char separator, std::size_t index) {
  std::size_t start = 0;
  for (std::size_t k = 0; k < index; ++k) {
    std::size_t p = s.find(separator, start);
    if (p == std::string_view::npos) return std::string();
    start = p + 1;
  }
  std::size_t end = s.find(separator, start);
  if (end == std::string_view::npos) end = s.size();
  return std::string(s.substr(start, end - start));
}

int countChar(std::string_view s, char c) {
  int n = 0;
  for (char x : s) n += (x == c) ? 1 : 0;
  return n;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerChar(a[i]) != lowerChar(b[i])) return false;
  }
  return true;
}

}  // namespace zor::text
