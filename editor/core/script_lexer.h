// The colouring of script text: a lexer that turns a range of UTF-8 bytes into
// runs of styles, for the script window's text control to apply. It reads only
// the bytes it is given and styles every one of them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zor::editor {

namespace scriptstyle {
inline constexpr int Normal = 1;    // text, tag punctuation, names outside the vocabulary
inline constexpr int Element = 2;   // an element name of the vocabulary
inline constexpr int Attribute = 3; // an attribute name that element takes
inline constexpr int Value = 4;     // an attribute value
inline constexpr int Comment = 5;
inline constexpr int Inactive = 6;  // the value "-"
inline constexpr int Special = 7;   // the value "you"
}  // namespace scriptstyle

struct StyleRun {
  std::size_t start = 0;   // byte offset into the styled range
  std::size_t length = 0;  // bytes
  int style = scriptstyle::Normal;
};

// The attributes an element takes, " name name ", for the lower-cased element
// name; null for names outside the vocabulary.
const std::string* scriptAttributesOf(std::string_view lowerElementName);

// Letters, digits and "_".
bool isIdentifierChar(char c);

// Styles a range that starts at a line start. The runs are in order, adjacent
// runs have different styles, and together they cover exactly `bytes`.
std::vector<StyleRun> styleScriptText(std::string_view bytes);

}  // namespace zor::editor
