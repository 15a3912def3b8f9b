#include "game/game.h"

// The quit path belongs to the program shell; a fatal error anywhere leaves through it.
#include "game/app/startup.h"
#include "platform/app_platform.h"

namespace zor {

void fatalError(Game& game, const std::string& message) {
  game.failed = true;
  game.failMessage = message;
  if (game.platform) programFatalError(game, *game.platform, message);
}

uint32_t elapsedMs(const Game& game) { return game.platform ? game.platform->elapsedMs() : game.app.frameTime; }

}  // namespace zor
