// Keyboard and the first gamepad over SDL, by the game's key numbers and
// gamepad rules (platform/input_source.h).
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>

#include "platform/input_source.h"

namespace zor {

class SdlEvents;

// The game's key number for an SDL key code, 0 when the key has none.
int gameKeyFromSdlKeycode(SDL_Keycode keycode);

// Game key number of every SDL scancode under the current keyboard layout.
using ScancodeKeyTable = std::array<uint8_t, SDL_NUM_SCANCODES>;
ScancodeKeyTable buildScancodeKeyTable();

// The game's key states from SDL's scancode states and modifier state. The modifier keys
// come from the modifier state alone, and both codes of a pair are down whenever either
// key of that kind is.
void buildKeyStates(const uint8_t* scancodeStates, int scancodeCount, SDL_Keymod modifiers,
                    const ScancodeKeyTable& table, std::array<uint8_t, key::Count>& keys);

class SdlInput final : public InputSource {
 public:
  explicit SdlInput(SdlEvents& events) : events_(events) {}
  ~SdlInput() override;
  SdlInput(const SdlInput&) = delete;
  SdlInput& operator=(const SdlInput&) = delete;

  // Starts SDL's video and event handling for the keyboard; false when that fails.
  bool initKeyboard();
  // Starts SDL's joystick handling, counts the gamepads and opens the first one.
  // Returns the count (0 when joysticks are unavailable).
  int initGamepads();

  void examineKeyboard() override;
  bool keyDown(int code) const override { return state_.keyDown(code); }
  int gamepadCount() const override { return state_.pads; }
  void examineGamepad() override;
  int gamepadAxisX() const override { return state_.axisX; }
  int gamepadAxisY() const override { return state_.axisY; }
  bool gamepadButton(int button) const override { return state_.gamepadButton(button); }

  const InputState& state() const { return state_; }

 private:
  SdlEvents& events_;
  InputState state_;
  ScancodeKeyTable scanTable_{};
  bool videoStarted_ = false;
  bool joystickStarted_ = false;
  SDL_Joystick* pad_ = nullptr;
};

}  // namespace zor
