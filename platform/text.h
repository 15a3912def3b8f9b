// Locale-free text and number helpers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zor::text {

// Integers and floats are read with format::readInt and format::readFloat (format/values.h).

// Hexadecimal integer with an optional leading "-" (colour texts): "-1" is -1,
// a text that is not hexadecimal gives 0. Leading blanks and tabs are skipped,
// reading stops at the first non-hexadecimal character, and the value wraps
// modulo 2^32 ("FFFFFFFF" is -1).
int32_t parseHex(std::string_view s);

// Formatting without the locale.
std::string formatInt(int64_t v);

std::string trim(std::string_view s);        // blanks, tabs, CR and LF at both ends
std::string toLower(std::string_view s);     // ASCII
std::string toUpper(std::string_view s);     // ASCII
std::string removeAll(std::string_view s, std::string_view what);
std::string replaceAll(std::string_view s, std::string_view what, std::string_view with);
// Splits at every separator: n separators give n + 1 fields (an empty text gives one empty field).
std::vector<std::string> split(std::string_view s, char separator);
// The i-th field (0-based) of a split, empty when there is none.
std::string field(std::string_view s, char separator, std::size_t index);
int countChar(std::string_view s, char c);
bool equalsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace zor::text
