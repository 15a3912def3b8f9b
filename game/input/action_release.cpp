#include "game/input/action_release.h"

#include "game/game.h"
#include "platform/app_platform.h"
#include "platform/input_source.h"

namespace zor {

namespace {

constexpr uint32_t kActionWaitSleepMs = 15;
// A pass never takes more window events than this, so a flood cannot hold it.
constexpr int kMaxWindowEventsPerPass = 4096;

}  // namespace

void takeWindowEvents(Game& game, ScreenOutput& screen) {
  for (int i = 0; i < kMaxWindowEventsPerPass; ++i) {
    const WindowEvent e = screen.nextWindowEvent();
    if (e == WindowEvent::None) break;
    if (e == WindowEvent::Close) game.app.quitRequested = 1;
  }
}

bool quitKeysDown(const InputSource& in) {
  return in.keyDown(kQuitKey) && (in.keyDown(key::Control) || in.keyDown(key::Control2));
}

bool takeQuitRequests(Game& game, AppPlatform& platform) {
  AppState& app = game.app;
  if (game.screen.inWindow) takeWindowEvents(game, platform.screen());
  if (platform.quitAsked() || quitKeysDown(platform.input())) app.quitRequested = 1;
  return app.quitRequested != 0;
}

void waitForActionRelease(Game& game, AppPlatform& platform) {
  const Controls& c = game.controls;
  ControlInput& in = platform.input();
  auto held = [&]() {
    if (in.keyDown(c.keyCodes[control::Action])) return true;
    if (c.gamepadCount <= 0) return false;
    in.examineGamepad();
    const int32_t action = c.buttons[control::Action];
    const int32_t jump = c.buttons[control::Jump];
    return (action != 0 && in.gamepadButton(action)) || (jump != 0 && in.gamepadButton(jump));
  };
  platform.examineKeyboard();
  while (held()) {
    // A key that the window system reports held for good must not keep the player in.
    if (takeQuitRequests(game, platform)) return;
    if (game.screen.gameScreenOpen) platform.screen().flip();
    platform.sleepMs(kActionWaitSleepMs);
    platform.examineKeyboard();
  }
}

}  // namespace zor
