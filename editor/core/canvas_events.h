// Events of the canvas as plain values, so that the canvas controller runs and is tested
// without a window. The user interface translates its toolkit's events into these.
#pragma once

#include <cstdint>

#include "editor/core/key_codes.h"

namespace zor::editor {

enum class CanvasMouseKind {
  LeftDown,    // also the second press of a double click
  LeftUp,
  MiddleDown,
  MiddleUp,
  RightClick,  // after the right button is released
  Enter,
  Move,
  Leave,
  Wheel,
  CaptureLost,  // the desktop took the mouse away: ends a pan or drag as a release does
};

struct CanvasMouseEvent {
  CanvasMouseKind kind = CanvasMouseKind::Move;
  int32_t x = 0;  // pointer in canvas pixels
  int32_t y = 0;
  Modifiers modifiers;
  int32_t wheelNotches = 0;  // Wheel: + away from the user
};

struct CanvasKeyEvent {
  int32_t key = 0;  // virtual-key code
  Modifiers modifiers;
};

// What the canvas asks of its window besides drawing.
class CanvasWindow {
 public:
  virtual ~CanvasWindow() = default;
  // Captures the mouse to the canvas and hides the pointer, or releases and shows it.
  virtual void grabPointer(bool grab) = 0;
  virtual bool hasKeyboardFocus() = 0;
};

}  // namespace zor::editor
