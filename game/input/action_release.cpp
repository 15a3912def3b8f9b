#include "game/input/action_release.h"

#include "game/game.h"
#include "platform/app_platform.h"

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

void waitForActionRelease(Game& game, AppPlatform& platform) {
  const Controls& c = game.controls;
  ControlInput& in = platform.input();
  AppState& app = game.app;
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
    if (game.screen.inWindow) takeWindowEvents(game, platform.screen());
    if (platform.quitAsked()) app.quitRequested = 1;
    if (app.quitRequested) return;
    if (game.screen.gameScreenOpen) platform.screen().flip();
    platform.sleepMs(kActionWaitSleepMs);
    platform.examineKeyboard();
  }
}

}  // namespace zor
