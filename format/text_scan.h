// Locale-free reading of the numbers and words that game files are written in.
// The format layer reads values with these; platform/text.h offers the same
// operations to the rest of the program.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zor::format::scan {

// Integer: leading blanks and tabs skipped, optional sign, then decimal digits,
// "$" + hexadecimal digits or "%" + binary digits; stops at the first character
// that does not belong; saturates to the int64 range. Unreadable text is 0.
int64_t parseInt64(std::string_view s);
// The same, saturated to the int32 range.
int32_t parseInt(std::string_view s);
// Decimal only: leading blanks and tabs skipped, optional sign, digits; saturates to int32.
int32_t parseDecimal(std::string_view s);
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
