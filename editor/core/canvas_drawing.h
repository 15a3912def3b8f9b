// Drawing the open zone on the canvas image, and finding the object under a canvas pixel.
#pragma once

#include <cstdint>

#include "editor/core/canvas_image.h"
#include "editor/core/canvas_projection.h"
#include "editor/core/canvas_text.h"

namespace zor::editor {

struct Editor;
struct EditorObject;

// Colours of the canvas (0x00BBGGRR).
inline uint32_t inverseColour(uint32_t c) { return 0xFFFFFFu - (c & 0xFFFFFFu); }

// The view of the open zone on a canvas of the editor's canvas size.
Projection canvasProjection(const Editor& editor);

// Redraws the whole canvas image (resized to the canvas size) from the records:
// the messages without a game or zone, else the level plane, the visible objects far to
// near and, when the canvas has the keyboard focus, the focus frame.
void drawZone(const Editor& editor, CanvasImage& image, CanvasText& text, bool focused);

// The object under the canvas pixel, nearest first, passing over `skip` hits; null when
// none. Hidden objects, objects nearer than the nearest depth, path previews and kinds
// that are not shown are never hit.
EditorObject* hitTest(const Editor& editor, int32_t px, int32_t py, int32_t skip);

}  // namespace zor::editor
