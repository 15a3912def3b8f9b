// The editing commands on the objects of the open zone: duplicate, insert, fit,
// resize, rotate and square (declared in edit_commands.h), the unique naming of
// block onames and entrance element names, and the replacement of one object
// by an edited element.
#pragma once

#include <string>

#include "platform/xml.h"

namespace zor::editor {

struct Editor;
struct EditorObject;

// Fills the name list with every block's oname (kind 1) and every entrance's
// element name (kind 3). Returns false when no zone is open.
bool collectObjectNames(Editor& editor);
// `name` when no name of this kind matches it (ignoring case), else the first
// free name made from it by counting up its trailing number. The result joins
// the name list, so several new objects get different names.
std::string makeUniqueObjectName(Editor& editor, const std::string& name, int nameKind);

// The Edit Object XML command's change: `replacement` (an element of any
// document) takes the place of the record's object, which is deleted. The undo
// step is cleared: it cannot hold both the old and the new object. Returns
// false, after the warning, when the element is not a block, an area or an
// entrance; nothing changes then.
bool replaceObjectWithElement(Editor& editor, EditorObject* record, const xml::Node* replacement);
// Edit Object XML: the one selected object's element in the script window; the
// accepted text replaces the object (see replaceObjectWithElement).
void editObjectXml(Editor& editor);

}  // namespace zor::editor
