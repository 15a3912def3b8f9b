// A game loaded from a small game text with the real interpreter, queue
// service, world step and player-control step, stepped frame by frame with
// chosen controls. The `sound` statement stands in as a trace (see
// script_test_support.h); effects, menus and pause music are recorded.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "game/app/frame_loop.h"
#include "game/game.h"
#include "game/input/controls.h"
#include "game/load/zone_loader.h"
#include "game/script/interpreter.h"
#include "game/script/queue_runner.h"
#include "game/world/objects.h"
#include "game/world/player_control.h"
#include "game/world/world_step.h"
#include "tests/game/load/zone_test_support.h"
#include "tests/game/script/script_test_support.h"

namespace zor::testing {

struct PlayHarness {
  ZoneLog log;
  std::unique_ptr<Game> game;
  StatementTable table = builtinStatementTable();
  std::vector<int32_t>& effects;    // effect slots play asked for, in order
  std::vector<std::string> calls;   // "mainMenu", "runMenu", "pauseMusic" as the pause opened them
  int blinks = 0;                   // player blinks the frame loop was asked for

  // With `layout`, the zone load lays the records out so.
  explicit PlayHarness(const std::string& xmlText, ObjectLayout layout = ObjectLayout::MovingApart)
      : game(makeGame(xmlText, log)), effects(game->world.requests.effects) {
    game->world.objectLayout = layout;
    traceLog().clear();
    table.define("sound", traceStatement);
    Game& g = *game;
    g.script.statements = &table;
    g.random.table.fill(g.random.generator);
    g.prefs.sound = 1;
    log.sound.loadable.insert("pause.ogg");
    g.app.pauseMusic = log.sound.loadStreamedSound("pause.ogg");
    g.app.frameTime = 1000;
    EXPECT_TRUE(loadZone(g, "first", false));
    effects.clear();
  }

  Game& g() { return *game; }
  World& world() { return game->world; }
  ObjectRecord& player() { return *game->world.player; }
  ObjectRecord* object(const std::string& name) { return findObject(game->world, name); }
  std::vector<std::string> trace() const { return traceLog(); }

  // This frame's controls, as reading them would leave the table: the columns
  // swap and the held controls are down in the new current column.
  void input(std::initializer_list<int> held) { input(std::vector<int>(held)); }
  void input(const std::vector<int>& held) {
    Controls& c = game->controls;
    c.previousColumn = c.currentColumn;
    c.currentColumn = 1 - c.currentColumn;
    for (auto& row : c.table) row[c.currentColumn] = 0;
    for (int h : held) c.table[h][c.currentColumn] = 1;
  }

  // The frame loop's answer to a pause that play asked for: the pause menu
  // opens, and what it opened is recorded.
  void actOnPause() {
    Game& g = *game;
    if (!std::exchange(g.world.requests.pause, false) || g.app.menuState != menu_state::Playing) return;
    openPauseMenu(g);
    calls.push_back(g.app.menuScreen == menu_screen::RunPause ? "runMenu" : "mainMenu");
    if (log.sound.isPlaying(g.app.pauseMusic)) calls.push_back("pauseMusic");
  }

  // The requests of the frame's end that play depends on.
  void endOfFrame() {
    AppState& app = game->app;
    if (app.controlsActive) game->script.zoneEntryQuiet = false;
    if (app.playerBlinkPending) {
      ++blinks;
      app.playerBlinkPending = 0;
    }
  }

  // One game frame: player control, then the world step.
  void frame(std::initializer_list<int> held = {}) { frame(std::vector<int>(held)); }
  void frame(const std::vector<int>& held) {
    input(held);
    game->app.frameTime += 16;
    stepPlayerControls(*game);
    stepWorld(*game);
    actOnPause();
    endOfFrame();
  }
  void frames(int n, std::initializer_list<int> held = {}) {
    for (int i = 0; i < n; ++i) frame(held);
  }
};

// A game text with one zone "first" (attributes `zoneAttrs`), levels at z 0
// and 50 (`levels` replaces them), the entrance at 0,0 on level 0, and `extra`
// (blocks, areas, scripts) inside the zone.
inline std::string playZone(const std::string& extra, const std::string& zoneAttrs = "",
                            const std::string& levels =
                                "<level z=\"0\" color=\"102030\"/><level z=\"50\" color=\"405060\" unlocked=\"1\"/>") {
  return "<zorlan version=\"1\"><zone id=\"first\" " + zoneAttrs + "><levels>" + levels +
         "</levels><entrance x=\"0\" y=\"0\" level=\"0\"/>" + extra + "</zone></zorlan>";
}

// A solid floor on level 0 whose top is at y 0.
inline constexpr const char* kFloor = "<block x=\"-500\" y=\"-20\" w=\"1000\" h=\"20\" level=\"0\" flg=\"solid\"/>";

// A small repeatable random source for zones and input made up by tests.
struct Rng {
  uint32_t state;
  uint32_t next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
  int range(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<uint32_t>(hi - lo + 1)); }
};

// The controls held in one frame of random play: right in `rights` chances of
// rights + 3, left in one, none in two; now and then a jump or a leap.
inline std::vector<int> randomInput(Rng& r, uint32_t rights) {
  const uint32_t v = r.next();
  const uint32_t way = (v >> 4) % (rights + 3);
  std::vector<int> held;
  if (way < rights) {
    held.push_back(control::Right);
  } else if (way == rights) {
    held.push_back(control::Left);
  }
  if ((v & 7) == 0) held.push_back(control::Jump);
  if ((v & 31) == 9) held.push_back(control::LeapOut);
  if ((v & 31) == 17) held.push_back(control::LeapIn);
  return held;
}

}  // namespace zor::testing
