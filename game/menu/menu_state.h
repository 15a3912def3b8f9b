// What a shown menu screen consists of: its title, its lines with their help
// texts and actions, the highlighted line and the scroll of the selectable part.
// The screen builders fill it; the menu frame draws it. (The colour the menu
// frame is cleared to is the program shell's menuBackground.)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

  int32_t lineCount() const { return static_cast<int32_t>(lines.size()); }
};

}  // namespace zor
