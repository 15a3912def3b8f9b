// The canvas gadget of the main window: keyboard-focusable, a drop target for
// files. Drawing and mouse editing plug in here.
#pragma once

#include <wx/dnd.h>
#include <wx/panel.h>

#include <functional>
#include <string>

namespace zor::editor::ui {

class CanvasPanel : public wxPanel {
 public:
  // `onDrop` receives the dropped paths joined by "\n".
  CanvasPanel(wxWindow* parent, std::function<void(const std::string&)> onDrop);
};

}  // namespace zor::editor::ui
