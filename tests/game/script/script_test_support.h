// A game loaded from a small game text with the real interpreter and queue
// service, plus a trace statement to watch the order in which scripts run.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "format/vocabulary.h"
#include "game/game.h"
#include "game/input/controls.h"
#include "game/load/zone_loader.h"
#include "game/script/interpreter.h"
#include "game/script/queue_runner.h"
#include "game/world/objects.h"
#include "tests/game/load/zone_test_support.h"

namespace zor::testing {

// What the trace statement saw: "<num>" or "<num>@<object name>".
inline std::vector<std::string>& traceLog() {
  static std::vector<std::string> log;
  return log;
}

// `sound` (a statement of another family) stands in as the trace: it records
// its `num` and the script's object.
inline StatementResult traceStatement(StatementContext& ctx) {
  std::string entry = ctx.statement.attr("num");
  if (ctx.object) entry += "@" + ctx.object->name;
  traceLog().push_back(entry);
  return StatementResult::Continue;
}

// `kill` stands in as itself for settling tests: flags the named objects killed.
inline StatementResult killStatement(StatementContext& ctx) {
  for (ObjectRecord* o : statementObjects(ctx)) {
    o->flags = format::flag::Killed | format::flag::NoBorder | format::flag::Invisible |
               (o->flags & format::flag::HasFace);
  }
  return StatementResult::Continue;
}

// `set` stands in for the credits roll: suspends until the roll has run out.
inline StatementResult creditsStatement(StatementContext& ctx) {
  ctx.game.script.credits.remaining = 1.0f;
  ctx.game.script.credits.running = true;
  return StatementResult::Suspend;
}

struct ScriptHarness {
  ZoneLog log;
  std::unique_ptr<Game> game;
  StatementTable table = builtinStatementTable();
  int frames = 0;

  // Loads the zone "first" of the game text and runs its start script.
  explicit ScriptHarness(const std::string& xmlText, bool load = true) {
    traceLog().clear();
    table.define("sound", traceStatement);
    table.define("kill", killStatement);
    table.define("set", creditsStatement);
    game = makeGame(xmlText, log);
    game->script.statements = &table;
    game->random.table.fill(game->random.generator);
    game->app.frameTime = 1000;
    if (load) {
      EXPECT_TRUE(loadZone(*game, "first", false));
    }
  }

  Game& g() { return *game; }
  ScriptState& s() { return game->script; }

  // One frame's queue service; the frame clock moves on by 16 ms.
  void frame(int n = 1) {
    for (int i = 0; i < n; ++i) {
      ++frames;
      game->app.frameTime += 16;
      serviceScriptQueue(*game);
      releaseAll();
    }
  }

  void press(int c) {
    game->controls.table[c][game->controls.currentColumn] = 1;
    game->controls.table[c][game->controls.previousColumn] = 0;
  }
  void releaseAll() {
    for (auto& row : game->controls.table) row[0] = row[1] = 0;
  }

  const xml::Node* byId(const std::string& id) { return game->data.document.findById(id); }
  void run(const std::string& id, ObjectRecord* object = nullptr) { runScript(*game, byId(id), object); }
  ObjectRecord* object(const std::string& name) { return findObject(game->world, name); }

  std::vector<std::string> trace() const { return traceLog(); }
  // The queue's scripts, as element name (and id when it has one).
  std::vector<std::string> queueNames() const {
    std::vector<std::string> out;
    for (const ScriptQueueEntry& e : game->script.queue) {
      std::string n = e.script ? e.script->name : "-";
      if (e.script && !e.script->attr("id").empty()) n += "#" + e.script->attr("id");
      out.push_back(n);
    }
    return out;
  }
};

// A game text with one zone "first" whose start script is `start`, followed by
// `extra` (blocks, subs) inside the zone.
inline std::string zoneText(const std::string& start, const std::string& extra = "") {
  return "<zorlan version=\"1\"><zone id=\"first\"><levels><level z=\"0\"/></levels>"
         "<entrance x=\"0\" y=\"0\" level=\"0\"/>"
         "<start>" + start + "</start>" + extra + "</zone></zorlan>";
}

}  // namespace zor::testing
