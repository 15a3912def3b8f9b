// wxWidgets key events as the editor's virtual-key codes and modifiers.
#pragma once

#include <wx/event.h>

#include "editor/core/key_codes.h"

namespace zor::editor::ui {

// The virtual-key code of a key-down event, or 0 for keys the editor does not name.
int32_t virtualKeyOf(const wxKeyEvent& event);
Modifiers modifiersOf(const wxKeyboardState& state);

}  // namespace zor::editor::ui
