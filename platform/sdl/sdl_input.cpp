#include "platform/sdl/sdl_input.h"

#include <algorithm>

#include "platform/sdl/sdl_events.h"

namespace zor {

int gameKeyFromSdlKeycode(SDL_Keycode k) {
  switch (k) {
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB: return key::Tab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return key::Return;
    case SDLK_ESCAPE: return key::Escape;
    case SDLK_LEFT: return key::Left;
    case SDLK_RIGHT: return key::Right;
    case SDLK_UP: return key::Up;
    case SDLK_DOWN: return key::Down;
    case SDLK_LGUI:
    case SDLK_RGUI: return key::Command;
    case SDLK_LCTRL: return key::Control;
    case SDLK_RCTRL: return key::Control2;
    case SDLK_LALT: return key::Option;
    case SDLK_RALT: return key::Option2;
    case SDLK_LSHIFT: return key::Shift;
    case SDLK_RSHIFT: return key::Shift2;
    case SDLK_HOME: return key::Home;
    case SDLK_PAGEUP: return key::PageUp;
    case SDLK_END: return key::End;
    case SDLK_PAGEDOWN: return key::PageDown;
    case SDLK_INSERT: return key::Insert;
    case SDLK_DELETE: return key::Delete;
    case SDLK_KP_DIVIDE: return '/';
    case SDLK_KP_MULTIPLY: return '*';
    case SDLK_KP_MINUS: return '-';
    case SDLK_KP_PLUS: return '+';
    case SDLK_KP_PERIOD: return '.';
    case SDLK_KP_EQUALS: return '=';
    case SDLK_KP_0: return '0';
    default: break;
  }
  if (k >= SDLK_F1 && k <= SDLK_F12) return key::F1 + (k - SDLK_F1);
  if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return '1' + (k - SDLK_KP_1);
  // Printable keys are their character, letters in lower case.
  if (k >= 'A' && k <= 'Z') return k - 'A' + 'a';
  if (k >= 32 && k <= 126) return k;
  if (k >= 160 && k <= 255) return k;
  return 0;
}

ScancodeKeyTable buildScancodeKeyTable() {
  ScancodeKeyTable table{};
  for (int s = 0; s < SDL_NUM_SCANCODES; ++s)
    table[s] = static_cast<uint8_t>(gameKeyFromSdlKeycode(SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(s))));
  return table;
}

namespace {
bool isModifierCode(int code) { return code >= key::Command && code <= key::Shift2; }
}  // namespace

void buildKeyStates(const uint8_t* scancodeStates, int scancodeCount, SDL_Keymod modifiers,
                    const ScancodeKeyTable& table, std::array<uint8_t, key::Count>& keys) {
  keys.fill(0);
  int n = std::min(scancodeCount, static_cast<int>(SDL_NUM_SCANCODES));
  for (int s = 0; s < n && scancodeStates != nullptr; ++s) {
    if (!scancodeStates[s]) continue;
    int code = table[s];
    if (code != 0 && !isModifierCode(code)) keys[code] = 1;
  }
  if (modifiers & KMOD_GUI) keys[key::Command] = 1;
  if (modifiers & KMOD_CTRL) keys[key::Control] = keys[key::Control2] = 1;
  if (modifiers & KMOD_ALT) keys[key::Option] = keys[key::Option2] = 1;
  if (modifiers & KMOD_SHIFT) keys[key::Shift] = keys[key::Shift2] = 1;
}

SdlInput::~SdlInput() {
  if (pad_ != nullptr) SDL_JoystickClose(pad_);
  if (joystickStarted_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  if (videoStarted_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlInput::initKeyboard() {
  if (!videoStarted_) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    videoStarted_ = true;
  }
  scanTable_ = buildScancodeKeyTable();
  state_.keys.fill(0);
  return true;
}

int SdlInput::initGamepads() {
  if (!joystickStarted_) {
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return state_.pads = 0;
    joystickStarted_ = true;
  }
  if (pad_ != nullptr) {
    SDL_JoystickClose(pad_);
    pad_ = nullptr;
  }
  state_.pads = std::max(SDL_NumJoysticks(), 0);
  if (state_.pads > 0) pad_ = SDL_JoystickOpen(0);
  return state_.pads;
}

void SdlInput::examineKeyboard() {
  events_.pump();
  if (events_.takeKeymapChanged() && videoStarted_) scanTable_ = buildScancodeKeyTable();
  int count = 0;
  const Uint8* scan = SDL_GetKeyboardState(&count);
  buildKeyStates(scan, count, SDL_GetModState(), scanTable_, state_.keys);
}

void SdlInput::examineGamepad() {
  state_.axisX = state_.axisY = 0;
  state_.buttons.fill(0);
  if (pad_ == nullptr) return;
  SDL_JoystickUpdate();
  // SDL reports every axis in the range -32768..32767.
  int axes = SDL_JoystickNumAxes(pad_);
  if (axes > 0) state_.axisX = gamepadAxisDirection(SDL_JoystickGetAxis(pad_, 0), -32768, 32767);
  if (axes > 1) state_.axisY = gamepadAxisDirection(SDL_JoystickGetAxis(pad_, 1), -32768, 32767);
  int buttons = std::min(SDL_JoystickNumButtons(pad_), kMaxGamepadButtons);
  for (int b = 1; b <= buttons; ++b) state_.buttons[b] = SDL_JoystickGetButton(pad_, b - 1) ? 1 : 0;
}

}  // namespace zor
