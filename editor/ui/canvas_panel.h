// The canvas gadget: a window that shows the core's canvas image as it is and hands its
// mouse, wheel, key and focus events on as plain values. It asks for every key, so that
// the desktop does not take arrows, Tab and Enter for moving the focus.
#pragma once

#include <functional>

#include <wx/window.h>

#include "editor/core/canvas_events.h"
#include "editor/core/canvas_image.h"

namespace zor::editor {

class CanvasPanel : public wxWindow, public CanvasWindow {
 public:
  struct Handlers {
    std::function<void(const CanvasMouseEvent&)> mouse;
    std::function<void(const CanvasKeyEvent&)> key;
    std::function<void(uint32_t)> character;  // typed character (Unicode)
    std::function<void(bool)> focus;          // gained (true) or lost
    std::function<void(int32_t, int32_t)> resized;
  };

  CanvasPanel(wxWindow* parent, wxWindowID id, const CanvasImage& image);

  void setHandlers(Handlers handlers) { handlers_ = std::move(handlers); }
  // Shows the image now (after a redraw of the core).
  void present();

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

  const CanvasImage& image_;
  Handlers handlers_;
  bool grabbed_ = false;
  int wheelRest_ = 0;  // wheel rotation not yet a whole notch
};

}  // namespace zor::editor
