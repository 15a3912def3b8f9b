#include "game/input/controls.h"

namespace zor {

const ControlKeyRecord kControlKeyTable[kControlCount] = {
    {28, 0, '<', "LEFT", "MOVE LEFT"},
    {29, 0, '>', "RIGHT", "MOVE RIGHT"},
    {102, 0, 'F', "F", "FULLSCREEN"},
    {115, 0, 'S', "S", "TOGGLE SOUND"},
    {109, 0, 'M', "M", "TOGGLE MUSIC"},
    {136, 0, '9', "F9", "SCREENSHOT"},
    {32, 2, 'S', "SPACE (JUMP)", "JUMP"},
    {13, 1, 'E', "ENTER (ACTION)", "ACTION KEY"},
    {30, 5, '^', "UP (LEAP OUT)", "LEAP OUT"},
    {31, 6, '\\', "DOWN (LEAP IN)", "LEAP IN"},
    {145, 8, 'S', "SHIFT (ZOOM)", "ZOOM"},
    {114, 4, 'R', "R (RESET)", "RESET"},
    {27, 10, 'E', "ESCAPE (PAUSE)", "PAUSE"},
};

bool loadControlDefaults(Controls& controls) {
  for (int i = 0; i < kControlCount; ++i) {
    const ControlKeyRecord& r = kControlKeyTable[i];
    controls.keyCodes[i] = r.keyCode;
    if (r.keyCode == 0) return false;
    controls.buttons[i] = r.button;
    controls.glyphs[i] = r.glyph;
    controls.keyNames[i] = r.keyName;
    controls.actionNames[i] = r.actionName;
  }
  return true;
}

void readControls(Controls& c, ControlInput& input, int menuState, int menuScreen) {
  c.previousColumn = c.currentColumn;
  c.currentColumn = 1 - c.currentColumn;
  const int col = c.currentColumn;

  for (int i = 0; i < kControlCount; ++i) {
    int code = c.keyCodes[i];
    c.table[i][col] = (code > 0 && code < 256 && input.keyDown(code)) ? 1 : 0;
  }
  if (input.keyDown(146)) c.table[control::Zoom][col] = 1;

  if (menuScreen == menu_screen::Keyboard) {
    for (int k = 0; k < 256; ++k) {
      uint8_t v = static_cast<uint8_t>(c.keyCaptureStates[k] >> 1);
      if (input.keyDown(k)) v |= 2;
      c.keyCaptureStates[k] = v;
    }
  }

  if (c.gamepadCount == 0) return;
  input.examineGamepad();
  int ax = input.gamepadAxisX();
  int ay = input.gamepadAxisY();
  if (ax == 1) c.table[control::Right][col] = 1;
  if (ax == -1) c.table[control::Left][col] = 1;

  auto buttonDown = [&](int b) { return b > 0 && input.gamepadButton(b); };
  if (menuState == 0 || menuState == 1) {
    if (c.joystickLeap != 0) {
      int d = c.joystickLeap == 1 ? 1 : -1;
      if (ay == -d) c.table[control::LeapOut][col] = 1;
      if (ay == d) c.table[control::LeapIn][col] = 1;
    }
    for (int i = 6; i <= 12; ++i) {
      if (buttonDown(c.buttons[i])) c.table[i][col] = 1;
    }
  } else {
    if (ay == -1) c.table[control::LeapOut][col] = 1;
    if (ay == 1) c.table[control::LeapIn][col] = 1;
    if (menuScreen == menu_screen::Configure) {
      for (int b = 1; b <= 20; ++b) c.padButtonStates[b][col] = input.gamepadButton(b) ? 1 : 0;
    } else {
      if (buttonDown(c.buttons[control::Jump])) c.table[control::Action][col] = 1;
      if (buttonDown(c.buttons[control::Action])) c.table[control::Pause][col] = 1;
      if (buttonDown(c.buttons[control::Pause])) c.table[control::Pause][col] = 1;
    }
  }
}

void snapshotControls(Controls& c) {
  for (int i = 0; i < kControlCount; ++i) c.snapshot[i] = c.table[i][c.currentColumn];
}

void latchInputStates(Controls& c) {
  for (int i = 0; i < kControlCount; ++i) {
    if (isRecordedControl(i)) c.table[i][c.currentColumn] = c.snapshot[i];
  }
}

void setAllControls(Controls& c, int32_t value) {
  for (int i = 0; i < kControlCount; ++i) {
    c.table[i][0] = value;
    c.table[i][1] = value;
  }
}

}  // namespace zor
