// What the game reads of the keyboard and the first gamepad, without a window:
// the SDL layer implements it, tests use InputState or their own fakes.
#pragma once

#include <array>
#include <cstdint>

namespace zor {

// The game's key numbers (0..255; 0 never names a key). A printable key is its character,
// letters in lower case (space 32, "f" 102).
namespace key {
inline constexpr int Tab = 9;
inline constexpr int Return = 13;
inline constexpr int Escape = 27;
inline constexpr int Left = 28;
inline constexpr int Right = 29;
inline constexpr int Up = 30;
inline constexpr int Down = 31;
inline constexpr int Space = 32;
inline constexpr int F1 = 128;  // F1..F12 are 128..139
inline constexpr int F9 = 136;
inline constexpr int F12 = 139;
inline constexpr int Command = 140;
// Modifier pairs: both codes of a pair are down whenever either key of that kind is down.
inline constexpr int Control = 141;
inline constexpr int Control2 = 142;
inline constexpr int Option = 143;
inline constexpr int Option2 = 144;
inline constexpr int Shift = 145;
inline constexpr int Shift2 = 146;
inline constexpr int Home = 152;
inline constexpr int PageUp = 153;
inline constexpr int End = 154;
inline constexpr int PageDown = 155;
inline constexpr int Insert = 156;
inline constexpr int Delete = 157;
inline constexpr int Count = 256;
}  // namespace key

inline constexpr int kMaxGamepadButtons = 32;

// A gamepad axis as -1, 0 or 1 from its value and the range the device reports: centre
// c = (min + max) / 2, reach r = max / 2 when min is negative and c / 2 otherwise (divisions
// truncate toward zero); -1 at c - r and below, 1 at c + r and above.
inline int gamepadAxisDirection(int32_t value, int32_t min, int32_t max) {
  int64_t c = (int64_t{min} + max) / 2;
  int64_t r = min < 0 ? max / 2 : c / 2;
  if (value <= c - r) return -1;
  if (value >= c + r) return 1;
  return 0;
}

class InputSource {
 public:
  virtual ~InputSource() = default;
  // Takes the keyboard's state for this frame (window events are pumped on the way).
  virtual void examineKeyboard() {}
  // Key down by the game's key number; false for numbers outside 1..255.
  virtual bool keyDown(int code) const = 0;
  // Gamepads found at start-up; only the first one is ever read.
  virtual int gamepadCount() const { return 0; }
  // Reads the first gamepad's axes and buttons once for this frame.
  virtual void examineGamepad() = 0;
  // Axes as -1, 0 or 1; vertical -1 is up.
  virtual int gamepadAxisX() const = 0;
  virtual int gamepadAxisY() const = 0;
  // Buttons numbered from 1 (up to 32); false for other numbers.
  virtual bool gamepadButton(int button) const = 0;
};

// A plain snapshot of keyboard and gamepad: what the SDL layer fills each frame, and a
// ready fake for tests.
struct InputState final : InputSource {
  std::array<uint8_t, key::Count> keys{};                  // 1 = down
  std::array<uint8_t, kMaxGamepadButtons + 1> buttons{};  // 1..32
  int axisX = 0;
  int axisY = 0;
  int pads = 0;

  bool keyDown(int code) const override { return code > 0 && code < key::Count && keys[code] != 0; }
  int gamepadCount() const override { return pads; }
  void examineGamepad() override {}
  int gamepadAxisX() const override { return axisX; }
  int gamepadAxisY() const override { return axisY; }
  bool gamepadButton(int button) const override {
    return button >= 1 && button <= kMaxGamepadButtons && buttons[button] != 0;
  }
};

}  // namespace zor
