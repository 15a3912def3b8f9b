// One pump for SDL's event queue, shared by the screen and the input layer: it
// keeps the keyboard state current and holds the window events until the game
// takes them.
#pragma once

#include <deque>

#include "platform/framebuffer.h"

namespace zor {

class SdlEvents {
 public:
  // Takes every waiting SDL event. Close requests and focus changes are kept (a bounded
  // number of them) for nextWindowEvent; everything else only updates SDL's own state.
  void pump();
  // The oldest kept window event, or None.
  WindowEvent next();
  // True once after the keyboard layout changed.
  bool takeKeymapChanged();

  static constexpr size_t kMaxPending = 32;

 private:
  void keep(WindowEvent e);
  std::deque<WindowEvent> pending_;
  bool keymapChanged_ = false;
};

}  // namespace zor
