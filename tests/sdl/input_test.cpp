// Keyboard mapping to the game's key numbers, the modifier pairs, the gamepad
// axis rule and the first gamepad through SDL's virtual joystick.
#include "platform/sdl/sdl_input.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/sdl/sdl_events.h"
#include "sdl_test_support.h"

namespace zor {
namespace {

TEST(KeyMapping, SdlKeycodesBecomeTheGamesKeyNumbers) {
  struct Case {
    SDL_Keycode sdl;
    int game;
  } cases[] = {
      {SDLK_a, 'a'},           {SDLK_z, 'z'},           {'A', 'a'},                {SDLK_f, 102},
      {SDLK_r, 114},           {SDLK_SPACE, 32},        {SDLK_0, '0'},             {SDLK_9, '9'},
      {SDLK_MINUS, '-'},       {SDLK_SLASH, '/'},       {SDLK_BACKQUOTE, '`'},     {SDLK_RETURN, 13},
      {SDLK_KP_ENTER, 13},     {SDLK_ESCAPE, 27},       {SDLK_TAB, 9},             {SDLK_LEFT, 28},
      {SDLK_RIGHT, 29},        {SDLK_UP, 30},           {SDLK_DOWN, 31},           {SDLK_F1, 128},
      {SDLK_F9, 136},          {SDLK_F12, 139},         {SDLK_F13, 0},             {SDLK_LGUI, 140},
      {SDLK_RGUI, 140},        {SDLK_LCTRL, 141},       {SDLK_RCTRL, 142},         {SDLK_LALT, 143},
      {SDLK_RALT, 144},        {SDLK_LSHIFT, 145},      {SDLK_RSHIFT, 146},        {SDLK_HOME, 152},
      {SDLK_PAGEUP, 153},      {SDLK_END, 154},         {SDLK_PAGEDOWN, 155},      {SDLK_INSERT, 156},
      {SDLK_DELETE, 157},      {SDLK_KP_0, '0'},        {SDLK_KP_7, '7'},          {SDLK_KP_PLUS, '+'},
      {SDLK_CAPSLOCK, 0},      {SDLK_PRINTSCREEN, 0},   {SDLK_UNKNOWN, 0},         {0xE9, 0xE9},  // é
      {0x20AC, 0},  // a character beyond 255
  };
  for (const Case& c : cases) EXPECT_EQ(gameKeyFromSdlKeycode(c.sdl), c.game) << "keycode " << c.sdl;
}

TEST(KeyMapping, EveryScancodeMapsInsideTheKeyTable) {
  testing_support::DummyVideo dummy;
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  ScancodeKeyTable table = buildScancodeKeyTable();
  EXPECT_EQ(table[SDL_SCANCODE_A], 'a');
  EXPECT_EQ(table[SDL_SCANCODE_RETURN], 13);
  EXPECT_EQ(table[SDL_SCANCODE_F9], 136);
  EXPECT_EQ(table[SDL_SCANCODE_LSHIFT], 145);
  EXPECT_EQ(table[SDL_SCANCODE_DELETE], 157);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

class KeyStates : public ::testing::Test {
 protected:
  void SetUp() override {
    table_.fill(0);
    table_[SDL_SCANCODE_A] = 'a';
    table_[SDL_SCANCODE_LEFT] = key::Left;
    table_[SDL_SCANCODE_LSHIFT] = key::Shift;
    table_[SDL_SCANCODE_RCTRL] = key::Control2;
    scan_.assign(SDL_NUM_SCANCODES, 0);
  }
  std::array<uint8_t, key::Count> build(SDL_Keymod mods) {
    std::array<uint8_t, key::Count> keys;
    keys.fill(7);  // stale values must not survive
    buildKeyStates(scan_.data(), static_cast<int>(scan_.size()), mods, table_, keys);
    return keys;
  }
  ScancodeKeyTable table_{};
  std::vector<uint8_t> scan_;
};

TEST_F(KeyStates, PlainKeysFollowTheirScancodes) {
  scan_[SDL_SCANCODE_A] = 1;
  scan_[SDL_SCANCODE_LEFT] = 1;
  auto keys = build(KMOD_NONE);
  EXPECT_EQ(keys['a'], 1);
  EXPECT_EQ(keys[key::Left], 1);
  int down = 0;
  for (uint8_t k : keys) down += k;
  EXPECT_EQ(down, 2);
}

TEST_F(KeyStates, ModifierPairsComeFromTheModifierStateAlone) {
  struct Case {
    SDL_Keymod mods;
    std::vector<int> down;
  } cases[] = {
      {KMOD_LSHIFT, {key::Shift, key::Shift2}},
      {KMOD_RSHIFT, {key::Shift, key::Shift2}},
      {KMOD_LCTRL, {key::Control, key::Control2}},
      {KMOD_RALT, {key::Option, key::Option2}},
      {KMOD_LGUI, {key::Command}},
      {static_cast<SDL_Keymod>(KMOD_RGUI | KMOD_LALT), {key::Command, key::Option, key::Option2}},
      {KMOD_CAPS, {}},
  };
  // A modifier's scancode alone does not count: the modifier state decides.
  scan_[SDL_SCANCODE_LSHIFT] = 1;
  scan_[SDL_SCANCODE_RCTRL] = 1;
  for (const Case& c : cases) {
    auto keys = build(c.mods);
    for (int code = key::Command; code <= key::Shift2; ++code) {
      bool expected = std::find(c.down.begin(), c.down.end(), code) != c.down.end();
      EXPECT_EQ(keys[code] != 0, expected) << "mods " << c.mods << " code " << code;
    }
  }
}

TEST_F(KeyStates, ShortOrMissingScancodeStatesAreSafe) {
  std::array<uint8_t, key::Count> keys;
  buildKeyStates(nullptr, 500, KMOD_SHIFT, table_, keys);
  EXPECT_EQ(keys[key::Shift], 1);
  scan_[SDL_SCANCODE_A] = 1;
  buildKeyStates(scan_.data(), SDL_SCANCODE_A, KMOD_NONE, table_, keys);  // 'a' lies past the count
  EXPECT_EQ(keys['a'], 0);
}

TEST(SdlKeyboard, ModifierStateReachesTheGameThroughExamine) {
  testing_support::DummyVideo dummy;
  SdlEvents events;
  SdlInput input(events);
  ASSERT_TRUE(input.initKeyboard()) << SDL_GetError();
  SDL_SetModState(static_cast<SDL_Keymod>(KMOD_RSHIFT | KMOD_LCTRL));
  input.examineKeyboard();
  EXPECT_TRUE(input.keyDown(key::Shift));
  EXPECT_TRUE(input.keyDown(key::Shift2));
  EXPECT_TRUE(input.keyDown(key::Control));
  EXPECT_TRUE(input.keyDown(key::Control2));
  EXPECT_FALSE(input.keyDown(key::Option));
  EXPECT_FALSE(input.keyDown('a'));
  EXPECT_FALSE(input.keyDown(0));
  EXPECT_FALSE(input.keyDown(-5));
  EXPECT_FALSE(input.keyDown(256));
  SDL_SetModState(KMOD_NONE);
  input.examineKeyboard();
  EXPECT_FALSE(input.keyDown(key::Shift));
}

TEST(GamepadAxis, CentreAndReachRule) {
  struct Case {
    int32_t value, min, max;
    int expected;
  } cases[] = {
      {64, 0, 255, -1},   {65, 0, 255, 0},     {127, 0, 255, 0},    {189, 0, 255, 0},     {190, 0, 255, 1},
      {0, 0, 255, -1},    {255, 0, 255, 1},    {-32768, -32768, 32767, -1},                {-16383, -32768, 32767, -1},
      {-16382, -32768, 32767, 0},              {0, -32768, 32767, 0},                      {16382, -32768, 32767, 0},
      {16383, -32768, 32767, 1},               {32767, -32768, 32767, 1},                  {INT32_MIN, INT32_MIN, INT32_MAX, -1},
      {INT32_MAX, INT32_MIN, INT32_MAX, 1},    {0, INT32_MIN, INT32_MAX, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(gamepadAxisDirection(c.value, c.min, c.max), c.expected) << c.value << " in " << c.min << ".." << c.max;
}

class VirtualGamepad : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
  }
  void TearDown() override {
    if (pad_) SDL_JoystickClose(pad_);
    if (index_ >= 0) SDL_JoystickDetachVirtual(index_);
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  }
  void attach(int axes, int buttons) {
    index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, axes, buttons, 0);
    ASSERT_GE(index_, 0) << SDL_GetError();
    pad_ = SDL_JoystickOpen(index_);
    ASSERT_NE(pad_, nullptr) << SDL_GetError();
  }
  SdlEvents events_;
  int index_ = -1;
  SDL_Joystick* pad_ = nullptr;
};

TEST_F(VirtualGamepad, AxesAndButtonsOfTheFirstGamepad) {
  attach(2, 12);
  SdlInput input(events_);
  ASSERT_EQ(input.initGamepads(), 1);
  EXPECT_EQ(input.gamepadCount(), 1);

  struct Case {
    int16_t x, y;
    int ax, ay;
  } cases[] = {{0, 0, 0, 0},          {-32768, 0, -1, 0},    {32767, 32767, 1, 1},   {-16383, 16383, -1, 1},
               {-16382, 16382, 0, 0}, {0, -32768, 0, -1}};
  for (const Case& c : cases) {
    SDL_JoystickSetVirtualAxis(pad_, 0, c.x);
    SDL_JoystickSetVirtualAxis(pad_, 1, c.y);
    input.examineGamepad();
    EXPECT_EQ(input.gamepadAxisX(), c.ax) << c.x;
    EXPECT_EQ(input.gamepadAxisY(), c.ay) << c.y;
  }

  // Buttons are numbered from 1: SDL's button 0 is the game's button 1.
  SDL_JoystickSetVirtualButton(pad_, 0, SDL_PRESSED);
  SDL_JoystickSetVirtualButton(pad_, 11, SDL_PRESSED);
  input.examineGamepad();
  EXPECT_TRUE(input.gamepadButton(1));
  EXPECT_FALSE(input.gamepadButton(2));
  EXPECT_TRUE(input.gamepadButton(12));
  EXPECT_FALSE(input.gamepadButton(13));
  EXPECT_FALSE(input.gamepadButton(0));
  EXPECT_FALSE(input.gamepadButton(-1));
  SDL_JoystickSetVirtualButton(pad_, 0, SDL_RELEASED);
  input.examineGamepad();
  EXPECT_FALSE(input.gamepadButton(1));
  EXPECT_TRUE(input.gamepadButton(12));
}

TEST_F(VirtualGamepad, OnlyTheFirstThirtyTwoButtonsAreRead) {
  attach(2, 40);
  SdlInput input(events_);
  ASSERT_EQ(input.initGamepads(), 1);
  SDL_JoystickSetVirtualButton(pad_, 31, SDL_PRESSED);
  SDL_JoystickSetVirtualButton(pad_, 35, SDL_PRESSED);
  input.examineGamepad();
  EXPECT_TRUE(input.gamepadButton(32));
  EXPECT_FALSE(input.gamepadButton(36));
  EXPECT_FALSE(input.gamepadButton(33));
}

TEST_F(VirtualGamepad, PadWithoutAxesReadsCentred) {
  attach(0, 2);
  SdlInput input(events_);
  ASSERT_EQ(input.initGamepads(), 1);
  input.examineGamepad();
  EXPECT_EQ(input.gamepadAxisX(), 0);
  EXPECT_EQ(input.gamepadAxisY(), 0);
}

TEST_F(VirtualGamepad, NoGamepadMeansCountZeroAndNothingDown) {
  SdlInput input(events_);
  EXPECT_EQ(input.initGamepads(), 0);
  input.examineGamepad();
  EXPECT_EQ(input.gamepadAxisX(), 0);
  EXPECT_FALSE(input.gamepadButton(1));
}

TEST(InputStateFake, ReadsBackWhatWasSet) {
  InputState s;
  s.keys['f'] = 1;
  s.buttons[3] = 1;
  s.axisY = -1;
  s.pads = 1;
  InputSource& in = s;
  EXPECT_TRUE(in.keyDown('f'));
  EXPECT_FALSE(in.keyDown('g'));
  EXPECT_FALSE(in.keyDown(300));
  EXPECT_TRUE(in.gamepadButton(3));
  EXPECT_FALSE(in.gamepadButton(33));
  EXPECT_EQ(in.gamepadAxisY(), -1);
  EXPECT_EQ(in.gamepadCount(), 1);
}

}  // namespace
}  // namespace zor
