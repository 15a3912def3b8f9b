#include "editor/ui/wx_keys.h"

namespace zor::editor::ui {

int32_t virtualKeyOf(const wxKeyEvent& event) {
  int code = event.GetKeyCode();
  if (code >= 'a' && code <= 'z') return code - 'a' + 'A';
  if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) return code;
  if (code >= WXK_F1 && code <= WXK_F12) return key::F1 + (code - WXK_F1);
  if (code >= WXK_NUMPAD0 && code <= WXK_NUMPAD9) return key::Numpad0 + (code - WXK_NUMPAD0);
  switch (code) {
    case WXK_BACK: return key::Back;
    case WXK_TAB: case WXK_NUMPAD_TAB: return key::Tab;
    case WXK_CLEAR: case WXK_NUMPAD_BEGIN: return key::Clear;  // keypad 5, Num Lock off
    case WXK_RETURN: case WXK_NUMPAD_ENTER: return key::Return;
    case WXK_ESCAPE: return key::Escape;
    case WXK_SPACE: case WXK_NUMPAD_SPACE: return key::Space;
    case WXK_PAGEUP: case WXK_NUMPAD_PAGEUP: return key::PageUp;
    case WXK_PAGEDOWN: case WXK_NUMPAD_PAGEDOWN: return key::PageDown;
    case WXK_END: case WXK_NUMPAD_END: return key::End;
    case WXK_HOME: case WXK_NUMPAD_HOME: return key::Home;
    case WXK_LEFT: case WXK_NUMPAD_LEFT: return key::Left;
    case WXK_UP: case WXK_NUMPAD_UP: return key::Up;
    case WXK_RIGHT: case WXK_NUMPAD_RIGHT: return key::Right;
    case WXK_DOWN: case WXK_NUMPAD_DOWN: return key::Down;
    case WXK_INSERT: case WXK_NUMPAD_INSERT: return key::Insert;
    case WXK_DELETE: case WXK_NUMPAD_DELETE: return key::Delete;
    default: return 0;
  }
}

Modifiers modifiersOf(const wxKeyboardState& state) {
  return Modifiers{state.ShiftDown(), state.RawControlDown(), state.AltDown()};
}

}  // namespace zor::editor::ui
