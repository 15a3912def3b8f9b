// Copy and paste of objects through the desktop clipboard. The text is one
// `zorcopy` element holding deep copies of the copied block, area and entrance
// elements, with `camx` and `camy` the offset that centres them on (0, 0) and
// `camz` the camera depth at the time of copying.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/xml.h"

namespace zor::editor {

struct Editor;

// Clipboard text beyond this size is refused unread; a copy that would be
// larger is refused too.
inline constexpr std::size_t kMaxClipboardBytes = 4u * 1024u * 1024u;

// A clipboard text read and checked: either a `zorcopy` document whose element
// children are all blocks, areas and entrances, or the reason why not.
struct ClipboardContent {
  std::unique_ptr<xml::Document> document;  // null when refused
  std::string refusal;                      // the warning shown when refused
  float camx = 0.0f;
  float camy = 0.0f;
};
ClipboardContent readClipboardText(const std::string& text);

// copySelection (empty when nothing was put on the clipboard) and
// pasteFromClipboard are declared in edit_commands.h.

}  // namespace zor::editor
