// What a shown menu screen consists of: its title, its lines with their help
// texts and actions, the highlighted line and the scroll of the selectable part.
// The screen builders fill it; the menu frame draws it. (The colour the menu
// frame is cleared to is the program shell's menuBackground.)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/app/app_state.h"
#include "game/menu/menu_screen_ids.h"

namespace zor {

struct MenuLine {
  std::string text;    // the line as drawn
  std::string help;    // shown under the menu while the line is selected; empty for none
  int32_t action = 0;  // run when the line is chosen; 0 for headings and information
};

struct MenuState {
  std::string title;
  std::vector<MenuLine> lines;
  int32_t selected = 0;         // highlighted line
  int32_t scroll = 0;           // scroll offset of the selectable part
  int32_t firstSelectable = 0;  // lines before it are headings, always drawn at the top

  // 1 while the keyboard or gamepad-button screen waits for a key or button.
  int32_t captureMode = 0;
  // No action is taken while the frame clock is below this (milliseconds).
  uint32_t inputDelay = 0;
  // On the capture screens the control being assigned (0..12); on the credits
  // screen the page shown.
  int32_t captureIndex = 0;
  // 0 until a frame without any gamepad button held was seen on the button screen.
  int32_t padCaptureArmed = 0;

  // The speedrun (index into the game's speedrun list) whose records the
  // speedrun screens show and that START runs; -1 for none.
  int32_t currentSpeedrun = -1;
  // The path the last saving of a run file returned.
  std::string lastRunFilePath;

  int32_t lineCount() const { return static_cast<int32_t>(lines.size()); }
};

}  // namespace zor
