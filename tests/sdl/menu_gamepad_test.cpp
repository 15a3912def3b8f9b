// The gamepad menus with a virtual gamepad read through the SDL input layer:
// detection from the settings, then the button configuration of the seven
// gamepad controls, written to the preference file.
#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "game/game.h"
#include "game/menu/menu_engine.h"
#include "game/menu/menu_screens.h"
#include "platform/files.h"
#include "platform/sdl/sdl_events.h"
#include "platform/sdl/sdl_input.h"
#include "tests/game/app/fake_app_platform.h"
#include "tests/game/app/temp_folder.h"

namespace zor {
namespace {

// The control table reads the SDL input through this view; the keyboard is a plain set.
class PadOverSdl final : public ControlInput {
 public:
  explicit PadOverSdl(SdlInput& input) : input_(input) {}
  bool keyDown(int code) const override { return code > 0 && code < key::Count && keys[code] != 0; }
  void examineGamepad() override { input_.examineGamepad(); }
  int gamepadAxisX() const override { return input_.gamepadAxisX(); }
  int gamepadAxisY() const override { return input_.gamepadAxisY(); }
  bool gamepadButton(int button) const override { return input_.gamepadButton(button); }
  std::array<uint8_t, key::Count> keys{};

 private:
  SdlInput& input_;
};

// The machine whose gamepads the SDL input layer detects.
struct PadPlatform : testing::FakePlatform {
  std::function<int32_t()> detect;
  int32_t countGamepads() override { return detect(); }
};

class MenuGamepad : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    ASSERT_TRUE(loadControlDefaults(game_.controls));
    game_.session.prefsPath = folder_ / "zordata/saves/pref-mac.ini";
    game_.app.frameTime = 5000;
    game_.app.soundWorks = true;
    game_.prefs.sound = 0;
    platform_.detect = [this] { return input_->initGamepads(); };
    game_.platform = &platform_;
    showSettingsMenu(game_);
    game_.app.menuState = menu_state::Shown;
  }
  void TearDown() override {
    // The input layer lets go of the gamepad before the gamepad goes away.
    view_.reset();
    input_.reset();
    if (pad_) SDL_JoystickClose(pad_);
    if (index_ >= 0) SDL_JoystickDetachVirtual(index_);
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  }
  void attach(int buttons) {
    index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, buttons, 0);
    ASSERT_GE(index_, 0) << SDL_GetError();
    pad_ = SDL_JoystickOpen(index_);
    ASSERT_NE(pad_, nullptr) << SDL_GetError();
  }
  // One menu frame with these keys and gamepad buttons (numbered from 1) down.
  void frame(std::initializer_list<int> keys = {}, std::initializer_list<int> buttons = {}) {
    view_->keys.fill(0);
    for (int k : keys) view_->keys[static_cast<size_t>(k)] = 1;
    if (pad_) {
      for (int b = 0; b < SDL_JoystickNumButtons(pad_); ++b) SDL_JoystickSetVirtualButton(pad_, b, SDL_RELEASED);
      for (int b : buttons) SDL_JoystickSetVirtualButton(pad_, b - 1, SDL_PRESSED);
    }
    game_.app.frameTime += 20;
    readControls(game_.controls, *view_, game_.app.menuState, game_.app.menuScreen);
    updateMenu(game_);
  }
  void pressKey(int k) {
    frame({k});
    frame();
  }
  void pressButton(int b) {
    frame({}, {b});
    frame();
  }
  const std::string& line(int n) const { return game_.menu.lines.at(static_cast<size_t>(n)).text; }
  std::string prefs() const {
    std::string s;
    files::readFile(game_.session.prefsPath, s, 1 << 16);
    return s;
  }

  testing::TempFolder folder_;
  SdlEvents events_;
  std::unique_ptr<SdlInput> input_ = std::make_unique<SdlInput>(events_);
  std::unique_ptr<PadOverSdl> view_ = std::make_unique<PadOverSdl>(*input_);
  PadPlatform platform_;
  Game game_;
  int index_ = -1;
  SDL_Joystick* pad_ = nullptr;
};

TEST_F(MenuGamepad, DetectedFromSettingsThenEveryButtonConfigured) {
  // No gamepad yet: detection fails.
  game_.menu.selected = 2;
  ASSERT_EQ(line(2), "DETECT GAMEPAD");
  pressKey(key::Return);
  EXPECT_EQ(line(2), "TRY AGAIN");
  EXPECT_EQ(game_.controls.gamepadCount, 0);

  // Plugged in: detected, then its screen; the stick moves the selection.
  attach(16);
  pressKey(key::Return);
  EXPECT_EQ(line(2), "GAMEPAD SETUP");
  EXPECT_EQ(game_.controls.gamepadCount, 1);
  pressKey(key::Return);
  ASSERT_EQ(game_.app.menuScreen, menu_screen::Gamepad);
  SDL_JoystickSetVirtualAxis(pad_, 1, 32767);
  frame();
  SDL_JoystickSetVirtualAxis(pad_, 1, 0);
  frame();
  EXPECT_EQ(game_.menu.selected, 1);
  SDL_JoystickSetVirtualAxis(pad_, 1, -32768);
  frame();
  SDL_JoystickSetVirtualAxis(pad_, 1, 0);
  frame();
  EXPECT_EQ(game_.menu.selected, 0);

  // The pad's jump button (2 by default) selects CONFIGURATION.
  pressButton(2);
  ASSERT_EQ(game_.app.menuScreen, menu_screen::Configure);
  EXPECT_EQ(line(1), "SPACE (JUMP)");

  // JUMP, ACTION, LEAP OUT, LEAP IN; ZOOM skipped with R; RESET, PAUSE.
  for (int b : {12, 3, 15, 16}) pressButton(b);
  pressKey(114);
  EXPECT_EQ(line(1), "R (RESET)");
  pressButton(1);
  EXPECT_EQ(prefs(), "");
  pressButton(7);
  EXPECT_EQ(game_.app.menuScreen, menu_screen::Gamepad);

  const int expected[kControlCount] = {0, 0, 0, 0, 0, 0, 12, 3, 15, 16, 0, 1, 7};
  for (int i = 0; i < kControlCount; ++i) EXPECT_EQ(game_.controls.buttons[static_cast<size_t>(i)], expected[i]) << i;
  EXPECT_NE(prefs().find("ButtonMap06 = 12\nButtonMap07 = 3\nButtonMap08 = 15\nButtonMap09 = 16\n"
                         "ButtonMap10 = 0\nButtonMap11 = 1\nButtonMap12 = 7\n"),
            std::string::npos)
      << prefs();

  // In the menus the new jump button selects and the new action button backs out.
  game_.menu.selected = 1;
  pressButton(12);
  EXPECT_EQ(line(1), "USE ^\\ TO LEAP: INVERT");
  pressButton(3);
  EXPECT_EQ(game_.app.menuScreen, menu_screen::Settings);
}

TEST_F(MenuGamepad, AButtonPressedWithPauseCannotOverwriteIt) {
  attach(12);
  game_.controls.gamepadCount = input_->initGamepads();
  ASSERT_EQ(game_.controls.gamepadCount, 1);
  showButtonSetupMenu(game_);
  // Held at entry: nothing is taken until every button is up.
  frame({}, {4});
  frame({}, {4});
  EXPECT_EQ(game_.menu.captureIndex, control::Jump);
  frame();
  for (int b : {1, 2, 3, 4, 5, 6}) pressButton(b);
  ASSERT_EQ(game_.menu.captureIndex, control::Pause);
  frame({}, {8, 11});
  EXPECT_EQ(game_.controls.buttons[control::Pause], 8);
  EXPECT_EQ(game_.controls.buttons[control::Reset], 6);
  EXPECT_EQ(game_.app.menuScreen, menu_screen::Gamepad);
  EXPECT_NE(prefs().find("ButtonMap12 = 8\n"), std::string::npos) << prefs();
}

}  // namespace
}  // namespace zor
