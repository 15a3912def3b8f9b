// Message boxes and the Yes/No requester. Without a display (SDL's dummy or
// offscreen video driver, or no display to show them on) they write to standard
// error instead, and the requester answers No.
#pragma once

#include <string>

struct SDL_Window;

namespace zor {

// True when dialogs go to standard error instead of a window.
bool dialogsUseConsole();
// A modal box with the title, the text and one button.
void showMessageBox(const std::string& title, const std::string& text, SDL_Window* parent = nullptr);
// A modal box with Yes and No buttons; true for Yes. Escape or closing the box answers No.
bool askYesNo(const std::string& title, const std::string& question, SDL_Window* parent = nullptr);

}  // namespace zor
