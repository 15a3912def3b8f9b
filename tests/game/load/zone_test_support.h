// Small game files parsed from strings, with a sound layer in memory and a
// "trace" statement that records what zone loading ran.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/script/interpreter.h"
#include "tests/game/audio/fake_sound_output.h"
#include "platform/text.h"
#include "platform/xml.h"

namespace zor::testing {

// What zone loading did besides building the world: the sound layer it
// played music through, and the statements it ran (`sound` stands in as a
// trace and records its `num`).
struct ZoneLog {
  FakeSoundOutput sound;
  StatementTable table = builtinStatementTable();
  std::vector<std::string> traced;
};

// The fatal error recorded in the game, as a list of at most one message.
inline std::vector<std::string> fatals(const Game& game) {
  if (!game.failed) return {};
  return {game.failMessage};
}

// The trace statement records its `num` in the log the game's statements belong to.
inline std::vector<std::string>*& traceTarget() {
  static std::vector<std::string>* target = nullptr;
  return target;
}
inline StatementResult zoneTraceStatement(StatementContext& ctx) {
  if (traceTarget()) traceTarget()->push_back(ctx.statement.attr("num") + (ctx.object ? ":" + ctx.object->name : ""));
  return StatementResult::Continue;
}

// Parses the game file into game.data.document and fills the class map the way
// the game-file loader does (name trimmed and lower-cased, later classes win).
// gameFile false stands for the built-in game.
inline std::unique_ptr<Game> makeGame(const std::string& xml, ZoneLog& log, bool gameFile = true) {
  auto game = std::make_unique<Game>();
  xml::ParseError error;
  EXPECT_TRUE(game->data.document.parse(xml, &error)) << error.message << " line " << error.line;
  game->data.documentLoaded = true;
  game->data.gameFilePath = gameFile ? "test.xml" : "";
  if (const xml::Node* root = game->data.document.root()) {
    for (const xml::Node* c = root->firstElement(); c; c = c->nextElement()) {
      if (xml::toLowerAscii(c->name) != "class") continue;
      std::string name = xml::toLowerAscii(text::trim(c->attr("name")));
      if (name.empty()) continue;
      ClassRecord record;
      record.node = c;
      game->data.classes[name] = record;
    }
  }
  game->sounds.attach(log.sound);
  log.table.define("sound", zoneTraceStatement);
  traceTarget() = &log.traced;
  game->script.statements = &log.table;
  return game;
}

// Names of the objects in list order.
inline std::vector<std::string> objectNames(const Game& game) {
  std::vector<std::string> out;
  for (const ObjectRecord& o : game.world.objects) out.push_back(o.name);
  return out;
}

}  // namespace zor::testing
