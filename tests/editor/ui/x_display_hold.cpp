#include "tests/editor/ui/x_display_hold.h"

#include <X11/Xlib.h>

#include <chrono>
#include <thread>

namespace zor::testing {

bool holdXDisplay(int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  for (;;) {
    // Left open on purpose: the process's end closes it.
    if (XOpenDisplay(nullptr) != nullptr) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

}  // namespace zor::testing
