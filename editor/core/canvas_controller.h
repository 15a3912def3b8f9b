// Everything the user does with the mouse and the keys on the canvas: selecting, the
// held-press cycling through stacked objects, dragging the selection, panning, placing,
// the wheel and the canvas keys; and the canvas's show toggles, measurement readout and
// navigation commands. Events come in as plain values (canvas_events.h).
#pragma once

#include <cstdint>

#include "editor/core/canvas_events.h"

namespace zor::editor {

struct Editor;

inline constexpr float kPanStep = 20.0f;
inline constexpr int32_t kDragThreshold = 15;  // pixels the pointer must go beyond to start a drag
inline constexpr int kCycleTimer = 0;
inline constexpr int kCyclePeriodMs = 1000;

void canvasMouse(Editor& editor, CanvasWindow& window, const CanvasMouseEvent& event);
void canvasKey(Editor& editor, CanvasWindow& window, const CanvasKeyEvent& event);
// A typed character (only used while no game is open).
void canvasCharacter(Editor& editor, CanvasWindow& window, uint32_t character);
// Timer 0: the held-press selection cycling.
void canvasTimer(Editor& editor);
// The canvas gained or lost the keyboard focus.
void canvasFocusChanged(Editor& editor);
// The canvas got a new size.
void canvasResized(Editor& editor, int32_t width, int32_t height);

void toggleShowBlocks(Editor& editor);
void toggleShowAreas(Editor& editor);
void toggleShowEntrances(Editor& editor);
void toggleShowPaths(Editor& editor);
// Status field 0 from the selection (distance of two objects, corner or size of one).
void formatMeasurementReadout(Editor& editor);

// Select every shown block, area and entrance (hidden ones included).
void selectAllShown(Editor& editor);
// d = +1 or -1.
void focusOnSelection(Editor& editor, int d);
void selectNextOfKind(Editor& editor, int d);
void findBlockCommand(Editor& editor);
// Ends placing: the objects being placed are discarded, the mode becomes idle. A pan
// started while placing ends with it.
void cancelPlacing(Editor& editor, CanvasWindow* window);
// True while objects follow the mouse, also during a pan started meanwhile.
bool placingObjects(const Editor& editor);
// A key or a command ends a pan or drag (and a held press) as releasing the button
// would: the pointer is released and shown, a drag becomes one undo step, a pan
// returns to the mode it interrupted.
void endPointerGesture(Editor& editor);
// The zone goes: nothing of the canvas's interaction may point at its records any
// more (press, pending drag, cycling timer, pointer grab); the mode becomes idle.
void resetCanvasInteraction(Editor& editor);

}  // namespace zor::editor
