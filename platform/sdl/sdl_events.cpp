#include "platform/sdl/sdl_events.h"

#include <SDL.h>

namespace zor {

void SdlEvents::keep(WindowEvent e) {
  // A close request is never dropped; other events beyond the bound are.
  if (pending_.size() >= kMaxPending) {
    if (e != WindowEvent::Close) return;
    pending_.pop_front();
  }
  pending_.push_back(e);
}

void SdlEvents::pump() {
  SDL_Event ev;
  while (SDL_PollEvent(&ev) == 1) {
    switch (ev.type) {
      case SDL_QUIT:
        keep(WindowEvent::Close);
        break;
      case SDL_WINDOWEVENT:
        if (ev.window.event == SDL_WINDOWEVENT_CLOSE) keep(WindowEvent::Close);
        else if (ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST) keep(WindowEvent::FocusLost);
        else if (ev.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) keep(WindowEvent::FocusGained);
        break;
      case SDL_KEYMAPCHANGED:
        keymapChanged_ = true;
        break;
      default:
        break;
    }
  }
}

WindowEvent SdlEvents::next() {
  pump();
  if (pending_.empty()) return WindowEvent::None;
  WindowEvent e = pending_.front();
  pending_.pop_front();
  return e;
}

bool SdlEvents::takeKeymapChanged() {
  bool changed = keymapChanged_;
  keymapChanged_ = false;
  return changed;
}

}  // namespace zor
