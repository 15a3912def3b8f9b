// Value syntax of game files: how numbers, booleans, colours, limits, lists,
// "times" and durations are written. Pure functions, shared by game and editor.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zor::format {

// "int", the one way an integer is read from a file (game files, preference,
// save and editor files alike): leading blanks and tabs skipped, optional
// sign, decimal digits; "$" + hexadecimal digits and "%" + binary digits are
// read too. Reading stops at the first character that does not belong; an
// empty or unreadable text is 0. Values beyond 32 bits saturate to
// INT32_MIN/INT32_MAX.
int32_t readInt(std::string_view s);
// Same rules, 64-bit result (for callers that must range-check before cutting).
int64_t readInt64(std::string_view s);
// "float": parsed straight to a 32-bit float (no double rounding): optional
// sign, digits, fraction, exponent; "Infinity", "+Infinity", "-Infinity", "Inf"
// and "NaN" in any case. Leading blanks are skipped; reading stops at the first
// character that does not belong; an empty or unreadable text is 0.
float readFloat(std::string_view s);
// "bool": "1", "true", "yes", "on" in any case, without surrounding blanks.
bool readBool(std::string_view s);

// Colour text RRGGBB (a leading "-" allowed, "-1" is -1) read as a hexadecimal
// integer and stored with red in the low byte (0x00BBGGRR).
int32_t readColour(std::string_view s);
// Exchanges the lowest and the third byte.
int32_t swapRedBlue(int32_t c);

struct ColourPair {
  int32_t first;
  int32_t second;
};
// One colour, or two separated by ","; a single colour stands for both. With a
// comma, the items before and after it are read as they are ("FF0000," gives 0 second).
ColourPair readColourPair(std::string_view s);

struct Limits {
  float min;
  float max;
};
// Zone and area limits: a lone value a reads as (a, 0); the pair is ordered so min <= max.
Limits readZoneLimits(std::string_view s);
// Block limits: kept in the order written; a lone value stands for both.
Limits readBlockLimits(std::string_view s);

// "times" (also `parseIndex`): "-" is -1 (no limit); any other text is read as a
// decimal int (blanks and tabs before it skipped, no "$" or "%" forms).
int32_t readIndex(std::string_view s);

// Comma list: items split at "," with blanks around each item removed; n commas
// give n + 1 items, so an empty text gives one empty item.
std::vector<std::string> readCommaList(std::string_view s);

// Block flag words (`flg`): the list is lower-cased, each item trimmed, and the
// bits of the known words OR-ed together; unknown words add nothing.
uint32_t readBlockFlags(std::string_view s);
// One block flag word, compared exactly (callers lower-case and trim); 0 when unknown.
uint32_t blockFlagBit(std::string_view word);
// Class behaviour words (`eflags`): every blank removed, lower-cased, split at ",".
uint32_t readClassFlags(std::string_view s);
// Wave word of a block: the top-byte code, 0 (sine) for any other value. The
// value is lower-cased but not trimmed.
uint32_t readWave(std::string_view s);

// A duration value: a plain float, or "r"/"R" followed by "a,b".
struct DurationValue {
  bool random = false;
  float value = 0.0f;  // plain value
  float a = 0.0f;      // random bounds, a <= b after the exchange
  float b = 0.0f;
};
DurationValue readDurationValue(std::string_view s);

}  // namespace zor::format
