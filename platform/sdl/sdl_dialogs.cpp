#include "platform/sdl/sdl_dialogs.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zor {

namespace {

bool headlessDriver(const char* name) {
  return name != nullptr && (SDL_strcasecmp(name, "dummy") == 0 || SDL_strcasecmp(name, "offscreen") == 0);
}

bool emptyEnv(const char* name) {
  const char* v = std::getenv(name);
  return v == nullptr || *v == '\0';
}

void toConsole(const std::string& title, const std::string& text, const char* note) {
  std::fprintf(stderr, "%s: %s%s\n", title.c_str(), text.c_str(), note);
  std::fflush(stderr);
}

}  // namespace

bool dialogsUseConsole() {
  if (const char* current = SDL_GetCurrentVideoDriver()) return headlessDriver(current);
  // Video is not started: go by what it would start with.
  if (headlessDriver(SDL_GetHint(SDL_HINT_VIDEODRIVER))) return true;
#if defined(__unix__) && !defined(__APPLE__) && !defined(__ANDROID__)
  if (emptyEnv("DISPLAY") && emptyEnv("WAYLAND_DISPLAY")) return true;
#endif
  return false;
}

void showMessageBox(const std::string& title, const std::string& text, SDL_Window* parent) {
  if (!dialogsUseConsole() &&
      SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title.c_str(), text.c_str(), parent) == 0)
    return;
  toConsole(title, text, "");
}

bool askYesNo(const std::string& title, const std::string& question, SDL_Window* parent) {
  if (!dialogsUseConsole()) {
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
    };
    SDL_MessageBoxData data{};
    data.flags = SDL_MESSAGEBOX_INFORMATION;
    data.window = parent;
    data.title = title.c_str();
    data.message = question.c_str();
    data.numbuttons = 2;
    data.buttons = buttons;
    int answer = -1;
    if (SDL_ShowMessageBox(&data, &answer) == 0) return answer == 1;
  }
  toConsole(title, question, " (answered No)");
  return false;
}

}  // namespace zor
