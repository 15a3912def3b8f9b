// Reformat XML: the whole game document indented again, one level of the
// chosen number of spaces per depth.
#pragma once

#include <string>

#include "platform/xml.h"

namespace zor::editor {

struct Editor;

// The largest indentation the command accepts.
inline constexpr int kMaxIndentation = 100;

// Replaces the blank text between the children of every element by a line
// break and `spaces` spaces per depth (the root's children one level in).
// Elements holding text other than blanks keep their content as it is.
void reindentDocument(xml::Document& document, int spaces);

// The command: asks for the indentation (again after a bad one), re-indents,
// marks the game modified. Returns true when the document was reformatted.
bool reformatXmlCommand(Editor& editor);

}  // namespace zor::editor
