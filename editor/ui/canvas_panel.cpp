#include "editor/ui/canvas_panel.h"

#include <utility>

#include <wx/dcclient.h>
#include <wx/dnd.h>
#include <wx/image.h>

#include "editor/core/canvas_controller.h"
#include "editor/core/canvas_drawing.h"
#include "editor/core/editor.h"
#include "editor/ui/wx_canvas_text.h"
#include "editor/ui/wx_keys.h"

namespace zor::editor::ui {

namespace {

// Takes the dropped names at once; the caller opens them on a later turn of
// the event loop, never inside the desktop's drop callback.
class FileDrop : public wxFileDropTarget {
 public:
  explicit FileDrop(std::function<void(const std::string&)> onDrop) : onDrop_(std::move(onDrop)) {}
  bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& names) override {
    std::string joined;
    for (const wxString& name : names) {
      if (!joined.empty()) joined += '\n';
      joined += name.utf8_string();
    }
    onDrop_(joined);
    return true;
  }

 private:
  std::function<void(const std::string&)> onDrop_;
};

}  // namespace

CanvasPanel::CanvasPanel(wxWindow* parent, std::function<void(const std::string&)> onDrop)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS | wxBORDER_NONE),
      text_(std::make_unique<WxCanvasText>()) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetDropTarget(new FileDrop(std::move(onDrop)));
  Bind(wxEVT_PAINT, &CanvasPanel::onPaint, this);
  Bind(wxEVT_LEFT_DOWN, &CanvasPanel::onMouse, this);
  Bind(wxEVT_LEFT_DCLICK, &CanvasPanel::onMouse, this);
  Bind(wxEVT_LEFT_UP, &CanvasPanel::onMouse, this);
  Bind(wxEVT_MIDDLE_DOWN, &CanvasPanel::onMouse, this);
  Bind(wxEVT_MIDDLE_DCLICK, &CanvasPanel::onMouse, this);
  Bind(wxEVT_MIDDLE_UP, &CanvasPanel::onMouse, this);
  Bind(wxEVT_RIGHT_DOWN, &CanvasPanel::onMouse, this);
  Bind(wxEVT_RIGHT_UP, &CanvasPanel::onMouse, this);
  Bind(wxEVT_ENTER_WINDOW, &CanvasPanel::onMouse, this);
  Bind(wxEVT_LEAVE_WINDOW, &CanvasPanel::onMouse, this);
  Bind(wxEVT_MOTION, &CanvasPanel::onMouse, this);
  Bind(wxEVT_MOUSEWHEEL, &CanvasPanel::onMouse, this);
  Bind(wxEVT_KEY_DOWN, &CanvasPanel::onKeyDown, this);
  Bind(wxEVT_CHAR, &CanvasPanel::onChar, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &CanvasPanel::onCaptureLost, this);
  Bind(wxEVT_SIZE, &CanvasPanel::onSize, this);
  auto focusChanged = [this](wxFocusEvent& e) {
    if (editor_) canvasFocusChanged(*editor_);
    e.Skip();
  };
  Bind(wxEVT_SET_FOCUS, focusChanged);
  Bind(wxEVT_KILL_FOCUS, focusChanged);
}

CanvasPanel::~CanvasPanel() = default;

void CanvasPanel::attach(Editor* editor) {
  editor_ = editor;
  if (editor_) {
    wxSize s = GetClientSize();
    canvasResized(*editor_, s.x, s.y);
  }
  Refresh(false);
}

void CanvasPanel::onPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  if (editor_ == nullptr) {
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    return;
  }
  drawZone(*editor_, image_, *text_, HasFocus());
  const int32_t w = image_.width(), h = image_.height();
  if (w <= 0 || h <= 0) return;
  // The image holds 0x00BBGGRR words; wxImage wants RGB bytes.
  wxImage picture(w, h, false);
  unsigned char* rgb = picture.GetData();
  const uint32_t* src = image_.pixels();
  for (size_t i = 0, n = static_cast<size_t>(w) * static_cast<size_t>(h); i < n; ++i) {
    const uint32_t c = src[i];
    rgb[3 * i] = static_cast<unsigned char>(c & 0xFF);
    rgb[3 * i + 1] = static_cast<unsigned char>((c >> 8) & 0xFF);
    rgb[3 * i + 2] = static_cast<unsigned char>((c >> 16) & 0xFF);
  }
  dc.DrawBitmap(wxBitmap(picture), 0, 0, false);
}

void CanvasPanel::send(CanvasMouseKind kind, const wxMouseEvent& event, int32_t notches) {
  if (editor_ == nullptr) return;
  CanvasMouseEvent e;
  e.kind = kind;
  e.x = event.GetX();
  e.y = event.GetY();
  e.modifiers = Modifiers{event.ShiftDown(), event.RawControlDown(), event.AltDown()};
  e.wheelNotches = notches;
  canvasMouse(*editor_, *this, e);
}

void CanvasPanel::onMouse(wxMouseEvent& event) {
  const wxEventType t = event.GetEventType();
  if (t == wxEVT_LEFT_DOWN || t == wxEVT_LEFT_DCLICK) {
    SetFocus();
    send(CanvasMouseKind::LeftDown, event);
  } else if (t == wxEVT_LEFT_UP) {
    send(CanvasMouseKind::LeftUp, event);
  } else if (t == wxEVT_MIDDLE_DOWN || t == wxEVT_MIDDLE_DCLICK) {
    SetFocus();
    send(CanvasMouseKind::MiddleDown, event);
  } else if (t == wxEVT_MIDDLE_UP) {
    send(CanvasMouseKind::MiddleUp, event);
  } else if (t == wxEVT_RIGHT_DOWN) {
    SetFocus();
  } else if (t == wxEVT_RIGHT_UP) {
    send(CanvasMouseKind::RightClick, event);
  } else if (t == wxEVT_ENTER_WINDOW) {
    send(CanvasMouseKind::Enter, event);
  } else if (t == wxEVT_LEAVE_WINDOW) {
    // While the mouse is captured the pointer may leave the window; the pan or drag goes on.
    if (!grabbed_) send(CanvasMouseKind::Leave, event);
  } else if (t == wxEVT_MOTION) {
    send(CanvasMouseKind::Move, event);
  } else if (t == wxEVT_MOUSEWHEEL) {
    if (event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL) return;
    const int delta = event.GetWheelDelta() > 0 ? event.GetWheelDelta() : 120;
    wheelRest_ += event.GetWheelRotation();
    const int notches = wheelRest_ / delta;
    wheelRest_ -= notches * delta;
    if (notches != 0) send(CanvasMouseKind::Wheel, event, notches);
  }
}

namespace {

// Alt with a letter opens a menu by its access letter: the desktop's, not a canvas key.
// Ctrl with Alt is AltGr on some keyboards, which types characters.
bool menuAccess(const wxKeyEvent& event) { return event.AltDown() && !event.RawControlDown(); }

}  // namespace

void CanvasPanel::onKeyDown(wxKeyEvent& event) {
  const int32_t code = virtualKeyOf(event);
  if (code != 0 && editor_ != nullptr && !menuAccess(event)) {
    canvasKey(*editor_, *this, CanvasKeyEvent{code, modifiersOf(event)});
  }
  event.Skip();  // a typed character still follows (used while no game is open)
}

void CanvasPanel::onChar(wxKeyEvent& event) {
  const wxChar c = event.GetUnicodeKey();
  if (menuAccess(event) || event.GetKeyCode() == WXK_F10) {
    // The window goes on with these: access letters open their menu, F10 the menu bar.
    event.Skip();
    return;
  }
  if (c != WXK_NONE && c >= 32 && editor_ != nullptr) canvasCharacter(*editor_, *this, static_cast<uint32_t>(c));
}

void CanvasPanel::grabPointer(bool grab) {
  if (grab == grabbed_) return;
  grabbed_ = grab;
  if (grab) {
    if (!HasCapture()) CaptureMouse();
    SetCursor(wxCursor(wxCURSOR_BLANK));
  } else {
    if (HasCapture()) ReleaseMouse();
    SetCursor(wxNullCursor);
  }
}

void CanvasPanel::onCaptureLost(wxMouseCaptureLostEvent&) {
  // The capture is gone already; the pointer and the pan or drag follow.
  grabbed_ = false;
  SetCursor(wxNullCursor);
  if (editor_ == nullptr) return;
  CanvasMouseEvent e;
  e.kind = CanvasMouseKind::CaptureLost;
  const wxPoint p = ScreenToClient(wxGetMousePosition());
  e.x = p.x;
  e.y = p.y;
  editor_->canvas.pointerGrabbed = false;
  canvasMouse(*editor_, *this, e);
}

void CanvasPanel::onSize(wxSizeEvent& event) {
  if (editor_) {
    const wxSize s = GetClientSize();
    canvasResized(*editor_, s.x, s.y);
  }
  Refresh(false);
  event.Skip();
}

}  // namespace zor::editor::ui
