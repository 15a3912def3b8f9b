// A panel field's background: the desktop theme's window colour with a tint mask.
#pragma once

#include <wx/colour.h>

#include <cstdint>

namespace zor::editor::ui {

wxColour panelTint(int32_t mask);

}  // namespace zor::editor::ui
