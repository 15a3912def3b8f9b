#include "editor/ui/panel_tint.h"

#include <wx/settings.h>

#include "editor/core/panel_tints.h"

namespace zor::editor::ui {

wxColour panelTint(int32_t mask) {
  const wxColour window = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW);
  const int32_t bgr = static_cast<int32_t>(window.Red()) | (static_cast<int32_t>(window.Green()) << 8) |
                      (static_cast<int32_t>(window.Blue()) << 16);
  const int32_t tinted = tint::apply(bgr, mask);
  return wxColour(static_cast<unsigned char>(tinted & 0xFF), static_cast<unsigned char>((tinted >> 8) & 0xFF),
                  static_cast<unsigned char>((tinted >> 16) & 0xFF));
}

}  // namespace zor::editor::ui
