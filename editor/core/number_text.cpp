#include "editor/core/number_text.h"

#include <charconv>
#include <cmath>

#include "format/values.h"

namespace zor::editor {

std::string trimmedDecimal(double value) {
  if (!std::isfinite(value)) return "0";
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
  if (result.ec != std::errc()) return "0";
  std::string s(buffer, result.ptr);
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return s;
}

std::string colourText(int32_t colour) {
  const uint32_t rgb = static_cast<uint32_t>(format::swapRedBlue(colour));
  static const char kDigits[] = "0123456789ABCDEF";
  std::string s;
  for (uint32_t v = rgb; v != 0; v >>= 4) s.insert(s.begin(), kDigits[v & 15u]);
  while (s.size() < 6) s.insert(s.begin(), '0');
  return s;
}

int32_t readColourText(const std::string& text) {
  return format::swapRedBlue(format::readInt("$" + text));
}

}  // namespace zor::editor
