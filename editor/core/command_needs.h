// What each command of the main window needs before it does anything, and the commands
// of the canvas and the zone that the dispatch hands on.
#pragma once

#include <cstdint>

#include "editor/core/commands.h"
#include "editor/core/key_codes.h"

namespace zor::editor {

namespace need {
inline constexpr uint32_t Game = 1;          // an open game
inline constexpr uint32_t Zone = 2;          // an open zone
inline constexpr uint32_t IdleView = 4;      // the canvas is not panning, dragging or placing
inline constexpr uint32_t Selection = 8;     // at least one object selected
inline constexpr uint32_t OneSelected = 16;  // exactly one object selected
}  // namespace need

uint32_t commandNeeds(Command command);
// False when the command would do nothing for want of a game, zone, idle view or selection.
bool commandAllowed(const Editor& editor, Command command);

// The main window's shortcut for a key combination (exact modifiers), or None.
Command shortcutCommand(int32_t virtualKey, const Modifiers& modifiers);

// Runs the commands that belong to the canvas and the zone (selection, navigation,
// placing, Enter and Esc, the sec marker, level insertion, and the editing commands).
// Returns false for commands it does not handle.
bool dispatchCanvasCommand(Editor& editor, Command command);

}  // namespace zor::editor
