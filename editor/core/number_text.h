// Numbers as the editor writes them, never through the locale.
#pragma once

#include <cstdint>
#include <string>

namespace zor::editor {

// Coordinates: one decimal, then trailing zeros and a trailing point removed
// (12.50 gives "12.5", 12.0 gives "12", -0.04 gives "0").
std::string trimmedDecimal(double value);

// Colour 0x00BBGGRR as six upper-case hexadecimal digits RRGGBB.
std::string colourText(int32_t colour);
// Colour text RRGGBB read as "$" + text (0x00BBGGRR).
int32_t readColourText(const std::string& text);

}  // namespace zor::editor
