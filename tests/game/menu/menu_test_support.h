// A game with a shown menu, driven one frame at a time by a scripted keyboard
// and gamepad: each frame reads the controls as the frame loop does and runs
// the menu engine. Effects played and shell calls are logged.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/menu/menu_engine.h"
#include "game/menu/menu_screens.h"
#include "platform/input_source.h"
#include "tests/game/app/fake_app_platform.h"
#include "tests/game/audio/fake_sound_output.h"

namespace zor::testing {

// A screen whose next openings fail.
struct FailingScreen : FakeScreen {
  int failOpens = 0;
  bool openWindowed(int32_t width, int32_t height, const std::string& t) override {
    if (failOpens > 0) {
      --failOpens;
      note("openWindowed failed");
      return false;
    }
    return FakeScreen::openWindowed(width, height, t);
  }
  bool openFullScreen(int32_t width, int32_t height, const std::string& t) override {
    if (failOpens > 0) {
      --failOpens;
      note("openFullScreen failed");
      return false;
    }
    return FakeScreen::openFullScreen(width, height, t);
  }
};

// The machine under the menus: the rig's screen and keyboard; looking at the
// keyboard outside a frame (waiting for ACTION to be let go) is logged, and
// finds every key let go.
struct MenuPlatform : FakePlatform {
  ScreenOutput* rigScreen = nullptr;
  FakeInput* rigInput = nullptr;
  std::vector<std::string>* rigLog = nullptr;
  ScreenOutput& screen() override { return *rigScreen; }
  ControlInput& input() override { return *rigInput; }
  void examineKeyboard() override {
    rigLog->push_back("examineKeyboard");
    FakePlatform::examineKeyboard();
    rigInput->keys.clear();
    rigInput->buttons.clear();
  }
};

struct MenuRig {
  std::unique_ptr<Game> owned;
  Game& game;
  FakeInput input;
  FailingScreen screen;
  MenuPlatform platform;
  FakeSoundOutput sound;
  std::vector<std::string> log;  // keyboard looks and screen operations in order

  explicit MenuRig(std::unique_ptr<Game> g = std::make_unique<Game>()) : owned(std::move(g)), game(*owned) {
    EXPECT_TRUE(loadControlDefaults(game.controls));
    screen.log = &log;
    platform.rigScreen = &screen;
    platform.rigInput = &input;
    platform.rigLog = &log;
    platform.clock = 10000;
    game.platform = &platform;
    game.screen.output = &screen;
    game.sounds.attach(sound);
    sound.fillEffectSlots();
    sound.loadable.insert("pause.ogg");
    game.app.pauseMusic = sound.loadStreamedSound("pause.ogg");
    game.app.soundWorks = true;
    game.app.frameTime = 10000;
  }
  // The pause music plays as a menu opened from play leaves it.
  void playPauseMusic() { sound.play(game.app.pauseMusic, true, 35); }
  bool pauseMusicPlaying() const { return sound.isPlaying(game.app.pauseMusic); }

  // Opens the screen as a menu frame would find it.
  template <typename Builder>
  void show(Builder builder) {
    builder(game);
    game.app.menuState = menu_state::Shown;
  }

  // One menu frame with exactly these keys (and gamepad buttons) down.
  void frame(std::initializer_list<int> keys = {}, std::initializer_list<int> buttons = {}) {
    input.keys = std::set<int>(keys);
    input.buttons = std::set<int>(buttons);
    game.app.frameTime += 20;
    readControls(game.controls, input, game.app.menuState, game.app.menuScreen);
    updateMenu(game);
  }
  // A key pressed in one frame and let go in the next.
  void press(int code) {
    frame({code});
    frame();
  }
  void pressButton(int button) {
    frame({}, {button});
    frame();
  }
  // Selects a line directly and chooses it with the select key.
  void choose(int line) {
    game.menu.selected = line;
    press(key::Return);
  }

  const std::string& lineText(int n) const { return game.menu.lines.at(static_cast<size_t>(n)).text; }
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const MenuLine& l : game.menu.lines) out.push_back(l.text);
    return out;
  }
  // The effect slots played since the last call.
  std::vector<int> takeEffects() {
    std::vector<int> e = sound.playedEffects();
    sound.log.clear();
    return e;
  }
};

}  // namespace zor::testing
