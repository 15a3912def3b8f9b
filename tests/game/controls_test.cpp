#include "game/input/controls.h"

#include <gtest/gtest.h>

#include <set>

namespace zor {
namespace {

struct FakeInput : ControlInput {
  std::set<int> keys;
  int ax = 0, ay = 0;
  std::set<int> buttons;
  bool keyDown(int code) const override { return keys.count(code) != 0; }
  void examineGamepad() override {}
  int gamepadAxisX() const override { return ax; }
  int gamepadAxisY() const override { return ay; }
  bool gamepadButton(int b) const override { return buttons.count(b) != 0; }
};

struct ControlsTest : ::testing::Test {
  Controls c;
  FakeInput in;
  void SetUp() override { ASSERT_TRUE(loadControlDefaults(c)); }
  void frame(int menuState = 0, int menuScreen = 0) { readControls(c, in, menuState, menuScreen); }
};

TEST_F(ControlsTest, DefaultsMatchTheBuiltInTable) {
  EXPECT_EQ(c.keyCodes[control::Screenshot], 136);
  EXPECT_EQ(c.buttons[control::Pause], 10);
  EXPECT_EQ(c.glyphs[control::LeapIn], '\\');
  EXPECT_EQ(c.keyNames[control::Action], "ENTER (ACTION)");
  EXPECT_EQ(c.actionNames[control::FullScreen], "FULLSCREEN");
}

TEST_F(ControlsTest, HeldKeyIsNewlyPressedInExactlyOneFrame) {
  in.keys = {32};
  int pressedFrames = 0;
  for (int f = 0; f < 5; ++f) {
    frame();
    EXPECT_TRUE(c.held(control::Jump));
    pressedFrames += c.pressed(control::Jump);
  }
  EXPECT_EQ(pressedFrames, 1);
  in.keys.clear();
  frame();
  EXPECT_FALSE(c.held(control::Jump));
}

TEST_F(ControlsTest, ShiftHoldsZoomWhateverKeyZoomHas) {
  c.keyCodes[control::Zoom] = 122;
  in.keys = {146};
  frame();
  EXPECT_TRUE(c.held(control::Zoom));
}

TEST_F(ControlsTest, StickLeapsFollowTheSettingInPlayButNotInMenus) {
  c.gamepadCount = 1;
  c.joystickLeap = 2;  // invert
  in.ay = 1;           // down
  frame(0);
  EXPECT_TRUE(c.held(control::LeapOut));
  EXPECT_FALSE(c.held(control::LeapIn));
  frame(2);
  EXPECT_TRUE(c.held(control::LeapIn));
  EXPECT_FALSE(c.held(control::LeapOut));
  c.joystickLeap = 0;
  frame(0);
  EXPECT_FALSE(c.held(control::LeapIn));
  EXPECT_FALSE(c.held(control::LeapOut));
}

TEST_F(ControlsTest, GamepadButtonsSelectAndBackOutInMenus) {
  c.gamepadCount = 1;
  in.buttons = {2};  // jump's button
  frame(0);
  EXPECT_TRUE(c.held(control::Jump));
  EXPECT_FALSE(c.held(control::Action));
  frame(2);
  EXPECT_TRUE(c.held(control::Action));
  EXPECT_FALSE(c.held(control::Jump));
  in.buttons = {1};  // action's button backs out
  frame(2);
  EXPECT_TRUE(c.held(control::Pause));
}

TEST_F(ControlsTest, SetAllControlsDecidesWhatCountsAsNewlyPressed) {
  setAllControls(c, 1);
  in.keys = {32, 13};
  frame();
  EXPECT_FALSE(c.pressed(control::Jump));
  setAllControls(c, 0);
  frame();
  EXPECT_TRUE(c.pressed(control::Jump));
  EXPECT_TRUE(c.pressed(control::Action));
}

TEST_F(ControlsTest, KeyCaptureHeldSinceOpeningNeverReadsAsNewlyPressed) {
  c.keyCaptureStates.fill(3);
  in.keys = {120};
  for (int f = 0; f < 3; ++f) {
    frame(2, menu_screen::Keyboard);
    EXPECT_EQ(c.keyCaptureStates[120], 3);
  }
  in.keys.clear();
  frame(2, menu_screen::Keyboard);
  EXPECT_EQ(c.keyCaptureStates[120], 1);
  in.keys = {120};
  frame(2, menu_screen::Keyboard);
  EXPECT_EQ(c.keyCaptureStates[120], 2);
}

TEST_F(ControlsTest, LatchRestoresOnlyTheRecordedControls) {
  in.keys = {32, 27};  // jump and pause held as the menu opens
  frame();
  snapshotControls(c);
  in.keys = {13};  // action pressed in the menu, jump released
  frame(2);
  latchInputStates(c);
  EXPECT_TRUE(c.held(control::Jump));      // restored from the snapshot
  EXPECT_FALSE(c.held(control::Action));   // pressed in the menu: not held in play
  EXPECT_FALSE(c.held(control::Pause));    // pause keeps its own state
}

}  // namespace
}  // namespace zor
