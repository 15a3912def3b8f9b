// Statements around speedruns and the save game: pause, endspeedrun, savegame
// and unlockspeedrun.
#include "format/values.h"
// Up: speedrun statements end the run the program shell keeps, and save the game.
#include "game/game.h"
#include "game/persist/save_file.h"
#include "game/persist/speedrun.h"
#include "game/script/interpreter.h"
#include "platform/xml.h"

namespace zor {

namespace {

StatementResult runPause(StatementContext& ctx) {
  const std::string& colour = ctx.statement.attr("color");
  if (!colour.empty()) ctx.game.world.pauseColour = format::readColour(colour);
  return StatementResult::Continue;
}

StatementResult runEndSpeedrun(StatementContext& ctx) {
  Game& game = ctx.game;
  if (!runLevelMatches(ctx.statement.attr("level"), game.app.runNumber)) return StatementResult::Continue;
  finishRun(game, 1);
  return StatementResult::End;
}

// During a run the save file keeps the game saved before it.
StatementResult runSaveGame(StatementContext& ctx) {
  if (ctx.game.app.runNumber == 0) writeSaveFile(ctx.game);
  return StatementResult::Continue;
}

StatementResult runUnlockSpeedrun(StatementContext& ctx) {
  unlockSpeedrun(ctx.game, ctx.statement.attr("name"));
  return StatementResult::Continue;
}

}  // namespace

void registerRunStatements(StatementTable& table) {
  table.define("pause", runPause);
  table.define("endspeedrun", runEndSpeedrun);
  table.define("savegame", runSaveGame);
  table.define("unlockspeedrun", runUnlockSpeedrun);
}

}  // namespace zor
