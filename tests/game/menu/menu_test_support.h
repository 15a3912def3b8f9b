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

struct MenuRig {
  std::unique_ptr<Game> owned;
  Game& game;
  FakeInput input;
  FailingScreen screen;
  std::vector<std::string> log;  // shell calls and screen operations in order
  std::vector<int> effects;      // effect slots played

  explicit MenuRig(std::unique_ptr<Game> g = std::make_unique<Game>()) : owned(std::move(g)), game(*owned) {
    EXPECT_TRUE(loadControlDefaults(game.controls));
    screen.log = &log;
    game.screen.output = &screen;
    game.app.soundWorks = true;
    game.app.frameTime = 10000;
    game.hooks.playEffect = [this](Game&, int slot) { effects.push_back(slot); };
    game.hooks.waitForActionRelease = [this](Game&) { log.push_back("waitAction"); };
    game.hooks.restoreMusic = [this](Game&) { log.push_back("restoreMusic"); };
    game.hooks.applyMusicSwitch = [this](Game& g) { log.push_back("musicSwitch " + std::to_string(g.prefs.music)); };
    game.hooks.fatalError = [this](Game&, const std::string& m) { log.push_back("fatal " + m); };
    game.hooks.keyDown = [this](Game&, int code) { return input.keyDown(code); };
  }

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
  std::vector<int> takeEffects() {
    std::vector<int> e = effects;
    effects.clear();
    return e;
  }
};

}  // namespace zor::testing
