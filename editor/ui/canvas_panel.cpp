#include "editor/ui/canvas_panel.h"

#include <vector>

#include <wx/dcclient.h>
#include <wx/image.h>

#include "editor/ui/wx_keys.h"

namespace zor::editor {

CanvasPanel::CanvasPanel(wxWindow* parent, wxWindowID id, const CanvasImage& image)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE | wxBORDER_NONE),
      image_(image) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
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
  Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) {
    if (handlers_.focus) handlers_.focus(true);
    e.Skip();
  });
  Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& e) {
    if (handlers_.focus) handlers_.focus(false);
    e.Skip();
  });
}

void CanvasPanel::present() {
  Refresh(false);
  Update();
}

void CanvasPanel::onPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  int32_t w = image_.width(), h = image_.height();
  if (w <= 0 || h <= 0) return;
  // The image holds 0x00BBGGRR words; wxImage wants RGB bytes.
  wxImage picture(w, h, false);
  unsigned char* rgb = picture.GetData();
  const uint32_t* src = image_.pixels();
  for (size_t i = 0, n = static_cast<size_t>(w) * static_cast<size_t>(h); i < n; ++i) {
    uint32_t c = src[i];
    rgb[3 * i] = static_cast<unsigned char>(c & 0xFF);
    rgb[3 * i + 1] = static_cast<unsigned char>((c >> 8) & 0xFF);
    rgb[3 * i + 2] = static_cast<unsigned char>((c >> 16) & 0xFF);
  }
  dc.DrawBitmap(wxBitmap(picture), 0, 0, false);
}

void CanvasPanel::send(CanvasMouseKind kind, const wxMouseEvent& event, int32_t notches) {
  if (!handlers_.mouse) return;
  CanvasMouseEvent e;
  e.kind = kind;
  e.x = event.GetX();
  e.y = event.GetY();
  e.modifiers = Modifiers{event.ShiftDown(), event.RawControlDown(), event.AltDown()};
  e.wheelNotches = notches;
  handlers_.mouse(e);
}

void CanvasPanel::onMouse(wxMouseEvent& event) {
  wxEventType t = event.GetEventType();
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
    int delta = event.GetWheelDelta() > 0 ? event.GetWheelDelta() : 120;
    wheelRest_ += event.GetWheelRotation();
    int notches = wheelRest_ / delta;
    wheelRest_ -= notches * delta;
    if (notches != 0) send(CanvasMouseKind::Wheel, event, notches);
  }
}

void CanvasPanel::onKeyDown(wxKeyEvent& event) {
  int32_t code = virtualKeyOf(event);
  if (code == 0 || !handlers_.key) {
    event.Skip();  // let the character event follow
    return;
  }
  handlers_.key(CanvasKeyEvent{code, modifiersOf(event)});
  event.Skip();  // a typed character still follows (used without an open game)
}

void CanvasPanel::onChar(wxKeyEvent& event) {
  wxChar c = event.GetUnicodeKey();
  if (c != WXK_NONE && c >= 32 && handlers_.character) handlers_.character(static_cast<uint32_t>(c));
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
  // The capture is gone already; only the pointer and our state follow.
  grabbed_ = false;
  SetCursor(wxNullCursor);
  if (handlers_.mouse) {
    CanvasMouseEvent e;
    e.kind = CanvasMouseKind::CaptureLost;
    wxPoint p = ScreenToClient(wxGetMousePosition());
    e.x = p.x;
    e.y = p.y;
    handlers_.mouse(e);
  }
}

void CanvasPanel::onSize(wxSizeEvent& event) {
  wxSize s = GetClientSize();
  if (handlers_.resized) handlers_.resized(s.x, s.y);
  event.Skip();
}

}  // namespace zor::editor
