// The canvas's own state beside the zone: its size, the pointer, and the mouse
// interaction (press point, pan, pending drag, held-press cycling).
#pragma once

#include <cstdint>
#include <string>

#include "editor/core/canvas_projection.h"

namespace zor::editor {

struct EditorObject;

struct CanvasState {
  int32_t width = 0;   // W, canvas pixels
  int32_t height = 0;  // H
  float scale = kProjectionScale;  // F
  int32_t mouseX = 0;  // last pointer position over the canvas
  int32_t mouseY = 0;
  int32_t pressX = 0;  // last left press; during a pan or drag the last handled position
  int32_t pressY = 0;
  int32_t panSource = 0;  // 1 Shift + left button, 3 middle button
  int32_t savedMode = 0;  // the mode before the pan
  bool pointerGrabbed = false;
  EditorObject* pendingDrag = nullptr;    // selected object under the last press, no drag yet
  EditorObject* lastClickedObject = nullptr;
  int32_t cycleSkip = 0;
  bool cycleTimerRunning = false;
  std::string gridText = "5";
};

}  // namespace zor::editor
