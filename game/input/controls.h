// The control table: 13 controls, each with a key code, a gamepad button and
// its down state in this frame and the previous one.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// The menu screens' ids (a vocabulary header): the keyboard and gamepad
// screens change how input is read.
#include "game/menu/menu_screen_ids.h"
#include "platform/input_source.h"

namespace zor {

inline constexpr int kControlCount = 13;

// Control numbers, in the fixed order used everywhere (preference keys, run files).
namespace control {
inline constexpr int Left = 0;
inline constexpr int Right = 1;
inline constexpr int FullScreen = 2;
inline constexpr int Sound = 3;
inline constexpr int Music = 4;
inline constexpr int Screenshot = 5;
inline constexpr int Jump = 6;
inline constexpr int Action = 7;
inline constexpr int LeapOut = 8;
inline constexpr int LeapIn = 9;
inline constexpr int Zoom = 10;
inline constexpr int Reset = 11;
inline constexpr int Pause = 12;
}  // namespace control

struct ControlKeyRecord {
  int32_t keyCode;
  int32_t button;
  char glyph;
  const char* keyName;
  const char* actionName;
};

// Reading the controls needs the keyboard and the first gamepad, as the
// platform layer offers them (tests implement it with plain tables).
using ControlInput = InputSource;

// The built-in defaults, in control order.
extern const ControlKeyRecord kControlKeyTable[kControlCount];


struct Controls {
  std::array<int32_t, kControlCount> keyCodes{};
  std::array<int32_t, kControlCount> buttons{};
  std::array<char, kControlCount> glyphs{};
  std::array<std::string, kControlCount> keyNames;
  std::array<std::string, kControlCount> actionNames;

  int32_t table[kControlCount][2] = {};  // states by control and column
  int currentColumn = 0;
  int previousColumn = 1;
  std::array<int32_t, kControlCount> snapshot{};

  std::array<uint8_t, 256> keyCaptureStates{};
  uint8_t padButtonStates[21][2] = {};  // buttons 1..20

  int32_t joystickLeap = 1;  // 0 off, 1 on, 2 invert
  int32_t gamepadCount = 0;

  bool held(int c) const { return table[c][currentColumn] != 0; }
  bool pressed(int c) const { return table[c][currentColumn] != 0 && table[c][previousColumn] == 0; }
  // Marks a control as held so that it does not count as newly pressed again this frame.
  void markHeld(int c) { table[c][previousColumn] = 1; }
};

// Fills key codes, buttons, glyphs and names from the built-in table; false when
// a record has key code 0.
bool loadControlDefaults(Controls& controls);
// Reads keyboard and gamepad into the control table (once at the start of every frame).
void readControls(Controls& controls, ControlInput& input, int menuState, int menuScreen);
// Copies this frame's states of all controls into the snapshot (a menu opens).
void snapshotControls(Controls& controls);
// Opening the pause menu: snapshots the controls and keeps ACTION from counting
// as a new press for the rest of the frame.
inline void holdControlsForPause(Controls& controls) {
  snapshotControls(controls);
  controls.markHeld(control::Action);
}
// Puts the snapshot of the recorded controls (0, 1, 6..11) back into this frame's column.
void latchInputStates(Controls& controls);
// Writes the value into both columns of every control.
void setAllControls(Controls& controls, int32_t value);
// True for the controls that run files record and menus preserve.
inline bool isRecordedControl(int c) { return c == 0 || c == 1 || (c >= 6 && c <= 11); }

}  // namespace zor
