#include "game/game.h"

namespace zor {

void fatalError(Game& game, const std::string& message) {
  game.failed = true;
  game.failMessage = message;
  if (game.hooks.fatalError) game.hooks.fatalError(game, message);
}

}  // namespace zor
