// A game loaded from a small game text with the real world step, interpreter
// and queue, recording the sound effects played and the statements run.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "format/vocabulary.h"
#include "game/game.h"
#include "game/load/game_file.h"
#include "game/load/zone_loader.h"
#include "game/script/interpreter.h"
#include "game/world/bodies.h"
#include "game/world/motion.h"
#include "game/world/objects.h"
#include "game/world/world_step.h"
#include "tests/game/load/zone_test_support.h"

namespace zor::testing {

// What the trace statement saw, in order: "<num>" or "<num>@<object name>".
inline std::vector<std::string>& worldTrace() {
  static std::vector<std::string> log;
  return log;
}

// `sound` stands in as a trace statement: it records its `num` and the object.
inline StatementResult worldTraceStatement(StatementContext& ctx) {
  std::string entry = ctx.statement.attr("num");
  if (ctx.object) entry += "@" + ctx.object->name;
  worldTrace().push_back(entry);
  return StatementResult::Continue;
}

// `kill` kills the objects its `oname` names, without sound.
inline StatementResult worldKillStatement(StatementContext& ctx) {
  for (ObjectRecord* o : statementObjects(ctx)) killObject(ctx.world, ctx.scriptState, false, o, 0);
  return StatementResult::Continue;
}

// A game text with one zone "first": levels (default one unlocked level at z 0),
// zone attributes, body, and classes before the zone.
inline std::string worldGame(const std::string& body, const std::string& zoneAttrs = "",
                             const std::string& classes = "",
                             const std::string& levels = R"(<level z="0" unlocked="1"/>)") {
  return "<zorlan version=\"1\">" + classes + "<zone id=\"first\" " + zoneAttrs + "><levels>" + levels +
         "</levels>" + body + "</zone></zorlan>";
}

struct WorldHarness {
  ZoneLog log;
  std::unique_ptr<Game> game;
  StatementTable table = builtinStatementTable();
  std::vector<int32_t>& effects;  // effect slots the world asked for, in order

  // Loads zone "first" of the game text. The zone's settling is over unless
  // settling is true (landings are then quiet).
  explicit WorldHarness(const std::string& xmlText, bool settling = false)
      : game(makeGame(xmlText, log)), effects(game->world.requests.effects) {
    worldTrace().clear();
    table.define("sound", worldTraceStatement);
    table.define("kill", worldKillStatement);
    readGameData(*game);
    game->script.statements = &table;
    game->random.table.fill(game->random.generator);
    game->prefs.sound = 1;
    EXPECT_TRUE(loadZone(*game, "first", true));
    game->script.zoneEntryQuiet = settling;
  }

  World& world() { return game->world; }
  ObjectRecord& player() { return *game->world.player; }
  ObjectRecord& obj(const std::string& name) {
    for (ObjectRecord& o : game->world.objects) {
      if (o.name == name) return o;
    }
    ADD_FAILURE() << "no object " << name;
    return *game->world.player;
  }

  // One frame of motion, bodies and collisions (no areas, camera or fade).
  void bodiesFrame() {
    updateObjectMotion(game->world, game->random.table);
    stepBodies(*game);
  }
  void bodiesFrames(int n) {
    for (int i = 0; i < n; ++i) bodiesFrame();
  }

  // Puts o at rest on base (seated on its top at the given x).
  static void standOn(ObjectRecord& o, ObjectRecord& base, float x) {
    o.x = x;
    o.y = base.y + base.h;
    o.prevX = o.x;
    o.prevY = o.y;
    o.vx = 0.0f;
    o.vy = 0.0f;
    o.support = &base;
    o.flags &= ~format::flag::Airborne;
  }
};

}  // namespace zor::testing
