// Locale-free reading of the numbers and words that game files are written in.
// The format layer reads values with these; platform/text.h offers the text
// operations to the rest of the program, which reads integers with format::readInt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zor::format::scan {

// Signed integer: leading blanks and tabs skipped, optional sign, then decimal
// digits, or (unless decimalOnly) "$" + hexadecimal digits or "%" + binary
// digits; stops at the first character that does not belong; saturates to
// [minValue, maxValue]. Unreadable text is 0. format::readInt (values.h) is
// the game files' integer built on it.
int64_t readSigned(std::string_view s, bool decimalOnly, int64_t minValue, int64_t maxValue);
// 32-bit float, correctly rounded; leading blanks skipped, optional sign, the
// longest valid prefix; "inf", "infinity" and "nan" in any case. Unreadable text is 0.
float parseFloat(std::string_view s);
// Hexadecimal with an optional leading "-" (after blanks); wraps modulo 2^32.
int32_t parseHex(std::string_view s);

std::string trim(std::string_view s);     // blanks, tabs, CR and LF at both ends
std::string toLower(std::string_view s);  // ASCII only
std::string removeAll(std::string_view s, std::string_view what);
// n separators give n + 1 fields.
std::vector<std::string> split(std::string_view s, char separator);

}  // namespace zor::format::scan
