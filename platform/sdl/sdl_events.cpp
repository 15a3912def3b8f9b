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

// Sanitizer builds: under a real X display SDL's start-up reaches the D-Bus library,
// which keeps a buffer for the rest of the process when it finds no session bus. That
// buffer is not ours to free, so LeakSanitizer is told to leave it out.
#if defined(__SANITIZE_ADDRESS__)
#define ZOR_LSAN_SUPPRESSIONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZOR_LSAN_SUPPRESSIONS 1
#endif
#endif
#ifdef ZOR_LSAN_SUPPRESSIONS
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
#endif
