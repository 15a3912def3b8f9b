// The canvas gadget of the main window: keyboard-focusable, a drop target for files. It
// draws the open zone into the core's canvas image whenever it is painted and shows that
// image as it is; its mouse, wheel, key and focus events go to the canvas controller as
// plain values. It asks for every key, so that the desktop does not take arrows, Tab and
// Enter for moving the focus.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <wx/window.h>

#include "editor/core/canvas_events.h"
#include "editor/core/canvas_image.h"

namespace zor::editor {
struct Editor;
class CanvasText;
}  // namespace zor::editor

namespace zor::editor::ui {

class CanvasPanel : public wxWindow, public CanvasWindow {
 public:
  // `onDrop` receives the dropped paths joined by "\n".
  CanvasPanel(wxWindow* parent, std::function<void(const std::string&)> onDrop);
  ~CanvasPanel() override;

  // The editor whose zone is drawn and who gets the events; none: a white canvas.
  void attach(Editor* editor);
  const CanvasImage& image() const { return image_; }

  void grabPointer(bool grab) override;
  bool hasKeyboardFocus() override { return HasFocus(); }

 private:
  void onPaint(wxPaintEvent& event);
  void onMouse(wxMouseEvent& event);
  void onKeyDown(wxKeyEvent& event);
  void onChar(wxKeyEvent& event);
  void onCaptureLost(wxMouseCaptureLostEvent& event);
  void onSize(wxSizeEvent& event);
  void send(CanvasMouseKind kind, const wxMouseEvent& event, int32_t notches = 0);

  Editor* editor_ = nullptr;
  CanvasImage image_;
  std::unique_ptr<CanvasText> text_;
  bool grabbed_ = false;
  int wheelRest_ = 0;  // wheel rotation not yet a whole notch
};

}  // namespace zor::editor::ui
