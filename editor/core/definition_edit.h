// A class or speedrun definition edited as XML text: the edited text replaces the
// element only when it is a definition of the same kind with a name that no other
// definition of that kind has, the checks a new definition passes.
#pragma once

#include <string>

#include "platform/xml.h"

namespace zor::editor {

struct Editor;

enum class DefinitionKind { Class, Speedrun };

// Replaces `edited` (a child of the game's root) by the main element of `text`, which
// takes its place in document order. Refused, with the message to show, when the text
// does not parse, its main element is not a `class` (`speedrun`) element, it has no
// name, or another definition of that kind has the name. Marks the game modified and,
// for classes, reads every block again. Returns true when replaced.
bool replaceEditedDefinition(Editor& editor, xml::Node* edited, const std::string& text, DefinitionKind kind,
                             std::string* refusal);

}  // namespace zor::editor
